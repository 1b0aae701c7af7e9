#include "report/run_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// A run whose launches at the given indices did not find their window.
::Run RunWithFailures(const std::vector<double>& seconds, const std::vector<size_t>& failed)
{
    ::Run run = RunOf(seconds);
    for (size_t index : failed)
        run.launches[index].failures[kWindowNotFound] = 1;
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
    EXPECT_EQ(analysis.countedFrom, 1u);
    EXPECT_EQ(analysis.seconds.size(), 6u);
    EXPECT_EQ(analysis.summary->count, 5u);
    EXPECT_DOUBLE_EQ(analysis.summary->max, 5.0);
    EXPECT_DOUBLE_EQ(analysis.summary->median, 1.0);
    EXPECT_EQ(analysis.outliers, (std::vector<size_t>{5}));

    ::Run one = RunOf({3.0});
    RunAnalysis onlyCold = AnalyzeRun(one, 1, true);
    EXPECT_FALSE(onlyCold.summary);
    ::Run none = RunOf({});
    EXPECT_FALSE(AnalyzeRun(none, 1, true).summary);
}

TEST(RunAnalysis, FailedLaunchesAreLeftOutOfEveryFigureUnlessIncluded)
{
    // Launch 2 gave up its search after 57 s; launch 6, at 5 s, is an
    // outlier among the others. A failed first launch is no cold start.
    ::Run secondFailed = RunWithFailures({1.0, 57.0, 1.1, 0.9, 1.0, 5.0}, {1});
    ::Run firstFailed = RunWithFailures({57.0, 1.0, 1.1, 0.9}, {0});
    struct {
        const ::Run* run;
        bool skipFirst;
        bool includeFailed;
        std::vector<bool> counted;
        double max;
        std::vector<size_t> outliers;
        size_t warm;  // launches in the warm summary; 0 for none
    } cases[] = {
        {&secondFailed, false, false, {true, false, true, true, true, true}, 5.0, {5}, 4},
        {&secondFailed, false, true, {true, true, true, true, true, true}, 57.0, {1, 5}, 5},
        // Four counted launches: too few to name outliers among them.
        {&secondFailed, true, false, {false, false, true, true, true, true}, 5.0, {}, 4},
        {&secondFailed, true, true, {false, true, true, true, true, true}, 57.0, {1, 5}, 5},
        {&firstFailed, false, false, {false, true, true, true}, 1.1, {}, 0},
        {&firstFailed, false, true, {true, true, true, true}, 57.0, {}, 3},
    };
    for (const auto& c : cases) {
        RunAnalysis analysis = AnalyzeRun(*c.run, 1, c.skipFirst, c.includeFailed);
        SCOPED_TRACE(testing::Message() << "launches " << c.run->launches.size() << ", skip "
                                        << c.skipFirst << ", include " << c.includeFailed);
        EXPECT_EQ(analysis.seconds.size(), c.run->launches.size());
        EXPECT_EQ(analysis.failedLaunches, 1u);
        EXPECT_EQ(analysis.failedCounted, c.includeFailed);
        EXPECT_EQ(analysis.counted, c.counted);
        ASSERT_TRUE(analysis.summary);
        EXPECT_EQ(analysis.summary->count,
                  static_cast<size_t>(std::count(c.counted.begin(), c.counted.end(), true)));
        EXPECT_EQ(analysis.summary->max, c.max);
        EXPECT_EQ(analysis.outliers, c.outliers);
        EXPECT_EQ(analysis.warm ? analysis.warm->count : 0u, c.warm);
    }
    // Nothing left to count: no figures, so no comparison either.
    ::Run allFailed = RunWithFailures({57.0, 58.0}, {0, 1});
    ::Run fine = RunOf({1.0, 1.1});
    std::vector<RunAnalysis> runs = {AnalyzeRun(allFailed, 1, false),
                                     AnalyzeRun(fine, 2, false)};
    EXPECT_FALSE(runs[0].summary);
    ComparisonReport report = CompareRuns(runs, 0, 0.05);
    EXPECT_EQ(report.reference, 2);
    ASSERT_EQ(report.rows.size(), 1u);
}

