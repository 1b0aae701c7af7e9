#include "report/run_analysis.h"

#include "report/outliers.h"

#include <cctype>
#include <cmath>

const double kWideSpreadRatio = 0.25;
const size_t kMinLaunchesForColdWarm = 3;

RunAnalysis AnalyzeRun(const Run& run, int number, bool skipFirst, bool includeFailed)
{
    RunAnalysis analysis;
    analysis.run = &run;
    analysis.number = number;
    analysis.failedCounted = includeFailed;
    for (const Launch& launch : run.launches) {
        analysis.seconds.push_back(launch.seconds);
        analysis.failed.push_back(LaunchFailed(launch));
        analysis.failedLaunches += analysis.failed.back() ? 1 : 0;
    }
    const std::vector<double>& all = analysis.seconds;
    analysis.countedFrom = skipFirst && !all.empty() ? 1 : 0;
    std::vector<double> counted;
    std::vector<size_t> countedIndex;
    std::vector<double> measured;
    for (size_t i = 0; i < all.size(); ++i) {
        const bool isMeasured = IsMeasured(analysis, i);
        analysis.counted.push_back(isMeasured && i >= analysis.countedFrom);
        if (analysis.counted.back()) {
            counted.push_back(all[i]);
            countedIndex.push_back(i);
        }
        if (isMeasured)
            measured.push_back(all[i]);
    }
    analysis.summary = Summarize(counted);
    // A first launch that failed says nothing about a cold start.
    if (!all.empty() && IsMeasured(analysis, 0) && measured.size() >= kMinLaunchesForColdWarm)
        analysis.warm = Summarize(std::vector<double>(measured.begin() + 1, measured.end()));
    for (size_t index : OutlierIndices(counted))
        analysis.outliers.push_back(countedIndex[index]);
    const std::optional<Summary>& summary = analysis.summary;
    analysis.wideSpread = summary && summary->stddev && summary->mean > 0.0 &&
                          *summary->stddev > kWideSpreadRatio * summary->mean;
    return analysis;
}

int ExportedFailureKinds(const std::vector<RunAnalysis>& runs)
{
    int kinds = kFailureKindsAlwaysExported;
    for (const RunAnalysis& analysis : runs) {
        for (int kind = kinds; kind < kFailureKinds; ++kind)
            if (analysis.run->failures[kind] > 0)
                kinds = kind + 1;
    }
    return kinds;
}

bool IsMeasured(const RunAnalysis& analysis, size_t launch)
{
    return analysis.failedCounted || !analysis.failed[launch];
}

namespace {

// The fastest is the one with the lowest centre that the deciding test
// compares: the median for the rank test, the mean for Welch's.
const RunAnalysis* FindReference(const std::vector<RunAnalysis>& runs, int reference,
                                 SignificanceTest test)
{
    auto centre = [test](const RunAnalysis& run) {
        return test == kRankTest ? run.summary->median : run.summary->mean;
    };
    const RunAnalysis* found = nullptr;
    for (const RunAnalysis& run : runs) {
        if (!run.summary)
            continue;
        if (reference != 0 ? run.number == reference : (!found || centre(run) < centre(*found)))
            found = &run;
    }
    return found;
}

}  // namespace

std::vector<double> CountedSeconds(const RunAnalysis& analysis)
{
    std::vector<double> counted;
    for (size_t i = 0; i < analysis.seconds.size(); ++i)
        if (analysis.counted[i])
            counted.push_back(analysis.seconds[i]);
    return counted;
}

const char* const kSignificanceTestNames[2] = {"rank", "welch"};
const char* const kSignificanceTestTitles[2] = {"Mann-Whitney U test, two-sided",
                                                "Welch's t-test, two-sided"};

bool ReadSignificanceTest(const std::string& name, SignificanceTest* test)
{
    for (int i = 0; i < 2; ++i) {
        if (name == kSignificanceTestNames[i]) {
            *test = static_cast<SignificanceTest>(i);
            return true;
        }
    }
    return false;
}

