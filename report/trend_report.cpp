#include "report/trend_report.h"

#include "report/change_points.h"
#include "report/statistics.h"
#include "report/text_format.h"

#include <algorithm>
#include <cstdio>

bool ProgramFileExists(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

namespace {

// kairon-time takes one argument per option; a path with blanks is quoted
// for the shell, and kairon-time removes the quotes as Explorer's "Copy
// as path" leaves them.
std::string Argument(const std::string& text)
{
    if (text.find_first_of(" \t") == std::string::npos && !text.empty())
        return text;
    return "\"" + text + "\"";
}

std::string Ratio(double ratio)
{
    return FormatFixed(ratio, 2) + " x";
}

std::string BuildName(const TrendSeries& series, size_t index)
{
    return "build " + std::to_string(index + 1) + " (run " +
           std::to_string(series.builds[index].analysis->number) + ", " +
           series.builds[index].label + ")";
}

std::string Heading(const TrendSeries& series, double minChangePercent)
{
    std::string text = "Trend of " + series.programName;
    if (!series.machine.empty())
        text += " on " + series.machine;
    text += ": " + std::to_string(series.builds.size()) +
            (series.builds.size() == 1 ? " build" : " builds") +
            "; a change is a step of at least " + FormatShortest(minChangePercent) +
            "% between the medians of the builds either side\n";
    return text;
}

std::string Levels(const TrendSeries& series)
{
    std::string text = "  Levels (median of the builds' medians):\n";
    for (size_t i = 0; i < series.levelStarts.size(); ++i) {
        const size_t first = series.levelStarts[i];
        const size_t last = i + 1 < series.levelStarts.size() ? series.levelStarts[i + 1]
                                                              : series.builds.size();
        text += "    builds " + std::to_string(first + 1) + ".." + std::to_string(last) + ": " +
                FormatFixed(series.levels[i], 4) + " s\n";
    }
    return text;
}

std::string Change(const TrendSeries& series, const TrendChange& change)
{
    std::string text = "    " + BuildName(series, change.build) + ": " + Ratio(change.ratio);
    if (change.interval)
        text += " (" + FormatFixed(change.interval->low, 2) + " to " +
                FormatFixed(change.interval->high, 2) + ")";
    text += ", " + FormatFixed(change.before, 4) + " s to " + FormatFixed(change.after, 4) +
            " s, after " + BuildName(series, change.build - 1) + ": " +
            kTrendChangeStatusNames[change.status];
    if (change.status == kChangeSuspected)
        text += " (one build after it so far)";
    return text + "\n";
}

// A climb too slow to make the least change between neighbouring builds
// still shows between the ends of the series.
std::string Creep(const TrendSeries& series)
{
    const size_t count = std::min(kChangeWindowBuilds, series.builds.size() / 2);
    if (count < kMinSegmentBuilds)
        return std::string();
    std::vector<double> first;
    std::vector<double> last;
    for (size_t i = 0; i < count; ++i) {
        first.push_back(series.builds[i].median);
        last.push_back(series.builds[series.builds.size() - count + i].median);
    }
    const double before = Median(first);
    if (!(before > 0.0))
        return std::string();
    const std::string n = std::to_string(count);
    return "  First to last: the median of the last " + n + " builds is " +
           Ratio(Median(last) / before) + " that of the first " + n + ".\n";
}

}  // namespace

std::string ConfirmationCommand(const TrendSeries& series, const TrendChange& change,
                                double minChangePercent)
{
    const TrendBuild& older = series.builds[change.build - 1];
    const TrendBuild& newer = series.builds[change.build];
    const bool rise = change.ratio >= 1.0;
    const TrendBuild& baseline = rise ? older : newer;
    const TrendBuild& app = rise ? newer : older;
    const std::string& window = !newer.window.empty() ? newer.window : older.window;
    return "kairon-time --window " + (window.empty() ? std::string("TITLE") : Argument(window)) +
           " --runs 20 --max-runs 60 --compare " + Argument(baseline.program) +
           " --fail-if-slower " + FormatShortest(minChangePercent) + " " + Argument(app.program);
}

std::string FormatTrend(const std::vector<TrendSeries>& all, double minChangePercent,
                        ProgramExists exists)
{
    std::string text;
    for (const TrendSeries& series : all) {
        text += Heading(series, minChangePercent);
        if (!series.runsWithoutLaunches.empty()) {
            text += "  Left out, without counted launches: run";
            text += series.runsWithoutLaunches.size() == 1 ? " " : "s ";
            for (size_t i = 0; i < series.runsWithoutLaunches.size(); ++i)
                text += (i ? ", " : "") + std::to_string(series.runsWithoutLaunches[i]);
            text += "\n";
        }
        if (series.builds.empty()) {
            text += "\n";
            continue;
        }
        text += Levels(series);
        if (series.changes.empty()) {
            const size_t needed = 2 * kMinSegmentBuilds;
            text += series.builds.size() < needed
                        ? "  Too few builds to tell a change (" + std::to_string(needed) +
                              " needed).\n"
                        : std::string("  No change.\n");
        } else {
            text += "  Changes (ratio of the medians after to before, 95% interval):\n";
            for (const TrendChange& change : series.changes)
                text += Change(series, change);
        }
        text += Creep(series);
        std::string commands;
        for (const TrendChange& change : series.changes) {
            const TrendBuild& older = series.builds[change.build - 1];
            const TrendBuild& newer = series.builds[change.build];
            if (change.status != kChangeDetected || !exists(older.program) ||
                !exists(newer.program))
                continue;
            commands += "    " + ConfirmationCommand(series, change, minChangePercent) + "\n";
        }
        if (!commands.empty())
            text += "  To settle a change, time its two builds in turns (status 4 confirms it):\n" +
                    commands;
        text += "\n";
    }
    text += "Each build's value is the median of its counted launches; levels are cut where\n"
            "the sum of distances from each level's median, plus a penalty per level, is\n"
            "least, each level at least 2 builds long; intervals: 95% percentile bootstrap\n"
            "over the builds either side (at most " +
            std::to_string(kChangeWindowBuilds) + " each).\n";
    return text;
}
