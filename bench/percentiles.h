// The benchmarks' summaries of a set of measurements.
#ifndef KAIRON_BENCH_PERCENTILES_H
#define KAIRON_BENCH_PERCENTILES_H

#include <algorithm>
#include <vector>

// Nearest rank: the smallest value with at least `fraction` of all values at
// or below it (the median is Percentile(values, 0.5)). 0 for no values.
inline double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t rank = static_cast<size_t>(fraction * static_cast<double>(values.size()) + 0.999999);
    rank = std::max<size_t>(rank, 1);
    return values[std::min(rank, values.size()) - 1];
}

#endif
