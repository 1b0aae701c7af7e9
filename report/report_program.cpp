#include "report/report_program.h"

#include "report/empty_values.h"
#include "report/export_formats.h"
#include "report/regression_gate.h"
#include "report/report_files.h"
#include "report/results_log.h"
#include "report/run_analysis.h"
#include "report/terminal_report.h"
#include "report/trend_analysis.h"
#include "report/trend_program.h"
#include "resources/version.h"

#include <CLI/CLI.hpp>

#include <array>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

const NumberRange kSignificanceRange = {0.000001, 0.5, "a number from 0.000001 to 0.5"};
const NumberRange kSlowerLimitRange = {0.0, std::numeric_limits<double>::max(),
                                       "a percentage of 0 or more"};
const double kDefaultSignificanceLevel = 0.05;

bool ReadNumberInRange(const std::string& text, const NumberRange& range, double* value)
{
    // CLI11's Range lets "nan" through, since every comparison with NaN is
    // false; a NaN threshold would then quietly turn every test into a pass.
    double read = 0.0;
    if (!CLI::detail::lexical_cast(text, read) || !(read >= range.min && read <= range.max))
        return false;
    *value = read;
    return true;
}

namespace {

struct Options {
    std::vector<std::string> logs;
    bool compare = false;
    bool skipFirst = false;
    bool includeFailed = false;
    int reference = 0;
    double significanceLevel = kDefaultSignificanceLevel;
    SignificanceTest test = kRankTest;
    bool gate = false;
    double slowerLimitPercent = 0.0;
    // Where to write each of kExportFormats; empty: not asked for.
    std::array<std::string, std::size(kExportFormats)> exportPaths;
    bool trend = false;
    double minChangePercent = kDefaultMinChangePercent;
    std::string trendCsvPath;
};

CLI::Validator NumberFromTo(const NumberRange& range)
{
    return CLI::Validator(
        [range](std::string& input) {
            double value = 0.0;
            if (ReadNumberInRange(input, range, &value))
                return std::string();
            return "Value " + input + " is not " + range.expected;
        },
        range.expected);
}

void DescribeTrendOptions(CLI::App* app, Options* options)
{
    CLI::Option* trend = app->add_flag(
        "--trend", options->trend,
        "Each run is a build, in the order given: find where start-up time changed\n"
        "across them, per program and machine; kairon-time's --json files may be given\n"
        "among the logs for their build ids and machine names");
    for (const char* excluded : {"--compare", "--reference", "--fail-if-slower"})
        trend->excludes(excluded);
    app->add_option("--min-change", options->minChangePercent,
                    "With --trend: the least step between the medians either side that is a\n"
                    "change, in percent (default 5)")
        ->check(CLI::Range(0.0, 1000.0))
        ->needs(trend)
        ->type_name("PCT");
    app->add_option("--export-trend-csv", options->trendCsvPath,
                    "With --trend: write each series as time,commit,value CSV")
        ->needs(trend)
        ->type_name("FILE");
}

void DescribeOptions(CLI::App* app, Options* options)
{
    // CLI11 prints it, and a line end after it.
    app->set_version_flag("-V,--version", "kairon-report " KAIRON_VERSION_TEXT,
                          "Print kairon-report's version and exit");
    app->add_option("logs", options->logs,
                    "Results logs written by Kairon; none, or -, reads standard input")
        ->type_name("LOG");
    app->add_flag("-c,--compare", options->compare,
                  "Compare the runs: the ratio of medians with its 95% interval and the\n"
                  "Mann-Whitney U test; the ratio of means and Welch's t-test");
    app->add_flag("--skip-first", options->skipFirst,
                  "Leave each run's first (cold) launch out of its figures and comparisons");
    app->add_flag("--include-failed", options->includeFailed,
                  "Count the launches that failed (window not found or not visible, input\n"
                  "idle failed, exited before it was ready, handed off, not settled) in the\n"
                  "figures, comparisons and the gate; by default they are listed and left out");
    app->add_option("-r,--reference", options->reference,
                    "With --compare: compare against this run number (default: the fastest;\n"
                    "with --fail-if-slower, run 1)")
        ->check(CLI::PositiveNumber)
        ->type_name("RUN");
    app->add_option("--significance", options->significanceLevel,
                    "With --compare: the p-value below which a difference counts (default 0.05)")
        ->check(NumberFromTo(kSignificanceRange))
        ->type_name("P");
    app->add_option_function<std::string>(
           "--test",
           [options](const std::string& name) { ReadSignificanceTest(name, &options->test); },
           "With --compare: " + SignificanceTestHelp())
        ->check(CLI::IsMember(
            {kSignificanceTestNames[kRankTest], kSignificanceTestNames[kWelchTest]}))
        ->type_name("TEST");
    app->add_option_function<double>(
           "--fail-if-slower",
           [options](const double& limit) {
               options->gate = true;
               options->slowerLimitPercent = limit;
           },
           "Implies --compare: " + FailIfSlowerHelp("a run", "the reference"))
        ->check(NumberFromTo(kSlowerLimitRange))
        ->type_name("PCT");
    DescribeTrendOptions(app, options);
    for (size_t i = 0; i < std::size(kExportFormats); ++i) {
        const ExportFormat& format = kExportFormats[i];
        app->add_option(format.option, options->exportPaths[i], format.help)->type_name("FILE");
    }
    app->footer("Runs are numbered 1, 2, ... across the logs in the order given.\n"
                "Lines that are not lines of a results log are reported and skipped.\n" +
                ExitStatusTable(""));
}

bool ReadLog(const std::string& name, std::FILE* input, std::string* bytes, std::ostream& err)
{
    bool read = name == "-" ? ReadWholeStream(input, bytes) : ReadWholeFile(name, bytes);
    if (!read)
        err << (name == "-" ? "<stdin>" : name) << ": cannot be read: " << std::strerror(errno)
            << "\n";
    return read;
}

bool ReadTrendJson(const std::string& bytes, const std::string& name,
                   std::vector<BuildRecord>* records, std::ostream& err)
{
    std::string problem;
    std::vector<BuildRecord> read = ReadBuildRecords(bytes, name, &problem);
    if (read.empty()) {
        err << name << ": " << problem << "\n";
        return false;
    }
    records->insert(records->end(), read.begin(), read.end());
    return true;
}

void ReportProblems(const ParsedLog& log, std::ostream& err)
{
    for (const LogProblem& problem : log.problems) {
        err << problem.source << ":";
        if (problem.line > 0)
            err << problem.line << ":";
        err << " " << problem.message << "\n";
    }
}

std::string ThereAre(size_t count)
{
    return count == 1 ? "there is 1" : "there are " + std::to_string(count);
}

// The gate judges every run but the reference, those without launches too:
// a candidate whose every launch failed cannot be judged, which is the
// gate's own verdict, not a mistake of the command line.
bool CanCompare(const Options& options, const std::vector<RunAnalysis>& runs, std::ostream& err)
{
    size_t withLaunches = 0;
    for (const RunAnalysis& run : runs)
        withLaunches += run.summary ? 1 : 0;
    if (options.gate && runs.size() < 2) {
        err << "kairon-report: the gate needs at least two runs; " << ThereAre(runs.size())
            << "\n";
        return false;
    }
    if (!options.gate && withLaunches < 2) {
        err << "kairon-report: comparing needs at least two runs with launches; "
            << ThereAre(withLaunches) << "\n";
        return false;
    }
    if (options.reference == 0)
        return true;
    for (const RunAnalysis& run : runs)
        if (run.number == options.reference && run.summary)
            return true;
    err << "kairon-report: run " << options.reference
        << " cannot be the reference: there is no such run with launches\n";
    return false;
}

bool Export(const std::string& path, const std::string& bytes, std::ostream& err)
{
    if (WriteWholeFile(path, bytes))
        return true;
    err << path << ": cannot be written: " << std::strerror(errno) << "\n";
    return false;
}

}  // namespace

