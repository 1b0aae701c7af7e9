#include "report/trend_exports.h"

#include "report/exports.h"
#include "report/text_format.h"

#include <nlohmann/json.hpp>

#include <cstdio>

using Json = nlohmann::ordered_json;

namespace {

Json Interval(const TrendChange& change)
{
    return change.interval ? Json::array({change.interval->low, change.interval->high})
                           : Json(nullptr);
}

size_t LevelOf(const TrendSeries& series, size_t build)
{
    size_t level = 0;
    while (level + 1 < series.levelStarts.size() && series.levelStarts[level + 1] <= build)
        ++level;
    return level;
}

}  // namespace

std::string ExportTrendJson(const std::vector<RunAnalysis>& runs,
                            const std::vector<TrendSeries>& all, double minChangePercent)
{
    Json document = Json::parse(ExportJson(runs, nullptr), nullptr, false);
    Json seriesList = Json::array();
    Json builds = Json::array();
    Json changes = Json::array();
    for (size_t s = 0; s < all.size(); ++s) {
        const TrendSeries& series = all[s];
        seriesList.push_back({{"program", ToUtf8(series.programName)},
                              {"machine", series.machine.empty() ? Json(nullptr)
                                                                 : Json(ToUtf8(series.machine))},
                              {"builds", series.builds.size()}});
        for (size_t b = 0; b < series.builds.size(); ++b) {
            const TrendBuild& build = series.builds[b];
            builds.push_back({{"run", build.analysis->number},
                              {"series", s + 1},
                              {"build", b + 1},
                              {"label", ToUtf8(build.label)},
                              {"median", build.median},
                              {"level", series.levels[LevelOf(series, b)]}});
        }
        for (const TrendChange& change : series.changes)
            changes.push_back({{"run", series.builds[change.build].analysis->number},
                               {"series", s + 1},
                               {"build", change.build + 1},
                               {"ratio", change.ratio},
                               {"interval", Interval(change)},
                               {"status", kTrendChangeStatusNames[change.status]},
                               {"before", change.before},
                               {"after", change.after}});
    }
    document["trend"] = {{"min_change_percent", minChangePercent},
                         {"series", seriesList},
                         {"builds", builds},
                         {"changes", changes}};
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string ExportTrendMarkdown(const std::vector<RunAnalysis>& runs,
                                const std::vector<TrendSeries>& all)
{
    std::string text = ExportMarkdown(runs, nullptr);
    text += "\n| Program | Machine | Build | Run | Label | Before (s) | After (s) | Ratio | "
            "95% interval | Status |\n"
            "|---|---|--:|--:|---|--:|--:|--:|---|---|\n";
    size_t rows = 0;
    for (const TrendSeries& series : all) {
        for (const TrendChange& change : series.changes) {
            const TrendBuild& build = series.builds[change.build];
            std::string label = ToUtf8(build.label);
            for (size_t at = label.find('|'); at != std::string::npos;
                 at = label.find('|', at + 2))
                label.insert(at, "\\");
            text += "| " + ToUtf8(series.programName) + " | " +
                    (series.machine.empty() ? "–" : ToUtf8(series.machine)) + " | " +
                    std::to_string(change.build + 1) + " | " +
                    std::to_string(build.analysis->number) + " | `" + label + "` | " +
                    FormatFixed(change.before, 4) + " | " + FormatFixed(change.after, 4) +
                    " | " + FormatFixed(change.ratio, 2) + " x | " +
                    (change.interval ? FormatFixed(change.interval->low, 2) + " to " +
                                           FormatFixed(change.interval->high, 2)
                                     : "–") +
                    " | " + kTrendChangeStatusNames[change.status] + " |\n";
            ++rows;
        }
    }
    if (rows == 0)
        text += "| – | – | – | – | no change | – | – | – | – | – |\n";
    return text;
}

namespace {

// RFC 4180: a field with a comma, a quote or a line end is quoted.
std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string BuildTime(size_t index)
{
    // Days from 2000-01-01 carry into the date; a series of a million
    // builds still stays within the year.
    const size_t days = index / 86400;
    const size_t seconds = index % 86400;
    int year = 2000;
    int month = 1;
    size_t day = 1 + days;
    const int lengths[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    while (month <= 12 && day > static_cast<size_t>(lengths[month - 1])) {
        day -= static_cast<size_t>(lengths[month - 1]);
        ++month;
    }
    if (month > 12) {
        month = 12;
        day = 31;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02u:%02u:%02uZ", year, month,
                  static_cast<int>(day), static_cast<unsigned>(seconds / 3600),
                  static_cast<unsigned>(seconds / 60 % 60), static_cast<unsigned>(seconds % 60));
    return text;
}

}  // namespace

std::string ExportTrendCsv(const TrendSeries& series)
{
    std::string text = "time,commit,value\n";
    for (size_t b = 0; b < series.builds.size(); ++b)
        text += BuildTime(b) + "," + CsvField(ToUtf8(series.builds[b].label)) + "," +
                FormatShortest(series.builds[b].median) + "\n";
    return text;
}

std::string TrendCsvPath(const std::string& path, size_t index)
{
    if (index == 0)
        return path;
    const size_t name = path.find_last_of("\\/") + 1;
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < name || dot == name)
        dot = path.size();
    return path.substr(0, dot) + "-" + std::to_string(index + 1) + path.substr(dot);
}
