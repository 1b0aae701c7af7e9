// The real process port with every operation passed straight on, for a
// benchmark to override the few it watches: Kairon's own timing run then
// runs as the product does, with a reading taken here and there.
#ifndef KAIRON_BENCH_FORWARDING_PROCESS_H
#define KAIRON_BENCH_FORWARDING_PROCESS_H

#include "platform/win32_console_process.h"

class ForwardingProcess : public ProcessPort {
public:
    bool LaunchProcess(char* commandLine, LaunchedProcess* launched) override
    {
        return real_.LaunchProcess(commandLine, launched);
    }
    unsigned long LastError() override { return real_.LastError(); }
    std::string SystemErrorText(unsigned long code) override
    {
        return real_.SystemErrorText(code);
    }
    unsigned long WaitForInputIdle(const LaunchedProcess& launched, unsigned timeoutMs) override
    {
        return real_.WaitForInputIdle(launched, timeoutMs);
    }
    bool HasExited(const LaunchedProcess& launched, unsigned long* exitCode) override
    {
        return real_.HasExited(launched, exitCode);
    }
    void CloseProcessHandles(const LaunchedProcess& launched) override
    {
        real_.CloseProcessHandles(launched);
    }
    void Terminate(const LaunchedProcess& launched) override { real_.Terminate(launched); }
    int EndJob(std::uintptr_t job) override { return real_.EndJob(job); }
    int RunningInJob(std::uintptr_t job) override { return real_.RunningInJob(job); }
    bool ProcessInJob(std::uintptr_t process, std::uintptr_t job) override
    {
        return real_.ProcessInJob(process, job);
    }
    std::uintptr_t OpenProcessToQuery(unsigned long processId) override
    {
        return real_.OpenProcessToQuery(processId);
    }
    std::string ProgramFile(std::uintptr_t process) override { return real_.ProgramFile(process); }
    bool CreationTime(std::uintptr_t process, std::uint64_t* time) override
    {
        return real_.CreationTime(process, time);
    }
    void CloseQueryHandle(std::uintptr_t process) override { real_.CloseQueryHandle(process); }
    // A benchmark is never asked to stop.
    bool StopRequested() override { return false; }
    std::int64_t CounterFrequency() override { return real_.CounterFrequency(); }
    std::int64_t CounterNow() override { return real_.CounterNow(); }
    void Sleep(unsigned milliseconds) override { real_.Sleep(milliseconds); }
    void BeginTimerPeriod(unsigned milliseconds) override
    {
        real_.BeginTimerPeriod(milliseconds);
    }
    void EndTimerPeriod(unsigned milliseconds) override { real_.EndTimerPeriod(milliseconds); }
    bool KeepTimerPeriodWhileHidden() override { return real_.KeepTimerPeriodWhileHidden(); }

private:
    Win32ConsoleProcess real_;
};

#endif
