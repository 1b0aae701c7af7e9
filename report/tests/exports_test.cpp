#include "report/exports.h"

#include "report/results_log.h"
#include "report/text_format.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <clocale>

namespace {

// Two runs: four launches with a comma and quotes in the path, the first
// and the last of them failed (the last one crashed), the second not
// closed; then a run cut short after one launch.
const char kSmallLog[] =
    "C:\\Apps\\a,b \"q\".exe - 4 executions\r\n"
    "Failed to find window W\r\n"
    "0.5000\r\n"
    "0.2500\r\n"
    "Failed to close W\r\n"
    "1.0000\r\n"
    "WaitForInputIdle call failed\r\n"
    "Application exited with code 3221225477 before it was ready\r\n"
    "0.2500\r\n"
    "b.exe - 2 executions\r\n"
    "0.2000\r\n";

struct Analysed {
    ParsedLog log;
    std::vector<RunAnalysis> runs;
    ComparisonReport comparison;
};

Analysed Analyse(const char* text, bool compare, bool includeFailed = false)
{
    Analysed analysed;
    analysed.log = ParseResultsLog(text, "small.log");
    int number = 0;
    for (const ::Run& run : analysed.log.runs)
        analysed.runs.push_back(AnalyzeRun(run, ++number, false, includeFailed));
    if (compare)
        analysed.comparison = CompareRuns(analysed.runs, 0, 0.05);
    return analysed;
}

}  // namespace

TEST(Exports, CsvHasOneQuotedRowPerLaunch)
{
    // Failed launches keep their row; only "counted" tells the two apart.
    struct {
        bool includeFailed;
        const char* csv;
    } cases[] = {
        {false,
         "run,log,header_line,application,launch,line,seconds,counted,outlier,window_not_found,not_visible,input_idle_failed,exited_before_ready,failed,exit_code,close_failed\n"
         "1,small.log,1,\"C:\\Apps\\a,b \"\"q\"\".exe\",1,3,0.5000,0,0,1,0,0,0,1,,0\n"
         "1,small.log,1,\"C:\\Apps\\a,b \"\"q\"\".exe\",2,4,0.2500,1,0,0,0,0,0,0,,1\n"
         "1,small.log,1,\"C:\\Apps\\a,b \"\"q\"\".exe\",3,6,1.0000,1,0,0,0,0,0,0,,0\n"
         "1,small.log,1,\"C:\\Apps\\a,b \"\"q\"\".exe\",4,9,0.2500,0,0,0,0,1,1,1,3221225477,0\n"
         "2,small.log,10,b.exe,1,11,0.2000,1,0,0,0,0,0,0,,0\n"},
        {true,
         "run,log,header_line,application,launch,line,seconds,counted,outlier,window_not_found,not_visible,input_idle_failed,exited_before_ready,failed,exit_code,close_failed\n"
         "1,small.log,1,\"C:\\Apps\\a,b \"\"q\"\".exe\",1,3,0.5000,1,0,1,0,0,0,1,,0\n"
         "1,small.log,1,\"C:\\Apps\\a,b \"\"q\"\".exe\",2,4,0.2500,1,0,0,0,0,0,0,,1\n"
         "1,small.log,1,\"C:\\Apps\\a,b \"\"q\"\".exe\",3,6,1.0000,1,0,0,0,0,0,0,,0\n"
         "1,small.log,1,\"C:\\Apps\\a,b \"\"q\"\".exe\",4,9,0.2500,1,0,0,0,1,1,1,3221225477,0\n"
         "2,small.log,10,b.exe,1,11,0.2000,1,0,0,0,0,0,0,,0\n"},
    };
    for (const auto& c : cases) {
        Analysed small = Analyse(kSmallLog, false, c.includeFailed);
        EXPECT_EQ(ExportCsv(small.runs), c.csv) << "include_failed " << c.includeFailed;
    }
}

