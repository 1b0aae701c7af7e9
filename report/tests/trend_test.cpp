#include "report/change_points.h"
#include "report/report_program.h"
#include "report/trend_analysis.h"
#include "report/trend_exports.h"
#include "report/trend_report.h"

#include "tests/test_files.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <limits>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Levels with a small, fixed ripple, as a quiet machine's medians move.
std::vector<double> Levels(const std::vector<std::pair<int, double>>& stretches)
{
    std::vector<double> values;
    for (const auto& [count, level] : stretches)
        for (int i = 0; i < count; ++i) {
            const int ripple = static_cast<int>(values.size() * 7 % 5) - 2;
            values.push_back(level * (1.0 + 0.004 * ripple));
        }
    return values;
}

// Six builds at one value, six at another, exactly.
std::vector<double> Flat(double first, double second)
{
    std::vector<double> values(6, first);
    values.insert(values.end(), 6, second);
    return values;
}

struct KnownAnswer {
    const char* name;
    std::vector<double> values;
    std::vector<size_t> changes;
    std::vector<TrendChangeStatus> statuses;
};

TEST(Trend, FindsTheKnownChanges)
{
    std::vector<double> ramp;
    for (int i = 0; i < 30; ++i)
        ramp.push_back(i < 10 ? 0.5 : i < 20 ? 0.5 * (1.0 + 0.02 * (i - 9)) : 0.6);
    const KnownAnswer cases[] = {
        {"step", Levels({{10, 0.5}, {10, 0.6}}), {10}, {kChangeDetected}},
        {"no change", Levels({{25, 0.5}}), {}, {}},
        {"one-build spike", Levels({{8, 0.5}, {1, 0.9}, {8, 0.5}}), {}, {}},
        {"one-build dip at the end", Levels({{12, 0.5}, {1, 0.3}}), {}, {}},
        {"two changes close together", Levels({{8, 0.5}, {3, 0.6}, {8, 0.72}}), {8, 11},
         {kChangeDetected, kChangeDetected}},
        {"a change and its revert", Levels({{10, 0.5}, {5, 0.6}, {10, 0.5}}), {10, 15},
         {kChangeDetected, kChangeDetected}},
        {"one build after it so far", Levels({{10, 0.5}, {2, 0.6}}), {10}, {kChangeSuspected}},
        {"below the least change", Levels({{10, 0.5}, {10, 0.52}}), {}, {}},
        {"exactly the least change", Flat(0.5, 0.525), {6}, {kChangeDetected}},
        {"a tenth of a millisecond short of it", Flat(0.5, 0.5249), {}, {}},
        // A 2 % rise per build for ten builds: no step of 5 % in it, yet
        // the climb shows as steps that are.
        {"ramp", ramp, {12, 14, 18}, {kChangeDetected, kChangeDetected, kChangeDetected}},
    };
    for (const KnownAnswer& c : cases) {
        const std::vector<TrendChange> found = FindTrendChanges(c.values, 5.0);
        std::vector<size_t> builds;
        std::vector<TrendChangeStatus> statuses;
        for (const TrendChange& change : found) {
            builds.push_back(change.build);
            statuses.push_back(change.status);
            EXPECT_GE(std::fabs(change.ratio - 1.0), 0.05 - 1e-12) << c.name;
            ASSERT_TRUE(change.interval) << c.name;
            EXPECT_LE(change.interval->low, change.ratio) << c.name;
            EXPECT_GE(change.interval->high, change.ratio) << c.name;
        }
        EXPECT_EQ(builds, c.changes) << c.name;
        EXPECT_EQ(statuses, c.statuses) << c.name;
    }
}

// The optimum without any pruning: every start measured at every end.
std::vector<size_t> EveryCut(const std::vector<std::int64_t>& v, std::int64_t penalty,
                             size_t minSegment)
{
    const std::int64_t none = std::numeric_limits<std::int64_t>::max();
    std::vector<std::int64_t> best(v.size() + 1, none);
    std::vector<size_t> last(v.size() + 1, 0);
    best[0] = 0;
    for (size_t t = minSegment; t <= v.size(); ++t)
        for (size_t s = 0; s + minSegment <= t; ++s) {
            if (best[s] == none)
                continue;
            std::vector<std::int64_t> part(v.begin() + s, v.begin() + t);
            std::sort(part.begin(), part.end());
            std::int64_t cost = best[s] + penalty;
            for (std::int64_t x : part)
                cost += std::abs(x - part[part.size() / 2]);
            if (cost < best[t]) {
                best[t] = cost;
                last[t] = s;
            }
        }
    std::vector<size_t> starts;
    for (size_t t = v.size(); t > 0 && v.size() >= 2 * minSegment; t = last[t])
        if (last[t] > 0)
            starts.insert(starts.begin(), last[t]);
    return starts;
}

