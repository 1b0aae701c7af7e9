#include "platform/win32_console_process.h"

#include "platform/handle_list.h"

#include <psapi.h>
#include <versionhelpers.h>

#include <string>
#include <vector>

namespace {

// NtSetSystemInformation's and NtQuerySystemInformation's class for the
// memory lists.
const ULONG kSystemMemoryListInformation = 80;

// SYSTEM_MEMORY_LIST_INFORMATION: page counts of the system's lists. The
// standby list, which holds the file cache, is kept by priority.
struct MemoryLists {
    ULONG_PTR zeroPages;
    ULONG_PTR freePages;
    ULONG_PTR modifiedPages;
    ULONG_PTR modifiedNoWritePages;
    ULONG_PTR badPages;
    ULONG_PTR standbyPagesByPriority[8];
    ULONG_PTR repurposedPagesByPriority[8];
    ULONG_PTR modifiedPageFilePages;
};

typedef LONG(WINAPI* SystemInformationCall)(ULONG infoClass, PVOID info, ULONG length,
                                            PULONG returned);
typedef LONG(WINAPI* SetSystemInformationCall)(ULONG infoClass, PVOID info, ULONG length);

typedef BOOL(WINAPI* SetFileCacheSizeCall)(SIZE_T minimum, SIZE_T maximum, DWORD flags);

// A function of a system DLL every process has loaded; null, with the last
// error set, where this Windows lacks it.
void* SystemFunction(const char* module, const char* name)
{
    HMODULE loaded = GetModuleHandleA(module);
    return loaded != nullptr ? reinterpret_cast<void*>(GetProcAddress(loaded, name)) : nullptr;
}

// A handle the command may inherit as its standard input: the NUL device,
// so that a command that asks for input ends instead of waiting for a
// person who is not there.
HANDLE InheritableNul()
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       OPEN_EXISTING, 0, nullptr);
}

}  // namespace

void Win32ConsoleProcess::Terminate(const LaunchedProcess& launched)
{
    TerminateProcess(reinterpret_cast<HANDLE>(launched.process), 1);
}

int Win32ConsoleProcess::RunningInJob(std::uintptr_t job)
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION basic;
    ZeroMemory(&basic, sizeof basic);
    if (!QueryInformationJobObject(reinterpret_cast<HANDLE>(job), JobObjectBasicAccountingInformation,
                                   &basic, sizeof basic, nullptr))
        return 0;
    return static_cast<int>(basic.ActiveProcesses);
}

int Win32ConsoleProcess::EndJob(std::uintptr_t job)
{
    const int running = RunningInJob(job);
    if (running == 0 || !TerminateJobObject(reinterpret_cast<HANDLE>(job), 1))
        return 0;
    return running;
}

bool Win32ConsoleProcess::ProcessInJob(std::uintptr_t process, std::uintptr_t job)
{
    BOOL inJob = FALSE;
    return IsProcessInJob(reinterpret_cast<HANDLE>(process), reinterpret_cast<HANDLE>(job),
                          &inJob) &&
           inJob;
}

std::uintptr_t Win32ConsoleProcess::CreateLaunchJob()
{
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    if (job == nullptr)
        return 0;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
    ZeroMemory(&limits, sizeof limits);
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_BREAKAWAY_OK;
    // A job that forbids breaking away would still time the program; only
    // its helpers started that way would fail, so the launch goes on.
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return reinterpret_cast<std::uintptr_t>(job);
}

bool Win32ConsoleProcess::LaunchProcessInJob(char* commandLine, std::uintptr_t job,
                                             LaunchedProcess* launched)
{
    HANDLE jobHandle = reinterpret_cast<HANDLE>(job);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    ZeroMemory(&info, sizeof info);
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &info)) {
        const DWORD error = GetLastError();
        if (jobHandle != nullptr)
            CloseHandle(jobHandle);
        SetLastError(error);
        return false;
    }
    const bool assigned = jobHandle != nullptr && AssignProcessToJobObject(jobHandle, info.hProcess);
    if (!assigned && jobHandle != nullptr)
        CloseHandle(jobHandle);
    if (ResumeThread(info.hThread) == static_cast<DWORD>(-1)) {
        const DWORD error = GetLastError();
        TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
        if (assigned)
            CloseHandle(jobHandle);
        SetLastError(error);
        return false;
    }
    launched->process = reinterpret_cast<std::uintptr_t>(info.hProcess);
    launched->thread = reinterpret_cast<std::uintptr_t>(info.hThread);
    launched->id = info.dwProcessId;
    launched->job = assigned ? job : 0;
    return true;
}

