// The command line a run launches: the application path in double quotes,
// one blank, then the arguments (the blank is there even without any).
#ifndef KAIRON_ENGINE_COMMAND_LINE_H
#define KAIRON_ENGINE_COMMAND_LINE_H

#include "config/run_settings.h"

// Room for the longest path (515 characters) and arguments (511), the two
// quotes, the blank and the NUL, so a command line is never cut short.
const int kCommandLineSize = (kPathSize - 1) + (kArgumentsSize - 1) + 3 + 1;

void BuildCommandLine(const RunSettings& settings, char (&commandLine)[kCommandLineSize]);

#endif
