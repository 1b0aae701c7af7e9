// The summary of a set of launch times: centre, spread and range.
#ifndef KAIRON_REPORT_STATISTICS_H
#define KAIRON_REPORT_STATISTICS_H

#include <cstddef>
#include <optional>
#include <vector>

struct Summary {
    size_t count = 0;
    double mean = 0.0;
    std::optional<double> stddev;  // sample (n - 1); none for a single value
    double median = 0.0;
    double min = 0.0;
    double max = 0.0;
    double p5 = 0.0;
    double p25 = 0.0;
    double p75 = 0.0;
    double p95 = 0.0;
};

// The rule Percentile follows, as the reports name it.
extern const char kPercentileRule[];

double Mean(const std::vector<double>& values);
// Sample standard deviation (divides by n - 1); none below two values.
std::optional<double> SampleStdDev(const std::vector<double>& values);
// The p-th percentile (0 <= p <= 1) of sorted, non-empty values, linear
// between the closest ranks: rank h = (n - 1) p, the values at floor(h) and
// floor(h) + 1 weighted by the fraction of h.
double Percentile(const std::vector<double>& sorted, double p);
double Median(std::vector<double> values);
// None for no values.
std::optional<Summary> Summarize(const std::vector<double>& values);

#endif
