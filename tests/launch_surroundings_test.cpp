// What kairon-time does around each launch: the commands before and after
// it, the emptied file cache, and what the launch used.
#include "console/console_run_observer.h"
#include "console/launch_json.h"
#include "console/phase_summary.h"
#include "engine/timing_run.h"
#include "platform/handle_list.h"
#include "tests/fake_platform.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Events;

Events operator+(Events events, const Events& more)
{
    events.insert(events.end(), more.begin(), more.end());
    return events;
}

struct ConsoleRun {
    explicit ConsoleRun(const char* logName) : log(logName)
    {
        std::strcpy(settings.appPath, "C:\\Apps\\app.exe");
        std::strcpy(settings.logPath, log.path.c_str());
        settings.waitInputIdle = true;
        settings.executions = 1;
        settings.delayMs = 1;
        settings.measureResources = true;
    }
    ExitStatus Start()
    {
        TimingRun(settings, fake.platform, observer);
        return observer.ExitStatus();
    }
    // The commands run and the programs launched, in order.
    Events Steps() const
    {
        Events steps;
        for (const std::string& event : fake.events)
            if (event.rfind("command ", 0) == 0 || event.rfind("end command ", 0) == 0 ||
                event.rfind("create \"", 0) == 0)
                steps.push_back(event);
        return steps;
    }
    TempFile log;
    TempFile baselineLog{"surroundings_baseline.txt"};
    RunSettings settings{};
    FakePlatform fake;
    std::ostringstream err;
    ConsoleRunObserver observer{err, true};
};

void SetCommands(RunSettings* settings)
{
    std::strcpy(settings->setupCommand, "setup");
    std::strcpy(settings->prepareCommand, "prepare");
    std::strcpy(settings->concludeCommand, "conclude");
    std::strcpy(settings->cleanupCommand, "cleanup");
}

TEST(LaunchSurroundings, CommandsRunInTheirOrderAroundEveryLaunch)
{
    ConsoleRun run("surroundings_order.txt");
    SetCommands(&run.settings);
    run.settings.warmups = 1;
    run.settings.executions = 2;
    std::strcpy(run.settings.baselinePath, "C:\\Old\\app.exe");
    std::strcpy(run.settings.baselineLogPath, run.baselineLog.path.c_str());
    EXPECT_EQ(run.Start(), kExitOk) << run.err.str();
    Events expected = {"command setup"};
    for (int round = 0; round < 3; ++round) {
        for (const char* program : {"\"C:\\Old\\app.exe\" ", "\"C:\\Apps\\app.exe\" "})
            expected.insert(expected.end(), {"command prepare", std::string("create ") + program,
                                             "command conclude"});
    }
    expected.push_back("command cleanup (ends at stop 2)");
    EXPECT_EQ(run.Steps(), expected);
    // The prepare command comes before the pause that precedes the launch.
    const Events& events = run.fake.events;
    const auto prepare = std::find(events.begin(), events.end(), "command prepare");
    ASSERT_NE(prepare, events.end());
    EXPECT_EQ(*(prepare + 1), "sleep 1");
}

TEST(LaunchSurroundings, AFailingCommandStopsTheRunAndCleanupStillRuns)
{
    const struct {
        const char* failing;  // the command that exits with 3, or cannot start
        bool notStarted;
        Events steps;
        std::string error;
    } cases[] = {
        {"setup", false, {"command setup", "command cleanup (ends at stop 2)"},
         "the setup command exited with code 3: setup"},
        {"prepare", false, {"command setup", "command prepare", "command cleanup (ends at stop 2)"},
         "the prepare command exited with code 3: prepare"},
        {"conclude", false,
         {"command setup", "command prepare", "create \"C:\\Apps\\app.exe\" ", "command conclude",
          "command cleanup (ends at stop 2)"},
         "the conclude command exited with code 3: conclude"},
        {"cleanup", false,
         {"command setup", "command prepare", "create \"C:\\Apps\\app.exe\" ", "command conclude",
          "command cleanup (ends at stop 2)"},
         "the cleanup command exited with code 3: cleanup"},
        {"prepare", true, {"command setup", "command prepare", "command cleanup (ends at stop 2)"},
         "the prepare command could not be started: error 2: prepare"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.failing) + (c.notStarted ? " not started" : ""));
        ConsoleRun run("surroundings_failing.txt");
        SetCommands(&run.settings);
        if (c.notStarted)
            run.fake.commandsNotStarted.insert(c.failing);
        else
            run.fake.commandExitCodes[c.failing] = 3;
        run.fake.errorTexts[2] = "error 2";
        EXPECT_EQ(run.Start(), kExitFailed);
        EXPECT_EQ(run.Steps(), c.steps);
        EXPECT_EQ(run.err.str(), "kairon-time: Error - Command failed: " + c.error + "\n");
    }
}

