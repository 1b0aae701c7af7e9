// kairon-time --max-runs: while the gate cannot tell, more launches are
// taken, a round at a time, and the gate looks again. Every look could
// stop the run at "slower" or "within", so every look is a chance of a
// false one: the looks are planned before the first launch, at most
// kMaxGateLooks of them spread evenly from --runs to --max-runs launches a
// side, and the level is split evenly between them (Bonferroni). Each
// look's test asks p < level / looks and its interval is of confidence
// 1 - level / looks; over all looks, a false "slower" stays below the level.
#ifndef KAIRON_REPORT_GATE_LOOKS_H
#define KAIRON_REPORT_GATE_LOOKS_H

#include "report/regression_gate.h"
#include "report/run_analysis.h"

#include <vector>

extern const int kMaxGateLooks;  // 5: 20, 30, 40, 50, 60 for --runs 20 --max-runs 60

struct GatePlan {
    double limitPercent = 0.0;
    double significanceLevel = 0.05;  // over all looks
    SignificanceTest test = kRankTest;
    int runs = 0;     // launches a side at the first look
    int maxRuns = 0;  // at the last; runs when no launch is added
};

// The launches a side after which the gate looks, in order.
std::vector<int> GateLooks(const GatePlan& plan);
// The level of each look: the plan's, split between its looks.
double LookLevel(const GatePlan& plan);

// The gate of run 2, the candidate, against run 1, the baseline, at the
// level of one look.
GateReport GateAtLook(const GatePlan& plan, const std::vector<RunAnalysis>& pair);

// Whether the gate looks after `launches` a side.
bool IsGateLook(const GatePlan& plan, int launches);

// Whether the gate's verdict at a look ends the run: it can tell, or no
// launch may be added.
bool LookEndsRun(const GatePlan& plan, int launches, const GateReport& gate);

// After `launches` a side: whether to take another round. Yes until the
// next look, and at a look while the gate cannot tell; never at maxRuns.
bool TakeAnotherRound(const GatePlan& plan, int launches, const std::vector<RunAnalysis>& pair);

#endif
