// kairon-time's exit statuses, from the best outcome to the worst kind of
// mistake; scripts branch on these numbers, so they never change.
#ifndef KAIRON_CONSOLE_EXIT_STATUS_H
#define KAIRON_CONSOLE_EXIT_STATUS_H

#include "report/report_program.h"

enum TimeExitStatus {
    kTimeExitReady = 0,     // every launch reached what it waited for
    // A launch failed, or the log or the JSON could not be opened or written.
    kTimeExitFailed = 1,
    // Bad command line, invalid settings, or two options that name one
    // file; nothing was written.
    kTimeExitUsage = 2,
    kTimeExitNotReady = 3,  // some launch missed its condition; the log has every line
    // --compare with --fail-if-slower: kairon-report's gate statuses, so
    // that a script reads both programs' alike. 3 outweighs them.
    kTimeExitSlower = kExitSlower,            // APP significantly slower than the baseline
    // Too few launches, no spread, or a log whose new run cannot be read back.
    kTimeExitCannotJudge = kExitCannotJudge,
    // Ctrl-C or Ctrl-Break: the application is closed, the log keeps every
    // whole line. 128 + SIGINT, as shells report an interrupted command.
    kTimeExitInterrupted = 130,
};

#endif
