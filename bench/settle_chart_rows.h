// The chart of the --settled benchmark (docs/settle.svg): how long after
// the content was drawn the settled mark came, launch by launch, and what
// each capture of a window cost, one row each, on one axis of milliseconds.
#ifndef KAIRON_BENCH_SETTLE_CHART_ROWS_H
#define KAIRON_BENCH_SETTLE_CHART_ROWS_H

#include "bench/ms_series.h"

#include <vector>

StripChart SettleChart(const std::vector<MsSeries>& series);

#endif