TEST(Exports, MarkdownHasTheSummaryAndTheComparison)
{
    // Worked by hand. Run 1 without its failed launches is 0.25 and 1 s:
    // mean and median 0.625, sd 0.75 / sqrt(2), 5th percentile 0.25 + 0.05
    // * 0.75. With them, 0.5, 0.25, 1, 0.25 s: mean 0.5, deviations 0,
    // -0.25, 0.5, -0.25, so sd = sqrt(0.375 / 3); sorted 0.25, 0.25, 0.5,
    // 1: median 0.375, 95th percentile at rank 2.85 = 0.925.
    const std::string header =
        "| Run | Application | Log | Launches | Mean ± σ [s] | Median [s] | Min … Max [s] | P5 [s] | P95 [s] | Outliers | Failed | Failed to close |\n"
        "|---:|:---|:---|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    const std::string run2 =
        "| 2 | `b.exe` | `small.log`:10 | 1 of 2 | 0.2000 | 0.2000 | 0.2000 … 0.2000 | 0.2000 | 0.2000 | 0 | 0 | 0 |\n"
        "\n"
        "| Run | Median [s] | Median ratio to run 2 | 95% interval | U test p | Mean [s] | Mean ratio to run 2 | Welch p | Difference |\n"
        "|---:|---:|---:|:---:|---:|---:|---:|---:|:---|\n";
    const std::string reference =
        "| 2 | 0.2000 | reference | – | – | 0.2000 | reference | – | reference |\n";
    const std::string rules =
        "σ: sample standard deviation (n − 1); percentiles interpolate linearly between the closest ranks (rank (n - 1) p, counted from 0); outliers: modified Z-score |0.6745 (x - median) / MAD| > 3.5 (Iglewicz-Hoaglin) and at least 5% from the median, in runs of 5 launches or more.";
    const std::string pValues =
        " Interval: the 95% percentile bootstrap interval of the ratio of medians, 10000 resamples. U test: the Mann-Whitney U test, two-sided; Welch: Welch's t-test, two-sided. The difference is the U test's, significant when p < 0.05.\n";
    struct {
        bool includeFailed;
        std::string markdown;
    } cases[] = {
        {false,
         header +
         "| 1 | `C:\\Apps\\a,b \"q\".exe` | `small.log`:1 | 4 of 4 | 0.6250 ± 0.5303 | 0.6250 | 0.2500 … 1.0000 | 0.2875 | 0.9625 | 0 | 2 | 1 |\n" +
         run2 +
         "| 1 | 0.6250 | 3.12 | – | – | 0.6250 | 3.12 | – | not testable |\n" + reference +
         "\n" + rules + " Failed launches are left out of the figures." + pValues},
        {true,
         header +
         "| 1 | `C:\\Apps\\a,b \"q\".exe` | `small.log`:1 | 4 of 4 | 0.5000 ± 0.3536 | 0.3750 | 0.2500 … 1.0000 | 0.2500 | 0.9250 | 0 | 2 | 1 |\n" +
         run2 +
         "| 1 | 0.3750 | 1.88 | – | – | 0.5000 | 2.50 | – | not testable |\n" + reference +
         "\n" + rules + " Failed launches are counted in the figures." + pValues},
    };
    for (const auto& c : cases) {
        Analysed small = Analyse(kSmallLog, true, c.includeFailed);
        EXPECT_EQ(ExportMarkdown(small.runs, &small.comparison), c.markdown)
            << "include_failed " << c.includeFailed;
    }
    // Without a failed launch in any run, nothing is said about them.
    Analysed clean = Analyse("b.exe - 2 executions\n0.2000\n", false);
    EXPECT_EQ(ExportMarkdown(clean.runs, nullptr).find("Failed launches"), std::string::npos);
}

