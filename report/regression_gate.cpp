#include "report/regression_gate.h"

GateReport ApplyRegressionGate(const ComparisonReport& comparison, double limit_percent)
{
    GateReport gate;
    gate.limit_percent = limit_percent;
    gate.reference = comparison.reference;
    gate.significance_level = comparison.significance_level;
    double reference_mean = 0.0;
    for (const RunComparison& row : comparison.rows)
        if (row.is_reference)
            reference_mean = row.mean;
    double limit = reference_mean * (1.0 + limit_percent / 100.0);
    for (const RunComparison& row : comparison.rows) {
        if (row.is_reference || !(row.mean > limit))
            continue;
        GateRun run;
        run.number = row.number;
        if (row.ratio)
            run.percent_slower = (*row.ratio - 1.0) * 100.0;
        if (row.welch)
            run.p = row.welch->p;
        run.outcome = !row.welch ? kGateUntested
                                 : (row.significant ? kGateFailed : kGateNotSignificant);
        gate.failed = gate.failed || run.outcome == kGateFailed;
        gate.over_limit.push_back(run);
    }
    return gate;
}
