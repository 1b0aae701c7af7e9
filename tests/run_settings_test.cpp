#include "config/run_settings.h"
#include "dialog/settings_capture.h"
#include "dialog/settings_warning.h"

#include "resources/control_ids.h"
#include "tests/fake_platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <ostream>
#include <string>

namespace {

RunSettings ValidSettings()
{
    RunSettings s{};
    std::strcpy(s.appPath, "C:\\Apps\\editor.exe");
    std::strcpy(s.logPath, "C:\\Logs\\results.txt");
    std::strcpy(s.windowName, "Editor");
    s.executions = 1;
    s.delayMs = 1000;
    return s;
}

const char kCheck1[] = "box No application selected | Please enter an application to run | 0x30";
const char kCheck2[] = "box No log file entered | Please enter a log file to save results to | 0x30";
const char kCheck3[] =
    "box No window name | Please enter the main window name so application can be closed "
    "automatically. | 0x30";
const char kCheck4[] =
    "box Invalid execution number | Please enter a valid number of executions to perform | 0x30";
const char kCheck5[] = "box Invalid delay | Please enter a delay time above 0 | 0x30";
const char kCheck6[] = "box Select close method | Please select at least one close method | 0x30";
const char kCheck7[] =
    "box Enter window name | Please select the Window name detection method and enter a window "
    "name\nor window cannot be checked if it is visible | 0x30";
const char kCheck8[] =
    "box No window name | Please select the Window name detection method and enter a window "
    "name\nor application can not be closed. | 0x30";

struct ValidationCase {
    const char* name;
    std::function<void(RunSettings&)> change;
    const char* expectedBox;  // nullptr: validation passes
};

// Keeps test names readable instead of dumping the case's bytes.
void PrintTo(const ValidationCase& c, std::ostream* out)
{
    *out << c.name;
}

class Validation : public ::testing::TestWithParam<ValidationCase> {};

TEST_P(Validation, ShowsTheFirstFailingCheckOnly)
{
    RunSettings settings = ValidSettings();
    GetParam().change(settings);
    FakePlatform fake;
    const bool passed = ValidateRunSettings(settings, fake);
    if (GetParam().expectedBox == nullptr) {
        EXPECT_TRUE(passed);
        EXPECT_TRUE(fake.events.empty());
    } else {
        EXPECT_FALSE(passed);
        ASSERT_EQ(fake.events.size(), 1u);
        EXPECT_EQ(fake.events[0], GetParam().expectedBox);
    }
}

const ValidationCase kValidationCases[] = {
    {"Valid", [](RunSettings&) {}, nullptr},
    {"EverythingEmptyShowsCheck1", [](RunSettings& s) { s = RunSettings{}; }, kCheck1},
    {"NoAppPath", [](RunSettings& s) { s.appPath[0] = '\0'; }, kCheck1},
    {"NoLogPath", [](RunSettings& s) { s.logPath[0] = '\0'; s.executions = 0; }, kCheck2},
    {"NoWindowNameDetectionOff", [](RunSettings& s) { s.windowName[0] = '\0'; }, kCheck3},
    {"NoWindowNameBeforeBadExecutions",
     [](RunSettings& s) { s.windowName[0] = '\0'; s.executions = 0; }, kCheck3},
    {"NoWindowNameDetectionOnPasses",
     [](RunSettings& s) { s.windowName[0] = '\0'; s.detectByWindowName = true; }, nullptr},
    {"NoWindowNameDetectionOnWithCloseMethodPasses",
     [](RunSettings& s) {
         s.windowName[0] = '\0';
         s.detectByWindowName = true;
         s.closeByAltF4 = true;
     },
     nullptr},
    {"ExecutionsZero", [](RunSettings& s) { s.executions = 0; }, kCheck4},
    {"ExecutionsNegative", [](RunSettings& s) { s.executions = -2147483647 - 1; }, kCheck4},
    {"ExecutionsMinusOne", [](RunSettings& s) { s.executions = -1; }, kCheck4},
    {"DelayZero", [](RunSettings& s) { s.delayMs = 0; }, kCheck5},
    {"DelayNegative", [](RunSettings& s) { s.delayMs = -1; }, kCheck5},
    {"DelayOnePasses", [](RunSettings& s) { s.delayMs = 1; }, nullptr},
    {"TwoExecutionsNoCloseMethod", [](RunSettings& s) { s.executions = 2; }, kCheck6},
    {"TwoExecutionsNoCloseMethodEvenWithDetection",
     [](RunSettings& s) { s.executions = 2; s.detectByWindowName = true; }, kCheck6},
    {"OneExecutionNoCloseMethodNoDetectionPasses", [](RunSettings& s) { s.executions = 1; },
     nullptr},
    {"VisibleWithoutDetection", [](RunSettings& s) { s.waitVisible = true; }, kCheck7},
    {"VisibleWithoutDetectionBeforeCloseCheck",
     [](RunSettings& s) { s.waitVisible = true; s.closeByWmClose = true; }, kCheck7},
    {"WmCloseWithoutDetection", [](RunSettings& s) { s.closeByWmClose = true; }, kCheck8},
    {"SysCommandWithoutDetection", [](RunSettings& s) { s.closeBySysCommand = true; }, kCheck8},
    {"AltF4WithoutDetection", [](RunSettings& s) { s.closeByAltF4 = true; }, kCheck8},
    {"EverythingOnWithDetectionPasses",
     [](RunSettings& s) {
         s.executions = 2147483647;
         s.delayMs = 2147483647;
         s.closeByWmClose = s.closeBySysCommand = s.closeByAltF4 = true;
         s.detectByWindowName = s.exactMatch = s.debugLog = s.newWindowsOnly = true;
         s.waitInputIdle = s.waitVisible = true;
     },
     nullptr},
};

INSTANTIATE_TEST_SUITE_P(Checks, Validation, ::testing::ValuesIn(kValidationCases),
                         [](const ::testing::TestParamInfo<ValidationCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(Validation, ChecksComeInOrderAsEachIsFixed)
{
    RunSettings s{};
    s.waitVisible = true;
    const std::vector<std::function<void()>> fixes = {
        [&] { std::strcpy(s.appPath, "a.exe"); },
        [&] { std::strcpy(s.logPath, "log.txt"); },
        [&] { std::strcpy(s.windowName, "A"); },
        [&] { s.executions = 2; },
        [&] { s.delayMs = 5; },
        [&] { s.closeByWmClose = true; },
        [&] { s.waitVisible = false; },
        [&] { s.detectByWindowName = true; },
    };
    std::vector<std::string> shown;
    // The checks as the core names them too, for a front end with no dialog.
    std::vector<SettingsCheck> named;
    for (const auto& fix : fixes) {
        FakePlatform fake;
        EXPECT_FALSE(ValidateRunSettings(s, fake));
        ASSERT_EQ(fake.events.size(), 1u);
        shown.push_back(fake.events[0]);
        named.push_back(FirstFailedCheck(s));
        fix();
    }
    FakePlatform fake;
    EXPECT_TRUE(ValidateRunSettings(s, fake));
    named.push_back(FirstFailedCheck(s));
    const std::vector<std::string> expected = {kCheck1, kCheck2, kCheck3, kCheck4,
                                               kCheck5, kCheck6, kCheck7, kCheck8};
    EXPECT_EQ(shown, expected);
    const std::vector<SettingsCheck> expectedChecks = {
        kCheckApplication, kCheckLogFile,      kCheckWindowName,       kCheckExecutions,
        kCheckDelay,       kCheckCloseMethod,  kCheckVisibleDetection, kCheckCloseDetection,
        kSettingsValid};
    EXPECT_EQ(named, expectedChecks);
}

TEST(Capture, ReadsEveryFieldInOrderAndLeavesAutoRunAlone)
{
    FakePlatform fake;
    fake.texts = {{IDC_APP_PATH, "C:\\Apps\\editor.exe"}, {IDC_LOG_PATH, "log.txt"},
                  {IDC_WINDOW_NAME, "Editor"},                {IDC_CMD_LINE, "-n file.txt"},
                  {IDC_EXECUTIONS, "10"},                     {IDC_DELAY, "5000"}};
    fake.checked[IDC_CLOSE_SYSCOMMAND] = true;
    fake.checked[IDC_EXACT_MATCH] = true;
    fake.checked[IDC_VISIBLE] = true;
    RunSettings s = ValidSettings();
    s.autoRun = true;
    s.closeByWmClose = true;  // a check box the user has cleared since
    CaptureRunSettings(fake, &s);

    const std::vector<std::string> expectedReads = {
        "get text IDC_APP_PATH",          "get text IDC_LOG_PATH",
        "get text IDC_WINDOW_NAME",       "get text IDC_CMD_LINE",
        "get number IDC_EXECUTIONS",      "get number IDC_DELAY",
        "get check IDC_CLOSE_WM_CLOSE",   "get check IDC_CLOSE_SYSCOMMAND",
        "get check IDC_CLOSE_ALT_F4",     "get check IDC_DETECT_WINDOW_NAME",
        "get check IDC_EXACT_MATCH",      "get check IDC_DEBUG",
        "get check IDC_NEW_WINDOWS_ONLY", "get check IDC_INPUT_IDLE",
        "get check IDC_VISIBLE"};
    EXPECT_EQ(fake.events, expectedReads);
    EXPECT_STREQ(s.appPath, "C:\\Apps\\editor.exe");
    EXPECT_STREQ(s.logPath, "log.txt");
    EXPECT_STREQ(s.windowName, "Editor");
    EXPECT_STREQ(s.cmdLineArgs, "-n file.txt");
    EXPECT_EQ(s.executions, 10);
    EXPECT_EQ(s.delayMs, 5000);
    EXPECT_FALSE(s.closeByWmClose);
    EXPECT_TRUE(s.closeBySysCommand);
    EXPECT_FALSE(s.closeByAltF4);
    EXPECT_FALSE(s.detectByWindowName);
    EXPECT_TRUE(s.exactMatch);
    EXPECT_FALSE(s.debugLog);
    EXPECT_FALSE(s.newWindowsOnly);
    EXPECT_FALSE(s.waitInputIdle);
    EXPECT_TRUE(s.waitVisible);
    EXPECT_TRUE(s.autoRun);
}

struct NumberCase {
    const char* text;
    std::int32_t held;
};

TEST(Capture, NumbersAreReadWithoutSignAndHeldSigned)
{
    const NumberCase cases[] = {
        {"1", 1},
        {"2147483647", 2147483647},
        {"2147483648", -2147483647 - 1},
        {"4294967295", -1},
        {"4294967296", 0},
        {"99999999999", 0},
        {"", 0},
        {"12abc", 0},
        {"-5", 0},
    };
    for (const NumberCase& c : cases) {
        FakePlatform fake;
        fake.texts[IDC_EXECUTIONS] = c.text;
        fake.texts[IDC_DELAY] = c.text;
        RunSettings s{};
        CaptureRunSettings(fake, &s);
        EXPECT_EQ(s.executions, c.held) << c.text;
        EXPECT_EQ(s.delayMs, c.held) << c.text;
    }
}

TEST(Capture, LargeNumbersFailTheNumberChecks)
{
    FakePlatform fake;
    fake.texts = {{IDC_APP_PATH, "a.exe"},
                  {IDC_LOG_PATH, "log.txt"},
                  {IDC_WINDOW_NAME, "A"},
                  {IDC_EXECUTIONS, "2147483648"},
                  {IDC_DELAY, "1000"}};
    RunSettings s{};
    CaptureRunSettings(fake, &s);
    fake.events.clear();
    EXPECT_FALSE(ValidateRunSettings(s, fake));
    EXPECT_EQ(fake.events, std::vector<std::string>{kCheck4});

    fake.texts[IDC_EXECUTIONS] = "1";
    fake.texts[IDC_DELAY] = "4294967295";
    CaptureRunSettings(fake, &s);
    fake.events.clear();
    EXPECT_FALSE(ValidateRunSettings(s, fake));
    EXPECT_EQ(fake.events, std::vector<std::string>{kCheck5});
}

// What the application field holds, and the path a run starts.
TEST(Capture, QuotesAroundTheWholeApplicationPathAreRemoved)
{
    const struct {
        const char* field;
        const char* captured;
    } cases[] = {
        {"\"C:\\A B\\app.exe\"", "C:\\A B\\app.exe"},
        {"C:\\A B\\app.exe", "C:\\A B\\app.exe"},
        {"  \"C:\\x.exe\"  ", "C:\\x.exe"},
        {"\t\"C:\\x.exe\"\t", "C:\\x.exe"},
        {"\" C:\\x.exe \"", " C:\\x.exe "},
        {"  C:\\x.exe  ", "  C:\\x.exe  "},
        {"\"\"", ""},
        {"  \"\"  ", ""},
        {"\"a\"", "a"},
        {"\"", "\""},
        {"  \"  ", "  \"  "},
        {"\"C:\\x.exe", "\"C:\\x.exe"},
        {"C:\\x.exe\"", "C:\\x.exe\""},
        {"\"C:\\a\"b.exe\"", "\"C:\\a\"b.exe\""},
        {"\"C:\\a.exe\" \"C:\\b.exe\"", "\"C:\\a.exe\" \"C:\\b.exe\""},
        {"\"C:\\x.exe\" -v", "\"C:\\x.exe\" -v"},
        {"x\"C:\\x.exe\"", "x\"C:\\x.exe\""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        FakePlatform fake;
        fake.texts[IDC_APP_PATH] = c.field;
        RunSettings s{};
        CaptureRunSettings(fake, &s);
        EXPECT_STREQ(s.appPath, c.captured);
    }

    // Only the application path: the other texts are kept as typed.
    FakePlatform fake;
    fake.texts[IDC_LOG_PATH] = "\"C:\\Logs\\r.txt\"";
    fake.texts[IDC_WINDOW_NAME] = "\"Win\"";
    fake.texts[IDC_CMD_LINE] = "\"a b.txt\"";
    RunSettings s{};
    CaptureRunSettings(fake, &s);
    EXPECT_STREQ(s.logPath, "\"C:\\Logs\\r.txt\"");
    EXPECT_STREQ(s.windowName, "\"Win\"");
    EXPECT_STREQ(s.cmdLineArgs, "\"a b.txt\"");
}

TEST(Capture, TextsAreCutToTheirBuffers)
{
    FakePlatform fake;
    fake.texts[IDC_APP_PATH] = std::string(600, 'p');
    fake.texts[IDC_WINDOW_NAME] = std::string(600, 'w');
    RunSettings s{};
    CaptureRunSettings(fake, &s);
    EXPECT_EQ(std::strlen(s.appPath), 515u);
    EXPECT_EQ(std::strlen(s.windowName), 511u);
}

TEST(Validation, TwoExecutionsWithoutCloseMethodFailCheck6)
{
    RunSettings s = ValidSettings();
    s.executions = 2;
    s.waitVisible = true;  // check 7 would fail too, but check 6 comes first
    FakePlatform fake;
    EXPECT_FALSE(ValidateRunSettings(s, fake));
    EXPECT_EQ(fake.events, std::vector<std::string>{kCheck6});
}

}  // namespace
