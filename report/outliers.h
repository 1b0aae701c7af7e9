// Launches that lie far from the others, by the modified Z-score
// (Iglewicz and Hoaglin): robust, since median and MAD are not pulled by
// the very outliers they are to find.
#ifndef KAIRON_REPORT_OUTLIERS_H
#define KAIRON_REPORT_OUTLIERS_H

#include <cstddef>
#include <vector>

// The rule OutlierIndices applies, as the reports name it.
extern const char kOutlierRule[];
extern const double kOutlierThreshold;

// 0.6745 (x - median) / MAD for each value, MAD being the median of the
// absolute deviations from the median. When more than half the values are
// equal the MAD is 0; the mean absolute deviation then stands in, as
// (x - median) / (1.253314 MeanAD). All values equal: every score is 0.
std::vector<double> ModifiedZScores(const std::vector<double>& values);

// Indices of the values whose score exceeds kOutlierThreshold in size.
std::vector<size_t> OutlierIndices(const std::vector<double>& values);

#endif
