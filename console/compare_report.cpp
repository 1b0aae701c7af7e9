#include "console/compare_report.h"

#include "report/regression_gate.h"
#include "report/results_log.h"
#include "report/run_analysis.h"
#include "report/terminal_report.h"

#include <vector>

CompareReport CompareNewRuns(const GrownLog& baseline, const GrownLog& app,
                             const TimeOptions& options)
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
    std::vector<RunAnalysis> runs = {AnalyzeRun(*baselineRun, baselineNumber, false),
                                     AnalyzeRun(*appRun, baselineNumber + 1, false)};
    const std::string programs = DifferentPrograms(runs);
    if (!programs.empty())
        report.problems += "kairon-time: warning: comparing runs of different programs: " +
                           programs + "\n";
    report.text = FormatRunBlock(runs[0]) + "\n" + FormatRunBlock(runs[1]) + "\n" +
                  "Run 1, the baseline, is the reference; run 2 is APP.\n";
    const ComparisonReport comparison =
        CompareRuns(runs, baselineNumber, options.significanceLevel, options.test);
    if (comparison.reference == baselineNumber)
        report.text += FormatComparison(comparison, runs) + "\n";
    else
        report.text += "No comparison: the baseline has no launches to compare.\n\n";
    if (options.gate) {
        // Without a reference the gate would judge the baseline against
        // nothing as well: APP alone is judged, and cannot be.
        const std::vector<RunAnalysis> judged =
            comparison.reference == baselineNumber ? runs : std::vector<RunAnalysis>{runs[1]};
        GateReport gate = ApplyRegressionGate(comparison, judged, options.slowerLimitPercent);
        gate.reference = baselineNumber;
        report.text += FormatGate(gate) + "\n";
        if (gate.failed)
            report.gateStatus = kExitSlower;
        else if (gate.cannotJudge)
            report.gateStatus = kExitCannotJudge;
    }
    report.text += FormatRules();
    return report;
}
