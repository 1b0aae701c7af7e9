#include "engine/timing_run.h"

#include "engine/log_format.h"

#include "resources/control_ids.h"
#include "tests/fake_platform.h"
#include "tests/test_files.h"
#include "dialog/dialog_run_observer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

typedef std::vector<std::string> Events;

struct Scenario {
    explicit Scenario(const char* logName) : log(logName)
    {
        std::strcpy(settings.appPath, "C:\\Apps\\sample.exe");
        std::strcpy(settings.logPath, log.path.c_str());
        std::strcpy(settings.windowName, "Sample");
        settings.executions = 1;
        settings.delayMs = 1;
    }
    int Start() { return TimingRun(settings, fake.platform, dialog); }
    TempFile log;
    RunSettings settings{};
    FakePlatform fake;
    DialogRunObserver dialog{fake};
};

// The application's window, created the instant its process is.
void AppearsAtLaunch(FakePlatform& fake, FakeWindow window)
{
    fake.onLaunch = [&fake, window](int) {
        FakeWindow created = window;
        created.appearsAtMs = fake.NowMs();
        fake.windows.insert(fake.windows.begin(), created);
    };
}

size_t IndexOf(const Events& events, const std::string& event, size_t from = 0)
{
    auto found = std::find(events.begin() + static_cast<long>(from), events.end(), event);
    return static_cast<size_t>(found - events.begin());
}

// On every way out, a run has asked for 1 ms timer ticks exactly once,
// before its first pause, and withdrawn the request exactly once, after its
// last pause and before any message box; and it has asked, once and before
// its first pause, that the ticks stay while its windows are covered.
void ExpectOneTimerPeriodAroundEveryPause(const FakePlatform& fake)
{
    EXPECT_EQ(fake.timerPeriods, (Events{"begin 1", "end 1"}));
    EXPECT_EQ(fake.keepPeriodRequests, 1);
    EXPECT_EQ(fake.sleepsBeforeKeepPeriod, 0);
    EXPECT_EQ(fake.sleepsAtDefaultPeriod, 0);
    EXPECT_EQ(fake.boxesAtRaisedPeriod, 0);
}

TEST(TimingRun, OneQuietIterationStepByStep)
{
    Scenario run("quiet.txt");
    run.settings.delayMs = 500;
    run.fake.nowTicks = 7 * kTicksPerMs;
    run.fake.launches.push_back({true, 0, 40, 0, 0});
    EXPECT_EQ(run.Start(), 1);
    const Events expected = {
        "sleep 500",
        "text IDC_STATUS Iteration: 1 - Launching Application",
        "frequency",
        "counter 507",
        "create \"C:\\Apps\\sample.exe\" ",
        "counter 547",
        "sleep 500",
        "sleep 500",
        "close handles 0x101 0x201",
        "enable IDC_RUN 1",
        "text IDC_STATUS Finished executions",
        "box Finished | Finished executions | 0x0",
    };
    EXPECT_EQ(run.fake.events, expected);
    EXPECT_EQ(run.log.Read(), Native("C:\\Apps\\sample.exe - 1 executions\n0.0400\n"));
    ExpectOneTimerPeriodAroundEveryPause(run.fake);
}

TEST(TimingRun, CountdownShowsWholeSecondsThenSleepsTheRest)
{
    Scenario run("countdown.txt");
    run.settings.delayMs = 2500;
    run.settings.executions = 2;
    run.Start();
    const Events statuses = run.fake.EventsStartingWith("text IDC_STATUS");
    const Events expected = {
        "text IDC_STATUS Iteration: 1 - 2 seconds until application is launched",
        "text IDC_STATUS Iteration: 1 - 1 seconds until application is launched",
        "text IDC_STATUS Iteration: 1 - Launching Application",
        "text IDC_STATUS Iteration: 1 - 2 seconds until application is closed",
        "text IDC_STATUS Iteration: 1 - 1 seconds until application is closed",
        "text IDC_STATUS Iteration: 1 - 2 seconds until next iteration",
        "text IDC_STATUS Iteration: 1 - 1 seconds until next iteration",
        "text IDC_STATUS Iteration: 2 - 2 seconds until application is launched",
        "text IDC_STATUS Iteration: 2 - 1 seconds until application is launched",
        "text IDC_STATUS Iteration: 2 - Launching Application",
        "text IDC_STATUS Iteration: 2 - 2 seconds until application is closed",
        "text IDC_STATUS Iteration: 2 - 1 seconds until application is closed",
        "text IDC_STATUS Iteration: 2 - 2 seconds until next iteration",
        "text IDC_STATUS Iteration: 2 - 1 seconds until next iteration",
        "text IDC_STATUS Finished executions",
    };
    EXPECT_EQ(statuses, expected);
    // Each countdown: 1000, 1000, then the 500 ms remainder in silence.
    const Events first = {run.fake.events[0], run.fake.events[1], run.fake.events[2],
                          run.fake.events[3], run.fake.events[4]};
    EXPECT_EQ(first,
              (Events{"text IDC_STATUS Iteration: 1 - 2 seconds until application is launched",
                      "sleep 1000",
                      "text IDC_STATUS Iteration: 1 - 1 seconds until application is launched",
                      "sleep 1000", "sleep 500"}));
    EXPECT_EQ(run.fake.NowMs(), 2 * 3 * 2500);
}

TEST(TimingRun, DelayOfWholeSecondsSleepsNoRemainder)
{
    Scenario run("whole.txt");
    run.settings.delayMs = 1000;
    run.Start();
    EXPECT_EQ(run.fake.EventsStartingWith("sleep").size(), 3u * 2u);
    EXPECT_EQ(run.fake.EventsStartingWith("sleep 0").size(), 3u);
    EXPECT_EQ(run.fake.NowMs(), 3000);
}

TEST(TimingRun, ElapsedSecondsAreASinglePrecisionQuotient)
{
    struct Case {
        std::int64_t ticks;
        std::int64_t frequency;
        const char* printed;
    };
    const Case cases[] = {
        {12345678, 10000000, "1.2346"},     // 1.2345678 rounds up
        {125000000, 10000000, "12.5000"},
        {0, 10000000, "0.0000"},
        {999, 10000000, "0.0001"},
        {499, 10000000, "0.0000"},
        {12345678900, 10000000, "1234.5679"},
        // Beyond about 1000 s single precision no longer carries the fourth
        // decimal: 4321.5677 s is held as 4321.56787... and prints as .5679.
        {43215677000, 10000000, "4321.5679"},
        {-10000000, 10000000, "-1.0000"},
        {3579545, 3579545, "1.0000"},
    };
    for (const Case& c : cases) {
        char printed[32];
        std::snprintf(printed, sizeof printed, "%0.4f",
                      static_cast<double>(ElapsedSeconds(0, c.ticks, c.frequency)));
        EXPECT_STREQ(printed, c.printed) << c.ticks;
    }
}

