#include "report/terminal_report.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The run block's outlier line, for a run of 40 launches of 1 s followed
// by the given number of 9 s ones. With most times equal the MAD is 0 and
// the mean absolute deviation stands in: 10 slow ones score
// 8 / (1.253314 * 80 / 50) = 3.99, 11 score 3.70, both above 3.5.
std::string OutlierLine(int slow_launches)
{
    Run run;
    run.application = "app.exe";
    for (int i = 0; i < 40 + slow_launches; ++i) {
        Launch launch;
        launch.seconds = i < 40 ? 1.0 : 9.0;
        run.launches.push_back(launch);
    }
    run.announced = static_cast<std::int64_t>(run.launches.size());
    std::string block = FormatRunBlock(AnalyzeRun(run, 1, false));
    size_t start = block.find("  Outliers:");
    if (start == std::string::npos)
        return block;
    return block.substr(start, block.find('\n', start) + 1 - start);
}

}  // namespace

TEST(TerminalReport, OutlierListNamesTenThenCountsTheRest)
{
    const std::string ten =
        "launch 41 (9.0000 s), launch 42 (9.0000 s), launch 43 (9.0000 s), "
        "launch 44 (9.0000 s), launch 45 (9.0000 s), launch 46 (9.0000 s), "
        "launch 47 (9.0000 s), launch 48 (9.0000 s), launch 49 (9.0000 s), "
        "launch 50 (9.0000 s)";
    struct {
        int slow_launches;
        std::string line;
    } cases[] = {
        {10, "  Outliers:               10 of 50: " + ten + "\n"},
        {11, "  Outliers:               11 of 51: " + ten + " and 1 more\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OutlierLine(c.slow_launches), c.line) << c.slow_launches << " slow launches";
}
