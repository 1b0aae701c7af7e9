#include "console/compare_report.h"

#include "report/regression_gate.h"
#include "report/results_log.h"
#include "report/run_analysis.h"
#include "report/terminal_report.h"

#include <vector>

namespace {

// The run this kairon-time appended: the log's last, when the log grew.
const Run* NewRun(const GrownLog& log, ParsedLog* parsed)
{
    if (log.bytes.size() <= log.sizeBefore)
        return nullptr;
    *parsed = ParseResultsLog(log.bytes, log.path);
    if (!parsed->isResultsLog || parsed->runs.empty())
        return nullptr;
    return &parsed->runs.back();
}

}  // namespace

CompareReport CompareNewRuns(const GrownLog& baseline, const GrownLog& app,
                             const TimeOptions& options)
{
    CompareReport report;
    ParsedLog baselineLog;
    ParsedLog appLog;
    const Run* baselineRun = NewRun(baseline, &baselineLog);
    const Run* appRun = NewRun(app, &appLog);
    if (baselineRun == nullptr || appRun == nullptr)
        return report;
    const int baselineNumber = 1;
    std::vector<RunAnalysis> runs = {AnalyzeRun(*baselineRun, baselineNumber, false),
                                     AnalyzeRun(*appRun, baselineNumber + 1, false)};
    report.text = FormatRunBlock(runs[0]) + "\n" + FormatRunBlock(runs[1]) + "\n" +
                  "Run 1, the baseline, is the reference; run 2 is APP.\n";
    const ComparisonReport comparison =
        CompareRuns(runs, baselineNumber, options.significanceLevel);
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
            report.gateStatus = kTimeExitSlower;
        else if (gate.cannotJudge)
            report.gateStatus = kTimeExitCannotJudge;
    }
    report.text += FormatRules();
    return report;
}
