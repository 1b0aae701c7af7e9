#include "console/time_options.h"

#include "config/settings_check_text.h"
#include "engine/log_format.h"
#include "engine/settle_wait.h"
#include "report/empty_values.h"
#include "report/exit_statuses.h"
#include "report/regression_gate.h"
#include "resources/version.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

namespace {

const char kInputIdleAloneCannotClose[] =
    "--input-idle alone cannot close APP between launches: give --runs 1 and no --warmup, "
    "or --window TITLE so that its window is closed";

const char kTimeDescription[] =
    "Launches APP again and again and appends each start-up time to a results log.";

// What the options read into, as they are read.
struct Reading {
    RunSettings* settings;
    TimeOptions* options;
    bool closeGiven;
    bool captureGiven;
};

// Reads one value of the option `name` into `reading`; false, with
// *error set, when it cannot.
using ReadValue = bool (*)(const char* name, const std::string& value, Reading* reading,
                           std::string* error);

struct TimeOption {
    const char* name;       // "--window"; "APP" for the application
    const char* valueName;  // the value's name in the usage; null for a switch
    std::string help;
    ReadValue read;
    // Means something only in a comparison: refused without --compare.
    bool comparisonOnly;
};

bool CopyText(const char* option, const std::string& value, char* field, std::size_t size,
              std::string* error)
{
    if (value.size() >= size) {
        *error = std::string(option) + ": longer than " + std::to_string(size - 1) +
                 " characters";
        return false;
    }
    std::strcpy(field, value.c_str());
    return true;
}

// A path as Explorer's "Copy as path" gives it, quotes and all, read as
// config.txt reads the application's.
bool CopyPath(const char* option, const std::string& value, char* field, std::string* error)
{
    std::string path = value;
    RemoveQuotesAroundPath(&path[0]);
    path.resize(std::strlen(path.c_str()));
    return CopyText(option, path, field, kPathSize, error);
}

// A file name, which an empty value is not.
bool ReadFileName(const char* option, const std::string& value, std::string* error)
{
    if (!value.empty())
        return true;
    *error = std::string(option) + ": a file name must follow";
    return false;
}

// A whole decimal number from `lowest` to `highest`.
bool ReadNumber(const char* option, const std::string& value, std::int32_t lowest,
                std::int32_t highest, std::int32_t* number, std::string* error)
{
    char* end = nullptr;
    errno = 0;
    const long long read = std::strtoll(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0') {
        *error = std::string(option) + ": '" + value + "' is not a whole number";
        return false;
    }
    if (errno == ERANGE || read < lowest || read > highest) {
        *error = std::string(option) + ": '" + value + "' is out of range (" +
                 std::to_string(lowest) + " to " + std::to_string(highest) + ")";
        return false;
    }
    *number = static_cast<std::int32_t>(read);
    return true;
}

// The runs and the delay: one below 1 that fits in 32 bits is the settings
// checks' to refuse, in the dialog's words.
bool ReadDialogNumber(const char* option, const std::string& value, std::int32_t* number,
                      std::string* error)
{
    std::string belowOne;
    return ReadNumber(option, value, INT32_MIN, 0, number, &belowOne) ||
           ReadNumber(option, value, 1, INT32_MAX, number, error);
}

// --fail-if-slower's and --significance's numbers, as kairon-report reads them.
bool ReadGateNumber(const char* option, const std::string& value, const NumberRange& range,
                    double* number, std::string* error)
{
    if (ReadNumberInRange(value, range, number))
        return true;
    *error = std::string(option) + ": '" + value + "' is not " + range.expected;
    return false;
}

template <bool RunSettings::*setting>
bool SwitchOn(const char*, const std::string&, Reading* reading, std::string*)
{
    reading->settings->*setting = true;
    return true;
}

template <bool TimeOptions::*option>
bool OptionOn(const char*, const std::string&, Reading* reading, std::string*)
{
    reading->options->*option = true;
    return true;
}

bool ReadApplication(const char* name, const std::string& value, Reading* reading,
                     std::string* error)
{
    return CopyPath(name, value, reading->settings->appPath, error);
}

bool ReadWindow(const char* name, const std::string& value, Reading* reading, std::string* error)
{
    reading->settings->detectByWindowName = true;
    // An empty title matches no window: every search would give up after
    // its full time.
    if (value.empty()) {
        *error = std::string(name) + ": the title must not be empty";
        return false;
    }
    return CopyText(name, value, reading->settings->windowName, kWindowNameSize, error);
}

bool ReadArguments(const char* name, const std::string& value, Reading* reading,
                   std::string* error)
{
    return CopyText(name, value, reading->settings->cmdLineArgs, kArgumentsSize, error);
}

// A command run around the launches: one per option, the last one given.
template <char (RunSettings::*command)[kShellCommandSize]>
bool ReadCommand(const char* name, const std::string& value, Reading* reading,
                 std::string* error)
{
    if (value.empty()) {
        *error = std::string(name) + ": a command must follow";
        return false;
    }
    return CopyText(name, value, reading->settings->*command, kShellCommandSize, error);
}

bool ReadCloseMethod(const char* name, const std::string& value, Reading* reading,
                     std::string* error)
{
    RunSettings* settings = reading->settings;
    reading->closeGiven = true;
    if (value == "wm_close")
        settings->closeByWmClose = true;
    else if (value == "syscommand")
        settings->closeBySysCommand = true;
    else if (value == "altf4")
        settings->closeByAltF4 = true;
    else {
        *error = std::string(name) + ": '" + value + "' is not wm_close, syscommand or altf4";
        return false;
    }
    return true;
}

bool ReadRuns(const char* name, const std::string& value, Reading* reading, std::string* error)
{
    return ReadDialogNumber(name, value, &reading->settings->executions, error);
}

bool ReadWarmups(const char* name, const std::string& value, Reading* reading, std::string* error)
{
    return ReadNumber(name, value, 0, INT32_MAX, &reading->settings->warmups, error);
}

// A quiet time as long as the whole wait could never be had.
bool ReadSettled(const char* name, const std::string& value, Reading* reading, std::string* error)
{
    return ReadNumber(name, value, 1, static_cast<std::int32_t>(kSettleLimitMs) - 1,
                      &reading->settings->settledMs, error);
}

bool ReadCapture(const char* name, const std::string& value, Reading* reading,
                 std::string* error)
{
    reading->captureGiven = true;
    for (int source = kCaptureScreen; source <= kCapturePrint; ++source) {
        if (value == kCaptureSourceNames[source]) {
            reading->settings->settleCapture = static_cast<CaptureSource>(source);
            return true;
        }
    }
    *error = std::string(name) + ": '" + value + "' is not screen, window or print";
    return false;
}

bool ReadDelay(const char* name, const std::string& value, Reading* reading, std::string* error)
{
    return ReadDialogNumber(name, value, &reading->settings->delayMs, error);
}

bool ReadLog(const char* name, const std::string& value, Reading* reading, std::string* error)
{
    return CopyText(name, value, reading->settings->logPath, kPathSize, error);
}

bool ReadJson(const char* name, const std::string& value, Reading* reading, std::string* error)
{
    reading->options->jsonPath = value;
    return ReadFileName(name, value, error);
}

bool ReadBuild(const char*, const std::string& value, Reading* reading, std::string* error)
{
    if (value.empty()) {
        *error = "--build: the build's id is empty";
        return false;
    }
    reading->options->buildId = value;
    return true;
}

bool ReadSaveConfig(const char* name, const std::string& value, Reading* reading,
                    std::string* error)
{
    reading->options->saveConfigPath = value;
    return ReadFileName(name, value, error);
}

bool ReadCompare(const char* name, const std::string& value, Reading* reading, std::string* error)
{
    if (!CopyPath(name, value, reading->settings->baselinePath, error))
        return false;
    if (reading->settings->baselinePath[0] != '\0')
        return true;
    *error = std::string(name) + ": a baseline program must follow";
    return false;
}

bool ReadBaselineLog(const char* name, const std::string& value, Reading* reading,
                     std::string* error)
{
    return ReadFileName(name, value, error) &&
           CopyText(name, value, reading->settings->baselineLogPath, kPathSize, error);
}

bool ReadSlowerLimit(const char* name, const std::string& value, Reading* reading,
                     std::string* error)
{
    reading->options->gate = true;
    return ReadGateNumber(name, value, kSlowerLimitRange, &reading->options->slowerLimitPercent,
                          error);
}

bool ReadSignificance(const char* name, const std::string& value, Reading* reading,
                      std::string* error)
{
    return ReadGateNumber(name, value, kSignificanceRange, &reading->options->significanceLevel,
                          error);
}

bool ReadTest(const char* name, const std::string& value, Reading* reading, std::string* error)
{
    if (ReadSignificanceTest(value, &reading->options->test))
        return true;
    *error = std::string(name) + ": '" + value + "' is not " + kSignificanceTestNames[kRankTest] +
             " or " + kSignificanceTestNames[kWelchTest];
    return false;
}

bool ReadMaxRuns(const char* name, const std::string& value, Reading* reading,
                 std::string* error)
{
    return ReadNumber(name, value, 1, INT32_MAX, &reading->options->maxRuns, error);
}

std::string Number(long long number)
{
    return std::to_string(number);
}

std::string TextOfNumber(double number)
{
    std::ostringstream text;
    text << number;
    return text.str();
}

// Every option, in the usage's order.
const std::vector<TimeOption>& TimeOptionTable()
{
    static const std::vector<TimeOption> table = {
        {"APP", "", "The application to time: a path (quotes around it\n"
                    "are removed), or a program name Windows finds",
         ReadApplication, false},
        {"--window", "TITLE",
         "Wait for a top-level window whose title contains\nTITLE (ignoring case)", ReadWindow,
         false},
        {"--exact", nullptr, "The whole title must match, case included",
         SwitchOn<&RunSettings::exactMatch>, false},
        {"--visible", nullptr, "Also wait until that window is neither hidden nor\nminimised",
         SwitchOn<&RunSettings::waitVisible>, false},
        {"--input-idle", nullptr, "Also wait until APP is idle for input",
         SwitchOn<&RunSettings::waitInputIdle>, false},
        {"--settled", "MS",
         "Then until the window's pixels have not changed\n"
         "for MS ms, and time the launch to its content\n(at most " +
             Number(kSettleLimitMs / 1000) + " s)",
         ReadSettled, false},
        {"--capture", "FROM",
         "With --settled: where the pixels are read from:\n"
         "screen (default; what a person sees, GPU content\n"
         "included, the window uncovered), window (its own\n"
         "DC: GDI content only) or print (PrintWindow:\n"
         "covered windows too; Windows 8.1 and later)",
         ReadCapture, false},
        {"--new-only", nullptr, "Ignore windows that existed before the run",
         SwitchOn<&RunSettings::newWindowsOnly>, false},
        {"--args", "ARGS", "APP's command line, passed as it stands", ReadArguments, false},
        {"--close", "HOW", "wm_close (default), syscommand or altf4; may be\nrepeated",
         ReadCloseMethod, false},
        {"--runs", "N", "Measured launches (default " + Number(kTimeDefaultRuns) + ")", ReadRuns,
         false},
        {"--warmup", "N",
         "Launches before them, timed and closed the same\nway, not in the log (default 0)",
         ReadWarmups, false},
        {"--delay", "MS",
         "Pause before each launch, before closing, before\nthe next (default " +
             Number(kDefaultDelayMs) + ")",
         ReadDelay, false},
        {"--log", "FILE", std::string("Results log, appended to (default ") + kTimeDefaultLog + ")",
         ReadLog, false},
        {"--debug", nullptr, "The debug lines in the log, as Kairon writes them",
         SwitchOn<&RunSettings::debugLog>, false},
        {"--json", "FILE", "Every launch with the time of each phase of its\nstart-up", ReadJson,
         false},
        {"--build", "ID",
         "With --json: the build's id, kept in the JSON with\nthe machine's name, for "
         "kairon-report --trend",
         ReadBuild, false},
        {"--quiet", nullptr, "No progress lines", OptionOn<&TimeOptions::quiet>, false},
        {"--keep-going", nullptr,
         "Make every launch; without it, the run stops after\n"
         "the first whose window was not found (status " + Number(kExitNotReady) + ")",
         OptionOn<&TimeOptions::keepGoing>, false},
        {"--setup", "CMD", "Run CMD through cmd.exe once before the first\nlaunch",
         ReadCommand<&RunSettings::setupCommand>, false},
        {"--prepare", "CMD",
         "Run CMD before each launch, warm-ups included,\nbefore its pause",
         ReadCommand<&RunSettings::prepareCommand>, false},
        {"--conclude", "CMD", "Run CMD after each launch has closed",
         ReadCommand<&RunSettings::concludeCommand>, false},
        {"--cleanup", "CMD",
         "Run CMD once at the end, also after a failure or\nCtrl-C; a command that exits with "
         "another code\nthan 0 stops the run (status " + Number(kExitFailed) + ")",
         ReadCommand<&RunSettings::cleanupCommand>, false},
        {"--cold", nullptr,
         "Empty the system's file cache before each launch,\nand check that it was "
         "(administrator rights)",
         SwitchOn<&RunSettings::coldStart>, false},
        {"--compare", "BASELINE",
         "Launch BASELINE and APP in turn, BASELINE first,\n"
         "with the same options, and compare APP against it\n"
         "at the end (quotes around BASELINE are removed)",
         ReadCompare, false},
        {"--baseline-log", "FILE",
         std::string("BASELINE's results log (default:\nthe log's name with ") +
             kBaselineLogSuffix + " before its\nextension)",
         ReadBaselineLog, true},
        {"--fail-if-slower", "PCT", FailIfSlowerHelp("APP", "BASELINE"), ReadSlowerLimit, true},
        {"--significance", "P",
         "the p-value below which a\ndifference counts (default " +
             TextOfNumber(kDefaultSignificanceLevel) + ")",
         ReadSignificance, true},
        {"--test", "TEST", SignificanceTestHelp(), ReadTest, true},
        {"--max-runs", "N",
         "with --fail-if-slower: while the gate\n"
         "cannot tell after --runs launches a side, add\n"
         "rounds up to N a side, looking again as they come\n"
         "(default: --runs, which adds none)",
         ReadMaxRuns, true},
        {"--save-config", "FILE",
         "Write Kairon's config.txt for these options, for\nan unattended run, and exit",
         ReadSaveConfig, false},
        {"--attended", nullptr,
         "With --save-config: Kairon opens filled in and\nwaits for Run App",
         OptionOn<&TimeOptions::attended>, false},
    };
    return table;
}

// Puts the table into `app`; `described` gets its options in the table's order.
void DescribeTimeOptions(CLI::App* app, std::vector<const CLI::Option*>* described)
{
    // Each value is read, in the command line's order, by the table's
    // readers, which say what is wrong in kairon-time's own words.
    app->option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app->allow_extras();
    for (const TimeOption& option : TimeOptionTable()) {
        const std::string help =
            option.comparisonOnly ? "With --compare: " + option.help : option.help;
        CLI::Option* added = option.valueName == nullptr ? app->add_flag(option.name, help)
                                                         : app->add_option(option.name, help);
        if (option.valueName != nullptr)
            added->type_name(option.valueName);
        if (option.name == std::string("APP"))
            added->required();
        described->push_back(added);
    }
    app->set_version_flag("-V,--version", TimeVersion(), "Print kairon-time's version and exit");
    app->footer("At least one of --window and --input-idle.\n" + ExitStatusTable(""));
}

// What CLI11 refused, in kairon-time's words: it names the option whose
// value is missing at the start of its message.
std::string RefusalOf(const CLI::ParseError& refusal)
{
    const std::string message = refusal.what();
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&refusal) != nullptr) {
        for (const TimeOption& option : TimeOptionTable()) {
            if (message.rfind(std::string(option.name) + ":", 0) == 0)
                return std::string(option.name) + ": a value must follow";
        }
    }
    return message;
}

