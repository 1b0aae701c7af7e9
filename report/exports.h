// The files a report can be saved as. Each returns the whole file; numbers
// use a dot as the decimal separator whatever the locale, line ends are LF
// and texts are UTF-8 (paths in the ANSI code page are converted).
//
// Every export takes the runs and the comparison (null when none was asked
// for), so that kairon-report can drive them all through one table
// (report/export_formats.h). The formats with no place for a comparison
// take it too and ignore it; their callers may leave it out.
#ifndef KAIRON_REPORT_EXPORTS_H
#define KAIRON_REPORT_EXPORTS_H

#include "report/run_analysis.h"

#include <string>
#include <vector>

using ExportWriter = std::string (*)(const std::vector<RunAnalysis>& runs,
                                     const ComparisonReport* comparison);

// One row per launch, for spreadsheets: run, log, header line, application,
// launch, timing line, seconds, whether it is counted in the figures
// (--skip-first), outlier flag and the launch's failures.
std::string ExportCsv(const std::vector<RunAnalysis>& runs,
                      const ComparisonReport* comparison = nullptr);

// Every run with every launch time, its summary and, when given, the comparison.
std::string ExportJson(const std::vector<RunAnalysis>& runs, const ComparisonReport* comparison);

// The layout of hyperfine's --export-json, for the tools that read it: one
// result per run with launches; "command" is the run's application, "user"
// and "system" are 0 (no CPU time is measured), "exit_codes" all 0.
std::string ExportHyperfine(const std::vector<RunAnalysis>& runs,
                            const ComparisonReport* comparison = nullptr);

// A summary table (and a comparison table when given) for a README or an issue.
std::string ExportMarkdown(const std::vector<RunAnalysis>& runs,
                           const ComparisonReport* comparison);

// A strip chart: one row per run, its launches as dots, the median marked,
// the middle half as a box, seconds along the axis.
std::string ExportSvg(const std::vector<RunAnalysis>& runs,
                      const ComparisonReport* comparison = nullptr);

#endif
