// Whether one run's start-up times lie above or below another's by more
// than chance would explain, from their ranks alone: the Mann-Whitney U
// test. Start-up times are skewed and a few launches of any run are much
// slower than the rest (a cold disk, a scan, a busy machine); a rank test
// does not let those few decide, where a test of means does.
#ifndef KAIRON_REPORT_RANK_TEST_H
#define KAIRON_REPORT_RANK_TEST_H

#include <cstddef>
#include <optional>
#include <vector>

struct RankTestResult {
    // Pairs (a launch of the run, one of the reference) in which the run's
    // took longer, ties counted as half: n1 n2 / 2 when neither side leans.
    double u = 0.0;
    double pairs = 0.0;  // n1 n2
    double p = 1.0;      // two-sided
};

// The launches each side needs.
extern const size_t kRankMinLaunches;

// The normal approximation with the tie and the continuity corrections,
// as SciPy's mannwhitneyu(x, y, method='asymptotic') computes it. None when
// either side has fewer than kRankMinLaunches values or every value of both
// is the same.
std::optional<RankTestResult> MannWhitneyUTest(const std::vector<double>& run,
                                               const std::vector<double>& reference);

// The smallest p the test gives for sides of these sizes without ties, when
// every value of one lies above every value of the other. At or above a
// level, the test cannot call any difference significant: three launches
// a side never reach p < 0.05.
double SmallestRankTestP(size_t runSize, size_t referenceSize);

#endif
