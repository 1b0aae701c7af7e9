#include "report/terminal_report.h"

#include "report/outliers.h"
#include "report/text_format.h"

#include <algorithm>
#include <cmath>

namespace {

// Outliers and failed launches named one by one, per run; the rest are counted.
const size_t kMaxListedLaunches = 10;

std::string Seconds(double value)
{
    return FormatFixed(value, 4) + " s";
}

void AddField(std::string* out, const std::string& label, const std::string& value)
{
    std::string line = "  ";
    line += label;
    line += ':';
    line.resize(std::max<size_t>(line.size() + 1, 26), ' ');
    *out += line + value + "\n";
}

// A launch that failed was made, not completed.
std::string LaunchCount(const Run& run)
{
    const size_t made = run.launches.size();
    size_t failed = 0;
    for (const Launch& launch : run.launches)
        for (int kind = 0; kind < kFailureKinds; ++kind)
            if (launch.failures[kind] > 0) {
                ++failed;
                break;
            }
    std::string text = std::to_string(made - failed) + " of " + std::to_string(run.announced) +
                       " completed";
    if (failed > 0)
        text += ", " + std::to_string(failed) + " failed";
    if (made == 0)
        text += " (the run ended before its first launch completed)";
    else if (static_cast<std::int64_t>(made) < run.announced)
        text += " (the run ended early)";
    else if (static_cast<std::int64_t>(made) > run.announced)
        text += " (launches were added, as kairon-time --max-runs adds them)";
    return text;
}

std::string FailureList(const FailureCounts& failures)
{
    std::string text;
    for (int kind = 0; kind < kFailureKinds; ++kind) {
        if (failures[kind] == 0)
            continue;
        if (!text.empty())
            text += ", ";
        text += FailureKindName(kind) + std::string(" ") + std::to_string(failures[kind]);
    }
    return text.empty() ? "none" : text;
}

std::string MeanAndSpread(const Summary& summary)
{
    std::string text = Seconds(summary.mean);
    if (summary.stddev)
        text += " +/- " + Seconds(*summary.stddev);
    return text;
}

// "launch 8 (0.6904 s)"
std::string OutlierText(const RunAnalysis& analysis, size_t index)
{
    return "launch " + std::to_string(index + 1) + " (" + Seconds(analysis.seconds[index]) + ")";
}

// "launch 3 (57.3279 s: window not found)"
std::string FailedLaunchText(const RunAnalysis& analysis, size_t index)
{
    const Launch& launch = analysis.run->launches[index];
    std::string why;
    for (int kind = 0; kind < kFailureKinds; ++kind) {
        if (launch.failures[kind] == 0)
            continue;
        if (!why.empty())
            why += ", ";
        if (kind == kExitedBeforeReady && launch.exitCode)
            why += "exited with code " + std::to_string(*launch.exitCode);
        else
            why += FailureKindName(kind);
    }
    return "launch " + std::to_string(index + 1) + " (" + Seconds(analysis.seconds[index]) +
           ": " + why + ")";
}

// "2 of 12: launch 3 (...), launch 9 (...)"
std::string LaunchList(const RunAnalysis& analysis, const std::vector<size_t>& launches,
                       size_t of, std::string (*describe)(const RunAnalysis&, size_t))
{
    std::string text = std::to_string(launches.size()) + " of " + std::to_string(of);
    for (size_t i = 0; i < launches.size() && i < kMaxListedLaunches; ++i)
        text += (i == 0 ? ": " : ", ") + describe(analysis, launches[i]);
    if (launches.size() > kMaxListedLaunches)
        text += " and " + std::to_string(launches.size() - kMaxListedLaunches) + " more";
    return text;
}

std::vector<size_t> FailedLaunches(const RunAnalysis& analysis)
{
    std::vector<size_t> failed;
    for (size_t i = 0; i < analysis.failed.size(); ++i)
        if (analysis.failed[i])
            failed.push_back(i);
    return failed;
}

// Which launches the figures cover, when not all of them; empty otherwise.
std::string CountedLaunches(const RunAnalysis& analysis)
{
    const bool skippedFirst = analysis.countedFrom == 1;
    const std::string all = std::to_string(analysis.seconds.size());
    if (analysis.failedLaunches == 0)
        return skippedFirst ? "launches 2.." + all + " (the first is left out)" : "";
    size_t counted = 0;
    for (bool isCounted : analysis.counted)
        counted += isCounted ? 1 : 0;
    std::string text = std::to_string(counted) + " of " + all + " launches (";
    if (analysis.failedCounted)
        return text + (skippedFirst ? "the first is left out; " : "") +
               "failed launches are counted too)";
    return text + (skippedFirst ? "the first and " : "") + "failed launches are left out)";
}

}  // namespace

