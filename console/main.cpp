// kairon-time: Kairon's timing run from a command line, for scripts and CI.
#include "console/after_run.h"
#include "console/console_run_observer.h"
#include "console/distinct_files.h"
#include "console/build_stamp.h"
#include "console/launch_json.h"
#include "console/pending_file.h"
#include "console/redirected_program.h"
#include "console/save_config.h"
#include "console/time_options.h"
#include "engine/timing_run.h"
#include "platform/win32_console_process.h"
#include "platform/win32_console_windows.h"
#include "platform/win32_files.h"
#include "report/exit_statuses.h"

#include <io.h>
#include <process.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

// What the command line asks for that this system or the files named
// cannot give; empty when the run may start. Before anything is opened,
// read or written: a JSON written over the log, or two programs' lines in
// one log, would spoil the run.
std::string CannotRun(const RunSettings& settings, const std::vector<NamedFile>& files,
                      WindowPort& windows, FileNamePort& fileNames)
{
    const SettingsCheck failed = FirstFailedTimeCheck(settings);
    if (failed != kSettingsValid)
        return TimeCheckMessage(failed);
    if (settings.settledMs > 0 && settings.settleCapture == kCapturePrint &&
        !windows.CanPrintFullContent())
        return "--capture print: needs Windows 8.1 or later, whose PrintWindow renders a "
               "window's full content";
    return OneFileTwiceMessage(files, fileNames);
}

// Only the 32-bit build on 64-bit Windows is shown another System32: it
// would time the other copy of a system program.
void WarnOfRedirectedPrograms(const RunSettings& settings, FileNamePort& fileNames)
{
    std::string systemFolder;
    std::string seenAs;
    if (!RedirectedSystemFolder(&systemFolder, &seenAs))
        return;
    for (const char* program : {settings.baselinePath, settings.appPath}) {
        const std::string warning =
            RedirectedProgramWarning(program, systemFolder, seenAs, fileNames);
        if (!warning.empty())
            std::cerr << warning << "\n";
    }
}

// Writes the run's launches as JSON; false, said on standard error, when
// they could not be kept.
bool WriteJson(PendingFile* json, const TimeOptions& options, const RunSettings& settings,
               const ConsoleRunObserver& observer, std::int64_t frequency)
{
    const std::string& path = options.jsonPath;
    char machine[MAX_COMPUTERNAME_LENGTH + 1] = "";
    DWORD machineSize = sizeof machine;
    if (!options.buildId.empty() && !GetComputerNameA(machine, &machineSize))
        machine[0] = '\0';
    const std::string text =
        WithBuildStamp(LaunchesJson(settings, observer.Launches(), frequency, SystemTextToUtf8),
                       SystemTextToUtf8(options.buildId), SystemTextToUtf8(machine));
    if (CommitPendingFile(json, text, ReplaceFileWith, PauseMs))
        return true;
    std::cerr << "kairon-time: Error: Unable to write JSON file " << path << "\n";
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    RunSettings settings;
    TimeOptions options;
    std::string error;
    switch (ParseTimeCommandLine(argc, argv, &settings, &options, &error)) {
    case kTimeHelp:
        std::cout << TimeUsage();
        return kExitOk;
    case kTimeVersion:
        std::cout << TimeVersion();
        return kExitOk;
    case kTimeBadCommand:
        std::cerr << "kairon-time: " << error << "\nTry kairon-time --help\n";
        return kExitUsage;
    case kTimeRun:
        break;
    }
    if (!options.saveConfigPath.empty())
        return SaveConfig(settings, options, std::cerr);
    Win32ConsoleWindows windows;
    Win32FileNames fileNames;
    const std::string jsonTempPath =
        options.jsonPath.empty() ? std::string() : TempPathBeside(options.jsonPath, _getpid());
    const std::vector<NamedFile> files = FilesWritten(settings, options, jsonTempPath);
    const std::string cannotRun = CannotRun(settings, files, windows, fileNames);
    if (!cannotRun.empty()) {
        std::cerr << "kairon-time: " << cannotRun << "\n";
        return kExitUsage;
    }
    WarnOfRedirectedPrograms(settings, fileNames);
    const LogsBefore before = MeasureLogsBefore(settings);
    // Ctrl-C from here on closes the application before kairon-time ends.
    StopRunOnConsoleBreak();
    // Before any launch, so that a JSON that cannot be kept is found out at
    // once; after the Ctrl-C handler, so that the way out removes it.
    PendingFile json;
    if (!options.jsonPath.empty() && !BeginPendingFile(options.jsonPath, jsonTempPath, &json)) {
        std::cerr << "kairon-time: Error: Unable to open JSON file " << options.jsonPath << "\n";
        return kExitFailed;
    }
    // Again, now that the files are there: what a name reaches shows now.
    const std::string oneOpenFile = OneOpenFileTwiceMessage(files, fileNames);
    if (!oneOpenFile.empty()) {
        if (json.stream != nullptr)
            DiscardPendingFile(&json);
        std::cerr << "kairon-time: " << oneOpenFile << "\n";
        return kExitUsage;
    }
    Win32ConsoleProcess process;
    Platform platform{process, windows};
    ConsoleRunObserver observer(std::cerr, options.quiet, _isatty(_fileno(stderr)) != 0);
    const GatePlan plan = TimeGatePlan(options, settings.executions);
    if (plan.maxRuns > plan.runs)
        observer.AddRoundsFor(plan);
    TimingRun(settings, platform, observer);
    const bool jsonWritten = json.stream == nullptr ||
                             WriteJson(&json, options, settings, observer,
                                       process.CounterFrequency());
    const ExitStatus gate =
        ReportRun(settings, options, observer.Launches(), before, std::cout, std::cerr);
    return RunExitStatus(observer.ExitStatus(), jsonWritten, gate);
}
