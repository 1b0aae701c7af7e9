// Launches that lie far from the others, by the modified Z-score
// (Iglewicz and Hoaglin): robust, since median and MAD are not pulled by
// the very outliers they are to find. The score alone flags a launch
// 0.3 % off in a run whose launches agree to 0.1 %: nobody would look at
// it, so a launch must also be far from the median in time; and a run of
// a few launches says too little of what is usual to name an exception.
#ifndef KAIRON_REPORT_OUTLIERS_H
#define KAIRON_REPORT_OUTLIERS_H

#include <cstddef>
#include <vector>

// The rule OutlierIndices applies, as the reports name it: the score's
// part, then the part of size.
extern const char kOutlierRule[];
extern const char kOutlierSizeRule[];
extern const double kOutlierThreshold;
extern const double kOutlierMinFraction;  // of the median, from which a launch can be one
extern const size_t kOutlierMinLaunches;  // in the run, from which it can have any

// 0.6745 (x - median) / MAD for each value, MAD being the median of the
// absolute deviations from the median. When more than half the values are
// equal the MAD is 0; the mean absolute deviation then stands in, as
// (x - median) / (1.253314 MeanAD). All values equal: every score is 0.
std::vector<double> ModifiedZScores(const std::vector<double>& values);

// Indices of the values whose score exceeds kOutlierThreshold in size and
// that differ from the median by kOutlierMinFraction of it or more; none
// among fewer than kOutlierMinLaunches values.
std::vector<size_t> OutlierIndices(const std::vector<double>& values);

#endif
