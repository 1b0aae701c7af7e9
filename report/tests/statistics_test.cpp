#include "report/statistics.h"

#include "report/text_format.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The launches of the first and second runs of data/demo.log.
const std::vector<double> kColdFirstRun = {1.3812, 0.3879, 0.3926, 0.4114, 0.4222, 0.4049,
                                           0.3767, 0.6904, 0.4054, 0.4233, 0.3951, 0.3772};
const std::vector<double> kSecondRun = {1.2207, 0.3744, 0.3744, 0.363,  0.3808, 0.3634,
                                        0.3653, 0.3841, 0.3736, 0.3722, 0.3836, 0.3621};

struct Expected {
    double mean, stddev, median, min, max, p5, p25, p75, p95;
};

void ExpectSummary(const std::vector<double>& values, const Expected& expected)
{
    std::optional<Summary> summary = Summarize(values);
    ASSERT_TRUE(summary);
    ASSERT_TRUE(summary->stddev);
    EXPECT_EQ(summary->count, values.size());
    EXPECT_NEAR(summary->mean, expected.mean, 1e-12);
    EXPECT_NEAR(*summary->stddev, expected.stddev, 1e-12);
    EXPECT_NEAR(summary->median, expected.median, 1e-12);
    EXPECT_EQ(summary->min, expected.min);
    EXPECT_EQ(summary->max, expected.max);
    EXPECT_NEAR(summary->p5, expected.p5, 1e-12);
    EXPECT_NEAR(summary->p25, expected.p25, 1e-12);
    EXPECT_NEAR(summary->p75, expected.p75, 1e-12);
    EXPECT_NEAR(summary->p95, expected.p95, 1e-12);
}

}  // namespace

// Expected values from Python 3's statistics module: mean, stdev, median,
// min, max, and quantiles(values, n=20 or n=4, method='inclusive'), which
// interpolates linearly between closest ranks as the reports do.
TEST(Statistics, SummariseAgreesWithPythonsStatisticsModule)
{
    ExpectSummary(kColdFirstRun, {0.5056916666666667, 0.2884982478545607, 0.40515, 0.3767, 1.3812,
                                  0.37697499999999995, 0.391425, 0.422475, 1.0012599999999998});
    ExpectSummary(kSecondRun, {0.4431333333333333, 0.24499400116341746, 0.374, 0.3621, 1.2207,
                               0.36259499999999995, 0.364825, 0.3815, 0.7605700000000001});
}

TEST(Statistics, PercentileInterpolatesBetweenClosestRanks)
{
    // Rank (n - 1) p over 10, 20, 30, 40: worked by hand.
    const std::vector<double> sorted = {10.0, 20.0, 30.0, 40.0};
    struct {
        double p, expected;
    } cases[] = {{0.0, 10.0}, {0.05, 11.5}, {0.25, 17.5}, {0.5, 25.0},
                 {0.75, 32.5}, {0.95, 38.5}, {1.0, 40.0}};
    for (const auto& c : cases)
        EXPECT_NEAR(Percentile(sorted, c.p), c.expected, 1e-12) << "p = " << c.p;
    EXPECT_EQ(Percentile({7.0}, 0.95), 7.0);
}

TEST(Statistics, OneValueHasNoSpreadAndNoValuesNoSummary)
{
    std::optional<Summary> one = Summarize({2.5});
    ASSERT_TRUE(one);
    EXPECT_FALSE(one->stddev);
    EXPECT_EQ(one->mean, 2.5);
    EXPECT_EQ(one->median, 2.5);
    EXPECT_EQ(one->p5, 2.5);
    EXPECT_EQ(one->p95, 2.5);
    EXPECT_FALSE(Summarize({}));
    EXPECT_FALSE(SampleStdDev({}));
    EXPECT_EQ(Median({}), 0.0);
}

TEST(Statistics, SampleStdDevDividesByNMinusOne)
{
    // Deviations -1, 0, 1 from the mean 2: sum of squares 2, over n - 1 = 2.
    EXPECT_DOUBLE_EQ(*SampleStdDev({1.0, 2.0, 3.0}), 1.0);
    EXPECT_DOUBLE_EQ(*SampleStdDev({5.0, 5.0}), 0.0);
}

TEST(Statistics, ManyLaunchesKeepTheirDigits)
{
    // 100000 launches of 0.1 s and 1000.0001 s: naive summing drifts in the
    // last decimals; the mean must still be exact to 1e-9.
    std::vector<double> values;
    for (int i = 0; i < 100000; ++i)
        values.push_back(i % 2 == 0 ? 0.1 : 1000.0001);
    EXPECT_NEAR(Mean(values), 500.05005, 1e-9);
    EXPECT_NEAR(*SampleStdDev(values), 499.95254976899827, 1e-7);  // statistics.stdev
}

TEST(Statistics, PercentileOnARoundingTiePrintsTheSameOnEveryBuild)
{
    // Halfway between 0.4233 and 0.6904 is 0.55685 in decimal; the double
    // nearest the computed value lies above it. x87 extended precision once
    // made the 32-bit Windows build print 0.5568 here.
    std::vector<double> sorted = {0.4233, 0.6904};
    EXPECT_EQ(FormatFixed(Percentile(sorted, 0.5), 4), "0.5569");
}
