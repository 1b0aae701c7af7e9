// How kairon-report --trend fares on histories drawn like nightly runs:
// how often it calls a change where there is none, how many builds after
// a real step it first reports it, where it places it, and what ten
// thousand builds cost. Each build is a run of 20 launches; the seeds are
// fixed, so the table is the same on every run with the same library.
//
//   trend_bench [HISTORIES]   (default 200 per row)
//
// A quiet machine spreads launches lognormally by 3%; a noisy one by 10%,
// and moves each run as a whole by a further 2% (the machine's mood that
// night), which no number of launches averages out.
#include "report/results_log.h"
#include "report/run_analysis.h"
#include "report/statistics.h"
#include "report/text_format.h"
#include "report/trend_analysis.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

const double kBaseSeconds = 0.5;
const int kLaunchesPerBuild = 20;
const double kStep = 1.10;
const int kBuildsBefore = 20;      // a step comes at build 20 to 39
const int kBuildsWatched = 12;     // builds timed from the step on

struct Machine {
    const char* name;
    double launchSpread;
    double runSpread;
};
const Machine kMachines[] = {{"quiet (3%)", 0.03, 0.0}, {"noisy (10%, 2% a run)", 0.10, 0.02}};

// A build's launch times, rounded to the log's four decimals.
std::vector<double> DrawBuild(const Machine& machine, double level, int launches,
                              std::mt19937_64& generator)
{
    std::normal_distribution<double> launch(0.0, machine.launchSpread);
    std::normal_distribution<double> run(0.0, machine.runSpread);
    const double runFactor = machine.runSpread > 0 ? std::exp(run(generator)) : 1.0;
    std::vector<double> times;
    for (int i = 0; i < launches; ++i)
        times.push_back(std::round(level * runFactor * std::exp(launch(generator)) * 10000.0) /
                        10000.0);
    return times;
}

double BuildValue(const Machine& machine, double level, std::mt19937_64& generator)
{
    return Median(DrawBuild(machine, level, kLaunchesPerBuild, generator));
}

struct Row {
    double falsePer100 = 0.0;
    std::vector<double> reportedDelays;  // builds after the step, suspected or detected
    std::vector<double> detectedDelays;
    int exact = 0;
    int withinOne = 0;
    int histories = 0;
};

Row Measure(const Machine& machine, int histories, std::uint64_t seed)
{
    Row row;
    row.histories = histories;
    std::mt19937_64 generator(seed);
    long changes = 0;
    long builds = 0;
    for (int h = 0; h < histories; ++h) {
        std::vector<double> values;
        for (int b = 0; b < 100; ++b)
            values.push_back(BuildValue(machine, kBaseSeconds, generator));
        changes += static_cast<long>(FindTrendChanges(values, 5.0).size());
        builds += 100;
    }
    row.falsePer100 = 100.0 * static_cast<double>(changes) / static_cast<double>(builds);
    const double missed = 99.0;
    for (int h = 0; h < histories; ++h) {
        const int step = kBuildsBefore + static_cast<int>(generator() % 20);
        std::vector<double> values;
        for (int b = 0; b < step + kBuildsWatched; ++b)
            values.push_back(BuildValue(machine, b < step ? kBaseSeconds : kBaseSeconds * kStep,
                                        generator));
        double reported = missed;
        double detected = missed;
        // Night by night: the history as it stood after each build.
        for (int last = step + 1; last < step + kBuildsWatched; ++last) {
            const std::vector<double> sofar(values.begin(), values.begin() + last + 1);
            for (const TrendChange& change : FindTrendChanges(sofar, 5.0)) {
                if (std::abs(static_cast<int>(change.build) - step) > 1)
                    continue;
                if (reported == missed)
                    reported = last - step;
                if (detected == missed && change.status == kChangeDetected)
                    detected = last - step;
            }
            if (detected != missed)
                break;
        }
        row.reportedDelays.push_back(reported);
        row.detectedDelays.push_back(detected);
        bool exact = false;
        bool near = false;
        for (const TrendChange& change : FindTrendChanges(values, 5.0)) {
            exact = exact || static_cast<int>(change.build) == step;
            near = near || std::abs(static_cast<int>(change.build) - step) <= 1;
        }
        row.exact += exact ? 1 : 0;
        row.withinOne += near ? 1 : 0;
    }
    return row;
}

