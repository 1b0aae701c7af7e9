#include "engine/window_detection.h"

namespace {

// Shown and not minimised. The show state that the debug lines print
// cannot tell: GetWindowPlacement calls a hidden window SW_SHOWNORMAL, and
// many programs create their window hidden and show it once they are ready.
bool IsVisible(WindowPort& windows, WindowHandle window)
{
    return windows.IsShown(window);
}

// kairon-time's test adds what only the compositor knows: a cloaked window
// is shown, yet not on the screen.
bool IsOnScreen(WindowPort& windows, WindowHandle window)
{
    return windows.IsShown(window) && !windows.IsCloaked(window);
}

bool DebugLogOpen(const Detection& detection)
{
    return detection.settings.debugLog && IsLogOpen(detection.log);
}

// Reads the window's title into `title` (kTitleSize characters); false for
// an untitled window, which the scan and the search skip. One call does it:
// GetWindowTextA copies at most 255 characters and says how many, so a
// longer title is still read in its first 255. Asking for the length as
// well would cost a second trip out of the process for every window of
// another program, on every search pass.
bool ReadTitle(Detection* detection, WindowHandle window, char* title)
{
    return detection->windows.Title(window, title, kTitleSize) > 0;
}

// A program that failed at start-up has no window to wait 50 s for. One
// that ended with 0 may have been a launcher that started the real one.
bool DiedBeforeItsWindow(const Detection& detection)
{
    unsigned long exitCode = 0;
    return detection.settings.stopSearchOnExit && detection.launched != nullptr &&
           detection.process.HasExited(*detection.launched, &exitCode) && exitCode != 0;
}

// Counter ticks in `ms` milliseconds.
std::int64_t CountsIn(ProcessPort& process, std::int64_t ms)
{
    return process.CounterFrequency() * ms / 1000;
}

// kairon-time's search. A pass as soon as a window is created, shown or
// renamed, so that the window is found within one pass of its creation;
// without an event, 10 ms after the previous pass, as the dialog's polling,
// which is all there is where events do not come (Wine sends only the
// creation). The counter is read right after each pass: after the finding
// one, that reading is the moment the window was found. Events may bring
// passes closer than 10 ms, so the limit is the polling's time, not its
// count of passes; the debug banner counts that time in 10 ms steps.
bool SearchOnWindowEvents(Detection* detection)
{
    ProcessPort& process = detection->process;
    const std::int64_t step = CountsIn(process, kSearchPassSleepMs);
    const std::int64_t start = process.CounterNow();
    int banners = 0;
    for (;;) {
        detection->visited = 0;
        detection->passMayBeCut = !detection->eventCutPass;
        detection->eventCutPass = false;
        detection->windows.EnumTopLevelWindows(SearchWindowProc, detection);
        const std::int64_t now = process.CounterNow();
        if (detection->foundWindow.found) {
            detection->foundCount = now;
            return false;
        }
        if (process.StopRequested() || DiedBeforeItsWindow(*detection))
            return false;
        const std::int64_t steps = (now - start) / step;
        if (steps >= kSearchPassLimit) {
            WriteLog(&detection->log, kWindowNotFoundFormat, detection->settings.windowName);
            FlushLog(&detection->log);
            return true;
        }
        if (DebugLogOpen(*detection) && steps / kSearchBannerEvery > banners) {
            banners = static_cast<int>(steps / kSearchBannerEvery);
            WriteLog(&detection->log, kSearchBannerFormat, banners * kSearchBannerEvery,
                     kSearchPassLimit);
            FlushLog(&detection->log);
        }
        if (!detection->eventCutPass)
            detection->windows.WaitForWindowEvent(kSearchPassSleepMs);
    }
}

// kairon-time's visibility wait: a test at each window event (a window
// shown or uncloaked wakes it where the system sends those) and 10 ms
// after the previous one at the latest, for as long as the dialog's 50
// tests 100 ms apart; the reading right after the test that saw the window
// visible is its mark.
bool WaitVisibleOnWindowEvents(Detection* detection)
{
    ProcessPort& process = detection->process;
    const std::int64_t limit =
        CountsIn(process, static_cast<std::int64_t>(kVisibilityTestLimit) * kVisibilitySleepMs);
    const std::int64_t start = process.CounterNow();
    for (;;) {
        const bool onScreen = IsOnScreen(detection->windows, detection->foundWindow.handle);
        const std::int64_t now = process.CounterNow();
        if (onScreen) {
            detection->visibleCount = now;
            return true;
        }
        if (now - start >= limit) {
            WriteLog(&detection->log, kNotVisibleFormat, detection->settings.windowName);
            FlushLog(&detection->log);
            return false;
        }
        detection->windows.WaitForWindowEvent(kSearchPassSleepMs);
        if (process.StopRequested())
            return false;
    }
}

}  // namespace

