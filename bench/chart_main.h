// The main of the benchmark's chart programs: OUTPUT.svg, then rows of a
// fixed number of arguments, the last of each a file of values in ms (the
// first number of each line). Each program says how a row is built.
#ifndef KAIRON_BENCH_CHART_MAIN_H
#define KAIRON_BENCH_CHART_MAIN_H

#include "report/strip_chart.h"

#include <vector>

struct ChartProgram {
    const char* usage;  // the line after "usage: "
    int fieldsPerRow;   // the file included
    // The chart with no rows: its title, axis and legend.
    StripChart (*emptyChart)();
    // The row of these fields (all but the file) and the file's values.
    StripRow (*buildRow)(char** fields, const std::vector<double>& ms);
};

// Exit code 0, or 1 (with a message) for a wrong count of arguments, a file
// that cannot be read or holds no values, or a chart that cannot be written.
int ChartMain(int argc, char** argv, const ChartProgram& program);

#endif
