#include "engine/window_detection.h"

#include "engine/timing_run.h"
#include "tests/fake_platform.h"
#include "tests/test_files.h"
#include "dialog/dialog_run_observer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

FakeWindow Window(WindowHandle handle, const std::string& title, int showState = 1)
{
    FakeWindow window;
    window.handle = handle;
    window.title = title;
    window.showState = showState;
    return window;
}

// Named after the running test: CTest may run two detection tests at once,
// and with one shared file each would remove the other's log.
std::string DetectionLogName()
{
    return std::string("detection_") +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
}

struct DetectionScenario {
    DetectionScenario() : log(DetectionLogName())
    {
        std::strcpy(settings.windowName, "Sample");
        OpenLog(&sink, log.path.c_str());
    }
    ~DetectionScenario() { CloseLog(&sink); }
    std::string Logged()
    {
        FlushLog(&sink);
        return log.Read();
    }
    TempFile log;
    LogSink sink;
    RunSettings settings{};
    FakePlatform fake;
    Detection detection{settings, fake, fake, sink, {}, {}, {}};
};

struct MatchCase {
    bool exact;
    const char* name;
    const char* title;
    bool matches;
};

TEST(TitleMatching, ExactIsCaseSensitivePartialIsNot)
{
    const MatchCase cases[] = {
        {true, "Sample", "Sample", true},
        {true, "Sample", "sample", false},
        {true, "Sample", "Sample - Document", false},
        {true, "Sample", "My Sample", false},
        {false, "Sample", "My SAMPLE window", true},
        {false, "sample", "Sample", true},
        {false, "Sample", "Sampl", false},
        {false, "Kairon", "Veltrane Kairon", true},
        // An empty name matches nothing in either mode.
        {true, "", "", false},
        {true, "", "Anything", false},
        {false, "", "Anything", false},
    };
    for (const MatchCase& c : cases) {
        RunSettings settings{};
        settings.exactMatch = c.exact;
        std::strcpy(settings.windowName, c.name);
        FakePlatform fake;
        EXPECT_EQ(TitleMatches(settings, fake, c.title), c.matches)
            << (c.exact ? "exact " : "partial ") << '"' << c.name << "\" in \"" << c.title << '"';
    }
}

TEST(InitialScan, KeepsTitledWindowsOnlyAndLogsThemWithDebug)
{
    DetectionScenario s;
    s.settings.debugLog = true;
    s.fake.windows = {Window(0x30, "Editor", 3), Window(0x20, ""), Window(0xABCDEF, "Mail", 2),
                      Window(0x10, "Editor", 1)};
    s.detection.snapshot = {0x99};  // left over from an earlier run
    InitialScan(&s.detection);
    EXPECT_EQ(s.detection.snapshot, (WindowSnapshot{0x10, 0x30, 0xABCDEF}));
    EXPECT_EQ(s.Logged(),
              Native("DEBUG Initial scan: Window name: Editor (Handle: 0x30 state: 3)\n"
                     "DEBUG Initial scan: Window name: Mail (Handle: 0xABCDEF state: 2)\n"
                     "DEBUG Initial scan: Window name: Editor (Handle: 0x10 state: 1)\n"
                     "Detected: 3 windows\n"));
}

TEST(InitialScan, WritesNothingWithoutDebug)
{
    DetectionScenario s;
    s.fake.windows = {Window(0x30, "Editor")};
    InitialScan(&s.detection);
    EXPECT_EQ(s.detection.snapshot.size(), 1u);
    EXPECT_EQ(s.Logged(), "");
}

TEST(Search, FindsTheFirstMatchInZOrder)
{
    DetectionScenario s;
    s.fake.windows = {Window(0x50, "Other"), Window(0x40, "Sample Two"), Window(0x30, "Sample")};
    SearchForWindow(&s.detection);
    EXPECT_TRUE(s.detection.foundWindow.found);
    EXPECT_EQ(s.detection.foundWindow.handle, 0x40u);
    EXPECT_EQ(s.fake.events, std::vector<std::string>{"sleep 10"});
}

TEST(Search, WithoutNewWindowsOnlyAnOldWindowIsFoundAtOnce)
{
    DetectionScenario s;
    s.fake.windows = {Window(0x30, "Sample")};
    InitialScan(&s.detection);
    SearchForWindow(&s.detection);
    EXPECT_EQ(s.detection.foundWindow.handle, 0x30u);
    EXPECT_EQ(s.fake.enumerations, 2);
}

