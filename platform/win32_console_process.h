// The process port kairon-time uses: the dialog's, and what only the
// console program needs around its launches (a job per launch and what it
// used, commands between launches, the file cache, ending what a launch
// left running). Kept apart so that Kairon.exe does not carry it.
#ifndef KAIRON_PLATFORM_WIN32_CONSOLE_PROCESS_H
#define KAIRON_PLATFORM_WIN32_CONSOLE_PROCESS_H

#include "platform/win32_platform.h"

class Win32ConsoleProcess : public Win32Process {
public:
    void Terminate(const LaunchedProcess& launched) override;
    int EndJob(std::uintptr_t job) override;
    int RunningInJob(std::uintptr_t job) override;
    bool ProcessInJob(std::uintptr_t process, std::uintptr_t job) override;
    std::uintptr_t CreateLaunchJob() override;
    bool LaunchProcessInJob(char* commandLine, std::uintptr_t job,
                            LaunchedProcess* launched) override;
    bool ReadJobUsage(std::uintptr_t job, JobUsage* usage) override;
    bool ReadProcessUsage(const LaunchedProcess& launched, ProcessUsage* usage) override;
    CommandEnd RunShellCommand(const char* command, int endingStops,
                               unsigned long* exitCode) override;
    bool IsConsoleHandle(std::uintptr_t handle) override;
    bool ListTakesConsoleHandles() override;
    PrivilegeResult EnablePrivilege(TokenPrivilege privilege) override;
    bool EmptyFileCacheWorkingSet() override;
    long SetMemoryList(int command) override;
    bool StandbyPages(std::uint64_t* pages) override;
};

#endif
