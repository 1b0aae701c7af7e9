#include "console/console_run_observer.h"

#include "console/after_run.h"
#include "console/compare_report.h"
#include "console/distinct_files.h"
#include "console/build_stamp.h"
#include "console/launch_json.h"
#include "console/new_run_report.h"
#include "console/pending_file.h"
#include "console/phase_summary.h"
#include "report/build_record.h"
#include "console/redirected_program.h"
#include "dialog/dialog_run_observer.h"
#include "engine/timing_run.h"
#include "report/report_program.h"
#include "report/text_format.h"
#include "tests/fake_platform.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>

namespace {

// Four launches of "Sample": the first and the third show their window at
// once (found after the search's first 10 ms pause); the second's never
// appears, and its process reports input idle failed and ends with code 7;
// the fourth's never appears either, and that is all that goes wrong.
void ScriptLaunches(FakePlatform& fake)
{
    fake.launches.push_back({true, 0, 0, 0, 30});
    fake.launches.push_back({true, 0, 0, 1, 10});
    fake.launches.back().exitsAfterMs = 5;
    fake.launches.back().exitCode = 7;
    fake.launches.push_back({true, 0, 0, 0, 20});
    fake.launches.push_back({true, 0, 0, 0, 10});
    fake.onLaunch = [&fake](int launch) {
        if (launch == 2 || launch == 4)
            return;
        FakeWindow window;
        window.handle = 0x5000 + static_cast<WindowHandle>(launch);
        window.title = "Sample - document";
        window.appearsAtMs = fake.NowMs();
        window.closesOnMessage = true;
        fake.windows.insert(fake.windows.begin(), window);
    };
}

RunSettings LaunchSettings(const std::string& logPath)
{
    RunSettings settings{};
    std::strcpy(settings.appPath, "C:\\Apps\\sample.exe");
    std::strcpy(settings.logPath, logPath.c_str());
    std::strcpy(settings.windowName, "sample");
    settings.detectByWindowName = true;
    settings.waitInputIdle = true;
    settings.closeByWmClose = true;
    settings.debugLog = true;
    settings.executions = 4;
    settings.delayMs = 1;
    return settings;
}

// A comparison of C:\Apps\old.exe with APP in the fake: each launch opens
// a window "Sample", the baseline's at once and APP's `appDelayMs` later.
RunSettings CompareSettings(const TempFile& log, const TempFile& baselineLog,
                            FakePlatform* fake, int appDelayMs)
{
    RunSettings settings = LaunchSettings(log.path);
    std::strcpy(settings.baselinePath, "C:\\Apps\\old.exe");
    std::strcpy(settings.baselineLogPath, baselineLog.path.c_str());
    settings.waitInputIdle = false;
    fake->onLaunch = [fake, appDelayMs](int launch) {
        FakeWindow window;
        window.handle = 0x5000 + static_cast<WindowHandle>(launch);
        window.title = "Sample";
        window.appearsAtMs = fake->NowMs() + (launch % 2 == 1 ? 0 : appDelayMs);
        window.closesOnMessage = true;
        fake->windows.insert(fake->windows.begin(), window);
    };
    return settings;
}

const char kLaunchProgress[] =
    "launch 1/4: 0.0400 s\n"
    "launch 2/4: WaitForInputIdle call failed; the program opened no titled window\n"
    "launch 3/4: 0.0300 s\n"
    "launch 4/4: Failed to find window sample; the program opened no titled window\n";

// Whoever watches, the log is the same: scripts that read Kairon's logs
// read kairon-time's.
TEST(ConsoleRunObserver, TheLogHasTheBytesTheDialogWrites)
{
    const auto run = [](FakePlatform& fake, RunObserver& observer, const TempFile& log) {
        ScriptLaunches(fake);
        TimingRun(LaunchSettings(log.path), fake.platform, observer);
    };
    TempFile dialogLog("dialog_observer.txt");
    FakePlatform dialogFake;
    DialogRunObserver dialog(dialogFake);
    run(dialogFake, dialog, dialogLog);

    TempFile consoleLog("console_observer.txt");
    FakePlatform consoleFake;
    std::ostringstream err;
    ConsoleRunObserver console(err, false);
    run(consoleFake, console, consoleLog);

    const std::string bytes = dialogLog.Read();
    EXPECT_NE(bytes.find(Native("WaitForInputIdle call failed\n")), std::string::npos) << bytes;
    EXPECT_NE(bytes.find(Native("Failed to find window sample\n"
                                "Application exited with code 7 before it was ready\n50.0100\n")),
              std::string::npos)
        << bytes;
    EXPECT_EQ(consoleLog.Read(), bytes);
    EXPECT_EQ(err.str(), kLaunchProgress);
    EXPECT_EQ(console.ExitStatus(), kExitNotReady);
    // Nothing ever waits for a person.
    EXPECT_TRUE(consoleFake.EventsStartingWith("box").empty());
    EXPECT_FALSE(dialogFake.EventsStartingWith("box").empty());
}

TEST(ConsoleRunObserver, QuietKeepsProgressButNotErrorsOrTheStatus)
{
    TempFile log("quiet_observer.txt");
    FakePlatform fake;
    ScriptLaunches(fake);
    std::ostringstream err;
    ConsoleRunObserver console(err, true);
    TimingRun(LaunchSettings(log.path), fake.platform, console);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(console.ExitStatus(), kExitNotReady);

    std::ostringstream quietErr;
    ConsoleRunObserver quiet(quietErr, true);
    quiet.ShowError("Unable to open log file", "Error");
    quiet.RunEnded(kRunStopped);
    EXPECT_EQ(quietErr.str(), "kairon-time: Error: Unable to open log file\n");
}

TEST(ConsoleRunObserver, EachLaunchGetsTheFirstFailureLineItsLogHas)
{
    const struct {
        const char* what;
        LaunchResult result;
        const char* line;
        ExitStatus status;
    } cases[] = {
        {"reached", {1, 10, 0.42857, nullptr}, "launch 1/10: 0.4286 s\n", kExitOk},
        {"zero", {10, 10, 0.0, nullptr}, "launch 10/10: 0.0000 s\n", kExitOk},
        {"not found", {2, 3, 50.1, "Failed to find window Sample"},
         "launch 2/3: Failed to find window Sample\n", kExitNotReady},
    };
    for (const auto& c : cases) {
        std::ostringstream err;
        ConsoleRunObserver console(err, false);
        console.LaunchTimed(c.result);
        console.RunEnded(kRunFinished);
        EXPECT_EQ(err.str(), c.line) << c.what;
        EXPECT_EQ(console.ExitStatus(), c.status) << c.what;
    }
    // A window not found: what the launch had open instead, on its line
    // and, when quiet, on the line that ends the run there.
    LaunchResult missed{1, 20, 50.0, "Failed to find window Notepad++"};
    missed.windowNotFound = true;
    const std::string stop = "kairon-time: launch 1/20: its window was not found, and the rest "
                             "would not find it either: the run stops here (--keep-going makes "
                             "every launch)";
    for (const bool quiet : {false, true}) {
        for (const bool any : {true, false}) {
            missed.openedTitles = any ? "Untitled - Notepad | Find" : "";
            const std::string opened = any ? "; the program opened: Untitled - Notepad | Find"
                                           : "; the program opened no titled window";
            std::ostringstream err;
            ConsoleRunObserver console(err, quiet);
            console.LaunchTimed(missed);
            console.RunEnded(kRunGaveUp);
            EXPECT_EQ(err.str(), quiet ? stop + opened + "\n"
                                       : "launch 1/20: Failed to find window Notepad++" +
                                             opened + "\n" + stop + "\n");
            EXPECT_EQ(console.ExitStatus(), kExitNotReady);
        }
    }
}

TEST(ConsoleRunObserver, AStoppedRunIsStatusOneWhateverCameBefore)
{
    std::ostringstream err;
    ConsoleRunObserver console(err, false);
    console.ShowStatus("Iteration: 1 - 1 seconds until application is launched");
    console.LaunchTimed({1, 2, 50.0, "Failed to find window Sample"});
    console.ShowError("The system cannot find the file specified.\r\n",
                      "Error - Unable to launch process");
    console.RunEnded(kRunStopped);
    EXPECT_EQ(err.str(),
              "launch 1/2: Failed to find window Sample\n"
              "kairon-time: Error - Unable to launch process: The system cannot find the file "
              "specified.\n");
    EXPECT_EQ(console.ExitStatus(), kExitFailed);
}

TEST(ConsoleRunObserver, ALaunchThatFailsEndsTheRunWithTheSystemsText)
{
    TempFile log("failed_observer.txt");
    FakePlatform fake;
    fake.launches.push_back({false, 2, 0, 0, 0});
    fake.errorTexts[2] = "The system cannot find the file specified.\r\n";
    std::ostringstream err;
    ConsoleRunObserver console(err, false);
    TimingRun(LaunchSettings(log.path), fake.platform, console);
    EXPECT_EQ(err.str(),
              "kairon-time: Error - Unable to launch process: The system cannot find the file "
              "specified.\n");
    EXPECT_EQ(console.ExitStatus(), kExitFailed);
}

// Warm-ups: launched, timed and closed like the measured launches, told
// apart in the progress, and not a byte of them in the log. The first
// warm-up's window never appears: that is missed, though no line says so.
TEST(ConsoleRunObserver, WarmupsAreClosedAndCountedButLeaveTheLogAsWithoutThem)
{
    const auto script = [](FakePlatform& fake, int warmups) {
        fake.onLaunch = [&fake, warmups](int launch) {
            if (launch == 1 && warmups > 0)
                return;
            FakeWindow window;
            window.handle = launch <= warmups ? 0x6000 + static_cast<WindowHandle>(launch)
                                              : 0x5000 + static_cast<WindowHandle>(launch - warmups);
            window.title = "Sample";
            window.appearsAtMs = fake.NowMs();
            window.closesOnMessage = true;
            fake.windows.insert(fake.windows.begin(), window);
        };
    };
    TempFile plainLog("no_warmups.txt");
    RunSettings plain = LaunchSettings(plainLog.path);
    plain.waitInputIdle = false;
    plain.executions = 2;
    FakePlatform plainFake;
    script(plainFake, 0);
    std::ostringstream plainErr;
    ConsoleRunObserver plainConsole(plainErr, false);
    TimingRun(plain, plainFake.platform, plainConsole);

    TempFile warmLog("warmups.txt");
    RunSettings warm = plain;
    std::strcpy(warm.logPath, warmLog.path.c_str());
    warm.warmups = 2;
    FakePlatform warmFake;
    script(warmFake, 2);
    std::ostringstream err;
    ConsoleRunObserver console(err, false, true);
    TimingRun(warm, warmFake.platform, console);

    EXPECT_EQ(warmLog.Read(), plainLog.Read());
    EXPECT_NE(err.str().find("\rWarm-up: 2 - Launching Application"), std::string::npos)
        << err.str();
    for (const char* line : {"warmup 1/2: Failed to find window sample; the program opened no "
                             "titled window\n",
                                    "warmup 2/2: 0.0100 s\n", "launch 1/2: 0.0100 s\n",
                                    "launch 2/2: 0.0100 s\n"}) {
        EXPECT_NE(err.str().find(std::string("\r") + line), std::string::npos)
            << line << err.str();
    }
    EXPECT_EQ(console.ExitStatus(), kExitNotReady);
    ASSERT_EQ(console.Launches().size(), 4u);
    EXPECT_TRUE(console.Launches()[1].result.warmup);
    EXPECT_FALSE(console.Launches()[2].result.warmup);
    EXPECT_EQ(warmFake.EventsStartingWith("send 0x6002 0x10").size(), 1u);
    EXPECT_EQ(warmFake.EventsStartingWith("create").size(), 4u);
}

// On a terminal the countdown is one line rewritten in place, blanked out
// before a launch's line or the end; elsewhere it is not written at all.
TEST(ConsoleRunObserver, OnATerminalTheCountdownIsRewrittenInPlace)
{
    std::ostringstream err;
    ConsoleRunObserver console(err, false, true);
    console.ShowStatus("Iteration: 1 - 10 seconds");
    console.ShowStatus("Iteration: 1 - 9 s");
    console.LaunchTimed({1, 1, 0.5, nullptr});
    console.ShowStatus("next");
    console.RunEnded(kRunFinished);
    EXPECT_EQ(err.str(),
              "\rIteration: 1 - 10 seconds"
              "\rIteration: 1 - 9 s       \rIteration: 1 - 9 s"
              "\r                  \rlaunch 1/1: 0.5000 s\n"
              "\rnext\r    \r");
    std::ostringstream quietErr;
    ConsoleRunObserver quiet(quietErr, true, true);
    quiet.ShowStatus("Iteration: 1 - 10 seconds");
    EXPECT_EQ(quietErr.str(), "");
}

// A launch whose application had to be ended says so under its own line's
// prefix; the count comes at the end, before the interruption's last words.
// The records keep each outcome, and their own copy of each failure line.
TEST(ConsoleRunObserver, ApplicationsThatHadToBeEndedAreCounted)
{
    for (const bool quiet : {false, true}) {
        std::ostringstream err;
        ConsoleRunObserver console(err, quiet);
        LaunchResult baseline(1, 2, 0.5, nullptr);
        baseline.baseline = true;
        LaunchResult warmup(1, 1, 0.4, nullptr);
        warmup.warmup = true;
        std::string failure = "Failed to find window Sample";
        const CloseOutcome closes[] = {kCloseEnded, kCloseClosed, kCloseEnded, kCloseNone};
        const LaunchResult results[] = {baseline, warmup, {2, 3, 50.0, failure.c_str()},
                                        {3, 3, 0.4, nullptr}};
        for (int i = 0; i < 4; ++i) {
            console.LaunchTimed(results[i]);
            console.LaunchClosed(closes[i]);
        }
        failure = "overwritten, as the run's own buffer is";
        console.RunEnded(kRunInterrupted);
        const std::string progress = "baseline launch 1/2: 0.5000 s\n"
                                     "baseline launch 1/2: ended\n"
                                     "warmup 1/1: 0.4000 s\n"
                                     "launch 2/3: Failed to find window Sample\n"
                                     "launch 2/3: ended\n"
                                     "launch 3/3: 0.4000 s\n";
        EXPECT_EQ(err.str(), (quiet ? "" : progress) +
                                 "kairon-time: 2 of 4 launches had to be ended\n"
                                 "kairon-time: interrupted; the application it launched is "
                                 "closed\n");
        ASSERT_EQ(console.Launches().size(), 4u);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(console.Launches()[i].close, closes[i]) << i;
        const std::vector<LaunchRecord> copies = console.Launches();
        EXPECT_STREQ(copies[2].result.failureLine, "Failed to find window Sample");
        EXPECT_FALSE(copies[2].Reached());
    }
}

struct MarksCase {
    const char* what;
    bool inputIdle, window, visible, marked;
    FakeLaunch launch;
    std::int64_t appearsAfterMs;  // -1: never
    std::int64_t visibleAfterMs;  // shown this long after the launch; hidden before
    PhaseMarks marks;
    double seconds;
    bool woken = false;   // kairon-time's wake on window events
    bool events = true;   // the window's creation and showing send events
};

// Each phase asked for and reached has its time from the start count; the
// last one ends where the timing line does. With the virtual clock: input
// idle after 30 ms, the search's pass then finds a window that is there and
// sleeps 10 ms, and the visibility test looks every 100 ms. Woken by
// events, a mark is the moment of the event's pass; without events, the
// polling's next step, 10 ms apart in both waits.
TEST(ConsoleRunObserver, EachPhaseReachedIsMarkedFromTheStartCount)
{
    FakeLaunch idle30{true, 0, 0, 0, 30};
    FakeLaunch idleFails{true, 0, 0, 1, 30};
    FakeLaunch endsAt20{true, 0, 0, 0, 55};
    endsAt20.exitsAfterMs = 20;
    const MarksCase cases[] = {
        {"input idle alone", true, false, false, true, idle30, -1, 0, {0.030, -1, -1}, 0.030},
        {"idle, then the window", true, true, false, true, idle30, 0, 0, {0.030, 0.040, -1}, 0.040},
        {"idle, window, visible", true, true, true, true, idle30, 0, 200, {0.030, 0.040, 0.240},
         0.240},
        {"a window found late", false, true, false, true, {}, 95, 0, {-1, 0.110, -1}, 0.110},
        {"never found", false, true, true, true, {}, -1, 0, {-1, -1, -1}, 50.0},
        {"never visible", false, true, true, true, {}, 0, 99999, {-1, 0.010, -1}, 5.010},
        {"idle failed", true, true, false, true, idleFails, 0, 0, {-1, 0.040, -1}, 0.040},
        {"ended before it was ready", true, false, false, true, endsAt20, -1, 0, {-1, -1, -1},
         0.055},
        {"marks not asked for", true, true, true, false, idle30, 0, 0, {-1, -1, -1}, 0.040},
        {"woken: found as it is created", false, true, false, true, {}, 95, 0, {-1, 0.095, -1},
         0.095, true},
        {"woken, no event: found by polling", false, true, false, true, {}, 95, 0,
         {-1, 0.100, -1}, 0.100, true, false},
        {"woken: idle, window, visible", true, true, true, true, idle30, 0, 205,
         {0.030, 0.030, 0.205}, 0.205, true},
        {"woken, no event: visible by polling", true, true, true, true, idle30, 0, 205,
         {0.030, 0.030, 0.210}, 0.210, true, false},
        {"woken: never visible", false, true, true, true, {}, 0, 99999, {-1, 0, -1}, 5.0, true},
        {"woken: never found", false, true, true, true, {}, -1, 0, {-1, -1, -1}, 50.0, true},
    };
    for (const MarksCase& c : cases) {
        TempFile log("marks.txt");
        RunSettings settings = LaunchSettings(log.path);
        settings.executions = 1;
        settings.debugLog = false;
        settings.waitInputIdle = c.inputIdle;
        settings.detectByWindowName = c.window;
        settings.closeByWmClose = c.window;
        settings.waitVisible = c.visible;
        settings.markPhases = c.marked;
        settings.wakeOnWindowEvents = c.woken;
        FakePlatform fake;
        fake.launches.push_back(c.launch);
        fake.onLaunch = [&fake, &c](int) {
            if (c.appearsAfterMs < 0)
                return;
            FakeWindow window = SampleWindow(fake.NowMs() + c.appearsAfterMs);
            window.showState = c.visibleAfterMs > 0 ? kShowHide : 1;
            window.showChanges = {{fake.NowMs() + c.visibleAfterMs, 1}};
            window.sendsEvents = c.events;
            fake.windows.insert(fake.windows.begin(), window);
        };
        std::ostringstream err;
        ConsoleRunObserver console(err, true);
        TimingRun(settings, fake.platform, console);
        ASSERT_EQ(console.Launches().size(), 1u) << c.what;
        const LaunchResult& launch = console.Launches()[0].result;
        EXPECT_NEAR(launch.seconds, c.seconds, 1e-6) << c.what;
        EXPECT_NEAR(launch.marks.inputIdle, c.marks.inputIdle, 1e-9) << c.what;
        EXPECT_NEAR(launch.marks.window, c.marks.window, 1e-9) << c.what;
        EXPECT_NEAR(launch.marks.visible, c.marks.visible, 1e-9) << c.what;
        // The counts are the readings behind the marks, from the launch's start.
        EXPECT_EQ(launch.counts.start, c.marked ? 1 * kTicksPerMs : 0) << c.what;
        const auto count = [&launch](double mark) {
            return mark < 0 ? 0 : launch.counts.start + std::llround(mark * kFakeFrequency);
        };
        EXPECT_EQ(launch.counts.inputIdle, count(c.marks.inputIdle)) << c.what;
        EXPECT_EQ(launch.counts.window, count(c.marks.window)) << c.what;
        EXPECT_EQ(launch.counts.visible, count(c.marks.visible)) << c.what;
        // Only kairon-time's run waits on window events, and unhooks them.
        EXPECT_EQ(fake.EventsStartingWith("wait ").empty(), !c.woken) << c.what;
        EXPECT_EQ(fake.eventWatches, 0) << c.what;
    }
}

struct StopCase {
    const char* what;
    std::int64_t stopAtMs;
    bool closes;                 // the window goes at its close message
    std::int64_t exitsAfterMs;   // the process ends by itself; -1 never
    const char* logged;          // after the header
    size_t closeMessages;
    bool terminated;
    bool hidden = false;         // the window stays hidden, and --visible waits for it
    bool between = false;        // no launch's application was running
};

// Ctrl-C: the run stops at the end of the pause it came in, closes the
// application of the launch under way as a launch's always is, ends it when
// it has no window or its window stays, keeps the log's whole lines and
// ends with status 130. Two launches, a second's delay: the window appears
// 100 ms after the launch at 1000 ms, the close messages go at 2110 ms.
TEST(ConsoleRunObserver, CtrlCClosesTheApplicationAndKeepsTheLogsWholeLines)
{
    const StopCase cases[] = {
        {"before the first launch", 500, true, -1, "", 0, false, false, true},
        {"while its window is searched for", 1050, true, -1, "", 0, true},
        {"searched for, its process gone", 1050, true, 10, "", 0, false},
        {"before the close, it closes", 1500, true, -1, "0.1100\n", 1, false},
        {"before the close, it stays", 1500, false, -1, "0.1100\n", 1, true},
        {"after the close was sent", 2500, true, -1, "0.1100\n", 1, false},
        {"before the second launch", 3200, true, -1, "0.1100\n", 1, false, false, true},
        {"while it is waited for to show", 1500, true, -1, "", 1, false, true},
    };
    for (const StopCase& c : cases) {
        TempFile log("stopped.txt");
        RunSettings settings = LaunchSettings(log.path);
        settings.executions = 2;
        settings.delayMs = 1000;
        settings.debugLog = false;
        settings.waitInputIdle = false;
        settings.waitVisible = c.hidden;
        FakePlatform fake;
        fake.stopAtMs = c.stopAtMs;
        FakeLaunch launch;
        launch.exitsAfterMs = c.exitsAfterMs;
        fake.launches.push_back(launch);
        fake.onLaunch = [&fake, &c](int) {
            FakeWindow window;
            window.handle = 0x5001;
            window.title = "sample";
            window.appearsAtMs = fake.NowMs() + 100;
            window.closesOnMessage = c.closes;
            window.showState = c.hidden ? kShowHide : 1;
            fake.windows.insert(fake.windows.begin(), window);
        };
        std::ostringstream err;
        ConsoleRunObserver console(err, true);
        TimingRun(settings, fake.platform, console);
        EXPECT_EQ(console.ExitStatus(), kExitInterrupted) << c.what;
        // Only a launch that was timed counts among the launches ended.
        const bool timedAndEnded = c.terminated && c.logged[0] != '\0';
        EXPECT_EQ(err.str(), std::string(timedAndEnded ? "kairon-time: 1 of 1 launches had to be ended\n" : "") +
                                 (c.between ? "kairon-time: interrupted between launches\n"
                                            : "kairon-time: interrupted; the application it "
                                              "launched is closed\n"))
            << c.what;
        EXPECT_EQ(log.Read(),
                  Native(std::string("C:\\Apps\\sample.exe - 2 executions\n") + c.logged))
            << c.what;
        EXPECT_EQ(fake.EventsStartingWith("create").size(), c.stopAtMs < 1000 ? 0u : 1u)
            << c.what;
        EXPECT_EQ(fake.EventsStartingWith("send 0x5001 0x10").size(), c.closeMessages) << c.what;
        EXPECT_EQ(fake.EventsStartingWith("terminate 0x101").size(), c.terminated ? 1u : 0u)
            << c.what;
        // Each launch's handles are released, after its application is
        // dealt with.
        const std::vector<std::string> handles = fake.EventsStartingWith("close handles");
        EXPECT_EQ(handles.size(), fake.EventsStartingWith("create").size()) << c.what;
        if (c.terminated) {
            const auto at = [&fake](const char* event) {
                return std::find(fake.events.begin(), fake.events.end(), event);
            };
            EXPECT_LT(at("terminate 0x101"), at("close handles 0x101 0x201")) << c.what;
        }
        EXPECT_EQ(fake.timerPeriods, (std::vector<std::string>{"begin 1", "end 1"})) << c.what;
    }
}

struct OwnerCase {
    const char* what;
    bool otherOwner;        // the window is another process's, not the launched one's
    FakeProcess process;    // that process
    bool handedOff;
    const char* program;    // the owner's program file in the JSON; null: none
};

// A single-instance program's second launch hands its command line to the
// instance already running, which opens the window: a hand-off, not a
// start-up. Only an owner created strictly before the launched process and
// running its very program file is one; a launcher's real program, a broker
// hosting the window, or a process the launch itself started is a start-up.
// The launched process runs C:\Apps\sample.exe and is created at 1 ms.
TEST(ConsoleRunObserver, AWindowAnOlderInstanceOpenedIsAHandOff)
{
    const OwnerCase cases[] = {
        {"older instance", true, {"C:\\Apps\\sample.exe", -5000}, true,
         "C:\\\\Apps\\\\sample.exe"},
        {"older instance, other case", true, {"c:\\apps\\SAMPLE.EXE", 0}, true,
         "c:\\\\apps\\\\SAMPLE.EXE"},
        {"started in the same tick", true, {"C:\\Apps\\sample.exe", 1}, false,
         "C:\\\\Apps\\\\sample.exe"},
        {"started by the launch", true, {"C:\\Apps\\sample.exe", 2, false, true}, false,
         "C:\\\\Apps\\\\sample.exe"},
        {"a launcher's real program", true, {"C:\\Apps\\real.exe", 2, false, true}, false,
         "C:\\\\Apps\\\\real.exe"},
        {"a broker that was running", true, {"C:\\Windows\\broker.exe", -5000}, false,
         "C:\\\\Windows\\\\broker.exe"},
        {"a longer path to the same name", true, {"C:\\Apps\\old\\sample.exe", -5000}, false,
         "C:\\\\Apps\\\\old\\\\sample.exe"},
        {"an owner that cannot be asked", true, {"C:\\Apps\\sample.exe", -5000, true}, false,
         nullptr},
        {"the launched process", false, {}, false, "C:\\\\Apps\\\\sample.exe"},
    };
    for (const OwnerCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempFile log("owner.txt");
        RunSettings settings = LaunchSettings(log.path);
        settings.executions = 1;
        settings.debugLog = false;
        settings.waitInputIdle = false;
        settings.markPhases = true;
        settings.checkWindowOwner = true;
        settings.measureResources = true;
        FakePlatform fake;
        if (c.otherOwner)
            fake.otherProcesses[0x2000] = c.process;
        fake.onLaunch = [&fake, &c](int) {
            FakeWindow window;
            window.handle = 0x5001;
            window.title = "Sample";
            window.appearsAtMs = fake.NowMs();
            window.closesOnMessage = true;
            window.ownerProcessId = c.otherOwner ? 0x2000 : 0;
            fake.windows.insert(fake.windows.begin(), window);
        };
        std::ostringstream err;
        ConsoleRunObserver console(err, false);
        TimingRun(settings, fake.platform, console);

        const char* handedOffLine = "Window sample belongs to a program started before this launch";
        EXPECT_EQ(log.Read(), Native(std::string("C:\\Apps\\sample.exe - 1 executions\n") +
                                     (c.handedOff ? std::string(handedOffLine) + "\n" : "") +
                                     "0.0100\n"));
        // A window of a process outside the launch's job is neither closed
        // nor ended: the launch did not start it.
        const bool inJob = !c.otherOwner || c.process.inJob;
        EXPECT_EQ(err.str(), std::string("launch 1/1: ") +
                                 (c.handedOff ? handedOffLine : "0.0100 s") + "\n" +
                                 (inJob ? "" : "launch 1/1: left running: the launch did not "
                                               "start its window's program\n"));
        EXPECT_EQ(console.ExitStatus(), c.handedOff ? kExitNotReady : kExitOk);
        EXPECT_EQ(fake.EventsStartingWith("send 0x5001 0x10").size(), inJob ? 1u : 0u);
        EXPECT_EQ(fake.otherProcesses.size(), c.otherOwner && !inJob ? 1u : 0u);

        ASSERT_EQ(console.Launches().size(), 1u);
        const std::string json = LaunchesJson(settings, console.Launches(), kFakeFrequency, ToUtf8);
        const std::string owner =
            std::string("      \"window_owner\": {\n") + "        \"pid\": " +
            (c.otherOwner ? "8192" : "4097") + ",\n" + "        \"program\": " +
            (c.program ? std::string("\"") + c.program + "\"" : std::string("null")) + ",\n" +
            "        \"launched\": " + (c.otherOwner ? "false" : "true") + ",\n" +
            "        \"in_job\": " + (inJob ? "true" : "false") + "\n      }";
        const std::string close = std::string(",\n      \"close\": \"") +
                                  (inJob ? "closed" : "left") + "\",\n      \"ended_processes\": " +
                                  (c.otherOwner && inJob ? "1" : "0");
        if (c.handedOff) {
            // A hand-off reached no phase of its own.
            EXPECT_NE(json.find("\"marks\": {},\n      \"counts\": {\n        \"start\": 10000\n"
                                "      },\n" + owner +
                                ",\n      \"handed_off\": true,\n      \"failure\": \"" +
                                handedOffLine + "\"" + close),
                      std::string::npos)
                << json;
            EXPECT_LT(console.Launches()[0].result.marks.window, 0);
        } else {
            EXPECT_NE(json.find("\"window\": 0.01\n      },\n      \"counts\": {\n"
                                "        \"start\": 10000,\n        \"window\": 110000\n"
                                "      },\n" + owner +
                                close),
                      std::string::npos)
                << json;
            EXPECT_EQ(json.find("handed_off"), std::string::npos) << json;
        }
        // Every handle opened to ask is closed again.
        EXPECT_EQ(fake.EventsStartingWith("open process").size() -
                      (c.otherOwner && c.process.refusesQueries ? 1 : 0),
                  fake.EventsStartingWith("close query").size());
    }
}

// The dialog's runs never ask whose a window is: the same hand-off is an
// ordinary launch there, with the log and the calls they always had.
TEST(ConsoleRunObserver, OnlyKaironTimeAsksWhoseTheWindowIs)
{
    TempFile log("dialog_owner.txt");
    RunSettings settings = LaunchSettings(log.path);
    settings.executions = 1;
    settings.debugLog = false;
    settings.waitInputIdle = false;
    FakePlatform fake;
    fake.otherProcesses[0x2000] = {"C:\\Apps\\sample.exe", -5000};
    fake.onLaunch = [&fake](int) {
        FakeWindow window;
        window.handle = 0x5001;
        window.title = "Sample";
        window.appearsAtMs = fake.NowMs();
        window.ownerProcessId = 0x2000;
        window.closesOnMessage = true;
        fake.windows.insert(fake.windows.begin(), window);
    };
    DialogRunObserver dialog(fake);
    TimingRun(settings, fake.platform, dialog);
    EXPECT_EQ(log.Read(), Native("C:\\Apps\\sample.exe - 1 executions\n0.0100\n"));
    for (const char* call : {"owner", "open process", "program", "creation time", "close query"})
        EXPECT_TRUE(fake.EventsStartingWith(call).empty()) << call;
}

// A warm-up, a launch that reached every phase, one whose window never
// appeared; the log's numbers, ANSI text as UTF-8, marks only as reached.
LaunchRecord Record(int launch, bool warmup, double seconds, PhaseMarks marks,
                    const char* failure = nullptr, bool baseline = false)
{
    LaunchResult result(launch, 3, seconds, failure);
    result.warmup = warmup;
    result.baseline = baseline;
    result.marks = marks;
    return LaunchRecord(result);
}

std::vector<LaunchRecord> ThreeLaunches()
{
    return {
        Record(1, true, 0.91, {0.5, 0.9, -1}),
        Record(1, false, 0.42857, {0.11, 0.41, 0.42857}),
        Record(2, false, 50.01, {0.12, -1, -1}, "Failed to find window Caf\xE9"),
    };
}

TEST(LaunchesJson, ListsEveryLaunchWithTheMarksItReached)
{
    RunSettings settings{};
    std::strcpy(settings.appPath, "C:\\Apps\\caf\xE9.exe");
    std::strcpy(settings.cmdLineArgs, "--open \"a b\"");
    std::strcpy(settings.windowName, "Caf\xE9");
    settings.detectByWindowName = true;
    std::vector<LaunchRecord> launches = ThreeLaunches();
    launches[0].close = kCloseWent;
    launches[1].close = kCloseClosed;
    launches[2].close = kCloseEnded;
    EXPECT_EQ(LaunchesJson(settings, launches, kFakeFrequency, ToUtf8),
              "{\n"
              "  \"application\": \"C:\\\\Apps\\\\caf\xC3\xA9.exe\",\n"
              "  \"arguments\": \"--open \\\"a b\\\"\",\n"
              "  \"window\": \"Caf\xC3\xA9\",\n"
              "  \"counter_frequency\": 10000000,\n"
              "  \"launches\": [\n"
              "    {\n"
              "      \"launch\": 1,\n"
              "      \"warmup\": true,\n"
              "      \"seconds\": 0.91,\n"
              "      \"reached\": true,\n"
              "      \"marks\": {\n"
              "        \"input_idle\": 0.5,\n"
              "        \"window\": 0.9\n"
              "      },\n"
              "      \"close\": \"went\"\n"
              "    },\n"
              "    {\n"
              "      \"launch\": 1,\n"
              "      \"warmup\": false,\n"
              "      \"seconds\": 0.4286,\n"
              "      \"reached\": true,\n"
              "      \"marks\": {\n"
              "        \"input_idle\": 0.11,\n"
              "        \"window\": 0.41,\n"
              "        \"visible\": 0.4286\n"
              "      },\n"
              "      \"close\": \"closed\"\n"
              "    },\n"
              "    {\n"
              "      \"launch\": 2,\n"
              "      \"warmup\": false,\n"
              "      \"seconds\": 50.01,\n"
              "      \"reached\": false,\n"
              "      \"marks\": {\n"
              "        \"input_idle\": 0.12\n"
              "      },\n"
              "      \"failure\": \"Failed to find window Caf\xC3\xA9\",\n"
              "      \"close\": \"ended\"\n"
              "    }\n"
              "  ]\n"
              "}\n");
    // Every text of the system's code page goes through the system's
    // conversion, and nothing else does.
    std::strcpy(settings.baselinePath, "old.exe");
    launches[1].result.owner.known = true;
    launches[1].result.owner.program = "owner.exe";
    const std::string marked = LaunchesJson(
        settings, launches, kFakeFrequency, [](std::string_view text) { return "<" + ToUtf8(text) + ">"; });
    for (const char* text : {"\"application\": \"<C:\\\\Apps\\\\caf\xC3\xA9.exe>\"",
                             "\"arguments\": \"<--open \\\"a b\\\">\"",
                             "\"baseline\": \"<old.exe>\"", "\"window\": \"<Caf\xC3\xA9>\"",
                             "\"program\": \"<owner.exe>\"",
                             "\"failure\": \"<Failed to find window Caf\xC3\xA9>\""})
        EXPECT_NE(marked.find(text), std::string::npos) << text << "\n" << marked;
    EXPECT_EQ(std::count(marked.begin(), marked.end(), '<'), 6) << marked;
    settings.baselinePath[0] = '\0';
    settings.detectByWindowName = false;
    // Without --window there is no title to wait for.
    const std::string none = LaunchesJson(settings, {}, kFakeFrequency, ToUtf8);
    EXPECT_NE(none.find("\"window\": null,\n  \"counter_frequency\": 10000000,\n  \"launches\": []\n}\n"), std::string::npos)
        << none;
}

// --build's id and the machine go at the JSON's end, and kairon-report
// reads them back for the run the JSON's launches are; without an id the
// JSON is as it always was.
TEST(LaunchesJson, KeepsTheBuildAndMachineForTheTrend)
{
    RunSettings settings{};
    std::strcpy(settings.appPath, "C:\\b\\1236\\app.exe");
    settings.detectByWindowName = true;
    std::strcpy(settings.windowName, "App");
    const std::vector<LaunchRecord> launches{LaunchRecord(LaunchResult(1, 1, 0.41234, nullptr))};
    const std::string plain = LaunchesJson(settings, launches, kFakeFrequency, ToUtf8);
    EXPECT_EQ(WithBuildStamp(plain, "", "CI-07"), plain);
    const std::string stamped = WithBuildStamp(plain, "1236", "CI-07");
    EXPECT_NE(stamped.find("\n  ],\n  \"build\": \"1236\",\n  \"machine\": \"CI-07\"\n}\n"),
              std::string::npos) << stamped;
    std::string problem;
    const std::vector<BuildRecord> records = ReadBuildRecords(stamped, "j.json", &problem);
    ASSERT_EQ(records.size(), 1u) << problem;
    ::Run run;
    run.application = settings.appPath;
    run.launches.push_back(Launch{0.4123, 2, {}, {}, 0});
    std::vector<std::string> unmatched;
    const auto matched = MatchBuildRecords({static_cast<const ::Run*>(&run)}, records, &unmatched);
    ASSERT_TRUE(matched[0]) << (unmatched.empty() ? "" : unmatched[0]);
    EXPECT_EQ(matched[0]->buildId, "1236");
    EXPECT_EQ(matched[0]->machine, "CI-07");
    EXPECT_EQ(matched[0]->window, "App");
}

TEST(PhaseSummary, GivesTheMedianOfEachPhaseAskedForOverTheMeasuredLaunches)
{
    RunSettings settings{};
    settings.waitInputIdle = settings.detectByWindowName = settings.waitVisible = true;
    std::vector<LaunchRecord> launches = ThreeLaunches();
    launches.push_back(Record(3, false, 0.5, {0.20, 0.45, 0.5}));
    EXPECT_EQ(PhaseSummary(settings, launches),
              "Phases, median from the launch of those that reached it:\n"
              "  input idle  0.1200 s  (3 of 3)\n"
              "  window      0.4300 s  (2 of 3)\n"
              "  visible     0.4643 s  (2 of 3)\n");
    settings.waitInputIdle = settings.waitVisible = false;
    // No header over phases none reached: the run's failed launches say why.
    EXPECT_EQ(PhaseSummary(settings, {launches[0], launches[2]}), "");
    EXPECT_EQ(PhaseSummary(settings, {launches[0]}), "");
}

// The summary at the end is kairon-report's for the run just appended,
// numbered as kairon-report numbers it in that log.
TEST(NewRunReport, IsWhatKaironReportPrintsForTheLogsLastRun)
{
    TempFile log("new_run_report.txt");
    const std::string firstRun = "C:\\Apps\\old.exe - 2 executions\n0.5000\n0.7000\n";
    const std::string bytes = firstRun +
                              "C:\\Apps\\sample.exe - 3 executions\n0.4000\n"
                              "Failed to find window Sample\n50.0100\n0.4200\n";
    log.Write(bytes);

    const char* argv[] = {"kairon-report", log.path.c_str()};
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunReportProgram(2, argv, stdin, out, err), kExitOk) << err.str();
    const std::string whole = out.str();
    const size_t second = whole.find("Run 2: C:\\Apps\\sample.exe\n");
    ASSERT_NE(second, std::string::npos) << whole;

