// The summary printed on the terminal: one aligned block per run, then the
// comparison when asked for, then the rules the figures follow. Plain ASCII
// around the application paths, which stay in the bytes Kairon wrote, so
// that a Windows console shows them in its own code page.
#ifndef KAIRON_REPORT_TERMINAL_REPORT_H
#define KAIRON_REPORT_TERMINAL_REPORT_H

#include "report/run_analysis.h"

#include <string>
#include <vector>

std::string FormatRunBlock(const RunAnalysis& analysis);
std::string FormatComparison(const ComparisonReport& comparison,
                             const std::vector<RunAnalysis>& runs);
std::string FormatRules();

#endif
