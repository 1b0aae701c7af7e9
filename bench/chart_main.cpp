#include "bench/chart_main.h"

#include "bench/delay_chart_rows.h"

#include <cstdio>
#include <fstream>
#include <sstream>

int ChartMain(int argc, char** argv, const ChartProgram& program)
{
    const int fields = program.fieldsPerRow;
    if (argc < 2 + fields || (argc - 2) % fields != 0) {
        std::fprintf(stderr, "usage: %s\n", program.usage);
        return 1;
    }
    StripChart chart = program.emptyChart();
    for (int i = 2; i < argc; i += fields) {
        const char* path = argv[i + fields - 1];
        std::ifstream file(path);
        std::ostringstream text;
        text << file.rdbuf();
        std::optional<std::vector<double>> values = ReadDelays(text.str());
        if (!file || !values || values->empty()) {
            std::fprintf(stderr, "no values in %s\n", path);
            return 1;
        }
        chart.rows.push_back(program.buildRow(argv + i, *values));
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << DrawStripChart(chart);
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
