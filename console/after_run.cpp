#include "console/after_run.h"

#include "console/compare_report.h"
#include "console/new_run_report.h"
#include "console/phase_summary.h"
#include "report/report_files.h"

#include <string>

LogsBefore MeasureLogsBefore(const RunSettings& settings)
{
    LogsBefore before;
    std::string bytes;
    ReadWholeFile(settings.logPath, &bytes);
    before.app = bytes.size();
    if (settings.baselinePath[0] != '\0') {
        bytes.clear();
        ReadWholeFile(settings.baselineLogPath, &bytes);
        before.baseline = bytes.size();
    }
    return before;
}

ExitStatus ReportRun(const RunSettings& settings, const TimeOptions& options,
                     const std::vector<LaunchRecord>& launches, const LogsBefore& before,
                     std::ostream& out, std::ostream& err)
{
    ExitStatus gateStatus = kExitOk;
    if (settings.baselinePath[0] != '\0') {
        GrownLog baseline{settings.baselineLogPath, std::string(), before.baseline};
        GrownLog app{settings.logPath, std::string(), before.app};
        baseline.read = ReadWholeFile(baseline.path, &baseline.bytes);
        app.read = ReadWholeFile(app.path, &app.bytes);
        const CompareReport compared = CompareNewRuns(baseline, app, options, settings.executions);
        err << compared.problems;
        out << compared.text;
        gateStatus = compared.gateStatus;
    } else {
        GrownLog log{settings.logPath, std::string(), before.app};
        if (ReadWholeFile(log.path, &log.bytes))
            out << NewRunReport(log);
    }
    out << PhaseSummary(settings, launches) << ResourceSummary(settings, launches);
    out.flush();
    return gateStatus;
}

ExitStatus RunExitStatus(ExitStatus observed, bool jsonWritten, ExitStatus gate)
{
    // A launch that missed its condition, or a run that did not end, says
    // more than the gate.
    const ExitStatus status = jsonWritten ? observed : Outweighing(observed, kExitFailed);
    return Outweighing(status, gate);
}
