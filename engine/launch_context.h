// What the stages of a launch share: the run's context, the program being
// launched, the launch under way, and the countdowns and status lines
// between its steps. Used by the timing run and its stages alone.
#ifndef KAIRON_ENGINE_LAUNCH_CONTEXT_H
#define KAIRON_ENGINE_LAUNCH_CONTEXT_H

#include "config/run_settings.h"
#include "engine/command_line.h"
#include "engine/file_cache.h"
#include "engine/log_sink.h"
#include "engine/run_observer.h"
#include "engine/window_detection.h"
#include "platform/platform.h"

#include <cstdint>
#include <cstring>

class TimeSteps;

// The status lines of a launch's steps: a measured launch's, and a warm-up's.
struct StepTexts {
    const char* beforeLaunch;
    const char* launching;
    const char* beforeClose;
    const char* beforeNext;
};
extern const StepTexts kIterationTexts;
extern const StepTexts kWarmupTexts;

// Windows rounds a Sleep up to the system timer's tick, 15.6 ms unless some
// program asked for less, so each 10 ms pause of the window search would
// last 15.6 ms and the measured times would grow by as much. A run asks for
// 1 ms ticks from its start until its last pause, and withdraws the request
// before any message box that waits for the user. (Since Windows 10 version
// 2004 the request affects only Kairon's own process; before, the whole
// system's timer. Windows 11 may drop it while Kairon's windows are hidden
// or covered, as they are while the timed application is up, unless the
// process says it needs it then too.)
const unsigned kTimerPeriodMs = 1;

struct Delay {
    int wholeSeconds;
    int remainderMs;
};

Delay SplitDelay(std::int32_t delayMs);

void SetStatus(RunObserver& observer, const char* format, int iteration, int seconds);

// Shows the whole seconds left, one a second, then sleeps the rest, so the
// countdown lasts the full delay. False when a stop was asked for, at the
// end of the second it came in.
bool Countdown(Platform& platform, RunObserver& observer, const char* format, int iteration,
               const Delay& delay);

// The application of the launch under way, and how far its closing got.
struct Launch {
    LaunchedProcess process;
    WindowHandle window = 0;
    bool closeSent = false;   // its close messages have been sent
    std::int64_t sentCount = 0;
    bool timed = false;       // the observer has been given its time, and is
                              // told what became of it
    bool missed = false;      // it missed what it waited for
    // Its window's owner is no process of its job: the launch did not
    // start it, and it is neither closed nor ended.
    bool ownerOutsideJob = false;
    // With --cold: the standby list around the emptying before it.
    CachePurge cachePurge;
};

// One of the programs a run launches, with what is its own: the log its
// times go to, its header's path, its command line and its window search.
// A comparison's baseline gets the run's settings but for its path and log.
struct TimedProgram {
    TimedProgram(const RunSettings& runSettings, Platform& platform, bool isBaseline)
        : settings(runSettings),
          baseline(isBaseline),
          detection{settings, platform.process, platform.windows, log, {}, {}, {}}
    {
        if (baseline) {
            std::strcpy(settings.appPath, runSettings.baselinePath);
            std::strcpy(settings.logPath, runSettings.baselineLogPath);
        }
        BuildCommandLine(settings, commandLine);
    }
    RunSettings settings;
    bool baseline;
    LogSink log;
    char commandLine[kCommandLineSize];
    Detection detection;
};

// What every launch of a run shares. A comparison alternates two programs,
// the baseline first in each round, so that a machine that grows slower or
// faster during the run weighs on both alike.
struct RunContext {
    Platform& platform;
    RunObserver& observer;
    // kairon-time's steps; null for the dialog's run, which takes none.
    TimeSteps* steps;
    Delay delay;
    TimedProgram* programs[2];
    int programCount;
    bool watchingWindowEvents;
    // The setup command has been reached: the cleanup command is owed.
    bool cleanupOwed = false;
};

// Which launch of the run this is: a warm-up's or a measured one's number,
// counting from 1 in each, and the status lines it shows.
struct LaunchTurn {
    bool warmup;
    int iteration;
    const StepTexts* texts;
};

// The turn of launch `number` of a run, the warm-ups' first.
LaunchTurn TurnOf(const RunSettings& settings, std::int64_t number);

// Long enough for a failure line with the longest window name.
const int kFailureLineSize = kWindowNameSize + 64;

// Keeps the first failure line of a launch, formatted as the log has it,
// without its line end.
void NoteFailure(char* failureLine, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

#endif
