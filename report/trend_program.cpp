#include "report/trend_program.h"

#include "report/exit_statuses.h"
#include "report/export_formats.h"
#include "report/report_files.h"
#include "report/trend_exports.h"
#include "report/trend_report.h"

#include <cerrno>
#include <cstring>

namespace {

bool Write(const std::string& path, const std::string& bytes, std::ostream& err)
{
    if (WriteWholeFile(path, bytes))
        return true;
    err << path << ": cannot be written: " << std::strerror(errno) << "\n";
    return false;
}

// The trend's own form of an export, or the usual one.
std::string ExportBytes(const std::string& option, const std::vector<RunAnalysis>& runs,
                        const std::vector<TrendSeries>& series, double minChangePercent)
{
    if (option == "--export-json")
        return ExportTrendJson(runs, series, minChangePercent);
    if (option == "--export-markdown")
        return ExportTrendMarkdown(runs, series);
    if (option == "--export-svg")
        return ExportTrendSvg(series);
    for (const ExportFormat& format : kExportFormats)
        if (option == format.option)
            return format.write(runs, nullptr);
    return std::string();
}

}  // namespace

int RunTrendReport(const std::vector<RunAnalysis>& runs, const std::vector<BuildRecord>& records,
                   const TrendRequest& request, std::ostream& out, std::ostream& err)
{
    std::vector<const Run*> logged;
    for (const RunAnalysis& run : runs)
        logged.push_back(run.run);
    std::vector<std::string> unmatched;
    const std::vector<std::optional<BuildRecord>> matched =
        MatchBuildRecords(logged, records, &unmatched);
    for (const std::string& problem : unmatched)
        err << problem << "\n";
    const std::vector<TrendSeries> series =
        AnalyzeTrend(runs, matched, request.minChangePercent);
    out << FormatTrend(series, request.minChangePercent);

    bool written = true;
    for (const auto& [option, path] : request.exports)
        if (!path.empty())
            written = Write(path, ExportBytes(option, runs, series, request.minChangePercent),
                            err) &&
                      written;
    if (!request.trendCsvPath.empty())
        for (size_t i = 0; i < series.size(); ++i)
            written = Write(TrendCsvPath(request.trendCsvPath, i), ExportTrendCsv(series[i]),
                            err) &&
                      written;
    return written ? kExitOk : kExitFailed;
}