    EXPECT_EQ(NewRunReport({log.path, bytes, firstRun.size()}), whole.substr(second));
    // The log did not grow: the run wrote nothing, there is nothing new.
    EXPECT_EQ(NewRunReport({log.path, bytes, bytes.size()}), "");
    EXPECT_EQ(NewRunReport({log.path, "not a log\n", 0}), "");
}

// A comparison: the baseline's launches, warm-ups first, take turns with
// APP's; the progress names the baseline's, the phases are APP's alone.
TEST(ConsoleRunObserver, ACompareRunNamesTheBaselinesLaunches)
{
    TempFile log("compare_console.txt");
    TempFile baselineLog("compare_console-baseline.txt");
    FakePlatform fake;
    // APP's windows appear 20 ms after the baseline's (found by the
    // search's third pass).
    RunSettings settings = CompareSettings(log, baselineLog, &fake, 20);
    settings.markPhases = true;
    settings.executions = 2;
    settings.warmups = 1;
    std::ostringstream err;
    ConsoleRunObserver console(err, false);
    TimingRun(settings, fake.platform, console);
    EXPECT_EQ(err.str(),
              "baseline warmup 1/1: 0.0100 s\n"
              "warmup 1/1: 0.0300 s\n"
              "baseline launch 1/2: 0.0100 s\n"
              "launch 1/2: 0.0300 s\n"
              "baseline launch 2/2: 0.0100 s\n"
              "launch 2/2: 0.0300 s\n");
    EXPECT_EQ(console.ExitStatus(), kExitOk);
    ASSERT_EQ(console.Launches().size(), 6u);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(console.Launches()[i].result.baseline, i % 2 == 0) << i;
    EXPECT_EQ(PhaseSummary(settings, console.Launches()),
              "Phases, median from the launch of those that reached it:\n"
              "  window      0.0300 s  (2 of 2)\n");
}

