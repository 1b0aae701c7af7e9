#include "report/trend_analysis.h"

#include "report/change_points.h"
#include "report/statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <tuple>

const double kDefaultMinChangePercent = 5.0;
const size_t kChangeWindowBuilds = 30;
const char* const kTrendChangeStatusNames[2] = {"suspected", "detected"};

namespace {

// Medians of times with four decimals are multiples of half a tenth of a
// millisecond: as whole units of that, every cost adds up exactly, and the
// same logs give the same cuts on every machine.
const double kUnitsPerSecond = 20000.0;

std::vector<std::int64_t> InUnits(const std::vector<double>& values)
{
    std::vector<std::int64_t> units;
    for (double value : values)
        units.push_back(static_cast<std::int64_t>(std::llround(value * kUnitsPerSecond)));
    return units;
}

std::vector<double> Slice(const std::vector<double>& values, size_t first, size_t last)
{
    return std::vector<double>(values.begin() + static_cast<std::ptrdiff_t>(first),
                               values.begin() + static_cast<std::ptrdiff_t>(last));
}

// The builds either side of the cut at boundaries[i], within their levels
// and at most kChangeWindowBuilds from it.
void ChangeSides(const std::vector<size_t>& boundaries, size_t i, size_t count,
                 size_t* beforeFirst, size_t* afterLast)
{
    const size_t cut = boundaries[i];
    const size_t levelFirst = i == 0 ? 0 : boundaries[i - 1];
    const size_t levelLast = i + 1 < boundaries.size() ? boundaries[i + 1] : count;
    *beforeFirst = std::max(levelFirst, cut > kChangeWindowBuilds ? cut - kChangeWindowBuilds : 0);
    *afterLast = std::min(levelLast, cut + kChangeWindowBuilds);
}

std::string FileName(const std::string& path)
{
    return path.substr(path.find_last_of("\\/") + 1);
}

std::string Folded(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

std::vector<TrendChange> FindTrendChanges(const std::vector<double>& values,
                                          double minChangePercent,
                                          std::vector<size_t>* levelStarts,
                                          std::vector<double>* levels)
{
    const std::vector<std::int64_t> units = InUnits(values);
    std::vector<size_t> boundaries = OptimalL1Segments(units, TrendPenalty(units));
    // The fit cuts wherever the level moves beyond the noise; a change is
    // only a cut whose two sides differ by the least that matters. The
    // smallest cut goes first and its neighbours are measured again, so
    // that a climb in small steps merges into steps that do matter rather
    // than vanishing as a whole.
    while (!boundaries.empty()) {
        size_t smallest = 0;
        double smallestStep = 0.0;
        bool bigEnough = false;
        for (size_t i = 0; i < boundaries.size(); ++i) {
            size_t beforeFirst = 0;
            size_t afterLast = 0;
            ChangeSides(boundaries, i, values.size(), &beforeFirst, &afterLast);
            const double before = MedianOfRange(units, beforeFirst, boundaries[i]);
            const double after = MedianOfRange(units, boundaries[i], afterLast);
            const double step = before > 0.0 ? std::fabs(after - before) / before : 0.0;
            // Of equal steps the earliest goes first.
            if (i == 0 || step < smallestStep) {
                smallest = i;
                smallestStep = step;
                // Medians in whole half units: a step of exactly the least
                // change is one, with no rounding of a quotient to decide.
                bigEnough = before > 0.0 &&
                            std::fabs(after - before) * 100.0 >= minChangePercent * before;
            }
        }
        if (bigEnough)
            break;
        boundaries.erase(boundaries.begin() + static_cast<std::ptrdiff_t>(smallest));
    }
    std::vector<TrendChange> changes;
    for (size_t i = 0; i < boundaries.size(); ++i) {
        size_t beforeFirst = 0;
        size_t afterLast = 0;
        ChangeSides(boundaries, i, values.size(), &beforeFirst, &afterLast);
        const std::vector<double> before = Slice(values, beforeFirst, boundaries[i]);
        const std::vector<double> after = Slice(values, boundaries[i], afterLast);
        TrendChange change;
        change.build = boundaries[i];
        change.before = Median(before);
        change.after = Median(after);
        change.ratio = change.before > 0.0 ? change.after / change.before : 0.0;
        change.interval = BootstrapMedianRatio(after, before);
        change.status = values.size() - boundaries[i] <= kMinSegmentBuilds ? kChangeSuspected
                                                                           : kChangeDetected;
        changes.push_back(change);
    }
    if (levelStarts && levels) {
        levelStarts->assign(1, 0);
        levelStarts->insert(levelStarts->end(), boundaries.begin(), boundaries.end());
        levels->clear();
        for (size_t i = 0; i < levelStarts->size(); ++i) {
            const size_t last = i + 1 < levelStarts->size() ? (*levelStarts)[i + 1] : values.size();
            levels->push_back(values.empty() ? 0.0 : Median(Slice(values, (*levelStarts)[i], last)));
        }
    }
    return changes;
}

std::vector<TrendSeries> AnalyzeTrend(const std::vector<RunAnalysis>& runs,
                                      const std::vector<std::optional<BuildRecord>>& records,
                                      double minChangePercent)
{
    // Keyed by what tells series apart, so that they come out in the same
    // order however the logs were listed.
    std::map<std::pair<std::string, std::string>, TrendSeries> byKey;
    for (size_t i = 0; i < runs.size(); ++i) {
        const RunAnalysis& analysis = runs[i];
        const std::optional<BuildRecord>* record =
            i < records.size() && records[i] ? &records[i] : nullptr;
        const std::string& program = analysis.run->application;
        const std::string machine = record ? (*record)->machine : std::string();
        TrendSeries& series = byKey[{Folded(FileName(program)), Folded(machine)}];
        if (series.programName.empty()) {
            series.programName = FileName(program);
            series.machine = machine;
        }
        const std::vector<double> counted = CountedSeconds(analysis);
        if (counted.empty()) {
            series.runsWithoutLaunches.push_back(analysis.number);
            continue;
        }
        TrendBuild build;
        build.analysis = &analysis;
        build.program = program;
        build.label = record && !(*record)->buildId.empty() ? (*record)->buildId : program;
        build.window = record ? (*record)->window : std::string();
        build.median = Median(counted);
        series.builds.push_back(build);
    }
    std::vector<TrendSeries> all;
    for (auto& entry : byKey) {
        TrendSeries& series = entry.second;
        std::vector<double> values;
        for (const TrendBuild& build : series.builds)
            values.push_back(build.median);
        series.changes = FindTrendChanges(values, minChangePercent, &series.levelStarts,
                                          &series.levels);
        all.push_back(std::move(series));
    }
    return all;
}
