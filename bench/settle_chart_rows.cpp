#include "bench/settle_chart_rows.h"

StripChart SettleChart(const std::vector<MsSeries>& series)
{
    StripChart chart =
        MsChart("kairon-time --settled: the mark after the content was drawn, and one capture",
                "ms", "goal of the median");
    for (const MsSeries& one : series)
        chart.rows.push_back(MsRow(one));
    return chart;
}
