// How often the regression gate tells a slowdown from none, and what it
// costs in launches: pairs of runs drawn like real start-up times, each
// judged by the gate's own code (a results log written, read back,
// analysed, compared and gated as kairon-report and kairon-time do), with
// kairon-time's rule for adding launches (report/gate_looks.h). Prints a
// Markdown table; the seed is fixed, so the table is the same on every run
// and machine with the same library.
//
//   gate_power [PAIRS [ROW...]]   (default 2000 pairs a row: with 400, a
//                                 share is only known to 5 points either
//                                 way; ROW: which rows, from 1, default all)
//
// Each row draws from its own seed, so that rows run apart (one process
// each, on a machine of several cores) print what a whole run does.
//
// The times: lognormal around 0.5 s. A quiet machine spreads them by 3%;
// a noisy one by 8%, and makes 8% of the launches 1.5 to 3 times slower
// (a cold disk, a virus scan, a busy CI machine). The candidate's times are
// the same, times 1 + the slowdown.
#include "report/gate_looks.h"
#include "report/results_log.h"
#include "report/statistics.h"
#include "report/run_analysis.h"
#include "report/text_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

const double kMedianSeconds = 0.5;
const double kSlowLaunchLow = 1.5;
const double kSlowLaunchHigh = 3.0;
const std::uint64_t kSeed = 20261208;

struct Machine {
    const char* name;
    double spread;          // of the logarithm
    double slowLaunchShare;
};
const Machine kQuiet = {"quiet", 0.03, 0.0};
const Machine kNoisy = {"noisy", 0.08, 0.08};

struct Row {
    const Machine* machine;
    double limitPercent;
    int runs;
    int maxRuns;
    double slowdown;
    SignificanceTest test;
};

std::string DrawRun(const char* name, const Machine& machine, int launches, double slowdown,
                    std::mt19937_64& generator)
{
    std::normal_distribution<double> spread(0.0, machine.spread);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_real_distribution<double> slowLaunch(kSlowLaunchLow, kSlowLaunchHigh);
    std::string log = std::string(name) + " - " + std::to_string(launches) + " executions\n";
    for (int i = 0; i < launches; ++i) {
        double seconds = kMedianSeconds * std::exp(spread(generator)) * (1.0 + slowdown);
        if (unit(generator) < machine.slowLaunchShare)
            seconds *= slowLaunch(generator);
        log += FormatFixed(seconds, 4) + "\n";
    }
    return log;
}

// The first `launches` of each run, as kairon-time's observer sees them
// when it looks.
std::vector<RunAnalysis> FirstLaunches(const ParsedLog& parsed, int launches,
                                       std::vector<Run>* kept)
{
    kept->assign(parsed.runs.begin(), parsed.runs.end());
    std::vector<RunAnalysis> pair;
    for (Run& run : *kept) {
        run.launches.resize(static_cast<size_t>(launches));
        pair.push_back(AnalyzeRun(run, static_cast<int>(pair.size()) + 1, false));
    }
    return pair;
}

struct Tally {
    int within = 0;
    int slower = 0;
    int cannotTell = 0;
    long long launches = 0;  // a side, over all pairs
    // Of the pairs it could not tell: the gate's estimate of the launches
    // a side that would tell.
    std::vector<double> launchesToTell;
};

Tally RunRow(const Row& row, int pairs, std::uint64_t seed)
{
    std::mt19937_64 generator(seed);
    GatePlan plan;
    plan.limitPercent = row.limitPercent;
    plan.test = row.test;
    plan.runs = row.runs;
    plan.maxRuns = row.maxRuns;
    Tally tally;
    for (int pair = 0; pair < pairs; ++pair) {
        const std::string log =
            DrawRun("base.exe", *row.machine, row.maxRuns, 0.0, generator) +
            DrawRun("candidate.exe", *row.machine, row.maxRuns, row.slowdown, generator);
        const ParsedLog parsed = ParseResultsLog(log, "pair");
        std::vector<Run> kept;
        for (int launches : GateLooks(plan)) {
            const GateReport gate = GateAtLook(plan, FirstLaunches(parsed, launches, &kept));
            if (!LookEndsRun(plan, launches, gate))
                continue;
            const GateRun& judged = gate.runs.front();
            tally.within += judged.outcome == kGateWithin ? 1 : 0;
            tally.slower += judged.outcome == kGateSlower ? 1 : 0;
            tally.cannotTell += judged.outcome == kGateCannotTell ? 1 : 0;
            if (judged.launchesToTell)
                tally.launchesToTell.push_back(*judged.launchesToTell);
            tally.launches += launches;
            break;
        }
    }
    return tally;
}

}  // namespace

