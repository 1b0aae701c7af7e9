// A strip chart as SVG: one row per set of measurements, each measurement
// a dot, the median marked and the middle half boxed, along one value axis
// that ends on round ticks just outside the data. kairon-report draws its
// runs with it and the benchmark its detection delays, so both charts read
// alike.
#ifndef KAIRON_REPORT_STRIP_CHART_H
#define KAIRON_REPORT_STRIP_CHART_H

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct StripDot {
    double value = 0.0;
    // Its place in its series, which fixes how far up or down it is drawn:
    // a dot keeps its place whatever else is left off the chart.
    size_t slot = 0;
    std::string tooltip;
    bool outlier = false;
    bool cold = false;  // drawn hollow
};

struct StripBox {
    double p25 = 0.0;
    double median = 0.0;
    double p75 = 0.0;
};

struct StripRow {
    std::string heading;  // bold, at the start of the label
    // After the heading, cut to its end, which tells similar names apart
    // better than their start; whole in the label's tooltip. May be empty.
    std::string name;
    std::string detail;   // the small line under the label
    std::vector<StripDot> dots;
    std::optional<StripBox> box;
    std::string emptyText;  // in place of the box when there is none
    // What a model expects of the row, marked across it.
    std::optional<double> reference;
};

struct StripChart {
    std::string title;
    std::string axisLabel;
    std::vector<StripRow> rows;
    // The legend names a kind of dot only where the chart can have one.
    bool legendCold = true;
    bool legendOutlier = true;
    std::string referenceLabel;  // the legend's name for the reference marks
};

// The whole SVG file. Texts are UTF-8 and escaped here.
std::string DrawStripChart(const StripChart& chart);

#endif
