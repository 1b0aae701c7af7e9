// kairon-time: Kairon's timing run from a command line, for scripts and CI.
#include "console/compare_report.h"
#include "console/console_run_observer.h"
#include "console/distinct_files.h"
#include "console/exit_status.h"
#include "console/launch_json.h"
#include "console/new_run_report.h"
#include "console/pending_file.h"
#include "console/phase_summary.h"
#include "console/save_config.h"
#include "console/time_options.h"
#include "engine/timing_run.h"
#include "platform/win32_console_process.h"
#include "platform/win32_files.h"
#include "report/report_files.h"

#include <io.h>
#include <process.h>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    RunSettings settings;
    TimeOptions options;
    std::string error;
    switch (ParseTimeCommandLine(argc, argv, &settings, &options, &error)) {
    case kTimeHelp:
        std::cout << TimeUsage();
        return kTimeExitReady;
    case kTimeBadCommand:
        std::cerr << "kairon-time: " << error << "\nTry kairon-time --help\n";
        return kTimeExitUsage;
    case kTimeRun:
        break;
    }
    if (!options.saveConfigPath.empty())
        return SaveConfig(settings, options, std::cerr);
    const SettingsCheck failed = FirstFailedTimeCheck(settings);
    if (failed != kSettingsValid) {
        std::cerr << "kairon-time: " << TimeCheckMessage(failed) << "\n";
        return kTimeExitUsage;
    }

    Win32Windows windows;
    if (settings.settledMs > 0 && settings.settleCapture == kCapturePrint &&
        !windows.CanPrintFullContent()) {
        std::cerr << "kairon-time: --capture print: needs Windows 8.1 or later, whose "
                     "PrintWindow renders a window's full content\n";
        return kTimeExitUsage;
    }

    // Before anything is opened, read or written: a JSON written over the
    // log, or two programs' lines in one log, would spoil the run.
    Win32FileNames fileNames;
    const std::string oneFile = OneFileTwiceMessage(FilesWritten(settings, options), fileNames);
    if (!oneFile.empty()) {
        std::cerr << "kairon-time: " << oneFile << "\n";
        return kTimeExitUsage;
    }

    // A log that does not exist yet reads as empty: the run starts it.
    std::string before;
    ReadWholeFile(settings.logPath, &before);
    const bool comparing = settings.baselinePath[0] != '\0';
    std::string baselineBefore;
    if (comparing)
        ReadWholeFile(settings.baselineLogPath, &baselineBefore);

    // Ctrl-C from here on closes the application before kairon-time ends.
    StopRunOnConsoleBreak();
    // Created before anything is launched: a run whose phases cannot be
    // kept is found out at once, not after its last launch. Created once
    // Ctrl-C no longer ends kairon-time at once, so that the way out below
    // always removes it.
    PendingFile json;
    if (!options.jsonPath.empty() &&
        !BeginPendingFile(options.jsonPath, TempPathBeside(options.jsonPath, _getpid()), &json)) {
        std::cerr << "kairon-time: Error: Unable to open JSON file " << options.jsonPath << "\n";
        return kTimeExitFailed;
    }
    Win32ConsoleProcess process;
    Platform platform{process, windows};
    ConsoleRunObserver observer(std::cerr, options.quiet, _isatty(_fileno(stderr)) != 0);
    const GatePlan plan = TimeGatePlan(options, settings.executions);
    if (plan.maxRuns > plan.runs)
        observer.AddRoundsFor(plan);
    TimingRun(settings, platform, observer);

    int status = observer.ExitStatus();
    if (json.stream != nullptr) {
        const std::string text = LaunchesJson(settings, observer.Launches(),
                                              process.CounterFrequency(), SystemTextToUtf8);
        if (!CommitPendingFile(&json, text, ReplaceFileWith)) {
            std::cerr << "kairon-time: Error: Unable to write JSON file " << options.jsonPath
                      << "\n";
            if (status == kTimeExitReady || status == kTimeExitNotReady)
                status = kTimeExitFailed;
        }
    }
    if (comparing) {
        GrownLog baseline{settings.baselineLogPath, std::string(), baselineBefore.size()};
        GrownLog app{settings.logPath, std::string(), before.size()};
        baseline.read = ReadWholeFile(baseline.path, &baseline.bytes);
        app.read = ReadWholeFile(app.path, &app.bytes);
        const CompareReport compared = CompareNewRuns(baseline, app, options, settings.executions);
        std::cerr << compared.problems;
        std::cout << compared.text;
        // A launch that missed its condition, or a run that did not end,
        // says more than the gate.
        if (status == kTimeExitReady)
            status = compared.gateStatus;
    } else {
        GrownLog log{settings.logPath, std::string(), before.size()};
        if (ReadWholeFile(log.path, &log.bytes))
            std::cout << NewRunReport(log);
    }
    std::cout << PhaseSummary(settings, observer.Launches())
              << ResourceSummary(observer.Launches());
    std::cout.flush();
    return status;
}