TEST(TimingRun, MeasuresCreationAndTheEnabledWaitsOnly)
{
    Scenario run("interval.txt");
    run.settings.delayMs = 3000;
    run.settings.waitInputIdle = true;
    run.fake.launches.push_back({true, 0, 25, 0, 300});  // 25 ms to create, 300 ms to idle
    run.Start();
    // The countdowns (9 s in all) lie outside the interval.
    EXPECT_EQ(run.log.Read(), Native("C:\\Apps\\sample.exe - 1 executions\n0.3250\n"));
    const Events& e = run.fake.events;
    const size_t launching = IndexOf(e, "text IDC_STATUS Iteration: 1 - Launching Application");
    const size_t frequency = IndexOf(e, "frequency");
    const size_t create = IndexOf(e, "create \"C:\\Apps\\sample.exe\" ");
    EXPECT_LT(launching, frequency);
    EXPECT_EQ(e[frequency + 1], "counter 3000");
    EXPECT_EQ(frequency + 2, create);
    // Input idle is waited for in slices of 100 ms.
    EXPECT_EQ(Events(e.begin() + create + 1, e.begin() + create + 4),
              Events(3, "idle 0x101"));
    EXPECT_EQ(e[create + 4], "counter 3325");
    EXPECT_EQ(e[create + 5],
              "text IDC_STATUS Iteration: 1 - 3 seconds until application is closed");
}

TEST(TimingRun, WithoutWaitsOnlyProcessCreationIsTimed)
{
    Scenario run("creation.txt");
    run.fake.launches.push_back({true, 0, 123, 0, 5000});
    run.Start();
    EXPECT_TRUE(run.fake.EventsStartingWith("idle").empty());
    EXPECT_EQ(run.log.Read(), Native("C:\\Apps\\sample.exe - 1 executions\n0.1230\n"));
}

TEST(TimingRun, AFirstPassFindStillSleepsTenMillisecondsInsideTheInterval)
{
    Scenario run("firstpass.txt");
    run.settings.detectByWindowName = true;
    AppearsAtLaunch(run.fake, {0x1234, "Sample", 1, false, 0, -1, {}, false});
    run.Start();
    // The initial scan, the list before the launch and one search pass.
    EXPECT_EQ(run.fake.enumerations, 3);
    EXPECT_EQ(run.log.Read(), Native("C:\\Apps\\sample.exe - 1 executions\n0.0100\n"));
}

TEST(TimingRun, InputIdleFailureIsLoggedAndTheIterationCarriesOn)
{
    Scenario run("idlefail.txt");
    run.settings.waitInputIdle = true;
    run.fake.launches.push_back({true, 0, 0, 0xFFFFFFFF, 2});
    run.Start();
    EXPECT_EQ(run.log.Read(),
              Native("C:\\Apps\\sample.exe - 1 executions\nWaitForInputIdle call failed\n0.0020\n"));
    EXPECT_EQ(run.fake.EventsStartingWith("box"),
              Events{"box Finished | Finished executions | 0x0"});
}

struct CloseCase {
    bool wmClose, sysCommand, altF4;
    Events sends;
};

TEST(TimingRun, SendsEachChosenCloseMessageInOrderAfterTheCloseCountdown)
{
    const char* const kWmClose = "send 0x1234 0x10 0x0 0x0";
    const char* const kSysCommand = "send 0x1234 0x112 0xF060 0x0";
    const char* const kAltF4 = "send 0x1234 0x104 0x73 0x203E0001";
    const CloseCase cases[] = {
        {false, false, false, {}},
        {true, false, false, {kWmClose}},
        {false, true, false, {kSysCommand}},
        {false, false, true, {kAltF4}},
        {true, true, true, {kWmClose, kSysCommand, kAltF4}},
        {false, true, true, {kSysCommand, kAltF4}},
    };
    for (const CloseCase& c : cases) {
        Scenario run("close.txt");
        run.settings.delayMs = 1500;
        run.settings.detectByWindowName = true;
        run.settings.closeByWmClose = c.wmClose;
        run.settings.closeBySysCommand = c.sysCommand;
        run.settings.closeByAltF4 = c.altF4;
        AppearsAtLaunch(run.fake, {0x1234, "Sample", 1, false, 0, -1, {}, true});
        run.Start();
        EXPECT_EQ(run.fake.EventsStartingWith("send"), c.sends);
        if (!c.sends.empty()) {
            const Events& e = run.fake.events;
            const size_t closeStatus =
                IndexOf(e, "text IDC_STATUS Iteration: 1 - 1 seconds until application is closed");
            EXPECT_EQ(e[closeStatus + 1], "sleep 1000");
            EXPECT_EQ(e[closeStatus + 2], "sleep 500");
            // The close wait counts from just before the first message.
            EXPECT_EQ(e[closeStatus + 3], "counter 3010");
            EXPECT_EQ(e[closeStatus + 4], c.sends[0]);
        }
    }
}

TEST(TimingRun, NothingIsSentWhenNoWindowWasFound)
{
    Scenario run("notfound.txt");
    run.settings.detectByWindowName = true;
    run.settings.closeByWmClose = run.settings.closeBySysCommand = run.settings.closeByAltF4 = true;
    run.Start();
    EXPECT_TRUE(run.fake.EventsStartingWith("send").empty());
    EXPECT_EQ(run.log.Read(),
              Native("C:\\Apps\\sample.exe - 1 executions\nFailed to find window Sample\n50.0000\n"));
    // And one for the titles the launch had open instead.
    EXPECT_EQ(run.fake.enumerations, 1 + 1 + 5000 + 1);
}