bool Win32ConsoleProcess::ReadJobUsage(std::uintptr_t job, JobUsage* usage)
{
    HANDLE jobHandle = reinterpret_cast<HANDLE>(job);
    JOBOBJECT_BASIC_AND_IO_ACCOUNTING_INFORMATION accounting;
    ZeroMemory(&accounting, sizeof accounting);
    usage->ioAnswered = QueryInformationJobObject(jobHandle, JobObjectBasicAndIoAccountingInformation,
                                              &accounting, sizeof accounting, nullptr) != 0;
    if (!usage->ioAnswered &&
        !QueryInformationJobObject(jobHandle, JobObjectBasicAccountingInformation,
                                   &accounting.BasicInfo, sizeof accounting.BasicInfo, nullptr))
        return false;
    const JOBOBJECT_BASIC_ACCOUNTING_INFORMATION& basic = accounting.BasicInfo;
    usage->cpuTime = static_cast<std::uint64_t>(basic.TotalUserTime.QuadPart) +
                     static_cast<std::uint64_t>(basic.TotalKernelTime.QuadPart);
    usage->pageFaults = basic.TotalPageFaultCount;
    usage->processes = basic.TotalProcesses;
    usage->readBytes = accounting.IoInfo.ReadTransferCount;
    usage->writeBytes = accounting.IoInfo.WriteTransferCount;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
    ZeroMemory(&limits, sizeof limits);
    usage->peakMemory = QueryInformationJobObject(jobHandle, JobObjectExtendedLimitInformation,
                                                  &limits, sizeof limits, nullptr)
                            ? limits.PeakJobMemoryUsed
                            : 0;
    return true;
}

bool Win32ConsoleProcess::ReadProcessUsage(const LaunchedProcess& launched, ProcessUsage* usage)
{
    HANDLE process = reinterpret_cast<HANDLE>(launched.process);
    PROCESS_MEMORY_COUNTERS memory;
    ZeroMemory(&memory, sizeof memory);
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(process, &memory, sizeof memory))
        return false;
    usage->peakWorkingSet = memory.PeakWorkingSetSize;
    usage->pageFaults = memory.PageFaultCount;
    IO_COUNTERS io;
    ZeroMemory(&io, sizeof io);
    usage->ioAnswered = GetProcessIoCounters(process, &io) != 0;
    usage->readBytes = io.ReadTransferCount;
    usage->writeBytes = io.WriteTransferCount;
    return true;
}

bool Win32ConsoleProcess::IsConsoleHandle(std::uintptr_t handle)
{
    DWORD mode = 0;
    return GetConsoleMode(reinterpret_cast<HANDLE>(handle), &mode) != 0;
}

bool Win32ConsoleProcess::ListTakesConsoleHandles()
{
    return IsWindows8OrGreater();
}

