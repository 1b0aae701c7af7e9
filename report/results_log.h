// A results log read back into runs. Each header starts a run; the timing
// lines that follow are its launches; failure lines belong to the launch
// whose timing line comes next (the run writes a launch's failures before
// its time). Debug lines are skipped; foreign lines are reported.
#ifndef KAIRON_REPORT_RESULTS_LOG_H
#define KAIRON_REPORT_RESULTS_LOG_H

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum FailureKind { kWindowNotFound, kNotVisible, kInputIdleFailed, kFailureKinds };

using FailureCounts = std::array<int, kFailureKinds>;

struct Launch {
    double seconds = 0.0;
    int line = 0;                  // line number of its timing line, from 1
    FailureCounts failures = {};   // failure lines of this launch
};

struct Run {
    std::string source;            // the log's name as given, or "<stdin>"
    int header_line = 0;
    std::string application;       // as written in the header (ANSI bytes)
    std::int64_t announced = 0;    // executions the header announced
    std::vector<Launch> launches;
    FailureCounts failures = {};   // every failure line of the run
};

struct LogProblem {
    std::string source;
    int line = 0;                  // 0: the file as a whole
    std::string message;
};

struct ParsedLog {
    bool is_results_log = false;   // false: nothing of it should be used
    std::vector<Run> runs;
    std::vector<LogProblem> problems;  // lines skipped, or why it is no log
};

// Parses a whole log held in memory; lines end in LF or CR LF.
ParsedLog ParseResultsLog(std::string_view text, const std::string& source);

// "window not found", "not visible", "input idle failed".
const char* FailureKindName(int kind);

#endif