TEST(TimingRun, LaunchFailureShowsTheSystemTextAndEndsTheRun)
{
    Scenario run("launchfail.txt");
    run.settings.executions = 3;
    run.settings.closeByWmClose = true;
    run.settings.detectByWindowName = true;
    run.settings.autoRun = true;
    run.fake.launches.push_back({false, 2, 0, 0, 0});
    run.fake.errorTexts[2] = "The system cannot find the file specified.\r\n";
    run.Start();
    const Events expectedTail = {
        "create \"C:\\Apps\\sample.exe\" ",
        "box Error - Unable to launch process | The system cannot find the file specified.\r\n | 0x0",
        "enable IDC_RUN 1",
    };
    ASSERT_GE(run.fake.events.size(), expectedTail.size());
    EXPECT_EQ(Events(run.fake.events.end() - 3, run.fake.events.end()), expectedTail);
    EXPECT_EQ(run.fake.commandLines.size(), 1u);
    EXPECT_TRUE(run.fake.closedProcesses.empty());
    EXPECT_TRUE(run.fake.EventsStartingWith("post close").empty());
    ExpectOneTimerPeriodAroundEveryPause(run.fake);
    // The log was closed: its header reached the file.
    EXPECT_EQ(run.log.Read(), Native("C:\\Apps\\sample.exe - 3 executions\n"));
}

// Without the system's words, the code; with words that name the program
// as "%1", the program's path in its place.
TEST(TimingRun, LaunchFailureWithoutSystemTextNamesTheCode)
{
    const struct {
        const char* systemText;
        const char* box;
    } cases[] = {
        {"", "Unknown error 1234"},
        {"%1 is not a valid Win32 application.",
         "C:\\Apps\\sample.exe is not a valid Win32 application."},
    };
    for (const auto& c : cases) {
        Scenario run("launchcode.txt");
        run.fake.launches.push_back({false, 1234, 0, 0, 0});
        run.fake.errorTexts[1234] = c.systemText;
        run.Start();
        EXPECT_EQ(run.fake.EventsStartingWith("box"),
                  Events{std::string("box Error - Unable to launch process | ") + c.box + " | 0x0"});
    }
}

TEST(TimingRun, ASecondLaunchFailureKeepsTheFirstTiming)
{
    Scenario run("launchlater.txt");
    run.settings.executions = 2;
    run.fake.launches.push_back({true, 0, 10, 0, 0});
    run.fake.launches.push_back({false, 5, 0, 0, 0});
    run.fake.errorTexts[5] = "Access is denied.\r\n";
    run.Start();
    EXPECT_EQ(run.log.Read(), Native("C:\\Apps\\sample.exe - 2 executions\n0.0100\n"));
    EXPECT_EQ(run.fake.closedProcesses.size(), 1u);
    ExpectOneTimerPeriodAroundEveryPause(run.fake);
}

TEST(TimingRun, LogThatCannotBeOpenedStopsBeforeAnything)
{
    Scenario run("unused.txt");
    std::strcpy(run.settings.logPath, "no-such-folder-for-kairon/results.txt");
    EXPECT_EQ(run.Start(), 1);
    EXPECT_EQ(run.fake.events,
              (Events{"box Error | Unable to open log file | 0x0", "enable IDC_RUN 1"}));
    ExpectOneTimerPeriodAroundEveryPause(run.fake);
}

TEST(TimingRun, UnattendedRunClosesTheProgramInsteadOfTheFinishedBox)
{
    Scenario run("unattended.txt");
    run.settings.autoRun = true;
    run.settings.executions = 2;
    run.Start();
    const Events& e = run.fake.events;
    ASSERT_GE(e.size(), 4u);
    EXPECT_EQ(Events(e.end() - 4, e.end()),
              (Events{"sleep 1", "close handles 0x102 0x202", "enable IDC_RUN 1", "post close"}));
    EXPECT_TRUE(run.fake.EventsStartingWith("box").empty());
    EXPECT_EQ(run.log.Read(), Native("C:\\Apps\\sample.exe - 2 executions\n0.0000\n0.0000\n"));
    ExpectOneTimerPeriodAroundEveryPause(run.fake);
}

TEST(TimingRun, HandlesAreReleasedAfterTheNextIterationCountdown)
{
    Scenario run("handles.txt");
    run.settings.executions = 3;
    run.settings.delayMs = 1000;
    run.Start();
    const Events& e = run.fake.events;
    for (int i = 1; i <= 3; ++i) {
        char status[96], handles[64];
        std::snprintf(status, sizeof status,
                      "text IDC_STATUS Iteration: %d - 1 seconds until next iteration", i);
        std::snprintf(handles, sizeof handles, "close handles 0x%X 0x%X", 0x100 + i, 0x200 + i);
        const size_t at = IndexOf(e, status);
        ASSERT_LT(at + 3, e.size());
        EXPECT_EQ(e[at + 1], "sleep 1000");
        EXPECT_EQ(e[at + 2], "sleep 0");
        EXPECT_EQ(e[at + 3], handles);
    }
}

TEST(TimingRun, ASecondRunAppendsToTheSameLog)
{
    Scenario run("twice.txt");
    run.Start();
    FakePlatform again;
    DialogRunObserver againDialog(again);
    TimingRun(run.settings, again.platform, againDialog);
    EXPECT_EQ(run.log.Read(), Native("C:\\Apps\\sample.exe - 1 executions\n0.0000\n"
                                      "C:\\Apps\\sample.exe - 1 executions\n0.0000\n"));
}

TEST(TimingRun, CommandLineCarriesTheArguments)
{
    Scenario run("args.txt");
    std::strcpy(run.settings.cmdLineArgs, "--title \"Kairon Sample\"");
    run.Start();
    EXPECT_EQ(run.fake.commandLines,
              Events{"\"C:\\Apps\\sample.exe\" --title \"Kairon Sample\""});
}


// What a second reader of the log file sees each time the run pauses.
struct Pause {
    std::string status;  // the status line while it sleeps
    unsigned ms;
    size_t disk;  // index into the file's states, which change only at flushes
};

const Pause* NthPause(const std::vector<Pause>& pauses, const std::string& status, unsigned ms,
                      int nth)
{
    for (const Pause& pause : pauses) {
        if (pause.status == status && pause.ms == ms && --nth == 0)
            return &pause;
    }
    return nullptr;
}

// The text up to the end of the first `line` that follows `after`.
std::string Through(const std::string& text, const std::string& after, const std::string& line)
{
    const size_t from = text.find(after);
    const size_t at = text.find(line, from == std::string::npos ? 0 : from + after.size());
    return at == std::string::npos ? "(no " + line + ")" : text.substr(0, at + line.size());
}

struct FlushCase {
    const char* status;  // the pause: its status, its sleep, which of them
    unsigned ms;
    int nth;
    const char* after;     // the last line on disk then: the first `line`
    const char* line;      // after `after`
};

