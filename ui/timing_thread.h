#ifndef KAIRON_UI_TIMING_THREAD_H
#define KAIRON_UI_TIMING_THREAD_H

#include "config/run_settings.h"

#include <windows.h>

// Starts a timing run on a worker thread of its own, with its own copy of
// `settings`, so nothing the user does in the dialog can change what the run
// reads. The thread is never waited for. False if it could not be created.
bool StartTimingRunThread(HWND mainDialog, const RunSettings& settings);

#endif
