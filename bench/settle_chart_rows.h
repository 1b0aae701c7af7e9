// The chart of the --settled benchmark (docs/settle.svg): how long after
// the content was drawn the settled mark came, launch by launch, and what
// each capture of a window cost, one row each, on one axis of milliseconds.
#ifndef KAIRON_BENCH_SETTLE_CHART_ROWS_H
#define KAIRON_BENCH_SETTLE_CHART_ROWS_H

#include "report/strip_chart.h"

#include <optional>
#include <string>
#include <vector>

struct MsSeries {
    std::string heading;           // "settled after drawn", "capture 1920x1080"
    std::string unit;              // what one value is: "launch", "capture"
    std::string units;             // and more than one: "launches", "captures"
    std::vector<double> ms;        // in the order they were taken
    std::optional<double> goalMs;  // the median's goal, marked across the row
};

StripChart SettleChart(const std::vector<MsSeries>& series);

#endif
