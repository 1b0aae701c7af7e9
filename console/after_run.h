// What kairon-time does once its run is over: what it prints of the run,
// and the exit status the run ends with.
#ifndef KAIRON_CONSOLE_AFTER_RUN_H
#define KAIRON_CONSOLE_AFTER_RUN_H

#include "config/run_settings.h"
#include "console/console_run_observer.h"
#include "console/time_options.h"
#include "report/exit_statuses.h"

#include <cstddef>
#include <ostream>
#include <vector>

// How large the logs were before the run, so that what it appended can be
// told from what they held. A log that does not exist yet reads as empty:
// the run starts it.
struct LogsBefore {
    std::size_t app = 0;
    std::size_t baseline = 0;
};
LogsBefore MeasureLogsBefore(const RunSettings& settings);

// Prints the report of what the run appended: the comparison of the two
// new runs (its problems on `err`), or the new run's summary; then the
// phases and what the launches used. Returns the comparison's gate
// status, kExitOk when there was none to judge.
ExitStatus ReportRun(const RunSettings& settings, const TimeOptions& options,
                     const std::vector<LaunchRecord>& launches, const LogsBefore& before,
                     std::ostream& out, std::ostream& err);

// The status a run ends with: the observer's, unless the JSON asked for
// could not be written or the gate judged, whichever outweighs it.
ExitStatus RunExitStatus(ExitStatus observed, bool jsonWritten, ExitStatus gate);

#endif
