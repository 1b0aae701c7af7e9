#include "report/outliers.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Outliers, ScoresAgreeWithTheModifiedZScoreFormula)
{
    // The first run of data/demo.log. Expected scores from Python 3:
    // 0.6745 * (x - median) / median(|x - median|) with statistics.median.
    const std::vector<double> launches = {1.3812, 0.3879, 0.3926, 0.4114, 0.4222, 0.4049,
                                          0.3767, 0.6904, 0.4054, 0.4233, 0.3951, 0.3772};
    const double expected[] = {38.3875058309, -0.6784329446, -0.4935845481, 0.2458090379,
                               0.6705670554,  -0.0098323615, -1.1189227405, 11.2187244898,
                               0.0098323615,  0.7138294461,  -0.3952609329, -1.0992580175};
    std::vector<double> scores = ModifiedZScores(launches);
    ASSERT_EQ(scores.size(), launches.size());
    for (size_t i = 0; i < scores.size(); ++i)
        EXPECT_NEAR(scores[i], expected[i], 1e-9) << "launch " << i + 1;
    EXPECT_EQ(OutlierIndices(launches), (std::vector<size_t>{0, 7}));
}

TEST(Outliers, ThresholdIsStrict)
{
    // -2, -1, 0, 0, 0, 1, 2 and x beyond them: median 0, MAD 1, so x scores
    // 0.6745 x. 3.5 / 0.6745 = 5.18903: just below is no outlier, just above is.
    EXPECT_TRUE(OutlierIndices({-2.0, -1.0, 0.0, 0.0, 0.0, 1.0, 2.0, 5.189}).empty());
    EXPECT_EQ(OutlierIndices({-2.0, -1.0, 0.0, 0.0, 0.0, 1.0, 2.0, 5.19}),
              (std::vector<size_t>{7}));
    EXPECT_EQ(OutlierIndices({-5.19, -2.0, -1.0, 0.0, 0.0, 0.0, 1.0, 2.0}),
              (std::vector<size_t>{0}));
}

TEST(Outliers, MeanAbsoluteDeviationStandsInWhenMostValuesAreEqual)
{
    // Median 1, MAD 0; mean absolute deviation 1/6, so the 2 scores
    // 1 / (1.253314 / 6) = 4.7873...
    std::vector<double> scores = ModifiedZScores({1.0, 1.0, 1.0, 1.0, 1.0, 2.0});
    EXPECT_NEAR(scores[5], 6.0 / 1.253314, 1e-12);
    EXPECT_EQ(scores[0], 0.0);
    EXPECT_EQ(OutlierIndices({1.0, 1.0, 1.0, 1.0, 1.0, 2.0}), (std::vector<size_t>{5}));
}

TEST(Outliers, NoneAmongEqualTwoOrNoValues)
{
    EXPECT_TRUE(OutlierIndices({0.5, 0.5, 0.5}).empty());
    EXPECT_TRUE(OutlierIndices({0.1, 9.0}).empty());
    EXPECT_TRUE(OutlierIndices({0.1}).empty());
    EXPECT_TRUE(OutlierIndices({}).empty());
    EXPECT_EQ(ModifiedZScores({0.5, 0.5}), (std::vector<double>{0.0, 0.0}));
}

TEST(Outliers, OnlyFarInTimeAndFromFiveLaunches)
{
    // Each row's odd launch scores far above 3.5; whether it is an outlier
    // depends on its distance from the median and on the run's size.
    struct Row {
        std::vector<double> launches;
        std::vector<size_t> outliers;
    } rows[] = {
        {{0.99, 1.0, 1.01, 9.0}, {}},                // 4 launches: too few to tell
        {{0.99, 1.0, 1.0, 1.01, 9.0}, {4}},          // 5 launches
        {{19.99, 20.0, 20.0, 20.01, 21.0}, {4}},     // exactly 5 % from the median 20
        {{0.999, 1.0, 1.0, 1.001, 0.95}, {4}},       // 5 % below it
        {{0.999, 1.0, 1.0, 1.001, 1.0499}, {}},      // just under 5 %
        {{1.0, 1.001, 1.002, 1.003, 1.04}, {}},      // 3.8 % from the median 1.002
    };
    for (const Row& row : rows) {
        EXPECT_GT(std::fabs(ModifiedZScores(row.launches).back()), kOutlierThreshold);
        EXPECT_EQ(OutlierIndices(row.launches), row.outliers) << row.launches.back();
    }
}
