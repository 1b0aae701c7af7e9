#include "engine/settle_wait.h"

#include "console/console_run_observer.h"
#include "console/launch_json.h"
#include "console/phase_summary.h"
#include "engine/timing_run.h"
#include "report/text_format.h"
#include "tests/fake_platform.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstring>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

typedef std::vector<std::pair<std::int64_t, std::uint64_t>> Frames;

// Frames that change every `everyMs` from 0 to `untilMs`, then stay.
Frames ChangingUntil(std::int64_t everyMs, std::int64_t untilMs)
{
    Frames frames;
    for (std::int64_t at = 0; at <= untilMs; at += everyMs)
        frames.push_back({at, static_cast<std::uint64_t>(at / everyMs + 1)});
    return frames;
}

struct SettleCase {
    const char* what;
    Frames frames;               // of window 0x10, which is there from 0 ms; hash 0 is blank
    std::int32_t settledMs;
    std::int64_t captureCostMs;
    std::int64_t vanishesAtMs;   // -1 never
    std::int64_t stopAtMs;       // -1 never
    SettleOutcome outcome;
    std::int64_t countMs;        // the result's count, in ms (not when stopped)
    std::int64_t endedAtMs;      // the virtual time when the wait returned
    std::int64_t coveredFromMs = -1;
    std::int64_t minimisedUntilMs = -1;
    // Off the screen until then: the frames are another program's content.
    std::int64_t hiddenUntilMs = -1;
    std::int64_t cloakedUntilMs = 0;
    bool excludedFromCapture = false;
    // The mark's precision: the median cost of the pictures that read
    // pixels, and the span from the picture before the last change to
    // content to the one that showed it (not checked when 0); -1 none.
    double pictureMs = 0;
    double resolutionMs = 0;
};

// The wait starts at 0 ms and captures every 10 ms. The mark is the counter
// after the first capture of the content that then stayed, read after the
// capture; the wait ends at the first capture `settledMs` after it. A
// blank picture is never content, however long it stays.
TEST(WaitUntilSettled, MarksTheFirstCaptureOfTheContentThatStayed)
{
    const SettleCase cases[] = {
        {"drawn at 50 ms", {{0, 1}, {50, 2}}, 100, 0, -1, -1, kSettled, 50, 150},
        {"drawn between two captures", {{0, 1}, {55, 2}}, 100, 0, -1, -1, kSettled, 60, 160},
        {"never changes", {{0, 7}}, 100, 0, -1, -1, kSettled, 0, 100},
        {"back to what it showed before", {{0, 1}, {20, 2}, {60, 1}}, 100, 0, -1, -1, kSettled,
         60, 160},
        {"a quiet spell shorter than asked", {{0, 1}, {90, 2}}, 100, 0, -1, -1, kSettled, 90,
         190},
        {"blank for longer than asked", {{0, 0}, {500, 2}}, 100, 0, -1, -1, kSettled, 500, 600},
        {"content, blank again, then drawn", {{0, 1}, {50, 0}, {200, 2}}, 100, 0, -1, -1,
         kSettled, 200, 300},
        {"blank to the end", {{0, 0}}, 100, 0, -1, -1, kSettleStayedBlank, 30000, 30000, -1, -1,
         -1, 0, false, 0, -1},
        {"minimised until 300 ms", {{0, 1}}, 100, 0, -1, -1, kSettled, 300, 400, -1, 300},
        {"hidden until 300 ms, 4 ms a picture", {{0, 1}}, 100, 4, -1, -1, kSettled, 304, 416, -1,
         -1, 300, 0, false, 4, 14},
        {"cloaked until 300 ms", {{0, 1}}, 100, 0, -1, -1, kSettled, 300, 400, -1, -1, -1, 300},
        {"excluded from capture", {{0, 1}}, 100, 0, -1, -1, kSettleStayedBlank, 30000, 30000, -1,
         -1, -1, 0, true, -1, -1},
        {"hidden, and gone at 300 ms", {{0, 1}}, 100, 0, 300, -1, kSettleWindowGone, 300, 300,
         -1, -1, 100000, 0, false, -1, -1},
        {"covered from 30 ms", {{0, 1}}, 100, 0, -1, -1, kSettleCovered, 30, 30, 30},
        {"each capture takes 4 ms", {{0, 1}, {50, 2}}, 100, 4, -1, -1, kSettled, 60, 172, -1, -1,
         -1, 0, false, 4, 14},
        {"changes every 20 ms for ever", ChangingUntil(20, 40000), 100, 0, -1, -1,
         kSettleKeptChanging, 30000, 30000},
        {"last change at 29.9 s, quiet to 30 s", ChangingUntil(20, 29900), 100, 0, -1, -1,
         kSettled, 29900, 30000},
        {"last change at 29.92 s", ChangingUntil(20, 29920), 100, 0, -1, -1, kSettleKeptChanging,
         30000, 30000},
        {"the window goes at 300 ms", ChangingUntil(20, 40000), 100, 0, 300, -1,
         kSettleWindowGone, 300, 300},
        {"Ctrl-C at 250 ms", ChangingUntil(20, 40000), 100, 0, -1, 250, kSettleStopped, 0, 250},
    };
    for (const SettleCase& c : cases) {
        SCOPED_TRACE(c.what);
        FakePlatform fake;
        FakeWindow window;
        window.handle = 0x10;
        window.title = "Sample";
        window.vanishesAtMs = c.vanishesAtMs;
        window.coveredFromMs = c.coveredFromMs;
        if (c.minimisedUntilMs >= 0) {
            window.showState = kShowMinimized;
            window.showChanges = {{c.minimisedUntilMs, 1}};
        }
        if (c.hiddenUntilMs >= 0) {
            window.showState = kShowHide;
            window.showChanges = {{c.hiddenUntilMs, 1}};
        }
        window.cloakedUntilMs = c.cloakedUntilMs;
        window.excludedFromCapture = c.excludedFromCapture;
        fake.windows.push_back(window);
        fake.frames[0x10] = c.frames;
        fake.captureCostMs = c.captureCostMs;
        fake.stopAtMs = c.stopAtMs;
        const SettleResult result =
            WaitUntilSettled(fake.platform, 0x10, c.settledMs, kCaptureScreen, kFakeFrequency);
        EXPECT_EQ(result.outcome, c.outcome);
        if (c.outcome != kSettleStopped) {
            EXPECT_EQ(result.count, c.countMs * kTicksPerMs);
        }
        EXPECT_EQ(fake.NowMs(), c.endedAtMs);
        EXPECT_DOUBLE_EQ(result.pictureMs, c.pictureMs);
        if (c.resolutionMs != 0) {
            EXPECT_DOUBLE_EQ(result.resolutionMs, c.resolutionMs);
        }
    }
}

