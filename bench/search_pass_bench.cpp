// search_pass_bench: what one pass of Kairon's window search costs, set
// against the least any title search can do.
//
// Usage: search_pass_bench [WINDOWS [REPETITIONS]]   (defaults 300 and 1000)
//
// A second copy of this program (started with --host) opens WINDOWS extra
// titled top-level windows, so that, as in a real run, the windows searched
// belong to another process. Then, in this process, each of these passes is
// timed REPETITIONS times, interleaved and in a rotating order so that
// drifts in the machine's load touch them all alike:
//   kairon        Kairon's own pass: Win32Windows::EnumTopLevelWindows with
//                 SearchWindowProc, for a window name that matches nothing
//                 (partial match, every window considered), debug off;
//   bare          EnumWindows with GetWindowTextLengthA and GetWindowTextA;
//   bare+match    the same plus StrStrIA of the name, as Kairon compares;
//   bare+match+owner  the same plus the GetWindowThreadProcessId that tells
//                 Kairon's own windows apart.
// The last two only show where any difference goes. The final line is
//   search_pass windows=<n> kairon_median_us=<x> bare_median_us=<y> overhead_pct=<z>
// Exit code 0, or 1 when the windows cannot be opened or a pass goes wrong.
#include "config/run_settings.h"
#include "engine/log_sink.h"
#include "engine/window_detection.h"
#include "platform/win32_platform.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char kHostClass[] = "KaironBenchFiller";
const char kNameThatMatchesNothing[] = "Kairon bench: no window has this title";
const DWORD kHostReadyTimeoutMs = 60000;

// ---- the other process: the extra windows ----

LRESULT CALLBACK FillerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// Opens the windows, says so, and serves their messages until told to stop.
int HostWindows(int count, const char* readyName, const char* quitName)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
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
                                      (i % 20) * 30, (i / 20) * 30, 200, 100, nullptr, nullptr,
                                      instance, nullptr);
        if (!window)
            return 1;
        ShowWindow(window, SW_SHOWNOACTIVATE);
    }
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, readyName);
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, quitName);
    if (!ready || !quit)
        return 1;
    SetEvent(ready);
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

// ---- this process: the passes ----

struct BareCount {
    int titled = 0;
    bool match = false;
    bool owner = false;
    int found = 0;
};

BOOL CALLBACK BareProc(HWND window, LPARAM lParam)
{
    BareCount* count = reinterpret_cast<BareCount*>(lParam);
    if (GetWindowTextLengthA(window) <= 0)
        return TRUE;
    char title[kTitleSize];
    GetWindowTextA(window, title, kTitleSize);
    ++count->titled;
    if (count->owner) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        if (processId == GetCurrentProcessId())
            return TRUE;
    }
    if (count->match && StrStrIA(title, kNameThatMatchesNothing) != nullptr)
        ++count->found;
    return TRUE;
}

enum Pass { kKairon, kBare, kBareMatch, kBareMatchOwner, kPassKinds };
const char* const kPassNames[kPassKinds] = {"kairon", "bare", "bare+match", "bare+match+owner"};

double Microseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to,
                    const LARGE_INTEGER& frequency)
{
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1e6 /
           static_cast<double>(frequency.QuadPart);
}

