#include "bench/recording_run.h"

#include "engine/timing_run.h"
#include "report/statistics.h"
#include "platform/win32_console_windows.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

SampleStamps* CreateStampsBlock(const char* prefix, char* name)
{
    std::snprintf(name, 64, "%s-%lu", prefix, GetCurrentProcessId());
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(SampleStamps), name);
    void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SampleStamps))
                         : nullptr;
    if (view == nullptr)
        std::fprintf(stderr, "cannot create the shared block %s\n", name);
    return static_cast<SampleStamps*>(view);
}

bool StampedProcess::LaunchProcess(char* commandLine, LaunchedProcess* launched)
{
    stamps_->creating = 0;
    stamps_->created = 0;
    stamps_->shown = 0;
    stamps_->drawn = 0;
    return ForwardingProcess::LaunchProcess(commandLine, launched);
}

void StampedProcess::CloseProcessHandles(const LaunchedProcess& launched)
{
    launches.push_back({stamps_->creating, stamps_->created, stamps_->shown, stamps_->drawn});
    ForwardingProcess::CloseProcessHandles(launched);
}

void CountsObserver::ShowError(const char* text, const char* caption)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

double MsAfter(std::int64_t stamp, std::int64_t count, std::int64_t frequency)
{
    return static_cast<double>(count - stamp) * 1000.0 / static_cast<double>(frequency);
}

RecordedRun RecordRun(const RunSettings& settings, SampleStamps* stamps)
{
    StampedProcess process(stamps);
    Win32ConsoleWindows windows;
    CountsObserver observer;
    Platform platform{process, windows};
    TimingRun(settings, platform, observer);
    RecordedRun recorded;
    recorded.launches = process.launches;
    recorded.counts = observer.counts;
    recorded.frequency = process.CounterFrequency();
    return recorded;
}

RunSettings SampleRunSettings(const char* sampleApp, const char* arguments, const char* title,
                              const char* logName, int launches, int delayMs)
{
    RunSettings settings;
    std::memset(&settings, 0, sizeof settings);
    std::snprintf(settings.appPath, sizeof settings.appPath, "%s", sampleApp);
    std::snprintf(settings.cmdLineArgs, sizeof settings.cmdLineArgs, "%s", arguments);
    std::snprintf(settings.logPath, sizeof settings.logPath, "%s", logName);
    std::snprintf(settings.windowName, sizeof settings.windowName, "%s", title);
    settings.executions = launches;
    settings.delayMs = delayMs;
    settings.closeByWmClose = true;
    settings.detectByWindowName = true;
    settings.exactMatch = true;
    settings.markPhases = true;
    return settings;
}

void PrintPercentiles(const char* prefix, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    auto at = [&values](double p) { return values.empty() ? 0.0 : Percentile(values, p); };
    std::printf(" %sp50_ms=%.1f %sp95_ms=%.1f %sp99_ms=%.1f %smax_ms=%.1f %smin_ms=%.1f", prefix,
                at(0.5), prefix, at(0.95), prefix, at(0.99), prefix, at(1.0), prefix, at(0.0));
}
