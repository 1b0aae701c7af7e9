#include "console/new_run_report.h"

#include "report/run_analysis.h"
#include "report/terminal_report.h"

const Run* NewRun(const GrownLog& log, ParsedLog* parsed, std::string* why)
{
    if (!log.read) {
        *why = "could not be read back";
        return nullptr;
    }
    if (log.bytes.size() <= log.sizeBefore) {
        *why = "no new run in it";
        return nullptr;
    }
    *parsed = ParseResultsLog(log.bytes, log.path);
    if (!parsed->isResultsLog) {
        // The parser's own words, as kairon-report gives them for this log.
        *why = parsed->problems.empty() ? "not a results log" : parsed->problems[0].message;
        return nullptr;
    }
    if (parsed->runs.empty()) {
        *why = "no new run in it";
        return nullptr;
    }
    return &parsed->runs.back();
}

std::string NewRunReport(const GrownLog& log)
{
    ParsedLog parsed;
    std::string why;
    const Run* run = NewRun(log, &parsed, &why);
    if (run == nullptr)
        return std::string();
    const RunAnalysis analysis = AnalyzeRun(*run, static_cast<int>(parsed.runs.size()), false);
    return FormatRunBlock(analysis) + "\n" + FormatRules({analysis});
}
