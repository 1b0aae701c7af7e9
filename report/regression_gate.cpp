#include "report/regression_gate.h"

#include "report/exit_statuses.h"
#include "report/rank_test.h"
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

// Why the test had nothing to say about run against reference: the side
// short of launches first, since more launches is then the remedy.
void ExplainDoubt(const RunAnalysis& run, const RunAnalysis* reference, SignificanceTest test,
                  const RunComparison* row, GateRun* judged)
{
    const size_t needed = GateMinLaunches(test);
    if (CountedLaunches(&run) < needed) {
        judged->doubt = kDoubtFewLaunches;
        judged->launches = CountedLaunches(&run);
    } else if (CountedLaunches(reference) < needed) {
        judged->doubt = kDoubtFewReferenceLaunches;
        judged->launches = CountedLaunches(reference);
    } else if (test == kWelchTest) {
        judged->doubt = kDoubtNoSpread;
    } else if (row && !row->medianRatio) {
        judged->doubt = kDoubtNoMedianRatio;
    } else {
        judged->doubt = kDoubtAllEqual;
    }
}

// Under the rank test a run too small for any p below the level would
// pass every time, faster or slower: a gate that cannot fail has not
// judged. A p that did reach the level (ties can lower it) is judged.
bool RankTestCannotReachLevel(const RunComparison& row, const RunAnalysis& run,
                              const RunAnalysis& reference, double level, GateRun* judged)
{
    if (row.rank->p < level ||
        SmallestRankTestP(CountedLaunches(&run), CountedLaunches(&reference)) < level)
        return false;
    judged->doubt = kDoubtCannotReachLevel;
    judged->launches = CountedLaunches(&run);
    judged->referenceLaunches = CountedLaunches(&reference);
    return true;
}

// Fills in how slow the run is, and returns whether that is over the limit.
bool JudgeRank(const RunComparison& row, double limitRatio, double level, GateRun* judged)
{
    judged->percentSlower = (*row.medianRatio - 1.0) * 100.0;
    judged->p = row.rank->p;
    judged->interval = row.medianRatioInterval;
    const bool intervalAbove = row.medianRatioInterval && row.medianRatioInterval->low > limitRatio;
    if (!(*row.medianRatio > limitRatio) && !intervalAbove)
        return false;
    if (!(row.rank->p < level))
        judged->outcome = kGateNotSignificant;
    else
        judged->outcome = intervalAbove ? kGateFailed : kGateIntervalReachesLimit;
    return true;
}

bool JudgeWelch(const RunComparison& row, double limitMean, GateRun* judged)
{
    if (!(row.mean > limitMean))
        return false;
    if (row.ratio)
        judged->percentSlower = (*row.ratio - 1.0) * 100.0;
    judged->p = row.welch->p;
    judged->outcome = row.significant ? kGateFailed : kGateNotSignificant;
    return true;
}

}  // namespace

size_t GateMinLaunches(SignificanceTest test)
{
    return test == kRankTest ? kRankMinLaunches : kWelchMinLaunches;
}

GateReport ApplyRegressionGate(const ComparisonReport& comparison,
                               const std::vector<RunAnalysis>& runs, double limitPercent)
{
    GateReport gate;
    gate.limitPercent = limitPercent;
    gate.reference = comparison.reference;
    gate.significanceLevel = comparison.significanceLevel;
    gate.test = comparison.test;
    const bool rank = comparison.test == kRankTest;
    const RunAnalysis* reference = nullptr;
    for (const RunAnalysis& run : runs)
        if (run.number == comparison.reference && run.summary)
            reference = &run;
    const double limitRatio = 1.0 + limitPercent / 100.0;
    const double limitMean = reference ? reference->summary->mean * limitRatio : 0.0;
    for (const RunAnalysis& run : runs) {
        if (&run == reference)
            continue;
        GateRun judged;
        judged.number = run.number;
        const RunComparison* row = FindRow(comparison, run.number);
        const bool tested = row && (rank ? row->rank && row->medianRatio : row->welch.has_value());
        if (!tested || (rank && RankTestCannotReachLevel(*row, run, *reference,
                                                         comparison.significanceLevel, &judged))) {
            judged.outcome = kGateCannotJudge;
            if (judged.doubt == kDoubtNone)
                ExplainDoubt(run, reference, comparison.test, row, &judged);
            gate.cannotJudge = true;
            gate.runs.push_back(judged);
            continue;
        }
        const bool over = rank ? JudgeRank(*row, limitRatio, comparison.significanceLevel, &judged)
                               : JudgeWelch(*row, limitMean, &judged);
        if (!over)
            continue;
        gate.failed = gate.failed || judged.outcome == kGateFailed;
        gate.runs.push_back(judged);
    }
    return gate;
}

std::string FailIfSlowerHelp(const std::string& subject, const std::string& reference)
{
    return "exit with status " + std::to_string(kExitSlower) + " when " + subject +
           " is\nmore than PCT percent slower than " + reference +
           " with\n95% confidence and significantly so, with " +
           std::to_string(kExitCannotJudge) +
           "\nwhen it cannot be tested (too few launches, all\ntimes equal)";
}

std::string SignificanceTestHelp()
{
    return "the test that decides: rank\n"
           "(default; the Mann-Whitney U test, and the gate\n"
           "needs the whole interval of the median ratio over\n"
           "PCT) or welch (Welch's t-test of the means)";
}
