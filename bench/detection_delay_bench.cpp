// detection_delay_bench: how long after an application's window appears
// Kairon's timing run marks it, launch by launch, with the dialog's loop
// or with kairon-time's.
//
// Usage: detection_delay_bench SAMPLE_APP LAUNCHES EXTRA_WINDOWS VISIBLE LOOP
//
// Kairon's own timing run (TimingRun through the real Win32 side of the
// seam) launches the sample application LAUNCHES times and searches for its
// window by exact title; with VISIBLE 1 it also waits until the window is
// visible. LOOP is the run's: "dialog", Kairon.exe's pass and 10 ms sleep,
// or "time", kairon-time's wake on window events with the mark at the
// finding pass (its settings as console/time_options.cpp sets them). The
// sample application, given --stamps NAME, writes into a shared block the
// performance counter right after CreateWindowExA returns its window (from
// then on a search pass can see it) and right after ShowWindow. The run's
// counts (LaunchResult::counts) give each launch's last mark, the window
// or the visible one, which is the log's number; the counter is the same
// clock in every process. So for each launch:
//   delay = last mark's count - window-created stamp   (and - shown stamp)
// with nothing of the application's own start-up in it. The window can be
// found before CreateWindowExA returns (its creation event comes from
// inside the call), so the stamp right before the call bounds the delay
// from above:
//   creating delay = last mark's count - stamp before CreateWindowExA
//
// EXTRA_WINDOWS titled windows of another process (bench/window_host.h) are
// open during the run, and every window is considered (new windows only is
// off). Before the launches, 100 passes of Kairon's search for a title
// that is not there, reading every window's title, give the pass time;
// 100 more that skip the windows listed before them, as a launch's search
// skips those that were there before the launch, the run's pass time.
//
// Prints the rule of its percentiles, then one line:
//   delay loop=<dialog|time> windows=<n> visible=<0|1> launches=<n> pass_ms=<x>
//         run_pass_ms=<x> model_ms=<x>
//         created_p50_ms=.. created_p95_ms=.. created_p99_ms=.. created_max_ms=..
//         created_min_ms=.. creating_p50_ms=.. (and the rest, as for created)
//         [shown_p50_ms=.. shown_p95_ms=.. shown_p99_ms=.. shown_max_ms=.. shown_min_ms=..]
// model_ms is the delay the dialog's polling explains (bench/delay_model.h),
// and writes the delays, one launch a line ("<created> <shown> <creating>"
// in ms), to
// delays-<windows>-<visible>.txt, or time-delays-<windows>-<visible>.txt
// for kairon-time's loop. Exit code 0, or 1 when a measurement could not
// be taken (a launch failed, a window was not found).
#include "bench/delay_model.h"
#include "bench/recording_run.h"
#include "bench/window_host.h"
#include "config/run_settings.h"
#include "engine/log_sink.h"
#include "engine/timing_run.h"
#include "engine/window_detection.h"
#include "platform/win32_console_windows.h"
#include "platform/win32_platform.h"
#include "report/statistics.h"
#include "tools/sample_app/sample_stamps.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char kTitle[] = "Kairon Delay Sample";
const char kLogName[] = "delay-results.txt";
const int kPassSamples = 100;
// Between launches: the close countdown and the one before the next launch.
const int kDelayMs = 50;

// Median time of one pass of Kairon's search over the desktop as it is, for
// a title that is not there: reading every title, or, as a launch's search
// does (`listedBefore`), skipping the windows listed before the launch.
double PassMilliseconds(bool listedBefore)
{
    RunSettings settings;
    std::memset(&settings, 0, sizeof settings);
    std::snprintf(settings.windowName, sizeof settings.windowName, "%s", kTitle);
    settings.exactMatch = true;
    settings.detectByWindowName = true;
    Win32Process process;
    Win32ConsoleWindows windows;
    LogSink closedLog;
    Detection detection{settings, process, windows, closedLog, {}, {}, {}};
    if (listedBefore)
        ListWindowsBeforeLaunch(&detection);
    const double frequency = static_cast<double>(process.CounterFrequency());
    std::vector<double> times;
    for (int pass = 0; pass < kPassSamples; ++pass) {
        const std::int64_t start = process.CounterNow();
        windows.EnumTopLevelWindows(SearchWindowProc, &detection);
        times.push_back(static_cast<double>(process.CounterNow() - start) * 1000.0 / frequency);
    }
    return Median(times);
}

