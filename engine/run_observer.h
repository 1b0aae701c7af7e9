// Whoever watches a timing run: the main dialog, or a console front end.
// The run tells it what a person would want to know and never how to show
// it, so the same engine serves every front end. Called on the run's own
// thread, always after the run has withdrawn its timer request when the
// call may wait for someone (an error, the end).
#ifndef KAIRON_ENGINE_RUN_OBSERVER_H
#define KAIRON_ENGINE_RUN_OBSERVER_H

#include "engine/file_cache.h"
#include "engine/launch_resources.h"
#include "engine/settle_wait.h"
#include "engine/window_owner.h"

#include <cstdint>
#include <string>

// How a run came to its end.
enum RunOutcome {
    kRunStopped,              // an error stopped it; ShowError has said which
    kRunFinished,             // every execution ran; someone is there to be told
    kRunFinishedUnattended,   // every execution ran; CloseProgram follows
    kRunInterrupted,          // someone asked it to stop; the application is closed
    kRunInterruptedBetween,   // the same, between launches: nothing was running
    kRunGaveUp,               // a measured launch's window was not found, and
                              // the settings ask to stop there
};

// What became of a launch's application once its time was taken.
enum CloseOutcome {
    kCloseNone,     // nothing was to be closed (no window found, no close
                    // method, or it had already ended); left as it is
    kCloseClosed,   // its window went after its close messages
    kCloseWent,     // its window went by itself before they were sent
    kCloseEnded,    // the run ended it: its window stayed after the close
                    // wait, it missed its condition, or the run was stopped
    kCloseFailed,   // its window stayed and it was left running (the dialog's
                    // run, which only logs "Failed to close")
    kCloseLeft,     // its window's owner was not started by the launch, and
                    // was neither closed nor ended (kairon-time's word for
                    // a none whose window's owner is outside the job)
};

// Seconds from the start count to each phase of a start-up; negative for
// one that was not asked for, or not reached. Filled when the settings ask
// for marks. The last phase asked for ends at the timing line's count.
struct PhaseMarks {
    double inputIdle = -1;   // WaitForInputIdle returned
    double window = -1;      // the window was found
    double visible = -1;     // it was neither hidden nor minimised
    double settled = -1;     // the first capture of its content that then stayed
};

// The raw performance-counter readings behind the marks: the launch's
// start count and the count at each mark reached; 0 for a mark not
// reached, and all 0 when the settings ask for no marks. The counter is
// the system's one clock, so these line a launch up with a trace or the
// application's own log.
struct PhaseCounts {
    std::int64_t start = 0;
    std::int64_t inputIdle = 0;
    std::int64_t window = 0;
    std::int64_t visible = 0;
    std::int64_t settled = 0;
};

// What the wait for a launch's drawn content (--settled) saw: enough to
// tell a launch that settled on its first picture, unchanged, or never
// had content at all.
struct SettleRecord {
    bool waited = false;          // the wait ran for this launch
    CaptureSource capture = kCaptureScreen;
    SettleOutcome outcome = kSettled;
    int pictures = 0;
    int changes = 0;              // pictures that differed from the one before
    double content = -1;          // seconds from the launch to the first
                                  // picture that was not blank; -1 none
    double pictureMs = -1;        // SettleResult's: the mark's precision
    double resolutionMs = -1;
    std::string coveredTitle;     // kSettleCovered: what covered it
    std::string coveredClass;
};

// One launch, as the log has it once its timing line is written.
struct LaunchResult {
    LaunchResult(int launch_, int launches_, double seconds_, const char* failureLine_)
        : launch(launch_), launches(launches_), seconds(seconds_), failureLine(failureLine_)
    {
    }
    int launch;               // from 1
    int launches;             // the run's executions
    double seconds;           // the time its timing line states
    // The first line the log gave this launch for missing what it waited
    // for (window not found or not visible, input idle failed, exited before
    // it was ready, handed off to an instance already running, not
    // settled), without its line end; null when it reached it.
    const char* failureLine;
    // A warm-up launch: counted apart (`launch` of `launches` warm-ups),
    // and nothing of it is in the log.
    bool warmup = false;
    // A launch of the baseline program of a comparison, whose log is its
    // own; `launch` counts among the baseline's launches.
    bool baseline = false;
    PhaseMarks marks;
    PhaseCounts counts;
    // Whose the found window is, when the settings ask; `known` is false
    // otherwise, and when no window was found.
    WindowOwner owner;
    SettleRecord settle;
    // What it used until its time was taken, when the settings ask.
    LaunchResources resources;
    // Its window was not found: the titles of the top-level windows that
    // the launch's processes had open (TitlesOfLaunch), when kairon-time's
    // steps could ask.
    bool windowNotFound = false;
    std::string openedTitles;
    // The file cache was emptied, and seen to be, just before it; and
    // what its standby list held around the emptying.
    bool cold = false;
    CachePurge cachePurge;
};

class RunObserver {
public:
    virtual ~RunObserver() {}
    // What the run is doing now, one line; replaces the previous one.
    virtual void ShowStatus(const char* text) = 0;
    // Something went wrong; the run stops after it and waits until it has
    // been seen. `caption` names the kind of failure.
    virtual void ShowError(const char* text, const char* caption) = 0;
    // A launch's time is in the log; its application is not closed yet.
    // The dialog shows nothing for it: its countdowns already say where
    // the run is.
    virtual void LaunchTimed(const LaunchResult& result) { (void)result; }
    // The launch last given to LaunchTimed is over: what became of its
    // application. Not called for a launch the run ended before timing it
    // (a stop during its waits).
    virtual void LaunchClosed(CloseOutcome outcome) { (void)outcome; }
    // After LaunchClosed, in kairon-time's runs: how many processes of the
    // launch's job were ended once it was over, besides any LaunchClosed
    // told of. A launch whose own process had exited while what it started
    // stayed ("failed") was ended when this is more than 0.
    virtual void LaunchJobEnded(int processes) { (void)processes; }
    // The rounds the settings ask for are done, and each one added since:
    // whether to launch every program once more. The run's log header
    // keeps the executions asked for. The dialog never adds one;
    // kairon-time's gate may, until it can tell.
    virtual bool WantsAnotherRound() { return false; }
    // The run is over (after any ShowError); a new one may be started.
    virtual void RunEnded(RunOutcome outcome) = 0;
    // An unattended run is done and the results log closed: end the program.
    virtual void CloseProgram() = 0;
};

#endif
