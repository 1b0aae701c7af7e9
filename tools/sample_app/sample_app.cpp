// sample_app: a small window for Kairon to time, close and be tested against.
//
// Usage (every option may be left out):
//   sample_app [--title TEXT] [--delay MS] [--show normal|min|max|hidden|never]
//              [--event NAME] [--record FILE] [--stamps NAME] [--exit-after MS]
//              [--on-close close|refuse|hang|slow:MS] [--exit-code N]
//              [--single-instance NAME] [--draw-after MS] [--animate MS]
//              [--size WIDTHxHEIGHT] [--topmost] [--show-after MS] [--at X,Y]
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
//                     the application; sample_stamps.h) of 64-bit
//                     performance counter readings: right before and right
//                     after CreateWindowExA creates the titled window (from
//                     then on a search for it can find it), right after
//                     ShowWindow, and with --draw-after right after the
//                     content is painted. No file is touched in between, so
//                     recording costs the window nothing.
//   --exit-after MS   ends the process after MS milliseconds whatever else
//                     happens (default: never), so that a window nobody
//                     closes, one that never appears, or one whose thread
//                     hangs, does not linger. A thread of its own ends the
//                     process, so a main thread that no longer answers
//                     cannot hold it up.
//   --on-close HOW    what a close request does to the window:
//                       close     closes it (default; see Closing below)
//                       refuse    nothing: the request is recorded and
//                                 ignored, as by a program whose "Save
//                                 changes?" question nobody answers
//                       hang      the window's thread stops answering for
//                                 good at the first request, recorded first;
//                                 only --exit-after ends the process then
//                       slow:MS   the window stays, answering messages, and
//                                 closes MS milliseconds after the first
//                                 WM_CLOSE, as a program saving its work
//                                 does; later requests are recorded only
//   --exit-code N     ends the process with exit code N right after its
//                     start line is recorded, before any window exists, as
//                     a program that fails at start-up does.
//   --single-instance NAME
//                     one instance per NAME, as a single-instance program
//                     does: the first instance holds a named mutex and a
//                     message-only window titled NAME. A later one started
//                     with the same NAME finds that window (waiting up to
//                     5 s for it), posts it a request for a window, records
//                     "<pid> handed off" and exits with code 0 before its
//                     delay, without a window of its own; the first
//                     instance then opens another top-level window with
//                     the same title, options and records, as though it had
//                     started again. It ends when its last window is closed.
//                     A later instance that finds no such window exits with
//                     code 3.
//   --draw-after MS   the window is shown blank (its background only) and
//                     its content (coloured bars and a line of text) is
//                     painted MS milliseconds later; then the drawn stamp is
//                     written and "<pid> drawn <counter>" recorded. Without
//                     it the content is painted at once.
//   --animate MS      a bar moves across the window every MS milliseconds,
//                     for as long as it is open: content that never settles.
//   --size WxH        the client area's size in pixels (default: a window
//                     of 320 by 200 with its frame).
//   --topmost         the window stays above every other (WS_EX_TOPMOST), as
//                     a notification or a tool palette does: with --size,
//                     a cover for other programs' windows.
//   --show-after MS   the window is created hidden, title and all, and shown
//                     (as --show says) MS milliseconds later, as a program
//                     that shows its main window once it is ready does; the
//                     "visible" line, the shown stamp and --draw-after's
//                     time count from the showing.
//   --at X,Y          the window's top left corner at these screen
//                     coordinates, which may be negative or beyond the
//                     screen: a window partly or wholly off the screen.
//
// Options beside the program: a file named like the program with .options
// for .exe (sample_app.options beside sample_app.exe), if there is one,
// holds options read before the command line's, one option or value a
// line. Copies of the sample in two folders, each with its own file, then
// start differently from one command line, as two builds of one
// application do; the command line's options win.
//
// Closing: WM_CLOSE, WM_SYSCOMMAND/SC_CLOSE and WM_SYSKEYDOWN/VK_F4 with the
// Alt context bit each close the window on their own, through the default
// window procedure, exactly as an ordinary application would; each one is
// recorded when it arrives, so a close that leads to another (Alt-F4 to
// SC_CLOSE to WM_CLOSE) shows as several lines in the order received. With
// refuse and slow it is WM_CLOSE that is held back, so the chain and its
// lines are the same.
//
// Exit code: 0 after the window is closed or the time limit passes; N with
// --exit-code N; 2 for a command line it does not understand (shown in a
// message box).
#include "tools/sample_app/sample_stamps.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kWindowClass[] = "KaironSampleWindow";
// The message-only window a single instance is found by.
const char kInstanceClass[] = "KaironSampleInstance";
// How long a later instance looks for the first one's window, which the
// first creates right after its mutex: the two may start at once.
const int kFindInstanceTries = 100;
const DWORD kFindInstanceSleepMs = 50;
const int kNoInstanceExitCode = 3;

