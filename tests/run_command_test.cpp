#include "dialog/run_command.h"

#include "resources/control_ids.h"
#include "tests/fake_platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Starter {
    bool succeeds = true;
    int calls = 0;
    RunSettings handed{};
};

bool RecordStart(const RunSettings& settings, void* context)
{
    Starter* starter = static_cast<Starter*>(context);
    ++starter->calls;
    starter->handed = settings;
    return starter->succeeds;
}

void FillValidDialog(FakePlatform* fake)
{
    fake->texts[IDC_APP_PATH] = "app.exe";
    fake->texts[IDC_LOG_PATH] = "log.txt";
    fake->texts[IDC_WINDOW_NAME] = "App";
    fake->texts[IDC_EXECUTIONS] = "3";
    fake->texts[IDC_DELAY] = "1000";
    fake->checked[IDC_DETECT_WINDOW_NAME] = true;
    fake->checked[IDC_CLOSE_WM_CLOSE] = true;
}

TEST(RunAppCommand, StartsAValidRunWithRunAppDisabled)
{
    FakePlatform fake;
    FillValidDialog(&fake);
    RunSettings settings{};
    settings.autoRun = true;
    Starter starter;
    EXPECT_TRUE(RunAppCommand(fake, &settings, RecordStart, &starter));
    EXPECT_EQ(fake.EventsNotStartingWith("get "), std::vector<std::string>{"enable IDC_RUN 0"});
    EXPECT_EQ(starter.calls, 1);
    EXPECT_STREQ(starter.handed.appPath, "app.exe");
    EXPECT_EQ(starter.handed.executions, 3);
    EXPECT_TRUE(starter.handed.autoRun);  // the settings file's request reaches the run
}

TEST(RunAppCommand, AFailedCheckStartsNothingAndLeavesRunAppAlone)
{
    FakePlatform fake;
    FillValidDialog(&fake);
    fake.texts[IDC_DELAY] = "0";
    RunSettings settings{};
    Starter starter;
    EXPECT_FALSE(RunAppCommand(fake, &settings, RecordStart, &starter));
    EXPECT_EQ(fake.EventsNotStartingWith("get "),
              std::vector<std::string>{"box Invalid delay | Please enter a delay time above 0 | 0x30"});
    EXPECT_EQ(starter.calls, 0);
}

TEST(RunAppCommand, AThreadThatCannotStartGivesRunAppBackAndSaysSo)
{
    FakePlatform fake;
    FillValidDialog(&fake);
    RunSettings settings{};
    Starter starter;
    starter.succeeds = false;
    EXPECT_FALSE(RunAppCommand(fake, &settings, RecordStart, &starter));
    EXPECT_EQ(fake.EventsNotStartingWith("get "),
              (std::vector<std::string>{"enable IDC_RUN 0", "enable IDC_RUN 1",
                                        "box Error | Could not start the timing run. | 0x0"}));
}

}  // namespace