TEST(Trend, SegmentsExactlyAndBreaksTiesTheSameWay)
{
    // Two levels of 0 and 10 units: one cut, at the step, each side two or more.
    EXPECT_EQ(OptimalL1Segments({0, 0, 0, 10, 10, 10}, 1), (std::vector<size_t>{3}));
    // A cut costs more than it saves: none.
    EXPECT_EQ(OptimalL1Segments({0, 0, 0, 10, 10, 10}, 31), (std::vector<size_t>{}));
    // A lone value out of line is never a segment of its own.
    EXPECT_EQ(OptimalL1Segments({0, 0, 0, 50, 0, 0, 0}, 1), (std::vector<size_t>{}));
    // Equal costs: the cut that starts the last segment earliest.
    EXPECT_EQ(OptimalL1Segments({0, 0, 5, 10, 10}, 1), (std::vector<size_t>{2}));
    EXPECT_EQ(TrendPenalty({7, 7, 7, 7}), 1);
    // Segments of three: a start ruled out at one end may still win at
    // the next two.
    EXPECT_EQ(OptimalL1Segments({6, 1, 1, 20, 21, 5, 1, 2}, 6, 3),
              EveryCut({6, 1, 1, 20, 21, 5, 1, 2}, 6, 3));
}

// Pruning and passing over starts must never change the cut, ties included.
TEST(Trend, PrunedSegmentationIsTheExactOptimum)
{
    std::mt19937_64 draw(1);
    for (int i = 0; i < 300; ++i) {
        std::vector<std::int64_t> values;
        std::int64_t level = 0;
        for (size_t n = 4 + draw() % 56; values.size() < n;) {
            if (draw() % 10 == 0)
                level = static_cast<std::int64_t>(draw() % 5) * 10;
            values.push_back(level + static_cast<std::int64_t>(draw() % 7));
        }
        const std::int64_t penalty = 1 + static_cast<std::int64_t>(draw() % 20);
        const size_t minSegment = 1 + draw() % 3;
        ASSERT_EQ(OptimalL1Segments(values, penalty, minSegment),
                  EveryCut(values, penalty, minSegment)) << i;
    }
}

struct LogFile {
    std::string path;
    explicit LogFile(const std::string& name, const std::string& bytes)
        : path(name + "-" + ProcessTag())
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    ~LogFile() { std::remove(path.c_str()); }
};

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

Outcome Report(std::vector<std::string> args)
{
    args.insert(args.begin(), "kairon-report");
    std::vector<const char*> argv;
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    std::ostringstream out;
    std::ostringstream err;
    const int code =
        RunReportProgram(static_cast<int>(argv.size()), argv.data(), stdin, out, err);
    return {code, out.str(), err.str()};
}

std::string ReadText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The public series as a log: each value a run of one launch, in seconds
// with Kairon's four decimals.
std::string SeriesLog(const std::string& program)
{
    std::ifstream csv(std::string(REPORT_TEST_DATA) + "/tigerbeetle-series.csv");
    std::string line;
    std::getline(csv, line);
    std::string log;
    while (std::getline(csv, line)) {
        const std::string build = line.substr(0, line.find(','));
        const long value = std::stol(line.substr(line.find(',') + 1));
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%ld.%04ld", value / 10000, value % 10000);
        log += "C:\\builds\\" + build + "\\" + program + " - 1 executions\r\n" + seconds + "\r\n";
    }
    return log;
}

// The trend's changes with the run numbers left out, which depend on the
// order of the logs.
std::string ChangesWithoutRuns(const std::string& jsonPath)
{
    nlohmann::json trend = nlohmann::json::parse(ReadText(jsonPath))["trend"];
    for (nlohmann::json& change : trend["changes"])
        change.erase("run");
    return trend["changes"].dump();
}

