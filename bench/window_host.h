// Extra titled top-level windows of another process, for the benchmarks: a
// search pass reads the title of every window on the desktop, and in a real
// run nearly all of them belong to other programs, which makes each read a
// trip out of the process.
//
// A benchmark program starts a second copy of itself with
// StartWindowHost; that copy's main hands its arguments to
// RunWindowHostIfAsked, which opens the windows, says so and serves their
// messages until StopWindowHost.
#ifndef KAIRON_BENCH_WINDOW_HOST_H
#define KAIRON_BENCH_WINDOW_HOST_H

#include <windows.h>

struct WindowHost {
    HANDLE process = nullptr;
    HANDLE quit = nullptr;
};

// In the second copy: true when the arguments ask it to host windows, with
// the exit code in *exitCode once it has been told to stop.
bool RunWindowHostIfAsked(int argc, char** argv, int* exitCode);

// Starts a copy of this program that opens `count` windows titled "Kairon
// bench filler window NNN", shown without activation, and returns once they
// are all open. Nothing is started for a count of 0. False (with a message
// on standard error) when the host cannot be started or does not report.
bool StartWindowHost(int count, WindowHost* host);

// Closes the host's windows and waits for it to end.
void StopWindowHost(WindowHost* host);

#endif