TEST(Search, NewWindowsOnlyIgnoresWindowsFromTheSnapshot)
{
    DetectionScenario s;
    s.settings.newWindowsOnly = true;
    s.fake.windows = {Window(0x30, "Other")};
    InitialScan(&s.detection);
    // The old window takes the name later; a new one appears after 200 ms.
    s.fake.windows[0].title = "Sample";
    FakeWindow fresh = Window(0x60, "Sample");
    fresh.appearsAtMs = 200;
    s.fake.windows.push_back(fresh);
    SearchForWindow(&s.detection);
    EXPECT_EQ(s.detection.foundWindow.handle, 0x60u);
    EXPECT_EQ(s.fake.enumerations, 1 + 21);  // passes at 0, 10, ..., 200 ms
    EXPECT_EQ(s.fake.NowMs(), 210);
}

TEST(Search, AWindowLeftByAnEarlierIterationIsNotInTheSnapshot)
{
    DetectionScenario s;
    s.settings.newWindowsOnly = true;
    InitialScan(&s.detection);
    s.fake.windows = {Window(0x70, "Sample")};
    SearchForWindow(&s.detection);
    EXPECT_EQ(s.detection.foundWindow.handle, 0x70u);
    SearchForWindow(&s.detection);
    EXPECT_EQ(s.detection.foundWindow.handle, 0x70u);
}

TEST(Search, NeverMatchesKaironsOwnWindowButStillLogsIt)
{
    DetectionScenario s;
    s.settings.debugLog = true;
    std::strcpy(s.settings.windowName, "Kairon");
    FakeWindow own = Window(0x11, "Veltrane Kairon");
    own.ownProcess = true;
    FakeWindow launched = Window(0x22, "Kairon Sample");
    launched.appearsAtMs = 20;
    s.fake.windows = {own, launched};
    SearchForWindow(&s.detection);
    EXPECT_EQ(s.detection.foundWindow.handle, 0x22u);
    EXPECT_EQ(s.Logged(), Native("DEBUG: Window name: Veltrane Kairon (Handle: 0x11 state: 1)\n"
                                 "DEBUG: Window name: Veltrane Kairon (Handle: 0x11 state: 1)\n"
                                 "DEBUG: Window name: Veltrane Kairon (Handle: 0x11 state: 1)\n"
                                 "DEBUG: Window name: Kairon Sample (Handle: 0x22 state: 1)\n"));
}

TEST(Search, AsksAboutOwnershipOnlyForMatchingTitles)
{
    DetectionScenario s;
    s.fake.windows = {Window(0x10, "Editor"), Window(0x20, "Mail"), Window(0x30, "Browser")};
    FakeWindow launched = Window(0x40, "Sample");
    launched.appearsAtMs = 30;
    s.fake.windows.push_back(launched);
    SearchForWindow(&s.detection);
    EXPECT_EQ(s.detection.foundWindow.handle, 0x40u);
    EXPECT_EQ(s.fake.enumerations, 4);
    EXPECT_EQ(s.fake.ownWindowQueries, 1);
}

TEST(Search, AnEmptyNameFindsNothingEvenAmongTitledWindows)
{
    DetectionScenario s;
    s.settings.windowName[0] = '\0';
    s.fake.windows = {Window(0x30, "Anything")};
    SearchForWindow(&s.detection);
    EXPECT_FALSE(s.detection.foundWindow.found);
    EXPECT_EQ(s.detection.foundWindow.handle, 0u);
    EXPECT_EQ(s.fake.enumerations, kSearchPassLimit);
    EXPECT_EQ(s.Logged(), Native("Failed to find window \n"));
}

TEST(Search, GivesUpAfter5000PassesWithBannersEvery50)
{
    DetectionScenario s;
    s.settings.debugLog = true;
    s.detection.foundWindow = {0x99, true};  // from the previous iteration
    SearchForWindow(&s.detection);
    EXPECT_FALSE(s.detection.foundWindow.found);
    EXPECT_EQ(s.detection.foundWindow.handle, 0u);
    EXPECT_EQ(s.fake.enumerations, 5000);
    EXPECT_EQ(s.fake.NowMs(), 50000);
    std::string expected;
    for (int pass = 50; pass <= 5000; pass += 50)
        expected += "\n*************** Search loop # " + std::to_string(pass) +
                    " of 5000 ***************\n\n";
    expected += "Failed to find window Sample\n";
    EXPECT_EQ(s.Logged(), Native(expected));
}