// What CLI11 left over: an option it does not know, or a second program.
// It keeps there the "--" that ends the options, which is no mistake;
// whatever follows that is a program, however it begins.
bool NoneLeftOver(const std::vector<std::string>& leftOver, std::string* error)
{
    bool optionsEnded = false;
    for (const std::string& argument : leftOver) {
        if (argument == "--" && !optionsEnded) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument.size() > 1 && argument[0] == '-')
            *error = "unknown option " + argument;
        else
            *error = "one application only; '" + argument +
                     "' follows it (its arguments go in --args)";
        return false;
    }
    return true;
}

}  // namespace

TimeCommandLine ParseTimeCommandLine(int argc, const char* const* argv, RunSettings* settings,
                                     TimeOptions* options, std::string* error)
{
    *settings = RunSettings{};
    *options = TimeOptions{};
    settings->executions = kTimeDefaultRuns;
    settings->delayMs = kDefaultDelayMs;
    std::strcpy(settings->logPath, kTimeDefaultLog);
    settings->markPhases = true;
    settings->checkWindowOwner = true;
    // A script's run leaves nothing behind and gives up on a program that
    // died, where a person at the dialog would see to both.
    settings->endLeftRunning = true;
    settings->measureResources = true;
    settings->stopSearchOnExit = true;
    // A script's number is the moment the window was there.
    settings->wakeOnWindowEvents = true;

    CLI::App app(kTimeDescription, "kairon-time");
    std::vector<const CLI::Option*> described;
    DescribeTimeOptions(&app, &described);
    bool appGiven = true;
    const EmptyValuesApart arguments(app, argc, argv);
    try {
        app.parse(arguments.argc(), arguments.argv());
    } catch (const CLI::CallForHelp&) {
        return kTimeHelp;
    } catch (const CLI::CallForVersion&) {
        return kTimeVersion;
    } catch (const CLI::RequiredError&) {
        // Told once the rest of the command line is found right.
        appGiven = false;
    } catch (const CLI::ParseError& refusal) {
        *error = RefusalOf(refusal);
        return kTimeBadCommand;
    }
    if (!NoneLeftOver(app.remaining(), error))
        return kTimeBadCommand;

    Reading reading{settings, options, false, false};
    // The options that mean something only in a comparison, the first given.
    const char* comparisonOption = nullptr;
    std::vector<std::size_t> valuesRead(described.size(), 0);
    for (const CLI::Option* given : app.parse_order()) {
        const std::size_t index = static_cast<std::size_t>(
            std::find(described.begin(), described.end(), given) - described.begin());
        if (index == described.size())
            continue;
        const TimeOption& option = TimeOptionTable()[index];
        const std::string& value = given->results()[valuesRead[index]++];
        // CLI11 gives a switch "true", or what follows its '='.
        if (option.valueName == nullptr && value != "true") {
            *error = std::string(option.name) + ": takes no value";
            return kTimeBadCommand;
        }
        if (!option.read(option.name, value, &reading, error))
            return kTimeBadCommand;
        if (option.comparisonOnly && comparisonOption == nullptr)
            comparisonOption = option.name;
    }
    if (!appGiven) {
        *error = "no application to time";
        return kTimeBadCommand;
    }
    // Only a window has pixels to watch.
    if (settings->settledMs != 0 && !settings->detectByWindowName) {
        *error = "--settled: only with --window, whose pixels it watches";
        return kTimeBadCommand;
    }
    if (reading.captureGiven && settings->settledMs == 0) {
        *error = "--capture: only with --settled";
        return kTimeBadCommand;
    }
    // config.txt has a line for every setting of Kairon's dialog, and for
    // nothing that only kairon-time does.
    const bool comparing = settings->baselinePath[0] != '\0';
    const char* noLine = settings->warmups != 0              ? "--warmup"
                         : !options->jsonPath.empty()        ? "--json"
                         : settings->settledMs != 0          ? "--settled"
                         : comparing                         ? "--compare"
                         : settings->setupCommand[0] != '\0'   ? "--setup"
                         : settings->prepareCommand[0] != '\0' ? "--prepare"
                         : settings->concludeCommand[0] != '\0' ? "--conclude"
                         : settings->cleanupCommand[0] != '\0' ? "--cleanup"
                         : settings->coldStart               ? "--cold"
                                                             : nullptr;
    if (!options->saveConfigPath.empty() && noLine != nullptr) {
        *error = std::string("--save-config: config.txt has no line for ") + noLine;
        return kTimeBadCommand;
    }
    if (!options->buildId.empty() && options->jsonPath.empty()) {
        *error = "--build: only with --json, which keeps it";
        return kTimeBadCommand;
    }
    if (comparisonOption != nullptr && !comparing) {
        *error = std::string(comparisonOption) + ": only with --compare";
        return kTimeBadCommand;
    }
    if (comparing && settings->baselineLogPath[0] == '\0') {
        const std::string baselineLog = DefaultBaselineLog(settings->logPath);
        if (baselineLog.size() >= static_cast<std::size_t>(kPathSize)) {
            *error = std::string("--log: too long to name the baseline's log after it; "
                                 "give --baseline-log");
            return kTimeBadCommand;
        }
        std::strcpy(settings->baselineLogPath, baselineLog.c_str());
    }
    if (options->maxRuns != 0 && !options->gate) {
        *error = "--max-runs: only with --fail-if-slower, whose gate decides when to stop";
        return kTimeBadCommand;
    }
    if (options->maxRuns != 0 && options->maxRuns < settings->executions) {
        *error = "--max-runs: " + Number(options->maxRuns) + " is below --runs " +
                 Number(settings->executions);
        return kTimeBadCommand;
    }
    if (options->attended && options->saveConfigPath.empty()) {
        *error = "--attended: only with --save-config";
        return kTimeBadCommand;
    }
    // Only a window can be closed; without one, a single launch needs no
    // closing and more are refused by the checks.
    settings->stopOnMissedWindow = !options->keepGoing;
    if (!reading.closeGiven && settings->detectByWindowName)
        settings->closeByWmClose = true;
    return kTimeRun;
}

