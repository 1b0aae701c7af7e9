// kairon-time's exit statuses: the table both console programs share
// (report/exit_statuses.h), under the names kairon-time's code uses.
#ifndef KAIRON_CONSOLE_EXIT_STATUS_H
#define KAIRON_CONSOLE_EXIT_STATUS_H

#include "report/exit_statuses.h"

enum TimeExitStatus {
    kTimeExitReady = kExitOk,  // every launch reached what it waited for
    // A launch failed, or the log or the JSON could not be opened or written.
    kTimeExitFailed = kExitFailed,
    // Bad command line, invalid settings, or two options that name one
    // file; nothing was written.
    kTimeExitUsage = kExitUsage,
    kTimeExitNotReady = kExitNotReady,  // some launch missed its condition; the log has every line
    // --compare with --fail-if-slower. 3 outweighs them.
    kTimeExitSlower = kExitSlower,  // APP significantly slower than the baseline
    // Too few launches, no spread, or a log whose new run cannot be read back.
    kTimeExitCannotJudge = kExitCannotJudge,
    // Ctrl-C or Ctrl-Break: the application is closed, the log keeps every
    // whole line.
    kTimeExitInterrupted = kExitInterrupted,
};

#endif
