#include "report/strip_chart.h"

#include <gtest/gtest.h>

namespace {

StripChart OneRowWithAReference()
{
    StripChart chart;
    chart.title = "Kairon's delay";
    chart.axisLabel = "ms <to> end";
    chart.legendCold = false;
    chart.legendOutlier = false;
    chart.referenceLabel = "model";
    StripRow row;
    row.heading = "no extra windows";
    row.detail = "2 launches";
    row.dots = {{12.0, 0, "launch 1: 12.0 ms", false, false},
                {18.0, 1, "launch 2: 18.0 ms", false, false}};
    row.box = StripBox{13.5, 15.0, 16.5};
    row.reference = 42.0;
    chart.rows.push_back(row);
    return chart;
}

}  // namespace

TEST(StripChart, TheReferenceIsMarkedAcrossItsRowAndWidensTheAxis)
{
    // The dots alone span 12 .. 18; with the reference at 42 the axis runs
    // 10 .. 50 in steps of 10 over x 250 .. 770, 13 px a unit: 12 at 276,
    // 18 at 354, 42 at 666, the box 13.5 .. 16.5 at 295.5 .. 334.5. A row
    // without a name has no tooltip and no colon in its label; the legend
    // leaves out the kinds of dot the chart cannot have.
    EXPECT_EQ(DrawStripChart(OneRowWithAReference()),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"800.0\" height=\"160.0\" viewBox=\"0 0 800.0 160.0\" font-family=\"Helvetica, Arial, sans-serif\" font-size=\"12\">\n"
        "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n"
        "<text x=\"12\" y=\"24\" font-size=\"15\" font-weight=\"bold\">Kairon&apos;s delay</text>\n"
        "<rect x=\"0\" y=\"44.0\" width=\"800.0\" height=\"46.0\" fill=\"#f4f6f8\"/>\n"
        "<line x1=\"250.0\" y1=\"44.0\" x2=\"250.0\" y2=\"95.0\" stroke=\"#d0d4d9\" stroke-width=\"1\"/>\n"
        "<text x=\"250.0\" y=\"108.0\" text-anchor=\"middle\">10</text>\n"
        "<line x1=\"380.0\" y1=\"44.0\" x2=\"380.0\" y2=\"95.0\" stroke=\"#d0d4d9\" stroke-width=\"1\"/>\n"
        "<text x=\"380.0\" y=\"108.0\" text-anchor=\"middle\">20</text>\n"
        "<line x1=\"510.0\" y1=\"44.0\" x2=\"510.0\" y2=\"95.0\" stroke=\"#d0d4d9\" stroke-width=\"1\"/>\n"
        "<text x=\"510.0\" y=\"108.0\" text-anchor=\"middle\">30</text>\n"
        "<line x1=\"640.0\" y1=\"44.0\" x2=\"640.0\" y2=\"95.0\" stroke=\"#d0d4d9\" stroke-width=\"1\"/>\n"
        "<text x=\"640.0\" y=\"108.0\" text-anchor=\"middle\">40</text>\n"
        "<line x1=\"770.0\" y1=\"44.0\" x2=\"770.0\" y2=\"95.0\" stroke=\"#d0d4d9\" stroke-width=\"1\"/>\n"
        "<text x=\"770.0\" y=\"108.0\" text-anchor=\"middle\">50</text>\n"
        "<line x1=\"250.0\" y1=\"90.0\" x2=\"770.0\" y2=\"90.0\" stroke=\"#333\" stroke-width=\"1\"/>\n"
        "<text x=\"510.0\" y=\"124.0\" text-anchor=\"middle\">ms &lt;to&gt; end</text>\n"
        "<text x=\"238.0\" y=\"64.0\" text-anchor=\"end\"><tspan font-weight=\"bold\">no extra windows</tspan></text>\n"
        "<text x=\"238.0\" y=\"79.0\" text-anchor=\"end\" font-size=\"10\" fill=\"#555\">2 launches</text>\n"
        "<rect x=\"295.5\" y=\"55.0\" width=\"39.0\" height=\"24\" fill=\"#dbe7f3\" stroke=\"#7d9cbf\"/>\n"
        "<line x1=\"315.0\" y1=\"51.0\" x2=\"315.0\" y2=\"83.0\" stroke=\"#1d3557\" stroke-width=\"2.5\"/>\n"
        "<circle cx=\"276.0\" cy=\"56.0\" r=\"2.6\" fill=\"#2a6fb0\" fill-opacity=\"0.7\"><title>launch 1: 12.0 ms</title></circle>\n"
        "<circle cx=\"354.0\" cy=\"69.6\" r=\"2.6\" fill=\"#2a6fb0\" fill-opacity=\"0.7\"><title>launch 2: 18.0 ms</title></circle>\n"
        "<line x1=\"666.0\" y1=\"48.0\" x2=\"666.0\" y2=\"86.0\" stroke=\"#e07a1f\" stroke-width=\"2\" stroke-dasharray=\"4 3\"/>\n"
        "<circle cx=\"250.0\" cy=\"146.0\" r=\"2.6\" fill=\"#2a6fb0\" fill-opacity=\"0.7\"/>\n"
        "<text x=\"258.0\" y=\"150.0\">launch</text>\n"
        "<line x1=\"320.0\" y1=\"139.0\" x2=\"320.0\" y2=\"153.0\" stroke=\"#1d3557\" stroke-width=\"2.5\"/>\n"
        "<text x=\"328.0\" y=\"150.0\">median</text>\n"
        "<rect x=\"390.0\" y=\"140.0\" width=\"16.0\" height=\"12.0\" fill=\"#dbe7f3\" stroke=\"#7d9cbf\"/>\n"
        "<text x=\"412.0\" y=\"150.0\">25th–75th percentile</text>\n"
        "<line x1=\"545.0\" y1=\"139.0\" x2=\"545.0\" y2=\"153.0\" stroke=\"#e07a1f\" stroke-width=\"2\" stroke-dasharray=\"4 3\"/>\n"
        "<text x=\"553.0\" y=\"150.0\">model</text>\n"
        "</svg>\n");
}

