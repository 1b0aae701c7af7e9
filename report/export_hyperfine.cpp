#include "report/exports.h"

#include "report/text_format.h"

#include <nlohmann/json.hpp>

using Json = nlohmann::ordered_json;

namespace {

// One entry of hyperfine's "results", its keys in hyperfine's order. The
// launches left out by --skip-first are to Kairon what warm-up runs are to
// hyperfine: measured, but in neither the times nor the figures.
Json HyperfineResult(const RunAnalysis& analysis)
{
    const Summary& summary = *analysis.summary;
    std::vector<double> times(
        analysis.seconds.begin() + static_cast<long>(analysis.counted_from),
        analysis.seconds.end());
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
    // Kairon closes the application itself and never reads its exit code.
    result["exit_codes"] = std::vector<int>(times.size(), 0);
    return result;
}

}  // namespace

std::string ExportHyperfine(const std::vector<RunAnalysis>& runs)
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