// Ctrl-C ends a command; the cleanup (from 1 s to 4 s) only at the stop
// after the one that ended the run. Any stop ends the run with 130.
TEST(LaunchSurroundings, CtrlCEndsACommandAndASecondOneAHungCleanup)
{
    const Events prepare = {"command setup", "command prepare", "end command prepare"},
                 launch = {"command setup", "command prepare", "create \"C:\\Apps\\app.exe\" ",
                           "command conclude"},
                 cleanup = {"command cleanup (ends at stop 2)"}, ended = {"end command cleanup"};
    // Stopped in the prepare command, no launch's application was running.
    const std::string stop = "kairon-time: interrupted between launches\n",
                      failed = "kairon-time: Error - Command failed: the cleanup command ";
    const std::string endedText = failed + "was ended by Ctrl-C: cleanup\n" + stop;
    const std::string closed = "kairon-time: interrupted; the application it launched is closed\n";
    const struct {
        std::int64_t stopAtMs, secondStopAtMs;
        bool cleanupNotStarted;
        Events steps;
        std::string err;
    } cases[] = {
        {500, -1, false, prepare + cleanup, stop},
        {500, 2000, false, prepare + cleanup + ended, endedText},
        {500, 500, false, prepare + Events{"command cleanup (ends at stop 3)"}, stop},
        {2000, -1, false, launch + cleanup, closed},
        {2000, 3000, false, launch + cleanup + ended,
         failed + "was ended by Ctrl-C: cleanup\n" + closed},
        {500, -1, true, prepare + cleanup, failed + "could not be started: error 2: cleanup\n" + stop},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.stopAtMs) + " " + std::to_string(c.secondStopAtMs));
        ConsoleRun run("surroundings_stopped.txt");
        SetCommands(&run.settings);
        run.fake.commandRunsMs = {{"prepare", 1000}, {"cleanup", 3000}};
        run.fake.stopAtMs = c.stopAtMs;
        run.fake.secondStopAtMs = c.secondStopAtMs;
        if (c.cleanupNotStarted)
            run.fake.commandsNotStarted.insert("cleanup");
        run.fake.errorTexts[2] = "error 2";
        EXPECT_EQ(run.Start(), kExitInterrupted);
        EXPECT_EQ(run.Steps(), c.steps);
        EXPECT_EQ(run.err.str(), c.err);
    }
}

// Windows 7 refuses console handles (0x13 here) in a command's handle
// list; a handle that is none is never listed.
TEST(LaunchSurroundings, TheHandleListLeavesOutWhatTheSystemRefuses)
{
    typedef std::vector<std::uintptr_t> Handles;
    const std::uintptr_t none = ~static_cast<std::uintptr_t>(0);
    const struct {
        bool listTakesConsoleHandles;
        Handles handles, listed;
    } cases[] = {{true, {0x10, 0x13}, {0x10, 0x13}}, {false, {0x10, 0x13}, {0x10}},
                 {false, {0x10, 0x24}, {0x10, 0x24}}, {true, {none, 0x24}, {0x24}},
                 {false, {none, 0x13}, {}}, {true, {0x10, 0}, {0x10}}};
    for (const auto& c : cases) {
        FakePlatform fake;
        fake.consoleHandles = {0x13};
        fake.listTakesConsoleHandles = c.listTakesConsoleHandles;
        EXPECT_EQ(HandlesToList(fake, c.handles), c.listed);
    }
}