TEST(StripChart, TheLegendClosesUpOverTheEntriesItLeavesOut)
{
    struct {
        bool cold, outlier;
        const char* referenceLabel;
        const char* median;  // where the median's entry starts
        const char* reference;
    } cases[] = {
        {true, true, "", "<text x=\"503.0\" y=\"150.0\">median</text>", nullptr},
        {true, false, "", "<text x=\"428.0\" y=\"150.0\">median</text>", nullptr},
        {false, true, "", "<text x=\"403.0\" y=\"150.0\">median</text>", nullptr},
        {false, false, "model", "<text x=\"328.0\" y=\"150.0\">median</text>",
         "<text x=\"553.0\" y=\"150.0\">model</text>"},
        {true, true, "model", "<text x=\"503.0\" y=\"150.0\">median</text>",
         "<text x=\"728.0\" y=\"150.0\">model</text>"},
    };
    for (const auto& c : cases) {
        StripChart chart = OneRowWithAReference();
        chart.legendCold = c.cold;
        chart.legendOutlier = c.outlier;
        chart.referenceLabel = c.referenceLabel;
        std::string svg = DrawStripChart(chart);
        SCOPED_TRACE(svg);
        EXPECT_EQ(svg.find(">first (cold)</text>") != std::string::npos, c.cold);
        EXPECT_EQ(svg.find(">outlier</text>") != std::string::npos, c.outlier);
        EXPECT_NE(svg.find(c.median), std::string::npos);
        if (c.reference) {
            EXPECT_NE(svg.find(c.reference), std::string::npos);
        }
        // The row's mark is drawn whether or not the legend names it.
        EXPECT_NE(svg.find("<line x1=\"666.0\" y1=\"48.0\""), std::string::npos);
        EXPECT_EQ(svg.find("stroke-dasharray", svg.find("<circle cx=\"250.0\" cy=\"146.0\"")) !=
                      std::string::npos,
                  c.reference != nullptr);
    }
}