// Runs one pass of the given kind; false when it saw something it should not.
bool RunPass(Pass kind, Detection* detection, Win32Windows* windows, int* titled)
{
    if (kind == kKairon) {
        windows->EnumTopLevelWindows(SearchWindowProc, detection);
        return !detection->foundWindow.found;
    }
    BareCount count;
    count.match = kind == kBareMatch || kind == kBareMatchOwner;
    count.owner = kind == kBareMatchOwner;
    EnumWindows(BareProc, reinterpret_cast<LPARAM>(&count));
    *titled = count.titled;
    return count.found == 0;
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    // Nearest rank: the smallest value with at least `fraction` of them at
    // or below it.
    size_t rank = static_cast<size_t>(fraction * static_cast<double>(values.size()) + 0.999999);
    if (rank < 1)
        rank = 1;
    return values[std::min(rank, values.size()) - 1];
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int Measure(int windowCount, int repetitions)
{
    RunSettings settings;
    std::memset(&settings, 0, sizeof settings);
    std::snprintf(settings.windowName, sizeof settings.windowName, "%s",
                  kNameThatMatchesNothing);
    settings.detectByWindowName = true;
    Win32Process process;
    Win32Windows windows;
    LogSink closedLog;
    Detection detection{settings, process, windows, closedLog, {}, {}};

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times[kPassKinds];
    int titled = 0;
    // The first round warms caches and is not counted.
    for (int round = -1; round < repetitions; ++round) {
        for (int k = 0; k < kPassKinds; ++k) {
            const Pass kind = static_cast<Pass>((round + kPassKinds + k) % kPassKinds);
            LARGE_INTEGER start;
            LARGE_INTEGER end;
            QueryPerformanceCounter(&start);
            const bool clean = RunPass(kind, &detection, &windows, &titled);
            QueryPerformanceCounter(&end);
            if (!clean) {
                std::fprintf(stderr, "a %s pass matched a window\n", kPassNames[kind]);
                return 1;
            }
            if (round >= 0)
                times[kind].push_back(Microseconds(start, end, frequency));
        }
    }

    std::printf("search pass: %d extra windows, %d titled top-level windows in all, "
                "%d passes of each kind, interleaved\n",
                windowCount, titled, repetitions);
    for (int k = 0; k < kPassKinds; ++k) {
        std::printf("  %-17s median %8.1f us  p95 %8.1f us  (%.2f us per titled window)\n",
                    kPassNames[k], Median(times[k]), Percentile(times[k], 0.95),
                    Median(times[k]) / (titled > 0 ? titled : 1));
    }
    const double kairon = Median(times[kKairon]);
    const double bare = Median(times[kBare]);
    std::printf("search_pass windows=%d kairon_median_us=%.1f bare_median_us=%.1f "
                "overhead_pct=%+.1f\n",
                windowCount, kairon, bare, (kairon / bare - 1.0) * 100.0);
    return titled >= windowCount ? 0 : 1;
}

int PositiveNumber(const char* text, int fallback)
{
    const int value = text ? std::atoi(text) : 0;
    return value > 0 ? value : fallback;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "--host") == 0)
        return HostWindows(PositiveNumber(argv[2], 300), argv[3], argv[4]);

    const int windowCount = PositiveNumber(argc > 1 ? argv[1] : nullptr, 300);
    const int repetitions = PositiveNumber(argc > 2 ? argv[2] : nullptr, 1000);

    char readyName[64];
    char quitName[64];
    std::snprintf(readyName, sizeof readyName, "KaironBenchHostReady-%lu",
                  GetCurrentProcessId());
    std::snprintf(quitName, sizeof quitName, "KaironBenchHostQuit-%lu", GetCurrentProcessId());
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, readyName);
    HANDLE quit = CreateEventA(nullptr, TRUE, FALSE, quitName);

    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    char commandLine[MAX_PATH + 200];
    std::snprintf(commandLine, sizeof commandLine, "\"%s\" --host %d %s %s", self, windowCount,
                  readyName, quitName);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION host;
    ZeroMemory(&host, sizeof host);
    if (!ready || !quit ||
        !CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &host)) {
        std::fprintf(stderr, "cannot start the window host (error %lu)\n", GetLastError());
        return 1;
    }
    HANDLE waitFor[2] = {ready, host.hProcess};
    int result = 1;
    if (WaitForMultipleObjects(2, waitFor, FALSE, kHostReadyTimeoutMs) == WAIT_OBJECT_0)
        result = Measure(windowCount, repetitions);
    else
        std::fprintf(stderr, "the window host did not open its windows\n");

    SetEvent(quit);
    if (WaitForSingleObject(host.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(host.hProcess, 1);
    CloseHandle(host.hThread);
    CloseHandle(host.hProcess);
    return result;
}
