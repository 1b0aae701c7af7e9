#include "console/resource_fields.h"

namespace {

template <std::optional<std::uint64_t> LaunchResources::*figure>
std::optional<double> Whole(const LaunchResources& resources)
{
    const std::optional<std::uint64_t>& value = resources.*figure;
    return value ? std::optional<double>(static_cast<double>(*value)) : std::nullopt;
}

std::optional<double> CpuSeconds(const LaunchResources& resources)
{
    return resources.cpuSeconds;
}

}  // namespace

const ResourceField kResourceFields[6] = {
    {"cpu_seconds", "CPU time", kUnitSeconds, CpuSeconds},
    {"page_faults", "page faults", kUnitCount, Whole<&LaunchResources::pageFaults>},
    {"peak_memory_bytes", "peak memory", kUnitBytes, Whole<&LaunchResources::peakMemoryBytes>},
    {"io_read_bytes", "read", kUnitBytes, Whole<&LaunchResources::ioReadBytes>},
    {"io_write_bytes", "written", kUnitBytes, Whole<&LaunchResources::ioWriteBytes>},
    {"processes", "processes", kUnitCount, Whole<&LaunchResources::processes>},
};

const char* ResourceScope(const LaunchResources& resources)
{
    return resources.tree ? "tree" : "process";
}
