// Start-up time across builds. Each run is one build, in the order the
// logs give them; its value is the median of its counted launches, since
// a build's run, not a launch, is the unit of evidence: launches of one
// run share the machine's mood of that hour. Runs of different programs
// (by file name) or machines form separate series and are never pooled.
#ifndef KAIRON_REPORT_TREND_ANALYSIS_H
#define KAIRON_REPORT_TREND_ANALYSIS_H

#include "report/build_record.h"
#include "report/median_ratio.h"
#include "report/run_analysis.h"

#include <optional>
#include <string>
#include <vector>

extern const double kDefaultMinChangePercent;  // 5
// At most this many builds on each side of a change, the nearest, give its
// ratio and interval: the level just before and just after it, not a
// drift far away.
extern const size_t kChangeWindowBuilds;

struct TrendBuild {
    const RunAnalysis* analysis = nullptr;
    std::string label;            // the build id, or the program's path as logged
    std::string program;          // the program's path as logged (ANSI bytes)
    std::string window;           // the title kairon-time waited for, when known
    double median = 0.0;          // seconds, of the counted launches
};

enum TrendChangeStatus {
    kChangeSuspected,  // one build after it so far: the next may still undo it
    kChangeDetected,
};
extern const char* const kTrendChangeStatusNames[2];  // "suspected", "detected"

struct TrendChange {
    size_t build = 0;             // index of the first build at the new level
    double before = 0.0;          // median of the builds' medians just before it
    double after = 0.0;           // and from it on
    double ratio = 1.0;           // after / before
    std::optional<RatioInterval> interval;  // bootstrap over those builds
    TrendChangeStatus status = kChangeDetected;
};

struct TrendSeries {
    std::string programName;      // the file name, as the first build gives it
    std::string machine;          // empty when unknown
    std::vector<TrendBuild> builds;
    std::vector<int> runsWithoutLaunches;  // run numbers with nothing counted
    std::vector<size_t> levelStarts;       // first build of each level, 0 first
    std::vector<double> levels;            // the median of each level's builds
    std::vector<TrendChange> changes;
};

// The series of `runs`, ordered by program file name and machine (case
// ignored), so that the order of the logs between machines does not
// matter; `records` gives each run's build id and machine where known
// (empty, or one per run). Changes are steps of at least minChangePercent
// between the medians either side.
std::vector<TrendSeries> AnalyzeTrend(const std::vector<RunAnalysis>& runs,
                                      const std::vector<std::optional<BuildRecord>>& records,
                                      double minChangePercent);

// The changes of values (one per build, seconds), found as AnalyzeTrend
// finds them; levelStarts and levels as in TrendSeries.
std::vector<TrendChange> FindTrendChanges(const std::vector<double>& values,
                                          double minChangePercent,
                                          std::vector<size_t>* levelStarts = nullptr,
                                          std::vector<double>* levels = nullptr);

#endif