TEST(LaunchSurroundings, ColdStartsOnlyWhenTheCacheIsSeenToEmpty)
{
    const std::string fails = "kairon-time: Error - Cold start: Cannot empty the file cache: ";
    const std::string notReported = fails + "this system does not report its file cache\n";
    const struct {
        PrivilegeResult privilege;
        std::vector<std::uint64_t> standby;  // before, after
        long flushStatus;
        long purgeStatus;
        std::string error;  // empty: emptied, and the launch is cold
        PrivilegeResult quota = kPrivilegeEnabled;
        unsigned long workingSetError = 0;
    } cases[] = {
        {kPrivilegeEnabled, {5000, 40}, 0, 0, ""},
        {kPrivilegeNotHeld, {5000, 40}, 0, 0,
         fails + "needs administrator rights (the profile-single-process privilege is not "
                 "held)\n"},
        {kPrivilegeFailed, {5000, 40}, 0, 0,
         fails + "could not turn on the profile-single-process privilege\n"},
        {kPrivilegeEnabled, {}, 0, 0, notReported},
        {kPrivilegeEnabled, {0, 0}, 0, 0, notReported},  // Wine's stub
        {kPrivilegeEnabled, {5000}, 0, 0, notReported},
        {kPrivilegeEnabled, {5000, 40}, static_cast<long>(0xC0000061), 0,
         fails + "writing out the modified pages failed with status 0xC0000061\n"},
        {kPrivilegeEnabled, {5000, 40}, 0, static_cast<long>(0xC0000061),
         fails + "purging the standby list failed with status 0xC0000061\n"},
        {kPrivilegeEnabled, {5000, 5000}, 0, 0,
         fails + "the standby list did not fall to a tenth: 5000 pages before, 5000 after\n"},
        {kPrivilegeEnabled, {5000, 501}, 0, 0,
         fails + "the standby list did not fall to a tenth: 5000 pages before, 501 after\n"},
        {kPrivilegeEnabled, {5000, 500}, 0, 0, ""},
        {kPrivilegeEnabled, {5000, 40}, 0, 0,
         fails + "needs administrator rights (the increase-quota privilege is not held)\n",
         kPrivilegeNotHeld},
        {kPrivilegeEnabled, {5000, 40}, 0, 0,
         fails + "could not turn on the increase-quota privilege\n", kPrivilegeFailed},
        {kPrivilegeEnabled, {5000, 40}, 0, 0,
         fails + "emptying the file cache's working set failed: Access is denied.\n",
         kPrivilegeEnabled, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        ConsoleRun run("surroundings_cold.txt");
        run.settings.coldStart = true;
        run.fake.profilePrivilege = c.privilege;
        run.fake.quotaPrivilege = c.quota;
        run.fake.workingSetError = c.workingSetError;
        run.fake.errorTexts[5] = "Access is denied.";
        run.fake.standbyPages.assign(c.standby.begin(), c.standby.end());
        run.fake.memoryListStatus = {{kMemoryFlushModifiedList, c.flushStatus},
                                     {kMemoryPurgeStandbyList, c.purgeStatus}};
        const ExitStatus status = run.Start();
        EXPECT_EQ(run.err.str(), c.error);
        EXPECT_EQ(run.fake.EventsStartingWith("create \"").size(), c.error.empty() ? 1u : 0u);
        if (!c.error.empty()) {
            EXPECT_EQ(status, kExitFailed);
            continue;
        }
        EXPECT_EQ(run.fake.EventsStartingWith("memory list"),
                  (Events{"memory list working set", "memory list 3", "memory list 4"}));
        EXPECT_EQ(run.fake.EventsStartingWith("enable privilege"),
                  (Events{"enable privilege profile", "enable privilege quota"}));
        const nlohmann::json document = nlohmann::json::parse(
            LaunchesJson(run.settings, run.observer.Launches(), kFakeFrequency,
                         [](std::string_view text) { return std::string(text); }));
        EXPECT_EQ(document["launches"][0]["cold"], true);
        EXPECT_EQ(document["launches"][0]["file_cache"],
                  nlohmann::json({{"standby_pages_before", c.standby[0]},
                                  {"standby_pages_after", c.standby[1]}}));
    }
}

TEST(LaunchSurroundings, EachFigureIsGivenOrNullNeverAnUntrueZero)
{
    JobUsage windows;  // what Windows' job accounting gives
    windows.cpuTime = 1250000;
    windows.pageFaults = 4200;
    windows.ioAnswered = true;
    windows.readBytes = 3000000;
    windows.writeBytes = 0;
    windows.processes = 3;
    windows.peakMemory = 52428800;
    JobUsage wine;  // Wine has basic accounting alone, with the process count alone
    wine.processes = 1;
    JobUsage noIo = windows;  // accounting without its I/O part
    noIo.ioAnswered = false;
    ProcessUsage own;
    own.peakWorkingSet = 26214400;
    own.pageFaults = 900;
    own.ioAnswered = true;
    own.readBytes = 100;
    ProcessUsage wineOwn;  // a real peak, no faults
    wineOwn.peakWorkingSet = 26214400;
    wineOwn.ioAnswered = true;
    const struct {
        const char* what;
        bool jobAssigned;
        bool jobRead;
        JobUsage job;
        bool ownRead;
        ProcessUsage ownUsage;
        const char* json;
    } cases[] = {
        {"Windows, a job", true, true, windows, true, own,
         R"({"scope": "tree", "cpu_seconds": 0.125, "page_faults": 4200,
             "peak_memory_bytes": 52428800, "peak_working_set_bytes": 26214400,
             "peak_working_set_scope": "process", "io_read_bytes": 3000000, "io_write_bytes": 0,
             "processes": 3})"},
        {"Wine, a job", true, true, wine, true, wineOwn,
         R"({"scope": "tree", "cpu_seconds": null, "page_faults": null,
             "peak_memory_bytes": null, "peak_working_set_bytes": 26214400,
             "peak_working_set_scope": "process", "io_read_bytes": null, "io_write_bytes": null,
             "processes": 1})"},
        {"a job without I/O accounting", true, true, noIo, true, own,
         R"({"scope": "tree", "cpu_seconds": 0.125, "page_faults": 4200,
             "peak_memory_bytes": 52428800, "peak_working_set_bytes": 26214400,
             "peak_working_set_scope": "process", "io_read_bytes": null, "io_write_bytes": null,
             "processes": 3})"},
        {"no job", false, true, windows, true, own,
         R"({"scope": "process", "cpu_seconds": null, "page_faults": 900,
             "peak_memory_bytes": null, "peak_working_set_bytes": 26214400,
             "peak_working_set_scope": "process", "io_read_bytes": 100, "io_write_bytes": 0,
             "processes": null})"},
        {"the job cannot be read", true, false, windows, true, wineOwn,
         R"({"scope": "process", "cpu_seconds": null, "page_faults": null,
             "peak_memory_bytes": null, "peak_working_set_bytes": 26214400,
             "peak_working_set_scope": "process", "io_read_bytes": null, "io_write_bytes": null,
             "processes": null})"},
        {"nothing can be read", false, false, windows, false, own,
         R"({"scope": "process", "cpu_seconds": null, "page_faults": null,
             "peak_memory_bytes": null, "peak_working_set_bytes": null,
             "peak_working_set_scope": "process", "io_read_bytes": null, "io_write_bytes": null,
             "processes": null})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ConsoleRun run("surroundings_resources.txt");
        run.fake.jobsAssigned = c.jobAssigned;
        run.fake.jobUsageRead = c.jobRead;
        run.fake.jobUsage = c.job;
        run.fake.processUsageRead = c.ownRead;
        run.fake.processUsage = c.ownUsage;
        EXPECT_EQ(run.Start(), kExitOk);
        const nlohmann::json document = nlohmann::json::parse(
            LaunchesJson(run.settings, run.observer.Launches(), kFakeFrequency,
                         [](std::string_view text) { return std::string(text); }));
        EXPECT_EQ(document["launches"][0]["resources"], nlohmann::json::parse(c.json));
        // The job is made before the start count and closed with the launch.
        const Events& events = run.fake.events;
        const auto job = std::find(events.begin(), events.end(), "create job 769");
        ASSERT_NE(job, events.end());
        EXPECT_EQ((job + 1)->rfind("counter ", 0), 0u);
        EXPECT_EQ(events.back(), c.jobAssigned ? "close job 0x301" : "close handles 0x101 0x201");
    }
}

