#include "console/redirected_program.h"

std::string RedirectedProgramWarning(const std::string& program, const std::string& systemFolder,
                                     const std::string& seenAs, FileNamePort& names)
{
    std::string full;
    if (program.empty() || !names.FullPath(program, &full))
        return std::string();
    const std::string folder = names.UpperCase(systemFolder) + "\\";
    if (names.UpperCase(full).compare(0, folder.size(), folder) != 0)
        return std::string();
    return "kairon-time: warning: " + program + " is under " + systemFolder +
           ", which this 32-bit kairon-time is shown as " + seenAs +
           ": the 32-bit copy is timed (kairon-time.exe, the 64-bit one, times the program named)";
}