TEST(Exports, JsonHoldsEveryLaunchAndNullsWhatIsMissing)
{
    Analysed one = Analyse("b.exe - 2 executions\n0.2000\n", false);
    one.log.runs[0].source = "one.log";
    EXPECT_EQ(ExportJson(one.runs, nullptr),
        "{\n"
        "  \"unit\": \"seconds\",\n"
        "  \"stddev\": \"sample (n - 1)\",\n"
        "  \"percentiles\": \"percentiles interpolate linearly between the closest ranks (rank (n - 1) p, counted from 0)\",\n"
        "  \"outliers\": \"modified Z-score |0.6745 (x - median) / MAD| > 3.5 (Iglewicz-Hoaglin) and at least 5% from "
        "the median, in runs of 5 launches or more\",\n"
        "  \"runs\": [\n"
        "    {\n"
        "      \"run\": 1,\n"
        "      \"log\": \"one.log\",\n"
        "      \"header_line\": 1,\n"
        "      \"application\": \"b.exe\",\n"
        "      \"announced\": 2,\n"
        "      \"completed\": 1,\n"
        "      \"failures\": {\n"
        "        \"window_not_found\": 0,\n"
        "        \"not_visible\": 0,\n"
        "        \"input_idle_failed\": 0,\n"
        "        \"exited_before_ready\": 0\n"
        "      },\n"
        "      \"times\": [\n"
        "        0.2\n"
        "      ],\n"
        "      \"counted_from\": 1,\n"
        "      \"failed_counted\": false,\n"
        "      \"outliers\": [],\n"
        "      \"failed_launches\": [],\n"
        "      \"close_failed_launches\": [],\n"
        "      \"mean\": 0.2,\n"
        "      \"stddev\": null,\n"
        "      \"median\": 0.2,\n"
        "      \"min\": 0.2,\n"
        "      \"max\": 0.2,\n"
        "      \"p5\": 0.2,\n"
        "      \"p25\": 0.2,\n"
        "      \"p75\": 0.2,\n"
        "      \"p95\": 0.2,\n"
        "      \"cold\": null,\n"
        "      \"warm\": null,\n"
        "      \"wide_spread\": false\n"
        "    }\n"
        "  ]\n"
        "}\n");
}