int RunReportProgram(int argc, const char* const* argv, std::FILE* input, std::ostream& out,
                     std::ostream& err)
{
    CLI::App app("Summarises the start-up times in Kairon's results logs: centre and spread,\n"
                 "cold and warm launches, outliers, comparisons, exports and a chart.",
                 "kairon-report");
    Options options;
    DescribeOptions(&app, &options);
    const EmptyValuesApart arguments(app, argc, argv);
    try {
        app.parse(arguments.argc(), arguments.argv());
    } catch (const CLI::ParseError& error) {
        int code = app.exit(error, out, err);
        return code == 0 ? kExitOk : kExitUsage;
    }
    // An empty path would read as the export not asked for.
    for (size_t i = 0; i < std::size(kExportFormats); ++i) {
        if (app.count(kExportFormats[i].option) > 0 && options.exportPaths[i].empty()) {
            err << kExportFormats[i].option << ": a file name must follow\n";
            return kExitUsage;
        }
    }
    if (options.logs.empty())
        options.logs.push_back("-");

    std::vector<ParsedLog> logs;
    std::vector<BuildRecord> records;
    bool inputsOk = true;
    for (const std::string& name : options.logs) {
        std::string bytes;
        if (!ReadLog(name, input, &bytes, err)) {
            inputsOk = false;
            continue;
        }
        if (options.trend && LooksLikeJson(bytes)) {
            inputsOk = ReadTrendJson(bytes, name, &records, err) && inputsOk;
            continue;
        }
        logs.push_back(ParseResultsLog(bytes, name == "-" ? "<stdin>" : name));
        ReportProblems(logs.back(), err);
        inputsOk = inputsOk && logs.back().isResultsLog;
    }
    if (!inputsOk)
        return kExitFailed;

    std::vector<RunAnalysis> runs;
    for (const ParsedLog& log : logs)
        for (const Run& run : log.runs)
            runs.push_back(AnalyzeRun(run, static_cast<int>(runs.size()) + 1, options.skipFirst,
                                      options.includeFailed));

    if (options.trend) {
        TrendRequest request;
        request.minChangePercent = options.minChangePercent;
        for (size_t i = 0; i < std::size(kExportFormats); ++i)
            request.exports.emplace_back(kExportFormats[i].option, options.exportPaths[i]);
        request.trendCsvPath = options.trendCsvPath;
        return RunTrendReport(runs, records, request, out, err);
    }

    // The gate judges a candidate against its baseline, whichever is faster:
    // against the fastest run, a baseline would fail for the candidate's
    // improvement.
    if (options.gate && options.reference == 0)
        options.reference = 1;
    bool compare = options.compare || options.reference != 0 || options.gate;
    if (compare && !CanCompare(options, runs, err))
        return kExitUsage;
    ComparisonReport comparison;
    if (compare) {
        comparison =
            CompareRuns(runs, options.reference, options.significanceLevel, options.test);
        const std::string programs = DifferentPrograms(runs);
        if (!programs.empty())
            err << "kairon-report: warning: comparing runs of different programs: " << programs
                << "\n";
    }
    GateReport gate;
    if (options.gate)
        gate = ApplyRegressionGate(comparison, runs, options.slowerLimitPercent);

    for (const RunAnalysis& run : runs)
        out << FormatRunBlock(run) << "\n";
    if (compare)
        out << FormatComparison(comparison, runs) << "\n";
    if (options.gate)
        out << FormatGate(gate) << "\n";
    out << FormatRules(runs);

    const ComparisonReport* compared = compare ? &comparison : nullptr;
    bool written = true;
    for (size_t i = 0; i < std::size(kExportFormats); ++i) {
        const std::string& path = options.exportPaths[i];
        if (!path.empty())
            written = Export(path, kExportFormats[i].write(runs, compared), err) && written;
    }
    if (!written)
        return kExitFailed;
    if (gate.failed)
        return kExitSlower;
    return gate.cannotJudge ? kExitCannotJudge : kExitOk;
}
