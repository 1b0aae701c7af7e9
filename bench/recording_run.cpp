#include "bench/recording_run.h"

#include "engine/timing_run.h"
#include "platform/win32_console_windows.h"

#include <cstdio>

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
