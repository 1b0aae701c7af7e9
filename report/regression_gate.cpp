#include "report/regression_gate.h"

#include "report/exit_statuses.h"
#include "report/rank_test.h"
#include "report/welch_test.h"

#include <algorithm>

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

// Under the rank test a run too small for any p below the level could
// never be slower: a gate that cannot fail has not judged, and an
// interval from so few launches is too rough to call it within. A p that
// did reach the level (ties can lower it) is judged.
bool RankTestCannotReachLevel(const RunComparison& row, size_t launches,
                              size_t referenceLaunches, double level)
{
    return !(row.rank->p < level) && !(SmallestRankTestP(launches, referenceLaunches) < level);
}

// The three outcomes, from a test that ran.
void Judge(const std::optional<RatioInterval>& interval, double p, double level,
           double limitRatio, GateRun* judged)
{
    judged->p = p;
    judged->interval = interval;
    if (!interval) {
        judged->doubt = kDoubtNoInterval;
    } else if (interval->high <= limitRatio) {
        judged->outcome = kGateWithin;
    } else if (!(interval->low > limitRatio)) {
        judged->doubt = kDoubtAcrossLimit;
        if (judged->ratio)
            judged->launchesToTell =
                LaunchesToTell(*interval, *judged->ratio, limitRatio,
                               std::min(judged->launches, judged->referenceLaunches));
    } else if (!(p < level)) {
        judged->doubt = kDoubtNotSignificant;
    } else {
        judged->outcome = kGateSlower;
    }
}

}  // namespace

size_t GateMinLaunches(SignificanceTest test)
{
    return test == kRankTest ? kRankMinLaunches : kWelchMinLaunches;
}

std::optional<double> LaunchesToTell(const RatioInterval& interval, double centre,
                                     double limitRatio, size_t launches)
{
    const double gap = centre - limitRatio;
    if (gap == 0.0)
        return std::nullopt;
    const double reach = gap > 0.0 ? centre - interval.low : interval.high - centre;
    const double ratio = reach / gap;
    return static_cast<double>(launches) * ratio * ratio;
}

GateReport ApplyRegressionGate(const ComparisonReport& comparison,
                               const std::vector<RunAnalysis>& runs, double limitPercent)
{
    GateReport gate;
    gate.limitPercent = limitPercent;
    gate.reference = comparison.reference;
    gate.significanceLevel = comparison.significanceLevel;
    gate.intervalConfidence = comparison.intervalConfidence;
    gate.test = comparison.test;
    const bool rank = comparison.test == kRankTest;
    const RunAnalysis* reference = nullptr;
    for (const RunAnalysis& run : runs)
        if (run.number == comparison.reference && run.summary)
            reference = &run;
    const double limitRatio = 1.0 + limitPercent / 100.0;
    for (const RunAnalysis& run : runs) {
        if (&run == reference)
            continue;
        GateRun judged;
        judged.number = run.number;
        const RunComparison* row = FindRow(comparison, run.number);
        const bool tested = row && (rank ? row->rank && row->medianRatio : row->welch.has_value());
        if (tested) {
            judged.launches = CountedLaunches(&run);
            judged.referenceLaunches = CountedLaunches(reference);
            judged.ratio = rank ? row->medianRatio : row->ratio;
        }
        if (tested && rank &&
            RankTestCannotReachLevel(*row, judged.launches, judged.referenceLaunches,
                                     comparison.significanceLevel))
            judged.doubt = kDoubtCannotReachLevel;
        else if (tested)
            Judge(rank ? row->medianRatioInterval : row->meanRatioInterval,
                  rank ? row->rank->p : row->welch->p, comparison.significanceLevel, limitRatio,
                  &judged);
        else
            ExplainDoubt(run, reference, comparison.test, row, &judged);
        gate.failed = gate.failed || judged.outcome == kGateSlower;
        gate.cannotJudge = gate.cannotJudge || judged.outcome == kGateCannotTell;
        gate.runs.push_back(judged);
    }
    return gate;
}

std::string FailIfSlowerHelp(const std::string& subject, const std::string& reference)
{
    return "exit with status " + std::to_string(kExitSlower) + " when " + subject +
           " is\nslower than " + reference + " by more than PCT\npercent: the whole interval of the ratio\n" +
           "(confidence 1 - P) above 1 + PCT/100, and\np < P; " + std::to_string(kExitOk) +
           " when the whole interval is at or\nbelow it; " + std::to_string(kExitCannotJudge) +
           " when the gate cannot tell (the\ninterval holds the limit, too few launches,\n" +
           "all times equal). A gate needs a margin: with\nPCT 0 only what is faster passes";
}

std::string SignificanceTestHelp()
{
    return "the test that decides: rank\n"
           "(default; the Mann-Whitney U test, and the gate\n"
           "needs the whole interval of the median ratio over\n"
           "PCT) or welch (Welch's t-test of the means)";
}
