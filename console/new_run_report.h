// What kairon-time prints on standard output at the end: kairon-report's
// summary of the run it has just appended to the log.
#ifndef KAIRON_CONSOLE_NEW_RUN_REPORT_H
#define KAIRON_CONSOLE_NEW_RUN_REPORT_H

#include <cstddef>
#include <string>

// `logBytes` is the whole log now; it held `sizeBefore` bytes before the
// run. The block kairon-report prints for the log's last run (numbered as
// among all the log's runs), then its rules; empty when the run added
// nothing (the log could not be opened) or the log is no results log.
std::string NewRunReport(const std::string& logPath, const std::string& logBytes,
                         std::size_t sizeBefore);

#endif
