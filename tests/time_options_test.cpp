#include "console/time_options.h"

#include "console/save_config.h"
#include "report/exit_statuses.h"
#include "resources/version.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Parsed {
    TimeCommandLine result;
    RunSettings settings;
    TimeOptions options;
    std::string error;
};

Parsed Parse(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "kairon-time");
    Parsed parsed{};
    parsed.result = ParseTimeCommandLine(static_cast<int>(arguments.size()), arguments.data(),
                                         &parsed.settings, &parsed.options, &parsed.error);
    return parsed;
}

// A setting as text, so that one table holds settings of every type.
std::string Text(const char* value) { return value; }
std::string Text(const std::string& value) { return value; }
std::string Text(bool value) { return value ? "true" : "false"; }
std::string Text(std::int32_t value) { return std::to_string(value); }
std::string Text(CaptureSource value) { return "capture " + std::to_string(value); }

const std::optional<std::string> kNotLooked;

// Each setting as a command line of defaults leaves it, and as the command
// line of every option sets it; kNotLooked where a test does not look.
struct SettingRow {
    const char* name;
    std::string (*read)(const Parsed&);
    std::optional<std::string> byDefault;
    std::optional<std::string> byEveryOption;
};
#define KAIRON_SETTING(field) #field, [](const Parsed& p) { return Text(p.field); }

std::vector<SettingRow> SettingRows()
{
    return {
        {KAIRON_SETTING(settings.appPath), Text("C:\\Apps\\sample.exe"), Text("app.exe")},
        {KAIRON_SETTING(settings.windowName), Text("Sample"), kNotLooked},
        {KAIRON_SETTING(settings.detectByWindowName), Text(true), kNotLooked},
        {KAIRON_SETTING(settings.logPath), Text("results.txt"), Text("out.txt")},
        {KAIRON_SETTING(settings.cmdLineArgs), Text(""), Text("-x \"a b\"")},
        {KAIRON_SETTING(settings.executions), Text(10), Text(3)},
        {KAIRON_SETTING(settings.delayMs), Text(1000), Text(250)},
        // Close methods given replace the default.
        {KAIRON_SETTING(settings.closeByWmClose), Text(true), Text(false)},
        {KAIRON_SETTING(settings.closeBySysCommand), Text(false), Text(true)},
        {KAIRON_SETTING(settings.closeByAltF4), Text(false), Text(true)},
        {KAIRON_SETTING(settings.exactMatch), Text(false), Text(true)},
        {KAIRON_SETTING(settings.waitVisible), Text(false), Text(true)},
        {KAIRON_SETTING(settings.waitInputIdle), Text(false), Text(true)},
        {KAIRON_SETTING(settings.newWindowsOnly), Text(false), Text(true)},
        {KAIRON_SETTING(settings.debugLog), Text(false), Text(true)},
        {KAIRON_SETTING(settings.autoRun), Text(false), kNotLooked},
        {KAIRON_SETTING(options.quiet), Text(false), Text(true)},
        {KAIRON_SETTING(settings.warmups), Text(0), Text(2)},
        {KAIRON_SETTING(options.jsonPath), Text(""), Text("phases.json")},
        {KAIRON_SETTING(settings.baselinePath), Text(""), kNotLooked},
        {KAIRON_SETTING(settings.baselineLogPath), Text(""), kNotLooked},
        {KAIRON_SETTING(options.gate), Text(false), kNotLooked},
        // The phases are always marked: the summary gives their medians.
        {KAIRON_SETTING(settings.markPhases), Text(true), kNotLooked},
        {KAIRON_SETTING(settings.checkWindowOwner), Text(true), kNotLooked},
        // Nothing left running, no search for a program that died.
        {KAIRON_SETTING(settings.endLeftRunning), Text(true), kNotLooked},
        {KAIRON_SETTING(settings.stopSearchOnExit), Text(true), kNotLooked},
        {KAIRON_SETTING(settings.stopOnMissedWindow), Text(true), Text(false)},
        {KAIRON_SETTING(settings.measureResources), Text(true), kNotLooked},
        {KAIRON_SETTING(settings.wakeOnWindowEvents), Text(true), kNotLooked},
        {KAIRON_SETTING(settings.settledMs), kNotLooked, Text(250)},
        {KAIRON_SETTING(settings.settleCapture), kNotLooked, Text(kCapturePrint)},
    };
}
#undef KAIRON_SETTING