TEST(Exports, JsonCarriesFailuresAndTheComparison)
{
    // Every launch stays in "times" and the failed ones are named, counted
    // in the figures or not. The failed first launch is no cold start.
    struct {
        bool includeFailed;
        double mean;
        const char* cold;
        const char* warmMedian;
        double ratio;
    } cases[] = {
        {false, 0.625, "null", "null", 0.625 / 0.2},
        {true, 0.5, "0.5", "0.25", 2.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.includeFailed ? "include_failed" : "failed left out");
        Analysed small = Analyse(kSmallLog, true, c.includeFailed);
        nlohmann::json document =
            nlohmann::json::parse(ExportJson(small.runs, &small.comparison));
        const nlohmann::json& run = document["runs"][0];
        EXPECT_EQ(run["application"], "C:\\Apps\\a,b \"q\".exe");
        EXPECT_EQ(run["times"], nlohmann::json::parse("[0.5, 0.25, 1.0, 0.25]"));
        EXPECT_EQ(run["failed_counted"], c.includeFailed);
        EXPECT_EQ(run["failures"],
                  nlohmann::json::parse(R"({"window_not_found": 1, "not_visible": 0,
                                            "input_idle_failed": 1, "exited_before_ready": 1})"));
        EXPECT_EQ(run["failed_launches"],
                  nlohmann::json::parse(R"([{"launch": 1, "window_not_found": 1, "not_visible": 0,
                                            "input_idle_failed": 0, "exited_before_ready": 0,
                                            "exit_code": null},
                                           {"launch": 4, "window_not_found": 0, "not_visible": 0,
                                            "input_idle_failed": 1, "exited_before_ready": 1,
                                            "exit_code": 3221225477}])"));
        EXPECT_EQ(run["close_failed_launches"], nlohmann::json::parse("[2]"));
        EXPECT_EQ(run["p95"].get<double>(), small.runs[0].summary->p95);
        EXPECT_EQ(run["mean"], c.mean);
        EXPECT_EQ(run["cold"], nlohmann::json::parse(c.cold));
        EXPECT_EQ(run["warm"].is_null() ? nlohmann::json(nullptr) : run["warm"]["median"],
                  nlohmann::json::parse(c.warmMedian));
        const nlohmann::json& comparison = document["comparison"];
        EXPECT_EQ(comparison["reference"], 2);
        EXPECT_EQ(comparison["runs"][0]["ratio"], c.ratio);
        EXPECT_TRUE(comparison["runs"][0]["p"].is_null());
        EXPECT_TRUE(comparison["runs"][0]["mann_whitney_p"].is_null());
        EXPECT_EQ(comparison["runs"][1]["reference"], true);
    }
    // Both tests' figures, each under its own names: p, t and df stay
    // Welch's. U = 25 and p = 0.0122 as SciPy's mannwhitneyu gives them.
    Analysed pair = Analyse("fast.exe - 5 executions\n0.9800\n1.0000\n1.0200\n0.9900\n1.0100\n"
                            "slow.exe - 5 executions\n1.4800\n1.5000\n1.5200\n1.4900\n1.5100\n",
                            true);
    const nlohmann::json slower =
        nlohmann::json::parse(ExportJson(pair.runs, &pair.comparison))["comparison"]["runs"][1];
    EXPECT_EQ(slower["p"], pair.comparison.rows[1].welch->p);
    EXPECT_EQ(slower["mann_whitney_u"], 25.0);
    EXPECT_NEAR(slower["mann_whitney_p"].get<double>(), 0.012185780355344813, 1e-12);
    EXPECT_DOUBLE_EQ(slower["median_ratio"].get<double>(), 1.5);
    EXPECT_NEAR(slower["median_ratio_ci"][0].get<double>(), 1.4653, 0.01);
    EXPECT_NEAR(slower["median_ratio_ci"][1].get<double>(), 1.5354, 0.01);
}

TEST(Exports, HyperfineLayoutHasOneResultPerRunWithLaunches)
{
    // hyperfine writes null for the spread of a single run and leaves out
    // nothing else; a run without launches has no result at all. Failed
    // launches measured no start-up: they are not in "times".
    std::string log = std::string(kSmallLog) + "c.exe - 3 executions\r\n";
    Analysed small = Analyse(log.c_str(), false);
    EXPECT_EQ(ExportHyperfine(small.runs),
        "{\n"
        "  \"results\": [\n"
        "    {\n"
        "      \"command\": \"C:\\\\Apps\\\\a,b \\\"q\\\".exe\",\n"
        "      \"mean\": 0.625,\n"
        "      \"stddev\": 0.5303300858899106,\n"
        "      \"median\": 0.625,\n"
        "      \"user\": 0.0,\n"
        "      \"system\": 0.0,\n"
        "      \"min\": 0.25,\n"
        "      \"max\": 1.0,\n"
        "      \"times\": [\n"
        "        0.25,\n"
        "        1.0\n"
        "      ],\n"
        "      \"exit_codes\": [\n"
        "        0,\n"
        "        0\n"
        "      ]\n"
        "    },\n"
        "    {\n"
        "      \"command\": \"b.exe\",\n"
        "      \"mean\": 0.2,\n"
        "      \"stddev\": null,\n"
        "      \"median\": 0.2,\n"
        "      \"user\": 0.0,\n"
        "      \"system\": 0.0,\n"
        "      \"min\": 0.2,\n"
        "      \"max\": 0.2,\n"
        "      \"times\": [\n"
        "        0.2\n"
        "      ],\n"
        "      \"exit_codes\": [\n"
        "        0\n"
        "      ]\n"
        "    }\n"
        "  ]\n"
        "}\n");

    // Counted, the crashed launch carries its exit code as hyperfine reads
    // one on Windows, a signed 32-bit number: 3221225477 - 2^32.
    Analysed counted = Analyse(log.c_str(), false, true);
    nlohmann::json result = nlohmann::json::parse(ExportHyperfine(counted.runs))["results"][0];
    EXPECT_EQ(result["times"], nlohmann::json::parse("[0.5, 0.25, 1.0, 0.25]"));
    EXPECT_EQ(result["exit_codes"], nlohmann::json::parse("[0, 0, 0, -1073741819]"));
    EXPECT_EQ(result["median"], 0.375);
}

