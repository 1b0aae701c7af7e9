// kairon-report as a whole, apart from the process around it, so that
// tests can run it with any arguments and read what it printed.
#ifndef KAIRON_REPORT_REPORT_PROGRAM_H
#define KAIRON_REPORT_REPORT_PROGRAM_H

#include "report/exit_statuses.h"

#include <cstdio>
#include <ostream>
#include <string>


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
