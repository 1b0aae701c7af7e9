#include "bench/window_host.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kHostClass[] = "KaironBenchFiller";
const char kHostOption[] = "--host-windows";
// Opening 1000 windows under Wine on a loaded machine takes a while.
const DWORD kHostReadyTimeoutMs = 180000;
const DWORD kHostQuitTimeoutMs = 30000;

LRESULT CALLBACK FillerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

int HostWindows(int count, const char* readyName, const char* quitName)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = FillerWindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kHostClass;
    RegisterClassExA(&windowClass);
    for (int i = 0; i < count; ++i) {
        char title[64];
        std::snprintf(title, sizeof title, "Kairon bench filler window %03d", i + 1);
        HWND window = CreateWindowExA(0, kHostClass, title, WS_OVERLAPPEDWINDOW,
                                      (i % 20) * 30, (i / 20 % 20) * 30, 200, 100, nullptr,
                                      nullptr, instance, nullptr);
        if (!window)
            return 1;
        ShowWindow(window, SW_SHOWNOACTIVATE);
    }
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, readyName);
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, quitName);
    if (!ready || !quit)
        return 1;
    SetEvent(ready);
    // Served, since a title read of another process's window may be a
    // message to its thread.
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &quit, FALSE, INFINITE, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1)
            return 0;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

}  // namespace

bool RunWindowHostIfAsked(int argc, char** argv, int* exitCode)
{
    if (argc != 5 || std::strcmp(argv[1], kHostOption) != 0)
        return false;
    *exitCode = HostWindows(std::atoi(argv[2]), argv[3], argv[4]);
    return true;
}

bool StartWindowHost(int count, WindowHost* host)
{
    *host = WindowHost();
    if (count <= 0)
        return true;
    char readyName[64];
    char quitName[64];
    std::snprintf(readyName, sizeof readyName, "KaironBenchHostReady-%lu-%lu",
                  GetCurrentProcessId(), GetTickCount());
    std::snprintf(quitName, sizeof quitName, "KaironBenchHostQuit-%lu-%lu",
                  GetCurrentProcessId(), GetTickCount());
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, readyName);
    host->quit = CreateEventA(nullptr, TRUE, FALSE, quitName);

    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    char commandLine[MAX_PATH + 200];
    std::snprintf(commandLine, sizeof commandLine, "\"%s\" %s %d %s %s", self, kHostOption,
                  count, readyName, quitName);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    ZeroMemory(&info, sizeof info);
    if (!ready || !host->quit ||
        !CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        std::fprintf(stderr, "cannot start the window host (error %lu)\n", GetLastError());
        return false;
    }
    CloseHandle(info.hThread);
    host->process = info.hProcess;
    HANDLE waitFor[2] = {ready, host->process};
    const bool opened =
        WaitForMultipleObjects(2, waitFor, FALSE, kHostReadyTimeoutMs) == WAIT_OBJECT_0;
    CloseHandle(ready);
    if (!opened)
        std::fprintf(stderr, "the window host did not open its %d windows\n", count);
    return opened;
}

void StopWindowHost(WindowHost* host)
{
    if (host->quit)
        SetEvent(host->quit);
    if (host->process) {
        if (WaitForSingleObject(host->process, kHostQuitTimeoutMs) != WAIT_OBJECT_0)
            TerminateProcess(host->process, 1);
        CloseHandle(host->process);
    }
    if (host->quit)
        CloseHandle(host->quit);
    *host = WindowHost();
}