// Users follow a long run by reading the log while it grows, so a line the
// run flushes must be in the file by the next pause. Iteration 1: input
// idle fails, the window turns up minimised in search pass 50 and never
// shows. Iteration 2: nothing is found. Each line is far smaller than the
// stream's buffer, so only a flush puts it on disk before the log closes.
TEST(TimingRun, EveryFlushedLineIsOnDiskByTheNextPause)
{
    Scenario run("flushes.txt");
    run.settings.executions = 2;
    run.settings.delayMs = 1000;
    run.settings.debugLog = true;
    run.settings.waitInputIdle = true;
    run.settings.detectByWindowName = true;
    run.settings.waitVisible = true;
    run.settings.closeByWmClose = true;
    run.fake.windows.push_back({0x10, "Editor", 1, false, 0, -1, {}, false});
    run.fake.launches.push_back({true, 0, 0, 1, 0});
    FakePlatform& fake = run.fake;
    fake.onLaunch = [&fake](int launch) {
        if (launch == 1)
            fake.windows.insert(fake.windows.begin(),
                                {0xBEEF, "My Sample", 2, false, fake.NowMs() + 490, -1, {}, true});
    };
    std::vector<Pause> pauses;
    std::vector<std::string> states{""};
    fake.onSleep = [&run, &pauses, &states](unsigned ms) {
        const std::string disk = run.log.Read();  // its own fopen, not the run's stream
        if (disk != states.back())
            states.push_back(disk);
        pauses.push_back({run.fake.texts[IDC_STATUS], ms, states.size() - 1});
    };
    run.Start();

    const char* const kLaunching1 = "Iteration: 1 - Launching Application";
    const char* const kLaunching2 = "Iteration: 2 - Launching Application";
    const FlushCase cases[] = {
        {"Iteration: 1 - 1 seconds until application is launched", 1000, 1, "",
         "\n*************** START LOOP# 1 ***************\n\n"},
        {kLaunching1, 10, 1, "", "WaitForInputIdle call failed\n"},
        {kLaunching1, 10, 50, "", "DEBUG: Window name: My Sample (Handle: 0xBEEF state: 2)\n"},
        {kLaunching1, 100, 1, "", "\n*************** Search loop # 50 of 5000 ***************\n\n"},
        // The time of a launch is on disk before its window is closed, since
        // a window that does not answer, or the user, may end Kairon then.
        {"Iteration: 1 - 1 seconds until application is closed", 1000, 1, "", "5.5000\n"},
        {"Iteration: 1 - 1 seconds until next iteration", 1000, 1, "", "5.5000\n"},
        {"Iteration: 2 - 1 seconds until application is launched", 1000, 1, "",
         "\n*************** START LOOP# 2 ***************\n\n"},
        {kLaunching2, 10, 51, "START LOOP# 2",
         "\n*************** Search loop # 50 of 5000 ***************\n\n"},
        {kLaunching2, 10, 5000, "START LOOP# 2",
         "\n*************** Search loop # 4950 of 5000 ***************\n\n"},
        {"Iteration: 2 - 1 seconds until application is closed", 1000, 1, "", "50.0000\n"},
        {"Iteration: 2 - 1 seconds until next iteration", 1000, 1, "", "50.0000\n"},
    };
    const std::string closed = run.log.Read();
    for (const FlushCase& c : cases) {
        const Pause* pause = NthPause(pauses, c.status, c.ms, c.nth);
        ASSERT_NE(pause, nullptr) << c.status << " sleep " << c.ms << " #" << c.nth;
        EXPECT_EQ(states[pause->disk], Through(closed, Native(c.after), Native(c.line)))
            << c.status << " sleep " << c.ms << " #" << c.nth;
    }
}

// Only this launch's window counts: a matching window that was there
// before it (the user's document, an earlier launch's window that would not
// close) is neither timed nor closed, whatever "new windows only" says.
// Each launch's own window turns up 300 ms after it and refuses to close.
TEST(TimingRun, AWindowThatWasThereBeforeTheLaunchNeverCounts)
{
    struct Case {
        bool newWindowsOnly;
        bool debug;  // the debug log reads every new window's title too
    };
    for (const Case c : {Case{false, false}, Case{true, false}, Case{false, true}}) {
        Scenario run("before_launch.txt");
        run.settings.executions = 2;
        run.settings.detectByWindowName = true;
        run.settings.closeByWmClose = true;
        run.settings.newWindowsOnly = c.newWindowsOnly;
        run.settings.debugLog = c.debug;
        std::strcpy(run.settings.windowName, "Editor");
        FakePlatform& fake = run.fake;
        fake.windows.push_back({0x77, "Quarterly report.txt - Editor", 1, false, 0, -1, {}, true});
        fake.onLaunch = [&fake](int launch) {
            fake.windows.insert(fake.windows.begin(),
                                {static_cast<WindowHandle>(0x500 + launch), "Editor", 1, false,
                                 fake.NowMs() + 300, -1, {}, false});
        };
        run.Start();
        const std::string log = run.log.Read();
        const std::string times = Native("0.3100\nFailed to close Editor\n");
        const size_t first = log.find(times);
        EXPECT_NE(first, std::string::npos) << log;
        EXPECT_NE(log.find(times, first + times.size()), std::string::npos) << log;
        if (!c.debug) {
            EXPECT_EQ(log, Native("C:\\Apps\\sample.exe - 2 executions\n") + times + times);
        }
        EXPECT_EQ(fake.EventsStartingWith("send"),
                  (Events{"send 0x501 0x10 0x0 0x0", "send 0x502 0x10 0x0 0x0"}));
        EXPECT_NE(fake.WindowAt(0x77), nullptr);
    }
}

struct CloseWaitCase {
    const char* what;
    bool closes;
    std::int64_t closeDelayMs;
    bool hangs;
    const char* logged;    // after the timing line
    std::int64_t handlesAtMs;  // when the process handles are released
    size_t sends;
};

