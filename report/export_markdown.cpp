#include "report/exports.h"

#include "report/outliers.h"
#include "report/text_format.h"

namespace {

// A code span that keeps backslashes and the like as they are; a pipe
// would end the table cell, so it is escaped.
std::string CodeSpan(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        if (c == '|')
            escaped += '\\';
        escaped += c;
    }
    if (escaped.find('`') != std::string::npos)
        return "`` " + escaped + " ``";
    return "`" + escaped + "`";
}

std::string Number(double value)
{
    return FormatFixed(value, 4);
}

std::string SummaryRow(const RunAnalysis& analysis)
{
    const Run& run = *analysis.run;
    std::string failures = std::to_string(analysis.failedLaunches) + " | " +
                           std::to_string(run.closeFailures);
    std::string row = "| " + std::to_string(analysis.number) + " | " +
                      CodeSpan(ToUtf8(run.application)) + " | " +
                      CodeSpan(ToUtf8(run.source)) + ":" + std::to_string(run.headerLine) +
                      " | " + std::to_string(run.launches.size()) + " of " +
                      std::to_string(run.announced) + " | ";
    if (!analysis.summary)
        return row + "– | – | – | – | – | – | " + failures + " |\n";
    const Summary& summary = *analysis.summary;
    row += Number(summary.mean);
    if (summary.stddev)
        row += " ± " + Number(*summary.stddev);
    row += " | " + Number(summary.median) + " | " + Number(summary.min) + " … " +
           Number(summary.max) + " | " + Number(summary.p5) + " | " + Number(summary.p95) +
           " | " + std::to_string(analysis.outliers.size()) + " | " + failures + " |\n";
    return row;
}

std::string OrDash(const std::optional<double>& value, std::string (*format)(double))
{
    return value ? format(*value) : "–";
}

std::string Ratio(double value)
{
    return FormatFixed(value, 2);
}

std::string ComparisonRow(const RunComparison& row, SignificanceTest test)
{
    const ComparisonVerdict verdict = JudgeComparison(row, test);
    std::string text = "| " + std::to_string(row.number) + " | " + Number(row.median) + " | ";
    if (verdict == kVerdictReference)
        return text + "reference | – | – | " + Number(row.mean) +
               " | reference | – | reference |\n";
    text += OrDash(row.medianRatio, Ratio) + " | ";
    text += row.medianRatioInterval ? Ratio(row.medianRatioInterval->low) + " – " +
                                          Ratio(row.medianRatioInterval->high)
                                    : std::string("–");
    text += " | " + (row.rank ? FormatPValue(row.rank->p) : "–") + " | " + Number(row.mean) +
            " | " + OrDash(row.ratio, Ratio);
    if (row.ratio && row.ratioUncertainty)
        text += " ± " + Ratio(*row.ratioUncertainty);
    text += " | " + (row.welch ? FormatPValue(row.welch->p) : "–") + " | ";
    switch (verdict) {
    case kVerdictNotTestable:
        return text + "not testable |\n";
    case kVerdictNotSignificant:
        return text + "not significant |\n";
    case kVerdictSlower:
        return text + "significantly slower |\n";
    case kVerdictFaster:
        return text + "significantly faster |\n";
    case kVerdictNoRatio:
    case kVerdictReference:
        break;
    }
    return text + "– |\n";
}

}  // namespace

std::string ExportMarkdown(const std::vector<RunAnalysis>& runs,
                           const ComparisonReport* comparison)
{
    std::string out =
        "| Run | Application | Log | Launches | Mean ± σ [s] | Median [s] | Min … Max [s] "
        "| P5 [s] | P95 [s] | Outliers | Failed | Failed to close |\n"
        "|---:|:---|:---|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const RunAnalysis& analysis : runs)
        out += SummaryRow(analysis);
    if (comparison && comparison->reference != 0) {
        const std::string reference = std::to_string(comparison->reference);
        out += "\n| Run | Median [s] | Median ratio to run " + reference +
               " | 95% interval | U test p | Mean [s] | Mean ratio to run " + reference +
               " | Welch p | Difference |\n|---:|---:|---:|:---:|---:|---:|---:|---:|:---|\n";
        for (const RunComparison& row : comparison->rows)
            out += ComparisonRow(row, comparison->test);
    }
    out += "\nσ: sample standard deviation (n − 1); " + std::string(kPercentileRule) +
           "; outliers: " + kOutlierRule + " " + kOutlierSizeRule + ".";
    if (!runs.empty() && runs.front().countedFrom == 1)
        out += " The first launch of each run is left out of its figures.";
    bool anyFailed = false;
    for (const RunAnalysis& analysis : runs)
        anyFailed = anyFailed || analysis.failedLaunches > 0;
    if (anyFailed)
        out += runs.front().failedCounted ? " Failed launches are counted in the figures."
                                          : " Failed launches are left out of the figures.";
    if (comparison && comparison->reference != 0)
        out += std::string(" Interval: the ") + IntervalRule(comparison->intervalConfidence) +
               ". U test: the " + kSignificanceTestTitles[kRankTest] + "; Welch: " +
               kSignificanceTestTitles[kWelchTest] + ". The difference is the " +
               (comparison->test == kRankTest ? "U test's" : "Welch test's") +
               ", significant when p < " + FormatShortest(comparison->significanceLevel) + ".";
    return out + "\n";
}
