#include "report/median_ratio.h"
#include "report/rank_test.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

struct Sides {
    const char* name;
    std::vector<double> run;
    std::vector<double> reference;
};

}  // namespace

TEST(RankTest, AgreesWithSciPy)
{
    // U and p from scipy.stats.mannwhitneyu(run, reference,
    // method='asymptotic') of SciPy 1.10.1; ratio from numpy.median.
    struct Case {
        Sides sides;
        double u;
        double p;
        double ratio;
    } cases[] = {
        {{"ties, 5 and 4", {1.2, 1.3, 1.3, 1.5, 1.7}, {1.0, 1.1, 1.3, 1.3}},
         16.0, 0.15939040677403393, 1.0833333333333333},
        {{"2 and 2", {2.0, 3.0}, {1.0, 1.5}}, 4.0, 0.2452781168067728, 2.0},
        {{"2 and 2, each tied", {1.0, 1.0}, {2.0, 2.0}}, 0.0, 0.1939308522824107, 0.5},
        {{"3 and 3, each tied", {1.0, 1.0, 1.0}, {2.0, 2.0, 2.0}}, 0.0, 0.04685417760387376, 0.5},
        {{"3 and 3", {1.4375, 1.5, 1.5625}, {0.9375, 1.0, 1.0625}}, 9.0, 0.08085559837005224, 1.5},
        {{"4 and 4", {1.4375, 1.5, 1.5625, 1.5}, {0.9375, 1.0, 1.0625, 1.0}},
         16.0, 0.028429535998796527, 1.5},
        {{"overlap, outliers, 8 and 9",
          {0.31, 0.35, 0.29, 0.40, 0.33, 0.36, 0.90, 0.34},
          {0.30, 0.28, 0.32, 0.29, 0.31, 0.27, 0.30, 0.33, 0.75}},
         56.5, 0.05370166716719338, 1.15},
        {{"faster, 5 and 6", {1.0, 1.1, 0.9, 1.05, 0.95}, {2.0, 2.1, 1.9, 2.2, 1.95, 2.05}},
         0.0, 0.00811311726556578, 0.4938271604938272},
    };
    for (const Case& c : cases) {
        std::optional<RankTestResult> result = MannWhitneyUTest(c.sides.run, c.sides.reference);
        ASSERT_TRUE(result) << c.sides.name;
        EXPECT_DOUBLE_EQ(result->u, c.u) << c.sides.name;
        EXPECT_NEAR(result->p, c.p, 1e-12) << c.sides.name;
        EXPECT_DOUBLE_EQ(*MedianRatio(c.sides.run, c.sides.reference), c.ratio) << c.sides.name;
    }
    // Below two a side, or every time the same, there is nothing to rank.
    EXPECT_FALSE(MannWhitneyUTest({1.0}, {2.0, 3.0}));
    EXPECT_FALSE(MannWhitneyUTest({1.0, 2.0}, {3.0}));
    EXPECT_FALSE(MannWhitneyUTest({1.5, 1.5}, {1.5, 1.5, 1.5}));
    EXPECT_FALSE(MedianRatio({1.0}, {0.0, 0.0, 1.0}));
}

TEST(RankTest, SmallestPOfSizesWithoutTies)
{
    // SciPy's p for sides that do not overlap: 3 a side cannot reach 0.05.
    EXPECT_NEAR(SmallestRankTestP(3, 3), 0.08085559837005224, 1e-12);
    EXPECT_NEAR(SmallestRankTestP(4, 4), 0.03038282197657749, 1e-12);
    EXPECT_NEAR(SmallestRankTestP(6, 6), 0.005074868097940253, 1e-12);
    EXPECT_NEAR(SmallestRankTestP(2, 10), 0.041258044757493055, 1e-12);
}

TEST(RankTest, BootstrapIntervalAgreesWithNumPyAndRepeats)
{
    // The 2.5th and 97.5th percentiles of 400,000 numpy resamples
    // (default_rng(1).choice, numpy.median, numpy.percentile): another
    // generator, so agreement within the draws' noise.
    struct Case {
        Sides sides;
        double low;
        double high;
    } cases[] = {
        {{"ties", {1.2, 1.3, 1.3, 1.5, 1.7}, {1.0, 1.1, 1.3, 1.3}}, 1.0, 1.5},
        {{"4 and 4", {1.4375, 1.5, 1.5625, 1.5}, {0.9375, 1.0, 1.0625, 1.0}},
         1.411764705882353, 1.6},
        {{"outliers", {0.31, 0.35, 0.29, 0.40, 0.33, 0.36, 0.90, 0.34},
          {0.30, 0.28, 0.32, 0.29, 0.31, 0.27, 0.30, 0.33, 0.75}},
         1.0151515151515151, 1.3333333333333335},
    };
    for (const Case& c : cases) {
        std::optional<RatioInterval> interval =
            BootstrapMedianRatio(c.sides.run, c.sides.reference);
        ASSERT_TRUE(interval) << c.sides.name;
        EXPECT_NEAR(interval->low, c.low, 0.02) << c.sides.name;
        EXPECT_NEAR(interval->high, c.high, 0.02) << c.sides.name;
        std::optional<RatioInterval> again = BootstrapMedianRatio(c.sides.run, c.sides.reference);
        EXPECT_EQ(again->low, interval->low) << c.sides.name;
        EXPECT_EQ(again->high, interval->high) << c.sides.name;
    }
    // Twenty distinct times a side give a ratio between many resampled
    // medians: only the same draws give the same interval to the bit.
    std::vector<double> run;
    std::vector<double> reference;
    for (int i = 0; i < 20; ++i) {
        run.push_back(1.1 + 0.0137 * (i * i % 7) + 0.001 * i);
        reference.push_back(1.0 + 0.0113 * (i * 5 % 11) + 0.0007 * i);
    }
    std::optional<RatioInterval> first = BootstrapMedianRatio(run, reference);
    std::optional<RatioInterval> second = BootstrapMedianRatio(run, reference);
    EXPECT_EQ(first->low, second->low);
    EXPECT_EQ(first->high, second->high);
    // A reference that resamples to a median of 0 leaves the ratio unbounded.
    EXPECT_FALSE(BootstrapMedianRatio({1.0, 2.0}, {0.0, 0.0, 1.0}));
    EXPECT_FALSE(BootstrapMedianRatio({}, {1.0}));
}
