#include "report/report_program.h"

#include "resources/version.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

Outcome RunReport(std::vector<std::string> args, const std::string& input = "")
{
    args.insert(args.begin(), "kairon-report");
    std::vector<const char*> argv;
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    std::FILE* stdinLike = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), stdinLike);
    std::rewind(stdinLike);
    std::ostringstream out;
    std::ostringstream err;
    int code = RunReportProgram(static_cast<int>(argv.size()), argv.data(), stdinLike, out, err);
    std::fclose(stdinLike);
    return {code, out.str(), err.str()};
}

// A run of kairon-report whose status is `exitCode` and whose output
// holds `gate`.
struct GateCase {
    std::vector<std::string> args;
    int exitCode;
    std::string gate;
};

void ExpectGate(const GateCase& c)
{
    Outcome outcome = RunReport(c.args);
    std::string args;
    for (const std::string& arg : c.args)
        args += " " + arg;
    EXPECT_EQ(outcome.exitCode, c.exitCode) << args << "\n" << outcome.err;
    EXPECT_NE(outcome.out.find(c.gate), std::string::npos) << args << "\n" << outcome.out;
}

const char kNotes[] =
    "Notes: sd of a sample (n - 1); percentiles between the closest ranks; outliers:\n"
    "  modified Z-score over 3.5 (Iglewicz-Hoaglin, from the MAD) and 5% off the median.\n";

}  // namespace

TEST(ReportProgram, PrintsOneBlockPerRun)
{
    // Run 1 worked by hand (see the export tests): launches 1 and 4 failed,
    // which leaves 0.25 and 1 s; with them, 0.5, 0.25, 1, 0.25 s, warm
    // 0.25, 1, 0.25: mean 0.5, sd sqrt(0.1875) = 0.4330.
    TempFile log("program_blocks.log");
    log.Write("C:\\Apps\\a - b.exe - 4 executions\r\n"
              "Failed to find window W\r\n0.5000\r\n0.2500\r\n1.0000\r\n"
              "WaitForInputIdle call failed\r\n0.2500\r\n"
              "b.exe - 2 executions\r\n0.2000\r\n"
              "c.exe - 3 executions\r\n");
    const std::string head =
        "Run 1: C:\\Apps\\a - b.exe\n"
        "  Log:                    " + log.path + ", line 1\n"
        "  Launches:               2 of 4 completed, 2 failed\n"
        "  Failures:               window not found 1, input idle failed 1\n"
        "  Failed launches:        2 of 4: launch 1 (0.5000 s: window not found), launch 4 "
        "(0.2500 s: input idle failed)\n";
    const std::string warningEnd =
        "% of the mean: the mean says little\n"
        "  about a typical launch, the median more. Look at the outliers, the first\n"
        "  launch, and at what else was running.\n"
        "\n";
    struct {
        std::vector<std::string> args;
        std::string run1;
    } cases[] = {
        {{log.path},
         head +
             "  Counted:                2 of 4 launches (failed launches are left out)\n"
             "  Time (mean +/- sd):     0.6250 s +/- 0.5303 s\n"
             "  Median:                 0.6250 s\n"
             "  Range (min .. max):     0.2500 s .. 1.0000 s\n"
             "  Percentiles (5, 95):    0.2875 s, 0.9625 s\n"
             "  Outliers:               0 of 2\n"
             "  Warning: the standard deviation is 85" + warningEnd},
        {{log.path, "--include-failed"},
         head +
             "  Counted:                4 of 4 launches (failed launches are counted too)\n"
             "  Time (mean +/- sd):     0.5000 s +/- 0.3536 s\n"
             "  Median:                 0.3750 s\n"
             "  Range (min .. max):     0.2500 s .. 1.0000 s\n"
             "  Percentiles (5, 95):    0.2500 s, 0.9250 s\n"
             "  Cold (launch 1):        0.5000 s (2.00 x the warm median)\n"
             "  Warm (launches 2..4):   0.5000 s +/- 0.4330 s, median 0.2500 s\n"
             "  Outliers:               0 of 4\n"
             "  Warning: the standard deviation is 71" + warningEnd},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        Outcome outcome = RunReport(c.args);
        EXPECT_EQ(outcome.exitCode, kExitOk);
        EXPECT_EQ(outcome.err, "");
        EXPECT_EQ(outcome.out,
                  c.run1 +
                  "Run 2: b.exe\n"
                  "  Log:                    " + log.path + ", line 8\n"
                  "  Launches:               1 of 2 completed (the run ended early)\n"
                  "  Failures:               none\n"
                  "  Time:                   0.2000 s (one launch: no spread)\n"
                  "\n"
                  "Run 3: c.exe\n"
                  "  Log:                    " + log.path + ", line 10\n"
                  "  Launches:               0 of 3 completed (the run ended before its first "
                  "launch completed)\n"
                  "  Failures:               none\n"
                  "\n" + kNotes);
    }
}