std::string Delays(std::vector<double> delays)
{
    std::sort(delays.begin(), delays.end());
    const double p50 = Percentile(delays, 0.5);
    const double p90 = Percentile(delays, 0.9);
    return FormatFixed(p50, 1) + " | " + (p90 >= 99 ? std::string("missed") : FormatFixed(p90, 1));
}

// The log of a long history, as kairon-time would have appended it night
// after night: a step of 10% every 1,000 builds, or none.
std::string LongHistoryLog(int builds, int launches, bool steps, std::mt19937_64& generator)
{
    std::string log;
    for (int b = 0; b < builds; ++b) {
        const double level = kBaseSeconds * (steps && (b / 1000) % 2 == 1 ? kStep : 1.0);
        log += "C:\\builds\\" + std::to_string(b) + "\\app.exe - " + std::to_string(launches) +
               " executions\r\n";
        for (double t : DrawBuild(kMachines[0], level, launches, generator))
            log += FormatFixed(t, 4) + "\r\n";
    }
    return log;
}

struct Cost {
    double readSeconds = 0.0;   // reading and analysing the runs, CPU
    double trendSeconds = 0.0;  // the trend of their medians, CPU
    double wallSeconds = 0.0;   // both, by the clock on the wall
    size_t changes = 0;
};

double CpuSeconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Reading, analysing and finding the trend of the whole log, as
// kairon-report --trend does. CPU time as well as the wall's: on a shared
// machine the wall clock counts the other programs' turns too.
Cost TimeLongHistory(bool steps)
{
    std::mt19937_64 generator(7);
    const std::string log = LongHistoryLog(10000, 60, steps, generator);
    Cost cost;
    const auto wallStart = std::chrono::steady_clock::now();
    const double start = CpuSeconds();
    const ParsedLog parsed = ParseResultsLog(log, "history.log");
    std::vector<RunAnalysis> runs;
    for (const Run& run : parsed.runs)
        runs.push_back(AnalyzeRun(run, static_cast<int>(runs.size()) + 1, false));
    const double read = CpuSeconds();
    const std::vector<TrendSeries> series = AnalyzeTrend(runs, {}, 5.0);
    const double end = CpuSeconds();
    cost.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() -
                                                     wallStart).count();
    cost.readSeconds = read - start;
    cost.trendSeconds = end - read;
    cost.changes = series.empty() ? 0 : series[0].changes.size();
    return cost;
}

}  // namespace

int main(int argc, char** argv)
{
    const int histories = argc > 1 ? std::atoi(argv[1]) : 200;
    std::printf("| Machine | False changes per 100 builds | 10%% step: builds until reported, "
                "median | 90th pct | until detected, median | 90th pct | at its build | "
                "within one |\n|---|--:|--:|--:|--:|--:|--:|--:|\n");
    std::uint64_t seed = 20261208;
    for (const Machine& machine : kMachines) {
        const Row row = Measure(machine, histories, seed++);
        std::printf("| %s | %s | %s | %s | %s%% | %s%% |\n", machine.name,
                    FormatFixed(row.falsePer100, 2).c_str(), Delays(row.reportedDelays).c_str(),
                    Delays(row.detectedDelays).c_str(),
                    FormatFixed(100.0 * row.exact / row.histories, 1).c_str(),
                    FormatFixed(100.0 * row.withinOne / row.histories, 1).c_str());
    }
    std::printf("\n| 10,000 builds of 60 launches | CPU s, reading | CPU s, trend | CPU s, "
                "together | wall s | changes found |\n|---|--:|--:|--:|--:|--:|\n");
    for (bool steps : {true, false}) {
        const Cost cost = TimeLongHistory(steps);
        std::printf("| %s | %s | %s | %s | %s | %zu |\n",
                    steps ? "a 10% step every 1,000 builds" : "no change",
                    FormatFixed(cost.readSeconds, 2).c_str(),
                    FormatFixed(cost.trendSeconds, 2).c_str(),
                    FormatFixed(cost.readSeconds + cost.trendSeconds, 2).c_str(),
                    FormatFixed(cost.wallSeconds, 2).c_str(), cost.changes);
    }
    return 0;
}
