// sample_app: a small window for Kairon to time, close and be tested against.
//
// Usage (every option may be left out):
//   sample_app [--title TEXT] [--delay MS] [--show normal|min|max|hidden|never]
//              [--event NAME] [--record FILE] [--stamps NAME] [--exit-after MS]
//
//   --title TEXT      title of the top-level window (default "Kairon Sample").
//   --delay MS        milliseconds to wait after start before the window is
//                     created, as a slow application would (default 0).
//   --show STATE      how the window appears: normal, min (minimised),
//                     max (maximised), hidden (created with its title but
//                     never shown) or never (no window is created at all).
//                     Default normal.
//   --event NAME      a named event (opened, or created if missing) that is
//                     set the instant the window is visible, for an observer
//                     that waits on it instead of polling.
//   --record FILE     appends one line per event to FILE, each starting with
//                     this process's id:
//                       <pid> start <counter>            at process start
//                       <pid> visible <counter> <state>  window just shown
//                       <pid> WM_CLOSE
//                       <pid> WM_SYSCOMMAND SC_CLOSE
//                       <pid> WM_SYSKEYDOWN VK_F4 0x<lParam>
//                       <pid> destroyed
//                     <counter> is QueryPerformanceCounter, comparable between
//                     processes; <state> is normal, min or max. Lines end in
//                     a bare LF and are flushed at once.
//   --stamps NAME     a named shared memory block (created by whoever runs
//                     the application) of two 64-bit performance counter
//                     readings: the first written right after
//                     CreateWindowExA returns the titled window (from then
//                     on a search for it can find it), the second right
//                     after ShowWindow. No file is touched in between, so
//                     recording costs the window nothing.
//   --exit-after MS   ends the process after MS milliseconds whatever else
//                     happens (default: never), so that a window nobody
//                     closes, or one that never appears, does not linger.
//
// Closing: WM_CLOSE, WM_SYSCOMMAND/SC_CLOSE and WM_SYSKEYDOWN/VK_F4 with the
// Alt context bit each close the window on their own, through the default
// window procedure, exactly as an ordinary application would; each one is
// recorded when it arrives, so a close that leads to another (Alt-F4 to
// SC_CLOSE to WM_CLOSE) shows as several lines in the order received.
//
// Exit code: 0 after the window is closed or the time limit passes; 2 for a
// command line it does not understand (shown in a message box).
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kWindowClass[] = "KaironSampleWindow";

enum class ShowState { Normal, Minimised, Maximised, Hidden, Never };

struct Options {
    const char* title = "Kairon Sample";
    DWORD delayMs = 0;
    ShowState show = ShowState::Normal;
    const char* eventName = nullptr;
    const char* recordPath = nullptr;
    const char* stampsName = nullptr;
    DWORD exitAfterMs = 0;  // 0: no limit
};

Options g_options;

bool ParseMilliseconds(const char* text, DWORD* value)
{
    char* end = nullptr;
    const unsigned long parsed = std::strtoul(text, &end, 10);
    if (end == text || *end != '\0' || text[0] == '-')
        return false;
    *value = static_cast<DWORD>(parsed);
    return true;
}

bool ParseShowState(const char* text, ShowState* show)
{
    static const struct {
        const char* name;
        ShowState state;
    } kStates[] = {
        {"normal", ShowState::Normal}, {"min", ShowState::Minimised},
        {"max", ShowState::Maximised}, {"hidden", ShowState::Hidden},
        {"never", ShowState::Never},
    };
    for (const auto& entry : kStates) {
        if (std::strcmp(text, entry.name) == 0) {
            *show = entry.state;
            return true;
        }
    }
    return false;
}

// Returns the offending argument, or null when the whole line was understood.
const char* ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        const char* name = argv[i];
        if (i + 1 >= argc)
            return name;
        const char* value = argv[++i];
        bool understood = true;
        if (std::strcmp(name, "--title") == 0)
            options->title = value;
        else if (std::strcmp(name, "--delay") == 0)
            understood = ParseMilliseconds(value, &options->delayMs);
        else if (std::strcmp(name, "--show") == 0)
            understood = ParseShowState(value, &options->show);
        else if (std::strcmp(name, "--event") == 0)
            options->eventName = value;
        else if (std::strcmp(name, "--record") == 0)
            options->recordPath = value;
        else if (std::strcmp(name, "--stamps") == 0)
            options->stampsName = value;
        else if (std::strcmp(name, "--exit-after") == 0)
            understood = ParseMilliseconds(value, &options->exitAfterMs);
        else
            understood = false;
        if (!understood)
            return name;
    }
    return nullptr;
}