std::optional<double> DecidingP(const RunComparison& row, SignificanceTest test)
{
    if (test == kRankTest)
        return row.rank ? std::optional<double>(row.rank->p) : std::nullopt;
    return row.welch ? std::optional<double>(row.welch->p) : std::nullopt;
}

ComparisonVerdict JudgeComparison(const RunComparison& row, SignificanceTest test)
{
    const bool rank = test == kRankTest;
    if (!(rank ? row.medianRatio : row.ratio))
        return kVerdictNoRatio;
    if (row.isReference)
        return kVerdictReference;
    if (!(rank ? row.rank.has_value() : row.welch.has_value()))
        return kVerdictNotTestable;
    if (!row.significant)
        return kVerdictNotSignificant;
    // The side the test leans to: the rank test's U against its middle.
    const bool slower = rank ? row.rank->u > row.rank->pairs / 2.0 : *row.ratio > 1.0;
    return slower ? kVerdictSlower : kVerdictFaster;
}

ComparisonReport CompareRuns(const std::vector<RunAnalysis>& runs, int reference,
                             double significanceLevel, SignificanceTest test)
{
    ComparisonReport report;
    report.significanceLevel = significanceLevel;
    report.intervalConfidence = 1.0 - significanceLevel;
    report.test = test;
    const RunAnalysis* base = FindReference(runs, reference, test);
    if (!base)
        return report;
    report.reference = base->number;
    report.referenceIsFastest = reference == 0;
    const Summary& baseSummary = *base->summary;
    const std::vector<double> baseSeconds = CountedSeconds(*base);
    for (const RunAnalysis& run : runs) {
        if (!run.summary)
            continue;
        const Summary& summary = *run.summary;
        RunComparison row;
        row.number = run.number;
        row.mean = summary.mean;
        row.median = summary.median;
        row.isReference = &run == base;
        const std::vector<double> seconds = CountedSeconds(run);
        row.medianRatio = MedianRatio(seconds, baseSeconds);
        if (baseSummary.mean > 0.0) {
            double ratio = summary.mean / baseSummary.mean;
            row.ratio = ratio;
            if (!row.isReference && summary.stddev && baseSummary.stddev &&
                summary.mean > 0.0)
                row.ratioUncertainty =
                    ratio * std::hypot(*summary.stddev / summary.mean,
                                       *baseSummary.stddev / baseSummary.mean);
        }
        if (!row.isReference) {
            if (row.medianRatio && seconds.size() >= kRankMinLaunches &&
                baseSeconds.size() >= kRankMinLaunches)
                row.medianRatioInterval =
                    BootstrapMedianRatio(seconds, baseSeconds, report.intervalConfidence);
            row.welch = WelchTTest(summary, baseSummary);
            row.meanRatioInterval =
                WelchMeanRatioInterval(summary, baseSummary, report.intervalConfidence);
            row.rank = MannWhitneyUTest(seconds, baseSeconds);
            std::optional<double> p = DecidingP(row, test);
            row.significant = p && *p < significanceLevel;
        }
        report.rows.push_back(row);
    }
    return report;
}

namespace {

std::string ProgramFileName(const std::string& application)
{
    std::string name = application.substr(application.find_last_of("\\/") + 1);
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

}  // namespace

std::string DifferentPrograms(const std::vector<RunAnalysis>& runs)
{
    bool different = false;
    for (const RunAnalysis& run : runs)
        different = different || ProgramFileName(run.run->application) !=
                                     ProgramFileName(runs.front().run->application);
    if (!different)
        return std::string();
    std::string list;
    for (const RunAnalysis& run : runs) {
        const std::string& application = run.run->application;
        list += (list.empty() ? "run " : ", run ") + std::to_string(run.number) + " " +
                application.substr(application.find_last_of("\\/") + 1);
    }
    return list;
}
