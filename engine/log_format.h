// The lines of the results log, as printf formats, and the limits of the
// window search that show in them. Kairon writes its log with these and
// kairon-report reads logs back with the same ones, so the two cannot
// disagree. Users' scripts read these bytes too: a change here changes
// every log from then on.
//
// Portable: kairon-report includes this on any system.
#ifndef KAIRON_ENGINE_LOG_FORMAT_H
#define KAIRON_ENGINE_LOG_FORMAT_H

// The search enumerates the top-level windows at most this many times,
// sleeping between passes; with debugging on it logs a banner every
// kSearchBannerEvery passes. The visibility wait tests at most
// kVisibilityTestLimit times.
const int kSearchPassLimit = 5000;
const unsigned kSearchPassSleepMs = 10;
const int kSearchBannerEvery = 50;
const int kVisibilityTestLimit = 50;
const unsigned kVisibilitySleepMs = 100;

// The wait for input idle gives up after as long as the window search
// may take, and waits in slices so that a stop asked for is seen between
// them.
const unsigned kInputIdleLimitMs = kSearchPassLimit * kSearchPassSleepMs;
const unsigned kInputIdleSliceMs = 100;

// Each close message may take this long to be handled (SendMessageTimeoutA,
// which also gives up at once on a window that does not answer), and the
// found window has this long after the messages were sent to be gone
// before the launch gets a "Failed to close" line.
const unsigned kCloseMessageTimeoutMs = 5000;
const unsigned kCloseWaitMs = 5000;

// kairon-time's --settled: the found window's client area is captured
// every kSettleCaptureSleepMs until it has not changed for the asked time;
// a window that has not settled kSettleLimitMs after the wait began gets a
// "Failed to settle" line, and its timing line is the time it was given up.
const unsigned kSettleCaptureSleepMs = 10;
const unsigned kSettleLimitMs = 30000;

// A search that gives up has slept through every pass, so a launch whose
// search gave up took at least this long; one whose window was found, less.
const double kSearchGiveUpSeconds = kSearchPassLimit * kSearchPassSleepMs / 1000.0;

// One line, or several, per format; blank lines around a banner are part
// of it. The arguments follow each format.

// appPath, executions
const char kHeaderFormat[] = "%s - %d executions\n";
// Written once at the start of a debug run.
const char kWindowStateKey[] =
    "Window State Key:\n"
    "0 = SW_HIDE\t1=SW_SHOWNORMAL\t2=SW_SHOWMINIMIZED\t3=SW_MAXIMIZE "
    "4=SW_SHOWNOACTIVATE\t5=SW_SHOW\t6=SW_MINIMIZE\t7=SW_SHOWMINNOACTIVE\t"
    "8=SW_SHOWNA\t9=SW_RESTORE\n";
// title, handle, showCmd
const char kInitialScanWindowFormat[] =
    "DEBUG Initial scan: Window name: %s (Handle: 0x%X state: %d)\n";
// windows in the snapshot
const char kDetectedFormat[] = "Detected: %d windows\n";
// iteration, from 1
const char kLoopBannerFormat[] = "\n*************** START LOOP# %d ***************\n\n";
const char kInputIdleFailedFormat[] = "WaitForInputIdle call failed\n";
// title, handle, showCmd
const char kSearchWindowFormat[] = "DEBUG: Window name: %s (Handle: 0x%X state: %d)\n";
// passes so far, kSearchPassLimit
const char kSearchBannerFormat[] =
    "\n*************** Search loop # %d of %d ***************\n\n";
// windowName
const char kWindowNotFoundFormat[] = "Failed to find window %s\n";
// windowName
const char kNotVisibleFormat[] = "Failed to find %s as visible\n";
// windowName: the found window was still there kCloseWaitMs after its
// close messages, or one of them was not handled within its time-out.
// Follows the launch's timing line.
const char kCloseFailedFormat[] = "Failed to close %s\n";
// The launched process's exit code, in decimal: it ended before any window
// of this launch was found. Precedes the launch's timing line.
const char kExitedBeforeReadyFormat[] = "Application exited with code %lu before it was ready\n";
// windowName: the found window's process was running before the launch
// began and runs the launched program's file: a single-instance program
// handed the launch over to it. Precedes the launch's timing line. Only
// kairon-time looks for it.
const char kHandedOffFormat[] = "Window %s belongs to a program started before this launch\n";
// windowName: the found window's pixels still changed kSettleLimitMs
// after the wait for them began, or the window went away first. Precedes
// the launch's timing line. Only kairon-time waits for it (--settled).
const char kNotSettledFormat[] = "Failed to settle %s\n";
// elapsed seconds of one launch
const char kTimingFormat[] = "%0.4f\n";

#endif
