#include "engine/log_sink.h"

#include "tests/test_files.h"

#include <gtest/gtest.h>

TEST(LogSink, AppendsAndKeepsEarlierContent)
{
    TempFile file("log_sink_append.txt");
    LogSink log;
    ASSERT_TRUE(OpenLog(&log, file.path.c_str()));
    WriteLog(&log, "%s - %d executions\n", "app.exe", 2);
    CloseLog(&log);
    ASSERT_TRUE(OpenLog(&log, file.path.c_str()));
    WriteLog(&log, "%0.4f\n", 1.23456789);
    CloseLog(&log);
    EXPECT_EQ(file.Read(), Native("app.exe - 2 executions\n1.2346\n"));
}

TEST(LogSink, WritesNothingWhileClosed)
{
    LogSink log;
    EXPECT_FALSE(IsLogOpen(log));
    WriteLog(&log, "ignored %d\n", 1);
    FlushLog(&log);
    CloseLog(&log);
    EXPECT_FALSE(IsLogOpen(log));
}

TEST(LogSink, FailsOnAPathThatCannotBeOpened)
{
    LogSink log;
    EXPECT_FALSE(OpenLog(&log, "no-such-folder-for-kairon/sub/log.txt"));
    EXPECT_FALSE(IsLogOpen(log));
}
