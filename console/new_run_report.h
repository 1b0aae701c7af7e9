// What kairon-time prints on standard output at the end: kairon-report's
// summary of the run it has just appended to the log.
#ifndef KAIRON_CONSOLE_NEW_RUN_REPORT_H
#define KAIRON_CONSOLE_NEW_RUN_REPORT_H

#include "report/results_log.h"

#include <cstddef>
#include <string>

// A log after the run: its path, its whole bytes now, and how many it held
// before the run.
struct GrownLog {
    std::string path;
    std::string bytes;
    std::size_t sizeBefore = 0;
    bool read = true;  // false: it could not be read back after the run
};

// The run this kairon-time appended to `log`: the log's last, when the log
// grew, parsed into `*parsed`. Null when there is none; then `*why` says
// why, as "not a results log: ...", "no new run in it" or "could not be
// read back".
const Run* NewRun(const GrownLog& log, ParsedLog* parsed, std::string* why);

// The block kairon-report prints for the log's last run (numbered as
// among all the log's runs), then its rules; empty when the run added
// nothing (the log could not be opened) or the log is no results log.
std::string NewRunReport(const GrownLog& log);

#endif
