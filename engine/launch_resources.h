// What a launch used until its end count: CPU time, page faults, peak
// memory, I/O and processes, of the program and everything it started when
// it runs in a job object, of the launched process alone otherwise. A
// start-up that got slower because it reads more or faults more pages
// looks, in a time alone, like any other slowdown.
#ifndef KAIRON_ENGINE_LAUNCH_RESOURCES_H
#define KAIRON_ENGINE_LAUNCH_RESOURCES_H

#include "platform/platform.h"

#include <cstdint>
#include <optional>

// A figure the system does not give is none, never a 0 that cannot be
// true: a program that ran used some CPU time and faulted some pages in,
// so a 0 there (Wine's job accounting, Wine's fault counts) is not given,
// and neither then are the I/O counts of the same source.
struct LaunchResources {
    bool measured = false;  // its figures were asked of the system
    bool tree = false;  // from its job: the program and all it started
    std::optional<double> cpuSeconds;
    std::optional<std::uint64_t> pageFaults;
    // The job's peak committed memory: none without a job that gives it.
    std::optional<std::uint64_t> peakMemoryBytes;
    // The launched process's own peak working set: the system keeps none
    // for a job, and a sum of peaks of its processes is no peak.
    std::optional<std::uint64_t> peakWorkingSetBytes;
    std::optional<std::uint64_t> ioReadBytes;
    std::optional<std::uint64_t> ioWriteBytes;
    std::optional<std::uint64_t> processes;
};

// Reads them for a launch, from its job when it has one.
LaunchResources ReadLaunchResources(ProcessPort& process, const LaunchedProcess& launched);

#endif