// What the wait saw: pictures taken, how many differed from the one before,
// and the first with content; a covered window is the screen's business only.
TEST(WaitUntilSettled, KeepsTheEvidence)
{
    const struct {
        const char* what;
        Frames frames;
        CaptureSource source;
        int pictures;
        int changes;
        std::int64_t contentMs;  // -1: none seen
    } cases[] = {
        {"never changes", {{0, 7}}, kCaptureScreen, 11, 0, 0},
        {"blank, drawn at 500 ms", {{0, 0}, {500, 2}}, kCaptureScreen, 61, 1, 500},
        {"blank to the end", {{0, 0}}, kCaptureScreen, 3001, 0, -1},
        {"covered, read from the window", {{0, 7}}, kCaptureWindow, 11, 0, 0},
        {"covered, printed", {{0, 7}}, kCapturePrint, 11, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakePlatform fake;
        FakeWindow window;
        window.handle = 0x10;
        window.coveredFromMs = 0;
        fake.windows.push_back(window);
        fake.frames[0x10] = c.frames;
        if (c.source == kCaptureScreen)
            fake.windows[0].coveredFromMs = -1;
        const SettleResult result =
            WaitUntilSettled(fake.platform, 0x10, 100, c.source, kFakeFrequency);
        EXPECT_EQ(result.pictures, c.pictures);
        EXPECT_EQ(result.changes, c.changes);
        EXPECT_EQ(result.contentSeen, c.contentMs >= 0);
        if (c.contentMs >= 0) {
            EXPECT_EQ(result.contentCount, c.contentMs * kTicksPerMs);
        }
        EXPECT_EQ(fake.captureSources, std::vector<CaptureSource>(c.pictures, c.source));
    }
}

TEST(WaitUntilSettled, CapturesThenReadsTheCounterThenSleepsTenMilliseconds)
{
    FakePlatform fake;
    FakeWindow window;
    window.handle = 0x10;
    fake.windows.push_back(window);
    fake.frames[0x10] = {{0, 1}, {10, 2}};
    const SettleResult result =
        WaitUntilSettled(fake.platform, 0x10, 20, kCaptureScreen, kFakeFrequency);
    EXPECT_EQ(result.outcome, kSettled);
    EXPECT_EQ(fake.events, (std::vector<std::string>{
                               "counter 0", "counter 0", "capture 0x10", "counter 0", "sleep 10",
                               "counter 10", "capture 0x10", "counter 10", "sleep 10",
                               "counter 20", "capture 0x10", "counter 20", "sleep 10",
                               "counter 30", "capture 0x10", "counter 30"}));
}

RunSettings SettledSettings(const std::string& logPath, std::int32_t settledMs)
{
    RunSettings settings{};
    std::strcpy(settings.appPath, "C:\\Apps\\sample.exe");
    std::strcpy(settings.logPath, logPath.c_str());
    std::strcpy(settings.windowName, "sample");
    settings.detectByWindowName = true;
    settings.closeByWmClose = true;
    settings.executions = 1;
    settings.delayMs = 1;
    settings.markPhases = true;
    settings.settledMs = settledMs;
    return settings;
}

struct RunCase {
    const char* what;
    std::int32_t settledMs;
    std::int64_t appearsAfterMs;  // -1 never
    Frames frames;                // from the window's appearance
    std::int64_t stopAtMs;        // -1 never
    const char* logged;           // after the header
    const char* progress;
    ExitStatus status;
    PhaseMarks marks;
    size_t captures;
    const char* settleJson = "";  // the launch's JSON "settle" record; "" none
    CaptureSource source = kCaptureScreen;
    std::int64_t coveredFromMs = -1;  // after the window appeared
};

// One launch at 1 ms whose window is there at once, found by the search's
// first pass at 11 ms; the wait for its pixels begins then.
TEST(SettledRun, TimesTheLaunchToItsWindowsContent)
{
    const std::string notSettled = "Failed to settle sample";
    const RunCase cases[] = {
        {"drawn 300 ms after it appeared", 500, 0, {{0, 1}, {300, 2}}, -1, "0.3000\n",
         "launch 1/1: 0.3000 s\n", kExitOk, {-1, 0.010, -1, 0.300}, 80,
         R"({"capture": "screen", "pictures": 80, "changes": 1, "content": 0.01, "covered": false,
              "covered_by": null, "picture_ms": 0, "resolution_ms": 10})"},
        {"blank 300 ms, longer than asked", 100, 0, {{0, 0}, {300, 2}}, -1, "0.3000\n",
         "launch 1/1: 0.3000 s\n", kExitOk, {-1, 0.010, -1, 0.300}, 40,
         R"({"capture": "window", "pictures": 40, "changes": 1, "content": 0.3, "covered": false})",
         kCaptureWindow},
        {"blank to the end", 100, 0, {{0, 0}}, -1, "Failed to settle sample\n30.0100\n",
         "launch 1/1: Failed to settle sample (it stayed blank)\n", kExitNotReady,
         {-1, 0.010, -1, -1}, 3001,
         R"({"capture": "screen", "pictures": 3001, "changes": 0, "content": null, "covered": false})"},
        {"covered on the screen", 100, 0, {{0, 1}}, -1, "Failed to settle sample\n0.0100\n",
         "launch 1/1: Failed to settle sample (another window covered it: \"Cover\", class "
         "\"CoverClass\"; --capture print reads covered windows)\n",
         kExitNotReady, {-1, 0.010, -1, -1}, 1,
         R"({"capture": "screen", "pictures": 1, "changes": 0, "content": null, "covered": true,
              "covered_by": {"title": "Cover", "class": "CoverClass"}, "picture_ms": 0,
              "resolution_ms": null})",
         kCaptureScreen, 0},
        {"covered, printed", 100, 0, {{0, 1}}, -1, "0.0100\n", "launch 1/1: 0.0100 s\n",
         kExitOk, {-1, 0.010, -1, 0.010}, 11,
         R"({"capture": "print", "pictures": 11, "changes": 0, "content": 0.01, "covered": false})",
         kCapturePrint, 0},
        {"drawn before it was found", 100, 0, {{0, 1}, {5, 2}}, -1, "0.0100\n",
         "launch 1/1: 0.0100 s\n", kExitOk, {-1, 0.010, -1, 0.010}, 11,
         R"({"capture": "screen", "pictures": 11, "changes": 0, "content": 0.01, "covered": false})"},
        {"never settles", 100, 0, ChangingUntil(5, 40000), -1,
         "Failed to settle sample\n30.0100\n",
         "launch 1/1: Failed to settle sample (its content kept changing)\n",
         kExitNotReady, {-1, 0.010, -1, -1}, 3001,
         R"({"capture": "screen", "pictures": 3001, "changes": 3000, "content": 0.01, "covered": false})"},
        {"no window: nothing to capture", 100, -1, {}, -1, "Failed to find window sample\n50.0000\n",
         "launch 1/1: Failed to find window sample; the program opened no titled window\n",
         kExitNotReady, {-1, -1, -1, -1}, 0},
        {"not asked for", 0, 0, {{0, 1}, {300, 2}}, -1, "0.0100\n", "launch 1/1: 0.0100 s\n",
         kExitOk, {-1, 0.010, -1, -1}, 0},
        {"Ctrl-C while it settles", 100, 0, ChangingUntil(5, 40000), 200, "",
         "kairon-time: interrupted; the application it launched is closed\n",
         kExitInterrupted, {-1, -1, -1, -1}, 19},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempFile log("settled.txt");
        RunSettings settings = SettledSettings(log.path, c.settledMs);
        settings.settleCapture = c.source;
        FakePlatform fake;
        fake.stopAtMs = c.stopAtMs;
        fake.frames[0x5001] = c.frames;
        fake.onLaunch = [&fake, &c](int) {
            if (c.appearsAfterMs < 0)
                return;
            FakeWindow window = SampleWindow(fake.NowMs() + c.appearsAfterMs);
            if (c.coveredFromMs >= 0) {
                window.coveredFromMs = window.appearsAtMs + c.coveredFromMs;
                window.coveredBy = 0x7001;
                FakeWindow cover;
                cover.handle = 0x7001;
                cover.title = "Cover";
                cover.className = "CoverClass";
                fake.windows.insert(fake.windows.begin(), cover);
            }
            fake.windows.insert(fake.windows.begin(), window);
        };
        std::ostringstream err;
        ConsoleRunObserver console(err, false);
        TimingRun(settings, fake.platform, console);
        // One source for every picture of the run.
        EXPECT_EQ(fake.captureSources, std::vector<CaptureSource>(c.captures, c.source));
        EXPECT_EQ(log.Read(), Native(std::string("C:\\Apps\\sample.exe - 1 executions\n") +
                                     c.logged));
        EXPECT_EQ(err.str(), c.progress);
        EXPECT_EQ(console.ExitStatus(), c.status);
        EXPECT_EQ(fake.EventsStartingWith("capture").size(), c.captures);
        // The window is closed whether or not it settled, or the run stopped.
        EXPECT_EQ(fake.EventsStartingWith("send 0x5001 0x10").size(),
                  c.appearsAfterMs < 0 ? 0u : 1u);
        if (c.status == kExitInterrupted)
            continue;
        ASSERT_EQ(console.Launches().size(), 1u);
        const std::string json = LaunchesJson(settings, console.Launches(), kFakeFrequency, ToUtf8);
        const nlohmann::json launch = nlohmann::json::parse(json)["launches"][0];
        EXPECT_EQ(launch.contains("settle"), c.settleJson[0] != '\0') << json;
        const nlohmann::json expected = nlohmann::json::parse(c.settleJson[0] ? c.settleJson : "{}");
        for (const auto& field : expected.items())
            EXPECT_EQ(launch.at("settle").at(field.key()), field.value()) << field.key();
        const PhaseMarks& marks = console.Launches()[0].result.marks;
        EXPECT_NEAR(marks.window, c.marks.window, 1e-9);
        EXPECT_NEAR(marks.settled, c.marks.settled, 1e-9);
    }
}

