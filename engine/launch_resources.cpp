#include "engine/launch_resources.h"

namespace {

std::optional<std::uint64_t> Given(std::uint64_t value)
{
    return value > 0 ? std::optional<std::uint64_t>(value) : std::nullopt;
}

const double kFileTimeUnitsPerSecond = 1e7;

}  // namespace

LaunchResources ReadLaunchResources(ProcessPort& process, const LaunchedProcess& launched)
{
    LaunchResources resources;
    resources.measured = true;
    ProcessUsage own;
    const bool ownRead = process.ReadProcessUsage(launched, &own);
    JobUsage job;
    if (launched.job != 0 && process.ReadJobUsage(launched.job, &job)) {
        resources.tree = true;
        if (job.cpuTime > 0)
            resources.cpuSeconds = static_cast<double>(job.cpuTime) / kFileTimeUnitsPerSecond;
        resources.pageFaults = Given(job.pageFaults);
        if (job.ioAnswered && (job.cpuTime > 0 || job.pageFaults > 0)) {
            resources.ioReadBytes = job.readBytes;
            resources.ioWriteBytes = job.writeBytes;
        }
        resources.processes = Given(job.processes);
        resources.peakMemoryBytes = Given(job.peakMemory);
        if (ownRead)
            resources.peakWorkingSetBytes = Given(own.peakWorkingSet);
        return resources;
    }
    if (!ownRead)
        return resources;
    resources.pageFaults = Given(own.pageFaults);
    resources.peakWorkingSetBytes = Given(own.peakWorkingSet);
    if (resources.pageFaults && own.ioAnswered) {
        resources.ioReadBytes = own.readBytes;
        resources.ioWriteBytes = own.writeBytes;
    }
    return resources;
}
