#include "report/run_analysis.h"

#include "report/outliers.h"

#include <cmath>

const double kWideSpreadRatio = 0.25;
const size_t kMinLaunchesForColdWarm = 3;

RunAnalysis AnalyzeRun(const Run& run, int number, bool skip_first, bool include_failed)
{
    RunAnalysis analysis;
    analysis.run = &run;
    analysis.number = number;
    analysis.failed_counted = include_failed;
    for (const Launch& launch : run.launches) {
        analysis.seconds.push_back(launch.seconds);
        analysis.failed.push_back(LaunchFailed(launch));
        analysis.failed_launches += analysis.failed.back() ? 1 : 0;
    }
    const std::vector<double>& all = analysis.seconds;
    analysis.counted_from = skip_first && !all.empty() ? 1 : 0;
    std::vector<double> counted;
    std::vector<size_t> counted_index;
    std::vector<double> measured;
    for (size_t i = 0; i < all.size(); ++i) {
        const bool is_measured = IsMeasured(analysis, i);
        analysis.counted.push_back(is_measured && i >= analysis.counted_from);
        if (analysis.counted.back()) {
            counted.push_back(all[i]);
            counted_index.push_back(i);
        }
        if (is_measured)
            measured.push_back(all[i]);
    }
    analysis.summary = Summarize(counted);
    // A first launch that failed says nothing about a cold start.
    if (!all.empty() && IsMeasured(analysis, 0) && measured.size() >= kMinLaunchesForColdWarm)
        analysis.warm = Summarize(std::vector<double>(measured.begin() + 1, measured.end()));
    for (size_t index : OutlierIndices(counted))
        analysis.outliers.push_back(counted_index[index]);
    const std::optional<Summary>& summary = analysis.summary;
    analysis.wide_spread = summary && summary->stddev && summary->mean > 0.0 &&
                           *summary->stddev > kWideSpreadRatio * summary->mean;
    return analysis;
}

bool IsMeasured(const RunAnalysis& analysis, size_t launch)
{
    return analysis.failed_counted || !analysis.failed[launch];
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

ComparisonVerdict JudgeComparison(const RunComparison& row)
{
    if (!row.ratio)
        return kVerdictNoRatio;
    if (row.is_reference)
        return kVerdictReference;
    if (!row.welch)
        return kVerdictNotTestable;
    if (!row.significant)
        return kVerdictNotSignificant;
    return *row.ratio > 1.0 ? kVerdictSlower : kVerdictFaster;
}

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
