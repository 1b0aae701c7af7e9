// delay_chart: draws the detection delays of several benchmark rows as one
// SVG chart.
//
// Usage: delay_chart OUTPUT.svg EXTRA_WINDOWS MODEL_MS DELAYS_FILE [...]
//
// One row per EXTRA_WINDOWS MODEL_MS DELAYS_FILE triple, in the order given:
// the row's extra window count, and the model delay and the delays file
// detection_delay_bench printed and wrote for it. Exit code 0, or 1 when a file cannot
// be read or holds no delays, or the chart cannot be written.
#include "bench/chart_main.h"
#include "bench/delay_chart_rows.h"

#include <cstdlib>

namespace {

StripChart EmptyChart()
{
    return DelayChart({});
}

StripRow BuildRow(char** fields, const std::vector<double>& delaysMs)
{
    DelaySeries series;
    series.extraWindows = std::atoi(fields[0]);
    series.modelMs = std::atof(fields[1]);
    series.delaysMs = delaysMs;
    return DelayChart({series}).rows[0];
}

}  // namespace

int main(int argc, char** argv)
{
    const ChartProgram program = {"delay_chart OUTPUT.svg EXTRA_WINDOWS MODEL_MS DELAYS_FILE [...]",
                                  3, EmptyChart, BuildRow};
    return ChartMain(argc, argv, program);
}
