#include "report/results_log.h"

#include "engine/log_format.h"
#include "engine/timing_run.h"
#include "report/report_files.h"
#include "tests/fake_platform.h"
#include "tests/test_files.h"
#include "dialog/dialog_run_observer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

std::string ReadTestData(const char* name)
{
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(std::string(REPORT_TEST_DATA) + "/" + name, &bytes)) << name;
    return bytes;
}

std::vector<double> SecondsOf(const Run& run)
{
    std::vector<double> seconds;
    for (const Launch& launch : run.launches)
        seconds.push_back(launch.seconds);
    return seconds;
}

std::string WithoutCarriageReturns(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

// Kairon's own timing run, through the fake, in debug mode: the first
// launch fails input idle and finds its window minimised for good, the
// second finds no window, the third finds it at once. A title in the
// initial scan holds a line break and a time.
void WriteTimingRun(const std::string& logPath, const std::string& windowName)
{
    RunSettings settings{};
    std::strcpy(settings.appPath, "C:\\A - B\\app.exe");
    std::strcpy(settings.logPath, logPath.c_str());
    std::strcpy(settings.windowName, windowName.c_str());
    settings.executions = 3;
    settings.delayMs = 1;
    settings.debugLog = settings.waitInputIdle = settings.detectByWindowName = true;
    settings.waitVisible = settings.closeByWmClose = true;
    FakePlatform fake;
    fake.windows.push_back({0x1A2B, "Inbox\n9.9999", 1, false, 0, -1, {}, false});
    fake.launches.push_back({true, 0, 0, 1, 0});
    fake.onLaunch = [&fake, windowName](int launch) {
        if (launch == 1)
            fake.windows.push_back(
                {0xBEEF, "My " + windowName, 2, false, fake.NowMs() + 490, -1, {}, true});
        if (launch == 3)
            fake.windows.push_back({0xC0DE, windowName, 1, false, fake.NowMs(), -1, {}, true});
    };
    DialogRunObserver dialog(fake);
    TimingRun(settings, fake.platform, dialog);
}

}  // namespace

TEST(ResultsLog, SplitsTheDemoLogIntoItsRuns)
{
    ParsedLog log = ParseResultsLog(ReadTestData("demo.log"), "demo.log");
    ASSERT_TRUE(log.isResultsLog);
    EXPECT_TRUE(log.problems.empty());
    ASSERT_EQ(log.runs.size(), 3u);

    const ::Run& debugRun = log.runs[0];
    EXPECT_EQ(debugRun.source, "demo.log");
    EXPECT_EQ(debugRun.headerLine, 1);
    EXPECT_EQ(debugRun.application, "C:\\Program Files\\Quill - 2.3\\quill.exe");
    EXPECT_EQ(debugRun.announced, 12);
    EXPECT_EQ(SecondsOf(debugRun),
              (std::vector<double>{1.3812, 0.3879, 0.3926, 0.4114, 0.4222, 0.4049, 0.3767,
                                   0.6904, 0.4054, 0.4233, 0.3951, 0.3772}));
    EXPECT_EQ(debugRun.failures, (FailureCounts{0, 1, 0}));
    // The visibility failure belongs to the fifth launch, whose time follows it.
    EXPECT_EQ(debugRun.launches[4].failures, (FailureCounts{0, 1, 0}));
    EXPECT_EQ(debugRun.launches[3].failures, (FailureCounts{0, 0, 0}));
    EXPECT_EQ(debugRun.launches[0].line, 21);

    EXPECT_EQ(log.runs[1].headerLine, 92);
    EXPECT_EQ(log.runs[1].launches.size(), 12u);
    EXPECT_EQ(log.runs[2].headerLine, 105);
    EXPECT_EQ(log.runs[2].announced, 12);
    EXPECT_EQ(SecondsOf(log.runs[2]), (std::vector<double>{1.1964, 0.3688, 0.3751}));
}

