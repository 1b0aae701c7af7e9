// The regression gate, for CI. Each run is held against the reference, and
// the gate says one of three things of it: slower than the limit, within
// the limit, or that it cannot tell. A gate that passed whatever it could
// not tell apart would pass a noisy slowdown; so a run is within the limit
// only when the whole interval of its ratio to the reference lies at or
// below 1 + PCT / 100, and slower only when the whole interval lies above
// it and the deciding test's p is below the level. By default that is the
// rank test with the median ratio's bootstrap interval; with Welch's, the
// means and Welch's interval of their ratio. The interval's confidence is
// 1 - the level.
#ifndef KAIRON_REPORT_REGRESSION_GATE_H
#define KAIRON_REPORT_REGRESSION_GATE_H

#include "report/run_analysis.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

enum GateOutcome {
    kGateSlower,      // slower than the limit: status 4
    kGateWithin,      // within the limit: status 0
    kGateCannotTell,  // status 5: see GateDoubt
};

// Why the gate cannot tell, checked in this order.
enum GateDoubt {
    kDoubtNone,
    kDoubtFewLaunches,           // the run has fewer counted than the test needs
    kDoubtFewReferenceLaunches,  // the reference has
    kDoubtNoSpread,              // Welch: neither side has any spread
    kDoubtAllEqual,              // rank: every launch of both took the same time
    kDoubtNoMedianRatio,         // rank: the reference's median is 0
    kDoubtCannotReachLevel,      // rank: too few launches for any p below the level
    kDoubtNoInterval,            // a resampled median (Welch: the mean) of the reference is 0
    kDoubtAcrossLimit,           // the interval holds the limit
    kDoubtNotSignificant,        // the interval lies above the limit, p does not
};

struct GateRun {
    int number = 0;
    GateOutcome outcome = kGateCannotTell;
    std::optional<double> ratio;  // of medians (Welch: means); none when the reference's is 0
    std::optional<double> p;
    std::optional<RatioInterval> interval;
    GateDoubt doubt = kDoubtNone;
    // kDoubtFew...: the counted launches of the side short of them;
    // kDoubtCannotReachLevel and kDoubtAcrossLimit: the run's, and
    // referenceLaunches the reference's.
    size_t launches = 0;
    size_t referenceLaunches = 0;
    // kDoubtAcrossLimit: about how many launches a side would bring the
    // interval to one side of the limit; none when its centre is on it.
    std::optional<double> launchesToTell;
};

struct GateReport {
    double limitPercent = 0.0;
    int reference = 0;
    double significanceLevel = 0.05;
    double intervalConfidence = 0.95;
    SignificanceTest test = kRankTest;
    std::vector<GateRun> runs;  // every run but the reference, in run order
    bool failed = false;        // some run is slower than the limit
    bool cannotJudge = false;   // the gate cannot tell of some run
};

// The launches each side needs for the test.
size_t GateMinLaunches(SignificanceTest test);

// Exactly at the limit is within it. Every run but the reference is
// judged, those without launches too.
GateReport ApplyRegressionGate(const ComparisonReport& comparison,
                               const std::vector<RunAnalysis>& runs, double limitPercent);

// The help of the gate's options, one text for kairon-report and
// kairon-time: `subject` is what is judged ("a run", "APP") and
// `reference` what against ("the reference", "BASELINE").
std::string FailIfSlowerHelp(const std::string& subject, const std::string& reference);
std::string SignificanceTestHelp();

// About how many launches a side would tell: an interval's width shrinks
// as one over the square root of the launches, around its centre, so the
// side of the interval facing the limit reaches it at n (reach / gap)^2.
// None when the centre is on the limit, where no number would tell.
std::optional<double> LaunchesToTell(const RatioInterval& interval, double centre,
                                     double limitRatio, size_t launches);

#endif
