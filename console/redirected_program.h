// A 32-bit kairon-time on 64-bit Windows does not see the system folder:
// Windows shows it the 32-bit one (SysWOW64) in its place, so a program
// named under System32 is timed as its 32-bit copy, whatever the name says.
#ifndef KAIRON_CONSOLE_REDIRECTED_PROGRAM_H
#define KAIRON_CONSOLE_REDIRECTED_PROGRAM_H

#include "platform/file_names.h"

#include <string>

// The one line of warning for `program` (as given) when it lies under
// `systemFolder`, which this process reaches as `seenAs`; empty otherwise.
std::string RedirectedProgramWarning(const std::string& program, const std::string& systemFolder,
                                     const std::string& seenAs, FileNamePort& names);

#endif
