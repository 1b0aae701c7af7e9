#include "console/time_options.h"

#include "config/settings_check_text.h"
#include "console/exit_status.h"
#include "engine/log_format.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {

bool CopyText(const char* option, const char* value, char* field, std::size_t size,
              std::string* error)
{
    if (std::strlen(value) >= size) {
        *error = std::string(option) + ": longer than " + std::to_string(size - 1) +
                 " characters";
        return false;
    }
    std::strcpy(field, value);
    return true;
}

// A whole decimal number that fits in 32 bits; the range the run accepts is
// the settings checks' business, so that they say it in the dialog's words.
bool ReadNumber(const char* option, const char* value, std::int32_t* number, std::string* error)
{
    char* end = nullptr;
    errno = 0;
    const long long read = std::strtoll(value, &end, 10);
    if (value[0] == '\0' || *end != '\0' || errno == ERANGE || read < INT32_MIN ||
        read > INT32_MAX) {
        *error = std::string(option) + ": '" + value + "' is not a whole number";
        return false;
    }
    *number = static_cast<std::int32_t>(read);
    return true;
}

// --fail-if-slower's and --significance's numbers, as kairon-report reads them.
bool ReadGateNumber(const char* option, const char* value, const NumberRange& range,
                    double* number, std::string* error)
{
    if (ReadNumberInRange(value, range, number))
        return true;
    *error = std::string(option) + ": '" + value + "' is not " + range.expected;
    return false;
}

bool ReadCloseMethod(const char* value, RunSettings* settings, std::string* error)
{
    if (std::strcmp(value, "wm_close") == 0)
        settings->closeByWmClose = true;
    else if (std::strcmp(value, "syscommand") == 0)
        settings->closeBySysCommand = true;
    else if (std::strcmp(value, "altf4") == 0)
        settings->closeByAltF4 = true;
    else {
        *error = std::string("--close: '") + value + "' is not wm_close, syscommand or altf4";
        return false;
    }
    return true;
}