TEST(SettledRun, TheJsonAndTheSummaryHaveTheSettledMark)
{
    RunSettings settings{};
    settings.detectByWindowName = true;
    settings.settledMs = 100;
    const auto record = [](int launch, double seconds, PhaseMarks marks, const char* failure) {
        LaunchResult result(launch, 3, seconds, failure);
        result.marks = marks;
        return LaunchRecord(result);
    };
    const std::vector<LaunchRecord> launches = {
        record(1, 0.7, {-1, 0.4, -1, 0.7}, nullptr),
        record(2, 30.41, {-1, 0.41, -1, -1}, "Failed to settle sample"),
        record(3, 0.9, {-1, 0.42, -1, 0.9}, nullptr),
    };
    const std::string json = LaunchesJson(settings, launches, kFakeFrequency, ToUtf8);
    EXPECT_NE(json.find("\"marks\": {\n"
                        "        \"window\": 0.4,\n"
                        "        \"settled\": 0.7\n"
                        "      },\n"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"marks\": {\n"
                        "        \"window\": 0.41\n"
                        "      },\n"
                        "      \"failure\": \"Failed to settle sample\",\n"),
              std::string::npos)
        << json;
    EXPECT_EQ(PhaseSummary(settings, launches),
              "Phases, median from the launch of those that reached it:\n"
              "  window      0.4100 s  (3 of 3)\n"
              "  settled     0.8000 s  (2 of 3)\n");
    settings.settledMs = 0;
    EXPECT_EQ(PhaseSummary(settings, launches).find("settled"), std::string::npos);
}

}  // namespace