TEST(ReportProgram, ComparesAndSkipsTheFirstLaunch)
{
    // Warm launches 1.0, 1.1, 0.9 (mean 1, sd 0.1) against 2.0, 2.2, 1.8
    // (mean 2, sd 0.2): ratio 2 +/- 2 sqrt(0.02) = 0.28; t = 7.746 with
    // 2.94 df, p = 0.0048 (Python: statistics and mpmath.betainc). Against
    // run 2 with every launch: means 2 and 3.75, ratio 0.53 +/- 0.73, p = 0.4272.
    // The U test (SciPy's mannwhitneyu): p = 0.0809 warm, 0.1939 with every
    // launch; medians 2 (numpy's bootstrap: 1.64 to 2.44) and 1.05 / 2.1.
    TempFile first("program_a.log");
    first.Write("a.exe - 4 executions\n5.0000\n1.0000\n1.1000\n0.9000\n");
    TempFile second("program_b.log");
    second.Write("b.exe - 4 executions\n9.0000\n2.0000\n2.2000\n1.8000\n");
    Outcome outcome = RunReport({"--compare", "--skip-first", first.path, second.path});
    EXPECT_EQ(outcome.exitCode, kExitOk) << outcome.err;
    const std::string reference = "Comparison against run 1, the fastest\n(the U test decides: "
                                  "significant when p < 0.05):\n"
                                  "  Run 1: median 1.0000 s  (reference)\n"
                                  "         mean 1.0000 s\n"
                                  "  Run 2: median 2.0000 s  2.00 x (1.64 to 2.44)  U test p = 0.0809";
    EXPECT_NE(outcome.out.find(reference + ": no significant difference\n"
                                           "         mean 2.0000 s  2.00 +/- 0.28 x  Welch p = 0.0048\n"
                                           "U test: Mann-Whitney U test, two-sided; Welch: Welch's "
                                           "t-test, two-sided;\nin brackets: the 95% percentile "
                                           "bootstrap interval of the ratio of medians, 10000 "
                                           "resamples.\n"),
              std::string::npos)
        << outcome.out;
    Outcome welch =
        RunReport({"--compare", "--skip-first", "--test", "welch", first.path, second.path});
    std::string expected = reference + "\n         mean 2.0000 s  2.00 +/- 0.28 x  Welch p = "
                                       "0.0048: significantly slower\n";
    expected.replace(expected.find("U test decides"), 6, "Welch test");
    EXPECT_NE(welch.out.find(expected), std::string::npos) << welch.out;
    EXPECT_NE(outcome.out.find("  Counted:                launches 2..4 (the first is left "
                               "out)\n"),
              std::string::npos);

    Outcome against = RunReport({"--reference", "2", first.path, second.path});
    EXPECT_NE(against.out.find("  Run 1: median 1.0500 s  0.50 x (0.12 to 2.38)  U test p = 0.1939: "
                               "no significant difference\n"
                               "         mean 2.0000 s  0.53 +/- 0.73 x  Welch p = 0.4272\n"),
              std::string::npos)
        << against.out;
}

TEST(ReportProgram, ReadsStandardInput)
{
    Outcome outcome = RunReport({}, "app.exe - 1 executions\r\n0.7500\r\n");
    EXPECT_EQ(outcome.exitCode, kExitOk);
    EXPECT_NE(outcome.out.find("  Log:                    <stdin>, line 1\n"), std::string::npos);
    Outcome dash = RunReport({"-"}, "app.exe - 1 executions\n0.7500\n");
    EXPECT_EQ(dash.out, outcome.out);
}

TEST(ReportProgram, RejectsMissingAndForeignFiles)
{
    Outcome missing = RunReport({"no-such-kairon-log.txt"});
    EXPECT_EQ(missing.exitCode, kExitFailed);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err.find("no-such-kairon-log.txt: cannot be read: "), 0u) << missing.err;

    TempFile foreign("program_foreign.txt");
    foreign.Write("Dear diary,\n1.2345\n");
    TempFile good("program_good.log");
    good.Write("app.exe - 1 executions\n0.1000\n");
    Outcome notALog = RunReport({good.path, foreign.path});
    EXPECT_EQ(notALog.exitCode, kExitFailed);
    EXPECT_EQ(notALog.out, "");
    EXPECT_EQ(notALog.err, foreign.path +
                               ":1: not a results log: it does not start with a "
                               "\"<application> - <N> executions\" line\n");

    TempFile empty("program_empty.log");
    empty.Write("");
    Outcome nothing = RunReport({empty.path});
    EXPECT_EQ(nothing.exitCode, kExitFailed);
    EXPECT_EQ(nothing.err, empty.path + ": not a results log: it is empty\n");
}

