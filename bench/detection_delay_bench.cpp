// detection_delay_bench: how long after an application's window appears
// Kairon's timing run takes its end count, launch by launch.
//
// Usage: detection_delay_bench SAMPLE_APP LAUNCHES EXTRA_WINDOWS VISIBLE
//
// Kairon's own timing run (TimingRun through the real Win32 side of the
// seam) launches the sample application LAUNCHES times and searches for its
// window by exact title; with VISIBLE 1 it also waits until the window is
// visible. The sample application, given --stamps NAME, writes into a
// shared block the performance counter right after CreateWindowExA returns
// its window (from then on a search pass can see it) and right after
// ShowWindow. A thin wrapper around the process port keeps the run's end
// count of each iteration, the second counter reading after the frequency
// query; the counter is the same clock in every process. So for each launch:
//   delay = end count - window-created stamp   (and - shown stamp)
// with nothing of the application's own start-up in it.
//
// EXTRA_WINDOWS titled windows of another process (bench/window_host.h) are
// open during the run, and every window is considered (new windows only is
// off), so every pass reads every title. Before the launches, 100 passes of
// Kairon's search for a title that is not there give the pass time.
//
// Prints the rule of its percentiles, then one line:
//   delay windows=<n> visible=<0|1> launches=<n> pass_ms=<x> model_ms=<x>
//         created_p50_ms=.. created_p95_ms=.. created_p99_ms=.. created_max_ms=..
//         created_min_ms=..
//         [shown_p50_ms=.. shown_p95_ms=.. shown_p99_ms=.. shown_max_ms=.. shown_min_ms=..]
// model_ms is the delay the polling explains (bench/delay_model.h).
// and writes the delays, one launch a line ("<created> <shown>" in ms), to
// delays-<windows>-<visible>.txt. Exit code 0, or 1 when a measurement could
// not be taken (a launch failed, a window was not found).
#include "bench/delay_model.h"
#include "bench/forwarding_process.h"
#include "bench/window_host.h"
#include "config/run_settings.h"
#include "engine/log_sink.h"
#include "engine/timing_run.h"
#include "engine/window_detection.h"
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

struct Launch {
    std::int64_t endCount;
    std::int64_t created;
    std::int64_t shown;
};

// The real process port, keeping each iteration's end count and pairing it
// with the stamps the application left.
class RecordingProcess : public ForwardingProcess {
public:
    explicit RecordingProcess(SampleStamps* stamps) : stamps_(stamps) {}
    std::vector<Launch> launches;

    bool LaunchProcess(char* commandLine, LaunchedProcess* launched) override
    {
        stamps_->created = 0;
        stamps_->shown = 0;
        return ForwardingProcess::LaunchProcess(commandLine, launched);
    }
    // The end of an iteration: the window was closed with SendMessageTimeoutA, so
    // the application has long written both stamps.
    void CloseProcessHandles(const LaunchedProcess& launched) override
    {
        launches.push_back({endCount_, stamps_->created, stamps_->shown});
        ForwardingProcess::CloseProcessHandles(launched);
    }
    // Each iteration reads the frequency, then the start count, then the
    // end count.
    std::int64_t CounterFrequency() override
    {
        readings_ = 0;
        return ForwardingProcess::CounterFrequency();
    }
    std::int64_t CounterNow() override
    {
        const std::int64_t now = ForwardingProcess::CounterNow();
        if (++readings_ == 2)
            endCount_ = now;
        return now;
    }

private:
    SampleStamps* stamps_;
    int readings_ = 0;
    std::int64_t endCount_ = 0;
};

// No dialog: the status texts go nowhere; an error (a failed launch) is
// written out.
class ErrorsToStderr : public RunObserver {
public:
    void ShowStatus(const char*) override {}
    void ShowError(const char* text, const char* caption) override
    {
        std::fprintf(stderr, "%s: %s\n", caption, text);
    }
    void RunEnded(RunOutcome) override {}
    void CloseProgram() override {}
};

// Median time of one pass of Kairon's search over the desktop as it is, for
// a title that is not there.
double PassMilliseconds()
{
    RunSettings settings;
    std::memset(&settings, 0, sizeof settings);
    std::snprintf(settings.windowName, sizeof settings.windowName, "%s", kTitle);
    settings.exactMatch = true;
    settings.detectByWindowName = true;
    Win32Process process;
    Win32Windows windows;
    LogSink closedLog;
    Detection detection{settings, process, windows, closedLog, {}, {}, {}};
    const double frequency = static_cast<double>(process.CounterFrequency());
    std::vector<double> times;
    for (int pass = 0; pass < kPassSamples; ++pass) {
        const std::int64_t start = process.CounterNow();
        windows.EnumTopLevelWindows(SearchWindowProc, &detection);
        times.push_back(static_cast<double>(process.CounterNow() - start) * 1000.0 / frequency);
    }
    return Median(times);
}

