// settle_chart: draws what settle_bench measured as one SVG chart.
//
// Usage: settle_chart OUTPUT.svg HEADING UNIT UNITS GOAL_MS FILE [...]
//
// One row per five of them, in the order given: the row's heading, what
// one value is and more than one ("launch launches", "capture captures"),
// the goal of its median in ms ("-" for none) and the file of its values
// in ms, the first number of each line. Exit code 0, or 1 when a file
// cannot be read or holds no values, or the chart cannot be written.
#include "bench/chart_main.h"
#include "bench/settle_chart_rows.h"

#include <cstdlib>
#include <cstring>

namespace {

StripChart EmptyChart()
{
    return SettleChart({});
}

StripRow BuildRow(char** fields, const std::vector<double>& ms)
{
    MsSeries series;
    series.heading = fields[0];
    series.unit = fields[1];
    series.units = fields[2];
    if (std::strcmp(fields[3], "-") != 0)
        series.goalMs = std::atof(fields[3]);
    series.ms = ms;
    return SettleChart({series}).rows[0];
}

}  // namespace

int main(int argc, char** argv)
{
    const ChartProgram program = {"settle_chart OUTPUT.svg HEADING UNIT UNITS GOAL_MS FILE [...]",
                                  5, EmptyChart, BuildRow};
    return ChartMain(argc, argv, program);
}