TEST(ReportProgram, SkipsForeignLinesWithTheirPlace)
{
    TempFile log("program_noise.log");
    log.Write("app.exe - 2 executions\r\n0.1000\r\nhello\r\n0.2000\r\n");
    Outcome outcome = RunReport({log.path});
    EXPECT_EQ(outcome.exitCode, kExitOk);
    EXPECT_EQ(outcome.err,
              log.path + ":3: not a line of a results log, skipped: \"hello\"\n");
    EXPECT_NE(outcome.out.find("2 of 2 completed"), std::string::npos);
}

TEST(ReportProgram, WritesEveryExportAndFailsOnOneItCannotWrite)
{
    TempFile log("program_exports.log");
    log.Write("app.exe - 2 executions\n0.1000\n0.2000\n");
    TempFile csv("program.csv");
    TempFile json("program.json");
    TempFile hyperfine("program_hyperfine.json");
    TempFile markdown("program.md");
    TempFile svg("program.svg");
    Outcome outcome = RunReport({log.path, "--export-csv", csv.path, "--export-json", json.path,
                                 "--export-hyperfine", hyperfine.path, "--export-markdown",
                                 markdown.path, "--export-svg", svg.path});
    EXPECT_EQ(outcome.exitCode, kExitOk) << outcome.err;
    EXPECT_EQ(csv.Read().find("run,log,header_line,"), 0u);
    EXPECT_EQ(json.Read().find("{\n  \"unit\": \"seconds\","), 0u);
    EXPECT_EQ(hyperfine.Read().find("{\n  \"results\": [\n    {\n      \"command\": \"app.exe\","),
              0u);
    EXPECT_EQ(markdown.Read().find("| Run | Application |"), 0u);
    EXPECT_EQ(svg.Read().find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg "), 0u);

    Outcome unwritable =
        RunReport({log.path, "--export-svg", "no-such-kairon-folder/chart.svg"});
    EXPECT_EQ(unwritable.exitCode, kExitFailed);
    EXPECT_EQ(unwritable.err.find("no-such-kairon-folder/chart.svg: cannot be written: "), 0u)
        << unwritable.err;
}

TEST(ReportProgram, ListsTheExportsAndWritesThemInThatOrder)
{
    Outcome help = RunReport({"--help"});
    EXPECT_NE(help.out.find(
                  "  --export-csv FILE           Write every launch time as CSV\n"
                  "  --export-json FILE          Write every launch time and the summaries as "
                  "JSON\n"
                  "  --export-hyperfine FILE     Write the runs in the JSON layout of "
                  "hyperfine's --export-json\n"
                  "  --export-markdown FILE      Write the summary table as Markdown\n"
                  "  --export-svg FILE           Write a chart of the launches of every run as "
                  "SVG\n\n"),
              std::string::npos)
        << help.out;

    // An export that cannot be written stops none of the others, and each
    // failure is reported in the usage's order, not the command line's.
    TempFile log("program_order.log");
    log.Write("app.exe - 2 executions\n0.1000\n0.2000\n");
    TempFile markdown("program_order.md");
    Outcome outcome = RunReport({log.path, "--export-svg", "no-such-kairon-folder/order.svg",
                                 "--export-markdown", markdown.path, "--export-csv",
                                 "no-such-kairon-folder/order.csv"});
    EXPECT_EQ(outcome.exitCode, kExitFailed);
    const size_t csv = outcome.err.find("no-such-kairon-folder/order.csv: cannot be written: ");
    const size_t svg = outcome.err.find("\nno-such-kairon-folder/order.svg: cannot be written: ");
    EXPECT_EQ(csv, 0u) << outcome.err;
    EXPECT_NE(svg, std::string::npos) << outcome.err;
    EXPECT_EQ(markdown.Read().find("| Run | Application |"), 0u);
}

TEST(ReportProgram, RefusesWhatCannotBeCompared)
{
    TempFile log("program_compare.log");
    log.Write("a.exe - 2 executions\n0.1000\n0.2000\nb.exe - 1 executions\n");
    Outcome oneRun = RunReport({"--compare", log.path});
    EXPECT_EQ(oneRun.exitCode, kExitUsage);
    EXPECT_EQ(oneRun.err,
              "kairon-report: comparing needs at least two runs with launches; there is 1\n");
    // The gate judges a run without launches (5); it needs a reference
    // with launches and something besides it.
    struct Gate {
        std::string log;
        int exitCode;
        std::string err;
    } gates[] = {
        {"a.exe - 2 executions\n0.1000\n0.2000\na.exe - 1 executions\n", 5, ""},
        {"a.exe - 1 executions\na.exe - 2 executions\n0.1000\n0.2000\n", 2,
         "kairon-report: run 1 cannot be the reference: there is no such run with launches\n"},
        {"a.exe - 2 executions\n0.1000\n0.2000\n", 2,
         "kairon-report: the gate needs at least two runs; there is 1\n"},
        // Two builds of one program; then two programs, which is a warning.
        // Two launches a side cannot show either within 10%.
        {"C:\\old\\app.exe - 2 executions\n0.1000\n0.2000\nnew\\App.exe - 2 executions\n"
         "0.1000\n0.2000\n", 5, ""},
        {"app.exe - 2 executions\n0.1000\n0.2000\nC:\\notepad.exe - 2 executions\n0.1000\n"
         "0.2000\n", 5,
         "kairon-report: warning: comparing runs of different programs: run 1 app.exe, run 2 "
         "notepad.exe\n"},
    };
    for (const Gate& gate : gates) {
        log.Write(gate.log);
        Outcome outcome = RunReport({"--fail-if-slower=10", "--test", "welch", log.path});
        EXPECT_EQ(outcome.exitCode, gate.exitCode) << gate.log;
        EXPECT_EQ(outcome.err, gate.err) << gate.log;
    }
    TempFile two("program_compare2.log");
    two.Write("a.exe - 1 executions\n0.1000\nb.exe - 1 executions\n0.3000\nc.exe - 1 executions\n");
    Outcome noLaunches = RunReport({"--reference", "3", two.path});
    EXPECT_EQ(noLaunches.exitCode, kExitUsage);
    EXPECT_EQ(noLaunches.err, "kairon-report: run 3 cannot be the reference: there is no "
                              "such run with launches\n");
    Outcome fine = RunReport({"--reference", "2", two.path});
    EXPECT_EQ(fine.exitCode, kExitOk);
    EXPECT_NE(fine.out.find("  Run 1: median 0.1000 s  0.33 x  no test: needs two launches "
                            "each, not all of one time\n"),
              std::string::npos)
        << fine.out;
}

TEST(ReportProgram, WelchGateJudgesEachRunAgainstTheFirst)
{
    // fast and slow: means 1 and 1.5, sd 0.0625 each: t = 9.80, 4 df,
    // p = 0.00061; noisy: mean 2, sd 1.5, p = 0.3675 against fast (Python:
    // statistics and mpmath.betainc). The times are binary fractions, so 1.5
    // is exactly 50% slower.
    TempFile fast("gate_fast.log");
    fast.Write("fast.exe - 3 executions\r\n0.9375\r\n1.0000\r\n1.0625\r\n");
    TempFile slow("gate_slow.log");
    slow.Write("slow.exe - 3 executions\r\n1.4375\r\n1.5000\r\n1.5625\r\n");
    TempFile noisy("gate_noisy.log");
    noisy.Write("noisy.exe - 3 executions\r\n0.5000\r\n2.0000\r\n3.5000\r\n");
    TempFile once("gate_once.log");
    once.Write("once.exe - 1 executions\r\n0.5000\r\n");
    TempFile two("gate_two.log");
    two.Write("two.exe - 2 executions\r\n1.0000\r\n0.9000\r\n");
    TempFile none("gate_none.log");
    none.Write("none.exe - 3 executions\r\n");
    // hung: slow's launches and a search that gave up after 57 s, which
    // counted makes the mean 15.457 and p = 0.3765 (mpmath as above);
    // crashed: one launch that crashed at once and one of 1 s.
    TempFile hung("gate_hung.log");
    hung.Write("hung.exe - 4 executions\r\n1.4375\r\n1.5000\r\nFailed to find window W\r\n"
               "57.3279\r\n1.5625\r\n");
    TempFile crashed("gate_crashed.log");
    crashed.Write("crashed.exe - 2 executions\r\n"
                  "Application exited with code 3221225477 before it was ready\r\n"
                  "0.0312\r\n1.0000\r\n");
    TempFile flat("gate_flat.log");
    flat.Write("a.exe - 2 executions\r\n1.0000\r\n1.0000\r\nb.exe - 2 executions\r\n2.0000\r\n"
               "2.0000\r\n");
    auto rule = [](const char* limit, const char* ratio) {
        return std::string("Regression gate against run 1, the reference, with a limit of ") +
               limit + "% (" + ratio +
               " x):\nslower when the whole 95% interval of a run's mean ratio lies above it\n"
               "and the Welch test's p < 0.05; within when the whole interval lies at or below\n"
               "it; otherwise the gate cannot tell.\n";
    };
    const std::string fails =
        "  Run 2: slower than the limit: 50.0% (1.36 to 1.64 x), p = 0.0006\n";
    const std::string needs = ", and the test needs 2\n";
    // noisy's interval reaches below 0 x, where no run can be.
    const std::string noisyAcross =
        "cannot tell: between 100.0% faster and 471.7% slower (0.00 to 5.72 x); ";
    GateCase cases[] = {
        // The baseline comes first: a faster candidate is within, whichever is fastest.
        {{slow.path, fast.path, "--fail-if-slower", "5"}, kExitOk,
         rule("5", "1.05") + "  Run 2: within the limit: at least 23.9% faster (0.57 to 0.76 x)\n"
                             "Gate passed.\n"},
        {{slow.path, fast.path, "--fail-if-slower", "5"}, kExitOk,
         "Comparison against run 1\n"},
        {{slow.path, fast.path, "--compare"}, kExitOk,
         "Comparison against run 2, the fastest\n"},
        {{fast.path, slow.path, "--fail-if-slower", "5"}, kExitSlower,
         rule("5", "1.05") + fails + "Gate failed: run 2.\n"},
        // Twice the time, but an interval that holds the limit: no pass.
        {{fast.path, noisy.path, "--fail-if-slower", "5"}, kExitCannotJudge,
         rule("5", "1.05") + "  Run 2: " + noisyAcross +
             "about 14 launches a side would tell\nGate cannot tell: run 2.\n"},
        {{slow.path, fast.path, "--reference", "2", "--fail-if-slower", "5"}, kExitSlower,
         "Regression gate against run 2, the reference, with a limit of 5% (1.05 x):\n"},
        {{slow.path, fast.path, "--reference", "2", "--fail-if-slower", "5"}, kExitSlower,
         "  Run 1: slower than the limit: 50.0% (1.36 to 1.64 x), p = 0.0006\n"
         "Gate failed: run 1.\n"},
        // Whatever cannot be tested stops the job, faster or not.
        {{fast.path, once.path, "--fail-if-slower", "5"}, kExitCannotJudge,
         rule("5", "1.05") + "  Run 2: cannot tell: it has 1 counted launch" + needs +
             "Gate cannot tell: run 2.\n"},
        {{once.path, fast.path, "--fail-if-slower", "5"}, kExitCannotJudge,
         rule("5", "1.05") + "  Run 2: cannot tell: the reference has 1 counted launch" + needs +
             "Gate cannot tell: run 2.\n"},
        {{fast.path, none.path, "--fail-if-slower", "5"}, 5,
         rule("5", "1.05") + "  Run 2: cannot tell: it has 0 counted launches" + needs +
             "Gate cannot tell: run 2.\n"},
        {{fast.path, once.path, none.path, "--fail-if-slower", "5"}, kExitCannotJudge,
         "  Run 2: cannot tell: it has 1 counted launch" + needs +
             "  Run 3: cannot tell: it has 0 counted launches" + needs +
             "Gate cannot tell: runs 2, 3.\n"},
        {{flat.path, "--fail-if-slower", "5"}, kExitCannotJudge,
         rule("5", "1.05") + "  Run 2: cannot tell: neither it nor the reference has any spread\n"
                             "Gate cannot tell: run 2.\n"},
        {{fast.path, two.path, "--fail-if-slower", "5"}, kExitCannotJudge,
         "  Run 2: cannot tell: between 31.1% faster and 21.1% slower (0.69 to 1.21 x); about "
         "14 launches a side would tell\nGate cannot tell: run 2.\n"},
        {{fast.path, two.path, "--fail-if-slower", "5", "--skip-first"}, kExitCannotJudge,
         "  Run 2: cannot tell: it has 1 counted launch" + needs},
        // A slowdown outweighs a doubt; an export that failed outweighs both.
        {{fast.path, slow.path, none.path, "--fail-if-slower", "5"}, kExitSlower,
         fails + "  Run 3: cannot tell: it has 0 counted launches" + needs +
             "Gate failed: run 2.\n"},
        {{fast.path, slow.path, once.path, "--fail-if-slower", "5", "--export-csv",
          "no-such-kairon-folder/gate.csv"},
         kExitFailed, "Gate failed: run 2.\n"},
        {{fast.path, once.path, "--fail-if-slower", "5", "--export-csv",
          "no-such-kairon-folder/gate.csv"},
         kExitFailed, "Gate cannot tell: run 2.\n"},
        // A failed launch neither hides a slowdown nor passes for a fast
        // start, unless it is asked to be counted.
        {{fast.path, hung.path, "--fail-if-slower", "5"}, kExitSlower,
         rule("5", "1.05") + fails + "Gate failed: run 2.\n"},
        {{fast.path, hung.path, "--fail-if-slower", "5", "--include-failed"}, kExitCannotJudge,
         rule("5", "1.05") + "  Run 2: cannot tell: between 100.0% faster and 5887.4% slower "
                             "(0.00 to 59.87 x); about 4 launches a side would tell\n"
                             "Gate cannot tell: run 2.\n"},
        {{fast.path, crashed.path, "--fail-if-slower", "5"}, kExitCannotJudge,
         rule("5", "1.05") + "  Run 2: cannot tell: it has 1 counted launch" + needs +
             "Gate cannot tell: run 2.\n"},
        {{fast.path, crashed.path, "--fail-if-slower", "5", "--include-failed"},
         kExitCannotJudge, "  Run 2: cannot tell: between 100.0% faster and 553.0% slower"},
        // The limit and the level. A mean ratio on the limit is never told.
        {{fast.path, slow.path, noisy.path, "--fail-if-slower", "50"}, kExitCannotJudge,
         rule("50", "1.5") +
             "  Run 2: cannot tell: between 35.8% and 64.2% slower (1.36 to 1.64 x); no number "
             "of launches would tell: its mean ratio is on the limit\n"
             "  Run 3: " + noisyAcross + "about 48 launches a side would tell\n"
             "Gate cannot tell: runs 2, 3.\n"},
        {{fast.path, slow.path, noisy.path, "--reference", "1", "--fail-if-slower", "49.9"},
         kExitCannotJudge,
         "  Run 2: cannot tell: between 35.8% and 64.2% slower (1.36 to 1.64 x); about 60224 "
         "launches a side would tell\n"},
        {{fast.path, slow.path, "--fail-if-slower", "40", "--significance", "0.0005"},
         kExitCannotJudge,
         "and the Welch test's p < 5e-04; within when the whole interval lies at or below\n"},
        {{fast.path, slow.path, "--fail-if-slower", "40", "--significance", "0.0005"},
         kExitCannotJudge,
         "  Run 2: cannot tell: between 2.6% faster and 102.6% slower (0.97 to 2.03 x); about "
         "83 launches a side would tell\n"},
        {{fast.path, slow.path, noisy.path, "--fail-if-slower", "0", "--significance", "0.5"},
         kExitSlower,
         "with a limit of 0% (1 x):\nslower when the whole 50% interval of a run's mean ratio"},
        {{fast.path, slow.path, noisy.path, "--fail-if-slower", "0", "--significance", "0.5"},
         kExitSlower,
         "A limit of 0% leaves no margin: only a run faster than the reference can be\n"
         "shown within it.\n"
         "  Run 2: slower than the limit: 50.0% (1.46 to 1.54 x), p = 0.0006\n"
         "  Run 3: slower than the limit: 100.0% (1.29 to 2.71 x), p = 0.3675\n"
         "Gate failed: runs 2, 3.\n"},
        {{fast.path, slow.path, noisy.path, "--fail-if-slower", "900"}, kExitOk,
         "  Run 2: within the limit: at most 64.2% slower (1.36 to 1.64 x)\n"
         "  Run 3: within the limit: at most 471.7% slower (0.00 to 5.72 x)\n"
         "Gate passed.\n"},
    };
    for (GateCase& c : cases) {
        c.args.insert(c.args.end(), {"--test", "welch"});
        ExpectGate(c);
    }
}

TEST(ReportProgram, RankGateCallsARunWithinOrSlowerOnlyByItsWholeInterval)
{
    // Against fast, five launches around 1 s (SciPy's mannwhitneyu and
    // numpy's bootstrap of 400,000 resamples): slow, around 1.5 s: U = 25,
    // p = 0.0122, interval 1.47 to 1.54; noisy: p = 0.1437, 0.5 to 3.5; hung, slow
    // with a search that gave up after 57 s counted: p = 0.0081, 1.47 to
    // 29.7. Three launches a side never reach p < 0.05: 0.0809 at best.
    TempFile fast("rank_fast.log");
    fast.Write("fast.exe - 5 executions\r\n0.9800\r\n1.0000\r\n1.0200\r\n0.9900\r\n1.0100\r\n");
    TempFile slow("rank_slow.log");
    slow.Write("slow.exe - 5 executions\r\n1.4800\r\n1.5000\r\n1.5200\r\n1.4900\r\n1.5100\r\n");
    TempFile noisy("rank_noisy.log");
    noisy.Write("noisy.exe - 5 executions\r\n0.5000\r\n2.0000\r\n3.5000\r\n1.2000\r\n2.8000\r\n");
    TempFile hung("rank_hung.log");
    hung.Write("hung.exe - 6 executions\r\n1.4800\r\n1.5000\r\n1.5200\r\nFailed to find window W\r\n"
               "57.3279\r\n1.4900\r\n1.5100\r\n");
    TempFile three("rank_three.log");
    three.Write("a.exe - 3 executions\r\n0.9900\r\n1.0000\r\n1.0100\r\n"
                "b.exe - 3 executions\r\n1.4900\r\n1.5000\r\n1.5100\r\n");
    TempFile flat("rank_flat.log");
    flat.Write("a.exe - 2 executions\r\n1.0000\r\n1.0000\r\nb.exe - 2 executions\r\n1.0000\r\n"
               "1.0000\r\n");
    // A build 24% slower by its median whose interval still holds 1.05.
    TempFile slower24("rank_slower24.log");
    slower24.Write("a.exe - 8 executions\r\n1.0000\r\n1.0200\r\n0.9800\r\n1.0500\r\n0.9700\r\n"
                   "1.0100\r\n1.3000\r\n0.9900\r\nb.exe - 8 executions\r\n1.2400\r\n1.0300\r\n"
                   "1.3500\r\n1.2500\r\n1.3600\r\n1.0500\r\n1.2600\r\n1.0600\r\n");
    // One program timed against itself on a machine that spreads it widely.
    TempFile itself("rank_itself.log");
    itself.Write("notepad.exe - 6 executions\r\n0.9000\r\n2.1000\r\n0.7000\r\n1.6000\r\n"
                 "3.0000\r\n1.1000\r\nnotepad.exe - 6 executions\r\n1.2000\r\n0.8000\r\n"
                 "2.6000\r\n1.9000\r\n0.9500\r\n2.4000\r\n");
    // 80 ms slower, six launches a side, one slow launch in the baseline.
    TempFile oneSlow("rank_one_slow.log");
    oneSlow.Write("a.exe - 6 executions\r\n0.1500\r\n0.1520\r\n0.1480\r\n0.1510\r\n0.1490\r\n"
                  "0.3100\r\nb.exe - 6 executions\r\n0.2300\r\n0.2320\r\n0.1500\r\n0.2310\r\n"
                  "0.2290\r\n0.2330\r\n");
    // Half the reference's launches took no time: most resampled medians are 0.
    TempFile zero("rank_zero.log");
    zero.Write("a.exe - 6 executions\r\n0.0000\r\n0.0000\r\n0.0000\r\n0.1000\r\n0.1000\r\n"
               "0.1000\r\nb.exe - 6 executions\r\n0.1000\r\n0.1000\r\n0.1000\r\n0.1000\r\n"
               "0.1000\r\n0.1100\r\n");
    // An interval above 1 from four launches a side, a p that is not.
    TempFile unsure("rank_unsure.log");
    unsure.Write("a.exe - 4 executions\r\n1.0355\r\n0.8500\r\n1.0093\r\n0.9689\r\n"
                 "b.exe - 4 executions\r\n1.7635\r\n0.9926\r\n1.0564\r\n1.3513\r\n");
    TempFile same("rank_same.log");
    same.Write("a.exe - 8 executions\r\n1.0000\r\n1.0200\r\n0.9800\r\n1.0100\r\n0.9900\r\n"
               "1.0300\r\n0.9700\r\n1.0000\r\nb.exe - 8 executions\r\n1.0100\r\n0.9900\r\n"
               "1.0000\r\n1.0200\r\n0.9800\r\n1.0000\r\n1.0100\r\n0.9900\r\n");
    const std::string rule =
        "Regression gate against run 1, the reference, with a limit of 5% (1.05 x):\n"
        "slower when the whole 95% interval of a run's median ratio lies above it\n"
        "and the U test's p < 0.05; within when the whole interval lies at or below\n"
        "it; otherwise the gate cannot tell.\n";
    const std::string fails =
        "  Run 2: slower than the limit: 50.0% (1.47 to 1.54 x), p = 0.0122\n";
    const std::string noMargin =
        "A limit of 0% leaves no margin: only a run faster than the reference can be\n"
        "shown within it.\n";
    GateCase cases[] = {
        {{fast.path, slow.path, "--fail-if-slower", "5"}, kExitSlower,
         rule + fails + "Gate failed: run 2.\n"},
        {{fast.path, slow.path, "--fail-if-slower", "0"}, kExitSlower,
         noMargin + fails + "Gate failed: run 2.\n"},
        // The limit inside the interval: no verdict either way.
        {{fast.path, slow.path, "--fail-if-slower", "49"}, kExitCannotJudge,
         "  Run 2: cannot tell: between 46.5% and 53.5% slower (1.47 to 1.54 x); about 61 "
         "launches a side would tell\nGate cannot tell: run 2.\n"},
        {{fast.path, slow.path, "--fail-if-slower", "60"}, kExitOk,
         "  Run 2: within the limit: at most 53.5% slower (1.47 to 1.54 x)\nGate passed.\n"},
        {{fast.path, slow.path, "--fail-if-slower", "5", "--significance", "0.01"},
         kExitCannotJudge,
         "  Run 2: cannot tell: with 5 and 5 counted launches the U test's p cannot go "
         "below 0.01\n"},
        {{fast.path, noisy.path, "--fail-if-slower", "5"}, kExitCannotJudge,
         "  Run 2: cannot tell: between 50.0% faster and 250.0% slower (0.50 to 3.50 x); about 13 "
         "launches a side would tell\n"},
        // A launch that hung hides the slowdown from Welch's test only.
        {{fast.path, hung.path, "--fail-if-slower", "5", "--include-failed"}, kExitSlower,
         "  Run 2: slower than the limit: 50.5% (1.47 to 29.71 x), p = 0.0081\n"
         "Gate failed: run 2.\n"},
        {{fast.path, hung.path, "--fail-if-slower", "5", "--include-failed", "--test", "welch"},
         kExitCannotJudge, "Gate cannot tell: run 2.\n"},
        // What cannot be judged.
        {{three.path, "--fail-if-slower", "5"}, kExitCannotJudge,
         "  Run 2: cannot tell: with 3 and 3 counted launches the U test's p cannot go "
         "below 0.05\nGate cannot tell: run 2.\n"},
        {{flat.path, "--fail-if-slower", "5"}, kExitCannotJudge,
         "  Run 2: cannot tell: every launch of it and of the reference took the same "
         "time\n"},
        // Slow, noisy or small runs whose interval holds the limit are no pass.
        {{slower24.path, "--fail-if-slower", "5"}, kExitCannotJudge,
         rule + "  Run 2: cannot tell: between 3.4% and 32.7% slower (1.03 to 1.33 x); about 10 "
                "launches a side would tell\nGate cannot tell: run 2.\n"},
        {{itself.path, "--fail-if-slower", "5"}, kExitCannotJudge,
         "  Run 2: cannot tell: between 52.4% faster and 140.0% slower (0.48 to 2.40 x); about "
         "282 launches a side would tell\n"},
        {{oneSlow.path, "--fail-if-slower", "5"}, kExitCannotJudge,
         "  Run 2: cannot tell: between 0.4% faster and 55.5% slower (1.00 to 1.56 x); about 8 "
         "launches a side would tell\n"},
        {{zero.path, "--fail-if-slower", "5"}, kExitCannotJudge,
         "  Run 2: cannot tell: 100.0% slower, but no interval: a resampled median of the "
         "reference is 0 s\nGate cannot tell: run 2.\n"},
        {{unsure.path, "--fail-if-slower", "0"}, kExitCannotJudge,
         "  Run 2: cannot tell: between 0.2% and 82.0% slower (1.00 to 1.82 x), but p = 0.1124 "
         "is not below 0.05\nGate cannot tell: run 2.\n"},
        // The same program within 5%, and what a limit of 0 makes of it.
        {{same.path, "--fail-if-slower", "5"}, kExitOk,
         rule + "  Run 2: within the limit: at most 2.0% slower (0.98 to 1.02 x)\nGate passed.\n"},
        {{same.path, "--fail-if-slower", "0"}, kExitCannotJudge,
         noMargin + "  Run 2: cannot tell: between 2.0% faster and 2.0% slower (0.98 to 1.02 x); "
                    "no number of launches would tell: its median ratio is on the limit\n"},
        {{same.path, "--fail-if-slower", "1"}, kExitCannotJudge,
         "(0.98 to 1.02 x); about 34 launches a side would tell\n"},
    };
    for (const GateCase& c : cases)
        ExpectGate(c);
}

TEST(ReportProgram, CommandLineErrorsAndHelp)
{
    Outcome unknown = RunReport({"--frobnicate"});
    EXPECT_EQ(unknown.exitCode, kExitUsage);
    EXPECT_NE(unknown.err.find("frobnicate"), std::string::npos);
    Outcome badReference = RunReport({"--reference", "0", "x.log"});
    EXPECT_EQ(badReference.exitCode, kExitUsage);
    struct BadNumber {
        const char* option;
        const char* value;
        const char* expected;
    } badNumbers[] = {
        {"--significance", "nan", "a number from 0.000001 to 0.5"},
        {"--significance", "0.6", "a number from 0.000001 to 0.5"},
        {"--fail-if-slower", "-5", "a percentage of 0 or more"},
        {"--fail-if-slower", "nan", "a percentage of 0 or more"},
        {"--fail-if-slower", "inf", "a percentage of 0 or more"},
        {"--fail-if-slower", "10%", "a percentage of 0 or more"},
    };
    for (const BadNumber& bad : badNumbers) {
        Outcome outcome = RunReport({bad.option, bad.value, "x.log"});
        EXPECT_EQ(outcome.exitCode, kExitUsage) << bad.option << " " << bad.value;
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err.find(std::string(bad.option) + ": Value " + bad.value +
                                   " is not " + bad.expected + "\n"),
                  0u)
            << outcome.err;
    }
    Outcome version = RunReport({"x.log", "-V"});
    EXPECT_EQ(version.exitCode, kExitOk);
    EXPECT_EQ(version.out, "kairon-report " KAIRON_VERSION_TEXT "\n");
    // "=" and nothing after it is an empty value, never the next argument.
    Outcome emptyPath = RunReport({"--export-svg=", "x.log"});
    EXPECT_EQ(emptyPath.exitCode, kExitUsage);
    EXPECT_EQ(emptyPath.err, "--export-svg: a file name must follow\n");
    Outcome help = RunReport({"--help"});
    EXPECT_EQ(help.exitCode, kExitOk);
    EXPECT_NE(help.out.find("--export-svg"), std::string::npos);
    EXPECT_NE(help.out.find("--include-failed"), std::string::npos);
    EXPECT_NE(help.out.find("\n" + ExitStatusTable("")), std::string::npos)
        << help.out;
}