bool TitleMatches(const RunSettings& settings, WindowPort& windows, const char* title)
{
    // An empty name would be "contained" in every title, and the run would
    // then send close messages to whichever titled window came first.
    if (settings.windowName[0] == '\0')
        return false;
    if (settings.exactMatch)
        return windows.CompareTitles(title, settings.windowName) == 0;
    return windows.ContainsIgnoringCase(title, settings.windowName);
}

bool InitialScanProc(WindowHandle window, void* context)
{
    Detection* detection = static_cast<Detection*>(context);
    char title[kTitleSize] = "";
    if (!ReadTitle(detection, window, title))
        return true;
    if (DebugLogOpen(*detection)) {
        WriteLog(&detection->log, kInitialScanWindowFormat, title, static_cast<unsigned>(window),
                 detection->windows.ShowState(window));
    }
    detection->snapshot.insert(window);
    return true;
}

bool SearchWindowProc(WindowHandle window, void* context)
{
    Detection* detection = static_cast<Detection*>(context);
    // A window created now is on top of the Z order, where a new pass
    // starts: so a pass that an event cuts short is begun again at once.
    if (detection->settings.wakeOnWindowEvents && detection->passMayBeCut &&
        ++detection->visited % kEventLookEvery == 0 &&
        detection->windows.WaitForWindowEvent(0)) {
        detection->eventCutPass = true;
        return false;
    }
    const bool inSnapshot = detection->snapshot.count(window) != 0;
    if (detection->settings.newWindowsOnly && inSnapshot)
        return true;
    // A window that was there before this launch began is someone else's:
    // another program's, the user's own document, or an earlier launch's
    // that is slow to close or refused to. Timing it would log a start that
    // never happened, and closing it would close what Kairon did not open.
    // The debug log still lists it, as it lists every window new to the run.
    const bool logged = DebugLogOpen(*detection) && !inSnapshot;
    const bool beforeLaunch = detection->beforeLaunch.count(window) != 0;
    if (beforeLaunch && !logged)
        return true;
    char title[kTitleSize] = "";
    if (!ReadTitle(detection, window, title))
        return true;
    if (logged) {
        WriteLog(&detection->log, kSearchWindowFormat, title, static_cast<unsigned>(window),
                 detection->windows.ShowState(window));
        FlushLog(&detection->log);
    }
    if (beforeLaunch || !TitleMatches(detection->settings, detection->windows, title))
        return true;
    // Kairon's own dialog is titled "Veltrane Kairon"; a name such as
    // "Kairon" must not make a run close the program that is measuring.
    // Asked only of a match: for another process's window the question
    // costs a round trip to the window manager, on every window of a pass.
    if (detection->windows.IsOwnWindow(window))
        return true;
    detection->foundWindow.found = true;
    detection->foundWindow.handle = window;
    return false;
}

bool ListWindowProc(WindowHandle window, void* context)
{
    static_cast<Detection*>(context)->beforeLaunch.insert(window);
    return true;
}

void ListWindowsBeforeLaunch(Detection* detection)
{
    detection->beforeLaunch.clear();
    detection->windows.EnumTopLevelWindows(ListWindowProc, detection);
}

void InitialScan(Detection* detection)
{
    detection->snapshot.clear();
    detection->windows.EnumTopLevelWindows(InitialScanProc, detection);
    if (DebugLogOpen(*detection)) {
        WriteLog(&detection->log, kDetectedFormat, static_cast<int>(detection->snapshot.size()));
    }
}

bool SearchForWindow(Detection* detection)
{
    detection->foundWindow = FoundWindow();
    if (detection->settings.wakeOnWindowEvents)
        return SearchOnWindowEvents(detection);
    for (int passes = 0;;) {
        if (passes >= kSearchPassLimit) {
            WriteLog(&detection->log, kWindowNotFoundFormat, detection->settings.windowName);
            FlushLog(&detection->log);
            return true;
        }
        detection->windows.EnumTopLevelWindows(SearchWindowProc, detection);
        detection->process.Sleep(kSearchPassSleepMs);
        ++passes;
        if (DebugLogOpen(*detection) && passes % kSearchBannerEvery == 0) {
            WriteLog(&detection->log, kSearchBannerFormat, passes, kSearchPassLimit);
            FlushLog(&detection->log);
        }
        if (detection->foundWindow.found || detection->process.StopRequested() ||
            DiedBeforeItsWindow(*detection))
            return false;
    }
}

bool WaitUntilVisible(Detection* detection)
{
    if (detection->settings.wakeOnWindowEvents)
        return WaitVisibleOnWindowEvents(detection);
    for (int tests = 0;; ++tests) {
        if (tests >= kVisibilityTestLimit) {
            WriteLog(&detection->log, kNotVisibleFormat, detection->settings.windowName);
            FlushLog(&detection->log);
            return false;
        }
        if (IsVisible(detection->windows, detection->foundWindow.handle))
            return true;
        detection->process.Sleep(kVisibilitySleepMs);
        if (detection->process.StopRequested())
            return false;
    }
}
