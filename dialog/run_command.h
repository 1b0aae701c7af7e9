// What the Run App button does, apart from the Win32 calls: capture the
// dialog into the settings, validate them, and start a run with Run App
// disabled until it ends.
#ifndef KAIRON_DIALOG_RUN_COMMAND_H
#define KAIRON_DIALOG_RUN_COMMAND_H

#include "config/run_settings.h"
#include "platform/platform.h"

// Starts the timing run on its own thread with a copy of `settings`; false
// if the thread could not be created.
typedef bool (*RunStarter)(const RunSettings& settings, void* context);

// Returns whether a run was started. On a failed check the warning box has
// been shown and Run App stays enabled; if the run cannot be started, Run
// App is enabled again and a box says so.
bool RunAppCommand(DialogPort& dialog, RunSettings* settings, RunStarter start, void* context);

#endif
