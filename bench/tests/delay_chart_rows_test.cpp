#include "bench/delay_chart_rows.h"
#include "bench/delay_model.h"
#include "bench/settle_chart_rows.h"

#include <gtest/gtest.h>

TEST(DelayModel, HalfAPollingPeriodAndOneSleep)
{
    // The medians of the saved run in docs/benchmarks.md lie close to these.
    struct {
        double passMs, modelMs;
    } cases[] = {{0.0, 15.0}, {0.4, 15.2}, {7.0, 18.5}, {21.0, 25.5}, {71.0, 50.5}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ModelDelayMs(c.passMs), c.modelMs) << "pass " << c.passMs;
}

TEST(DelayChart, ReadsTheCreatedDelayOfEachLine)
{
    struct {
        const char* text;
        std::optional<std::vector<double>> delays;
    } cases[] = {
        {"14.931 -3.800\n4.100 9.000\n", std::vector<double>{14.931, 4.1}},
        // As Windows writes the file; blank lines carry nothing.
        {"-0.500 1.000\r\n\r\n  \n12.000 2.000\r\n", std::vector<double>{-0.5, 12.0}},
        {"", std::vector<double>{}},
        {"14.931 -3.800\nlaunch failed\n", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadDelays(c.text), c.delays) << c.text;
}

TEST(DelayChart, OneRowPerWindowCountWithItsModelMarked)
{
    StripChart chart = DelayChart({{0, 15.2, {40.0, 10.0, 30.0, 20.0}}, {1000, 50.5, {}}});
    EXPECT_EQ(chart.title, "Kairon's detection delay by window name, launch by launch");
    EXPECT_EQ(chart.referenceLabel, "model: (pass + 10 ms) / 2 + 10 ms");
    EXPECT_FALSE(chart.legendCold);
    EXPECT_FALSE(chart.legendOutlier);
    ASSERT_EQ(chart.rows.size(), 2u);

    const StripRow& ordinary = chart.rows[0];
    EXPECT_EQ(ordinary.heading, "no extra windows");
    EXPECT_EQ(ordinary.name, "");
    EXPECT_EQ(ordinary.detail, "4 launches, median 25.0 ms, model 15.2 ms");
    // Interpolated, as kairon-report's are: nearest rank would give 20, 20, 30.
    ASSERT_TRUE(ordinary.box);
    EXPECT_DOUBLE_EQ(ordinary.box->p25, 17.5);
    EXPECT_DOUBLE_EQ(ordinary.box->median, 25.0);
    EXPECT_DOUBLE_EQ(ordinary.box->p75, 32.5);
    ASSERT_TRUE(ordinary.reference);
    EXPECT_DOUBLE_EQ(*ordinary.reference, 15.2);
    // In launch order, each in its own place.
    ASSERT_EQ(ordinary.dots.size(), 4u);
    const double values[] = {40.0, 10.0, 30.0, 20.0};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(ordinary.dots[i].value, values[i]);
        EXPECT_EQ(ordinary.dots[i].slot, i);
    }
    EXPECT_EQ(ordinary.dots[1].tooltip, "launch 2: 10.0 ms");

    const StripRow& crowded = chart.rows[1];
    EXPECT_EQ(crowded.heading, "1000 extra windows");
    EXPECT_EQ(crowded.detail, "0 launches, model 50.5 ms");
    EXPECT_FALSE(crowded.box);
    EXPECT_EQ(crowded.emptyText, "no launches");
    ASSERT_TRUE(crowded.reference);
    EXPECT_DOUBLE_EQ(*crowded.reference, 50.5);
}

TEST(SettleChart, OneRowPerSeriesWithItsGoalMarkedWhereItHasOne)
{
    StripChart chart =
        SettleChart({{"settled after drawn", "launch", "launches", {9.0, 3.0, 6.0}, 12.0},
                     {"capture 1920x1080", "capture", "captures", {}, std::nullopt}});
    ASSERT_EQ(chart.rows.size(), 2u);
    EXPECT_EQ(chart.referenceLabel, "goal of the median");
    EXPECT_FALSE(chart.legendCold);
    EXPECT_FALSE(chart.legendOutlier);

    const StripRow& settled = chart.rows[0];
    EXPECT_EQ(settled.heading, "settled after drawn");
    EXPECT_EQ(settled.detail, "3 launches, median 6.0 ms, goal 12.0 ms");
    ASSERT_TRUE(settled.box);
    EXPECT_DOUBLE_EQ(settled.box->p25, 4.5);
    EXPECT_DOUBLE_EQ(settled.box->p75, 7.5);
    ASSERT_TRUE(settled.reference);
    EXPECT_DOUBLE_EQ(*settled.reference, 12.0);
    ASSERT_EQ(settled.dots.size(), 3u);
    EXPECT_EQ(settled.dots[1].value, 3.0);
    EXPECT_EQ(settled.dots[1].slot, 1u);
    EXPECT_EQ(settled.dots[2].tooltip, "launch 3: 6.0 ms");

    const StripRow& capture = chart.rows[1];
    EXPECT_EQ(capture.detail, "0 captures");
    EXPECT_EQ(capture.emptyText, "no captures");
    EXPECT_FALSE(capture.box);
    EXPECT_FALSE(capture.reference);
}
