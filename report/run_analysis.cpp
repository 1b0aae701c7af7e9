#include "report/run_analysis.h"

#include "report/outliers.h"

#include <cmath>

const double kWideSpreadRatio = 0.25;
const size_t kMinLaunchesForColdWarm = 3;

RunAnalysis AnalyzeRun(const Run& run, int number, bool skip_first)
{
    RunAnalysis analysis;
    analysis.run = &run;
    analysis.number = number;
    for (const Launch& launch : run.launches)
        analysis.seconds.push_back(launch.seconds);
    const std::vector<double>& all = analysis.seconds;
    analysis.counted_from = skip_first && !all.empty() ? 1 : 0;
    std::vector<double> counted(all.begin() + static_cast<long>(analysis.counted_from),
                                all.end());
    analysis.summary = Summarize(counted);
    if (all.size() >= kMinLaunchesForColdWarm)
        analysis.warm = Summarize(std::vector<double>(all.begin() + 1, all.end()));
    for (size_t index : OutlierIndices(counted))
        analysis.outliers.push_back(index + analysis.counted_from);
    const std::optional<Summary>& summary = analysis.summary;
    analysis.wide_spread = summary && summary->stddev && summary->mean > 0.0 &&
                           *summary->stddev > kWideSpreadRatio * summary->mean;
    return analysis;
}

namespace {

const RunAnalysis* FindReference(const std::vector<RunAnalysis>& runs, int reference)
{
    const RunAnalysis* found = nullptr;
    for (const RunAnalysis& run : runs) {
        if (!run.summary)
            continue;
        if (reference != 0 ? run.number == reference
                           : (!found || run.summary->mean < found->summary->mean))
            found = &run;
    }
    return found;
}

}  // namespace

ComparisonReport CompareRuns(const std::vector<RunAnalysis>& runs, int reference,
                             double significance_level)
{
    ComparisonReport report;
    report.significance_level = significance_level;
    const RunAnalysis* base = FindReference(runs, reference);
    if (!base)
        return report;
    report.reference = base->number;
    report.reference_is_fastest = reference == 0;
    const Summary& base_summary = *base->summary;
    for (const RunAnalysis& run : runs) {
        if (!run.summary)
            continue;
        const Summary& summary = *run.summary;
        RunComparison row;
        row.number = run.number;
        row.mean = summary.mean;
        row.is_reference = &run == base;
        if (base_summary.mean > 0.0) {
            double ratio = summary.mean / base_summary.mean;
            row.ratio = ratio;
            if (!row.is_reference && summary.stddev && base_summary.stddev &&
                summary.mean > 0.0)
                row.ratio_uncertainty =
                    ratio * std::hypot(*summary.stddev / summary.mean,
                                       *base_summary.stddev / base_summary.mean);
        }
        if (!row.is_reference) {
            row.welch = WelchTTest(summary, base_summary);
            row.significant = row.welch && row.welch->p < significance_level;
        }
        report.rows.push_back(row);
    }
    return report;
}