TEST(ResultsLog, LineEndsMakeNoDifference)
{
    std::string crlf = ReadTestData("demo.log");
    ASSERT_NE(crlf.find("\r\n"), std::string::npos);
    std::string lf = WithoutCarriageReturns(crlf);
    ParsedLog fromCrlf = ParseResultsLog(crlf, "a");
    ParsedLog fromLf = ParseResultsLog(lf, "a");
    // And a last line without any line end.
    ParsedLog unterminated = ParseResultsLog(lf.substr(0, lf.size() - 1), "a");
    ASSERT_EQ(fromLf.runs.size(), fromCrlf.runs.size());
    ASSERT_EQ(unterminated.runs.size(), fromCrlf.runs.size());
    for (size_t i = 0; i < fromCrlf.runs.size(); ++i) {
        EXPECT_EQ(SecondsOf(fromLf.runs[i]), SecondsOf(fromCrlf.runs[i]));
        EXPECT_EQ(SecondsOf(unterminated.runs[i]), SecondsOf(fromCrlf.runs[i]));
        EXPECT_EQ(fromLf.runs[i].headerLine, fromCrlf.runs[i].headerLine);
        EXPECT_EQ(fromLf.runs[i].application, fromCrlf.runs[i].application);
    }
}

TEST(ResultsLog, WindowTitlesCannotPassForOtherLines)
{
    // Titles that hold a line break, a time, a header or a failure text;
    // "Failed to find window as visible" after a launch of 50 s or more (a
    // whole search) and after one of 5.4 s; a line cut short by the end of
    // its run; failures with no time after them.
    ParsedLog log = ParseResultsLog(ReadTestData("hostile_titles.log"), "hostile.log");
    ASSERT_TRUE(log.isResultsLog);
    ASSERT_EQ(log.runs.size(), 2u);
    const ::Run& first = log.runs[0];
    EXPECT_EQ(first.application, "C:\\Tools\\a - b\\app.exe");
    EXPECT_EQ(first.announced, 3);
    EXPECT_EQ(SecondsOf(first), (std::vector<double>{50.0312, 5.4420}));
    EXPECT_EQ(first.launches[0].line, 15);
    EXPECT_EQ(first.launches[0].failures, (FailureCounts{1, 0, 1}));
    EXPECT_EQ(first.launches[1].failures, (FailureCounts{0, 1, 0}));
    EXPECT_EQ(first.failures, (FailureCounts{1, 1, 1}));

    const ::Run& second = log.runs[1];
    EXPECT_EQ(second.headerLine, 23);
    EXPECT_EQ(second.announced, 2);
    EXPECT_TRUE(second.launches.empty());
    EXPECT_EQ(second.failures, (FailureCounts{1, 0, 0}));

    ASSERT_EQ(log.problems.size(), 1u);
    EXPECT_EQ(log.problems[0].source, "hostile.log");
    EXPECT_EQ(log.problems[0].line, 21);
    EXPECT_EQ(log.problems[0].message,
              "not a line of a results log, skipped: \"this line was typed in by hand\"");
}

TEST(ResultsLog, AnAmbiguousFailureWithoutATimeCountsAsNotFound)
{
    ParsedLog log = ParseResultsLog("a.exe - 1 executions\nFailed to find window x as visible\n",
                                    "a");
    ASSERT_EQ(log.runs.size(), 1u);
    EXPECT_EQ(log.runs[0].failures, (FailureCounts{1, 0, 0}));
}