TEST(Search, TheBannerIsWrittenInThePassThatFinds)
{
    DetectionScenario s;
    s.settings.debugLog = true;
    FakeWindow late = Window(0x30, "Sample");
    late.appearsAtMs = 490;  // seen by pass 50
    s.fake.windows = {late};
    SearchForWindow(&s.detection);
    EXPECT_EQ(s.fake.enumerations, 50);
    EXPECT_EQ(s.Logged(), Native("DEBUG: Window name: Sample (Handle: 0x30 state: 1)\n"
                                 "\n*************** Search loop # 50 of 5000 ***************\n\n"));
}

TEST(Search, ComparesTheFirst255CharactersOfALongTitle)
{
    DetectionScenario s;
    s.settings.exactMatch = true;
    const std::string title = std::string(255, 'a') + "TAIL";
    std::strcpy(s.settings.windowName, std::string(255, 'a').c_str());
    s.fake.windows = {Window(0x30, title)};
    SearchForWindow(&s.detection);
    EXPECT_EQ(s.detection.foundWindow.handle, 0x30u);
}

// kairon-time's search: an event that came during a pass cuts it short at
// the next look, 16 windows on, and a new pass starts at once, with no
// wait, since a new window is on top of the Z order; the mark is the count
// right after the pass that found the window.
TEST(Search, AnEventCutsAPassShortAndAnotherStartsAtOnce)
{
    DetectionScenario s;
    s.settings.wakeOnWindowEvents = true;
    s.fake.WatchWindowEvents();
    for (WindowHandle handle = 0x100; handle < 0x100 + 40; ++handle)
        s.fake.windows.push_back(Window(handle, "Other"));
    FakeWindow created = Window(0x30, "Sample");
    created.appearsAtMs = 3;
    s.fake.windows.push_back(created);
    s.fake.nowTicks = 5 * kTicksPerMs;
    EXPECT_FALSE(SearchForWindow(&s.detection));
    EXPECT_EQ(s.detection.foundWindow.handle, 0x30u);
    EXPECT_EQ(s.fake.enumerations, 2);
    // The new pass does not look for events: it runs to its end (below).
    EXPECT_EQ(s.fake.events, (std::vector<std::string>{"frequency", "counter 5", "wait 0",
                                                        "counter 5", "counter 5"}));
    EXPECT_EQ(s.detection.foundCount, 5 * kTicksPerMs);
}

// Events that never stop cut one pass short, not every pass: the next runs
// to its end and reaches the window low in the Z order.
TEST(Search, EventsThatNeverStopStillLetAPassEnd)
{
    DetectionScenario s;
    s.settings.wakeOnWindowEvents = true;
    s.fake.WatchWindowEvents();
    s.fake.eventFloodPasses = 1000;
    for (WindowHandle handle = 0x100; handle < 0x100 + 40; ++handle)
        s.fake.windows.push_back(Window(handle, "Other"));
    s.fake.windows.push_back(Window(0x30, "Sample"));
    EXPECT_FALSE(SearchForWindow(&s.detection));
    EXPECT_EQ(s.detection.foundWindow.handle, 0x30u);
    EXPECT_EQ(s.fake.enumerations, 2);
}

struct VisibilityCase {
    const char* name;
    int initialState;
    std::vector<std::pair<std::int64_t, int>> changes;
    int sleeps;
    bool gaveUp;
    std::int64_t cloakedUntilMs = 0;
    // kairon-time's: woken by a show or an uncloaking, or 10 ms on without
    // one (Wine); its mark, the test that saw the window shown.
    bool onEvents = false;
    bool sendsEvents = true;
    std::int64_t visibleAtMs = -1;
};