TEST(LaunchSurroundings, TheSummaryGivesTheMedianOfWhatWasGiven)
{
    const auto record = [](bool warmup, bool baseline, std::optional<double> cpu,
                           std::uint64_t peak, std::uint64_t processes) {
        LaunchResult result(1, 2, 0.5, nullptr);
        result.warmup = warmup;
        result.baseline = baseline;
        result.resources.measured = true;
        result.resources.tree = !baseline;
        result.resources.cpuSeconds = cpu;
        result.resources.peakMemoryBytes = peak;
        result.resources.peakWorkingSetBytes = peak / 2;
        if (processes > 0)
            result.resources.processes = processes;
        return LaunchRecord(result);
    };
    const std::vector<LaunchRecord> launches = {
        record(true, false, 9.0, 1, 9),  // a warm-up: not in the figures
        record(false, true, std::nullopt, 1048576, 0),
        record(false, false, 0.1, 1048576, 1),
        record(false, false, 0.3, 3145728, 2),
    };
    RunSettings settings{};
    std::strcpy(settings.appPath, "C:\\New\\sample.exe");
    std::strcpy(settings.baselinePath, "C:\\Old\\sample.exe");
    EXPECT_EQ(ResourceSummary(settings, launches),
              "Resources of C:\\Old\\sample.exe, median of the launches that gave each (the "
              "launched process alone):\n"
              "  CPU time              not given by this system  (0 of 1)\n"
              "  page faults           not given by this system  (0 of 1)\n"
              "  peak committed memory 1.0 MiB  (1 of 1)\n"
              "  peak working set      0.5 MiB  (1 of 1)\n"
              "  read                  not given by this system  (0 of 1)\n"
              "  written               not given by this system  (0 of 1)\n"
              "  processes             not given by this system  (0 of 1)\n"
              "Resources of C:\\New\\sample.exe, median of the launches that gave each (the "
              "program and all it started):\n"
              "  CPU time              0.2000 s  (2 of 2)\n"
              "  page faults           not given by this system  (0 of 2)\n"
              "  peak committed memory 2.0 MiB  (2 of 2)\n"
              "  peak working set      1.0 MiB  (2 of 2, the launched process alone)\n"
              "  read                  not given by this system  (0 of 2)\n"
              "  written               not given by this system  (0 of 2)\n"
              "  processes             1.5  (2 of 2)\n");
    EXPECT_EQ(ResourceSummary(settings, {launches[0]}), "");
}

}  // namespace
