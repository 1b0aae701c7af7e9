// kairon-time's command line, read into the same settings the dialog fills.
#ifndef KAIRON_CONSOLE_TIME_OPTIONS_H
#define KAIRON_CONSOLE_TIME_OPTIONS_H

#include "config/run_settings.h"
#include "report/gate_looks.h"
#include "report/report_program.h"
#include "report/run_analysis.h"

#include <string>

// What the command line asks for beyond the run's settings.
struct TimeOptions {
    bool quiet = false;
    // --keep-going: every launch, even after one whose window was not found.
    bool keepGoing = false;
    std::string jsonPath;  // --json FILE; empty without it
    std::string buildId;   // --build ID, kept in the JSON; empty without it
    // --save-config FILE: write config.txt for these options instead of
    // running; --attended: with its last line 0, so that Kairon opens
    // filled in and waits for Run App.
    std::string saveConfigPath;
    bool attended = false;
    // With --compare: --fail-if-slower PCT, the gate that judges APP
    // against the baseline, and --significance P, its level and the
    // comparison's.
    bool gate = false;
    double slowerLimitPercent = 0.0;
    double significanceLevel = kDefaultSignificanceLevel;
    SignificanceTest test = kRankTest;  // --test: which decides
    // --max-runs N: launches a side the gate may add to --runs while it
    // cannot tell; 0 without it, which adds none.
    std::int32_t maxRuns = 0;
};

// How the gate of a run of `runs` launches a side looks at it.
GatePlan TimeGatePlan(const TimeOptions& options, std::int32_t runs);

enum TimeCommandLine {
    kTimeRun,          // settings filled; check them, then run
    kTimeHelp,         // --help: print TimeUsage() and stop
    kTimeVersion,      // --version: print TimeVersion() and stop
    kTimeBadCommand,   // *error says what is wrong
};

// The defaults of a console run: ten launches, a second's pause, results.txt,
// closing by WM_CLOSE when a window is waited for.
const std::int32_t kTimeDefaultRuns = 10;
const char kTimeDefaultLog[] = "results.txt";
// What the baseline's log adds to the log's name, when it is not given.
const char kBaselineLogSuffix[] = "-baseline";

// Reads argv[1..argc-1] into `settings` (cleared first; never autoRun;
// always with phase marks, the window owner checked, what a launch leaves
// running ended and a search for a program that died given up) and
// `options`. A value follows its option or its '=' (--runs=3); "--" ends
// the options. Quotes around APP and BASELINE are removed as config.txt
// removes them. With --compare, the baseline's log is always named.
TimeCommandLine ParseTimeCommandLine(int argc, const char* const* argv, RunSettings* settings,
                                     TimeOptions* options, std::string* error);

// The baseline's log when --baseline-log is not given: the log's path with
// "-baseline" before the extension of its file name, or after a name that
// has none (results.txt: results-baseline.txt; out.d/results:
// out.d/results-baseline).
std::string DefaultBaselineLog(const std::string& logPath);

// The dialog's checks, except that --input-idle counts as something to wait
// for where the dialog asks for a window name, and that warm-ups count as
// launches that must be closed before the next.
SettingsCheck FirstFailedTimeCheck(const RunSettings& settings);

// "Caption: text" of the dialog's warning for a failed check; for a close
// method missing, a second line, after "kairon-time: ", says what to give.
std::string TimeCheckMessage(SettingsCheck check);

std::string TimeUsage();

// "kairon-time 1.0.0.1010\n": the one version of every Kairon program.
std::string TimeVersion();

#endif