TEST(Exports, HyperfineLayoutLeavesSkippedLaunchesOutLikeWarmups)
{
    ParsedLog log =
        ParseResultsLog("a.exe - 4 executions\n9.0000\n1.0000\n2.0000\n4.0000\n", "a.log");
    std::vector<RunAnalysis> runs = {AnalyzeRun(log.runs[0], 1, true)};
    nlohmann::json result = nlohmann::json::parse(ExportHyperfine(runs))["results"][0];
    EXPECT_EQ(result["times"], nlohmann::json::parse("[1.0, 2.0, 4.0]"));
    EXPECT_EQ(result["exit_codes"], nlohmann::json::parse("[0, 0, 0]"));
    EXPECT_EQ(result["median"], 2.0);
    EXPECT_EQ(result["max"], 4.0);
}

TEST(Exports, SvgDrawsEachLaunchTheMedianAndTheMiddleHalf)
{
    // Axis 0.2 .. 1.0 s over x 250 .. 770: 0.25 s lies at 282.5, 1 s at
    // 770. Launches 1 and 4 failed and are not drawn: the middle half of
    // the other two is 0.4375 .. 0.8125 s, x 404.375 .. 648.125, their
    // median 0.625 at 526.25.
    Analysed small = Analyse(kSmallLog, false);
    EXPECT_EQ(ExportSvg(small.runs),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"800.0\" height=\"206.0\" viewBox=\"0 0 800.0 206.0\" font-family=\"Helvetica, Arial, sans-serif\" font-size=\"12\">\n"
        "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n"
        "<text x=\"12\" y=\"24\" font-size=\"15\" font-weight=\"bold\">Start-up time per launch</text>\n"
        "<rect x=\"0\" y=\"44.0\" width=\"800.0\" height=\"46.0\" fill=\"#f4f6f8\"/>\n"
        "<line x1=\"250.0\" y1=\"44.0\" x2=\"250.0\" y2=\"141.0\" stroke=\"#d0d4d9\" stroke-width=\"1\"/>\n"
        "<text x=\"250.0\" y=\"154.0\" text-anchor=\"middle\">0.2</text>\n"
        "<line x1=\"380.0\" y1=\"44.0\" x2=\"380.0\" y2=\"141.0\" stroke=\"#d0d4d9\" stroke-width=\"1\"/>\n"
        "<text x=\"380.0\" y=\"154.0\" text-anchor=\"middle\">0.4</text>\n"
        "<line x1=\"510.0\" y1=\"44.0\" x2=\"510.0\" y2=\"141.0\" stroke=\"#d0d4d9\" stroke-width=\"1\"/>\n"
        "<text x=\"510.0\" y=\"154.0\" text-anchor=\"middle\">0.6</text>\n"
        "<line x1=\"640.0\" y1=\"44.0\" x2=\"640.0\" y2=\"141.0\" stroke=\"#d0d4d9\" stroke-width=\"1\"/>\n"
        "<text x=\"640.0\" y=\"154.0\" text-anchor=\"middle\">0.8</text>\n"
        "<line x1=\"770.0\" y1=\"44.0\" x2=\"770.0\" y2=\"141.0\" stroke=\"#d0d4d9\" stroke-width=\"1\"/>\n"
        "<text x=\"770.0\" y=\"154.0\" text-anchor=\"middle\">1.0</text>\n"
        "<line x1=\"250.0\" y1=\"136.0\" x2=\"770.0\" y2=\"136.0\" stroke=\"#333\" stroke-width=\"1\"/>\n"
        "<text x=\"510.0\" y=\"170.0\" text-anchor=\"middle\">start-up time (seconds)</text>\n"
        "<text x=\"238.0\" y=\"64.0\" text-anchor=\"end\"><title>C:\\Apps\\a,b &quot;q&quot;.exe</title><tspan font-weight=\"bold\">Run 1</tspan>: …:\\Apps\\a,b &quot;q&quot;.exe</text>\n"
        "<text x=\"238.0\" y=\"79.0\" text-anchor=\"end\" font-size=\"10\" fill=\"#555\" textLength=\"226.0\" lengthAdjust=\"spacingAndGlyphs\">4 of 4 launches, 2 failed, median 0.6250 s</text>\n"
        "<rect x=\"404.4\" y=\"55.0\" width=\"243.8\" height=\"24\" fill=\"#dbe7f3\" stroke=\"#7d9cbf\"/>\n"
        "<line x1=\"526.2\" y1=\"51.0\" x2=\"526.2\" y2=\"83.0\" stroke=\"#1d3557\" stroke-width=\"2.5\"/>\n"
        "<circle cx=\"282.5\" cy=\"69.6\" r=\"2.6\" fill=\"#2a6fb0\" fill-opacity=\"0.7\"><title>launch 2: 0.2500 s</title></circle>\n"
        "<circle cx=\"770.0\" cy=\"61.2\" r=\"2.6\" fill=\"#2a6fb0\" fill-opacity=\"0.7\"><title>launch 3: 1.0000 s</title></circle>\n"
        "<text x=\"238.0\" y=\"110.0\" text-anchor=\"end\"><title>b.exe</title><tspan font-weight=\"bold\">Run 2</tspan>: b.exe</text>\n"
        "<text x=\"238.0\" y=\"125.0\" text-anchor=\"end\" font-size=\"10\" fill=\"#555\">1 of 2 launches, median 0.2000 s</text>\n"
        "<rect x=\"250.0\" y=\"101.0\" width=\"0.5\" height=\"24\" fill=\"#dbe7f3\" stroke=\"#7d9cbf\"/>\n"
        "<line x1=\"250.0\" y1=\"97.0\" x2=\"250.0\" y2=\"129.0\" stroke=\"#1d3557\" stroke-width=\"2.5\"/>\n"
        "<circle cx=\"250.0\" cy=\"102.0\" r=\"2.6\" fill=\"#2a6fb0\" fill-opacity=\"0.7\"><title>launch 1: 0.2000 s</title></circle>\n"
        "<circle cx=\"250.0\" cy=\"192.0\" r=\"2.6\" fill=\"#2a6fb0\" fill-opacity=\"0.7\"/>\n"
        "<text x=\"258.0\" y=\"196.0\">launch</text>\n"
        "<circle cx=\"320.0\" cy=\"192.0\" r=\"2.6\" fill=\"none\" stroke=\"#1d3557\" stroke-width=\"1.5\"/>\n"
        "<text x=\"328.0\" y=\"196.0\">first (cold)</text>\n"
        "<circle cx=\"420.0\" cy=\"192.0\" r=\"2.6\" fill=\"#d1495b\" fill-opacity=\"0.7\"/>\n"
        "<text x=\"428.0\" y=\"196.0\">outlier</text>\n"
        "<line x1=\"495.0\" y1=\"185.0\" x2=\"495.0\" y2=\"199.0\" stroke=\"#1d3557\" stroke-width=\"2.5\"/>\n"
        "<text x=\"503.0\" y=\"196.0\">median</text>\n"
        "<rect x=\"565.0\" y=\"186.0\" width=\"16.0\" height=\"12.0\" fill=\"#dbe7f3\" stroke=\"#7d9cbf\"/>\n"
        "<text x=\"587.0\" y=\"196.0\">25th–75th percentile</text>\n"
        "</svg>\n");
}