TEST(RunAnalysis, WideSpreadAboveAQuarterOfTheMean)
{
    // 1 and 1 + d: mean 1 + d/2, sd d / sqrt(2).
    auto wide = [](double d) {
        ::Run run = RunOf({1.0, 1.0 + d});
        return AnalyzeRun(run, 1, false).wideSpread;
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
    ComparisonReport fastest = CompareRuns(runs, 0, 0.05, kWelchTest);
    EXPECT_EQ(fastest.reference, 3);
    EXPECT_TRUE(fastest.referenceIsFastest);
    ASSERT_EQ(fastest.rows.size(), 2u);  // the empty run has nothing to compare
    const RunComparison& slower = fastest.rows[0];
    EXPECT_EQ(slower.number, 1);
    EXPECT_DOUBLE_EQ(*slower.ratio, 2.0);
    // 2 * sqrt((0.2/2)^2 + (0.1/1)^2) = 2 * sqrt(0.02)
    EXPECT_NEAR(*slower.ratioUncertainty, 2.0 * std::sqrt(0.02), 1e-12);
    ASSERT_TRUE(slower.welch);
    EXPECT_TRUE(slower.significant);
    EXPECT_TRUE(fastest.rows[1].isReference);
    EXPECT_FALSE(fastest.rows[1].welch);
    EXPECT_FALSE(fastest.rows[1].ratioUncertainty);

    ComparisonReport againstSlow = CompareRuns(runs, 1, 0.05, kWelchTest);
    EXPECT_EQ(againstSlow.reference, 1);
    EXPECT_FALSE(againstSlow.referenceIsFastest);
    EXPECT_DOUBLE_EQ(*againstSlow.rows[1].ratio, 0.5);
    // A level below the p-value makes the same difference not significant.
    double p = againstSlow.rows[1].welch->p;
    EXPECT_FALSE(CompareRuns(runs, 1, p / 2, kWelchTest).rows[1].significant);
    EXPECT_EQ(CompareRuns(runs, 2, 0.05).reference, 0);  // no launches: cannot serve

    // The rank test decides by default: three launches a side give p =
    // 0.0809 at best, though Welch's calls the same difference significant.
    const RunComparison ranked = CompareRuns(runs, 0, 0.05).rows[0];
    EXPECT_FALSE(ranked.significant);
    EXPECT_DOUBLE_EQ(*ranked.medianRatio, 2.0);
    // The fastest by the deciding test's centre: one slow launch makes a
    // mean, not a median.
    ::Run steady = RunOf({1.5, 1.5, 1.5});
    ::Run spiky = RunOf({1.0, 1.0, 5.0});
    std::vector<RunAnalysis> pair = {AnalyzeRun(steady, 1, false), AnalyzeRun(spiky, 2, false)};
    EXPECT_EQ(CompareRuns(pair, 0, 0.05).reference, 2);
    EXPECT_EQ(CompareRuns(pair, 0, 0.05, kWelchTest).reference, 1);
    // A tie on the centre goes to the earlier run, by either test.
    ::Run twin = RunOf({1.0, 1.1, 0.9});
    std::vector<RunAnalysis> tied = {AnalyzeRun(slow, 1, false), AnalyzeRun(fast, 2, false),
                                     AnalyzeRun(twin, 3, false)};
    EXPECT_EQ(CompareRuns(tied, 0, 0.05).reference, 2);
    EXPECT_EQ(CompareRuns(tied, 0, 0.05, kWelchTest).reference, 2);
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

TEST(RunAnalysis, VerdictOfAComparisonRow)
{
    const WelchResult welch = {3.0, 4.0, 0.01};
    // U against its middle, n1 n2 / 2 = 4.5, says which side the rank test leans to.
    const RankTestResult above = {8.0, 9.0, 0.04};
    const RankTestResult below = {4.0, 9.0, 0.04};
    struct {
        SignificanceTest test;
        std::optional<double> ratio;  // the deciding test's: medians for the rank test
        bool isReference;
        std::optional<WelchResult> welch;
        std::optional<RankTestResult> rank;
        bool significant;
        ComparisonVerdict verdict;
    } cases[] = {
        // Checked in this order: a missing ratio outweighs everything.
        {kWelchTest, std::nullopt, true, std::nullopt, std::nullopt, false, kVerdictNoRatio},
        {kWelchTest, std::nullopt, false, welch, above, true, kVerdictNoRatio},
        {kWelchTest, 1.0, true, std::nullopt, std::nullopt, false, kVerdictReference},
        {kWelchTest, 2.0, false, std::nullopt, above, true, kVerdictNotTestable},
        {kWelchTest, 2.0, false, welch, std::nullopt, false, kVerdictNotSignificant},
        {kWelchTest, 0.5, false, welch, std::nullopt, false, kVerdictNotSignificant},
        {kWelchTest, 2.0, false, welch, std::nullopt, true, kVerdictSlower},
        {kWelchTest, 1.0001, false, welch, below, true, kVerdictSlower},
        {kWelchTest, 0.5, false, welch, std::nullopt, true, kVerdictFaster},
        {kWelchTest, 1.0, false, welch, std::nullopt, true, kVerdictFaster},  // only above 1 is slower
        {kRankTest, std::nullopt, false, welch, above, true, kVerdictNoRatio},
        {kRankTest, 2.0, false, welch, std::nullopt, true, kVerdictNotTestable},
        {kRankTest, 2.0, false, std::nullopt, above, false, kVerdictNotSignificant},
        {kRankTest, 1.0, false, std::nullopt, above, true, kVerdictSlower},
        {kRankTest, 2.0, false, welch, below, true, kVerdictFaster},  // the ranks decide, not the ratio
        {kRankTest, 1.0, false, std::nullopt, {{4.5, 9.0, 0.04}}, true, kVerdictFaster},
    };
    for (const auto& c : cases) {
        RunComparison row;
        (c.test == kRankTest ? row.medianRatio : row.ratio) = c.ratio;
        row.isReference = c.isReference;
        row.welch = c.welch;
        row.rank = c.rank;
        row.significant = c.significant;
        EXPECT_EQ(JudgeComparison(row, c.test), c.verdict)
            << c.test << " " << (c.ratio ? *c.ratio : -1.0) << " " << c.isReference << " "
            << bool(c.welch) << " " << bool(c.rank) << " " << c.significant;
    }
}
