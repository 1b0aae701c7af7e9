// The chart of the detection delays (docs/detection-delay.svg): one row
// per window count, every launch's delay a dot, the model marked.
#ifndef KAIRON_BENCH_DELAY_CHART_ROWS_H
#define KAIRON_BENCH_DELAY_CHART_ROWS_H

#include "report/strip_chart.h"

#include <optional>
#include <string>
#include <vector>

struct DelaySeries {
    int extraWindows = 0;
    // As detection_delay_bench printed it, so that the chart and the table
    // agree to the last digit.
    double modelMs = 0.0;
    std::vector<double> delaysMs;  // launch by launch
};

// The delays from window created to end count in a file detection_delay_bench
// wrote: the first number of each line. None when a line has no number.
std::optional<std::vector<double>> ReadDelays(const std::string& text);

StripChart DelayChart(const std::vector<DelaySeries>& series);

#endif
