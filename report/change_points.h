// Where a series of build values changes level. Each value stands for one
// build (the median of its launches); the series is cut into segments
// that minimise the sum, over segments, of every value's distance from its
// segment's median, plus a penalty per segment. Distances, not squares: a
// build that was slow for reasons of its own weighs no more than its
// distance, and cannot pull a level to itself.
#ifndef KAIRON_REPORT_CHANGE_POINTS_H
#define KAIRON_REPORT_CHANGE_POINTS_H

#include <cstddef>
#include <cstdint>
#include <vector>

// A segment is at least this many builds long, so that one build out of
// line is never a level of its own.
extern const size_t kMinSegmentBuilds;

// The exact optimum (optimal partitioning, with PELT's pruning) over
// integer values, so that costs add up without rounding and a tie is a
// true tie: it goes to the earlier start of the last segment. Returns the
// index of the first value of every segment but the first, ascending.
std::vector<size_t> OptimalL1Segments(const std::vector<std::int64_t>& values,
                                      std::int64_t penaltyPerSegment,
                                      size_t minSegment = kMinSegmentBuilds);

// The penalty the trend uses: 2 sigma ln(n), sigma from the median of
// the absolute differences of neighbouring values (robust to the steps
// themselves), and at least 1, so that equal values never split.
std::int64_t TrendPenalty(const std::vector<std::int64_t>& values);

// The median of values[first, last), as the average of the two middle
// values for an even count.
double MedianOfRange(const std::vector<std::int64_t>& values, size_t first, size_t last);

#endif