int Measure(const char* sampleApp, int launchCount, int extraWindows, bool visible,
            bool timeLoop)
{
    char stampsName[64];
    SampleStamps* stamps = CreateStampsBlock("KaironDelayStamps", stampsName);
    if (!stamps)
        return 1;

    const double passMs = PassMilliseconds(false);
    const double runPassMs = PassMilliseconds(true);

    char arguments[kArgumentsSize];
    std::snprintf(arguments, sizeof arguments, "--title \"%s\" --exit-after 60000 --stamps %s",
                  kTitle, stampsName);
    RunSettings settings =
        SampleRunSettings(sampleApp, arguments, kTitle, kLogName, launchCount, kDelayMs);
    settings.waitVisible = visible;
    if (timeLoop) {
        settings.checkWindowOwner = true;
        settings.endLeftRunning = true;
        settings.stopSearchOnExit = true;
        settings.wakeOnWindowEvents = true;
    } else {
        settings.autoRun = true;  // as the dialog's unattended runs are
    }
    DeleteFileA(kLogName);

    const RecordedRun recorded = RecordRun(settings, stamps);
    const std::int64_t frequency = recorded.frequency;
    std::vector<double> fromCreated;
    std::vector<double> fromShown;
    std::vector<double> fromCreating;
    char delaysName[64];
    std::snprintf(delaysName, sizeof delaysName, "%sdelays-%d-%d.txt", timeLoop ? "time-" : "",
                  extraWindows, visible ? 1 : 0);
    FILE* delaysFile = std::fopen(delaysName, "w");
    int missing = 0;
    const size_t paired = recorded.Paired();
    for (size_t i = 0; i < paired; ++i) {
        const LaunchStamps& launch = recorded.launches[i];
        const std::int64_t end = visible ? recorded.counts[i].visible : recorded.counts[i].window;
        if (launch.creating == 0 || launch.created == 0 || launch.shown == 0 || end == 0) {
            ++missing;
            continue;
        }
        fromCreated.push_back(MsAfter(launch.created, end, frequency));
        fromShown.push_back(MsAfter(launch.shown, end, frequency));
        fromCreating.push_back(MsAfter(launch.creating, end, frequency));
        if (delaysFile)
            std::fprintf(delaysFile, "%.3f %.3f %.3f\n", fromCreated.back(), fromShown.back(),
                         fromCreating.back());
    }
    if (delaysFile)
        std::fclose(delaysFile);

    // A search that gave up wrote its failure line into the log.
    int failures = 0;
    if (FILE* log = std::fopen(kLogName, "r")) {
        char line[600];
        while (std::fgets(line, sizeof line, log))
            failures += std::strncmp(line, "Failed", 6) == 0 ? 1 : 0;
        std::fclose(log);
    }

    std::printf("percentiles: %s\n", kPercentileRule);
    std::printf("delay loop=%s windows=%d visible=%d launches=%d pass_ms=%.2f run_pass_ms=%.2f "
                "model_ms=%.1f",
                timeLoop ? "time" : "dialog", extraWindows, visible ? 1 : 0,
                static_cast<int>(fromCreated.size()), passMs, runPassMs, ModelDelayMs(passMs));
    PrintPercentiles("created_", fromCreated);
    PrintPercentiles("creating_", fromCreating);
    if (visible)
        PrintPercentiles("shown_", fromShown);
    std::printf("\n");

    if (static_cast<int>(paired) != launchCount || missing != 0 || failures != 0) {
        std::fprintf(stderr, "%d of %d launches measured, %d without stamps or marks, "
                             "%d failure lines\n",
                     static_cast<int>(paired), launchCount, missing, failures);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    int hostExit = 0;
    if (RunWindowHostIfAsked(argc, argv, &hostExit))
        return hostExit;
    const bool timeLoop = argc == 6 && std::strcmp(argv[5], "time") == 0;
    if (argc != 6 || (!timeLoop && std::strcmp(argv[5], "dialog") != 0)) {
        std::fprintf(stderr, "usage: detection_delay_bench SAMPLE_APP LAUNCHES EXTRA_WINDOWS "
                             "VISIBLE dialog|time\n");
        return 1;
    }
    const int launches = std::atoi(argv[2]);
    const int extraWindows = std::atoi(argv[3]);
    const bool visible = std::atoi(argv[4]) != 0;
    if (launches <= 0 || extraWindows < 0) {
        std::fprintf(stderr, "LAUNCHES must be positive and EXTRA_WINDOWS not negative\n");
        return 1;
    }
    WindowHost host;
    int result = 1;
    if (StartWindowHost(extraWindows, &host))
        result = Measure(argv[1], launches, extraWindows, visible, timeLoop);
    StopWindowHost(&host);
    return result;
}