void ExpectSettings(const Parsed& p, std::optional<std::string> SettingRow::*column)
{
    for (const SettingRow& row : SettingRows()) {
        if ((row.*column).has_value()) {
            EXPECT_EQ(row.read(p), *(row.*column)) << row.name;
        }
    }
}

TEST(TimeOptions, DefaultsAreTenLaunchesASecondApartIntoResultsTxtClosedByWmClose)
{
    const Parsed p = Parse({"--window", "Sample", "C:\\Apps\\sample.exe"});
    ASSERT_EQ(p.result, kTimeRun) << p.error;
    ExpectSettings(p, &SettingRow::byDefault);
    EXPECT_EQ(FirstFailedTimeCheck(p.settings), kSettingsValid);
}

TEST(TimeOptions, EveryOptionSetsItsSetting)
{
    const Parsed p =
        Parse({"--exact", "--visible", "--input-idle", "--new-only", "--debug", "--quiet=",
               "--keep-going",
               "--args", "-x \"a b\"", "--runs", "3", "--delay", "250", "--log", "out.txt",
               "--window", "Main", "--close", "altf4", "--close", "syscommand", "--warmup", "2",
               "--json", "phases.json", "--settled", "250", "--capture", "print", "app.exe"});
    ASSERT_EQ(p.result, kTimeRun) << p.error;
    ExpectSettings(p, &SettingRow::byEveryOption);
}

TEST(TimeOptions, HelpWinsWherever)
{
    EXPECT_EQ(Parse({"--help"}).result, kTimeHelp);
    EXPECT_EQ(Parse({"app.exe", "-h"}).result, kTimeHelp);
    EXPECT_NE(TimeUsage().find("--close HOW"), std::string::npos);
    EXPECT_EQ(Parse({"--version"}).result, kTimeVersion);
    EXPECT_EQ(TimeVersion(), "kairon-time " KAIRON_VERSION_TEXT "\n");
}

