#include "bench/delay_chart_rows.h"

#include "bench/ms_series.h"
#include "engine/log_format.h"

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

StripRow DelayRow(const DelaySeries& series)
{
    MsSeries ms;
    ms.heading = series.extraWindows == 0
                     ? std::string("no extra windows")
                     : std::to_string(series.extraWindows) + " extra windows";
    ms.unit = "launch";
    ms.units = "launches";
    ms.ms = series.delaysMs;
    ms.goalMs = series.modelMs;
    ms.goalName = "model";
    return MsRow(ms);
}

}  // namespace

StripChart DelayChart(const std::vector<DelaySeries>& series)
{
    const std::string sleep = std::to_string(kSearchPassSleepMs);
    StripChart chart = MsChart("Kairon's detection delay by window name, launch by launch",
                               "ms from the window's creation to Kairon's end count",
                               "model: (pass + " + sleep + " ms) / 2 + " + sleep + " ms");
    for (const DelaySeries& one : series)
        chart.rows.push_back(DelayRow(one));
    return chart;
}