// The options that switch one of the run's settings on.
struct Switch {
    const char* name;
    bool RunSettings::*setting;
};
const Switch kSwitches[] = {
    {"--exact", &RunSettings::exactMatch},         {"--visible", &RunSettings::waitVisible},
    {"--input-idle", &RunSettings::waitInputIdle}, {"--new-only", &RunSettings::newWindowsOnly},
    {"--debug", &RunSettings::debugLog},
};

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
    bool closeGiven = false;
    bool appGiven = false;
    // The options that mean something only in a comparison, the first given.
    const char* comparisonOption = nullptr;

    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        const auto flag = [argument](const char* name) { return std::strcmp(argument, name) == 0; };
        if (flag("--help") || flag("-h"))
            return kTimeHelp;
        const auto switchOn = std::find_if(std::begin(kSwitches), std::end(kSwitches),
                                           [&flag](const Switch& on) { return flag(on.name); });
        if (switchOn != std::end(kSwitches)) {
            settings->*switchOn->setting = true;
        } else if (flag("--quiet")) {
            options->quiet = true;
        } else if (flag("--attended")) {
            options->attended = true;
        } else if (flag("--window") || flag("--args") || flag("--close") || flag("--runs") ||
                   flag("--warmup") || flag("--delay") || flag("--log") || flag("--json") ||
                   flag("--save-config") || flag("--compare") || flag("--baseline-log") ||
                   flag("--fail-if-slower") || flag("--significance") || flag("--settled")) {
            if (i + 1 >= argc) {
                *error = std::string(argument) + ": a value must follow";
                return kTimeBadCommand;
            }
            const char* value = argv[++i];
            bool read = true;
            if (comparisonOption == nullptr &&
                (flag("--baseline-log") || flag("--fail-if-slower") || flag("--significance")))
                comparisonOption = argument;
            if (flag("--window")) {
                settings->detectByWindowName = true;
                // An empty title matches no window: every search would
                // give up after its full time.
                if (value[0] == '\0') {
                    *error = "--window: the title must not be empty";
                    return kTimeBadCommand;
                }
                read = CopyText(argument, value, settings->windowName, kWindowNameSize, error);
            } else if (flag("--args")) {
                read = CopyText(argument, value, settings->cmdLineArgs, kArgumentsSize, error);
            } else if (flag("--close")) {
                closeGiven = true;
                read = ReadCloseMethod(value, settings, error);
            } else if (flag("--runs")) {
                read = ReadNumber(argument, value, &settings->executions, error);
            } else if (flag("--warmup")) {
                read = ReadNumber(argument, value, &settings->warmups, error);
                if (read && settings->warmups < 0) {
                    *error = std::string("--warmup: '") + value + "' is below 0";
                    read = false;
                }
            } else if (flag("--settled")) {
                read = ReadNumber(argument, value, &settings->settledMs, error);
                // A quiet time as long as the whole wait could never be had.
                if (read && (settings->settledMs <= 0 ||
                             settings->settledMs >= static_cast<std::int32_t>(kSettleLimitMs))) {
                    *error = std::string("--settled: '") + value + "' is not between 1 and " +
                             std::to_string(kSettleLimitMs - 1) + " ms";
                    read = false;
                }
            } else if (flag("--delay")) {
                read = ReadNumber(argument, value, &settings->delayMs, error);
            } else if (flag("--json")) {
                if (value[0] == '\0') {
                    *error = "--json: a file name must follow";
                    return kTimeBadCommand;
                }
                options->jsonPath = value;
            } else if (flag("--save-config")) {
                if (value[0] == '\0') {
                    *error = "--save-config: a file name must follow";
                    return kTimeBadCommand;
                }
                options->saveConfigPath = value;
            } else if (flag("--compare")) {
                if (value[0] == '\0') {
                    *error = "--compare: a baseline program must follow";
                    return kTimeBadCommand;
                }
                read = CopyText(argument, value, settings->baselinePath, kPathSize, error);
            } else if (flag("--fail-if-slower")) {
                options->gate = true;
                read = ReadGateNumber(argument, value, kSlowerLimitRange,
                                      &options->slowerLimitPercent, error);
            } else if (flag("--significance")) {
                read = ReadGateNumber(argument, value, kSignificanceRange,
                                      &options->significanceLevel, error);
            } else if (flag("--baseline-log")) {
                if (value[0] == '\0') {
                    *error = "--baseline-log: a file name must follow";
                    return kTimeBadCommand;
                }
                read = CopyText(argument, value, settings->baselineLogPath, kPathSize, error);
            } else {
                read = CopyText(argument, value, settings->logPath, kPathSize, error);
            }
            if (!read)
                return kTimeBadCommand;
        } else if (argument[0] == '-' && argument[1] != '\0') {
            *error = std::string("unknown option ") + argument;
            return kTimeBadCommand;
        } else if (appGiven) {
            *error = std::string("one application only; '") + argument +
                     "' follows it (its arguments go in --args)";
            return kTimeBadCommand;
        } else {
            appGiven = true;
            if (!CopyText("APP", argument, settings->appPath, kPathSize, error))
                return kTimeBadCommand;
        }
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
    // config.txt has a line for every setting of Kairon's dialog, and for
    // nothing that only kairon-time does.
    const bool comparing = settings->baselinePath[0] != '\0';
    if (!options->saveConfigPath.empty() && (settings->warmups != 0 || !options->jsonPath.empty() ||
                                             comparing || settings->settledMs != 0)) {
        *error = std::string("--save-config: config.txt has no line for ") +
                 (settings->warmups != 0        ? "--warmup"
                  : !options->jsonPath.empty()  ? "--json"
                  : settings->settledMs != 0    ? "--settled"
                                                : "--compare");
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
    // Two runs' lines mixed in one log would read as neither's.
    if (comparing && std::strcmp(settings->baselineLogPath, settings->logPath) == 0) {
        *error = std::string("--baseline-log: the baseline's log must not be APP's, ") +
                 settings->logPath;
        return kTimeBadCommand;
    }
    if (options->attended && options->saveConfigPath.empty()) {
        *error = "--attended: only with --save-config";
        return kTimeBadCommand;
    }
    // Only a window can be closed; without one, a single launch needs no
    // closing and more are refused by the checks.
    if (!closeGiven && settings->detectByWindowName)
        settings->closeByWmClose = true;
    return kTimeRun;
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
    return std::string(warning->caption) + ": " + warning->text;
}

