// The values that drive one timing run and the checks they must pass
// before a run starts.
#ifndef KAIRON_CONFIG_RUN_SETTINGS_H
#define KAIRON_CONFIG_RUN_SETTINGS_H

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

// Buffer sizes, each counting the terminating NUL.
const int kPathSize = 516;
const int kWindowNameSize = 512;
const int kArgumentsSize = 512;
const int kShellCommandSize = 4096;

struct RunSettings {
    char appPath[kPathSize];
    char logPath[kPathSize];
    char windowName[kWindowNameSize];
    char cmdLineArgs[kArgumentsSize];
    std::int32_t executions;
    std::int32_t delayMs;
    bool closeByWmClose;
    bool closeBySysCommand;
    bool closeByAltF4;
    bool detectByWindowName;
    bool exactMatch;
    bool debugLog;
    bool newWindowsOnly;
    bool waitInputIdle;
    bool waitVisible;
    // Set only by the settings file: start by itself, close Kairon at the end.
    bool autoRun;
    // Set only by kairon-time; the dialog and the settings file leave them
    // 0. Launches before the measured ones, timed and closed the same way
    // but kept out of the log: the first start-ups after a build or a
    // reboot read from a cold disk and would weigh on the statistics.
    std::int32_t warmups;
    // Read the counter as each phase of a start-up is reached (input idle,
    // window found, window visible), for the observer. Off, the run reads
    // it at the start and the end only.
    bool markPhases;
    // Ask, once a launch's window is found, which process owns it, and
    // count a launch whose window an instance started before it opened
    // (a single-instance program's hand-off) as not reached.
    bool checkWindowOwner;
    // Leave nothing running (kairon-time): a launch whose window is still
    // there after the close wait, or that missed its condition and still
    // runs, is ended, with the owner of its window when that process was
    // started after the launch. The dialog only logs "Failed to close".
    bool endLeftRunning;
    // Give up a launch's window search as soon as its process has ended
    // with an exit code other than 0 (a program that exits with 0 may be
    // a launcher whose window is still to come). The dialog searches on.
    bool stopSearchOnExit;
    // End the run after the first measured launch whose window was not
    // found (kairon-time without --keep-going): a title that matches
    // nothing would cost every launch the search's whole time.
    bool stopOnMissedWindow;
    // Detect at the moment the window is there, not at a polling step
    // (kairon-time): the search and the visibility wait test again as soon
    // as a window is created, shown or renamed, and at most every
    // kSearchPassSleepMs otherwise; and the count of the pass that found
    // the window, or the test that saw it visible, is its mark, not a
    // reading after the sleep that follows. The dialog keeps its loop: a
    // pass, then a sleep, then the count.
    bool wakeOnWindowEvents;
    // Once the window is ready, wait until its pixels have not changed for
    // this many milliseconds (it has drawn its content), and time the
    // launch to the first capture that showed them; 0, off.
    std::int32_t settledMs;
    // Where those pixels are read from, for the whole run.
    CaptureSource settleCapture;
    // A comparison: the baseline program, launched in turn with appPath
    // (baseline first) with the same arguments, window and options, and
    // the log its times go to. Empty: no comparison, appPath alone.
    char baselinePath[kPathSize];
    char baselineLogPath[kPathSize];
    // Set only by kairon-time. Launch each program into a job object and
    // read what the launch used (CPU, faults, memory, I/O) at its end.
    bool measureResources;
    // Commands run through cmd.exe, none of them timed: setup once before
    // the first launch, prepare before each launch (before its pause),
    // conclude after each launch has closed, cleanup once at the end,
    // whichever way the run ends once setup has been reached. Empty: none.
    char setupCommand[kShellCommandSize];
    char prepareCommand[kShellCommandSize];
    char concludeCommand[kShellCommandSize];
    char cleanupCommand[kShellCommandSize];
    // Empty the system's file cache before each launch, and check that it
    // was emptied: a cold start.
    bool coldStart;
};

// Explorer's "Copy as path" puts double quotes around a path, and the run
// puts its own around the application's path on the command line, where
// doubled quotes fail. When `path`, leaving aside blanks (spaces, tabs)
// before and after, is one pair of double quotes with no other quote
// between them, the path becomes what the quotes hold: the blanks outside
// them go, any inside them stay. Anything else (no quotes, a lone quote,
// quotes inside) is left exactly as it is, blanks included, since a
// Windows file name cannot hold a quote and such a path will fail visibly.
// Inline, so that the settings-file reader has it without the rest of this
// file's code (the reader's fuzz build links the reader alone).
inline void RemoveQuotesAroundPath(char* path)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    const char* first = path;
    while (isBlank(*first))
        ++first;
    const char* last = path + std::strlen(path);
    while (last > first && isBlank(last[-1]))
        --last;
    if (last - first < 2 || *first != '"' || last[-1] != '"')
        return;
    const char* inside = first + 1;
    const std::size_t length = static_cast<std::size_t>(last - 1 - inside);
    if (std::memchr(inside, '"', length) != nullptr)
        return;
    std::memmove(path, inside, length);
    path[length] = '\0';
}

// What a run does when nothing says otherwise.
const std::int32_t kDefaultExecutions = 1;
const std::int32_t kDefaultDelayMs = 1000;

// The checks a run's settings must pass, in the order the user meets them.
enum SettingsCheck {
    kSettingsValid,
    kCheckApplication,       // an application to run
    kCheckLogFile,           // a log to save results to
    kCheckWindowName,        // a window name, unless windows are searched by name
    kCheckExecutions,        // executions above 0
    kCheckDelay,             // a delay above 0
    kCheckCloseMethod,       // a close method for two executions or more
    kCheckVisibleDetection,  // "visible" needs windows searched by name
    kCheckCloseDetection,    // closing needs windows searched by name
};
const SettingsCheck kFirstCheck = kCheckApplication;
const SettingsCheck kLastCheck = kCheckCloseDetection;

// Whether any way of closing the application's window is chosen.
bool AnyCloseMethod(const RunSettings& settings);

// The first check `settings` fails, or kSettingsValid.
SettingsCheck FirstFailedCheck(const RunSettings& settings);

#endif
