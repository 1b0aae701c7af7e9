#include "bench/ms_series.h"

#include "report/statistics.h"
#include "report/text_format.h"

namespace {

std::string Ms(double value)
{
    return FormatFixed(value, 1) + " ms";
}

}  // namespace

StripRow MsRow(const MsSeries& series)
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
        row.detail += ", " + series.goalName + " " + Ms(*series.goalMs);
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

StripChart MsChart(const std::string& title, const std::string& axisLabel,
                   const std::string& referenceLabel)
{
    StripChart chart;
    chart.title = title;
    chart.axisLabel = axisLabel;
    chart.legendCold = chart.legendOutlier = false;
    chart.referenceLabel = referenceLabel;
    return chart;
}
