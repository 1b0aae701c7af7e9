// settle_chart: draws what settle_bench measured as one SVG chart.
//
// Usage: settle_chart OUTPUT.svg HEADING UNIT UNITS GOAL_MS FILE [...]
//
// One row per five of them, in the order given: the row's heading, what
// one value is and more than one ("launch launches", "capture captures"),
// the goal of its
// median in ms ("-" for none) and the file of its values in ms, the first
// number of each line. Exit code 0, or 1 when a file cannot be read or
// holds no values, or the chart cannot be written.
#include "bench/delay_chart_rows.h"
#include "bench/settle_chart_rows.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

bool ReadSeries(char** fields, MsSeries* series)
{
    series->heading = fields[0];
    series->unit = fields[1];
    series->units = fields[2];
    if (std::strcmp(fields[3], "-") != 0)
        series->goalMs = std::atof(fields[3]);
    std::ifstream file(fields[4]);
    std::ostringstream text;
    text << file.rdbuf();
    std::optional<std::vector<double>> values = ReadDelays(text.str());
    if (!file || !values || values->empty()) {
        std::fprintf(stderr, "no values in %s\n", fields[4]);
        return false;
    }
    series->ms = *values;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 7 || (argc - 2) % 5 != 0) {
        std::fprintf(stderr,
                     "usage: settle_chart OUTPUT.svg HEADING UNIT UNITS GOAL_MS FILE [...]\n");
        return 1;
    }
    std::vector<MsSeries> series;
    for (int i = 2; i < argc; i += 5) {
        series.emplace_back();
        if (!ReadSeries(argv + i, &series.back()))
            return 1;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << DrawStripChart(SettleChart(series));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
