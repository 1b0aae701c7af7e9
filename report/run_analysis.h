// Everything the reports say about a run, worked out once so that the
// terminal summary and every export agree.
#ifndef KAIRON_REPORT_RUN_ANALYSIS_H
#define KAIRON_REPORT_RUN_ANALYSIS_H

#include "report/median_ratio.h"
#include "report/rank_test.h"
#include "report/results_log.h"
#include "report/statistics.h"
#include "report/welch_test.h"

#include <optional>
#include <string>
#include <vector>

// A run whose standard deviation exceeds this share of its mean is flagged:
// its mean says little about a typical launch.
extern const double kWideSpreadRatio;
// Launches a run needs before its first one is shown apart from the rest.
extern const size_t kMinLaunchesForColdWarm;

struct RunAnalysis {
    const Run* run = nullptr;
    int number = 0;                  // 1, 2, ... across all logs read
    std::vector<double> seconds;     // every launch, in log order, failed ones too
    std::vector<bool> failed;        // per launch: it did not reach its condition
    size_t failedLaunches = 0;
    bool failedCounted = false;      // the failed launches are in the figures
    size_t countedFrom = 0;          // 1 when the first launch is left out
    std::vector<bool> counted;       // per launch: in the summary and the outliers
    std::optional<Summary> summary;  // of the counted launches; none if none
    std::optional<Summary> warm;     // launches 2..n but failed ones, when the
                                     // first did not fail and there are enough
    std::vector<size_t> outliers;    // among the counted; indices into seconds
    bool wideSpread = false;
};

// The figures leave out the launches that failed, whose times measure a
// time-out or a crash rather than a start-up, unless includeFailed.
// skipFirst leaves the first (cold) launch out of the summary, the
// outliers and so of any comparison, for when the warm start-up time is
// what matters.
RunAnalysis AnalyzeRun(const Run& run, int number, bool skipFirst,
                       bool includeFailed = false);

// Empty when every run is of one program, by the file name of its
// application with case ignored, as Windows ignores it: old\app.exe against
// new\app.exe is the same program built twice, what a comparison is for.
// Otherwise "run 1 notepad.exe, run 2 sample.exe": comparing those says
// nothing of either, and is most often a log shared by mistake.
std::string DifferentPrograms(const std::vector<RunAnalysis>& runs);

// How many failure kinds, from the first, the exports of these runs name:
// kFailureKindsAlwaysExported, and the later ones up to the last that a
// run has.
int ExportedFailureKinds(const std::vector<RunAnalysis>& runs);

// Whether a launch's time belongs on a chart: its start-up was measured.
bool IsMeasured(const RunAnalysis& analysis, size_t launch);

// The counted launches' times, in log order.
std::vector<double> CountedSeconds(const RunAnalysis& analysis);

// Which test decides whether a difference is significant, and so the
// verdicts and the gate. The rank test is the default: a few slow launches
// inflate a mean and its spread, and hide a real slowdown from Welch's.
enum SignificanceTest {
    kRankTest,   // Mann-Whitney U, with the median ratio's interval
    kWelchTest,  // Welch's t-test of the means
};
// The names --test takes, in the order above, and the words for each.
extern const char* const kSignificanceTestNames[2];
extern const char* const kSignificanceTestTitles[2];
bool ReadSignificanceTest(const std::string& name, SignificanceTest* test);

struct RunComparison {
    int number = 0;
    double mean = 0.0;               // of the counted launches
    double median = 0.0;
    std::optional<double> ratio;     // mean / reference mean
    std::optional<double> ratioUncertainty;
    std::optional<double> medianRatio;  // median / reference median
    std::optional<RatioInterval> medianRatioInterval;
    std::optional<RatioInterval> meanRatioInterval;  // Welch's, of the ratio of means
    bool isReference = false;
    std::optional<WelchResult> welch;   // against the reference
    std::optional<RankTestResult> rank;  // against the reference
    bool significant = false;        // the deciding test's p below the level
};

struct ComparisonReport {
    int reference = 0;               // run number; 0 when none could serve
    bool referenceIsFastest = false;
    double significanceLevel = 0.05;
    double intervalConfidence = 0.95;  // 1 - the level: the gate holds both to one risk
    SignificanceTest test = kRankTest;
    std::vector<RunComparison> rows; // runs with launches, in run order
};

// The p of the test that decides; none when it could not run.
std::optional<double> DecidingP(const RunComparison& row, SignificanceTest test);

// What a comparison row says of its run. Each report words it its own way;
// this is where the decision is made, so that they all say the same.
enum ComparisonVerdict {
    kVerdictNoRatio,         // the reference's median (Welch: mean) is 0
    kVerdictReference,       // the row is the reference itself
    kVerdictNotTestable,     // the deciding test could not run
    kVerdictNotSignificant,
    kVerdictSlower,          // significantly
    kVerdictFaster,          // significantly
};

ComparisonVerdict JudgeComparison(const RunComparison& row, SignificanceTest test);

// Compares every run with launches against the reference: the run with the
// given number, or, when reference is 0, the fastest by the centre `test`
// compares: the lowest median under the rank test, the lowest mean under
// Welch's; a tie for the fastest goes to the earlier run. Both tests run;
// `test` decides. The mean ratio's uncertainty propagates both standard
// deviations: r * sqrt((sd/mean)^2 + (sd_ref/mean_ref)^2). The intervals'
// confidence is 1 - significanceLevel, so that a gate which asks p < level
// of the test asks the same of the interval.
ComparisonReport CompareRuns(const std::vector<RunAnalysis>& runs, int reference,
                             double significanceLevel, SignificanceTest test = kRankTest);

#endif