TEST(Trend, FindsTheLastingChangesOfThePublicSeriesAndNoOther)
{
    const LogFile series("trend-series.log", SeriesLog("tb.exe"));
    const LogFile steps("trend-steps.log",
                        "C:\\a\\other.exe - 2 executions\r\n0.5000\r\n0.5010\r\n"
                        "C:\\a\\other.exe - 2 executions\r\n0.5020\r\n0.5000\r\n"
                        "C:\\b\\other.exe - 2 executions\r\n0.6000\r\n0.6010\r\n"
                        "C:\\b\\other.exe - 2 executions\r\n0.6020\r\n0.6000\r\n");
    const std::string json = "trend-" + ProcessTag() + ".json";
    const Outcome outcome = Report({"--trend", "--min-change", "5", series.path, steps.path,
                                    "--export-json", json});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const nlohmann::json changes = nlohmann::json::parse(ReadText(json))["trend"]["changes"];
    std::vector<int> tigerBuilds;
    for (const nlohmann::json& change : changes)
        if (change["series"] == 2)
            tigerBuilds.push_back(change["build"].get<int>() - 1);
    ASSERT_EQ(tigerBuilds.size(), 2u) << changes.dump();
    EXPECT_LE(std::abs(tigerBuilds[0] - 15), 1);
    EXPECT_LE(std::abs(tigerBuilds[1] - 71), 1);
    EXPECT_EQ(changes[0]["series"], 1);  // other.exe sorts first
    EXPECT_EQ(changes[0]["run"], 368);
    EXPECT_EQ(changes[0]["status"], "suspected");

    const std::string forward = ChangesWithoutRuns(json);
    ASSERT_EQ(Report({"--trend", steps.path, series.path, "--export-json", json}).exitCode, 0);
    EXPECT_EQ(ChangesWithoutRuns(json), forward);
    std::remove(json.c_str());
}

TEST(Trend, ChartHasAMarkerPerChangeAndEveryLaunchInsideTheAxes)
{
    std::string log;
    for (int build = 0; build < 12; ++build) {
        log += "C:\\b\\" + std::to_string(build) + "\\app.exe - 4 executions\r\n";
        if (build == 3)
            log += "Failed to find window App\r\n57.0000\r\n";
        for (int launch = 0; launch < 3; ++launch)
            log += (build < 6 ? "0.40" : "0.50") + std::to_string(10 + launch * 7) + "\r\n";
    }
    const LogFile file("trend-chart.log", log);
    const std::string svg = "trend-" + ProcessTag() + ".svg";
    ASSERT_EQ(Report({"--trend", file.path, "--export-svg", svg}).exitCode, 0);
    const std::string text = ReadText(svg);
    std::remove(svg.c_str());

    std::smatch axes;
    ASSERT_TRUE(std::regex_search(text, axes, std::regex(
        "class=\"axes\" x=\"([0-9.]+)\" y=\"([0-9.]+)\" width=\"([0-9.]+)\" height=\"([0-9.]+)\"")));
    const double left = std::stod(axes[1]), top = std::stod(axes[2]);
    const double right = left + std::stod(axes[3]), bottom = top + std::stod(axes[4]);
    int launches = 0;
    const std::regex point("class=\"(launch)\" cx=\"([0-9.]+)\" cy=\"([0-9.]+)\"|"
                           "class=\"(failed)\" d=\"M([0-9.]+) ([0-9.]+)l6 6");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), point);
         it != std::sregex_iterator(); ++it) {
        const bool failed = (*it)[4].matched;
        const double x = std::stod((*it)[failed ? 5 : 2]) + (failed ? 3 : 0);
        const double y = std::stod((*it)[failed ? 6 : 3]) + (failed ? 3 : 0);
        EXPECT_TRUE(x >= left && x <= right && y >= top && y <= bottom) << (*it)[0];
        ++launches;
    }
    EXPECT_EQ(launches, 12 * 3 + 1);
    size_t markers = 0;
    for (size_t at = text.find("class=\"change\""); at != std::string::npos;
         at = text.find("class=\"change\"", at + 1))
        ++markers;
    EXPECT_EQ(markers, 1u);
    EXPECT_NE(text.find("1.25 x, builds 6 to 7 (detected)"), std::string::npos);
}

