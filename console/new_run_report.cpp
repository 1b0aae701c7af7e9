#include "console/new_run_report.h"

#include "report/results_log.h"
#include "report/run_analysis.h"
#include "report/terminal_report.h"

std::string NewRunReport(const std::string& logPath, const std::string& logBytes,
                         std::size_t sizeBefore)
{
    if (logBytes.size() <= sizeBefore)
        return std::string();
    const ParsedLog log = ParseResultsLog(logBytes, logPath);
    if (!log.isResultsLog || log.runs.empty())
        return std::string();
    const RunAnalysis analysis =
        AnalyzeRun(log.runs.back(), static_cast<int>(log.runs.size()), false);
    return FormatRunBlock(analysis) + "\n" + FormatRules();
}
