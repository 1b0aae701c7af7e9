#include "report/exports.h"

#include "report/text_format.h"

#include <nlohmann/json.hpp>

#include <cstdint>

using Json = nlohmann::ordered_json;

namespace {

// hyperfine keeps an exit code as Windows hands it over, a DWORD read as a
// signed 32-bit number: 3221225477 (0xC0000005) is -1073741819 there.
std::int32_t AsHyperfineExitCode(std::uint32_t code)
{
    const std::int64_t wrapped = code > 0x7FFFFFFFu ? std::int64_t(code) - 0x100000000 : code;
    return static_cast<std::int32_t>(wrapped);
}

// One entry of hyperfine's "results", its keys in hyperfine's order. The
// launches left out by --skip-first are to Kairon what warm-up runs are to
// hyperfine: measured, but in neither the times nor the figures. Failed
// launches measured no start-up, so they are left out too, unless counted.
Json HyperfineResult(const RunAnalysis& analysis)
{
    const Summary& summary = *analysis.summary;
    std::vector<double> times;
    std::vector<std::int32_t> exitCodes;
    for (size_t i = 0; i < analysis.seconds.size(); ++i) {
        if (!analysis.counted[i])
            continue;
        times.push_back(analysis.seconds[i]);
        const std::optional<std::uint32_t>& code = analysis.run->launches[i].exitCode;
        exitCodes.push_back(code ? AsHyperfineExitCode(*code) : 0);
    }
    Json result;
    result["command"] = ToUtf8(analysis.run->application);
    result["mean"] = summary.mean;
    result["stddev"] = summary.stddev ? Json(*summary.stddev) : Json(nullptr);
    result["median"] = summary.median;
    // Kairon measures wall-clock time only: no CPU time to report.
    result["user"] = 0.0;
    result["system"] = 0.0;
    result["min"] = summary.min;
    result["max"] = summary.max;
    result["times"] = times;
    // Kairon closes the application itself: only one that exited before it
    // was ready has an exit code of its own.
    result["exit_codes"] = exitCodes;
    return result;
}

}  // namespace

std::string ExportHyperfine(const std::vector<RunAnalysis>& runs, const ComparisonReport*)
{
    Json results = Json::array();
    for (const RunAnalysis& analysis : runs)
        if (analysis.summary)
            results.push_back(HyperfineResult(analysis));
    Json document;
    document["results"] = results;
    // Every text went through ToUtf8, so the replacement never happens; it
    // only keeps the library from throwing.
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
