#include "bench/settle_chart_rows.h"

#include "report/statistics.h"
#include "report/text_format.h"

namespace {

std::string Ms(double value)
{
    return FormatFixed(value, 1) + " ms";
}

StripRow SeriesRow(const MsSeries& series)
{
    StripRow row;
    row.heading = series.heading;
    row.reference = series.goalMs;
    row.detail = std::to_string(series.ms.size()) + " " + series.units;
    if (std::optional<Summary> summary = Summarize(series.ms)) {
        row.detail += ", median " + Ms(summary->median);
        row.box = StripBox{summary->p25, summary->median, summary->p75};
    }
    if (series.goalMs)
        row.detail += ", goal " + Ms(*series.goalMs);
    row.emptyText = "no " + series.units;
    for (size_t i = 0; i < series.ms.size(); ++i) {
        StripDot dot;
        dot.value = series.ms[i];
        dot.slot = i;
        dot.tooltip = series.unit + " " + std::to_string(i + 1) + ": " + Ms(dot.value);
        row.dots.push_back(dot);
    }
    return row;
}

}  // namespace

StripChart SettleChart(const std::vector<MsSeries>& series)
{
    StripChart chart;
    chart.title = "kairon-time --settled: the mark after the content was drawn, and one capture";
    chart.axisLabel = "ms";
    chart.legendCold = false;
    chart.legendOutlier = false;
    chart.referenceLabel = "goal of the median";
    for (const MsSeries& one : series)
        chart.rows.push_back(SeriesRow(one));
    return chart;
}