GatePlan TimeGatePlan(const TimeOptions& options, std::int32_t runs)
{
    GatePlan plan;
    plan.limitPercent = options.slowerLimitPercent;
    plan.significanceLevel = options.significanceLevel;
    plan.test = options.test;
    plan.runs = runs;
    plan.maxRuns = options.maxRuns > runs ? options.maxRuns : runs;
    return plan;
}

std::string DefaultBaselineLog(const std::string& logPath)
{
    const std::size_t separator = logPath.find_last_of("\\/:");
    const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    const std::size_t dot = logPath.rfind('.');
    // A dot that starts the name (".results") begins no extension.
    if (dot == std::string::npos || dot <= nameStart)
        return logPath + kBaselineLogSuffix;
    return logPath.substr(0, dot) + kBaselineLogSuffix + logPath.substr(dot);
}

SettingsCheck FirstFailedTimeCheck(const RunSettings& settings)
{
    RunSettings counted = settings;
    if (settings.executions > 0 && settings.warmups > INT32_MAX - settings.executions)
        counted.executions = INT32_MAX;
    else if (settings.executions > 0)
        counted.executions += settings.warmups;
    const SettingsCheck failed = FirstFailedCheck(counted);
    // The dialog asks for a window name so that the run has something to
    // wait for; input idle is that too.
    if (failed != kCheckWindowName || !settings.waitInputIdle)
        return failed;
    RunSettings named = counted;
    std::strcpy(named.windowName, "input idle");
    return FirstFailedCheck(named);
}

std::string TimeCheckMessage(SettingsCheck check)
{
    const SettingsWarning* warning = WarningForCheck(check);
    if (warning == nullptr)
        return "Invalid settings: Please check the settings";
    std::string message = std::string(warning->caption) + ": " + warning->text;
    // kairon-time closes by WM_CLOSE whenever it waits for a window, so this
    // check fails only for input idle alone, and the dialog's words do not
    // say what to give instead.
    if (check == kCheckCloseMethod)
        message += std::string("\nkairon-time: ") + kInputIdleAloneCannotClose;
    return message;
}

std::string TimeUsage()
{
    CLI::App app(kTimeDescription, "kairon-time");
    std::vector<const CLI::Option*> described;
    DescribeTimeOptions(&app, &described);
    return app.help();
}

std::string TimeVersion()
{
    return "kairon-time " KAIRON_VERSION_TEXT "\n";
}
