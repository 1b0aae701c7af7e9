#include "report/median_ratio.h"
#include "report/rank_test.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

TEST(RankTest, AgreesWithSciPyAndNumPy)
{
    // U and p from scipy.stats.mannwhitneyu(run, reference,
    // method='asymptotic') of SciPy 1.10.1; the ratio from numpy.median; the
    // interval from 400,000 numpy resamples (default_rng(1).choice,
    // numpy.percentile): another generator, so agreement within its noise.
    struct Case {
        const char* name;
        std::vector<double> run;
        std::vector<double> reference;
        double u;
        double p;
        double ratio;
        std::optional<RatioInterval> interval;
    } cases[] = {
        {"ties, 5 and 4", {1.2, 1.3, 1.3, 1.5, 1.7}, {1.0, 1.1, 1.3, 1.3}, 16.0,
         0.15939040677403393, 1.0833333333333333, {{1.0, 1.5}}},
        {"2 and 2", {2.0, 3.0}, {1.0, 1.5}, 4.0, 0.2452781168067728, 2.0, std::nullopt},
        {"2 and 2, each tied", {1.0, 1.0}, {2.0, 2.0}, 0.0, 0.1939308522824107, 0.5, std::nullopt},
        {"3 and 3, each tied", {1.0, 1.0, 1.0}, {2.0, 2.0, 2.0}, 0.0, 0.04685417760387376, 0.5,
         std::nullopt},
        {"3 and 3", {1.4375, 1.5, 1.5625}, {0.9375, 1.0, 1.0625}, 9.0, 0.08085559837005224, 1.5,
         std::nullopt},
        {"4 and 4", {1.4375, 1.5, 1.5625, 1.5}, {0.9375, 1.0, 1.0625, 1.0}, 16.0,
         0.028429535998796527, 1.5, {{1.411764705882353, 1.6}}},
        {"overlap, outliers, 8 and 9", {0.31, 0.35, 0.29, 0.40, 0.33, 0.36, 0.90, 0.34},
         {0.30, 0.28, 0.32, 0.29, 0.31, 0.27, 0.30, 0.33, 0.75}, 56.5, 0.05370166716719338, 1.15,
         {{1.0151515151515151, 1.3333333333333335}}},
        {"faster, 5 and 6", {1.0, 1.1, 0.9, 1.05, 0.95}, {2.0, 2.1, 1.9, 2.2, 1.95, 2.05}, 0.0,
         0.00811311726556578, 0.4938271604938272, std::nullopt},
    };
    for (const Case& c : cases) {
        std::optional<RankTestResult> result = MannWhitneyUTest(c.run, c.reference);
        ASSERT_TRUE(result) << c.name;
        EXPECT_DOUBLE_EQ(result->u, c.u) << c.name;
        EXPECT_NEAR(result->p, c.p, 1e-12) << c.name;
        EXPECT_DOUBLE_EQ(*MedianRatio(c.run, c.reference), c.ratio) << c.name;
        if (!c.interval)
            continue;
        std::optional<RatioInterval> interval = BootstrapMedianRatio(c.run, c.reference);
        ASSERT_TRUE(interval) << c.name;
        EXPECT_NEAR(interval->low, c.interval->low, 0.02) << c.name;
        EXPECT_NEAR(interval->high, c.interval->high, 0.02) << c.name;
    }
    // Below two a side, or every time the same, there is nothing to rank.
    EXPECT_FALSE(MannWhitneyUTest({1.0}, {2.0, 3.0}));
    EXPECT_FALSE(MannWhitneyUTest({1.0, 2.0}, {3.0}));
    EXPECT_FALSE(MannWhitneyUTest({1.5, 1.5}, {1.5, 1.5, 1.5}));
    EXPECT_FALSE(MedianRatio({1.0}, {0.0, 0.0, 1.0}));
    // A reference that resamples to a median of 0 leaves the ratio unbounded.
    EXPECT_FALSE(BootstrapMedianRatio({1.0, 2.0}, {0.0, 0.0, 1.0}));
    // Sides that do not overlap, without ties: 3 a side cannot reach 0.05.
    EXPECT_NEAR(SmallestRankTestP(3, 3), 0.08085559837005224, 1e-12);
    EXPECT_NEAR(SmallestRankTestP(2, 10), 0.041258044757493055, 1e-12);
    // Twenty distinct times a side: only the same draws give the same
    // interval to the bit.
    std::vector<double> run;
    std::vector<double> reference;
    for (int i = 0; i < 20; ++i) {
        run.push_back(1.1 + 0.0137 * (i * i % 7) + 0.001 * i);
        reference.push_back(1.0 + 0.0113 * (i * 5 % 11) + 0.0007 * i);
    }
    EXPECT_EQ(BootstrapMedianRatio(run, reference)->low, BootstrapMedianRatio(run, reference)->low);
}
