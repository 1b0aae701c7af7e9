#include "console/compare_report.h"

#include "report/regression_gate.h"
#include "report/results_log.h"
#include "report/run_analysis.h"
#include "report/terminal_report.h"
#include "report/text_format.h"

#include <vector>

namespace {

// "20, 30 and 40"
std::string ListOfNumbers(const std::vector<int>& numbers)
{
    std::string list;
    for (size_t i = 0; i < numbers.size(); ++i)
        list += (i == 0 ? "" : i + 1 == numbers.size() ? " and " : ", ") +
                std::to_string(numbers[i]);
    return list;
}

// How many launches the gate needed, when it could add some.
std::string LooksTaken(const GatePlan& plan, const GateReport& gate, size_t launches)
{
    std::vector<int> taken;
    for (int look : GateLooks(plan))
        if (static_cast<size_t>(look) <= launches)
            taken.push_back(look);
    std::string text = "The gate looked after " + ListOfNumbers(taken) +
                       " launches a side, each look at p < " + FormatShortest(LookLevel(plan)) +
                       " (" + FormatShortest(plan.significanceLevel) + " split between " +
                       std::to_string(GateLooks(plan).size()) + " planned looks): ";
    if (!gate.cannotJudge || gate.failed)
        return text + "it could tell after " + std::to_string(launches) + " of at most " +
               std::to_string(plan.maxRuns) + ".\n";
    return text + "it still cannot tell after " + std::to_string(launches) + " of at most " +
           std::to_string(plan.maxRuns) + ".\n";
}

}  // namespace

CompareReport CompareNewRuns(const GrownLog& baseline, const GrownLog& app,
                             const TimeOptions& options, std::int32_t runs)
{
    CompareReport report;
    ParsedLog baselineLog;
    ParsedLog appLog;
    std::string why;
    const Run* baselineRun = NewRun(baseline, &baselineLog, &why);
    if (baselineRun == nullptr)
        report.problems += "kairon-time: no comparison: " + baseline.path + ": " + why + "\n";
    const Run* appRun = NewRun(app, &appLog, &why);
    if (appRun == nullptr)
        report.problems += "kairon-time: no comparison: " + app.path + ": " + why + "\n";
    if (baselineRun == nullptr || appRun == nullptr) {
        // A gate that could not look has not passed anything.
        if (options.gate)
            report.gateStatus = kExitCannotJudge;
        return report;
    }
    const int baselineNumber = 1;
    std::vector<RunAnalysis> analyses = {AnalyzeRun(*baselineRun, baselineNumber, false),
                                         AnalyzeRun(*appRun, baselineNumber + 1, false)};
    const std::string programs = DifferentPrograms(analyses);
    if (!programs.empty())
        report.problems += "kairon-time: warning: comparing runs of different programs: " +
                           programs + "\n";
    report.text = FormatRunBlock(analyses[0]) + "\n" + FormatRunBlock(analyses[1]) + "\n" +
                  "Run 1, the baseline, is the reference; run 2 is " + appRun->application +
                  ".\n";
    const GatePlan plan = TimeGatePlan(options, runs);
    // The level of one look: the one the run stopped at, or its last.
    const ComparisonReport comparison =
        CompareRuns(analyses, baselineNumber, LookLevel(plan), options.test);
    if (comparison.reference == baselineNumber)
        report.text += FormatComparison(comparison, analyses) + "\n";
    else
        report.text += "No comparison: the baseline has no launches to compare.\n\n";
    if (options.gate) {
        // Without a reference the gate would judge the baseline against
        // nothing as well: APP alone is judged, and cannot be.
        const std::vector<RunAnalysis> judged =
            comparison.reference == baselineNumber ? analyses
                                                   : std::vector<RunAnalysis>{analyses[1]};
        GateReport gate = ApplyRegressionGate(comparison, judged, options.slowerLimitPercent);
        gate.reference = baselineNumber;
        report.text += FormatGate(gate);
        if (plan.maxRuns > plan.runs)
            report.text += LooksTaken(plan, gate, appRun->launches.size());
        report.text += "\n";
        if (gate.failed)
            report.gateStatus = kExitSlower;
        else if (gate.cannotJudge)
            report.gateStatus = kExitCannotJudge;
    }
    report.text += FormatRules(analyses);
    return report;
}