int main(int argc, char** argv)
{
    const int pairs = argc > 1 ? std::atoi(argv[1]) : 2000;
    if (pairs <= 0) {
        std::fprintf(stderr, "usage: gate_power [PAIRS]\n");
        return 2;
    }
    const Row rows[] = {
        {&kQuiet, 5, 20, 20, 0.0, kRankTest},  {&kQuiet, 5, 20, 20, 0.10, kRankTest},
        {&kNoisy, 10, 20, 60, 0.0, kRankTest}, {&kNoisy, 10, 20, 60, 0.20, kRankTest},
        {&kNoisy, 5, 20, 60, 0.0, kRankTest},  {&kNoisy, 5, 20, 60, 0.10, kRankTest},
        {&kQuiet, 5, 20, 20, 0.0, kWelchTest}, {&kQuiet, 5, 20, 20, 0.10, kWelchTest},
    };
    const int rowCount = static_cast<int>(std::size(rows));
    std::vector<int> chosen;
    for (int arg = 2; arg < argc; ++arg) {
        const int row = std::atoi(argv[arg]);
        if (row < 1 || row > rowCount) {
            std::fprintf(stderr, "gate_power: no row %s; rows are 1 to %d\n", argv[arg],
                         rowCount);
            return 2;
        }
        chosen.push_back(row - 1);
    }
    for (int row = 0; chosen.size() < static_cast<size_t>(rowCount) && argc <= 2; ++row)
        chosen.push_back(row);
    std::printf("| Machine | Limit | Launches a side | Test | Slowdown | Within | Slower | "
                "Cannot tell | Launches a side, mean | Would tell at, median |\n"
                "|---|---:|---:|---|---:|---:|---:|---:|---:|---:|\n");
    for (int index : chosen) {
        const Row& row = rows[index];
        Tally tally = RunRow(row, pairs, kSeed + static_cast<std::uint64_t>(index));
        auto share = [pairs](int count) { return FormatFixed(100.0 * count / pairs, 1) + " %"; };
        const std::string launches =
            row.runs == row.maxRuns ? std::to_string(row.runs)
                                    : std::to_string(row.runs) + " to " +
                                          std::to_string(row.maxRuns);
        std::string wouldTell = "-";
        if (!tally.launchesToTell.empty()) {
            std::sort(tally.launchesToTell.begin(), tally.launchesToTell.end());
            wouldTell = FormatFixed(std::ceil(Percentile(tally.launchesToTell, 0.5)), 0);
        }
        std::printf("| %s | %s %% | %s | %s | %s %% | %s | %s | %s | %s | %s |\n",
                    row.machine->name, FormatShortest(row.limitPercent).c_str(),
                    launches.c_str(), kSignificanceTestNames[row.test],
                    FormatShortest(row.slowdown * 100.0).c_str(), share(tally.within).c_str(),
                    share(tally.slower).c_str(), share(tally.cannotTell).c_str(),
                    FormatFixed(static_cast<double>(tally.launches) / pairs, 1).c_str(),
                    wouldTell.c_str());
        std::fflush(stdout);
    }
    // The widest 95% margin of a share of this many pairs, at 50%.
    std::printf("\nEach share is of %d pairs a row: within %s points of the gate's true\n"
                "rate, 19 times in 20.\n",
                pairs, FormatFixed(196.0 * std::sqrt(0.25 / pairs), 1).c_str());
    return 0;
}
