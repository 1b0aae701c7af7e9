// A launch in four stages, each returning what the next needs: start it,
// wait until it is ready, record its time, close it. Each returns false
// when the run is over (stopped, or an error ended it), true to go on.
#ifndef KAIRON_ENGINE_LAUNCH_STAGES_H
#define KAIRON_ENGINE_LAUNCH_STAGES_H

#include "engine/launch_context.h"
#include "engine/settle_wait.h"
#include "engine/window_owner.h"

#include <cstdint>
#include <string>

// The counts a launch starts from.
struct LaunchStart {
    std::int64_t frequency = 0;
    std::int64_t startCount = 0;
};

// What the waits of a launch reached, and when.
struct Readiness {
    // The first failure line of this launch, for the observer.
    char failureLine[kFailureLineSize] = "";
    // The counts at the phases that a later phase follows; the last
    // phase asked for ends at endCount.
    bool idleReached = false;
    std::int64_t idleCount = 0;
    std::int64_t windowCount = 0;
    bool visibleReached = false;
    std::int64_t endCount = 0;
    WindowOwner owner;
    // The search gave up after its whole time, and what the launch had
    // open then, when kairon-time's steps could say.
    bool windowNotFound = false;
    std::string openedTitles;
    // With --settled, the wait for the window's content and its count.
    bool settling = false;
    SettleResult settle;
};

// The commands and the cache before the launch, its countdown, its job
// and the process itself (engine/launch_start.cpp).
bool StartLaunch(RunContext& run, TimedProgram& program, const LaunchTurn& turn, Launch* launch,
                 LaunchStart* start);

// Input idle, the window, visible and settled, as the settings ask, and
// whose the window is (engine/launch_ready.cpp).
bool WaitUntilReady(RunContext& run, TimedProgram& program, const LaunchStart& start,
                    Launch* launch, Readiness* ready);

// The timing line, the phase marks and what the launch used, told to the
// observer (engine/launch_record.cpp).
bool RecordLaunch(RunContext& run, TimedProgram& program, const LaunchTurn& turn,
                  const LaunchStart& start, const Readiness& ready, Launch* launch);

// The close messages, the wait until the application is gone, the ending
// of what is left, and the command after the launch (engine/launch_close.cpp).
bool CloseLaunch(RunContext& run, TimedProgram& program, const LaunchTurn& turn,
                 std::int64_t frequency, Launch* launch);

#endif
