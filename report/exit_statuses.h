// The exit statuses of both console programs, kairon-time and kairon-report,
// in one table, so that a CI script that calls either reads a number alike.
// Scripts branch on these numbers: a change to them is a change to every
// such script, and CHANGES.md says what moved.
#ifndef KAIRON_REPORT_EXIT_STATUSES_H
#define KAIRON_REPORT_EXIT_STATUSES_H

#include <string>

enum ExitStatus {
    kExitOk = 0,
    // A launch failed, a log could not be read, or the log, the JSON or an
    // export could not be written.
    kExitFailed = 1,
    kExitUsage = 2,        // bad command line or settings, or nothing to compare
    kExitNotReady = 3,     // kairon-time: a launch missed its condition
    kExitSlower = 4,       // --fail-if-slower: slower than the limit
    kExitCannotJudge = 5,  // --fail-if-slower: cannot tell a run within the limit
    // Ctrl-C or Ctrl-Break. 128 + SIGINT, as shells report an interrupted command.
    kExitInterrupted = 130,
};

struct ExitStatusRow {
    ExitStatus status;
    const char* meaning;  // one line, the same for both programs
    // Where several apply, the higher weight wins, and of equal weights the
    // one found first stands; 0 for a status nothing else is weighed against.
    int weight;
};
extern const ExitStatusRow kExitStatusRows[7];

// Which of two statuses that both apply a program gives: `other` only when
// it weighs more than `current`.
ExitStatus Outweighing(ExitStatus current, ExitStatus other);

// The table as both --help texts, the README and the zip's guide show it:
// "Exit status:", a line per status and which wins when several apply,
// each line after `indent`, "\n" at every line's end.
std::string ExitStatusTable(const std::string& indent);

#endif
