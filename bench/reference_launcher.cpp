// reference_launcher: the fastest any observer could notice that an
// application's window is up, for comparison with what Kairon measures.
//
// Usage: reference_launcher [--window TITLE] APPLICATION [ARGUMENTS...]
//
// The application must be the sample application (or any program that
// understands --event NAME and sets that event the instant its window is
// visible). The launcher reads the performance counter, creates the process
// with " --event <unique name>" appended to its arguments, waits on the
// event (no polling), reads the counter again and prints the seconds
// between the two reads with six decimals. It then closes the application
// (WM_CLOSE to its windows; ended by force if it is still there 5 s later).
//
// With --window TITLE it waits instead for what Kairon's search looks for,
// a top-level window with exactly that title, whether shown yet or not:
// FindWindowA every millisecond, the closest a polling observer comes to
// the instant the window exists. The event is still named on the
// application's command line, so the application does the same work.
//
// Exit code: 0 with the seconds on standard output; 1 when the process
// cannot be created, a window with the title is already open, or the
// window does not appear within 30 seconds.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const DWORD kEventTimeoutMs = 30000;
const DWORD kCloseTimeoutMs = 5000;

BOOL CALLBACK CloseWindowOfProcess(HWND window, LPARAM processId)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(processId))
        PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Polls for a top-level window with exactly this title; true once it exists.
bool WaitForWindow(const char* title, HANDLE process)
{
    const DWORD started = GetTickCount();
    while (!FindWindowA(nullptr, title)) {
        if (GetTickCount() - started > kEventTimeoutMs ||
            WaitForSingleObject(process, 0) == WAIT_OBJECT_0)
            return false;
        Sleep(1);
    }
    return true;
}

// Each argument as the C runtime reads it back: in double quotes, with
// embedded quotes escaped (the benchmark's arguments hold no backslashes
// before a quote).
void AppendQuoted(std::string* commandLine, const char* argument)
{
    commandLine->push_back('"');
    for (const char* c = argument; *c; ++c) {
        if (*c == '"')
            commandLine->push_back('\\');
        commandLine->push_back(*c);
    }
    commandLine->push_back('"');
}

}  // namespace

int main(int argc, char** argv)
{
    int first = 1;
    const char* windowTitle = nullptr;
    if (argc > 2 && std::strcmp(argv[1], "--window") == 0) {
        windowTitle = argv[2];
        first = 3;
    }
    if (argc <= first) {
        std::fprintf(stderr,
                     "usage: reference_launcher [--window TITLE] APPLICATION [ARGUMENTS...]\n");
        return 1;
    }
    if (windowTitle && FindWindowA(nullptr, windowTitle)) {
        std::fprintf(stderr, "a window titled \"%s\" is already open\n", windowTitle);
        return 1;
    }

    char eventName[64];
    std::snprintf(eventName, sizeof eventName, "KaironReferenceVisible-%lu-%lu",
                  GetCurrentProcessId(), GetTickCount());
    // Created before the launch, manual reset and clear, so a signal that
    // comes before the wait starts is not lost.
    HANDLE visible = CreateEventA(nullptr, TRUE, FALSE, eventName);
    if (!visible) {
        std::fprintf(stderr, "cannot create event %s\n", eventName);
        return 1;
    }

    std::string commandLine;
    for (int i = first; i < argc; ++i) {
        if (i > first)
            commandLine.push_back(' ');
        AppendQuoted(&commandLine, argv[i]);
    }
    commandLine += " --event ";
    AppendQuoted(&commandLine, eventName);

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION launched;
    ZeroMemory(&launched, sizeof launched);

    // The same two reads around the same call as Kairon's timing run:
    // counter, CreateProcessA, ...wait..., counter.
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &launched)) {
        std::fprintf(stderr, "cannot launch %s (error %lu)\n", argv[first], GetLastError());
        CloseHandle(visible);
        return 1;
    }
    const bool seen = windowTitle
                          ? WaitForWindow(windowTitle, launched.hProcess)
                          : WaitForSingleObject(visible, kEventTimeoutMs) == WAIT_OBJECT_0;
    QueryPerformanceCounter(&end);

    // The application has served its purpose; whoever runs the next launch
    // must not find it still open. Closed as Kairon closes it, so that it
    // finishes what it does after showing its window (such as recording).
    EnumWindows(CloseWindowOfProcess, static_cast<LPARAM>(launched.dwProcessId));
    if (WaitForSingleObject(launched.hProcess, kCloseTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(launched.hProcess, 0);
        WaitForSingleObject(launched.hProcess, kCloseTimeoutMs);
    }
    CloseHandle(launched.hThread);
    CloseHandle(launched.hProcess);
    CloseHandle(visible);

    if (!seen) {
        std::fprintf(stderr, "the application's window did not appear\n");
        return 1;
    }
    std::printf("%.6f\n", static_cast<double>(end.QuadPart - start.QuadPart) /
                              static_cast<double>(frequency.QuadPart));
    return 0;
}
