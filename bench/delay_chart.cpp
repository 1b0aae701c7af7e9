// delay_chart: draws the detection delays of several benchmark rows as one
// SVG chart.
//
// Usage: delay_chart OUTPUT.svg EXTRA_WINDOWS MODEL_MS DELAYS_FILE [...]
//
// One row per EXTRA_WINDOWS MODEL_MS DELAYS_FILE triple, in the order given:
// the row's extra window count, and the model delay and the delays file
// detection_delay_bench printed and wrote for it. Exit code 0, or 1 when a file cannot
// be read or holds no delays, or the chart cannot be written.
#include "bench/delay_chart_rows.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

bool ReadSeries(char** triple, DelaySeries* series)
{
    series->extraWindows = std::atoi(triple[0]);
    series->modelMs = std::atof(triple[1]);
    std::ifstream file(triple[2]);
    std::ostringstream text;
    text << file.rdbuf();
    std::optional<std::vector<double>> delays = ReadDelays(text.str());
    if (!file || !delays || delays->empty()) {
        std::fprintf(stderr, "no delays in %s\n", triple[2]);
        return false;
    }
    series->delaysMs = *delays;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5 || (argc - 2) % 3 != 0) {
        std::fprintf(stderr,
                     "usage: delay_chart OUTPUT.svg EXTRA_WINDOWS MODEL_MS DELAYS_FILE [...]\n");
        return 1;
    }
    std::vector<DelaySeries> series;
    for (int i = 2; i < argc; i += 3) {
        series.emplace_back();
        if (!ReadSeries(argv + i, &series.back()))
            return 1;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << DrawStripChart(DelayChart(series));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
