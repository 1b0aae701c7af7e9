// kairon-report --trend: the runs as builds in order, their series, the
// changes, and the exports with the trend in them.
#ifndef KAIRON_REPORT_TREND_PROGRAM_H
#define KAIRON_REPORT_TREND_PROGRAM_H

#include "report/build_record.h"
#include "report/run_analysis.h"

#include <ostream>
#include <string>
#include <vector>

struct TrendRequest {
    double minChangePercent = 5.0;
    // Paths by export option ("--export-json", ...), empty when not asked for.
    std::vector<std::pair<std::string, std::string>> exports;
    std::string trendCsvPath;
};

// Prints the trend on out and problems on err, writes the exports; the
// exit status.
int RunTrendReport(const std::vector<RunAnalysis>& runs, const std::vector<BuildRecord>& records,
                   const TrendRequest& request, std::ostream& out, std::ostream& err);

#endif
