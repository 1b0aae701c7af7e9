// Finding the launched application's window: a snapshot of the windows that
// existed before the first launch, a list of those that existed just
// before each launch, a polling search by title, and a wait until the found
// window is neither hidden nor minimised.
#ifndef KAIRON_ENGINE_WINDOW_DETECTION_H
#define KAIRON_ENGINE_WINDOW_DETECTION_H

#include "config/run_settings.h"
#include "engine/log_format.h"
#include "engine/log_sink.h"
#include "platform/platform.h"

#include <cstdint>
#include <set>

const int kTitleSize = 256;

// Handles of the titled top-level windows seen before the first launch,
// ordered by handle value.
typedef std::set<WindowHandle> WindowSnapshot;

// The window the latest search matched; handle 0 when none was.
struct FoundWindow {
    WindowHandle handle = 0;
    bool found = false;
};

// What detection works with during one run; owned by the worker thread.
struct Detection {
    const RunSettings& settings;
    ProcessPort& process;
    WindowPort& windows;
    LogSink& log;
    WindowSnapshot snapshot;
    FoundWindow foundWindow;
    // Every top-level window, titled or not, that existed just before the
    // current launch: none of them can be this launch's window.
    WindowSnapshot beforeLaunch;
    // The current launch's process, for a search that gives up once it has
    // died (settings.stopSearchOnExit); null when there is none.
    const LaunchedProcess* launched = nullptr;
    // With settings.wakeOnWindowEvents: the counter read right after the
    // pass that found the window, and after the test that saw it visible.
    std::int64_t foundCount = 0;
    std::int64_t visibleCount = 0;
    // The windows the current pass has visited, and whether a window event
    // cut it short (settings.wakeOnWindowEvents).
    int visited = 0;
    bool eventCutPass = false;
    // A pass right after one that was cut short runs to its end: events
    // that never stop (a title that keeps changing) must not keep the
    // search from ever reaching the windows low in the Z order.
    bool passMayBeCut = true;
};

// How many windows a pass woken by events visits between two looks for a
// new event: a pass over a thousand windows takes tens of milliseconds
// under Wine (each window is asked after over its server), and a window
// created meanwhile lies above the point the pass has reached.
const int kEventLookEvery = 16;

// Empties the snapshot and fills it with every titled top-level window;
// with debug on, logs each one and then their count.
void InitialScan(Detection* detection);

// Fills detection->beforeLaunch with every top-level window there is now.
// Taken before the start count, so it costs the measured time nothing.
void ListWindowsBeforeLaunch(Detection* detection);

// Up to 5000 enumeration passes, 10 ms apart, looking for a window whose
// title matches the window name and that did not exist before this launch
// (nor, with "new windows only", before the run). Another process's window
// counts: a launcher or a broker may own the application's window. Sets
// detection->foundWindow or leaves it 0. A stop that was asked for ends the
// search after its pass, with no line in the log; so does, with
// stopSearchOnExit, a launched process that has ended with an exit code
// other than 0 (the run says so itself). True when it gave up at its
// limit, having logged so.
// With settings.wakeOnWindowEvents the passes are not 10 ms apart but come
// at each window event, and 10 ms after the previous one at the latest;
// the search gives up by the clock, once the 5000 sleeps' 50 s have passed,
// and sets detection->foundCount.
bool SearchForWindow(Detection* detection);

// Tests the found window every 100 ms, at most 50 times, until it is shown
// and not minimised. False when it never was, or a stop was asked for
// (then without a line in the log). With settings.wakeOnWindowEvents it
// tests at each window event and 10 ms after the previous test at the
// latest, for the same 5 s in all, counts a cloaked window as not shown,
// and sets detection->visibleCount.
bool WaitUntilVisible(Detection* detection);

// Whether a title matches the window name: equal (lstrcmpA) in exact mode,
// contained ignoring case otherwise. An empty name matches nothing.
bool TitleMatches(const RunSettings& settings, WindowPort& windows, const char* title);

// EnumWindows callbacks; `context` is the Detection.
bool InitialScanProc(WindowHandle window, void* context);
bool SearchWindowProc(WindowHandle window, void* context);
bool ListWindowProc(WindowHandle window, void* context);

#endif
