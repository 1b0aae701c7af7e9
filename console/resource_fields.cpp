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

const ResourceField kResourceFields[kResourceFieldCount] = {
    {"cpu_seconds", "CPU time", kUnitSeconds, CpuSeconds, true},
    {"page_faults", "page faults", kUnitCount, Whole<&LaunchResources::pageFaults>, true},
    {"peak_memory_bytes", "peak committed memory", kUnitBytes,
     Whole<&LaunchResources::peakMemoryBytes>, true},
    {"peak_working_set_bytes", "peak working set", kUnitBytes,
     Whole<&LaunchResources::peakWorkingSetBytes>, false},
    {"io_read_bytes", "read", kUnitBytes, Whole<&LaunchResources::ioReadBytes>, true},
    {"io_write_bytes", "written", kUnitBytes, Whole<&LaunchResources::ioWriteBytes>, true},
    {"processes", "processes", kUnitCount, Whole<&LaunchResources::processes>, true},
};

const char* ResourceScope(const LaunchResources& resources, const ResourceField& field)
{
    return resources.tree && field.ofTheTree ? "tree" : "process";
}