// Close messages are sent after the close countdown (launch at 1000 ms,
// window at once, sent at 2010 ms). The window then has 5 s to go, counted
// from the messages: the next countdown's second first, then a wait of at
// most the rest. A window that does not answer costs its message 5 s and
// gets no further ones.
TEST(TimingRun, AWindowThatIsNotGoneFiveSecondsAfterItsCloseMessagesIsLogged)
{
    const CloseWaitCase cases[] = {
        {"closes at once", true, 0, false, "", 3010, 3},
        {"closes within the countdown", true, 800, false, "", 3010, 3},
        {"closes after the countdown", true, 3000, false, "", 5010, 3},
        {"closes just in time", true, 5000, false, "", 7010, 3},
        {"closes too late", true, 5001, false, "Failed to close Sample\n", 7010, 3},
        {"stays", false, 0, false, "Failed to close Sample\n", 7010, 3},
        {"hangs", false, 0, true, "Failed to close Sample\n", 8010, 1},
    };
    for (const CloseWaitCase& c : cases) {
        Scenario run("close_wait.txt");
        run.settings.delayMs = 1000;
        run.settings.detectByWindowName = true;
        run.settings.closeByWmClose = run.settings.closeBySysCommand = true;
        run.settings.closeByAltF4 = true;
        FakeWindow window{0x1234, "Sample", 1, false, 0, -1, {}, c.closes};
        window.closeDelayMs = c.closeDelayMs;
        window.hangsOnClose = c.hangs;
        AppearsAtLaunch(run.fake, window);
        run.Start();
        EXPECT_EQ(run.log.Read(),
                  Native(std::string("C:\\Apps\\sample.exe - 1 executions\n0.0100\n") + c.logged))
            << c.what;
        EXPECT_EQ(run.fake.EventsStartingWith("send").size(), c.sends) << c.what;
        const Events& e = run.fake.events;
        const size_t handles = IndexOf(e, "close handles 0x101 0x201");
        ASSERT_LT(handles, e.size()) << c.what;
        EXPECT_EQ(run.fake.NowMs(), c.handlesAtMs) << c.what;
        ExpectOneTimerPeriodAroundEveryPause(run.fake);
    }
}

struct ExitCase {
    const char* what;
    bool detect;
    bool stopSearchOnExit;
    std::int64_t exitsAfterMs;  // -1: still running
    unsigned long exitCode;
    const char* log;
};

// Input idle returns at once for a process that has ended, so a program
// that dies at start-up would be logged as a quick start; without a window
// of this launch to show for it, the log says so before the time.
TEST(TimingRun, AProgramThatEndedBeforeItWasReadyIsSaid)
{
    const ExitCase cases[] = {
        {"exit code 3", false, false, 20, 3,
         "Application exited with code 3 before it was ready\n0.0550\n"},
        {"a crash", false, false, 54, 0xC0000005,
         "Application exited with code 3221225477 before it was ready\n0.0550\n"},
        {"ends just after the end count", false, false, 56, 3, "0.0550\n"},
        {"still running", false, false, -1, 0, "0.0550\n"},
        {"no window either", true, false, 20, 1,
         "Failed to find window Sample\n"
         "Application exited with code 1 before it was ready\n50.0550\n"},
        // kairon-time gives up the search at the pass after the death.
        {"no window, the search given up", true, true, 20, 1,
         "Application exited with code 1 before it was ready\n0.0650\n"},
        {"dies during the search", true, true, 200, 3,
         "Application exited with code 3 before it was ready\n0.2050\n"},
        {"exit code 0 may be a launcher's", true, true, 20, 0,
         "Failed to find window Sample\n"
         "Application exited with code 0 before it was ready\n50.0550\n"},
    };
    for (const ExitCase& c : cases) {
        Scenario run("ended.txt");
        run.settings.waitInputIdle = true;
        run.settings.detectByWindowName = c.detect;
        run.settings.stopSearchOnExit = c.stopSearchOnExit;
        FakeLaunch launch{true, 0, 0, 0, 55};
        launch.exitsAfterMs = c.exitsAfterMs;
        launch.exitCode = c.exitCode;
        run.fake.launches.push_back(launch);
        run.Start();
        EXPECT_EQ(run.log.Read(),
                  Native(std::string("C:\\Apps\\sample.exe - 1 executions\n") + c.log))
            << c.what;
    }
}

// A window found means the application started, whatever became of the
// process that was launched: a launcher may hand over to another one.
TEST(TimingRun, AFoundWindowOutweighsAnEndedProcess)
{
    Scenario run("handed_over.txt");
    run.settings.detectByWindowName = true;
    FakeLaunch launch;
    launch.exitsAfterMs = 0;
    launch.exitCode = 0;
    run.fake.launches.push_back(launch);
    AppearsAtLaunch(run.fake, {0x1234, "Sample", 1, false, 0, -1, {}, false});
    run.Start();
    EXPECT_EQ(run.log.Read(), Native("C:\\Apps\\sample.exe - 1 executions\n0.0100\n"));
    EXPECT_EQ(run.fake.exitQueries, 0);
}

// A run appending to a log cut short inside a line (a full disk, last time)
// starts its header on a line of its own.
TEST(TimingRun, ALogCutInsideALineGetsItsLineEndFirst)
{
    struct Case {
        std::string before;  // the file's bytes
        std::string after;   // what comes before the new header
    };
    const std::string header = "C:\\Apps\\old.exe - 3 executions";
    const Case cases[] = {
        {Native(header + "\n0.12"), Native(header + "\n0.12\n")},
        {"", ""},
        {Native(header + "\n0.1200\n"), Native(header + "\n0.1200\n")},
        // Cut between CR and LF: the LF alone is missing.
        {header + "\r\n0.1200\r", header + "\r\n0.1200\r\n"},
    };
    for (const Case& c : cases) {
        Scenario run("cut.txt");
        run.log.Write(c.before);
        run.Start();
        EXPECT_EQ(run.log.Read(),
                  c.after + Native("C:\\Apps\\sample.exe - 1 executions\n0.0000\n"))
            << c.before;
    }
}

// A log that cannot be written (here a file size limit stands in for a full
// disk) stops the run at once: nothing more is launched, the launched
// window is closed, the box says why, and Kairon stays open even in an
// unattended run. POSIX only: Windows has no per-process file size limit.
TEST(TimingRun, AWriteThatFailsStopsTheRunAndSaysSo)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs a file size limit (setrlimit)";
#else
    struct Case {
        rlim_t limit;
        const char* onDisk;
        size_t launches;
        Events sends;
    };
    const Case cases[] = {
        {0, "", 0, {}},
        // The second time line is cut after four bytes.
        {45, "C:\\Apps\\sample.exe - 3 executions\n0.0100\n0.01", 2,
         {"send 0x1234 0x10 0x0 0x0", "send 0x1234 0x10 0x0 0x0"}},
    };
    for (const Case& c : cases) {
        Scenario run("write_fails.txt");
        run.settings.executions = 3;
        run.settings.autoRun = true;
        run.settings.detectByWindowName = true;
        run.settings.closeByWmClose = true;
        AppearsAtLaunch(run.fake, {0x1234, "Sample", 1, false, 0, -1, {}, true});
        rlimit saved;
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = c.limit;
        void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limited);
        run.Start();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);

        EXPECT_EQ(run.log.Read(), c.onDisk) << c.limit;
        EXPECT_EQ(run.fake.commandLines.size(), c.launches) << c.limit;
        EXPECT_EQ(run.fake.closedProcesses.size(), c.launches) << c.limit;
        EXPECT_EQ(run.fake.EventsStartingWith("send"), c.sends) << c.limit;
        const Events& e = run.fake.events;
        ASSERT_GE(e.size(), 2u);
        EXPECT_EQ(Events(e.end() - 2, e.end()),
                  (Events{"box Error | Unable to write to log file | 0x0", "enable IDC_RUN 1"}))
            << c.limit;
        EXPECT_TRUE(run.fake.EventsStartingWith("post close").empty()) << c.limit;
        ExpectOneTimerPeriodAroundEveryPause(run.fake);
    }
