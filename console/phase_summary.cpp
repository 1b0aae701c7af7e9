#include "console/phase_summary.h"

#include "console/resource_fields.h"
#include "report/statistics.h"
#include "report/text_format.h"

#include <cmath>

namespace {

// Empty when no launch reached the phase.
std::string PhaseLine(const char* name, double PhaseMarks::*mark,
                      const std::vector<LaunchRecord>& launches, int measured, bool* anyReached)
{
    std::vector<double> reached;
    for (const LaunchRecord& launch : launches) {
        if (!launch.result.warmup && !launch.result.baseline && launch.result.marks.*mark >= 0)
            reached.push_back(launch.result.marks.*mark);
    }
    std::string line = std::string("  ") + name;
    line.resize(14, ' ');
    if (reached.empty())
        line += "not reached";
    else
        line += FormatFixed(Median(reached), 4) + " s";
    *anyReached = *anyReached || !reached.empty();
    return line + "  (" + std::to_string(reached.size()) + " of " + std::to_string(measured) +
           ")\n";
}

}  // namespace

std::string PhaseSummary(const RunSettings& settings, const std::vector<LaunchRecord>& launches)
{
    int measured = 0;
    for (const LaunchRecord& launch : launches)
        measured += launch.result.warmup || launch.result.baseline ? 0 : 1;
    if (measured == 0)
        return std::string();
    bool anyReached = false;
    std::string lines;
    if (settings.waitInputIdle)
        lines += PhaseLine("input idle", &PhaseMarks::inputIdle, launches, measured, &anyReached);
    if (settings.detectByWindowName)
        lines += PhaseLine("window", &PhaseMarks::window, launches, measured, &anyReached);
    if (settings.waitVisible)
        lines += PhaseLine("visible", &PhaseMarks::visible, launches, measured, &anyReached);
    if (settings.settledMs > 0)
        lines += PhaseLine("settled", &PhaseMarks::settled, launches, measured, &anyReached);
    if (!anyReached)
        return std::string();
    return "Phases, median from the launch of those that reached it:\n" + lines;
}

namespace {

std::string FigureText(double value, ResourceUnit unit)
{
    switch (unit) {
    case kUnitSeconds:
        return FormatFixed(value, 4) + " s";
    case kUnitBytes:
        return FormatFixed(value / (1024.0 * 1024.0), 1) + " MiB";
    case kUnitCount:
        break;
    }
    return FormatFixed(value, std::floor(value) == value ? 0 : 1);
}

// The longest label, "peak committed memory", its indent and a space.
const std::size_t kLabelWidth = 24;

std::string ResourceBlock(const char* whose, const std::vector<const LaunchResources*>& read)
{
    bool tree = true;
    for (const LaunchResources* resources : read)
        tree = tree && resources->tree;
    std::string block = std::string("Resources of ") + whose + ", median of the launches that gave each (" +
                        (tree ? "the program and all it started" : "the launched process alone") +
                        "):\n";
    for (const ResourceField& field : kResourceFields) {
        std::vector<double> given;
        for (const LaunchResources* resources : read)
            if (const std::optional<double> value = field.value(*resources))
                given.push_back(*value);
        std::string line = std::string("  ") + field.label;
        line.resize(kLabelWidth, ' ');
        line += given.empty() ? std::string("not given by this system")
                              : FigureText(Median(given), field.unit);
        // A figure that is not the whole tree's where the rest are says whose.
        block += line + "  (" + std::to_string(given.size()) + " of " +
                 std::to_string(read.size()) +
                 (tree && !field.ofTheTree ? ", the launched process alone" : "") + ")\n";
    }
    return block;
}

}  // namespace

std::string ResourceSummary(const RunSettings& settings,
                            const std::vector<LaunchRecord>& launches)
{
    std::string summary;
    for (const bool baseline : {true, false}) {
        std::vector<const LaunchResources*> read;
        for (const LaunchRecord& launch : launches)
            if (!launch.result.warmup && launch.result.baseline == baseline &&
                launch.result.resources.measured)
                read.push_back(&launch.result.resources);
        if (!read.empty())
            summary += ResourceBlock(baseline ? settings.baselinePath : settings.appPath, read);
    }
    return summary;
}
