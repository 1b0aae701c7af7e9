#include "report/terminal_report.h"

#include "report/results_log.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The line of a run block that starts with the label, or "" without one.
std::string FieldLine(const std::string& block, const std::string& label)
{
    size_t start = block.find("\n  " + label + ":");
    if (start == std::string::npos)
        return "";
    ++start;
    return block.substr(start, block.find('\n', start) + 1 - start);
}

// The run block's outlier line, for a run of 40 launches of 1 s followed
// by the given number of 9 s ones. With most times equal the MAD is 0 and
// the mean absolute deviation stands in: 10 slow ones score
// 8 / (1.253314 * 80 / 50) = 3.99, 11 score 3.70, both above 3.5.
std::string OutlierLine(int slowLaunches)
{
    Run run;
    run.application = "app.exe";
    for (int i = 0; i < 40 + slowLaunches; ++i) {
        Launch launch;
        launch.seconds = i < 40 ? 1.0 : 9.0;
        run.launches.push_back(launch);
    }
    run.announced = static_cast<std::int64_t>(run.launches.size());
    return FieldLine(FormatRunBlock(AnalyzeRun(run, 1, false)), "Outliers");
}

}  // namespace

TEST(TerminalReport, OutlierListNamesTenThenCountsTheRest)
{
    const std::string ten =
        "launch 41 (9.0000 s), launch 42 (9.0000 s), launch 43 (9.0000 s), "
        "launch 44 (9.0000 s), launch 45 (9.0000 s), launch 46 (9.0000 s), "
        "launch 47 (9.0000 s), launch 48 (9.0000 s), launch 49 (9.0000 s), "
        "launch 50 (9.0000 s)";
    struct {
        int slowLaunches;
        std::string line;
    } cases[] = {
        {10, "  Outliers:               10 of 50: " + ten + "\n"},
        {11, "  Outliers:               11 of 51: " + ten + " and 1 more\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OutlierLine(c.slowLaunches), c.line) << c.slowLaunches << " slow launches";
}

TEST(TerminalReport, FailedLaunchesAreListedAndWhatIsCountedSaid)
{
    // Launch 1 gave up its search, launch 2 was left running, launch 3
    // crashed: counted are launches 2 and 4, 0.2 and 0.21 s. With the
    // failed ones, the warm median is 0.2 s.
    const char failing[] =
        "a.exe - 4 executions\n"
        "Failed to find window W\n57.3279\n"
        "0.2000\nFailed to close W\n"
        "WaitForInputIdle call failed\n"
        "Application exited with code 3221225477 before it was ready\n0.0312\n"
        "0.2100\n";
    const char clean[] = "a.exe - 3 executions\n0.2000\n0.2100\n0.2200\n";
    const char handedOff[] = "a.exe - 2 executions\n"
                             "Window W belongs to a program started before this launch\n"
                             "0.0100\n0.2000\n";
    const char notSettled[] = "a.exe - 2 executions\n0.7000\n"
                              "Failed to settle W\n30.0100\n";
    const std::string failedList =
        "  Failed launches:        2 of 4: launch 1 (57.3279 s: window not found), launch 3 "
        "(0.0312 s: input idle failed, exited with code 3221225477)\n";
    struct {
        const char* log;
        bool skipFirst;
        bool includeFailed;
        const char* label;
        std::string line;
    } cases[] = {
        {failing, false, false, "Failures",
         "  Failures:               window not found 1, input idle failed 1, exited before "
         "ready 1\n"},
        {failing, false, false, "Failed launches", failedList},
        {handedOff, false, false, "Failures", "  Failures:               handed off 1\n"},
        {handedOff, false, false, "Failed launches",
         "  Failed launches:        1 of 2: launch 1 (0.0100 s: handed off)\n"},
        {notSettled, false, false, "Failures", "  Failures:               not settled 1\n"},
        {notSettled, false, false, "Failed launches",
         "  Failed launches:        1 of 2: launch 2 (30.0100 s: not settled)\n"},
        {failing, false, true, "Failed launches", failedList},
        {failing, false, false, "Failed to close", "  Failed to close:        1\n"},
        {failing, false, false, "Counted",
         "  Counted:                2 of 4 launches (failed launches are left out)\n"},
        {failing, false, true, "Counted",
         "  Counted:                4 of 4 launches (failed launches are counted too)\n"},
        {failing, true, false, "Counted",
         "  Counted:                2 of 4 launches (the first and failed launches are left "
         "out)\n"},
        {failing, true, true, "Counted",
         "  Counted:                3 of 4 launches (the first is left out; failed launches "
         "are counted too)\n"},
        {failing, false, false, "Time (mean +/- sd)",
         "  Time (mean +/- sd):     0.2050 s +/- 0.0071 s\n"},
        {failing, false, true, "Range (min .. max)",
         "  Range (min .. max):     0.0312 s .. 57.3279 s\n"},
        // The first launch failed: no cold start to show.
        {failing, false, false, "Cold (launch 1)", ""},
        {failing, false, true, "Cold (launch 1)",
         "  Cold (launch 1):        57.3279 s (286.64 x the warm median)\n"},
        {clean, false, false, "Failed launches", ""},
        {clean, false, false, "Failed to close", ""},
        {clean, false, false, "Counted", ""},
        {clean, false, true, "Counted", ""},
        {clean, true, false, "Counted",
         "  Counted:                launches 2..3 (the first is left out)\n"},
    };
    for (const auto& c : cases) {
        ParsedLog log = ParseResultsLog(c.log, "t.log");
        std::string block =
            FormatRunBlock(AnalyzeRun(log.runs[0], 1, c.skipFirst, c.includeFailed));
        EXPECT_EQ(FieldLine(block, c.label), c.line)
            << "skip " << c.skipFirst << ", include " << c.includeFailed << "\n" << block;
    }
}
