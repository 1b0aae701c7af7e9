// kairon-report as a whole, apart from the process around it, so that
// tests can run it with any arguments and read what it printed.
#ifndef KAIRON_REPORT_REPORT_PROGRAM_H
#define KAIRON_REPORT_REPORT_PROGRAM_H

#include <cstdio>
#include <ostream>
#include <string>

enum ReportExitCode {
    kExitOk = 0,
    kExitUsage = 1,        // bad command line, or nothing to compare
    kExitBadInput = 2,     // a log missing, unreadable or not a results log
    kExitWriteFailed = 3,  // an export could not be written; takes precedence over 4 and 5
    kExitSlower = 4,       // --fail-if-slower: a run is significantly slower; over 5
    kExitCannotJudge = 5,  // --fail-if-slower: a run could not be tested against the reference
};

// What --significance and --fail-if-slower accept, and the words that
// refuse anything else; kairon-time's comparison takes the same.
struct NumberRange {
    double min;
    double max;
    const char* expected;  // "a number from 0.000001 to 0.5"
};
extern const NumberRange kSignificanceRange;
extern const NumberRange kSlowerLimitRange;
extern const double kDefaultSignificanceLevel;

// Whether `text` is a number within `range` (NaN never is), read as the
// command line reads numbers; then *value is it.
bool ReadNumberInRange(const std::string& text, const NumberRange& range, double* value);

// Reads the logs named in argv (standard input for none or "-"), prints
// the summary on out and the problems on err, writes the exports asked for.
int RunReportProgram(int argc, const char* const* argv, std::FILE* input, std::ostream& out,
                     std::ostream& err);

#endif
