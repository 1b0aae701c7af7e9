// search_pass_bench: what one pass of Kairon's window search costs, set
// against the pass it replaced and against bare loops.
//
// Usage: search_pass_bench [WINDOWS [REPETITIONS]]   (defaults 300 and 1000)
//
// A second copy of this program opens WINDOWS extra titled top-level
// windows (bench/window_host.h), so that, as in a real run, the windows
// searched belong to another process. Then, in this process, each of these
// passes is timed REPETITIONS times, interleaved and in a rotating order so
// that drifts in the machine's load touch them all alike:
//   kairon           Kairon's pass: Win32Windows::EnumTopLevelWindows with
//                    SearchWindowProc, for a window name that matches
//                    nothing (partial match, every window considered),
//                    debug off; one GetWindowTextA per window;
//   kairon-two-call  the same pass as Kairon made it before: the length
//                    (GetWindowTextLengthA) first, then the title, then the
//                    same match; the reference the goal is measured against;
//   bare-two-call    EnumWindows with GetWindowTextLengthA and GetWindowTextA;
//   bare-one-call    EnumWindows with GetWindowTextA alone.
// The final line is
//   search_pass windows=<n> kairon_median_us=<x> two_call_median_us=<y> ratio=<x/y>
// Exit code 0, or 1 when the windows cannot be opened or a pass goes wrong.
#include "bench/window_host.h"
#include "config/run_settings.h"
#include "engine/log_sink.h"
#include "engine/window_detection.h"
#include "platform/win32_platform.h"
#include "report/statistics.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char kNameThatMatchesNothing[] = "Kairon bench: no window has this title";

// Kairon's search callback as it was with two title calls per window,
// otherwise the same steps (debug off).
bool TwoCallSearchProc(WindowHandle window, void* context)
{
    Detection* detection = static_cast<Detection*>(context);
    const bool inSnapshot = detection->snapshot.count(window) != 0;
    if (detection->settings.newWindowsOnly && inSnapshot)
        return true;
    if (GetWindowTextLengthA(ToHwnd(window)) <= 0)
        return true;
    char title[kTitleSize] = "";
    detection->windows.Title(window, title, kTitleSize);
    if (!TitleMatches(detection->settings, detection->windows, title))
        return true;
    if (detection->windows.IsOwnWindow(window))
        return true;
    detection->foundWindow.found = true;
    detection->foundWindow.handle = window;
    return false;
}

struct BareCount {
    bool askLength = false;
    int titled = 0;
};

BOOL CALLBACK BareProc(HWND window, LPARAM lParam)
{
    BareCount* count = reinterpret_cast<BareCount*>(lParam);
    if (count->askLength && GetWindowTextLengthA(window) <= 0)
        return TRUE;
    char title[kTitleSize];
    if (GetWindowTextA(window, title, kTitleSize) > 0)
        ++count->titled;
    return TRUE;
}

enum Pass { kKairon, kKaironTwoCall, kBareTwoCall, kBareOneCall, kPassKinds };
const char* const kPassNames[kPassKinds] = {"kairon", "kairon-two-call", "bare-two-call",
                                            "bare-one-call"};

double Microseconds(std::int64_t from, std::int64_t to, std::int64_t frequency)
{
    return static_cast<double>(to - from) * 1e6 / static_cast<double>(frequency);
}

// Runs one pass of the given kind; false when it matched a window.
bool RunPass(Pass kind, Detection* detection, Win32Windows* windows, int* titled)
{
    if (kind == kKairon || kind == kKaironTwoCall) {
        detection->foundWindow = FoundWindow();
        windows->EnumTopLevelWindows(kind == kKairon ? SearchWindowProc : TwoCallSearchProc,
                                     detection);
        return !detection->foundWindow.found;
    }
    BareCount count;
    count.askLength = kind == kBareTwoCall;
    EnumWindows(BareProc, reinterpret_cast<LPARAM>(&count));
    *titled = count.titled;
    return true;
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
    Detection detection{settings, process, windows, closedLog, {}, {}, {}};

    const std::int64_t frequency = process.CounterFrequency();
    std::vector<double> times[kPassKinds];
    int titled = 0;
    // The first round warms caches and is not counted.
    for (int round = -1; round < repetitions; ++round) {
        for (int k = 0; k < kPassKinds; ++k) {
            const Pass kind = static_cast<Pass>((round + kPassKinds + k) % kPassKinds);
            const std::int64_t start = process.CounterNow();
            const bool clean = RunPass(kind, &detection, &windows, &titled);
            const std::int64_t end = process.CounterNow();
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
        std::sort(times[k].begin(), times[k].end());
        const double median = Percentile(times[k], 0.5);
        std::printf("  %-16s median %8.1f us  p95 %8.1f us  (%.2f us per titled window)\n",
                    kPassNames[k], median, Percentile(times[k], 0.95),
                    median / (titled > 0 ? titled : 1));
    }
    const double kairon = Percentile(times[kKairon], 0.5);
    const double twoCall = Percentile(times[kKaironTwoCall], 0.5);
    std::printf("search_pass windows=%d kairon_median_us=%.1f two_call_median_us=%.1f "
                "ratio=%.2f\n",
                windowCount, kairon, twoCall, kairon / twoCall);
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
    int hostExit = 0;
    if (RunWindowHostIfAsked(argc, argv, &hostExit))
        return hostExit;

    const int windowCount = PositiveNumber(argc > 1 ? argv[1] : nullptr, 300);
    const int repetitions = PositiveNumber(argc > 2 ? argv[2] : nullptr, 1000);
    WindowHost host;
    int result = 1;
    if (StartWindowHost(windowCount, &host))
        result = Measure(windowCount, repetitions);
    StopWindowHost(&host);
    return result;
}