// One line per call, opened and closed each time: several instances may
// record into the same file, and a line must be on disk before whoever
// reads the file next looks at it.
void Record(const char* format, ...)
{
    if (!g_options.recordPath)
        return;
    char line[512];
    int length = std::snprintf(line, sizeof line, "%lu ", GetCurrentProcessId());
    va_list args;
    va_start(args, format);
    length += std::vsnprintf(line + length, sizeof line - length, format, args);
    va_end(args);
    if (length >= static_cast<int>(sizeof line) - 1)
        length = static_cast<int>(sizeof line) - 2;
    line[length++] = '\n';
    FILE* file = std::fopen(g_options.recordPath, "ab");
    if (!file)
        return;
    std::fwrite(line, 1, static_cast<size_t>(length), file);
    std::fclose(file);
}

long long CounterNow()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// The --stamps block: window created, window shown.
struct Stamps {
    volatile LONGLONG created;
    volatile LONGLONG shown;
};

// Mapped before the window exists, so that a stamp costs one store.
Stamps* OpenStamps()
{
    if (!g_options.stampsName)
        return nullptr;
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, g_options.stampsName);
    if (!mapping)
        return nullptr;
    return static_cast<Stamps*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(Stamps)));
}

void SignalVisible()
{
    if (!g_options.eventName)
        return;
    HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, g_options.eventName);
    if (!event)
        event = CreateEventA(nullptr, TRUE, FALSE, g_options.eventName);
    if (event) {
        SetEvent(event);
        CloseHandle(event);
    }
}

LRESULT CALLBACK SampleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        Record("WM_CLOSE");
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            Record("WM_SYSCOMMAND SC_CLOSE");
        break;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4)
            Record("WM_SYSKEYDOWN VK_F4 0x%08lX", static_cast<unsigned long>(lParam));
        break;
    case WM_DESTROY:
        Record("destroyed");
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterSampleClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SampleWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExA(&windowClass) != 0;
}

int ShowCommandFor(ShowState show)
{
    switch (show) {
    case ShowState::Minimised:
        return SW_SHOWMINIMIZED;
    case ShowState::Maximised:
        return SW_SHOWMAXIMIZED;
    default:
        return SW_SHOWNORMAL;
    }
}

const char* StateName(ShowState show)
{
    switch (show) {
    case ShowState::Minimised:
        return "min";
    case ShowState::Maximised:
        return "max";
    default:
        return "normal";
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    const char* bad = ParseOptions(__argc, __argv, &g_options);
    if (bad) {
        char text[640];
        std::snprintf(text, sizeof text,
                      "Not understood: %.500s\n\nUsage: sample_app [--title TEXT] [--delay MS] "
                      "[--show normal|min|max|hidden|never] [--event NAME] [--record FILE] "
                      "[--stamps NAME] [--exit-after MS]",
                      bad);
        MessageBoxA(nullptr, text, "sample_app", MB_OK | MB_ICONERROR);
        return 2;
    }
    Record("start %lld", CounterNow());
    Stamps* stamps = OpenStamps();

    // The limit runs from the process start, so it is a thread timer that
    // exists before any window does.
    UINT_PTR exitTimer = 0;
    if (g_options.exitAfterMs != 0)
        exitTimer = SetTimer(nullptr, 0, g_options.exitAfterMs, nullptr);

    // A slow application: nothing to find until the delay has passed.
    if (g_options.delayMs != 0)
        Sleep(g_options.delayMs);

    if (g_options.show != ShowState::Never) {
        RegisterSampleClass(instance);
        HWND window = CreateWindowExA(0, kWindowClass, g_options.title, WS_OVERLAPPEDWINDOW,
                                      CW_USEDEFAULT, CW_USEDEFAULT, 320, 200, nullptr, nullptr,
                                      instance, nullptr);
        if (!window)
            return 1;
        if (stamps)
            stamps->created = CounterNow();
        if (g_options.show != ShowState::Hidden) {
            ShowWindow(window, ShowCommandFor(g_options.show));
            if (stamps)
                stamps->shown = CounterNow();
            SignalVisible();
            Record("visible %lld %s", CounterNow(), StateName(g_options.show));
            UpdateWindow(window);
        }
    }

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // The time limit's timer has no window, so it arrives here.
        if (message.message == WM_TIMER && message.hwnd == nullptr &&
            message.wParam == exitTimer)
            break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
