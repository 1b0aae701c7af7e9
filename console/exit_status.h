// kairon-time's exit statuses, from the best outcome to the worst kind of
// mistake; scripts branch on these numbers, so they never change.
#ifndef KAIRON_CONSOLE_EXIT_STATUS_H
#define KAIRON_CONSOLE_EXIT_STATUS_H

#include "report/report_program.h"

enum TimeExitStatus {
    kTimeExitReady = 0,     // every launch reached what it waited for
    kTimeExitFailed = 1,    // a launch failed, or the log could not be opened or written
    kTimeExitUsage = 2,     // bad command line or invalid settings; nothing was written
    kTimeExitNotReady = 3,  // some launch missed its condition; the log has every line
    // --compare with --fail-if-slower: kairon-report's gate statuses, so
    // that a script reads both programs' alike. 3 outweighs them.
    kTimeExitSlower = kExitSlower,            // APP significantly slower than the baseline
    kTimeExitCannotJudge = kExitCannotJudge,  // too few launches, or no spread
    // Ctrl-C or Ctrl-Break: the application is closed, the log keeps every
    // whole line. 128 + SIGINT, as shells report an interrupted command.
    kTimeExitInterrupted = 130,
};

#endif
