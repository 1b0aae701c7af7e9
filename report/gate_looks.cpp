#include "report/gate_looks.h"

#include <algorithm>

const int kMaxGateLooks = 5;

std::vector<int> GateLooks(const GatePlan& plan)
{
    const int added = std::max(0, plan.maxRuns - plan.runs);
    const int looks = std::min(kMaxGateLooks, added + 1);
    std::vector<int> at;
    for (int look = 0; look < looks; ++look)
        at.push_back(looks == 1 ? plan.runs
                                : plan.runs + (look * added + (looks - 1) / 2) / (looks - 1));
    return at;
}

double LookLevel(const GatePlan& plan)
{
    return plan.significanceLevel / static_cast<double>(GateLooks(plan).size());
}

GateReport GateAtLook(const GatePlan& plan, const std::vector<RunAnalysis>& pair)
{
    const ComparisonReport comparison = CompareRuns(pair, 1, LookLevel(plan), plan.test);
    return ApplyRegressionGate(comparison, pair, plan.limitPercent);
}

bool IsGateLook(const GatePlan& plan, int launches)
{
    const std::vector<int> looks = GateLooks(plan);
    return std::find(looks.begin(), looks.end(), launches) != looks.end();
}

bool LookEndsRun(const GatePlan& plan, int launches, const GateReport& gate)
{
    return launches >= plan.maxRuns || gate.failed || !gate.cannotJudge;
}

bool TakeAnotherRound(const GatePlan& plan, int launches, const std::vector<RunAnalysis>& pair)
{
    if (launches >= plan.maxRuns)
        return false;
    return !IsGateLook(plan, launches) || !LookEndsRun(plan, launches, GateAtLook(plan, pair));
}