std::string FormatRunBlock(const RunAnalysis& analysis)
{
    const Run& run = *analysis.run;
    std::string out = "Run " + std::to_string(analysis.number) + ": " + run.application + "\n";
    AddField(&out, "Log", run.source + ", line " + std::to_string(run.headerLine));
    AddField(&out, "Launches", LaunchCount(run));
    AddField(&out, "Failures", FailureList(run.failures));
    if (analysis.failedLaunches > 0)
        AddField(&out, "Failed launches",
                 LaunchList(analysis, FailedLaunches(analysis), analysis.seconds.size(),
                            FailedLaunchText));
    if (run.closeFailures > 0)
        AddField(&out, "Failed to close", std::to_string(run.closeFailures));
    bool skippedFirst = analysis.countedFrom == 1;
    std::string counted = CountedLaunches(analysis);
    if (!counted.empty())
        AddField(&out, "Counted", counted);
    if (!analysis.summary)
        return out;
    const Summary& summary = *analysis.summary;
    if (summary.count == 1) {
        AddField(&out, "Time", Seconds(summary.mean) + " (one launch: no spread)");
    } else {
        AddField(&out, "Time (mean +/- sd)", MeanAndSpread(summary));
        AddField(&out, "Median", Seconds(summary.median));
        AddField(&out, "Range (min .. max)",
                 Seconds(summary.min) + " .. " + Seconds(summary.max));
        AddField(&out, "Percentiles (5, 95)", Seconds(summary.p5) + ", " + Seconds(summary.p95));
    }
    if (analysis.warm) {
        const Summary& warm = *analysis.warm;
        std::string cold = Seconds(analysis.seconds.front());
        if (warm.median > 0.0)
            cold += " (" + FormatFixed(analysis.seconds.front() / warm.median, 2) +
                    " x the warm median)";
        AddField(&out, "Cold (launch 1)", cold);
        if (!skippedFirst)
            AddField(&out, "Warm (launches 2.." + std::to_string(analysis.seconds.size()) + ")",
                     MeanAndSpread(warm) + ", median " + Seconds(warm.median));
    }
    if (summary.count == 1)
        return out;
    AddField(&out, "Outliers",
             LaunchList(analysis, analysis.outliers, summary.count, OutlierText));
    if (analysis.wideSpread)
        out += "  Warning: the standard deviation is " +
               FormatFixed(100.0 * *summary.stddev / summary.mean, 0) +
               "% of the mean: the mean says little\n"
               "  about a typical launch, the median more. Look at the outliers, the first\n"
               "  launch, and at what else was running.\n";
    return out;
}

