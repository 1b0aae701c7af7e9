#include "report/run_analysis.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

::Run RunOf(const std::vector<double>& seconds)
{
    ::Run run;
    run.application = "app.exe";
    run.announced = static_cast<std::int64_t>(seconds.size());
    for (double value : seconds) {
        Launch launch;
        launch.seconds = value;
        run.launches.push_back(launch);
    }
    return run;
}

}  // namespace

TEST(RunAnalysis, ColdAndWarmFromThreeLaunches)
{
    ::Run two = RunOf({2.0, 1.0});
    EXPECT_FALSE(AnalyzeRun(two, 1, false).warm);
    ::Run three = RunOf({2.0, 1.0, 1.2});
    RunAnalysis analysis = AnalyzeRun(three, 1, false);
    ASSERT_TRUE(analysis.warm);
    EXPECT_EQ(analysis.warm->count, 2u);
    EXPECT_DOUBLE_EQ(analysis.warm->mean, 1.1);
    EXPECT_EQ(analysis.summary->count, 3u);
}

TEST(RunAnalysis, SkippingTheFirstLaunchLeavesItOutOfEveryFigure)
{
    // 9 s cold, then 1, 1.1, 0.9, 1, 5: the 5 is an outlier among the warm
    // launches; index 5 in the run.
    ::Run run = RunOf({9.0, 1.0, 1.1, 0.9, 1.0, 5.0});
    RunAnalysis analysis = AnalyzeRun(run, 4, true);
    EXPECT_EQ(analysis.number, 4);
    EXPECT_EQ(analysis.counted_from, 1u);
    EXPECT_EQ(analysis.seconds.size(), 6u);
    EXPECT_EQ(analysis.summary->count, 5u);
    EXPECT_DOUBLE_EQ(analysis.summary->max, 5.0);
    EXPECT_DOUBLE_EQ(analysis.summary->median, 1.0);
    EXPECT_EQ(analysis.outliers, (std::vector<size_t>{5}));

    ::Run one = RunOf({3.0});
    RunAnalysis only_cold = AnalyzeRun(one, 1, true);
    EXPECT_FALSE(only_cold.summary);
    ::Run none = RunOf({});
    EXPECT_FALSE(AnalyzeRun(none, 1, true).summary);
}

TEST(RunAnalysis, WideSpreadAboveAQuarterOfTheMean)
{
    // 1 and 1 + d: mean 1 + d/2, sd d / sqrt(2).
    auto wide = [](double d) {
        ::Run run = RunOf({1.0, 1.0 + d});
        return AnalyzeRun(run, 1, false).wide_spread;
    };
    EXPECT_FALSE(wide(0.4));  // sd 0.283 < 0.25 * 1.2 = 0.3
    EXPECT_TRUE(wide(0.5));   // sd 0.354 > 0.25 * 1.25 = 0.3125
    EXPECT_FALSE(wide(0.0));
}

TEST(RunAnalysis, ComparesAgainstTheFastestOrTheReferenceGiven)
{
    ::Run slow = RunOf({2.0, 2.2, 1.8});  // mean 2, sd 0.2
    ::Run fast = RunOf({1.0, 1.1, 0.9});  // mean 1, sd 0.1
    ::Run empty = RunOf({});
    std::vector<RunAnalysis> runs = {AnalyzeRun(slow, 1, false), AnalyzeRun(empty, 2, false),
                                     AnalyzeRun(fast, 3, false)};
    ComparisonReport fastest = CompareRuns(runs, 0, 0.05);
    EXPECT_EQ(fastest.reference, 3);
    EXPECT_TRUE(fastest.reference_is_fastest);
    ASSERT_EQ(fastest.rows.size(), 2u);  // the empty run has nothing to compare
    const RunComparison& slower = fastest.rows[0];
    EXPECT_EQ(slower.number, 1);
    EXPECT_DOUBLE_EQ(*slower.ratio, 2.0);
    // 2 * sqrt((0.2/2)^2 + (0.1/1)^2) = 2 * sqrt(0.02)
    EXPECT_NEAR(*slower.ratio_uncertainty, 2.0 * std::sqrt(0.02), 1e-12);
    ASSERT_TRUE(slower.welch);
    EXPECT_TRUE(slower.significant);
    EXPECT_TRUE(fastest.rows[1].is_reference);
    EXPECT_FALSE(fastest.rows[1].welch);
    EXPECT_FALSE(fastest.rows[1].ratio_uncertainty);

    ComparisonReport against_slow = CompareRuns(runs, 1, 0.05);
    EXPECT_EQ(against_slow.reference, 1);
    EXPECT_FALSE(against_slow.reference_is_fastest);
    EXPECT_DOUBLE_EQ(*against_slow.rows[1].ratio, 0.5);
    // A level below the p-value makes the same difference not significant.
    double p = against_slow.rows[1].welch->p;
    EXPECT_FALSE(CompareRuns(runs, 1, p / 2).rows[1].significant);
    EXPECT_EQ(CompareRuns(runs, 2, 0.05).reference, 0);  // no launches: cannot serve
}

TEST(RunAnalysis, NoRatioAgainstAMeanOfZero)
{
    ::Run zero = RunOf({0.0, 0.0});
    ::Run other = RunOf({0.1, 0.2});
    std::vector<RunAnalysis> runs = {AnalyzeRun(zero, 1, false), AnalyzeRun(other, 2, false)};
    ComparisonReport report = CompareRuns(runs, 0, 0.05);
    EXPECT_EQ(report.reference, 1);
    EXPECT_FALSE(report.rows[1].ratio);
    ASSERT_TRUE(report.rows[1].welch);
}