std::string TimeUsage()
{
    return "Usage: kairon-time [options] APP\n"
           "Launches APP again and again and appends each start-up time to a results log.\n"
           "\n"
           "  --window TITLE  wait for a top-level window whose title contains TITLE\n"
           "                  (ignoring case)\n"
           "  --exact         the whole title must match, case included\n"
           "  --visible       also wait until that window is neither hidden nor minimised\n"
           "  --input-idle    also wait until APP is idle for input\n"
           "  --settled MS    then until the window's pixels have not changed for MS ms,\n"
           "                  and time the launch to its content (at most " +
           std::to_string(kSettleLimitMs / 1000) +
           " s)\n"
           "  --new-only      ignore windows that existed before the run\n"
           "  --args \"ARGS\"   APP's command line, passed as it stands\n"
           "  --close HOW     wm_close (default), syscommand or altf4; may be repeated\n"
           "  --runs N        measured launches (default " +
           std::to_string(kTimeDefaultRuns) +
           ")\n"
           "  --warmup N      launches before them, timed and closed the same way, not in\n"
           "                  the log (default 0)\n"
           "  --delay MS      pause before each launch, before closing, before the next\n"
           "                  (default " +
           std::to_string(kDefaultDelayMs) +
           ")\n"
           "  --log FILE      results log, appended to (default " + kTimeDefaultLog +
           ")\n"
           "  --debug         the debug lines in the log, as Kairon writes them\n"
           "  --json FILE     every launch with the time of each phase of its start-up\n"
           "  --quiet         no progress lines\n"
           "  --compare BASELINE  launch BASELINE and APP in turn, BASELINE first, with\n"
           "                  the same options, and compare APP against it at the end\n"
           "  --baseline-log FILE  with --compare: BASELINE's results log (default: the\n"
           "                  log's name with " + kBaselineLogSuffix + " before its extension)\n"
           "  --fail-if-slower PCT  with --compare: exit with status " +
           std::to_string(kTimeExitSlower) + " when APP's mean\n"
           "                  is more than PCT percent slower than BASELINE's and the\n"
           "                  difference is significant, with " +
           std::to_string(kTimeExitCannotJudge) + " when it cannot be tested\n"
           "  --significance P  with --compare: the p-value below which a difference\n"
           "                  counts (default 0.05)\n"
           "  --save-config FILE  write Kairon's config.txt for these options, for an\n"
           "                  unattended run, and exit; with --attended, Kairon opens\n"
           "                  filled in and waits for Run App\n"
           "\n"
           "At least one of --window and --input-idle.\n"
           "Exit status: " +
           std::to_string(kTimeExitReady) + " every launch reached what it waited for; " +
           std::to_string(kTimeExitFailed) + " a launch\nfailed or the log could not be written; " +
           std::to_string(kTimeExitUsage) + " bad command line or settings;\n" +
           std::to_string(kTimeExitNotReady) + " a launch missed its condition; " +
           std::to_string(kTimeExitSlower) + " APP is slower (--fail-if-slower);\n" +
           std::to_string(kTimeExitCannotJudge) + " --fail-if-slower cannot judge; " +
           std::to_string(kTimeExitInterrupted) + " interrupted by Ctrl-C.\n" +
           std::to_string(kTimeExitNotReady) + " wins over " +
           std::to_string(kTimeExitSlower) + ", and " + std::to_string(kTimeExitSlower) +
           " over " + std::to_string(kTimeExitCannotJudge) + ".\n";
}
