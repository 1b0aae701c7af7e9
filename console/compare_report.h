// What kairon-time --compare prints at the end, and what its gate decides:
// the runs it has just appended to the baseline's log and to APP's, APP
// compared against the baseline with kairon-report's comparison (its rank
// test, or Welch's t-test when --test welch asks), and judged by its
// regression gate when --fail-if-slower asks.
#ifndef KAIRON_CONSOLE_COMPARE_REPORT_H
#define KAIRON_CONSOLE_COMPARE_REPORT_H

#include "console/new_run_report.h"
#include "console/time_options.h"
#include "report/exit_statuses.h"

#include <string>

struct CompareReport {
    std::string text;  // empty when either log has no new run
    // For standard error: a line for each log without a new run to
    // compare, which says why, or a warning when the two runs are of
    // programs whose file names differ.
    std::string problems;
    // kExitSlower, kExitCannotJudge (also when either log has no
    // new run to judge), or kExitOk when the gate passed or was not
    // asked for.
    ExitStatus gateStatus = kExitOk;
};

// The baseline is run 1 and the reference; APP is run 2. `runs`: --runs,
// the launches a side of the gate's first look.
CompareReport CompareNewRuns(const GrownLog& baseline, const GrownLog& app,
                             const TimeOptions& options, std::int32_t runs);

#endif
