#include "report/regression_gate.h"

#include "report/welch_test.h"

namespace {

const RunComparison* FindRow(const ComparisonReport& comparison, int number)
{
    for (const RunComparison& row : comparison.rows)
        if (row.number == number)
            return &row;
    return nullptr;
}

size_t CountedLaunches(const RunAnalysis* run)
{
    return run && run->summary ? run->summary->count : 0;
}

// Why Welch's test had nothing to say about run against reference: the
// side short of launches first, since more launches is then the remedy.
void ExplainDoubt(const RunAnalysis& run, const RunAnalysis* reference, GateRun* judged)
{
    if (CountedLaunches(&run) < kWelchMinLaunches) {
        judged->doubt = kDoubtFewLaunches;
        judged->launches = CountedLaunches(&run);
    } else if (CountedLaunches(reference) < kWelchMinLaunches) {
        judged->doubt = kDoubtFewReferenceLaunches;
        judged->launches = CountedLaunches(reference);
    } else {
        judged->doubt = kDoubtNoSpread;
    }
}

}  // namespace

GateReport ApplyRegressionGate(const ComparisonReport& comparison,
                               const std::vector<RunAnalysis>& runs, double limitPercent)
{
    GateReport gate;
    gate.limitPercent = limitPercent;
    gate.reference = comparison.reference;
    gate.significanceLevel = comparison.significanceLevel;
    const RunAnalysis* reference = nullptr;
    for (const RunAnalysis& run : runs)
        if (run.number == comparison.reference && run.summary)
            reference = &run;
    double referenceMean = reference ? reference->summary->mean : 0.0;
    double limit = referenceMean * (1.0 + limitPercent / 100.0);
    for (const RunAnalysis& run : runs) {
        if (&run == reference)
            continue;
        GateRun judged;
        judged.number = run.number;
        const RunComparison* row = FindRow(comparison, run.number);
        if (!row || !row->welch) {
            judged.outcome = kGateCannotJudge;
            ExplainDoubt(run, reference, &judged);
            gate.cannotJudge = true;
            gate.runs.push_back(judged);
            continue;
        }
        if (!(row->mean > limit))
            continue;
        if (row->ratio)
            judged.percentSlower = (*row->ratio - 1.0) * 100.0;
        judged.p = row->welch->p;
        judged.outcome = row->significant ? kGateFailed : kGateNotSignificant;
        gate.failed = gate.failed || judged.outcome == kGateFailed;
        gate.runs.push_back(judged);
    }
    return gate;
}
