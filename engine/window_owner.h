// Whose the window a launch found is. A single-instance program launched
// while an instance of it runs hands its command line over and exits; the
// running instance opens the window, and timing it would measure a
// hand-off, not a start-up. Asked after the launch's end count, so it
// costs the measured time nothing.
#ifndef KAIRON_ENGINE_WINDOW_OWNER_H
#define KAIRON_ENGINE_WINDOW_OWNER_H

#include "platform/platform.h"

#include <string>

struct WindowOwner {
    bool known = false;        // asked about: a window was found and owner checks are on
    unsigned long processId = 0;
    std::string program;       // its program file; empty when the system would not say
    bool launched = false;     // it is the process the launch created
    // It was running before the launch began, and runs the same program
    // file as the launched process: a hand-off.
    bool handedOff = false;
    // The launched process, or one of the launch's job: a process the
    // launch started (a launcher's real program), which the run may close
    // and end. Any other is left alone.
    bool inJob = false;
};

// The owner of `window`, found by the launch of `launched`.
WindowOwner FindWindowOwner(ProcessPort& process, WindowPort& windows, WindowHandle window,
                            const LaunchedProcess& launched);

// The titles of the titled top-level windows, in Z order and apart by
// " | ", whose owner is the launched process or a process of its job: what
// the program opened instead of the window searched for. Empty: none.
// (A text, not a list: Kairon.exe carries the run's results, and a list
// of texts would cost it its code.)
std::string TitlesOfLaunch(ProcessPort& process, WindowPort& windows,
                           const LaunchedProcess& launched);

// Whether two program files are the same file's path: Windows compares
// file names without regard to case, and so does this (ASCII letters).
bool SameProgramFile(const std::string& a, const std::string& b);

#endif
