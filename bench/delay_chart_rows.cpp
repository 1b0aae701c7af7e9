#include "bench/delay_chart_rows.h"

#include "engine/log_format.h"
#include "report/statistics.h"
#include "report/text_format.h"

#include <cstdlib>
#include <sstream>

std::optional<std::vector<double>> ReadDelays(const std::string& text)
{
    std::vector<double> delays;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        char* end = nullptr;
        const double delay = std::strtod(line.c_str(), &end);
        if (end == line.c_str())
            return std::nullopt;
        delays.push_back(delay);
    }
    return delays;
}

namespace {

std::string Ms(double value)
{
    return FormatFixed(value, 1) + " ms";
}

StripRow DelayRow(const DelaySeries& series)
{
    StripRow row;
    row.heading = series.extraWindows == 0
                      ? std::string("no extra windows")
                      : std::to_string(series.extraWindows) + " extra windows";
    row.reference = series.modelMs;
    // The pass time is in the printed table; the label has room for little.
    row.detail = std::to_string(series.delaysMs.size()) + " launches";
    if (std::optional<Summary> summary = Summarize(series.delaysMs)) {
        row.detail += ", median " + Ms(summary->median);
        row.box = StripBox{summary->p25, summary->median, summary->p75};
    }
    row.detail += ", model " + Ms(series.modelMs);
    row.emptyText = "no launches";
    for (size_t i = 0; i < series.delaysMs.size(); ++i) {
        StripDot dot;
        dot.value = series.delaysMs[i];
        dot.slot = i;
        dot.tooltip = "launch " + std::to_string(i + 1) + ": " + Ms(dot.value);
        row.dots.push_back(dot);
    }
    return row;
}

}  // namespace

StripChart DelayChart(const std::vector<DelaySeries>& series)
{
    StripChart chart;
    chart.title = "Kairon's detection delay by window name, launch by launch";
    chart.axisLabel = "ms from the window's creation to Kairon's end count";
    chart.legendCold = false;
    chart.legendOutlier = false;
    const std::string sleep = std::to_string(kSearchPassSleepMs);
    chart.referenceLabel = "model: (pass + " + sleep + " ms) / 2 + " + sleep + " ms";
    for (const DelaySeries& one : series)
        chart.rows.push_back(DelayRow(one));
    return chart;
}
