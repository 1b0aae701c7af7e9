#include "console/phase_summary.h"

#include "report/statistics.h"
#include "report/text_format.h"

namespace {

std::string PhaseLine(const char* name, double PhaseMarks::*mark,
                      const std::vector<LaunchRecord>& launches, int measured)
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
    std::string summary = "Phases, median from the launch of those that reached it:\n";
    if (settings.waitInputIdle)
        summary += PhaseLine("input idle", &PhaseMarks::inputIdle, launches, measured);
    if (settings.detectByWindowName)
        summary += PhaseLine("window", &PhaseMarks::window, launches, measured);
    if (settings.waitVisible)
        summary += PhaseLine("visible", &PhaseMarks::visible, launches, measured);
    if (settings.settledMs > 0)
        summary += PhaseLine("settled", &PhaseMarks::settled, launches, measured);
    return summary;
}