enum class ShowState { Normal, Minimised, Maximised, Hidden, Never };

enum class OnClose { Close, Refuse, Hang, Slow };

// The window timers: the slow close's, the late drawing's, the animation's.
const UINT_PTR kSlowCloseTimer = 1;
const UINT_PTR kDrawTimer = 2;
const UINT_PTR kAnimateTimer = 3;
const UINT_PTR kShowTimer = 4;
const int kDefaultWidth = 320;
const int kDefaultHeight = 200;

struct Options {
    const char* title = "Kairon Sample";
    DWORD delayMs = 0;
    ShowState show = ShowState::Normal;
    const char* eventName = nullptr;
    const char* recordPath = nullptr;
    const char* stampsName = nullptr;
    DWORD exitAfterMs = 0;  // 0: no limit
    OnClose onClose = OnClose::Close;
    DWORD slowCloseMs = 0;
    bool exitAtOnce = false;
    DWORD exitCode = 0;
    const char* instanceName = nullptr;
    // A command line started first and not waited for: a helper beside
    // the window, or with --exit-code the real program of a launcher.
    const char* startLine = nullptr;
    DWORD drawAfterMs = 0;  // 0: the content at once
    DWORD animateMs = 0;    // 0: still
    int clientWidth = 0;    // 0: the default window size
    int clientHeight = 0;
    bool topmost = false;
    DWORD showAfterMs = 0;  // 0: shown at once
    bool placed = false;    // --at given
    int x = 0;
    int y = 0;
};

Options g_options;
// Whether the content is painted yet, and how far the animation has gone.
bool g_drawn = true;
unsigned g_animationStep = 0;
SampleStamps* g_stamps = nullptr;
// The sample's top-level windows now open: the process ends with the last.
int g_openWindows = 0;
// Posted to the first instance's message-only window: open another window.
UINT g_openWindowMessage = 0;

bool ParseNumber(const char* text, DWORD* value)
{
    char* end = nullptr;
    const unsigned long parsed = std::strtoul(text, &end, 10);
    if (end == text || *end != '\0' || text[0] == '-')
        return false;
    *value = static_cast<DWORD>(parsed);
    return true;
}

