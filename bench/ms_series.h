// A series of milliseconds as one row of a benchmark's strip chart: a dot
// for each value, its median boxed, and what it is held against marked
// across the row. The benchmark's charts all label their rows so.
#ifndef KAIRON_BENCH_MS_SERIES_H
#define KAIRON_BENCH_MS_SERIES_H

#include "report/strip_chart.h"

#include <optional>
#include <string>
#include <vector>

struct MsSeries {
    std::string heading;           // "settled after drawn", "capture 1920x1080"
    std::string unit;              // what one value is: "launch", "capture"
    std::string units;             // and more than one: "launches", "captures"
    std::vector<double> ms;        // in the order they were taken
    std::optional<double> goalMs;  // marked across the row
    // What the mark is, in the row's label: a goal for the median, or what
    // a model expects.
    std::string goalName = "goal";
};

StripRow MsRow(const MsSeries& series);

// A benchmark's chart, with no cold launches or outliers to explain.
StripChart MsChart(const std::string& title, const std::string& axisLabel,
                   const std::string& referenceLabel);

#endif
