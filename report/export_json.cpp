#include "report/exports.h"

#include "report/outliers.h"
#include "report/text_format.h"

#include <nlohmann/json.hpp>

using Json = nlohmann::ordered_json;

namespace {

Json FailureObject(const FailureCounts& failures, int kinds)
{
    Json object = Json::object();
    for (int kind = 0; kind < kinds; ++kind)
        object[FailureKindKey(kind)] = failures[kind];
    return object;
}

Json OptionalNumber(const std::optional<double>& value)
{
    return value ? Json(*value) : Json(nullptr);
}

void AddSummary(const std::optional<Summary>& summary, Json* run)
{
    const char* keys[] = {"mean", "stddev", "median", "min", "max", "p5", "p25", "p75", "p95"};
    if (!summary) {
        for (const char* key : keys)
            (*run)[key] = nullptr;
        return;
    }
    (*run)["mean"] = summary->mean;
    (*run)["stddev"] = OptionalNumber(summary->stddev);
    (*run)["median"] = summary->median;
    (*run)["min"] = summary->min;
    (*run)["max"] = summary->max;
    (*run)["p5"] = summary->p5;
    (*run)["p25"] = summary->p25;
    (*run)["p75"] = summary->p75;
    (*run)["p95"] = summary->p95;
}

Json RunObject(const RunAnalysis& analysis, int kinds)
{
    const Run& run = *analysis.run;
    Json object;
    object["run"] = analysis.number;
    object["log"] = ToUtf8(run.source);
    object["header_line"] = run.headerLine;
    object["application"] = ToUtf8(run.application);
    object["announced"] = run.announced;
    object["completed"] = run.launches.size();
    object["failures"] = FailureObject(run.failures, kinds);
    object["times"] = analysis.seconds;
    object["counted_from"] = analysis.countedFrom + 1;
    object["failed_counted"] = analysis.failedCounted;
    Json outliers = Json::array();
    for (size_t index : analysis.outliers)
        outliers.push_back(index + 1);
    object["outliers"] = outliers;
    Json failed = Json::array();
    Json notClosed = Json::array();
    for (size_t i = 0; i < run.launches.size(); ++i) {
        const Launch& launch = run.launches[i];
        if (launch.closeFailures > 0)
            notClosed.push_back(i + 1);
        if (!analysis.failed[i])
            continue;
        Json entry = {{"launch", i + 1}};
        entry.update(FailureObject(launch.failures, kinds));
        entry["exit_code"] = launch.exitCode ? Json(*launch.exitCode) : Json(nullptr);
        failed.push_back(entry);
    }
    object["failed_launches"] = failed;
    object["close_failed_launches"] = notClosed;
    AddSummary(analysis.summary, &object);
    if (analysis.warm) {
        object["cold"] = analysis.seconds.front();
        object["warm"] = {{"mean", analysis.warm->mean},
                          {"stddev", OptionalNumber(analysis.warm->stddev)},
                          {"median", analysis.warm->median}};
    } else {
        object["cold"] = nullptr;
        object["warm"] = nullptr;
    }
    object["wide_spread"] = analysis.wideSpread;
    return object;
}

// Which test gives which figures, the deciding one first: p, t and df
// have always been Welch's, and stay so for the readers that use them.
std::string TestText(SignificanceTest test)
{
    const std::string rank =
        std::string(kSignificanceTestTitles[kRankTest]) + " (mann_whitney_u, mann_whitney_p)";
    const std::string welch = std::string(kSignificanceTestTitles[kWelchTest]) + " (p, t, df)";
    return test == kRankTest ? rank + " decides significant; " + welch
                             : welch + " decides significant; " + rank;
}

Json ComparisonObject(const ComparisonReport& comparison)
{
    Json rows = Json::array();
    for (const RunComparison& row : comparison.rows) {
        Json object = {{"run", row.number},
                       {"reference", row.isReference},
                       {"ratio", OptionalNumber(row.ratio)},
                       {"ratio_uncertainty", OptionalNumber(row.ratioUncertainty)}};
        if (row.welch) {
            object["t"] = row.welch->t;
            object["df"] = row.welch->df;
            object["p"] = row.welch->p;
        } else {
            object["t"] = nullptr;
            object["df"] = nullptr;
            object["p"] = nullptr;
        }
        object["median_ratio"] = OptionalNumber(row.medianRatio);
        object["median_ratio_ci"] =
            row.medianRatioInterval
                ? Json::array({row.medianRatioInterval->low, row.medianRatioInterval->high})
                : Json(nullptr);
        object["mann_whitney_u"] = row.rank ? Json(row.rank->u) : Json(nullptr);
        object["mann_whitney_p"] = row.rank ? Json(row.rank->p) : Json(nullptr);
        object["significant"] = row.significant;
        rows.push_back(object);
    }
    return {{"reference", comparison.reference},
            {"reference_is_fastest", comparison.referenceIsFastest},
            {"test", TestText(comparison.test)},
            {"interval", IntervalRule(comparison.intervalConfidence)},
            {"significance_level", comparison.significanceLevel},
            {"runs", rows}};
}

}  // namespace

std::string ExportJson(const std::vector<RunAnalysis>& runs, const ComparisonReport* comparison)
{
    Json document;
    document["unit"] = "seconds";
    document["stddev"] = "sample (n - 1)";
    document["percentiles"] = std::string(kPercentileRule);
    document["outliers"] = std::string(kOutlierRule) + " " + kOutlierSizeRule;
    const int kinds = ExportedFailureKinds(runs);
    Json list = Json::array();
    for (const RunAnalysis& analysis : runs)
        list.push_back(RunObject(analysis, kinds));
    document["runs"] = list;
    if (comparison)
        document["comparison"] = ComparisonObject(*comparison);
    // Every text went through ToUtf8, so the replacement never happens; it
    // only keeps the library from throwing.
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