// "X,Y", either of them negative.
bool ParsePosition(const char* text, Options* options)
{
    char* end = nullptr;
    const long x = std::strtol(text, &end, 10);
    if (end == text || *end != ',')
        return false;
    const char* second = end + 1;
    const long y = std::strtol(second, &end, 10);
    if (end == second || *end != '\0')
        return false;
    options->x = static_cast<int>(x);
    options->y = static_cast<int>(y);
    options->placed = true;
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

bool ParseSize(const char* text, Options* options)
{
    char* end = nullptr;
    const long width = std::strtol(text, &end, 10);
    if (end == text || *end != 'x')
        return false;
    const char* heightText = end + 1;
    const long height = std::strtol(heightText, &end, 10);
    if (end == heightText || *end != '\0' || width <= 0 || height <= 0 || width > 10000 ||
        height > 10000)
        return false;
    options->clientWidth = static_cast<int>(width);
    options->clientHeight = static_cast<int>(height);
    return true;
}

bool ParseOnClose(const char* text, Options* options)
{
    static const char kSlowPrefix[] = "slow:";
    const size_t slowPrefixLength = sizeof kSlowPrefix - 1;
    if (std::strcmp(text, "close") == 0)
        options->onClose = OnClose::Close;
    else if (std::strcmp(text, "refuse") == 0)
        options->onClose = OnClose::Refuse;
    else if (std::strcmp(text, "hang") == 0)
        options->onClose = OnClose::Hang;
    else if (std::strncmp(text, kSlowPrefix, slowPrefixLength) == 0 &&
             ParseNumber(text + slowPrefixLength, &options->slowCloseMs))
        options->onClose = OnClose::Slow;
    else
        return false;
    return true;
}

// The program's own arguments: its name, the options beside it, then its
// command line's. Kept for the whole run: the options point into them.
std::vector<std::string> g_argumentTexts;
std::vector<char*> g_arguments;

void GatherArguments(int argc, char** argv)
{
    g_argumentTexts.push_back(argv[0]);
    char path[MAX_PATH + 16];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* dot = length > 0 && length < MAX_PATH ? std::strrchr(path, '.') : nullptr;
    if (dot && _stricmp(dot, ".exe") == 0) {
        std::strcpy(dot, ".options");
        if (FILE* file = std::fopen(path, "rb")) {
            char line[1024];
            while (std::fgets(line, sizeof line, file)) {
                line[std::strcspn(line, "\r\n")] = '\0';
                if (line[0] != '\0')
                    g_argumentTexts.push_back(line);
            }
            std::fclose(file);
        }
    }
    for (int i = 1; i < argc; ++i)
        g_argumentTexts.push_back(argv[i]);
    for (std::string& text : g_argumentTexts)
        g_arguments.push_back(&text[0]);
}

// Returns the offending argument, or null when the whole line was understood.
const char* ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        const char* name = argv[i];
        // The one option without a value.
        if (std::strcmp(name, "--topmost") == 0) {
            options->topmost = true;
            continue;
        }
        if (i + 1 >= argc)
            return name;
        const char* value = argv[++i];
        bool understood = true;
        if (std::strcmp(name, "--title") == 0)
            options->title = value;
        else if (std::strcmp(name, "--delay") == 0)
            understood = ParseNumber(value, &options->delayMs);
        else if (std::strcmp(name, "--show") == 0)
            understood = ParseShowState(value, &options->show);
        else if (std::strcmp(name, "--event") == 0)
            options->eventName = value;
        else if (std::strcmp(name, "--record") == 0)
            options->recordPath = value;
        else if (std::strcmp(name, "--stamps") == 0)
            options->stampsName = value;
        else if (std::strcmp(name, "--exit-after") == 0)
            understood = ParseNumber(value, &options->exitAfterMs);
        else if (std::strcmp(name, "--on-close") == 0)
            understood = ParseOnClose(value, options);
        else if (std::strcmp(name, "--start") == 0)
            options->startLine = value;
        else if (std::strcmp(name, "--single-instance") == 0)
            options->instanceName = value;
        else if (std::strcmp(name, "--draw-after") == 0)
            understood = ParseNumber(value, &options->drawAfterMs);
        else if (std::strcmp(name, "--animate") == 0)
            understood = ParseNumber(value, &options->animateMs) && options->animateMs > 0;
        else if (std::strcmp(name, "--size") == 0)
            understood = ParseSize(value, options);
        else if (std::strcmp(name, "--show-after") == 0)
            understood = ParseNumber(value, &options->showAfterMs);
        else if (std::strcmp(name, "--at") == 0)
            understood = ParsePosition(value, options);
        else if (std::strcmp(name, "--exit-code") == 0) {
            understood = ParseNumber(value, &options->exitCode);
            options->exitAtOnce = true;
        }
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

// Mapped before the window exists, so that a stamp costs one store.
SampleStamps* OpenStamps()
{
    if (!g_options.stampsName)
        return nullptr;
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, g_options.stampsName);
    if (!mapping)
        return nullptr;
    return static_cast<SampleStamps*>(
        MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(SampleStamps)));
}

