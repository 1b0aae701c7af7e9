// What the start-up benchmarks keep of Kairon's own timing run (TimingRun
// through the real Win32 side of the seam): the stamps the sample
// application wrote during each launch, and each launch's raw counts. The
// counter is the same clock in every process, so a stamp and a count
// subtract.
#ifndef KAIRON_BENCH_RECORDING_RUN_H
#define KAIRON_BENCH_RECORDING_RUN_H

#include "bench/forwarding_process.h"
#include "config/run_settings.h"
#include "engine/run_observer.h"
#include "tools/sample_app/sample_stamps.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// The --stamps block, created under a name of this process's, for the
// sample application to map; null (with a message on standard error) when
// it cannot be. `name` gets its name (64 characters). Unmapped and closed
// at the end of the benchmark's process.
SampleStamps* CreateStampsBlock(const char* prefix, char* name);

// A launch's stamps as the application left them, 0 for one not written.
struct LaunchStamps {
    std::int64_t creating;
    std::int64_t created;
    std::int64_t shown;
    std::int64_t drawn;
};

// The real process port, clearing the stamps before each launch and
// keeping them when the launch's handles are closed: by then its window
// was closed with SendMessageTimeoutA, so the application has long written
// them.
class StampedProcess : public ForwardingProcess {
public:
    explicit StampedProcess(SampleStamps* stamps) : stamps_(stamps) {}
    std::vector<LaunchStamps> launches;
    bool LaunchProcess(char* commandLine, LaunchedProcess* launched) override;
    void CloseProcessHandles(const LaunchedProcess& launched) override;

private:
    SampleStamps* stamps_;
};

// Each launch's counts, and any error written out; no dialog, so the
// status texts go nowhere.
class CountsObserver : public RunObserver {
public:
    std::vector<PhaseCounts> counts;
    void ShowStatus(const char*) override {}
    void ShowError(const char* text, const char* caption) override;
    void LaunchTimed(const LaunchResult& result) override { counts.push_back(result.counts); }
    void RunEnded(RunOutcome) override {}
    void CloseProgram() override {}
};

// The settings both start-up benchmarks begin with: the sample
// application with `arguments`, its window found by its exact `title` and
// closed with WM_CLOSE, every phase marked, the times in `logName`.
RunSettings SampleRunSettings(const char* sampleApp, const char* arguments, const char* title,
                              const char* logName, int launches, int delayMs);

// What one timing run with these settings left: each launch's stamps and
// counts, and the counter's frequency.
struct RecordedRun {
    std::vector<LaunchStamps> launches;
    std::vector<PhaseCounts> counts;
    std::int64_t frequency = 0;
    // Launches with both stamps and counts.
    std::size_t Paired() const { return std::min(launches.size(), counts.size()); }
};

// Runs Kairon's timing run with `settings` through the real Win32 side
// (kairon-time's, window events and pictures included), keeping `stamps`.
RecordedRun RecordRun(const RunSettings& settings, SampleStamps* stamps);

// Prints " PREFIXp50_ms=... PREFIXp95_ms=... PREFIXp99_ms=... PREFIXmax_ms=...
// PREFIXmin_ms=..." of `values`, one decimal each; all 0 for no values: the
// run has failed then and says so.
void PrintPercentiles(const char* prefix, std::vector<double> values);

// Milliseconds from a stamp to a count.
double MsAfter(std::int64_t stamp, std::int64_t count, std::int64_t frequency);

#endif