TEST(Exports, SvgLeavesFailedLaunchesOffTheAxisUnlessCounted)
{
    // A search that gave up after 57 s would squeeze 0.2 and 0.4 s into the
    // chart's first tick: left out, the axis ends at 0.40 s (steps of
    // 0.05); counted, at 60 s (steps of 20).
    const char log[] = "a.exe - 3 executions\nFailed to find window W\n57.3279\n0.2000\n0.4000\n";
    struct {
        bool includeFailed;
        const char* lastTick;
        bool failedDrawn;
    } cases[] = {
        {false, ">0.40</text>", false},
        {true, ">60</text>", true},
    };
    for (const auto& c : cases) {
        Analysed analysed = Analyse(log, false, c.includeFailed);
        std::string svg = ExportSvg(analysed.runs);
        EXPECT_NE(svg.find(c.lastTick), std::string::npos) << c.includeFailed << "\n" << svg;
        EXPECT_EQ(svg.find("<title>launch 1: 57.3279 s</title>") != std::string::npos,
                  c.failedDrawn)
            << c.includeFailed;
        EXPECT_NE(svg.find(">3 of 3 launches, 1 failed, median "), std::string::npos);
    }
}

// A hand-off has a column and a key of its own, but only in the exports
// of runs that have one: the rest keep the columns they always had.
TEST(Exports, HandOffsGetAColumnAndAKeyWhereARunHasOne)
{
    Analysed handedOff = Analyse(
        "a.exe - 2 executions\n"
        "Window W belongs to a program started before this launch\n0.0100\n"
        "0.2000\n"
        "b.exe - 1 executions\n0.3000\n",
        false);
    EXPECT_EQ(ExportCsv(handedOff.runs),
              "run,log,header_line,application,launch,line,seconds,counted,outlier,"
              "window_not_found,not_visible,input_idle_failed,exited_before_ready,handed_off,"
              "failed,exit_code,close_failed\n"
              "1,small.log,1,a.exe,1,3,0.0100,0,0,0,0,0,0,1,1,,0\n"
              "1,small.log,1,a.exe,2,4,0.2000,1,0,0,0,0,0,0,0,,0\n"
              "2,small.log,5,b.exe,1,6,0.3000,1,0,0,0,0,0,0,0,,0\n");
    nlohmann::json runs = nlohmann::json::parse(ExportJson(handedOff.runs, nullptr))["runs"];
    EXPECT_EQ(runs[0]["failures"],
              nlohmann::json::parse(R"({"window_not_found": 0, "not_visible": 0,
                                        "input_idle_failed": 0, "exited_before_ready": 0,
                                        "handed_off": 1})"));
    EXPECT_EQ(runs[0]["failed_launches"],
              nlohmann::json::parse(R"([{"launch": 1, "window_not_found": 0, "not_visible": 0,
                                         "input_idle_failed": 0, "exited_before_ready": 0,
                                         "handed_off": 1, "exit_code": null}])"));
    EXPECT_EQ(runs[1]["failures"]["handed_off"], 0);
    EXPECT_EQ(runs[0]["times"], nlohmann::json::parse("[0.01, 0.2]"));
}