#endif
}


// A comparison, as kairon-time runs one: what the observer hears of each
// launch, in order ("baseline warmup 1/1 0.0110").
struct LaunchRecorder : RunObserver {
    void ShowStatus(const char*) override {}
    void ShowError(const char* text, const char* caption) override
    {
        errors.push_back(std::string(caption) + " | " + text);
    }
    void LaunchTimed(const LaunchResult& r) override
    {
        char line[96];
        std::snprintf(line, sizeof line, "%s %s %d/%d %.4f", r.baseline ? "baseline" : "app",
                      r.warmup ? "warmup" : "launch", r.launch, r.launches, r.seconds);
        launches.push_back(line);
        std::string titles = r.windowNotFound ? "not found:" : "found";
        if (!r.openedTitles.empty())
            titles += " [" + r.openedTitles + "]";
        opened.push_back(titles);
    }
    void LaunchClosed(CloseOutcome outcome) override { closes.push_back(outcome); }
    void LaunchJobEnded(int processes) override { endedInJob.push_back(processes); }
    void RunEnded(RunOutcome outcome) override { outcomes.push_back(outcome); }
    void CloseProgram() override {}
    std::vector<CloseOutcome> closes;
    std::vector<int> endedInJob;
    Events launches;
    Events opened;  // per launch: "found", or "not found:" and what it had open
    Events errors;
    std::vector<RunOutcome> outcomes;
};

struct Comparison {
    Comparison() : log("compare_app.txt"), baselineLog("compare_baseline.txt")
    {
        settings.executions = 2;
        settings.delayMs = 1;
        settings.markPhases = true;
        std::strcpy(settings.appPath, "C:\\New\\sample.exe");
        std::strcpy(settings.logPath, log.path.c_str());
        std::strcpy(settings.baselinePath, "C:\\Old\\sample.exe");
        std::strcpy(settings.baselineLogPath, baselineLog.path.c_str());
        std::strcpy(settings.windowName, "Sample");
    }
    int Start() { return TimingRun(settings, fake.platform, recorder); }
    TempFile log;
    TempFile baselineLog;
    RunSettings settings{};
    FakePlatform fake;
    LaunchRecorder recorder;
};

const char kOld[] = "\"C:\\Old\\sample.exe\" ";
const char kNew[] = "\"C:\\New\\sample.exe\" ";

// Warm-ups of both first, then measured rounds, the baseline first in each;
// each program's lines, its debug lines included, go to its own log only.
TEST(TimingRun, ACompareRunAlternatesTheBaselineAndTheAppIntoTheirOwnLogs)
{
    Comparison run;
    run.settings.warmups = 1;
    run.settings.debugLog = true;
    for (std::int64_t costMs : {11, 21, 31, 41, 32, 42})
        run.fake.launches.push_back({true, 0, costMs, 0, 0});
    EXPECT_EQ(run.Start(), 1);
    EXPECT_EQ(run.fake.commandLines, (Events{kOld, kNew, kOld, kNew, kOld, kNew}));
    EXPECT_EQ(run.recorder.launches,
              (Events{"baseline warmup 1/1 0.0110", "app warmup 1/1 0.0210",
                      "baseline launch 1/2 0.0310", "app launch 1/2 0.0410",
                      "baseline launch 2/2 0.0320", "app launch 2/2 0.0420"}));
    EXPECT_EQ(run.recorder.outcomes, std::vector<RunOutcome>{kRunFinished});
    const auto logOf = [](const char* app, const char* first, const char* second) {
        return Native(std::string(app) + " - 2 executions\n" + kWindowStateKey +
                      "Detected: 0 windows\n" +
                      "\n*************** START LOOP# 1 ***************\n\n" + first +
                      "\n*************** START LOOP# 2 ***************\n\n" + second);
    };
    EXPECT_EQ(run.baselineLog.Read(), logOf("C:\\Old\\sample.exe", "0.0310\n", "0.0320\n"));
    EXPECT_EQ(run.log.Read(), logOf("C:\\New\\sample.exe", "0.0410\n", "0.0420\n"));
    EXPECT_EQ(run.fake.closedProcesses.size(), 6u);
    ExpectOneTimerPeriodAroundEveryPause(run.fake);
}

// Either log that cannot be opened stops the run before anything is
// launched, and says whose it is.
TEST(TimingRun, ACompareRunNeedsBothLogs)
{
    const struct {
        bool baselines;
        const char* error;
    } cases[] = {
        {true, "Error | Unable to open baseline log file"},
        {false, "Error | Unable to open log file"},
    };
    for (const auto& c : cases) {
        Comparison run;
        std::strcpy(c.baselines ? run.settings.baselineLogPath : run.settings.logPath,
                    "no-such-folder-for-kairon/results.txt");
        EXPECT_EQ(run.Start(), 1);
        EXPECT_EQ(run.recorder.errors, Events{c.error});
        EXPECT_EQ(run.recorder.outcomes, std::vector<RunOutcome>{kRunStopped});
        EXPECT_TRUE(run.fake.commandLines.empty());
        EXPECT_EQ(run.fake.enumerations, 0);
        ExpectOneTimerPeriodAroundEveryPause(run.fake);
    }
}

