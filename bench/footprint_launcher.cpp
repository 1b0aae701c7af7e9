// footprint_launcher: runs a program to its end and reports how much
// memory it held at its peak.
//
// Usage: footprint_launcher PROGRAM [ARGUMENTS...]
//
// Prints one line, "exit_code=<n> peak_working_set=<bytes>", once the
// program has ended. The peak is PeakWorkingSetSize from
// GetProcessMemoryInfo. Windows keeps it readable through the process
// handle after the process has exited; Wine reads it from the live process
// only, so the launcher also samples it every 100 ms while the program runs
// and reports the larger of the two (the peak never decreases, so the last
// sample is at most 100 ms of growth behind).
//
// Exit code: 0 once the program has run; 1 when it cannot be launched.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

const DWORD kSampleEveryMs = 100;

SIZE_T PeakWorkingSet(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters;
    ZeroMemory(&counters, sizeof counters);
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters))
        return 0;
    return counters.PeakWorkingSetSize;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: footprint_launcher PROGRAM [ARGUMENTS...]\n");
        return 1;
    }
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine.push_back(' ');
        commandLine.push_back('"');
        commandLine += argv[i];
        commandLine.push_back('"');
    }

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION launched;
    ZeroMemory(&launched, sizeof launched);
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &launched)) {
        std::fprintf(stderr, "cannot launch %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }

    SIZE_T sampledPeak = 0;
    while (WaitForSingleObject(launched.hProcess, kSampleEveryMs) == WAIT_TIMEOUT) {
        const SIZE_T peak = PeakWorkingSet(launched.hProcess);
        if (peak > sampledPeak)
            sampledPeak = peak;
    }
    const SIZE_T peakAfterExit = PeakWorkingSet(launched.hProcess);
    DWORD exitCode = 0;
    GetExitCodeProcess(launched.hProcess, &exitCode);
    CloseHandle(launched.hThread);
    CloseHandle(launched.hProcess);

    const SIZE_T peak = peakAfterExit > sampledPeak ? peakAfterExit : sampledPeak;
    std::printf("exit_code=%lu peak_working_set=%lu sampled=%lu after_exit=%lu\n", exitCode,
                static_cast<unsigned long>(peak), static_cast<unsigned long>(sampledPeak),
                static_cast<unsigned long>(peakAfterExit));
    return 0;
}