// A window that did not settle has its column after the hand-offs', which
// come with it; a log with hand-offs alone keeps the columns above.
TEST(Exports, NotSettledGetsAColumnAndAKeyWhereARunHasOne)
{
    Analysed notSettled = Analyse(
        "a.exe - 2 executions\n"
        "Failed to settle W\n30.0100\n"
        "0.2000\n",
        false);
    EXPECT_EQ(ExportCsv(notSettled.runs),
              "run,log,header_line,application,launch,line,seconds,counted,outlier,"
              "window_not_found,not_visible,input_idle_failed,exited_before_ready,handed_off,"
              "not_settled,failed,exit_code,close_failed\n"
              "1,small.log,1,a.exe,1,3,30.0100,0,0,0,0,0,0,0,1,1,,0\n"
              "1,small.log,1,a.exe,2,4,0.2000,1,0,0,0,0,0,0,0,0,,0\n");
    nlohmann::json runs = nlohmann::json::parse(ExportJson(notSettled.runs, nullptr))["runs"];
    EXPECT_EQ(runs[0]["failures"],
              nlohmann::json::parse(R"({"window_not_found": 0, "not_visible": 0,
                                        "input_idle_failed": 0, "exited_before_ready": 0,
                                        "handed_off": 0, "not_settled": 1})"));
    EXPECT_EQ(runs[0]["failed_launches"][0]["not_settled"], 1);
}