TEST(Trend, SaysWhatItCouldNotReadAndKeepsTheRest)
{
    const LogFile log("trend-cut.log",
                      "C:\\b\\1\\app.exe - 2 executions\r\n0.4000\r\n0.4010\r\n"
                      "C:\\b\\2\\app.exe - 2 executions\r\n0.4020\r\nnot a time\r\n0.4000\r\n"
                      "C:\\b\\3\\app.exe - 2 executions\r\n0.4000\r\n0.40");
    const Outcome outcome = Report({"--trend", log.path});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_NE(outcome.err.find(log.path + ":6: "), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find(log.path + ":10: "), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.out.find("Trend of app.exe: 3 builds"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("  Too few builds to tell a change (4 needed).\n"),
              std::string::npos) << outcome.out;

    const LogFile json("trend-bad.json", "{\"application\": 1");
    const Outcome bad = Report({"--trend", log.path, json.path});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find(json.path + ": not a JSON file of kairon-time's --json"),
              std::string::npos) << bad.err;
}

TEST(Trend, LabelsBuildsAndSplitsMachinesByKaironTimesJson)
{
    std::string log;
    std::string jsons;
    for (int build = 0; build < 4; ++build)
        log += "C:\\b\\app.exe - 1 executions\r\n0." + std::to_string(4000 + build) + "\r\n";
    const LogFile file("trend-labels.log", log);
    auto record = [](int build, const char* machine) {
        return "{\"application\": \"C:\\\\b\\\\app.exe\", \"build\": \"ci-" +
               std::to_string(build) + "\", \"machine\": \"" + machine +
               "\", \"window\": \"My App\", \"launches\": [{\"launch\": 1, \"warmup\": "
               "false, \"seconds\": 0." + std::to_string(4000 + build) + "}]}";
    };
    const LogFile a("trend-a.json", record(0, "HOST-A")), b("trend-b.json", record(1, "HOST-B"));
    const LogFile stray("trend-stray.json", record(9, "HOST-A"));
    const Outcome outcome = Report({"--trend", file.path, b.path, a.path, stray.path});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_NE(outcome.out.find("Trend of app.exe: 2 builds"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("Trend of app.exe on HOST-A: 1 build"), std::string::npos);
    EXPECT_NE(outcome.out.find("Trend of app.exe on HOST-B: 1 build"), std::string::npos);
    EXPECT_EQ(outcome.err, stray.path + ": its run of C:\\b\\app.exe is in none of the logs given\n");
}

bool Exists(const std::string&) { return true; }

TEST(Trend, PrintsTheCommandThatSettlesADetectedChange)
{
    std::vector<RunAnalysis> runs;
    std::vector<::Run> logged(6);
    for (size_t i = 0; i < logged.size(); ++i) {
        logged[i].application = "C:\\nightly\\" + std::to_string(100 + i) + "\\my app.exe";
        logged[i].launches.push_back(Launch{i < 3 ? 0.5 : 0.4, 2, {}, {}, 0});
    }
    for (size_t i = 0; i < logged.size(); ++i)
        runs.push_back(AnalyzeRun(logged[i], static_cast<int>(i) + 1, false));
    const std::vector<TrendSeries> series = AnalyzeTrend(runs, {}, 5.0);
    const std::string text = FormatTrend(series, 5.0, Exists);
    EXPECT_NE(text.find("  First to last: the median of the last 3 builds is 0.80 x that of "
                        "the first 3.\n"),
              std::string::npos) << text;
    // A drop: the older, slower build is the APP the gate calls slower.
    EXPECT_NE(text.find("    kairon-time --window TITLE --runs 20 --max-runs 60 --compare "
                        "\"C:\\nightly\\103\\my app.exe\" --fail-if-slower 5 "
                        "\"C:\\nightly\\102\\my app.exe\"\n"),
              std::string::npos) << text;
    EXPECT_EQ(FormatTrend(series, 5.0, [](const std::string&) { return false; }).find("kairon-time"),
              std::string::npos);
    EXPECT_EQ(ExportTrendCsv(series[0]).substr(0, 80),
              "time,commit,value\n2000-01-01T00:00:00Z,C:\\nightly\\100\\my app.exe,0.5\n"
              "2000-01-01T");
    EXPECT_EQ(TrendCsvPath("out/trend.csv", 1), "out/trend-2.csv");
    EXPECT_EQ(TrendCsvPath("out.d/trend", 2), "out.d/trend-3");
}

}  // namespace
