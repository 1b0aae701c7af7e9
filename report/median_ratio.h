// How much slower or faster a run is than the reference, as the ratio of
// their median start-up times, and how sure that ratio is: a percentile
// bootstrap interval. "1.12 x (1.08 to 1.17)" says what a ratio of means
// with its spread does not: how far the truth may lie from the figure.
#ifndef KAIRON_REPORT_MEDIAN_RATIO_H
#define KAIRON_REPORT_MEDIAN_RATIO_H

#include <optional>
#include <string>
#include <vector>

extern const int kBootstrapResamples;
extern const double kIntervalConfidence;  // 0.95
// How the interval is found, as the reports name it: "95% percentile ...".
std::string IntervalRule(double confidence = kIntervalConfidence);
// A confidence as the reports write it: 0.95 -> "95%", 0.99 -> "99%",
// 0.9875 -> "98.75%".
std::string ConfidenceText(double confidence);

struct RatioInterval {
    double low = 0.0;
    double high = 0.0;
};

// median(run) / median(reference); none when the reference's median is 0.
std::optional<double> MedianRatio(const std::vector<double>& run,
                                  const std::vector<double>& reference);

// The central `confidence` of the ratios of kBootstrapResamples
// resampled pairs: each side drawn with replacement to its own size, the
// ratio of their medians, and the percentiles of those ratios. The draws
// are seeded from the values, so that the same logs always give the same
// interval. None for an empty side, or when a resampled median of the
// reference is 0 and the ratio has no bound.
std::optional<RatioInterval> BootstrapMedianRatio(const std::vector<double>& run,
                                                  const std::vector<double>& reference,
                                                  double confidence = kIntervalConfidence);

#endif
