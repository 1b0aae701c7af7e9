// The regression gate, for CI: a run fails when its mean start-up time is
// slower than the reference's by more than a set percentage and Welch's
// test calls the difference significant. A slowdown that chance could
// explain, or that cannot be tested, does not fail it: the gate should stop
// a job for a real regression, not for a noisy machine.
#ifndef KAIRON_REPORT_REGRESSION_GATE_H
#define KAIRON_REPORT_REGRESSION_GATE_H

#include "report/run_analysis.h"

#include <optional>
#include <vector>

enum GateOutcome {
    kGateFailed,          // over the limit, and significantly slower
    kGateNotSignificant,  // over the limit, but p is not below the level
    kGateUntested,        // over the limit, but the runs could not be tested
};

struct GateRun {
    int number = 0;
    GateOutcome outcome = kGateFailed;
    std::optional<double> percent_slower;  // none when the reference's mean is 0
    std::optional<double> p;
};

struct GateReport {
    double limit_percent = 0.0;
    int reference = 0;
    double significance_level = 0.05;
    std::vector<GateRun> over_limit;  // the runs slower than the limit, in run order
    bool failed = false;
};

// A run is over the limit when its mean exceeds the reference's mean times
// (1 + limit_percent / 100); exactly at the limit is not over it.
GateReport ApplyRegressionGate(const ComparisonReport& comparison, double limit_percent);

#endif