// The content: bars in a few colours, a line of text, and the animation's
// bar where it has got to; into the window's DC, or one PrintWindow gives.
void DrawContentInto(HWND window, HDC dc)
{
    RECT client;
    GetClientRect(window, &client);
    if (g_drawn) {
        static const COLORREF kColours[] = {RGB(200, 40, 40), RGB(40, 160, 60), RGB(40, 80, 200)};
        for (int i = 0; i < 3; ++i) {
            RECT bar = {10, 10 + i * 30, client.right - 10, 30 + i * 30};
            HBRUSH brush = CreateSolidBrush(kColours[i]);
            FillRect(dc, &bar, brush);
            DeleteObject(brush);
        }
        static const char kText[] = "Kairon Sample: content drawn";
        TextOutA(dc, 10, 110, kText, static_cast<int>(sizeof kText - 1));
    }
    if (g_options.animateMs != 0 && client.right > 20) {
        const unsigned room = static_cast<unsigned>(client.right - 20);
        const LONG x = static_cast<LONG>(g_animationStep * 7 % room);
        RECT bar = {x, client.bottom - 30, x + 20, client.bottom - 10};
        FillRect(dc, &bar, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
}

void PaintContent(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    DrawContentInto(window, dc);
    EndPaint(window, &paint);
}

// PrintWindow asks for the picture this way, background first.
void PrintContent(HWND window, HDC dc)
{
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client,
             reinterpret_cast<HBRUSH>(GetClassLongPtrA(window, GCLP_HBRBACKGROUND)));
    DrawContentInto(window, dc);
}

// The late drawing: painted now, then stamped once the pixels are out.
void DrawContent(HWND window)
{
    g_drawn = true;
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    GdiFlush();
    const long long now = CounterNow();
    if (g_stamps)
        g_stamps->drawn = now;
    Record("drawn %lld", now);
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

// The time limit: ends the process from a thread of its own, whatever the
// window's thread is doing. TerminateProcess rather than ExitProcess: a
// hung thread may hold a C runtime lock that an orderly exit would wait for.
DWORD WINAPI EndAfterTimeLimit(void*)
{
    Sleep(g_options.exitAfterMs);
    TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}

// A close request has arrived (already recorded): with --on-close hang the
// thread stops answering from here on.
void HangIfAsked()
{
    if (g_options.onClose == OnClose::Hang)
        Sleep(INFINITE);
}

// Whether WM_CLOSE may go on to the default window procedure, which
// destroys the window; a slow close starts its timer on the first one.
bool ClosesNow(HWND window)
{
    static bool slowCloseStarted = false;
    switch (g_options.onClose) {
    case OnClose::Refuse:
        return false;
    case OnClose::Slow:
        if (!slowCloseStarted) {
            slowCloseStarted = true;
            SetTimer(window, kSlowCloseTimer, g_options.slowCloseMs, nullptr);
        }
        return false;
    default:
        return true;
    }
}

void ShowSampleWindow(HWND window);

LRESULT CALLBACK SampleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        Record("WM_CLOSE");
        HangIfAsked();
        if (!ClosesNow(window))
            return 0;
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            Record("WM_SYSCOMMAND SC_CLOSE");
            HangIfAsked();
        }
        break;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4) {
            Record("WM_SYSKEYDOWN VK_F4 0x%08lX", static_cast<unsigned long>(lParam));
            HangIfAsked();
        }
        break;
    case WM_TIMER:
        if (wParam == kSlowCloseTimer) {
            KillTimer(window, kSlowCloseTimer);
            DestroyWindow(window);
            return 0;
        }
        if (wParam == kShowTimer) {
            KillTimer(window, kShowTimer);
            ShowSampleWindow(window);
            return 0;
        }
        if (wParam == kDrawTimer) {
            KillTimer(window, kDrawTimer);
            DrawContent(window);
            return 0;
        }
        if (wParam == kAnimateTimer) {
            ++g_animationStep;
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        }
        break;
    case WM_PAINT:
        PaintContent(window);
        return 0;
    case WM_PRINTCLIENT:
        PrintContent(window, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_DESTROY:
        Record("destroyed");
        if (--g_openWindows == 0)
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

void ShowSampleWindow(HWND window)
{
    ShowWindow(window, ShowCommandFor(g_options.show));
    if (g_stamps)
        g_stamps->shown = CounterNow();
    SignalVisible();
    Record("visible %lld %s", CounterNow(), StateName(g_options.show));
    UpdateWindow(window);
    if (g_options.drawAfterMs != 0)
        SetTimer(window, kDrawTimer, g_options.drawAfterMs, nullptr);
    if (g_options.animateMs != 0)
        SetTimer(window, kAnimateTimer, g_options.animateMs, nullptr);
}

// The window the options describe; false when it could not be created.
bool OpenSampleWindow(HINSTANCE instance, SampleStamps* stamps)
{
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    if (g_options.clientWidth != 0) {
        RECT frame = {0, 0, g_options.clientWidth, g_options.clientHeight};
        AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
        width = frame.right - frame.left;
        height = frame.bottom - frame.top;
    }
    if (stamps)
        stamps->creating = CounterNow();
    HWND window = CreateWindowExA(g_options.topmost ? WS_EX_TOPMOST : 0, kWindowClass,
                                  g_options.title, WS_OVERLAPPEDWINDOW,
                                  g_options.placed ? g_options.x : CW_USEDEFAULT,
                                  g_options.placed ? g_options.y : CW_USEDEFAULT, width, height,
                                  nullptr, nullptr, instance, nullptr);
    if (!window)
        return false;
    ++g_openWindows;
    if (stamps)
        stamps->created = CounterNow();
    if (g_options.show == ShowState::Hidden)
        return true;
    if (g_options.showAfterMs != 0)
        SetTimer(window, kShowTimer, g_options.showAfterMs, nullptr);
    else
        ShowSampleWindow(window);
    return true;
}

// The first instance's message-only window: a request from a later
// instance opens another sample window.
LRESULT CALLBACK InstanceWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == g_openWindowMessage && g_options.show != ShowState::Never) {
        OpenSampleWindow(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)),
                         g_stamps);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool CreateInstanceWindow(HINSTANCE instance)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = InstanceWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kInstanceClass;
    if (!RegisterClassExA(&windowClass))
        return false;
    return CreateWindowExA(0, kInstanceClass, g_options.instanceName, 0, 0, 0, 0, 0, HWND_MESSAGE,
                           nullptr, instance, nullptr) != nullptr;
}