TEST(Exports, ARunWhoseEveryLaunchFailedHasNoFigures)
{
    Analysed failed = Analyse(
        "a.exe - 2 executions\nFailed to find window W\n57.3279\n"
        "Application exited with code 1 before it was ready\n0.0100\n",
        false);
    EXPECT_FALSE(failed.runs[0].summary);
    EXPECT_EQ(ExportHyperfine(failed.runs), "{\n  \"results\": []\n}\n");
    std::string svg = ExportSvg(failed.runs);
    EXPECT_NE(svg.find(">2 of 2 launches, 2 failed</text>"), std::string::npos) << svg;
    EXPECT_NE(svg.find(" fill=\"#888\">every launch failed</text>"), std::string::npos) << svg;
    EXPECT_EQ(svg.find("<title>launch "), std::string::npos);
    std::string markdown = ExportMarkdown(failed.runs, nullptr);
    EXPECT_NE(markdown.find("| 2 of 2 | – | – | – | – | – | – | 2 | 0 |\n"), std::string::npos)
        << markdown;
    nlohmann::json run = nlohmann::json::parse(ExportJson(failed.runs, nullptr))["runs"][0];
    EXPECT_TRUE(run["mean"].is_null());
    EXPECT_EQ(run["times"], nlohmann::json::parse("[57.3279, 0.01]"));
}

TEST(Exports, SvgOfNoLaunchesStillHasAnAxis)
{
    Analysed empty = Analyse("a.exe - 3 executions\n", false);
    std::string svg = ExportSvg(empty.runs);
    EXPECT_NE(svg.find(">no launches</text>"), std::string::npos);
    EXPECT_NE(svg.find(">0.0</text>"), std::string::npos);
    EXPECT_NE(svg.find(">1.0</text>"), std::string::npos);
    EXPECT_EQ(svg.find("<circle cx=\"250.0\" cy=\"67"), std::string::npos);
}

TEST(Exports, NumbersKeepTheirDotInACommaLocale)
{
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "German_Germany.1252", "German", "fr_FR.UTF-8"};
    const char* chosen = nullptr;
    for (const char* name : names)
        if (std::setlocale(LC_ALL, name) && *std::localeconv()->decimal_point == ',') {
            chosen = name;
            break;
        }
    if (!chosen) {
        std::setlocale(LC_ALL, "C");
        GTEST_SKIP() << "no locale with a decimal comma here";
    }
    // Every launch counted, so the figures are round: a mean of 0.5.
    Analysed small = Analyse(kSmallLog, true, true);
    std::string csv = ExportCsv(small.runs);
    std::string json = ExportJson(small.runs, &small.comparison);
    std::string markdown = ExportMarkdown(small.runs, &small.comparison);
    std::string svg = ExportSvg(small.runs);
    std::string fixed = FormatFixed(0.5, 4);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(fixed, "0.5000") << chosen;
    EXPECT_NE(csv.find(",0.2500,"), std::string::npos);
    EXPECT_NE(json.find("0.3535533905932738"), std::string::npos);
    EXPECT_NE(markdown.find("0.5000 ± 0.3536"), std::string::npos);
    EXPECT_NE(svg.find("cx=\"282.5\""), std::string::npos);
}
