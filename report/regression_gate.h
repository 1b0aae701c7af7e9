// The regression gate, for CI: a run fails when its mean start-up time is
// slower than the reference's by more than a set percentage and Welch's
// test calls the difference significant. A slowdown that chance could
// explain does not fail it: the gate should stop a job for a real
// regression, not for a noisy machine. A run that cannot be tested at all
// (too few launches, no spread) gets a verdict of its own, whether it is
// over the limit or not: a job that times one launch per build would
// otherwise pass every time without having judged anything.
#ifndef KAIRON_REPORT_REGRESSION_GATE_H
#define KAIRON_REPORT_REGRESSION_GATE_H

#include "report/run_analysis.h"

#include <cstddef>
#include <optional>
#include <vector>

enum GateOutcome {
    kGateFailed,          // over the limit, and significantly slower
    kGateNotSignificant,  // over the limit, but p is not below the level
    kGateCannotJudge,     // Welch's test cannot run: see GateDoubt
};

// Why a run cannot be judged, checked in this order.
enum GateDoubt {
    kDoubtNone,
    kDoubtFewLaunches,           // the run has fewer than kWelchMinLaunches counted
    kDoubtFewReferenceLaunches,  // the reference has
    kDoubtNoSpread,              // every launch of both took the same time
};

struct GateRun {
    int number = 0;
    GateOutcome outcome = kGateFailed;
    std::optional<double> percentSlower;  // none when the reference's mean is 0
    std::optional<double> p;
    GateDoubt doubt = kDoubtNone;
    size_t launches = 0;  // with kDoubtFew...: the counted launches of the side short of them
};

struct GateReport {
    double limitPercent = 0.0;
    int reference = 0;
    double significanceLevel = 0.05;
    // The runs over the limit and those that cannot be judged, in run order.
    std::vector<GateRun> runs;
    bool failed = false;
    bool cannotJudge = false;
};

// A run is over the limit when its mean exceeds the reference's mean times
// (1 + limitPercent / 100); exactly at the limit is not over it. Every run
// but the reference is judged, those without launches too.
GateReport ApplyRegressionGate(const ComparisonReport& comparison,
                               const std::vector<RunAnalysis>& runs, double limitPercent);

#endif
