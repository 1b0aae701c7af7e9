#include "console/console_run_observer.h"

#include "console/new_run_report.h"
#include "engine/timing_run.h"
#include "report/report_program.h"
#include "tests/fake_platform.h"
#include "tests/test_files.h"
#include "ui/dialog_run_observer.h"

#include <gtest/gtest.h>

#include <cstring>
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

const char kLaunchProgress[] =
    "launch 1/4: 0.0400 s\n"
    "launch 2/4: WaitForInputIdle call failed\n"
    "launch 3/4: 0.0300 s\n"
    "launch 4/4: Failed to find window sample\n";

// Whoever watches, the log is the same: scripts that read Kairon's logs
// read kairon-time's.
TEST(ConsoleRunObserver, TheLogHasTheBytesTheDialogWrites)
{
    TempFile dialogLog("dialog_observer.txt");
    FakePlatform dialogFake;
    ScriptLaunches(dialogFake);
    DialogRunObserver dialog(dialogFake);
    TimingRun(LaunchSettings(dialogLog.path), dialogFake.platform, dialog);

    TempFile consoleLog("console_observer.txt");
    FakePlatform consoleFake;
    ScriptLaunches(consoleFake);
    std::ostringstream err;
    ConsoleRunObserver console(err, false);
    TimingRun(LaunchSettings(consoleLog.path), consoleFake.platform, console);

    const std::string bytes = dialogLog.Read();
    EXPECT_NE(bytes.find(Native("WaitForInputIdle call failed\n")), std::string::npos) << bytes;
    EXPECT_NE(bytes.find(Native("Failed to find window sample\n"
                                "Application exited with code 7 before it was ready\n50.0100\n")),
              std::string::npos)
        << bytes;
    EXPECT_EQ(consoleLog.Read(), bytes);
    EXPECT_EQ(err.str(), kLaunchProgress);
    EXPECT_EQ(console.ExitStatus(), kTimeExitNotReady);
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
    EXPECT_EQ(console.ExitStatus(), kTimeExitNotReady);

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
        TimeExitStatus status;
    } cases[] = {
        {"reached", {1, 10, 0.42857, nullptr}, "launch 1/10: 0.4286 s\n", kTimeExitReady},
        {"zero", {10, 10, 0.0, nullptr}, "launch 10/10: 0.0000 s\n", kTimeExitReady},
        {"not found", {2, 3, 50.1, "Failed to find window Sample"},
         "launch 2/3: Failed to find window Sample\n", kTimeExitNotReady},
    };
    for (const auto& c : cases) {
        std::ostringstream err;
        ConsoleRunObserver console(err, false);
        console.LaunchTimed(c.result);
        console.RunEnded(kRunFinished);
        EXPECT_EQ(err.str(), c.line) << c.what;
        EXPECT_EQ(console.ExitStatus(), c.status) << c.what;
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
    EXPECT_EQ(console.ExitStatus(), kTimeExitFailed);
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
    EXPECT_EQ(console.ExitStatus(), kTimeExitFailed);
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

    EXPECT_EQ(NewRunReport(log.path, bytes, firstRun.size()), whole.substr(second));
    // The log did not grow: the run wrote nothing, there is nothing new.
    EXPECT_EQ(NewRunReport(log.path, bytes, bytes.size()), "");
    EXPECT_EQ(NewRunReport(log.path, "not a log\n", 0), "");
}

}  // namespace