// The README and the zip's guide are written by hand: each must show the
// status table both programs print, and the guide name every option of both.
TEST(TimeOptions, GuidesShowTheStatusTableAndEveryOption)
{
#ifndef KAIRON_SOURCE_DIR
    FAIL() << "kairon_tests needs KAIRON_SOURCE_DIR to find the guides";
#else
    auto read = [](const std::string& path) {
        std::ifstream file(std::string(KAIRON_SOURCE_DIR) + "/" + path, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        return text;
    };
    const std::string readme = read("README.md");
    const std::string guide = read("package/README.txt");
    EXPECT_NE(readme.find(ExitStatusTable("    ")), std::string::npos);
    EXPECT_NE(guide.find(ExitStatusTable("  ")), std::string::npos);
    EXPECT_NE(TimeUsage().find("\n" + ExitStatusTable("")), std::string::npos) << TimeUsage();

    std::ostringstream reportHelp;
    std::ostringstream ignored;
    const char* const argv[] = {"kairon-report", "--help"};
    RunReportProgram(2, argv, stdin, reportHelp, ignored);
    const std::regex option("--[a-z][a-z-]*");
    auto options = [&option](const std::string& text) {
        return std::set<std::string>(std::sregex_token_iterator(text.begin(), text.end(), option),
                                     std::sregex_token_iterator());
    };
    const std::set<std::string> inGuide = options(guide);
    for (const std::string& help : {TimeUsage(), reportHelp.str()})
        for (const std::string& name : options(help))
            EXPECT_EQ(inGuide.count(name), 1u) << name << " is not in package/README.txt";
#endif
}

TEST(TimeOptions, BadCommandLinesSayWhatIsWrong)
{
    const std::string longTitle(kWindowNameSize, 'w');
    const std::string longestTitle(kWindowNameSize - 1, 'w');
    const std::string longPath(kPathSize, 'p');
    const std::string longestPath(kPathSize - 1, 'p');
    const struct {
        std::vector<const char*> arguments;
        const char* error;
    } cases[] = {
        {{}, "no application to time"},
        {{"--window", "W"}, "no application to time"},
        {{"app.exe", "other.exe"},
         "one application only; 'other.exe' follows it (its arguments go in --args)"},
        {{"--frobnicate", "app.exe"}, "unknown option --frobnicate"},
        {{"-w", "app.exe"}, "unknown option -w"},
        {{"app.exe", "--window"}, "--window: a value must follow"},
        {{"app.exe", "--runs"}, "--runs: a value must follow"},
        {{"--window", "", "app.exe"}, "--window: the title must not be empty"},
        {{"--runs", "ten", "app.exe"}, "--runs: 'ten' is not a whole number"},
        {{"--runs=ten", "app.exe"}, "--runs: 'ten' is not a whole number"},
        {{"--exact=1", "app.exe"}, "--exact: takes no value"},
        {{"--frob=1", "app.exe"}, "unknown option --frob=1"},
        {{"--", "-a.exe", "-b.exe"},
         "one application only; '-b.exe' follows it (its arguments go in --args)"},
        {{"--runs", "", "app.exe"}, "--runs: '' is not a whole number"},
        {{"--runs", "3x", "app.exe"}, "--runs: '3x' is not a whole number"},
        {{"--runs", "2147483648", "app.exe"},
         "--runs: '2147483648' is out of range (1 to 2147483647)"},
        {{"--runs", "99999999999999999999", "app.exe"},
         "--runs: '99999999999999999999' is out of range (1 to 2147483647)"},
        {{"--delay", "-2147483649", "app.exe"},
         "--delay: '-2147483649' is out of range (1 to 2147483647)"},
        // "=" and nothing after it is an empty value, never the next argument.
        {{"--runs=", "--delay", "100", "app.exe"}, "--runs: '' is not a whole number"},
        {{"--prepare=", "--quiet", "app.exe"}, "--prepare: a command must follow"},
        {{"--delay", "1.5", "app.exe"}, "--delay: '1.5' is not a whole number"},
        {{"--close", "WM_CLOSE", "app.exe"},
         "--close: 'WM_CLOSE' is not wm_close, syscommand or altf4"},
        {{"--window", longTitle.c_str(), "app.exe"}, "--window: longer than 511 characters"},
        {{longPath.c_str()}, "APP: longer than 515 characters"},
        {{"--log", longPath.c_str(), "app.exe"}, "--log: longer than 515 characters"},
        {{"--warmup", "-1", "app.exe"}, "--warmup: '-1' is out of range (0 to 2147483647)"},
        {{"--warmup", "x", "app.exe"}, "--warmup: 'x' is not a whole number"},
        {{"--json", "", "app.exe"}, "--json: a file name must follow"},
        {{"app.exe", "--json"}, "--json: a value must follow"},
        {{"--build", "1236", "app.exe"}, "--build: only with --json, which keeps it"},
        {{"--build", "", "--json", "j", "app.exe"}, "--build: the build's id is empty"},
        {{"--save-config", "", "app.exe"}, "--save-config: a file name must follow"},
        {{"--save-config", "c.txt", "--warmup", "1", "app.exe"},
         "--save-config: config.txt has no line for --warmup"},
        {{"--save-config", "c.txt", "--json", "j", "app.exe"},
         "--save-config: config.txt has no line for --json"},
        {{"--save-config", "c.txt", "--cleanup", "del x", "app.exe"},
         "--save-config: config.txt has no line for --cleanup"},
        {{"--save-config", "c.txt", "--cold", "app.exe"},
         "--save-config: config.txt has no line for --cold"},
        {{"--prepare", "", "app.exe"}, "--prepare: a command must follow"},
        {{"--attended", "--window", "W", "app.exe"}, "--attended: only with --save-config"},
        {{"--window", "W", "--settled", "0", "app.exe"},
         "--settled: '0' is out of range (1 to 29999)"},
        {{"--window", "W", "--settled", "-5", "app.exe"},
         "--settled: '-5' is out of range (1 to 29999)"},
        {{"--window", "W", "--settled", "30000", "app.exe"},
         "--settled: '30000' is out of range (1 to 29999)"},
        {{"--window", "W", "--settled", "1s", "app.exe"}, "--settled: '1s' is not a whole number"},
        {{"app.exe", "--settled"}, "--settled: a value must follow"},
        {{"--input-idle", "--settled", "100", "app.exe"},
         "--settled: only with --window, whose pixels it watches"},
        {{"--window", "W", "--capture", "window", "app.exe"}, "--capture: only with --settled"},
        {{"--window", "W", "--settled", "100", "--capture", "gdi", "app.exe"},
         "--capture: 'gdi' is not screen, window or print"},
        {{"--save-config", "c.txt", "--window", "W", "--settled", "100", "app.exe"},
         "--save-config: config.txt has no line for --settled"},
        {{"--compare", "", "app.exe"}, "--compare: a baseline program must follow"},
        {{"--compare", "\"\"", "app.exe"}, "--compare: a baseline program must follow"},
        {{"app.exe", "--compare"}, "--compare: a value must follow"},
        {{"--compare", longPath.c_str(), "app.exe"}, "--compare: longer than 515 characters"},
        {{"--baseline-log", "b.txt", "app.exe"}, "--baseline-log: only with --compare"},
        {{"--fail-if-slower", "5", "app.exe"}, "--fail-if-slower: only with --compare"},
        {{"--significance", "0.01", "--fail-if-slower", "5", "app.exe"},
         "--significance: only with --compare"},
        {{"--compare", "old.exe", "--baseline-log", "", "app.exe"},
         "--baseline-log: a file name must follow"},
        {{"--compare", "old.exe", "--baseline-log", longPath.c_str(), "app.exe"},
         "--baseline-log: longer than 515 characters"},
        {{"--compare", "old.exe", "--log", longestPath.c_str(), "app.exe"},
         "--log: too long to name the baseline's log after it; give --baseline-log"},
        {{"--compare", "old.exe", "--fail-if-slower", "-5", "app.exe"},
         "--fail-if-slower: '-5' is not a percentage of 0 or more"},
        {{"--compare", "old.exe", "--fail-if-slower", "nan", "app.exe"},
         "--fail-if-slower: 'nan' is not a percentage of 0 or more"},
        {{"--compare", "old.exe", "--fail-if-slower", "10%", "app.exe"},
         "--fail-if-slower: '10%' is not a percentage of 0 or more"},
        {{"--compare", "old.exe", "--significance", "0.6", "app.exe"},
         "--significance: '0.6' is not a number from 0.000001 to 0.5"},
        {{"--compare", "old.exe", "--significance", "0", "app.exe"},
         "--significance: '0' is not a number from 0.000001 to 0.5"},
        {{"--compare", "old.exe", "--significance", "nan", "app.exe"},
         "--significance: 'nan' is not a number from 0.000001 to 0.5"},
        {{"--test", "welch", "app.exe"}, "--test: only with --compare"},
        {{"--max-runs", "30", "app.exe"}, "--max-runs: only with --compare"},
        {{"--compare", "old.exe", "--max-runs", "30", "app.exe"},
         "--max-runs: only with --fail-if-slower, whose gate decides when to stop"},
        {{"--compare", "old.exe", "--fail-if-slower", "5", "--runs", "20", "--max-runs", "19",
          "app.exe"},
         "--max-runs: 19 is below --runs 20"},
        {{"--compare", "old.exe", "--fail-if-slower", "5", "--max-runs", "0", "app.exe"},
         "--max-runs: '0' is out of range (1 to 2147483647)"},
        {{"--compare", "old.exe", "--test", "Welch", "app.exe"},
         "--test: 'Welch' is not rank or welch"},
        {{"--save-config", "c.txt", "--compare", "old.exe", "app.exe"},
         "--save-config: config.txt has no line for --compare"},
    };
    for (const auto& c : cases) {
        const Parsed p = Parse(c.arguments);
        SCOPED_TRACE(c.error);
        EXPECT_EQ(p.result, kTimeBadCommand);
        EXPECT_EQ(p.error, c.error);
    }
    // The limits themselves are fine.
    EXPECT_EQ(Parse({"--window", longestTitle.c_str(), "app.exe"}).result, kTimeRun);
    EXPECT_EQ(Parse({"--runs", "2147483647", "--delay", "-2147483648", "a"}).result, kTimeRun);
    EXPECT_EQ(Parse({"--warmup", "0", "a"}).result, kTimeRun);
    const std::string quotedLongestPath = "\"" + longestPath + "\"";
    EXPECT_EQ(Parse({quotedLongestPath.c_str()}).result, kTimeRun);
    for (const char* ms : {"1", "29999"})
        EXPECT_EQ(Parse({"--window", "W", "--settled", ms, "a"}).result, kTimeRun) << ms;
    EXPECT_EQ(Parse({"--window", "W", "a"}).settings.settledMs, 0);
    // What a person sees, unless asked otherwise.
    EXPECT_EQ(Parse({"--window", "W", "--settled", "9", "a"}).settings.settleCapture,
              kCaptureScreen);
    EXPECT_EQ(Parse({"--window", "W", "--settled", "9", "--capture=window", "a"})
                  .settings.settleCapture,
              kCaptureWindow);
    EXPECT_EQ(Parse({"--compare", "b", "--fail-if-slower", "0", "--significance", "0.5", "a"})
                  .result,
              kTimeRun);
    EXPECT_EQ(Parse({"--compare", "b", "--significance", "0.000001", "a"}).result, kTimeRun);
    EXPECT_EQ(Parse({"--compare", "b", "a"}).options.test, kRankTest);
    EXPECT_EQ(Parse({"--compare", "b", "--test=welch", "a"}).options.test, kWelchTest);
    // Room for "-baseline" exactly.
    const std::string roomyPath(kPathSize - 1 - std::strlen(kBaselineLogSuffix), 'p');
    EXPECT_EQ(Parse({"--compare", "b", "--log", roomyPath.c_str(), "a"}).result, kTimeRun);
}

TEST(TimeOptions, CompareSetsTheBaselineItsLogAndTheGate)
{
    Parsed p = Parse({"--window", "W", "--compare", "C:\\Old\\app.exe", "--baseline-log",
                      "old.txt", "--fail-if-slower", "2.5", "--significance", "0.01",
                      "C:\\New\\app.exe"});
    ASSERT_EQ(p.result, kTimeRun) << p.error;
    EXPECT_STREQ(p.settings.baselinePath, "C:\\Old\\app.exe");
    EXPECT_STREQ(p.settings.baselineLogPath, "old.txt");
    EXPECT_STREQ(p.settings.appPath, "C:\\New\\app.exe");
    EXPECT_STREQ(p.settings.logPath, "results.txt");
    EXPECT_TRUE(p.options.gate);
    EXPECT_EQ(p.options.slowerLimitPercent, 2.5);
    EXPECT_EQ(p.options.significanceLevel, 0.01);
    EXPECT_EQ(p.options.maxRuns, 0);
    p = Parse({"--window", "W", "--compare", "old.exe", "--fail-if-slower", "5", "--max-runs",
               "10", "new.exe"});
    ASSERT_EQ(p.result, kTimeRun) << p.error;  // as many as --runs: none added
    EXPECT_EQ(p.options.maxRuns, 10);

    // Without the gate: compared at kairon-report's level, nothing judged.
    p = Parse({"--window", "W", "--compare", "old.exe", "new.exe"});
    ASSERT_EQ(p.result, kTimeRun) << p.error;
    EXPECT_STREQ(p.settings.baselineLogPath, "results-baseline.txt");
    EXPECT_FALSE(p.options.gate);
    EXPECT_EQ(p.options.significanceLevel, 0.05);
}

// Explorer's "Copy as path" quotes a path; the quotes go as config.txt's go.
TEST(TimeOptions, PathsAndValuesAreReadAsExplorerAndShellsGiveThem)
{
    const struct {
        std::vector<const char*> arguments;
        const char* app;
        const char* baseline;
        const char* window;
        const char* args;
    } cases[] = {
        {{"\"C:\\Program Files\\App\\app.exe\""}, "C:\\Program Files\\App\\app.exe", "", "", ""},
        {{"--compare", " \"C:\\Old\\app.exe\"\t", "--window=W", "new.exe"}, "new.exe",
         "C:\\Old\\app.exe", "W", ""},
        {{"--compare=\"old.exe\"", "--args=-x=1", "new.exe"}, "new.exe", "old.exe", "", "-x=1"},
        {{"--args", "--window", "--", "-app.exe"}, "-app.exe", "", "", "--window"},
        {{"--window", "\"W\"", "--args", "\"x\"", "\"a\"b\""}, "\"a\"b\"", "", "\"W\"", "\"x\""},
    };
    for (const auto& c : cases) {
        const Parsed p = Parse(c.arguments);
        ASSERT_EQ(p.result, kTimeRun) << p.error;
        EXPECT_STREQ(p.settings.appPath, c.app);
        EXPECT_STREQ(p.settings.baselinePath, c.baseline);
        EXPECT_STREQ(p.settings.windowName, c.window);
        EXPECT_STREQ(p.settings.cmdLineArgs, c.args);
    }
}

TEST(TimeOptions, TheBaselinesLogIsNamedAfterTheLogsFileName)
{
    const struct {
        const char* log;
        const char* baselineLog;
    } cases[] = {
        {"results.txt", "results-baseline.txt"},
        {"results", "results-baseline"},
        {"out.d/results", "out.d/results-baseline"},
        {"out.d\\results", "out.d\\results-baseline"},
        {".\\runs.v2\\log.txt", ".\\runs.v2\\log-baseline.txt"},
        {"C:log.old.txt", "C:log.old-baseline.txt"},
        {"C:.log", "C:.log-baseline"},
        {"logs/.hidden", "logs/.hidden-baseline"},
        {"a.b/", "a.b/-baseline"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DefaultBaselineLog(c.log), c.baselineLog) << c.log;
        const Parsed p = Parse({"--compare", "old.exe", "--log", c.log, "new.exe"});
        ASSERT_EQ(p.result, kTimeRun) << p.error;
        EXPECT_STREQ(p.settings.baselineLogPath, c.baselineLog) << c.log;
    }
}

// Numbers the run cannot use are the checks' business, in the dialog's words.
TEST(TimeOptions, TheDialogsChecksJudgeTheSettings)
{
    const struct {
        std::vector<const char*> arguments;
        SettingsCheck check;
    } cases[] = {
        {{"--window", "W", "app.exe"}, kSettingsValid},
        {{"app.exe"}, kCheckWindowName},
        {{"--runs", "1", "app.exe"}, kCheckWindowName},
        {{"--input-idle", "--runs", "1", "app.exe"}, kSettingsValid},
        {{"--input-idle", "--window", "W", "app.exe"}, kSettingsValid},
        // Without a window nothing can be closed, so more than one launch
        // is refused, as the dialog refuses it.
        {{"--input-idle", "app.exe"}, kCheckCloseMethod},
        {{"--input-idle", "--close", "wm_close", "app.exe"}, kCheckCloseDetection},
        {{"--input-idle", "--runs", "1", "--visible", "app.exe"}, kCheckVisibleDetection},
        // A warm-up is a launch to close before the next one too.
        {{"--input-idle", "--runs", "1", "--warmup", "1", "app.exe"}, kCheckCloseMethod},
        {{"--input-idle", "--runs", "1", "--warmup", "0", "app.exe"}, kSettingsValid},
        {{"--window", "W", "--runs", "2147483647", "--warmup", "2147483647", "app.exe"},
         kSettingsValid},
        {{"--window", "W", "--runs", "0", "--warmup", "3", "app.exe"}, kCheckExecutions},
        {{"--window", "W", "--runs", "0", "app.exe"}, kCheckExecutions},
        {{"--window", "W", "--runs", "-1", "app.exe"}, kCheckExecutions},
        {{"--window", "W", "--delay", "0", "app.exe"}, kCheckDelay},
        {{"--window", "W", "--log", "", "app.exe"}, kCheckLogFile},
        {{"--window", "W", ""}, kCheckApplication},
    };
    for (const auto& c : cases) {
        const Parsed p = Parse(c.arguments);
        ASSERT_EQ(p.result, kTimeRun) << p.error;
        EXPECT_EQ(FirstFailedTimeCheck(p.settings), c.check) << p.settings.appPath;
    }
}

TEST(TimeOptions, ACheckIsToldInTheDialogsWords)
{
    EXPECT_EQ(TimeCheckMessage(kCheckWindowName),
              "No window name: Please enter the main window name so application can be "
              "closed automatically.");
    EXPECT_EQ(TimeCheckMessage(kCheckDelay), "Invalid delay: Please enter a delay time above 0");
    // Only input idle alone fails it in kairon-time: the words say the way out.
    EXPECT_EQ(TimeCheckMessage(kCheckCloseMethod),
              "Select close method: Please select at least one close method\n"
              "kairon-time: --input-idle alone cannot close APP between launches: give --runs 1 "
              "and no --warmup, or --window TITLE so that its window is closed");
}

// --save-config writes the config.txt Kairon's dialog reads for the same
// options, checked as the dialog will check them, and runs nothing.
TEST(TimeOptions, SaveConfigWritesWhatTheDialogWouldRun)
{
    TempFile config("save_config.txt");
    Parsed p = Parse({"--save-config", config.path.c_str(), "--window", "Main", "--visible",
                      "--runs", "3", "--delay", "250", "--log", "out.txt", "--args", "-a",
                      "C:\\Apps\\app.exe"});
    ASSERT_EQ(p.result, kTimeRun) << p.error;
    std::ostringstream err;
    EXPECT_EQ(SaveConfig(p.settings, p.options, err), kExitOk);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(config.Read(),
              "C:\\Apps\\app.exe\r\n-a\r\nout.txt\r\nMain\r\n3\r\n250\r\n0 1 0 1\r\n1 0 0\r\n"
              "0\r\n0\r\n1\r\n");

    p = Parse({"--save-config", config.path.c_str(), "--attended", "--window", "Main", "a.exe"});
    EXPECT_EQ(SaveConfig(p.settings, p.options, err), kExitOk);
    EXPECT_EQ(config.Read().substr(config.Read().size() - 3), "0\r\n");

    // Input idle alone passes kairon-time's checks, not the dialog's.
    TempFile refused("save_config_refused.txt");
    p = Parse({"--save-config", refused.path.c_str(), "--input-idle", "--runs", "1", "a.exe"});
    EXPECT_EQ(SaveConfig(p.settings, p.options, err), kExitUsage);
    EXPECT_EQ(err.str(),
              "kairon-time: No window name: Please enter the main window name so application "
              "can be closed automatically.\n");
    std::FILE* written = std::fopen(refused.path.c_str(), "rb");
    EXPECT_EQ(written, nullptr) << "a refused config.txt was written";
    if (written != nullptr)
        std::fclose(written);

    err.str("");
    p = Parse({"--save-config", "no-such-folder/config.txt", "--window", "W", "a.exe"});
    EXPECT_EQ(SaveConfig(p.settings, p.options, err), kExitFailed);
    EXPECT_EQ(err.str(), "kairon-time: Error: Unable to write no-such-folder/config.txt\n");
}

TEST(TimeOptions, ExitStatusesNeverChange)
{
    EXPECT_EQ(kExitOk, 0);
    EXPECT_EQ(kExitFailed, 1);
    EXPECT_EQ(kExitUsage, 2);
    EXPECT_EQ(kExitNotReady, 3);
    // kairon-report's gate statuses, the same numbers in both programs.
    EXPECT_EQ(kExitSlower, 4);
    EXPECT_EQ(kExitCannotJudge, 5);
    EXPECT_EQ(kExitInterrupted, 130);
}

}  // namespace
