#include "report/log_line.h"

#include <gtest/gtest.h>

TEST(LogLine, ClassifiesEveryKindOfLine)
{
    struct {
        const char* line;
        LogLineKind kind;
    } cases[] = {
        {"", LogLineKind::Blank},
        {" \t", LogLineKind::Blank},
        {"1.2345", LogLineKind::Timing},
        {"0.0000", LogLineKind::Timing},
        {"12.5000", LogLineKind::Timing},
        {"1234567.0001", LogLineKind::Timing},
        // Not "%0.4f" of a time: wrong decimals, signs, separators, extras.
        {"1.234", LogLineKind::Unknown},
        {"1.23456", LogLineKind::Unknown},
        {".1234", LogLineKind::Unknown},
        {"-0.0001", LogLineKind::Unknown},
        {"+1.2345", LogLineKind::Unknown},
        {"1,2345", LogLineKind::Unknown},
        {"1.2345 ", LogLineKind::Unknown},
        {"1.2345s", LogLineKind::Unknown},
        {"12", LogLineKind::Unknown},
        {"Window State Key:", LogLineKind::Debug},
        {"0 = SW_HIDE\t1=SW_SHOWNORMAL\t2=SW_SHOWMINIMIZED\t3=SW_MAXIMIZE 4=SW_SHOWNOACTIVATE\t"
         "5=SW_SHOW\t6=SW_MINIMIZE\t7=SW_SHOWMINNOACTIVE\t8=SW_SHOWNA\t9=SW_RESTORE",
         LogLineKind::Debug},
        {"Detected: 42 windows", LogLineKind::Debug},
        {"Detected: many windows", LogLineKind::Unknown},
        {"*************** START LOOP# 7 ***************", LogLineKind::Debug},
        {"*************** Search loop # 4950 of 5000 ***************", LogLineKind::Debug},
        {"*************** Search loop # 50 of 6000 ***************", LogLineKind::Unknown},
        {"DEBUG Initial scan: Window name: Inbox - 3 executions (Handle: 0x1F0 state: 1)",
         LogLineKind::Debug},
        {"DEBUG: Window name: 1.2345 (Handle: 0xFFFF0001 state: 3)", LogLineKind::Debug},
        {"DEBUG: Window name:  (Handle: 0x0 state: -1)", LogLineKind::Debug},
        // A title that goes on in the next line of the file.
        {"DEBUG: Window name: first line of a title", LogLineKind::DebugWindowStart},
        {"DEBUG: Window name: x (Handle: 0x1f0 state: 1)", LogLineKind::DebugWindowStart},
        {"WaitForInputIdle call failed", LogLineKind::InputIdleFailed},
        {"WaitForInputIdle call failed!", LogLineKind::Unknown},
        {"Failed to find window Untitled - Notepad", LogLineKind::WindowNotFound},
        {"Failed to find window ", LogLineKind::WindowNotFound},
        {"Failed to find window x - 3 executions", LogLineKind::WindowNotFound},
        {"Failed to find Untitled - Notepad as visible", LogLineKind::NotVisible},
        {"Failed to find  as visible", LogLineKind::NotVisible},
        {"Failed to find as visible", LogLineKind::Unknown},
        // Either a search for "x as visible" or a wait for "window x".
        {"Failed to find window x as visible", LogLineKind::NotFoundOrNotVisible},
        {"Failed to find window as visible", LogLineKind::NotFoundOrNotVisible},
        // An exit code is a DWORD written with %lu: no sign, at most 2^32 - 1.
        {"Application exited with code 0 before it was ready", LogLineKind::ExitedBeforeReady},
        {"Application exited with code 4294967295 before it was ready",
         LogLineKind::ExitedBeforeReady},
        {"Application exited with code 4294967296 before it was ready", LogLineKind::Unknown},
        {"Application exited with code 99999999999999999999 before it was ready",
         LogLineKind::Unknown},
        {"Application exited with code -1 before it was ready", LogLineKind::Unknown},
        {"Application exited with code +1 before it was ready", LogLineKind::Unknown},
        {"Application exited with code  before it was ready", LogLineKind::Unknown},
        {"Application exited with code C0000005 before it was ready", LogLineKind::Unknown},
        {"Application exited with code 1 before it was ready.", LogLineKind::Unknown},
        {"Application exited with code 1", LogLineKind::Unknown},
        {"Window Untitled - Notepad belongs to a program started before this launch",
         LogLineKind::HandedOff},
        {"Window  belongs to a program started before this launch", LogLineKind::HandedOff},
        {"Window belongs to a program started before this launch", LogLineKind::Unknown},
        {"Window x belongs to a program started before this launch.", LogLineKind::Unknown},
        {"Failed to settle Untitled - Notepad", LogLineKind::NotSettled},
        {"Failed to settle ", LogLineKind::NotSettled},
        {"Failed to settle", LogLineKind::Unknown},
        {"failed to settle Notepad", LogLineKind::Unknown},
        {"Failed to close Untitled - Notepad", LogLineKind::CloseFailed},
        {"Failed to close ", LogLineKind::CloseFailed},
        {"Failed to close", LogLineKind::Unknown},
        // A window named "x - 3 executions" is no header.
        {"Failed to close x - 3 executions", LogLineKind::CloseFailed},
        {"Failed to close window x as visible", LogLineKind::CloseFailed},
        {"C:\\Apps\\app.exe - 10 executions", LogLineKind::Header},
        {"C:\\Apps\\app.exe - 10 executions ", LogLineKind::Unknown},
        {"C:\\Apps\\app.exe - ten executions", LogLineKind::Unknown},
        {"C:\\Apps\\app.exe -10 executions", LogLineKind::Unknown},
        {"C:\\Apps\\app.exe - 99999999999999999999 executions", LogLineKind::Unknown},
        {"something else entirely", LogLineKind::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyLogLine(c.line).kind, c.kind) << '"' << c.line << '"';
}

TEST(LogLine, ReadsTheHeaderFromItsEnd)
{
    struct {
        const char* line;
        const char* application;
        std::int64_t executions;
    } cases[] = {
        {"C:\\Apps\\app.exe - 10 executions", "C:\\Apps\\app.exe", 10},
        {"C:\\Tools - Beta\\a - b.exe - 3 executions", "C:\\Tools - Beta\\a - b.exe", 3},
        {"app.exe - 5 executions - 2 executions", "app.exe - 5 executions", 2},
        {" - 1 executions", "", 1},
        {"app.exe - -1 executions", "app.exe", -1},
        {"app.exe - 2147483647 executions", "app.exe", 2147483647},
    };
    for (const auto& c : cases) {
        LogLine line = ClassifyLogLine(c.line);
        ASSERT_EQ(line.kind, LogLineKind::Header) << c.line;
        EXPECT_EQ(line.application, c.application);
        EXPECT_EQ(line.executions, c.executions);
    }
}

TEST(LogLine, ReadsTheExitCode)
{
    struct {
        const char* line;
        std::uint32_t exitCode;
    } cases[] = {
        {"Application exited with code 0 before it was ready", 0},
        {"Application exited with code 1 before it was ready", 1},
        {"Application exited with code 2147483648 before it was ready", 2147483648u},
        {"Application exited with code 3221225477 before it was ready", 3221225477u},
        {"Application exited with code 4294967295 before it was ready", 4294967295u},
    };
    for (const auto& c : cases) {
        LogLine line = ClassifyLogLine(c.line);
        ASSERT_EQ(line.kind, LogLineKind::ExitedBeforeReady) << c.line;
        EXPECT_EQ(line.exitCode, c.exitCode) << c.line;
    }
}

TEST(LogLine, ReadsTheSeconds)
{
    EXPECT_DOUBLE_EQ(ClassifyLogLine("1.2346").seconds, 1.2346);
    EXPECT_DOUBLE_EQ(ClassifyLogLine("0.0001").seconds, 0.0001);
    EXPECT_DOUBLE_EQ(ClassifyLogLine("12.5000").seconds, 12.5);
    EXPECT_DOUBLE_EQ(ClassifyLogLine("50.0312").seconds, 50.0312);
}

TEST(LogLine, WindowDetailsCloseAWindowListLine)
{
    EXPECT_TRUE(EndsWithWindowDetails("x (Handle: 0xABCDEF09 state: 9)"));
    EXPECT_TRUE(EndsWithWindowDetails(" (Handle: 0x0 state: 0)"));
    EXPECT_FALSE(EndsWithWindowDetails("(Handle: 0x0 state: 0)"));
    EXPECT_TRUE(EndsWithWindowDetails("a) (Handle: 0x1 state: 2) (Handle: 0x2 state: -3)"));
    EXPECT_FALSE(EndsWithWindowDetails("x (Handle: 0x state: 1)"));
    EXPECT_FALSE(EndsWithWindowDetails("x (Handle: 0xAB state: )"));
    EXPECT_FALSE(EndsWithWindowDetails("x (Handle: 0xAB state: 1) "));
    EXPECT_FALSE(EndsWithWindowDetails("x (Handle: 0xAG state: 1)"));
    EXPECT_FALSE(EndsWithWindowDetails("x (Handle 0xAB state: 1)"));
    EXPECT_FALSE(EndsWithWindowDetails(")"));
}
