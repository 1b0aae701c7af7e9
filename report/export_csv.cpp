#include "report/exports.h"

#include "report/text_format.h"

std::string ExportCsv(const std::vector<RunAnalysis>& runs, const ComparisonReport*)
{
    const int kinds = ExportedFailureKinds(runs);
    std::string out = "run,log,header_line,application,launch,line,seconds,counted,outlier";
    for (int kind = 0; kind < kinds; ++kind)
        out += std::string(",") + FailureKindKey(kind);
    out += ",failed,exit_code,close_failed\n";
    for (const RunAnalysis& analysis : runs) {
        const Run& run = *analysis.run;
        std::string runFields = std::to_string(analysis.number) + "," +
                                CsvField(ToUtf8(run.source)) + "," +
                                std::to_string(run.headerLine) + "," +
                                CsvField(ToUtf8(run.application)) + ",";
        std::vector<bool> outlier(run.launches.size(), false);
        for (size_t index : analysis.outliers)
            outlier[index] = true;
        for (size_t i = 0; i < run.launches.size(); ++i) {
            const Launch& launch = run.launches[i];
            out += runFields + std::to_string(i + 1) + "," + std::to_string(launch.line) + "," +
                   FormatFixed(launch.seconds, 4) + "," + (analysis.counted[i] ? "1" : "0") +
                   "," + (outlier[i] ? "1" : "0");
            for (int kind = 0; kind < kinds; ++kind)
                out += "," + std::to_string(launch.failures[kind]);
            out += std::string(",") + (analysis.failed[i] ? "1" : "0") + "," +
                   (launch.exitCode ? std::to_string(*launch.exitCode) : "") + "," +
                   std::to_string(launch.closeFailures) + "\n";
        }
    }
    return out;
}
