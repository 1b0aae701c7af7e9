// The summary printed on the terminal: one aligned block per run, then the
// comparison and the regression gate when asked for, then the rules the figures follow. Plain ASCII
// around the application paths, which stay in the bytes Kairon wrote, so
// that a Windows console shows them in its own code page.
#ifndef KAIRON_REPORT_TERMINAL_REPORT_H
#define KAIRON_REPORT_TERMINAL_REPORT_H

#include "report/regression_gate.h"
#include "report/run_analysis.h"

#include <string>
#include <vector>

std::string FormatRunBlock(const RunAnalysis& analysis);
std::string FormatComparison(const ComparisonReport& comparison,
                             const std::vector<RunAnalysis>& runs);
// The gate's rule and reference, what it says of each run and why, and
// the verdict.
std::string FormatGate(const GateReport& gate);
// What the figures' methods are, in short, once under all the runs; empty
// when no run shows a spread.
std::string FormatRules(const std::vector<RunAnalysis>& runs);

#endif
