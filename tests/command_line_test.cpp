#include "engine/command_line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string CommandLineFor(const std::string& path, const std::string& arguments)
{
    RunSettings s{};
    std::strncpy(s.appPath, path.c_str(), kPathSize - 1);
    std::strncpy(s.cmdLineArgs, arguments.c_str(), kArgumentsSize - 1);
    char commandLine[kCommandLineSize];
    BuildCommandLine(s, commandLine);
    return commandLine;
}

TEST(CommandLine, QuotesThePathAndAppendsTheArguments)
{
    EXPECT_EQ(CommandLineFor("C:\\Program Files\\App\\app.exe", "-n \"my file.txt\""),
              "\"C:\\Program Files\\App\\app.exe\" -n \"my file.txt\"");
}

TEST(CommandLine, KeepsTheBlankBeforeEmptyArguments)
{
    EXPECT_EQ(CommandLineFor("app.exe", ""), "\"app.exe\" ");
}

TEST(CommandLine, TheLongestPathAndArgumentsFitWhole)
{
    const std::string path(515, 'p');
    const std::string arguments(511, 'a');
    const std::string built = CommandLineFor(path, arguments);
    EXPECT_EQ(built.size(), 515u + 511u + 3u);
    EXPECT_EQ(built, "\"" + path + "\" " + arguments);
    EXPECT_EQ(kCommandLineSize, 1030);
}

TEST(CommandLine, ABufferWithoutNulIsReadOnlyToItsEnd)
{
    RunSettings s{};
    std::memset(s.appPath, 'p', sizeof s.appPath);
    std::memset(s.cmdLineArgs, 'a', sizeof s.cmdLineArgs);
    char commandLine[kCommandLineSize];
    BuildCommandLine(s, commandLine);
    EXPECT_EQ(std::strlen(commandLine), 515u + 511u + 3u);
}

}  // namespace