namespace {

// cmd.exe, started suspended with standard input from NUL and its output
// on standard error (standard output is the report's). It inherits those
// two handles and no other: an inherited log or JSON file would stay open
// in whatever the command leaves running.
bool StartShell(ProcessPort& port, const char* command, PROCESS_INFORMATION* info)
{
    char shell[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("ComSpec", shell, sizeof shell);
    // /d: no AutoRun commands from the registry; /s with the quotes around
    // the command: cmd.exe runs exactly what is between them.
    std::string line = std::string("\"") +
                       (length > 0 && length < sizeof shell ? shell : "cmd.exe") +
                       "\" /d /s /c \"" + command + "\"";
    HANDLE input = InheritableNul();
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    SetHandleInformation(error, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    std::vector<std::uintptr_t> inherited =
        HandlesToList(port, {reinterpret_cast<std::uintptr_t>(input),
                             reinterpret_cast<std::uintptr_t>(error)});
    SIZE_T listSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
    std::string listBytes(listSize, '\0');
    auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(&listBytes[0]);
    const bool listed =
        !inherited.empty() && InitializeProcThreadAttributeList(list, 1, 0, &listSize) &&
        UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &inherited[0],
                                  inherited.size() * sizeof(HANDLE), nullptr, nullptr);
    STARTUPINFOEXA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = input;
    startup.StartupInfo.hStdOutput = error;
    startup.StartupInfo.hStdError = error;
    startup.lpAttributeList = listed ? list : nullptr;
    // Without the list (a system before Vista, or nothing it may name),
    // nothing is inherited but what every console program gets.
    const BOOL started = CreateProcessA(
        nullptr, &line[0], nullptr, nullptr, listed ? TRUE : FALSE,
        CREATE_SUSPENDED | (listed ? EXTENDED_STARTUPINFO_PRESENT : 0), nullptr, nullptr,
        &startup.StartupInfo, info);
    const DWORD startError = GetLastError();
    if (listed)
        DeleteProcThreadAttributeList(list);
    if (input != INVALID_HANDLE_VALUE)
        CloseHandle(input);
    SetLastError(startError);
    return started != FALSE;
}

}  // namespace

CommandEnd Win32ConsoleProcess::RunShellCommand(const char* command, int endingStops,
                                                unsigned long* exitCode)
{
    PROCESS_INFORMATION info;
    ZeroMemory(&info, sizeof info);
    if (!StartShell(*this, command, &info))
        return kCommandNotStarted;
    // In the job before it runs, so that everything it starts is in it too.
    HANDLE job = reinterpret_cast<HANDLE>(CreateLaunchJob());
    if (job != nullptr && !AssignProcessToJobObject(job, info.hProcess)) {
        CloseHandle(job);
        job = nullptr;
    }
    if (ResumeThread(info.hThread) == static_cast<DWORD>(-1)) {
        const DWORD error = GetLastError();
        TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
        if (job != nullptr)
            CloseHandle(job);
        SetLastError(error);
        return kCommandNotStarted;
    }
    CommandEnd end = kCommandExited;
    // Output that ends without a line end (a prompt) would run into the
    // progress line that follows: its line is ended, where a console shows
    // that the command wrote on it.
    const HANDLE errorOutput = GetStdHandle(STD_ERROR_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO before;
    const bool console = GetConsoleScreenBufferInfo(errorOutput, &before) != FALSE;
    while (WaitForSingleObject(info.hProcess, 100) == WAIT_TIMEOUT) {
        if (StopsRequested() >= endingStops) {
            if (job == nullptr || !TerminateJobObject(job, 1))
                TerminateProcess(info.hProcess, 1);
            end = kCommandEndedByStop;
            break;
        }
    }
    CONSOLE_SCREEN_BUFFER_INFO after;
    if (console && GetConsoleScreenBufferInfo(errorOutput, &after) &&
        after.dwCursorPosition.X != 0 &&
        (after.dwCursorPosition.X != before.dwCursorPosition.X ||
         after.dwCursorPosition.Y != before.dwCursorPosition.Y)) {
        DWORD written = 0;
        WriteFile(errorOutput, "\r\n", 2, &written, nullptr);
    }
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    *exitCode = code;
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    // The job is not one that ends its processes when it closes: what a
    // command that exited left running goes on.
    if (job != nullptr)
        CloseHandle(job);
    return end;
}

PrivilegeResult Win32ConsoleProcess::EnablePrivilege(TokenPrivilege privilege)
{
    const char* name = privilege == kIncreaseQuotaPrivilege ? "SeIncreaseQuotaPrivilege"
                                                            : "SeProfileSingleProcessPrivilege";
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return kPrivilegeFailed;
    TOKEN_PRIVILEGES privileges;
    ZeroMemory(&privileges, sizeof privileges);
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    BOOL adjusted = LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid);
    if (adjusted)
        adjusted = AdjustTokenPrivileges(token, FALSE, &privileges, sizeof privileges, nullptr,
                                         nullptr);
    // AdjustTokenPrivileges succeeds for a privilege the token does not
    // hold; only the last error tells.
    const DWORD error = GetLastError();
    CloseHandle(token);
    if (!adjusted)
        return kPrivilegeFailed;
    return error == ERROR_NOT_ALL_ASSIGNED ? kPrivilegeNotHeld : kPrivilegeEnabled;
}

bool Win32ConsoleProcess::EmptyFileCacheWorkingSet()
{
    const auto set = reinterpret_cast<SetFileCacheSizeCall>(
        SystemFunction("kernel32.dll", "SetSystemFileCacheSize"));
    // Both sizes (SIZE_T)-1: the working set is emptied, its limits kept.
    const SIZE_T empty = static_cast<SIZE_T>(-1);
    return set != nullptr && set(empty, empty, 0) != FALSE;
}

long Win32ConsoleProcess::SetMemoryList(int command)
{
    const auto set = reinterpret_cast<SetSystemInformationCall>(
        SystemFunction("ntdll.dll", "NtSetSystemInformation"));
    if (set == nullptr)
        return -1;
    ULONG value = static_cast<ULONG>(command);
    return set(kSystemMemoryListInformation, &value, sizeof value);
}

bool Win32ConsoleProcess::StandbyPages(std::uint64_t* pages)
{
    const auto query = reinterpret_cast<SystemInformationCall>(
        SystemFunction("ntdll.dll", "NtQuerySystemInformation"));
    if (query == nullptr)
        return false;
    MemoryLists lists;
    ZeroMemory(&lists, sizeof lists);
    ULONG returned = 0;
    // A system that answers with another layout (a 32-bit program on 64-bit
    // Windows may get one) is taken for one that does not say.
    if (query(kSystemMemoryListInformation, &lists, sizeof lists, &returned) != 0 ||
        returned != sizeof lists)
        return false;
    std::uint64_t standby = 0;
    for (ULONG_PTR count : lists.standbyPagesByPriority)
        standby += count;
    *pages = standby;
    return true;
}
