// A results log read back into runs. Each header starts a run; the timing
// lines that follow are its launches; failure lines belong to the launch
// whose timing line comes next (the run writes a launch's failures before
// its time), a close failure to the launch whose timing line came last (the
// close is tried once the time is written). Debug lines are skipped; foreign
// lines are reported.
#ifndef KAIRON_REPORT_RESULTS_LOG_H
#define KAIRON_REPORT_RESULTS_LOG_H

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The ways a launch can miss the moment it was waiting for. A launch with
// any of them failed: its time is not a start-up time.
enum FailureKind {
    kWindowNotFound,
    kNotVisible,
    kInputIdleFailed,
    kExitedBeforeReady,
    kHandedOff,  // kairon-time's only: an instance already running opened the window
    kNotSettled, // kairon-time's only: the window's pixels did not settle (--settled)
    kFailureKinds
};

// The kinds every export has a column or a key for. The later ones came
// with kairon-time: an export names them only as far as the last one a run
// it holds has, so that a log without any exports as it always did, and
// one with hand-offs alone as it did before there were other kinds.
const int kFailureKindsAlwaysExported = kHandedOff;

using FailureCounts = std::array<int, kFailureKinds>;

struct Launch {
    double seconds = 0.0;
    int line = 0;                  // line number of its timing line, from 1
    FailureCounts failures = {};   // failure lines of this launch
    std::optional<std::uint32_t> exitCode;  // when it exited before it was ready
    int closeFailures = 0;         // the application was left running after it
};

struct Run {
    std::string source;            // the log's name as given, or "<stdin>"
    int headerLine = 0;
    std::string application;       // as written in the header (ANSI bytes)
    std::int64_t announced = 0;    // executions the header announced
    std::vector<Launch> launches;
    FailureCounts failures = {};   // every failure line of the run
    int closeFailures = 0;         // those that follow a launch of the run
};

struct LogProblem {
    std::string source;
    int line = 0;                  // 0: the file as a whole
    std::string message;
};

struct ParsedLog {
    bool isResultsLog = false;     // false: nothing of it should be used
    std::vector<Run> runs;
    std::vector<LogProblem> problems;  // lines skipped, or why it is no log
};

// Parses a whole log held in memory; lines end in LF or CR LF.
ParsedLog ParseResultsLog(std::string_view text, const std::string& source);

bool LaunchFailed(const Launch& launch);

// "window not found", "not visible", "input idle failed", "exited before ready",
// "handed off", "not settled".
const char* FailureKindName(int kind);
// The same as the exports name it: "window_not_found", ...
const char* FailureKindKey(int kind);

#endif