// --max-runs: rounds are added while the gate cannot tell, up to its
// verdict or the most allowed; the logs keep every launch under a header
// that states --runs, and read back as one run each.
TEST(ConsoleRunObserver, AddsRoundsUntilTheGateCanTell)
{
    const struct {
        int appDelayMs;
        size_t rounds;
        const char* verdict;
    } cases[] = {
        // Three times slower: with 4 a side p cannot go below 0.05 / 5 looks; at 6 it does.
        {20, 6,
         "Gate failed: run 2.\nThe gate looked after 4 and 6 launches a side, each look at "
         "p < 0.01 (0.05 split between 5 planned looks): it could tell after 6 of at most 12.\n"},
        {0, 12,
         "the same time\nGate cannot tell: run 2.\nThe gate looked after 4, 6, 8, 10 and 12 "
         "launches a side, each look at p < 0.01 (0.05 split between 5 planned looks): it "
         "still cannot tell after 12 of at most 12.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rounds);
        TempFile log("rounds_console.txt");
        TempFile baselineLog("rounds_console-baseline.txt");
        FakePlatform fake;
        RunSettings settings = CompareSettings(log, baselineLog, &fake, c.appDelayMs);
        settings.debugLog = false;
        std::ostringstream err;
        ConsoleRunObserver console(err, false);
        TimeOptions options;
        options.gate = true;
        options.slowerLimitPercent = 5;
        options.maxRuns = 12;
        console.AddRoundsFor(TimeGatePlan(options, settings.executions));
        TimingRun(settings, fake.platform, console);
        EXPECT_EQ(console.Launches().size(), 2 * c.rounds);
        EXPECT_NE(err.str().find("launch 4/4: 0.0"), std::string::npos) << err.str();
        EXPECT_NE(err.str().find("\nbaseline launch 5 (added): 0.0100 s\nlaunch 5 (added): "),
                  std::string::npos)
            << err.str();
        const CompareReport report = CompareNewRuns({baselineLog.path, baselineLog.Read(), 0},
                                                    {log.path, log.Read(), 0}, options, 4);
        EXPECT_NE(report.text.find(c.verdict), std::string::npos) << report.text;
        EXPECT_NE(report.text.find("  Launches:               " + std::to_string(c.rounds) +
                                   " of 4 completed (launches were added, as kairon-time "
                                   "--max-runs adds them)\n"),
                  std::string::npos)
            << report.text;
    }
}

// Only a comparison's JSON names the baseline and whose each launch is.
TEST(LaunchesJson, ACompareRunSaysWhoseEachLaunchIs)
{
    RunSettings settings{};
    std::strcpy(settings.appPath, "new.exe");
    std::strcpy(settings.baselinePath, "old.exe");
    std::vector<LaunchRecord> launches = {
        Record(1, false, 0.5, {}, nullptr, true),
        Record(1, false, 0.25, {}, nullptr, false),
    };
    EXPECT_EQ(LaunchesJson(settings, launches, kFakeFrequency, ToUtf8),
              "{\n"
              "  \"application\": \"new.exe\",\n"
              "  \"arguments\": \"\",\n"
              "  \"baseline\": \"old.exe\",\n"
              "  \"window\": null,\n"
              "  \"counter_frequency\": 10000000,\n"
              "  \"launches\": [\n"
              "    {\n"
              "      \"program\": \"baseline\",\n"
              "      \"launch\": 1,\n"
              "      \"warmup\": false,\n"
              "      \"seconds\": 0.5,\n"
              "      \"reached\": true,\n"
              "      \"marks\": {},\n"
              "      \"close\": \"none\"\n"
              "    },\n"
              "    {\n"
              "      \"program\": \"app\",\n"
              "      \"launch\": 1,\n"
              "      \"warmup\": false,\n"
              "      \"seconds\": 0.25,\n"
              "      \"reached\": true,\n"
              "      \"marks\": {},\n"
              "      \"close\": \"none\"\n"
              "    }\n"
              "  ]\n"
              "}\n");
}

// A log holding one run: its header, then each time as the log has it.
std::string RunOf(const char* app, const std::vector<const char*>& times)
{
    std::string run = std::string(app) + " - " + std::to_string(times.size()) + " executions\n";
    for (const char* time : times)
        run += std::string(time) + "\n";
    return run;
}

// The end of a comparison is kairon-report's report of the baseline's log
// and APP's, the baseline as reference, with the line that says so; the
// gate's verdict is kairon-report's status. Earlier runs in either log
// are not this run's and play no part.
TEST(CompareNewRuns, IsKaironReportsComparisonWithTheBaselineAsReference)
{
    const std::vector<const char*> fast = {"0.4000", "0.4100", "0.4200", "0.4000"};
    const std::vector<const char*> slow = {"0.6000", "0.6100", "0.6200", "0.6000"};
    const std::vector<const char*> noisy = {"0.3000", "0.9000", "0.3000", "0.9000"};
    const std::vector<const char*> once = {"0.6000"};
    const std::vector<const char*> missed = {"Failed to find window Sample\n50.0100",
                                             "Failed to find window Sample\n50.0100"};
    const struct {
        const char* what;
        std::vector<const char*> baseline, app;
        std::vector<const char*> gate;  // kairon-report's gate options; none: no gate
        ExitStatus status;
    } cases[] = {
        {"APP slower", fast, slow, {"--fail-if-slower", "5"}, kExitSlower},
        {"APP faster", slow, fast, {"--fail-if-slower", "5"}, kExitOk},
        {"slower by less than the limit", fast, slow, {"--fail-if-slower", "60"}, kExitOk},
        {"slower by about the limit", fast, slow, {"--fail-if-slower", "49"},
         kExitCannotJudge},
        {"not significant at the level", fast, noisy,
         {"--fail-if-slower", "5", "--significance", "0.000001", "--test", "welch"},
         kExitCannotJudge},
        {"too few launches for the level", fast, noisy,
         {"--fail-if-slower", "5", "--significance", "0.000001"}, kExitCannotJudge},
        {"one launch of APP", fast, once, {"--fail-if-slower", "5"}, kExitCannotJudge},
        {"no gate", fast, slow, {}, kExitOk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFile baselineFile("compare_report_baseline.txt");
        TempFile appFile("compare_report_app.txt");
        baselineFile.Write(RunOf("C:\\Old\\app.exe", c.baseline));
        appFile.Write(RunOf("C:\\New\\app.exe", c.app));
        std::vector<const char*> argv = {"kairon-report", baselineFile.path.c_str(),
                                         appFile.path.c_str(), "--compare", "--reference", "1"};
        argv.insert(argv.end(), c.gate.begin(), c.gate.end());
        std::ostringstream out;
        std::ostringstream err;
        const int reportStatus =
            RunReportProgram(static_cast<int>(argv.size()), argv.data(), stdin, out, err);
        ASSERT_TRUE(reportStatus == kExitOk || reportStatus == kExitSlower ||
                    reportStatus == kExitCannotJudge)
            << err.str();
        std::string expected = out.str();
        const size_t comparison = expected.find("Comparison against run");
        ASSERT_NE(comparison, std::string::npos) << expected;
        expected.insert(comparison,
                        "Run 1, the baseline, is the reference; run 2 is C:\\New\\app.exe.\n");

        // This run's lines follow an earlier run's, which is left out but
        // for the line numbers.
        const std::string earlier = RunOf("C:\\Old\\app.exe", {"9.0000", "9.5000"});
        const std::string firstLine = "baseline.txt, line 1\n";
        ASSERT_NE(expected.find(firstLine), std::string::npos) << expected;
        expected.replace(expected.find(firstLine), firstLine.size(), "baseline.txt, line 4\n");
        GrownLog baseline{baselineFile.path, earlier + baselineFile.Read(), earlier.size()};
        GrownLog app{appFile.path, appFile.Read(), 0};
        TimeOptions options;
        for (size_t i = 0; i + 1 < c.gate.size(); i += 2) {
            const std::string option = c.gate[i];
            const double value = std::strtod(c.gate[i + 1], nullptr);
            if (option == "--fail-if-slower") {
                options.gate = true;
                options.slowerLimitPercent = value;
            } else if (option == "--test") {
                ASSERT_TRUE(ReadSignificanceTest(c.gate[i + 1], &options.test));
            } else {
                options.significanceLevel = value;
            }
        }
        const CompareReport report = CompareNewRuns(baseline, app, options, 4);
        EXPECT_EQ(report.text, expected);
        EXPECT_EQ(report.gateStatus, c.status);
        EXPECT_EQ(static_cast<int>(report.gateStatus), reportStatus);
    }

    // A baseline without a launch to count leaves APP nothing to be judged
    // against.
    TimeOptions gated;
    gated.gate = true;
    gated.slowerLimitPercent = 5;
    const std::string baselineBytes = RunOf("C:\\Old\\app.exe", missed);
    const CompareReport report = CompareNewRuns({"old.txt", baselineBytes, 0},
                                                {"new.txt", RunOf("C:\\New\\app.exe", fast), 0},
                                                gated, 4);
    EXPECT_EQ(report.gateStatus, kExitCannotJudge);
    EXPECT_NE(report.text.find("No comparison: the baseline has no launches to compare.\n\n"
                               "Regression gate against run 1, the reference"),
              std::string::npos)
        << report.text;
    EXPECT_NE(report.text.find("  Run 2: cannot tell: the reference has 0 counted "
                               "launches, and the test needs 2\nGate cannot tell: run 2.\n"),
              std::string::npos)
        << report.text;
    // Either log without a new run (it could not be opened): nothing to say.
    EXPECT_EQ(CompareNewRuns({"old.txt", baselineBytes, baselineBytes.size()},
                             {"new.txt", RunOf("C:\\New\\app.exe", fast), 0}, gated, 4)
                  .text,
              "");

    // A log that cannot be read back is not passed: the gate cannot judge,
    // and a line says which log and why, with or without the gate.
    const GrownLog appLog{"new.txt", RunOf("C:\\New\\app.exe", fast), 0};
    const std::string notes = "My notes\n";
    const char notResults[] = "not a results log: it does not start with a "
                              "\"<application> - <N> executions\" line\n";
    const struct {
        const char* what;
        GrownLog baseline, app;
        const std::string problems;
    } unread[] = {
        {"it did not grow", {"old.txt", baselineBytes, baselineBytes.size()}, appLog,
         "kairon-time: no comparison: old.txt: no new run in it\n"},
        {"a notes file", appLog, {"notes.txt", notes + RunOf("C:\\New\\app.exe", fast),
                                  notes.size()},
         std::string("kairon-time: no comparison: notes.txt: ") + notResults},
        {"neither read", {"old.txt", "", 0, false}, {"new.txt", "", 0, false},
         "kairon-time: no comparison: old.txt: could not be read back\n"
         "kairon-time: no comparison: new.txt: could not be read back\n"},
    };
    for (const auto& c : unread) {
        SCOPED_TRACE(c.what);
        for (const bool gate : {true, false}) {
            TimeOptions options = gated;
            options.gate = gate;
            const CompareReport unjudged = CompareNewRuns(c.baseline, c.app, options, 4);
            EXPECT_EQ(unjudged.problems, c.problems);
            EXPECT_EQ(unjudged.text, "");
            EXPECT_EQ(unjudged.gateStatus, gate ? kExitCannotJudge : kExitOk);
        }
    }
    EXPECT_EQ(report.problems, "");
}

// Kairon's names for a test: relative to C:\work, ".\" and "folder\.."
// resolved, case ignored; "\\?\C:\" and the linked folder C:\link reach
// C:\ and C:\work. Names that exist (folders too) reach the file a map
// gives, as a hard link would; the volume gives 128-bit ids when told.
struct FakeFileNames : FileNamePort {
    std::map<std::string, FileIdentity> files;  // by full path in upper case
    bool fileIds = false;
    int open = 0;
    std::uint64_t created = 0;
    bool FullPath(const std::string& path, std::string* full) override
    {
        if (path.compare(0, 4, "\\\\?\\") == 0) {
            *full = path;
            return true;
        }
        std::vector<std::string> parts;
        const bool absolute = path.compare(0, 3, "C:\\") == 0;
        std::stringstream segments(absolute ? path.substr(3) : "work\\" + path);
        for (std::string part; std::getline(segments, part, '\\');) {
            if (part == "..")
                parts.pop_back();
            else if (part != ".")
                parts.push_back(part);
        }
        *full = "C:";
        for (const std::string& part : parts)
            *full += "\\" + part;
        return true;
    }
    std::string UpperCase(const std::string& path) override
    {
        std::string upper = path;
        std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
        return upper;
    }
    std::string Reached(const std::string& path)
    {
        std::string full;
        FullPath(path, &full);
        full = UpperCase(full);
        for (const auto& alias : {std::make_pair("\\\\?\\C:\\", "C:\\"),
                                  std::make_pair("C:\\LINK", "C:\\WORK")}) {
            if (full.compare(0, std::strlen(alias.first), alias.first) == 0)
                full = alias.second + full.substr(std::strlen(alias.first));
        }
        return full;
    }
    std::uintptr_t OpenToIdentify(const std::string& path) override
    {
        const auto file = files.find(Reached(path));
        if (file == files.end())
            return 0;
        ++open;
        return reinterpret_cast<std::uintptr_t>(&file->second);
    }
    bool IdentifyByFileId(std::uintptr_t file, FileIdentity* identity) override
    {
        if (fileIds)
            *identity = *reinterpret_cast<const FileIdentity*>(file);
        return fileIds;
    }
    bool IdentifyByIndex(std::uintptr_t file, FileIdentity* identity) override
    {
        *identity = *reinterpret_cast<const FileIdentity*>(file);
        identity->indexHigh = 0;
        return true;
    }
    void CloseIdentifyHandle(std::uintptr_t) override { --open; }
    bool CreateIfMissing(const std::string& path) override
    {
        return files.insert({Reached(path), {9, ++created}}).second;
    }
    void RemoveFile(const std::string& path) override { files.erase(Reached(path)); }
};

TEST(OneFileTwiceMessage, NamesTheFirstTwoOptionsThatReachOneFile)
{
    const struct {
        const char* what;
        const char *log, *baselineLog, *json;  // baselineLog null: not comparing
        std::map<std::string, FileIdentity> files;
        const char* message;
        bool fileIds = false;
    } cases[] = {
        {"three files", "results.txt", "results-baseline.txt", "results.json", {}, ""},
        {"case", "results.txt", "RESULTS.TXT", nullptr, {},
         "--baseline-log and --log name one file: RESULTS.TXT and results.txt"},
        {"a dot", "results.txt", ".\\results.txt", nullptr, {},
         "--baseline-log and --log name one file: .\\results.txt and results.txt"},
        {"through another folder", "C:\\work\\out.txt", nullptr, "logs\\..\\out.txt", {},
         "--json and --log name one file: logs\\..\\out.txt and C:\\work\\out.txt"},
        {"the JSON over the baseline's", "a.txt", "b.txt", "B.txt", {},
         "--json and --baseline-log name one file: B.txt and b.txt"},
        {"a hard link", "a.txt", nullptr, "b.json",
         {{"C:\\WORK\\A.TXT", {7, 42}}, {"C:\\WORK\\B.JSON", {7, 42}}},
         "--json and --log name one file: b.json and a.txt"},
        {"one index on two volumes", "a.txt", nullptr, "b.json",
         {{"C:\\WORK\\A.TXT", {7, 42}}, {"C:\\WORK\\B.JSON", {8, 42}}}, ""},
        {"a baseline log without --compare", "a.txt", nullptr, nullptr, {}, ""},
        {"a new file through \\\\?\\", "new.txt", nullptr, "\\\\?\\C:\\work\\new.txt",
         {{"C:\\WORK", {7, 1}}},
         "--json and --log name one file: \\\\?\\C:\\work\\new.txt and new.txt"},
        {"a new file through a linked folder", "new.txt", "C:\\link\\NEW.txt", nullptr,
         {{"C:\\WORK", {7, 1}}},
         "--baseline-log and --log name one file: C:\\link\\NEW.txt and new.txt"},
        {"one new name in two folders", "new.txt", nullptr, "C:\\other\\new.txt",
         {{"C:\\WORK", {7, 1}}, {"C:\\OTHER", {7, 2}}}, ""},
        {"one index, two 128-bit ids (ReFS)", "a.txt", nullptr, "b.json",
         {{"C:\\WORK\\A.TXT", {7, 42, 1}}, {"C:\\WORK\\B.JSON", {7, 42, 2}}}, "", true},
        {"the JSON's temporary file", "r.json.5.tmp", nullptr, "r.json", {},
         "--json's temporary file and --log name one file: r.json.5.tmp and r.json.5.tmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RunSettings settings{};
        std::strcpy(settings.logPath, c.log);
        // Without --compare, its log is not written, whatever it is.
        std::strcpy(settings.baselineLogPath, c.baselineLog ? c.baselineLog : c.log);
        if (c.baselineLog)
            std::strcpy(settings.baselinePath, "old.exe");
        TimeOptions options;
        options.jsonPath = c.json ? c.json : "";
        FakeFileNames names;
        names.files = c.files;
        names.fileIds = c.fileIds;
        const std::string temp = c.json ? TempPathBeside(c.json, 5) : "";
        EXPECT_EQ(OneFileTwiceMessage(FilesWritten(settings, options, temp), names), c.message);
        EXPECT_EQ(names.open, 0);
    }
}

// Where no folder can be identified, new names are compared as text; once
// the logs are created, the JSON's name is found to reach the log, and the
// log created for nothing is removed again.
TEST(OneOpenFileTwiceMessage, ComparesTheCreatedLogsByWhatTheyAre)
{
    RunSettings settings{};
    std::strcpy(settings.logPath, "new.txt");
    for (const char* json : {"C:\\link\\new.txt", "C:\\link\\new.json"}) {
        SCOPED_TRACE(json);
        TimeOptions options;
        options.jsonPath = json;
        FakeFileNames names;
        const auto files = FilesWritten(settings, options, TempPathBeside(json, 5));
        EXPECT_EQ(OneFileTwiceMessage(files, names), "");
        const bool same = std::strcmp(json, "C:\\link\\new.txt") == 0;
        EXPECT_EQ(OneOpenFileTwiceMessage(files, names),
                  same ? "--json and --log name one file: C:\\link\\new.txt and new.txt" : "");
        EXPECT_EQ(names.files.count("C:\\WORK\\NEW.TXT"), same ? 0u : 1u);
    }
}

// What System32 holds is timed as its 32-bit copy: every spelling of a
// program there is warned about, and nothing beside it.
TEST(RedirectedProgramWarning, NamesProgramsUnderTheSystemFolderOnly)
{
    FakeFileNames names;
    for (const char* program : {"C:\\Windows\\System32\\notepad.exe",
                                "C:\\windows\\SYSTEM32\\sub\\tool.exe",
                                "..\\Windows\\System32\\notepad.exe", "C:\\Windows\\System32x\\a.exe",
                                "C:\\Windows\\Sysnative\\notepad.exe", ""}) {
        SCOPED_TRACE(program);
        const bool warned = std::strstr(program, "32\\") != nullptr;
        EXPECT_EQ(RedirectedProgramWarning(program, "C:\\WINDOWS\\system32", "C:\\WOW", names),
                  warned ? std::string("kairon-time: warning: ") + program +
                               " is under C:\\WINDOWS\\system32, which this 32-bit kairon-time is "
                               "shown as C:\\WOW: the 32-bit copy is timed (kairon-time.exe, the "
                               "64-bit one, times the program named)"
                         : "");
    }
}

int busyMoves = 0;  // how many moves find a file busy before one goes through
int pausedMs = 0;

ReplaceResult MoveOver(const char* from, const char* to)
{
    if (busyMoves > 0) {
        --busyMoves;
        return kReplaceBusy;
    }
    std::remove(to);
    return std::rename(from, to) == 0 ? kReplaced : kReplaceFailed;
}

ReplaceResult RefuseToMove(const char*, const char*)
{
    return kReplaceFailed;
}

void CountPause(int milliseconds)
{
    pausedMs += milliseconds;
}

// Written beside its place and moved over it: a failure at any step leaves
// the old file as it was, and no temporary file.
TEST(PendingFile, ReplacesTheOldFileOnlyWhenWrittenWhole)
{
    TempFile json("pending.json");
    const std::string temp = TempPathBeside(json.path, 77);
    EXPECT_EQ(temp, json.path + ".77.tmp");
    const auto exists = [](const std::string& path) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        return file != nullptr && std::fclose(file) == 0;
    };
    json.Write("old");
    PendingFile file;
    ASSERT_TRUE(BeginPendingFile(json.path, temp, &file));
    EXPECT_TRUE(exists(temp));
    EXPECT_FALSE(CommitPendingFile(&file, "new", RefuseToMove, CountPause));
    EXPECT_EQ(pausedMs, 0);
    EXPECT_EQ(json.Read(), "old");
    EXPECT_FALSE(exists(temp));
    // A full disk: only the flush finds out.
    ASSERT_TRUE(BeginPendingFile(json.path, temp, &file));
    if (std::FILE* full = std::fopen("/dev/full", "wb")) {
        std::fclose(file.stream);
        file.stream = full;
        EXPECT_FALSE(CommitPendingFile(&file, "new", MoveOver, CountPause));
        EXPECT_EQ(json.Read(), "old");
        EXPECT_FALSE(exists(temp));
        ASSERT_TRUE(BeginPendingFile(json.path, temp, &file));
    }
    EXPECT_TRUE(CommitPendingFile(&file, "new", MoveOver, CountPause));
    EXPECT_EQ(json.Read(), "new");
    EXPECT_FALSE(exists(temp));
    // A file held for a moment (a scanner) is waited for, up to a limit.
    const struct {
        int busy;
        bool moved;
    } holds[] = {{kReplaceRetryMs / kReplaceRetryPauseMs + 1, false},
                 {kReplaceRetryMs / kReplaceRetryPauseMs, true},
                 {3, true}};
    for (const auto& hold : holds) {
        SCOPED_TRACE(hold.busy);
        busyMoves = hold.busy;
        pausedMs = 0;
        ASSERT_TRUE(BeginPendingFile(json.path, temp, &file));
        EXPECT_EQ(CommitPendingFile(&file, "held", MoveOver, CountPause), hold.moved);
        EXPECT_EQ(json.Read(), hold.moved ? "held" : "new");
        EXPECT_EQ(pausedMs, std::min(hold.busy, kReplaceRetryMs / kReplaceRetryPauseMs) *
                                kReplaceRetryPauseMs);
        EXPECT_FALSE(exists(temp));
    }
    EXPECT_FALSE(BeginPendingFile("no-such-folder/x.json", "no-such-folder/x.json.1.tmp", &file));
}

}  // namespace

// Where several statuses apply, the run ends with the heaviest, as the
// status table's sentence says: 1 and 130 over 3, 3 over 4, 4 over 5.
TEST(RunExitStatus, TheHeaviestOfTheRunTheJsonAndTheGateWins)
{
    const struct {
        ExitStatus observed;
        bool jsonWritten;
        ExitStatus gate;
        ExitStatus expected;
    } cases[] = {
        {kExitOk, true, kExitOk, kExitOk},
        {kExitOk, true, kExitSlower, kExitSlower},
        {kExitOk, true, kExitCannotJudge, kExitCannotJudge},
        {kExitNotReady, true, kExitSlower, kExitNotReady},
        {kExitNotReady, true, kExitCannotJudge, kExitNotReady},
        {kExitFailed, true, kExitSlower, kExitFailed},
        {kExitInterrupted, true, kExitCannotJudge, kExitInterrupted},
        {kExitOk, false, kExitOk, kExitFailed},
        {kExitOk, false, kExitSlower, kExitFailed},
        {kExitNotReady, false, kExitOk, kExitFailed},
        {kExitInterrupted, false, kExitSlower, kExitInterrupted},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.observed) + (c.jsonWritten ? " json " : " no json ") +
                     std::to_string(c.gate));
        EXPECT_EQ(RunExitStatus(c.observed, c.jsonWritten, c.gate), c.expected);
    }
}
