// settle_bench: how long after the application has drawn its content
// kairon-time's --settled mark comes, launch by launch, and what one
// capture of a window's pixels costs.
//
// Usage: settle_bench SAMPLE_APP LAUNCHES DRAW_AFTER_MS SETTLED_MS CAPTURES SOURCE
//
// SOURCE is where the pictures are read from: screen, window or print
// (kairon-time's --capture). LAUNCHES may be 0, for the captures alone.
//
// Kairon's own timing run (TimingRun through the real Win32 side of the
// seam, window found by exact title, then --settled SETTLED_MS) launches
// the sample application LAUNCHES times with --draw-after DRAW_AFTER_MS:
// its window is shown blank and painted that much later. The sample writes
// the performance counter right after the painting into its --stamps
// block (bench/recording_run.h keeps it), and the run's counts give the
// settled mark's. So for each launch:
//   delay = settled mark's count - drawn stamp
// The blank spell may outlast the quiet time: a blank picture never settles.
//
// Then CAPTURES captures, one after another, of a sample window of the
// default size and of one whose client area is 1920 x 1080 (it must fit on
// the screen, or part of it is not there to copy), each timed.
//
// Prints the rule of its percentiles, then:
//   settled launches=<n> draw_after_ms=<x> settled_ms=<x> early=<n> p50_ms=.. p95_ms=..
//           p99_ms=.. max_ms=.. min_ms=..
// where early counts the launches that settled before the content was
// drawn (on the blank window): they have no delay, and are named on
// standard error.
//   capture width=<w> height=<h> captures=<n> p50_ms=.. p95_ms=.. p99_ms=.. max_ms=.. min_ms=..
//   (one capture line per window)
//   hash width=1920 height=1080 hashes=<n> p50_ms=.. (the hash alone, in memory)
// and writes the capture times, one a line in ms, to capture-<w>x<h>.txt.
// and writes the delays, one launch a line in ms, to settle-delays.txt.
// Exit code 0, or 1 when a measurement could not be taken.
#include "bench/recording_run.h"
#include "config/run_settings.h"
#include "engine/timing_run.h"
#include "platform/pixel_hash.h"
#include "platform/win32_console_process.h"
#include "platform/win32_console_windows.h"
#include "platform/win32_platform.h"
#include "report/statistics.h"
#include "tools/sample_app/sample_stamps.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char kTitle[] = "Kairon Settle Sample";
const char kCaptureTitle[] = "Kairon Capture Sample";
const char kLogName[] = "settle-results.txt";
const char kDelaysName[] = "settle-delays.txt";
// Between launches: the close countdown and the one before the next launch.
const int kDelayMs = 50;

int MeasureSettled(const char* sampleApp, int launchCount, int drawAfterMs, int settledMs,
                   CaptureSource source)
{
    char stampsName[64];
    SampleStamps* stamps = CreateStampsBlock("KaironSettleStamps", stampsName);
    if (!stamps)
        return 1;

    char arguments[kArgumentsSize];
    std::snprintf(arguments, sizeof arguments,
                  "--title \"%s\" --exit-after 60000 --stamps %s --draw-after %d", kTitle,
                  stampsName, drawAfterMs);
    RunSettings settings =
        SampleRunSettings(sampleApp, arguments, kTitle, kLogName, launchCount, kDelayMs);
    settings.settledMs = settledMs;
    settings.settleCapture = source;
    settings.autoRun = true;  // as unattended runs are
    DeleteFileA(kLogName);

    const RecordedRun recorded = RecordRun(settings, stamps);
    const std::int64_t frequency = recorded.frequency;
    std::vector<double> delays;
    FILE* delaysFile = std::fopen(kDelaysName, "w");
    int unmarked = 0;
    int early = 0;
    const size_t paired = recorded.Paired();
    for (size_t i = 0; i < paired; ++i) {
        const LaunchStamps& launch = recorded.launches[i];
        const PhaseCounts& counts = recorded.counts[i];
        if (counts.settled == 0) {
            ++unmarked;
            continue;
        }
        // Closed before it drew: its mark was the blank.
        if (launch.drawn == 0) {
            ++early;
            std::fprintf(stderr, "launch %d settled %.1f ms after its start, before it drew\n",
                         static_cast<int>(i + 1), MsAfter(counts.start, counts.settled, frequency));
            continue;
        }
        delays.push_back(MsAfter(launch.drawn, counts.settled, frequency));
        if (delaysFile)
            std::fprintf(delaysFile, "%.3f\n", delays.back());
    }
    if (delaysFile)
        std::fclose(delaysFile);

    std::printf("settled launches=%d draw_after_ms=%d settled_ms=%d early=%d",
                static_cast<int>(delays.size()), drawAfterMs, settledMs, early);
    PrintPercentiles("", delays);
    std::printf("\n");
    if (static_cast<int>(paired) != launchCount || unmarked != 0) {
        std::fprintf(stderr, "%d of %d launches measured, %d did not settle\n",
                     static_cast<int>(paired), launchCount, unmarked);
        return 1;
    }
    return 0;
}

