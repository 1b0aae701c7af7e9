// The exports of --trend. The JSON and the Markdown are the usual ones
// with the trend added; the chart and the CSV are the trend's own.
#ifndef KAIRON_REPORT_TREND_EXPORTS_H
#define KAIRON_REPORT_TREND_EXPORTS_H

#include "report/trend_analysis.h"

#include <string>
#include <vector>

// ExportJson's document with "trend": {"builds": [...], "changes": [...]},
// runs numbered from 1 in input order, and the series they form.
std::string ExportTrendJson(const std::vector<RunAnalysis>& runs,
                            const std::vector<TrendSeries>& series, double minChangePercent);

// ExportMarkdown's tables, then a table of the changes.
std::string ExportTrendMarkdown(const std::vector<RunAnalysis>& runs,
                                const std::vector<TrendSeries>& series);

// One series as change-point services read it (Apache Otava's CSV
// importer, among others): "time,commit,value", one row per build, the
// build's median in seconds. Logs hold no clock, so "time" is the build's
// place in the series as a date-time: build 1 at 2000-01-01T00:00:00Z, one
// second apart, which keeps the order and parses as a time everywhere.
std::string ExportTrendCsv(const TrendSeries& series);

// Where the CSV of the i-th series goes when there are several: the first
// at `path`, the others with "-2", "-3", ... before the file name's
// extension.
std::string TrendCsvPath(const std::string& path, size_t index);

// The trend chart: per series a panel, per build a box of its launches
// with the median marked and each launch a faint dot, failed launches as
// crosses; the levels as a step line and a marker at each change.
std::string ExportTrendSvg(const std::vector<TrendSeries>& series);

#endif
