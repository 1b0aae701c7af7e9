#include "report/outliers.h"

#include "report/statistics.h"

#include <cmath>

const char kOutlierRule[] =
    "modified Z-score |0.6745 (x - median) / MAD| > 3.5 (Iglewicz-Hoaglin)";
const char kOutlierSizeRule[] = "and at least 5% from the median, in runs of 5 launches or more";
const double kOutlierThreshold = 3.5;
const double kOutlierMinFraction = 0.05;
const size_t kOutlierMinLaunches = 5;

std::vector<double> ModifiedZScores(const std::vector<double>& values)
{
    std::vector<double> scores(values.size(), 0.0);
    if (values.empty())
        return scores;
    double median = Median(values);
    std::vector<double> deviations;
    deviations.reserve(values.size());
    for (double value : values)
        deviations.push_back(std::fabs(value - median));
    double mad = Median(deviations);
    double scale = 0.0;
    if (mad > 0.0)
        scale = mad / 0.6745;
    else
        scale = 1.253314 * Mean(deviations);
    if (scale <= 0.0)
        return scores;
    for (size_t i = 0; i < values.size(); ++i)
        scores[i] = (values[i] - median) / scale;
    return scores;
}

std::vector<size_t> OutlierIndices(const std::vector<double>& values)
{
    std::vector<size_t> outliers;
    if (values.size() < kOutlierMinLaunches)
        return outliers;
    std::vector<double> scores = ModifiedZScores(values);
    double median = Median(values);
    for (size_t i = 0; i < scores.size(); ++i)
        if (std::fabs(scores[i]) > kOutlierThreshold &&
            std::fabs(values[i] - median) >= kOutlierMinFraction * std::fabs(median))
            outliers.push_back(i);
    return outliers;
}