TEST(VisibilityWait, WaitsWhileHiddenOrMinimised)
{
    const VisibilityCase cases[] = {
        {"normal", 1, {}, 0, false},
        {"maximised", 3, {}, 0, false},
        {"shown without activation", 4, {}, 0, false},
        {"restored", 9, {}, 0, false},
        {"hidden then shown", 0, {{250, 1}}, 3, false},
        {"minimised then restored", 2, {{4900, 9}}, 49, false},
        {"stays minimised", 2, {}, 50, true},
        {"stays minimize", 6, {}, 50, true},
        {"stays hidden", 0, {}, 50, true},
        // A cloaked window is the compositor's business; the dialog asks
        // only user32.
        {"cloaked", 1, {}, 0, false, 100000},
        {"events: created hidden, shown at 1503 ms", 0, {{1503, 1}}, 0, false, 0, true, true, 1503},
        {"events: shown at 1503 ms, no event", 0, {{1503, 1}}, 0, false, 0, true, false, 1510},
        {"events: cloaked until 733 ms", 1, {}, 0, false, 733, true, true, 733},
        {"events: shown minimised", 0, {{20, 2}}, 0, true, 0, true},
        {"events: never shown", 0, {}, 0, true, 0, true},
    };
    for (const VisibilityCase& c : cases) {
        DetectionScenario s;
        FakeWindow window = Window(0x30, "Sample", c.initialState);
        window.showChanges = c.changes;
        window.cloakedUntilMs = c.cloakedUntilMs;
        window.sendsEvents = c.sendsEvents;
        s.fake.windows = {window};
        s.detection.foundWindow = {0x30, true};
        s.settings.wakeOnWindowEvents = c.onEvents;
        if (c.onEvents)
            s.fake.WatchWindowEvents();
        EXPECT_EQ(WaitUntilVisible(&s.detection), !c.gaveUp) << c.name;
        EXPECT_EQ(s.detection.visibleCount,
                  c.onEvents && !c.gaveUp ? c.visibleAtMs * kTicksPerMs : 0) << c.name;
        EXPECT_EQ(s.fake.EventsStartingWith("sleep 100").size(), static_cast<size_t>(c.sleeps))
            << c.name;
        EXPECT_EQ(s.Logged(), c.gaveUp ? Native("Failed to find Sample as visible\n") : "")
            << c.name;
    }
}

// One debug run that writes every kind of line the log knows, checked byte
// for byte: iteration 1 finds a minimised window after 50 passes and gives
// up waiting for it to show; iteration 2 finds nothing.
TEST(ResultsLog, EveryLineOfADebugRun)
{
    TempFile log("every_line.txt");
    RunSettings settings{};
    std::strcpy(settings.appPath, "C:\\Apps\\sample.exe");
    std::strcpy(settings.logPath, log.path.c_str());
    std::strcpy(settings.windowName, "Sample");
    settings.executions = 2;
    settings.delayMs = 1;
    settings.debugLog = true;
    settings.waitInputIdle = true;
    settings.detectByWindowName = true;
    settings.waitVisible = true;
    settings.closeByWmClose = true;

    FakePlatform fake;
    fake.windows = {Window(0x10, "Editor"), Window(0x20, "")};
    fake.launches.push_back({true, 0, 0, 1, 0});  // input idle fails
    fake.launches.push_back({true, 0, 0, 0, 0});
    fake.onLaunch = [&fake](int launch) {
        if (launch != 1)
            return;
        FakeWindow late = Window(0xBEEF, "My Sample", 2);
        late.appearsAtMs = fake.NowMs() + 495;
        late.closesOnMessage = true;
        fake.windows.insert(fake.windows.begin(), late);
    };
    DialogRunObserver dialog(fake);
    TimingRun(settings, fake.platform, dialog);

    std::string expected =
        "C:\\Apps\\sample.exe - 2 executions\n"
        "Window State Key:\n"
        "0 = SW_HIDE\t1=SW_SHOWNORMAL\t2=SW_SHOWMINIMIZED\t3=SW_MAXIMIZE 4=SW_SHOWNOACTIVATE\t"
        "5=SW_SHOW\t6=SW_MINIMIZE\t7=SW_SHOWMINNOACTIVE\t8=SW_SHOWNA\t9=SW_RESTORE\n"
        "DEBUG Initial scan: Window name: Editor (Handle: 0x10 state: 1)\n"
        "Detected: 1 windows\n"
        "\n*************** START LOOP# 1 ***************\n\n"
        "WaitForInputIdle call failed\n"
        "\n*************** Search loop # 50 of 5000 ***************\n\n"
        "DEBUG: Window name: My Sample (Handle: 0xBEEF state: 2)\n"
        "Failed to find Sample as visible\n"
        "5.5100\n"
        "\n*************** START LOOP# 2 ***************\n\n";
    for (int pass = 50; pass <= 5000; pass += 50)
        expected += "\n*************** Search loop # " + std::to_string(pass) +
                    " of 5000 ***************\n\n";
    expected += "Failed to find window Sample\n50.0000\n";
    EXPECT_EQ(log.Read(), Native(expected));
    EXPECT_EQ(fake.EventsStartingWith("send"),
              std::vector<std::string>{"send 0xBEEF 0x10 0x0 0x0"});
}

}  // namespace
