// The ways a run ends, and the commands around its launches, whose
// failure ends it too.
#ifndef KAIRON_ENGINE_RUN_END_H
#define KAIRON_ENGINE_RUN_END_H

#include "engine/launch_context.h"

// Every way a run ends: the timer request withdrawn before anything that
// may wait for a person, the error said, the observer told, the logs
// closed after that (the dialog's "Finished" box comes first), and an
// unattended run's program closed. False: the run is over.
bool EndRun(RunContext& run, RunOutcome outcome, const char* error = nullptr,
            const char* caption = "Error");

// The end of a run someone stopped (Ctrl-C). The log keeps the lines it
// has; an interrupted launch has no timing line, since it was not timed to
// the end. Its application is closed the way every launch's is, and ended
// when it has no window to close or its window stays: a CI job that is
// cancelled must not leave it running.
bool StopOnInterrupt(const RunSettings& settings, RunContext& run, Launch* launch,
                     std::int64_t frequency);

// A command between launches: false when the run is over, because it
// failed or a stop came while it ran.
bool CommandBetweenLaunches(RunContext& run, const RunSettings& settings, const char* command,
                            const char* which);

// The end of a run whose log cannot be written (a full disk, a share gone):
// a time that cannot be kept is not worth measuring. Kairon stays open, even
// in an unattended run, so that the error is there for whoever looks.
bool StopOnWriteFailure(RunContext& run);

#endif