// All 0 for no delays: the run has failed then and says so.
void PrintSummary(const char* name, std::vector<double> delays)
{
    std::sort(delays.begin(), delays.end());
    auto at = [&delays](double p) { return delays.empty() ? 0.0 : Percentile(delays, p); };
    std::printf(" %s_p50_ms=%.1f %s_p95_ms=%.1f %s_p99_ms=%.1f %s_max_ms=%.1f %s_min_ms=%.1f",
                name, at(0.5), name, at(0.95), name, at(0.99), name, at(1.0), name, at(0.0));
}

int Measure(const char* sampleApp, int launchCount, int extraWindows, bool visible)
{
    char stampsName[64];
    std::snprintf(stampsName, sizeof stampsName, "KaironDelayStamps-%lu", GetCurrentProcessId());
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(SampleStamps), stampsName);
    SampleStamps* stamps = mapping ? static_cast<SampleStamps*>(MapViewOfFile(
                                   mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SampleStamps)))
                             : nullptr;
    if (!stamps) {
        std::fprintf(stderr, "cannot create the shared block %s\n", stampsName);
        return 1;
    }

    const double passMs = PassMilliseconds();

    RunSettings settings;
    std::memset(&settings, 0, sizeof settings);
    std::snprintf(settings.appPath, sizeof settings.appPath, "%s", sampleApp);
    std::snprintf(settings.cmdLineArgs, sizeof settings.cmdLineArgs,
                  "--title \"%s\" --exit-after 60000 --stamps %s", kTitle, stampsName);
    std::snprintf(settings.logPath, sizeof settings.logPath, "%s", kLogName);
    std::snprintf(settings.windowName, sizeof settings.windowName, "%s", kTitle);
    settings.executions = launchCount;
    settings.delayMs = kDelayMs;
    settings.closeByWmClose = true;
    settings.detectByWindowName = true;
    settings.exactMatch = true;
    settings.waitVisible = visible;
    settings.autoRun = true;  // as unattended runs are
    DeleteFileA(kLogName);

    RecordingProcess process(stamps);
    Win32Windows windows;
    ErrorsToStderr observer;
    Platform platform{process, windows};
    TimingRun(settings, platform, observer);

    const double frequency = static_cast<double>(process.CounterFrequency());
    std::vector<double> fromCreated;
    std::vector<double> fromShown;
    char delaysName[64];
    std::snprintf(delaysName, sizeof delaysName, "delays-%d-%d.txt", extraWindows,
                  visible ? 1 : 0);
    FILE* delaysFile = std::fopen(delaysName, "w");
    int missing = 0;
    for (const Launch& launch : process.launches) {
        if (launch.created == 0 || launch.shown == 0) {
            ++missing;
            continue;
        }
        fromCreated.push_back(static_cast<double>(launch.endCount - launch.created) * 1000.0 /
                              frequency);
        fromShown.push_back(static_cast<double>(launch.endCount - launch.shown) * 1000.0 /
                            frequency);
        if (delaysFile)
            std::fprintf(delaysFile, "%.3f %.3f\n", fromCreated.back(), fromShown.back());
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
    std::printf("delay windows=%d visible=%d launches=%d pass_ms=%.2f model_ms=%.1f", extraWindows,
                visible ? 1 : 0, static_cast<int>(fromCreated.size()), passMs,
                ModelDelayMs(passMs));
    PrintSummary("created", fromCreated);
    if (visible)
        PrintSummary("shown", fromShown);
    std::printf("\n");

    UnmapViewOfFile(stamps);
    CloseHandle(mapping);
    if (static_cast<int>(process.launches.size()) != launchCount || missing != 0 ||
        failures != 0) {
        std::fprintf(stderr, "%d of %d launches measured, %d without stamps, %d failure lines\n",
                     static_cast<int>(process.launches.size()), launchCount, missing, failures);
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
    if (argc != 5) {
        std::fprintf(stderr,
                     "usage: detection_delay_bench SAMPLE_APP LAUNCHES EXTRA_WINDOWS VISIBLE\n");
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
        result = Measure(argv[1], launches, extraWindows, visible);
    StopWindowHost(&host);
    return result;
}