// The baseline's window that will not close is still there when the app
// is launched, with the same title: it was there before the app's launch,
// so the app's search waits for the app's own window, and only that one
// is sent the app's close message.
TEST(TimingRun, ABaselineWindowStillOpenIsNeverTheApps)
{
    Comparison run;
    run.settings.executions = 1;
    run.settings.detectByWindowName = true;
    run.settings.closeByWmClose = true;
    FakePlatform& fake = run.fake;
    fake.onLaunch = [&fake](int number) {
        FakeWindow window;
        window.title = number == 1 ? "Sample (old)" : "Sample (new)";
        window.handle = static_cast<WindowHandle>(0x100 * number + 1);
        window.appearsAtMs = fake.NowMs() + (number == 1 ? 0 : 500);
        window.closesOnMessage = number != 1;
        fake.windows.insert(fake.windows.begin(), window);
    };
    run.Start();
    EXPECT_EQ(fake.EventsStartingWith("send"),
              (Events{"send 0x101 0x10 0x0 0x0", "send 0x201 0x10 0x0 0x0"}));
    EXPECT_EQ(run.baselineLog.Read(),
              Native("C:\\Old\\sample.exe - 1 executions\n0.0100\nFailed to close Sample\n"));
    // The search's first pass sleeps its 10 ms before it looks.
    EXPECT_EQ(run.log.Read(), Native("C:\\New\\sample.exe - 1 executions\n0.5100\n"));
}

// Ctrl-C during a baseline launch closes it and ends the run: the app is
// not launched, and both logs keep their headers.
TEST(TimingRun, ACompareRunStopsOnCtrlCInEitherProgram)
{
    Comparison run;
    run.settings.delayMs = 1000;
    run.settings.detectByWindowName = true;
    run.settings.closeByWmClose = true;
    AppearsAtLaunch(run.fake, {0x1234, "Sample", 1, false, 0, -1, {}, true});
    run.fake.stopAtMs = 1500;
    run.Start();
    EXPECT_EQ(run.fake.commandLines, Events{kOld});
    EXPECT_EQ(run.fake.EventsStartingWith("send"), Events{"send 0x1234 0x10 0x0 0x0"});
    EXPECT_EQ(run.recorder.outcomes, std::vector<RunOutcome>{kRunInterrupted});
    EXPECT_EQ(run.baselineLog.Read(), Native("C:\\Old\\sample.exe - 2 executions\n0.0100\n"));
    EXPECT_EQ(run.log.Read(), Native("C:\\New\\sample.exe - 2 executions\n"));
    ExpectOneTimerPeriodAroundEveryPause(run.fake);
}

struct LeftCase {
    const char* what;
    bool endLeftRunning;  // kairon-time's run, or the dialog's
    bool detect;          // search for the window, and close it
    std::int64_t idleCostMs;  // with input idle: how long until idle; -1 no wait
    bool appears;         // the window appears at the launch
    bool closes;          // at its close message
    bool hangs;           // its thread stops answering at the close message
    std::int64_t goneAtMs;    // it goes by itself then; -1 never
    unsigned long ownerId;    // its owner; 0 the launched process, which it takes along
    std::int64_t ownerCreatedAtMs;
    std::int64_t exitsAfterMs;  // the launched process ends by itself; -1 never
    const char* logged;         // after the header
    size_t terminated;          // TerminateProcess on the launched process
    int endedInJob;             // processes of its job ended besides; -1 no job
    CloseOutcome outcome;
    bool ownerInJob = false;    // the window's owner is of the launch's job
    int helpersLeft = 0;        // processes of its job left when it is over
};

// One launch at 1000 ms, a second's delay: close messages go at 2010 ms,
// after the next countdown the window has until 7010 ms to go. kairon-time
// leaves nothing of the launch's job running, and nothing else ended; the
// dialog logs what stayed and leaves it.
TEST(TimingRun, WhatALaunchLeavesRunningIsEndedOnlyWhenItMustBe)
{
    const LeftCase cases[] = {
        {"closes", true, true, -1, true, true, false, -1, 0, 0, -1, "0.0100\n", 0, 0,
         kCloseClosed},
        {"closes, its helpers stay", true, true, -1, true, true, false, -1, 0, 0, -1,
         "0.0100\n", 0, 2, kCloseClosed, false, 2},
        {"refuses", true, true, -1, true, false, false, -1, 0, 0, -1,
         "0.0100\nFailed to close Sample\n", 1, 0, kCloseEnded},
        {"refuses, the dialog's run", false, true, -1, true, false, false, -1, 0, 0, -1,
         "0.0100\nFailed to close Sample\n", 0, -1, kCloseFailed},
        {"hangs, goes 2.5 s later", false, true, -1, true, false, true, 4510, 0, 0, -1,
         "0.0100\n", 0, -1, kCloseClosed},
        {"its window goes by itself before it is asked", true, true, -1, true, false, false,
         1500, 0, 0, 1500, "0.0100\n", 0, 0, kCloseWent},
        {"its window goes, it stays", true, true, -1, true, true, false, -1, 0x1001, 0, -1,
         "0.0100\n", 1, 0, kCloseEnded},
        {"a launcher's program refuses", true, true, -1, true, false, false, -1, 0x2001, 1000, 5,
         "0.0100\nFailed to close Sample\n", 0, 1, kCloseFailed, true},
        {"a program the launch did not start", true, true, -1, true, false, false, -1, 0x2001,
         1000, 5, "0.0100\n", 0, 0, kCloseNone},
        {"never found", true, true, -1, false, false, false, -1, 0, 0, -1,
         "Failed to find window Sample\n50.0000\n", 1, 0, kCloseEnded},
        {"never found, the dialog's run", false, true, -1, false, false, false, -1, 0, 0, -1,
         "Failed to find window Sample\n50.0000\n", 0, -1, kCloseNone},
        {"input idle alone, reached", true, false, 30, false, false, false, -1, 0, 0, -1,
         "0.0300\n", 0, 0, kCloseNone},
        {"never idle", true, false, 60000, false, false, false, -1, 0, 0, -1,
         "WaitForInputIdle call failed\n50.0000\n", 1, 0, kCloseEnded},
        {"idle just in time", true, false, 50000, false, false, false, -1, 0, 0, -1,
         "50.0000\n", 0, 0, kCloseNone},
    };
    for (const LeftCase& c : cases) {
        Scenario run("left.txt");
        run.settings.delayMs = 1000;
        run.settings.endLeftRunning = c.endLeftRunning;
        run.settings.detectByWindowName = c.detect;
        run.settings.closeByWmClose = c.detect;
        run.settings.waitInputIdle = c.idleCostMs >= 0;
        FakeLaunch launch{true, 0, 0, 0, c.idleCostMs < 0 ? 0 : c.idleCostMs};
        launch.exitsAfterMs = c.exitsAfterMs;
        run.settings.measureResources = c.endLeftRunning;
        run.fake.launches.push_back(launch);
        run.fake.jobLeftovers = c.helpersLeft;
        if (c.ownerId > 0x2000)
            run.fake.otherProcesses[c.ownerId] = {"C:\\Apps\\helper.exe", c.ownerCreatedAtMs,
                                                  false, c.ownerInJob};
        if (c.appears) {
            FakeWindow window{0x1234, "Sample", 1, false, 0, c.goneAtMs, {}, c.closes};
            window.hangsOnClose = c.hangs;
            window.ownerProcessId = c.ownerId;
            AppearsAtLaunch(run.fake, window);
        }
        LaunchRecorder recorder;
        TimingRun(run.settings, run.fake.platform, recorder);
        EXPECT_EQ(run.log.Read(),
                  Native(std::string("C:\\Apps\\sample.exe - 1 executions\n") + c.logged))
            << c.what;
        EXPECT_EQ(run.fake.EventsStartingWith("terminate 0x101").size(), c.terminated) << c.what;
        EXPECT_EQ(recorder.endedInJob, std::vector<int>(c.endedInJob < 0 ? 0 : 1, c.endedInJob))
            << c.what;
        EXPECT_EQ(run.fake.otherProcesses.count(c.ownerId), c.ownerId > 0x2000 && !c.ownerInJob)
            << c.what;
        EXPECT_EQ(run.fake.RunningInJob(0), 0) << c.what;
        EXPECT_EQ(recorder.closes, std::vector<CloseOutcome>{c.outcome}) << c.what;
        EXPECT_EQ(recorder.outcomes, std::vector<RunOutcome>{kRunFinished}) << c.what;
        ExpectOneTimerPeriodAroundEveryPause(run.fake);
    }
}

