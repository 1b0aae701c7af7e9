// How often the regression gate catches a real slowdown, and how often it
// cries wolf: pairs of runs drawn like real start-up times, each judged by
// the gate's own code (a results log written, read back, analysed,
// compared and gated as kairon-report does), once with the rank test and
// once with Welch's. Prints a Markdown table; the seed is fixed, so the
// table is the same on every run and machine with the same library.
//
//   gate_power [PAIRS]   (default 2000 pairs a row: with 400, a share is
//                        only known to 5 points either way)
//
// The times: lognormal around 0.5 s with a spread of 8%, and 8% of the
// launches 1.5 to 3 times slower (a cold disk, a virus scan, a busy CI
// machine). The candidate's times are the same, times 1 + the slowdown.
// The gate's limit is 0%: any slowdown it can show.
#include "report/regression_gate.h"
#include "report/results_log.h"
#include "report/run_analysis.h"
#include "report/text_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

const double kMedianSeconds = 0.5;
const double kSpread = 0.08;          // of the logarithm
const double kSlowLaunchShare = 0.08;
const double kSlowLaunchLow = 1.5;
const double kSlowLaunchHigh = 3.0;
const double kLimitPercent = 0.0;
const std::uint64_t kSeed = 20261208;

std::string DrawRun(const char* name, int launches, double slowdown, std::mt19937_64& generator)
{
    std::normal_distribution<double> spread(0.0, kSpread);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_real_distribution<double> slowLaunch(kSlowLaunchLow, kSlowLaunchHigh);
    std::string log = std::string(name) + " - " + std::to_string(launches) + " executions\n";
    for (int i = 0; i < launches; ++i) {
        double seconds = kMedianSeconds * std::exp(spread(generator)) * (1.0 + slowdown);
        if (unit(generator) < kSlowLaunchShare)
            seconds *= slowLaunch(generator);
        log += FormatFixed(seconds, 4) + "\n";
    }
    return log;
}

bool GateFails(const std::vector<RunAnalysis>& runs, SignificanceTest test)
{
    const ComparisonReport comparison = CompareRuns(runs, 1, 0.05, test);
    return ApplyRegressionGate(comparison, runs, kLimitPercent).failed;
}

}  // namespace

int main(int argc, char** argv)
{
    const int pairs = argc > 1 ? std::atoi(argv[1]) : 2000;
    if (pairs <= 0) {
        std::fprintf(stderr, "usage: gate_power [PAIRS]\n");
        return 2;
    }
    std::mt19937_64 generator(kSeed);
    std::printf("| Launches a side | Slowdown | Rank gate fails | Welch gate fails |\n"
                "|---:|---:|---:|---:|\n");
    for (int launches : {10, 20, 30}) {
        for (double slowdown : {0.0, 0.03, 0.05, 0.10}) {
            int rankFails = 0;
            int welchFails = 0;
            for (int pair = 0; pair < pairs; ++pair) {
                const std::string log = DrawRun("base.exe", launches, 0.0, generator) +
                                        DrawRun("candidate.exe", launches, slowdown, generator);
                const ParsedLog parsed = ParseResultsLog(log, "pair");
                std::vector<RunAnalysis> runs;
                for (const Run& run : parsed.runs)
                    runs.push_back(AnalyzeRun(run, static_cast<int>(runs.size()) + 1, false));
                rankFails += GateFails(runs, kRankTest) ? 1 : 0;
                welchFails += GateFails(runs, kWelchTest) ? 1 : 0;
            }
            auto share = [pairs](int count) {
                return FormatFixed(100.0 * count / pairs, 1) + " %";
            };
            std::printf("| %d | %s | %s | %s |\n", launches,
                        (FormatShortest(slowdown * 100.0) + " %").c_str(), share(rankFails).c_str(),
                        share(welchFails).c_str());
            std::fflush(stdout);
        }
    }
    // The widest 95% margin of a share of this many pairs, at 50%.
    std::printf("\nEach share is of %d pairs a row: within %s points of the gate's true\n"
                "rate, 19 times in 20.\n",
                pairs, FormatFixed(196.0 * std::sqrt(0.25 / pairs), 1).c_str());
    return 0;
}