TEST(ResultsLog, AttachesExitsAndCloseFailuresToTheirLaunches)
{
    // An exit comes before its launch's time, a close failure after it.
    struct ExpectedLaunch {
        FailureCounts failures;
        std::optional<std::uint32_t> exitCode;
        int closeFailures;
    };
    struct ExpectedRun {
        FailureCounts failures;
        int closeFailures;
        std::vector<ExpectedLaunch> launches;
    };
    struct {
        const char* text;
        std::vector<ExpectedRun> runs;
        std::vector<std::string> problems;
    } cases[] = {
        {"a.exe - 3 executions\n"
         "Application exited with code 3221225477 before it was ready\n0.0312\n"
         "0.2000\nFailed to close A\n"
         "0.2100\n",
         {{{0, 0, 0, 1}, 1,
           {{{0, 0, 0, 1}, 3221225477u, 0}, {{0, 0, 0, 0}, std::nullopt, 1},
            {{0, 0, 0, 0}, std::nullopt, 0}}}},
         {}},
        // A close failure stays with its run; one before any launch of a
        // run belongs to none.
        {"a.exe - 1 executions\n0.2000\nFailed to close A\n"
         "b.exe - 1 executions\nFailed to close B\n0.3000\n",
         {{{0, 0, 0, 0}, 1, {{{0, 0, 0, 0}, std::nullopt, 1}}},
          {{0, 0, 0, 0}, 0, {{{0, 0, 0, 0}, std::nullopt, 0}}}},
         {"5: a close failure before any launch of its run, skipped: \"Failed to close B\""}},
        // A hand-off, written before its launch's time, is that launch's.
        {"a.exe - 2 executions\n"
         "Window A belongs to a program started before this launch\n0.0100\n"
         "0.2000\n",
         {{{0, 0, 0, 0, 1}, 0,
           {{{0, 0, 0, 0, 1}, std::nullopt, 0}, {{0, 0, 0, 0, 0}, std::nullopt, 0}}}},
         {}},
        // So is a window that did not settle, and the launch after it is clean.
        {"a.exe - 2 executions\n"
         "Failed to settle A\n30.0100\n"
         "0.2000\n",
         {{{0, 0, 0, 0, 0, 1}, 0,
           {{{0, 0, 0, 0, 0, 1}, std::nullopt, 0}, {{0, 0, 0, 0, 0, 0}, std::nullopt, 0}}}},
         {}},
        // A run that ended inside a launch passes nothing on to the next run.
        {"a.exe - 2 executions\nWaitForInputIdle call failed\n"
         "Application exited with code 5 before it was ready\n"
         "b.exe - 1 executions\n0.2000\n",
         {{{0, 0, 1, 1}, 0, {}}, {{0, 0, 0, 0}, 0, {{{0, 0, 0, 0}, std::nullopt, 0}}}},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ParsedLog log = ParseResultsLog(c.text, "a");
        std::vector<std::string> problems;
        for (const LogProblem& problem : log.problems)
            problems.push_back(std::to_string(problem.line) + ": " + problem.message);
        EXPECT_EQ(problems, c.problems);
        ASSERT_EQ(log.runs.size(), c.runs.size());
        for (size_t r = 0; r < c.runs.size(); ++r) {
            const ::Run& run = log.runs[r];
            EXPECT_EQ(run.failures, c.runs[r].failures) << "run " << r + 1;
            EXPECT_EQ(run.closeFailures, c.runs[r].closeFailures) << "run " << r + 1;
            ASSERT_EQ(run.launches.size(), c.runs[r].launches.size()) << "run " << r + 1;
            for (size_t i = 0; i < run.launches.size(); ++i) {
                const ExpectedLaunch& expected = c.runs[r].launches[i];
                EXPECT_EQ(run.launches[i].failures, expected.failures) << "launch " << i + 1;
                EXPECT_EQ(run.launches[i].exitCode, expected.exitCode) << "launch " << i + 1;
                EXPECT_EQ(run.launches[i].closeFailures, expected.closeFailures)
                    << "launch " << i + 1;
                EXPECT_EQ(LaunchFailed(run.launches[i]), expected.failures != FailureCounts{})
                    << "launch " << i + 1;
            }
        }
    }
}

TEST(ResultsLog, TitleContinuationStopsAtTheNextWindowLine)
{
    // The cut line must not swallow the next run's header and time, even
    // though a complete window line follows within a title's length.
    const char text[] =
        "a.exe - 1 executions\n"
        "DEBUG: Window name: cut\n"
        "b.exe - 1 executions\n"
        "DEBUG: Window name: b (Handle: 0x2 state: 1)\n"
        "0.5000\n";
    ParsedLog log = ParseResultsLog(text, "a");
    ASSERT_EQ(log.runs.size(), 2u);
    EXPECT_TRUE(log.runs[0].launches.empty());
    EXPECT_EQ(SecondsOf(log.runs[1]), (std::vector<double>{0.5}));
    EXPECT_TRUE(log.problems.empty());
}

TEST(ResultsLog, ReportsWhatIsNotAResultsLog)
{
    struct {
        const char* text;
        int line;
        const char* message;
    } cases[] = {
        {"", 0, "not a results log: it is empty"},
        {"\r\n\r\n  \n", 0, "not a results log: it is empty"},
        {"1.2345\r\napp.exe - 1 executions\r\n", 1,
         "not a results log: it does not start with a \"<application> - <N> executions\" line"},
        {"\n\nhello\n", 3,
         "not a results log: it does not start with a \"<application> - <N> executions\" line"},
        {"\x7F" "ELF\x01\x01", 1,
         "not a results log: it does not start with a \"<application> - <N> executions\" line"},
    };
    for (const auto& c : cases) {
        ParsedLog log = ParseResultsLog(c.text, "x.txt");
        EXPECT_FALSE(log.isResultsLog) << c.text;
        EXPECT_TRUE(log.runs.empty());
        ASSERT_EQ(log.problems.size(), 1u);
        EXPECT_EQ(log.problems[0].line, c.line);
        EXPECT_EQ(log.problems[0].message, c.message);
    }
}

TEST(ResultsLog, AcceptsAByteOrderMarkAndBlankLinesFirst)
{
    ParsedLog log = ParseResultsLog("\xEF\xBB\xBF\r\napp.exe - 1 executions\r\n0.2500\r\n", "a");
    ASSERT_TRUE(log.isResultsLog);
    ASSERT_EQ(log.runs.size(), 1u);
    EXPECT_EQ(log.runs[0].application, "app.exe");
    EXPECT_EQ(log.runs[0].headerLine, 2);
}

TEST(ResultsLog, CountsForeignLinesPastTheFirstTwenty)
{
    std::string text = "app.exe - 1 executions\n";
    for (int i = 0; i < 25; ++i)
        text += "noise\x01\n";
    text += "0.1000\n";
    ParsedLog log = ParseResultsLog(text, "n.log");
    ASSERT_TRUE(log.isResultsLog);
    ASSERT_EQ(log.problems.size(), 21u);
    EXPECT_EQ(log.problems[0].line, 2);
    EXPECT_EQ(log.problems[0].message, "not a line of a results log, skipped: \"noise?\"");
    EXPECT_EQ(log.problems[19].line, 21);
    EXPECT_EQ(log.problems[20].line, 0);
    EXPECT_EQ(log.problems[20].message,
              "5 more lines that are not lines of a results log, skipped");
    EXPECT_EQ(SecondsOf(log.runs[0]), (std::vector<double>{0.1}));
}

TEST(ResultsLog, HandlesThousandsOfLaunches)
{
    std::string text = "app.exe - 20000 executions\r\n";
    for (int i = 0; i < 20000; ++i)
        text += (i % 2 ? "0.5000\r\n" : "1.0000\r\n");
    ParsedLog log = ParseResultsLog(text, "big.log");
    ASSERT_EQ(log.runs.size(), 1u);
    EXPECT_EQ(log.runs[0].launches.size(), 20000u);
    EXPECT_EQ(log.runs[0].launches.back().line, 20001);
}

TEST(ResultsLog, ReadsWhatATimingRunWrites)
{
    TempFile file("report_roundtrip.log");
    WriteTimingRun(file.path, "Sample");
    // A name that makes both give-up lines read either way; the reader
    // must then tell them apart by the time the search's limits give.
    WriteTimingRun(file.path, "window Sample as visible");

    ParsedLog log = ParseResultsLog(file.Read(), file.path);
    EXPECT_TRUE(log.problems.empty());
    ASSERT_EQ(log.runs.size(), 2u);
    for (const ::Run& run : log.runs) {
        EXPECT_EQ(run.application, "C:\\A - B\\app.exe");
        EXPECT_EQ(run.announced, 3);
        EXPECT_EQ(SecondsOf(run), (std::vector<double>{5.5, kSearchGiveUpSeconds, 0.01}));
        ASSERT_EQ(run.launches.size(), 3u);
        EXPECT_EQ(run.launches[0].failures, (FailureCounts{0, 1, 1}));
        EXPECT_EQ(run.launches[1].failures, (FailureCounts{1, 0, 0}));
        EXPECT_EQ(run.launches[2].failures, (FailureCounts{0, 0, 0}));
    }
}