// A later instance: asks the first for a window and returns the exit code.
int HandOffToFirstInstance()
{
    for (int tries = 0; tries < kFindInstanceTries; ++tries) {
        HWND first = FindWindowExA(HWND_MESSAGE, nullptr, kInstanceClass, g_options.instanceName);
        if (first && PostMessageA(first, g_openWindowMessage, 0, 0)) {
            Record("handed off");
            return 0;
        }
        Sleep(kFindInstanceSleepMs);
    }
    return kNoInstanceExitCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    GatherArguments(__argc, __argv);
    const char* bad =
        ParseOptions(static_cast<int>(g_arguments.size()), g_arguments.data(), &g_options);
    if (bad) {
        char text[640];
        std::snprintf(text, sizeof text,
                      "Not understood: %.500s\n\nUsage: sample_app [--title TEXT] [--delay MS] "
                      "[--show normal|min|max|hidden|never] [--event NAME] [--record FILE] "
                      "[--stamps NAME] [--exit-after MS] [--on-close close|refuse|hang|slow:MS] "
                      "[--exit-code N] [--start COMMAND] [--single-instance NAME] [--draw-after MS] "
                      "[--animate MS] [--size WxH] [--topmost] [--show-after MS] [--at X,Y]",
                      bad);
        MessageBoxA(nullptr, text, "sample_app", MB_OK | MB_ICONERROR);
        return 2;
    }
    Record("start %lld", CounterNow());
    if (g_options.startLine) {
        std::string line = g_options.startLine;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &started))
            return 1;
        CloseHandle(started.hProcess);
        CloseHandle(started.hThread);
    }
    if (g_options.exitAtOnce)
        return static_cast<int>(g_options.exitCode);
    if (g_options.instanceName) {
        g_openWindowMessage = RegisterWindowMessageA("KaironSampleOpenWindow");
        const std::string mutexName = std::string("KaironSampleInstance-") + g_options.instanceName;
        // Held until the process ends.
        CreateMutexA(nullptr, FALSE, mutexName.c_str());
        if (GetLastError() == ERROR_ALREADY_EXISTS)
            return HandOffToFirstInstance();
        if (!CreateInstanceWindow(instance))
            return 1;
    }
    g_stamps = OpenStamps();
    g_drawn = g_options.drawAfterMs == 0;

    // The limit runs from the process start, before any window exists.
    if (g_options.exitAfterMs != 0) {
        HANDLE limit = CreateThread(nullptr, 0, EndAfterTimeLimit, nullptr, 0, nullptr);
        if (!limit)
            return 1;
        CloseHandle(limit);
    }

    // A slow application: nothing to find until the delay has passed.
    if (g_options.delayMs != 0)
        Sleep(g_options.delayMs);

    if (g_options.show != ShowState::Never) {
        RegisterSampleClass(instance);
        if (!OpenSampleWindow(instance, g_stamps))
            return 1;
    }

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
