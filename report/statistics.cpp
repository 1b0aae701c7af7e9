#include "report/statistics.h"

#include <algorithm>
#include <cmath>

const char kPercentileRule[] =
    "percentiles interpolate linearly between the closest ranks "
    "(rank (n - 1) p, counted from 0)";

double Mean(const std::vector<double>& values)
{
    // Kahan summation: thousands of launches lose no digits to rounding.
    double sum = 0.0;
    double lost = 0.0;
    for (double value : values) {
        double adjusted = value - lost;
        double total = sum + adjusted;
        lost = (total - sum) - adjusted;
        sum = total;
    }
    return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}

std::optional<double> SampleStdDev(const std::vector<double>& values)
{
    if (values.size() < 2)
        return std::nullopt;
    // Two passes: squares of deviations from the mean, not of the values,
    // which would cancel badly when the spread is small against the mean.
    double mean = Mean(values);
    double squares = 0.0;
    for (double value : values)
        squares += (value - mean) * (value - mean);
    return std::sqrt(squares / static_cast<double>(values.size() - 1));
}

double Percentile(const std::vector<double>& sorted, double p)
{
    double rank = p * static_cast<double>(sorted.size() - 1);
    size_t below = static_cast<size_t>(std::floor(rank));
    if (below + 1 >= sorted.size())
        return sorted.back();
    double fraction = rank - static_cast<double>(below);
    return sorted[below] + fraction * (sorted[below + 1] - sorted[below]);
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return Percentile(values, 0.5);
}

std::optional<Summary> Summarize(const std::vector<double>& values)
{
    if (values.empty())
        return std::nullopt;
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    Summary summary;
    summary.count = values.size();
    summary.mean = Mean(values);
    summary.stddev = SampleStdDev(values);
    summary.median = Percentile(sorted, 0.5);
    summary.min = sorted.front();
    summary.max = sorted.back();
    summary.p5 = Percentile(sorted, 0.05);
    summary.p25 = Percentile(sorted, 0.25);
    summary.p75 = Percentile(sorted, 0.75);
    summary.p95 = Percentile(sorted, 0.95);
    return summary;
}
