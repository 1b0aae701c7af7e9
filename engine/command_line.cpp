#include "engine/command_line.h"

#include <cstdio>
#include <cstring>

namespace {

// Length of a fixed buffer's text, stopping at its end even if a NUL is
// missing, so a damaged settings record cannot make us read past it.
int BoundedLength(const char* text, int size)
{
    const void* nul = std::memchr(text, '\0', size);
    return nul ? static_cast<int>(static_cast<const char*>(nul) - text) : size - 1;
}

}  // namespace

void BuildCommandLine(const RunSettings& settings, char (&commandLine)[kCommandLineSize])
{
    std::snprintf(commandLine, sizeof commandLine, "\"%.*s\" %.*s",
                  BoundedLength(settings.appPath, kPathSize), settings.appPath,
                  BoundedLength(settings.cmdLineArgs, kArgumentsSize), settings.cmdLineArgs);
}