// kairon-time's run: a title that matches nothing ends the run after the
// first measured launch that missed it, when more are to come, naming the
// shown windows the launch's processes had open; warm-ups do not end it,
// nor --keep-going.
TEST(TimingRun, AMissedWindowEndsTheRunAndNamesWhatTheLaunchOpened)
{
    const struct {
        const char* what;
        bool stop;
        std::int32_t warmups;
        std::int32_t runs;
        size_t launched;
        RunOutcome outcome;
    } cases[] = {
        {"the first launch", true, 0, 3, 1, kRunGaveUp},
        {"after a warm-up", true, 1, 3, 2, kRunGaveUp},
        {"--keep-going", false, 0, 3, 3, kRunFinished},
        {"the last launch: nothing to stop", true, 0, 1, 1, kRunFinished},
    };
    for (const auto& c : cases) {
        Scenario run("missed.txt");
        run.settings.executions = c.runs;
        run.settings.warmups = c.warmups;
        run.settings.detectByWindowName = true;
        run.settings.closeByWmClose = true;
        run.settings.endLeftRunning = true;
        run.settings.measureResources = true;
        run.settings.stopOnMissedWindow = c.stop;
        FakeWindow other;
        other.handle = 0x4001;
        other.title = "Untitled - Other";
        other.ownerProcessId = 0x3001;
        run.fake.otherProcesses[0x3001] = {"C:\\Apps\\other.exe", -1000, false, false};
        run.fake.windows.push_back(other);
        run.fake.onLaunch = [&run](int launch) {
            if (launch != 1)
                return;
            FakeWindow notepad;
            notepad.handle = 0x5002;
            notepad.title = "Untitled - Notepad";
            FakeWindow helper = notepad;
            helper.handle = 0x5003;
            helper.title = "Helper";
            helper.ownerProcessId = 0x3002;
            FakeWindow ime = notepad;
            ime.handle = 0x5004;
            ime.title = "Default IME";
            ime.showState = kShowHide;
            run.fake.otherProcesses[0x3002] = {"C:\\Apps\\helper.exe", 0, false, true};
            run.fake.windows.insert(run.fake.windows.begin(), {notepad, helper, ime});
        };
        LaunchRecorder recorder;
        TimingRun(run.settings, run.fake.platform, recorder);
        EXPECT_EQ(run.fake.commandLines.size(), c.launched) << c.what;
        EXPECT_EQ(recorder.outcomes, std::vector<RunOutcome>{c.outcome}) << c.what;
        ASSERT_EQ(recorder.opened.size(), c.launched) << c.what;
        EXPECT_EQ(recorder.opened[0], "not found: [Untitled - Notepad | Helper]") << c.what;
    }
}

struct StopWaitCase {
    const char* what;
    std::int64_t idleCostMs;  // -1: no input idle wait; the window refuses to close
    std::int64_t stopAtMs;
    std::int64_t endedByMs;   // the run is over by then
    bool hangs = false;       // the window's thread stops answering at its close message
};

// Ctrl-C ends the input idle wait and the close wait within a second, and
// the launch's program with them; a window that does not take its close
// message (sent at 2000 ms) holds the stop for a second at most.
TEST(TimingRun, AStopEndsEveryWaitAndTheProgram)
{
    const StopWaitCase cases[] = {
        {"waiting for input idle", 60000, 20000, 20100},
        {"waiting for the window to close", -1, 4000, 4050},
        {"sending a hung window its close message", -1, 3500, 3550, true},
        {"a second into sending it", -1, 2300, 3050, true},
        {"a hung window asked to close after the stop", -1, 1500, 3050, true},
    };
    for (const StopWaitCase& c : cases) {
        Scenario run("stop_waits.txt");
        run.settings.delayMs = 1000;
        run.settings.executions = 2;
        run.settings.endLeftRunning = true;
        run.settings.waitInputIdle = c.idleCostMs >= 0;
        run.settings.detectByWindowName = c.idleCostMs < 0;
        run.settings.closeByWmClose = true;
        run.fake.launches.push_back({true, 0, 0, 0, c.idleCostMs < 0 ? 0 : c.idleCostMs});
        if (c.idleCostMs < 0) {
            FakeWindow window{0x1234, "Sample", 1, false, 0, -1, {}, false};
            window.hangsOnClose = c.hangs;
            AppearsAtLaunch(run.fake, window);
        }
        run.fake.stopAtMs = c.stopAtMs;
        LaunchRecorder recorder;
        TimingRun(run.settings, run.fake.platform, recorder);
        EXPECT_EQ(recorder.outcomes, std::vector<RunOutcome>{kRunInterrupted}) << c.what;
        EXPECT_EQ(run.fake.EventsStartingWith("terminate 0x101").size(), 1u) << c.what;
        EXPECT_LE(run.fake.NowMs(), c.endedByMs) << c.what;
        EXPECT_EQ(run.fake.commandLines.size(), 1u) << c.what;
    }
}

}  // namespace
