// The regression gate, for CI: a run fails when it is slower than the
// reference by more than a set percentage and the deciding test calls the
// difference significant. By default that is the rank test, and the whole
// 95% interval of the median ratio must lie above the limit: a slowdown
// that chance could explain does not fail it, since the gate should stop a
// job for a real regression, not for a noisy machine. With Welch's test, as
// before it, the means are compared. A run that cannot be tested at all
// (too few launches, no spread) gets a verdict of its own, whether it is
// over the limit or not: a job that times one launch per build would
// otherwise pass every time without having judged anything.
#ifndef KAIRON_REPORT_REGRESSION_GATE_H
#define KAIRON_REPORT_REGRESSION_GATE_H

#include "report/run_analysis.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

enum GateOutcome {
    kGateFailed,          // over the limit, and significantly slower
    kGateNotSignificant,  // over the limit, but p is not below the level
    kGateIntervalReachesLimit,  // rank test: significant, but the interval reaches the limit
    kGateCannotJudge,     // the test cannot run: see GateDoubt
};

// Why a run cannot be judged, checked in this order.
enum GateDoubt {
    kDoubtNone,
    kDoubtFewLaunches,           // the run has fewer counted than the test needs
    kDoubtFewReferenceLaunches,  // the reference has
    kDoubtNoSpread,              // Welch: neither side has any spread
    kDoubtAllEqual,              // rank: every launch of both took the same time
    kDoubtNoMedianRatio,         // rank: the reference's median is 0
    kDoubtCannotReachLevel,      // rank: too few launches for any p below the level
};

struct GateRun {
    int number = 0;
    GateOutcome outcome = kGateFailed;
    std::optional<double> percentSlower;  // none when the reference's centre is 0
    std::optional<double> p;
    std::optional<RatioInterval> interval;  // rank test: of the median ratio
    GateDoubt doubt = kDoubtNone;
    // kDoubtFew...: the counted launches of the side short of them;
    // kDoubtCannotReachLevel: the run's, and referenceLaunches the reference's.
    size_t launches = 0;
    size_t referenceLaunches = 0;
};

struct GateReport {
    double limitPercent = 0.0;
    int reference = 0;
    double significanceLevel = 0.05;
    SignificanceTest test = kRankTest;
    // The runs over the limit and those that cannot be judged, in run order.
    std::vector<GateRun> runs;
    bool failed = false;
    bool cannotJudge = false;
};

// The launches each side needs for the test.
size_t GateMinLaunches(SignificanceTest test);

// Rank test: a run is over the limit when its median ratio, or the low end
// of its interval, exceeds 1 + limitPercent / 100, and fails when the low
// end does and p is below the level. Welch's: when its mean exceeds the
// reference's mean times (1 + limitPercent / 100), and fails when p is
// below the level. Exactly at the limit is not over it. Every run but the
// reference is judged, those without launches too.
GateReport ApplyRegressionGate(const ComparisonReport& comparison,
                               const std::vector<RunAnalysis>& runs, double limitPercent);

// The help of the gate's options, one text for kairon-report and
// kairon-time: `subject` is what is judged ("a run", "APP") and
// `reference` what against ("the reference", "BASELINE").
std::string FailIfSlowerHelp(const std::string& subject, const std::string& reference);
std::string SignificanceTestHelp();

#endif