namespace {

std::string VerdictWords(ComparisonVerdict verdict, SignificanceTest test)
{
    switch (verdict) {
    case kVerdictNotTestable:
        return test == kRankTest ? "no test: needs two launches each, not all of one time"
                                 : "no test: needs two launches each and some spread";
    case kVerdictNotSignificant:
        return "no significant difference";
    case kVerdictSlower:
        return "significantly slower";
    case kVerdictFaster:
        return "significantly faster";
    case kVerdictNoRatio:
    case kVerdictReference:
        break;
    }
    return "";
}

// "  U test p = 0.0304: significantly slower" on the deciding test's line,
// "  Welch p = 0.0006" on the other's.
std::string TestPart(const char* label, std::optional<double> p, bool deciding,
                     ComparisonVerdict verdict, SignificanceTest test)
{
    std::string text = p ? std::string("  ") + label + " p = " + FormatPValue(*p) : "";
    if (!deciding)
        return text;
    return (p ? text + ": " : std::string("  ")) + VerdictWords(verdict, test);
}

std::string Trimmed(std::string text)
{
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

// Two lines a run: its median against the reference's, then its mean; the
// deciding test's verdict ends its own line.
std::string ComparisonRows(const RunComparison& row, const ComparisonReport& comparison)
{
    const SignificanceTest test = comparison.test;
    const ComparisonVerdict verdict = JudgeComparison(row, test);
    std::string median = "  Run " + std::to_string(row.number) + ": median " +
                         Seconds(row.median) + "  ";
    std::string mean = "         mean " + Seconds(row.mean) + "  ";
    if (verdict == kVerdictReference)
        return median + "(reference)\n" + Trimmed(mean) + "\n";
    if (!row.medianRatio) {
        median += "no ratio: the reference's median is 0";
    } else {
        median += FormatFixed(*row.medianRatio, 2) + " x";
        if (row.medianRatioInterval)
            median += " (" + FormatFixed(row.medianRatioInterval->low, 2) + " to " +
                      FormatFixed(row.medianRatioInterval->high, 2) + ")";
        median += TestPart("U test", row.rank ? std::optional<double>(row.rank->p) : std::nullopt,
                           test == kRankTest, verdict, test);
    }
    if (!row.ratio) {
        mean += "no ratio: the reference's mean is 0";
    } else {
        mean += FormatFixed(*row.ratio, 2);
        if (row.ratioUncertainty)
            mean += " +/- " + FormatFixed(*row.ratioUncertainty, 2);
        mean += " x" + TestPart("Welch", row.welch ? std::optional<double>(row.welch->p)
                                                   : std::nullopt,
                                test == kWelchTest, verdict, test);
    }
    return median + "\n" + mean + "\n";
}

}  // namespace

std::string FormatComparison(const ComparisonReport& comparison,
                             const std::vector<RunAnalysis>& runs)
{
    std::string out = "Comparison against run " + std::to_string(comparison.reference) +
                      (comparison.referenceIsFastest ? ", the fastest" : "") + "\n(the " +
                      (comparison.test == kRankTest ? "U test" : "Welch test") +
                      " decides: significant when p < " +
                      FormatShortest(comparison.significanceLevel) + "):\n";
    for (const RunComparison& row : comparison.rows)
        out += ComparisonRows(row, comparison);
    for (const RunAnalysis& run : runs)
        if (!run.summary)
            out += "  Run " + std::to_string(run.number) + ": no launches to compare\n";
    return out + "U test: " + kSignificanceTestTitles[kRankTest] + "; Welch: " +
           kSignificanceTestTitles[kWelchTest] + ";\nin brackets: the " +
           IntervalRule(comparison.intervalConfidence) + ".\n";
}

namespace {

std::string GateDoubtText(const GateRun& run, const GateReport& gate)
{
    std::string launches = std::to_string(run.launches) + " counted launch" +
                           (run.launches == 1 ? "" : "es") + ", and the test needs " +
                           std::to_string(GateMinLaunches(gate.test));
    switch (run.doubt) {
    case kDoubtFewLaunches:
        return "it has " + launches;
    case kDoubtFewReferenceLaunches:
        return "the reference has " + launches;
    case kDoubtAllEqual:
        return "every launch of it and of the reference took the same time";
    case kDoubtNoMedianRatio:
        return "the reference's median is 0 s";
    case kDoubtCannotReachLevel:
        return "with " + std::to_string(run.launches) + " and " +
               std::to_string(run.referenceLaunches) +
               " counted launches the U test's p cannot go below " +
               FormatShortest(gate.significanceLevel);
    case kDoubtNoSpread:
        return "neither it nor the reference has any spread";
    case kDoubtNoInterval:
    case kDoubtAcrossLimit:
    case kDoubtNotSignificant:
    case kDoubtNone:
        break;
    }
    return std::string();
}

std::string Interval(const RatioInterval& interval)
{
    return FormatFixed(interval.low, 2) + " to " + FormatFixed(interval.high, 2) + " x";
}

// A ratio as how much slower or faster: 1.242 -> "24.2% slower".
std::string SlowerOrFaster(double ratio)
{
    return FormatFixed(std::abs(ratio - 1.0) * 100.0, 1) + (ratio < 1.0 ? "% faster" : "% slower");
}

// "between 4.0% faster and 35.0% slower", "between 5.0% and 66.0% slower".
std::string Between(const RatioInterval& interval)
{
    const bool sameSide = (interval.low < 1.0) == (interval.high < 1.0);
    if (!sameSide)
        return "between " + SlowerOrFaster(interval.low) + " and " + SlowerOrFaster(interval.high);
    const double nearer = interval.low < 1.0 ? interval.high : interval.low;
    const double further = interval.low < 1.0 ? interval.low : interval.high;
    return "between " + FormatFixed(std::abs(nearer - 1.0) * 100.0, 1) + "% and " +
           SlowerOrFaster(further);
}

std::string LaunchesToTellText(const GateRun& run, const GateReport& gate)
{
    if (!run.launchesToTell)
        return "no number of launches would tell: its " +
               std::string(gate.test == kRankTest ? "median" : "mean") + " ratio is on the limit";
    if (*run.launchesToTell > 1e6)
        return "more than a million launches a side would tell";
    return "about " + FormatFixed(std::ceil(*run.launchesToTell), 0) +
           " launches a side would tell";
}

std::string CannotTellText(const GateRun& run, const GateReport& gate)
{
    const std::string interval = run.interval ? " (" + Interval(*run.interval) + ")" : "";
    switch (run.doubt) {
    case kDoubtNoInterval:
        return (run.ratio ? SlowerOrFaster(*run.ratio) + ", but no interval: " : "no interval: ") +
               (gate.test == kRankTest ? "a resampled median of the reference is 0 s"
                                       : "the reference's mean is 0 s");
    case kDoubtAcrossLimit:
        return Between(*run.interval) + interval + "; " + LaunchesToTellText(run, gate);
    case kDoubtNotSignificant:
        return Between(*run.interval) + interval + ", but p = " + FormatPValue(*run.p) +
               " is not below " + FormatShortest(gate.significanceLevel);
    default:
        return GateDoubtText(run, gate);
    }
}

std::string GateRunLine(const GateRun& run, const GateReport& gate)
{
    std::string text = "  Run " + std::to_string(run.number) + ": ";
    switch (run.outcome) {
    case kGateSlower:
        return text + "slower than the limit: " + FormatFixed((*run.ratio - 1.0) * 100.0, 1) +
               "% (" + Interval(*run.interval) + "), p = " + FormatPValue(*run.p) + "\n";
    case kGateWithin:
        return text + "within the limit: " +
               (run.interval->high < 1.0
                    ? "at least " + SlowerOrFaster(run.interval->high)
                    : "at most " + SlowerOrFaster(run.interval->high)) +
               " (" + Interval(*run.interval) + ")\n";
    case kGateCannotTell:
        break;
    }
    return text + "cannot tell: " + CannotTellText(run, gate) + "\n";
}

// "run 2", "runs 2, 3": the runs with that outcome.
std::string RunsWith(const GateReport& gate, GateOutcome outcome)
{
    std::string numbers;
    int count = 0;
    for (const GateRun& run : gate.runs) {
        if (run.outcome != outcome)
            continue;
        numbers += (numbers.empty() ? "" : ", ") + std::to_string(run.number);
        ++count;
    }
    return (count == 1 ? "run " : "runs ") + numbers;
}

}  // namespace

std::string FormatGate(const GateReport& gate)
{
    const std::string limit = FormatShortest(gate.limitPercent) + "%";
    std::string out = "Regression gate against run " + std::to_string(gate.reference) +
                      ", the reference, with a limit of " + limit + " (" +
                      FormatShortest((100.0 + gate.limitPercent) / 100.0) + " x):\n"
                      "slower when the whole " + ConfidenceText(gate.intervalConfidence) +
                      " interval of a run's " + (gate.test == kRankTest ? "median" : "mean") +
                      " ratio lies above it\nand the " +
                      (gate.test == kRankTest ? "U test" : "Welch test") + "'s p < " +
                      FormatShortest(gate.significanceLevel) +
                      "; within when the whole interval lies at or below\n"
                      "it; otherwise the gate cannot tell.\n";
    if (gate.limitPercent == 0.0)
        out += "A limit of 0% leaves no margin: only a run faster than the reference can be\n"
               "shown within it.\n";
    for (const GateRun& run : gate.runs)
        out += GateRunLine(run, gate);
    // The verdict is the exit status's: a slowdown outweighs a doubt.
    if (gate.failed)
        return out + "Gate failed: " + RunsWith(gate, kGateSlower) + ".\n";
    if (gate.cannotJudge)
        return out + "Gate cannot tell: " + RunsWith(gate, kGateCannotTell) + ".\n";
    return out + "Gate passed.\n";
}

std::string FormatRules(const std::vector<RunAnalysis>& runs)
{
    bool spreadShown = false;
    for (const RunAnalysis& run : runs)
        spreadShown = spreadShown || (run.summary && run.summary->count >= 2);
    if (!spreadShown)
        return "";
    return "Notes: sd of a sample (n - 1); percentiles between the closest ranks; outliers:\n"
           "  modified Z-score over " + FormatShortest(kOutlierThreshold) +
           " (Iglewicz-Hoaglin, from the MAD) and " +
           FormatShortest(100.0 * kOutlierMinFraction) + "% off the median.\n";
}