// Times `count` captures of a sample window with a client area of
// width x height (0 x 0: the default window).
int MeasureCapture(const char* sampleApp, int width, int height, int count, CaptureSource source)
{
    char commandLine[MAX_PATH + 200];
    char size[48] = "";
    if (width > 0)
        std::snprintf(size, sizeof size, " --size %dx%d", width, height);
    std::snprintf(commandLine, sizeof commandLine, "\"%s\" --title \"%s\" --exit-after 60000%s",
                  sampleApp, kCaptureTitle, size);
    Win32ConsoleProcess process;
    LaunchedProcess sample;
    if (!process.LaunchProcess(commandLine, &sample)) {
        std::fprintf(stderr, "cannot start the sample application (error %lu)\n",
                     process.LastError());
        return 1;
    }
    HWND window = nullptr;
    for (int tries = 0; tries < 1000 && !window; ++tries) {
        Sleep(10);
        window = FindWindowA(nullptr, kCaptureTitle);
    }
    int result = 1;
    if (window) {
        // Its first painting done.
        Sleep(500);
        Win32ConsoleWindows windows;
        const double frequency = static_cast<double>(process.CounterFrequency());
        RECT client;
        GetClientRect(window, &client);
        std::vector<double> times;
        ClientPicture picture;
        for (int i = 0; i < count; ++i) {
            const std::int64_t start = process.CounterNow();
            if (!windows.CaptureClient(FromHwnd(window), source, &picture))
                break;
            times.push_back(static_cast<double>(process.CounterNow() - start) * 1000.0 /
                            frequency);
        }
        std::printf("capture width=%ld height=%ld captures=%d", client.right, client.bottom,
                    static_cast<int>(times.size()));
        char timesName[64];
        std::snprintf(timesName, sizeof timesName, "capture-%ldx%ld.txt", client.right,
                      client.bottom);
        if (FILE* timesFile = std::fopen(timesName, "w")) {
            for (double time : times)
                std::fprintf(timesFile, "%.3f\n", time);
            std::fclose(timesFile);
        }
        PrintPercentiles("", times);
        std::printf("\n");
        result = static_cast<int>(times.size()) == count ? 0 : 1;
        if (result != 0)
            std::fprintf(stderr, "a capture of the %ldx%ld window failed\n", client.right,
                         client.bottom);
        PostMessageA(window, WM_CLOSE, 0, 0);
    } else {
        std::fprintf(stderr, "the capture window did not appear\n");
    }
    if (WaitForSingleObject(reinterpret_cast<HANDLE>(sample.process), 10000) != WAIT_OBJECT_0)
        process.Terminate(sample);
    process.CloseProcessHandles(sample);
    return result;
}

// The hash alone, of a whole screen's pixels already in memory: the part of
// a capture that is Kairon's own work.
void MeasureHash(int count)
{
    const int width = 1920;
    const int height = 1080;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint32_t>(i * 2654435761u);
    Win32Process process;
    const double frequency = static_cast<double>(process.CounterFrequency());
    std::vector<double> times;
    volatile std::uint64_t sink = 0;
    for (int i = 0; i < count; ++i) {
        const std::int64_t start = process.CounterNow();
        sink = sink ^ HashPixels(pixels.data(), width, height);
        times.push_back(static_cast<double>(process.CounterNow() - start) * 1000.0 / frequency);
    }
    std::printf("hash width=%d height=%d hashes=%d", width, height, count);
    PrintPercentiles("", times);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv)
{
    const char* const sources[] = {"screen", "window", "print"};
    int sourceIndex = -1;
    for (int i = 0; argc == 7 && i < 3; ++i) {
        if (std::strcmp(argv[6], sources[i]) == 0)
            sourceIndex = i;
    }
    if (sourceIndex < 0) {
        std::fprintf(stderr, "usage: settle_bench SAMPLE_APP LAUNCHES DRAW_AFTER_MS SETTLED_MS "
                             "CAPTURES screen|window|print\n");
        return 1;
    }
    const CaptureSource source = static_cast<CaptureSource>(sourceIndex);
    const int launches = std::atoi(argv[2]);
    const int drawAfterMs = std::atoi(argv[3]);
    const int settledMs = std::atoi(argv[4]);
    const int captures = std::atoi(argv[5]);
    if (launches < 0 || drawAfterMs <= 0 || settledMs <= 0 || captures <= 0) {
        std::fprintf(stderr, "DRAW_AFTER_MS, SETTLED_MS and CAPTURES must be positive, "
                             "LAUNCHES 0 or more\n");
        return 1;
    }
    std::printf("percentiles: %s\n", kPercentileRule);
    std::fflush(stdout);
    int result = 0;
    if (launches > 0)
        result = MeasureSettled(argv[1], launches, drawAfterMs, settledMs, source);
    std::fflush(stdout);
    result |= MeasureCapture(argv[1], 0, 0, captures, source);
    result |= MeasureCapture(argv[1], 1920, 1080, captures, source);
    MeasureHash(captures);
    return result;
}
