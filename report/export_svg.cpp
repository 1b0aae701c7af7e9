#include "report/exports.h"

#include "report/strip_chart.h"
#include "report/text_format.h"

namespace {

// Failed launches are not drawn: a search that gave up after 50 s would
// squeeze every start-up into a corner of the axis.
StripRow RunRow(const RunAnalysis& analysis)
{
    const Run& run = *analysis.run;
    StripRow row;
    row.heading = "Run " + std::to_string(analysis.number);
    row.name = ToUtf8(run.application);
    row.detail = std::to_string(run.launches.size()) + " of " + std::to_string(run.announced) +
                 " launches";
    if (analysis.failedLaunches > 0)
        row.detail += ", " + std::to_string(analysis.failedLaunches) + " failed";
    if (analysis.summary) {
        row.detail += ", median " + FormatFixed(analysis.summary->median, 4) + " s";
        row.box = StripBox{analysis.summary->p25, analysis.summary->median,
                           analysis.summary->p75};
    }
    bool allFailed = !analysis.failedCounted && !analysis.seconds.empty() &&
                     analysis.failedLaunches == analysis.seconds.size();
    row.emptyText = allFailed ? "every launch failed" : "no launches";
    std::vector<bool> outlier(analysis.seconds.size(), false);
    for (size_t index : analysis.outliers)
        outlier[index] = true;
    for (size_t i = 0; i < analysis.seconds.size(); ++i) {
        if (!IsMeasured(analysis, i))
            continue;
        StripDot dot;
        dot.value = analysis.seconds[i];
        dot.slot = i;
        dot.tooltip = "launch " + std::to_string(i + 1) + ": " +
                      FormatFixed(analysis.seconds[i], 4) + " s";
        dot.outlier = outlier[i];
        dot.cold = i == 0 && analysis.warm;
        row.dots.push_back(dot);
    }
    return row;
}

}  // namespace

std::string ExportSvg(const std::vector<RunAnalysis>& runs, const ComparisonReport*)
{
    StripChart chart;
    chart.title = "Start-up time per launch";
    chart.axisLabel = "start-up time (seconds)";
    for (const RunAnalysis& run : runs)
        chart.rows.push_back(RunRow(run));
    return DrawStripChart(chart);
}
