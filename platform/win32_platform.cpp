#include "platform/win32_platform.h"

#include "platform/pixel_hash.h"
#include "platform/screen_area.h"

#include <mmsystem.h>
#include <cstring>
#include <vector>
#include <shlwapi.h>

static_assert(kMsgClose == WM_CLOSE, "WM_CLOSE");
static_assert(kMsgSysCommand == WM_SYSCOMMAND, "WM_SYSCOMMAND");
static_assert(kMsgSysKeyDown == WM_SYSKEYDOWN, "WM_SYSKEYDOWN");
static_assert(kSysCommandClose == SC_CLOSE, "SC_CLOSE");
static_assert(kVirtualKeyF4 == VK_F4, "VK_F4");
static_assert(kWaitTimeout == WAIT_TIMEOUT, "WAIT_TIMEOUT");
static_assert(kBoxOk == MB_OK, "MB_OK");
static_assert(kBoxIconWarning == MB_ICONWARNING, "MB_ICONWARNING");
static_assert(kShowHide == SW_HIDE && kShowMinimized == SW_SHOWMINIMIZED &&
                  kShowMaximized == SW_MAXIMIZE && kShowMinimize == SW_MINIMIZE,
              "SW_ values");

// The records as the system expects them. Kairon is a 32-bit program; the
// same sources also build for 64-bit Windows, only so that the tests run on
// hosts that cannot start 32-bit programs.
#ifdef _WIN64
static_assert(sizeof(HWND) == 8, "HWND of 8 bytes");
static_assert(sizeof(STARTUPINFOA) == 104, "STARTUPINFOA of 104 bytes");
#else
static_assert(sizeof(HWND) == 4, "HWND of 4 bytes");
static_assert(sizeof(STARTUPINFOA) == 68, "STARTUPINFOA of 68 bytes");
#endif
static_assert(sizeof(WINDOWPLACEMENT) == 44, "WINDOWPLACEMENT of 44 bytes");

// A window handle's value fits in 32 bits on 64-bit Windows too, which
// passes handles between 32- and 64-bit processes by truncating them and
// sign-extending them back; the log prints the 32-bit value either way.
HWND ToHwnd(WindowHandle window)
{
    return reinterpret_cast<HWND>(
        static_cast<std::intptr_t>(static_cast<std::int32_t>(window)));
}

WindowHandle FromHwnd(HWND window)
{
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

// --- processes and the performance counter ---

bool Win32Process::LaunchProcess(char* commandLine, LaunchedProcess* launched)
{
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    ZeroMemory(&info, sizeof info);
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    launched->process = reinterpret_cast<std::uintptr_t>(info.hProcess);
    launched->thread = reinterpret_cast<std::uintptr_t>(info.hThread);
    launched->id = info.dwProcessId;
    return true;
}

unsigned long Win32Process::LastError()
{
    return GetLastError();
}

std::string Win32Process::SystemErrorText(unsigned long code)
{
    char* text = nullptr;
    // Without IGNORE_INSERTS a text with an insert ("%1 is not a valid
    // Win32 application.") is refused, and the user would read only a code.
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0,
                   nullptr);
    std::string result = text ? text : "";
    LocalFree(text);
    return result;
}

unsigned long Win32Process::WaitForInputIdle(const LaunchedProcess& launched, unsigned timeoutMs)
{
    return ::WaitForInputIdle(reinterpret_cast<HANDLE>(launched.process), timeoutMs);
}

bool Win32Process::HasExited(const LaunchedProcess& launched, unsigned long* exitCode)
{
    HANDLE process = reinterpret_cast<HANDLE>(launched.process);
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0)
        return false;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    *exitCode = code;
    return true;
}

void Win32Process::CloseProcessHandles(const LaunchedProcess& launched)
{
    CloseHandle(reinterpret_cast<HANDLE>(launched.process));
    CloseHandle(reinterpret_cast<HANDLE>(launched.thread));
    if (launched.job != 0)
        CloseHandle(reinterpret_cast<HANDLE>(launched.job));
}

void Win32Process::Terminate(const LaunchedProcess& launched)
{
    TerminateProcess(reinterpret_cast<HANDLE>(launched.process), 1);
}

bool Win32Process::EndProcess(unsigned long processId)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
    if (process == nullptr)
        return false;
    const bool ended = TerminateProcess(process, 1) != 0;
    CloseHandle(process);
    return ended;
}

std::uintptr_t Win32Process::OpenProcessToQuery(unsigned long processId)
{
    return reinterpret_cast<std::uintptr_t>(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
}

std::string Win32Process::ProgramFile(std::uintptr_t process)
{
    char path[MAX_PATH * 2];
    DWORD size = sizeof path;
    if (!QueryFullProcessImageNameA(reinterpret_cast<HANDLE>(process), 0, path, &size))
        return std::string();
    return std::string(path, size);
}

bool Win32Process::CreationTime(std::uintptr_t process, std::uint64_t* time)
{
    FILETIME creation, exit, kernel, user;
    if (!GetProcessTimes(reinterpret_cast<HANDLE>(process), &creation, &exit, &kernel, &user))
        return false;
    *time = (static_cast<std::uint64_t>(creation.dwHighDateTime) << 32) | creation.dwLowDateTime;
    return true;
}

void Win32Process::CloseQueryHandle(std::uintptr_t process)
{
    CloseHandle(reinterpret_cast<HANDLE>(process));
}

namespace {

// Set by the console's handler thread, read by the run's.
volatile LONG g_stopRequested = 0;

BOOL WINAPI OnConsoleBreak(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    InterlockedExchange(&g_stopRequested, 1);
    return TRUE;
}

}  // namespace

bool Win32Process::StopRequested()
{
    return InterlockedCompareExchange(&g_stopRequested, 0, 0) != 0;
}

bool StopRunOnConsoleBreak()
{
    return SetConsoleCtrlHandler(OnConsoleBreak, TRUE) != 0;
}

std::int64_t Win32Process::CounterFrequency()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

std::int64_t Win32Process::CounterNow()
{
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

void Win32Process::Sleep(unsigned milliseconds)
{
    ::Sleep(milliseconds);
}

void Win32Process::BeginTimerPeriod(unsigned milliseconds)
{
    timeBeginPeriod(milliseconds);
}

void Win32Process::EndTimerPeriod(unsigned milliseconds)
{
    timeEndPeriod(milliseconds);
}

namespace {
typedef BOOL(WINAPI* SetProcessInformationCall)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID,
                                                DWORD);
}  // namespace

// Windows 11 may ignore a process's timer period while its windows are
// hidden or covered, which is Kairon's state while the application it times
// covers the dialog; this opts out. Windows before 8 has no such function,
// and Wine may not honour the class: either way the run goes on unchanged.
bool Win32Process::KeepTimerPeriodWhileHidden()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel)
        return false;
    SetProcessInformationCall setInformation = reinterpret_cast<SetProcessInformationCall>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetProcessInformation")));
    if (!setInformation)
        return false;
    PROCESS_POWER_THROTTLING_STATE state;
    ZeroMemory(&state, sizeof state);
    state.Version = PROCESS_POWER_THROTTLING_CURRENT_VERSION;
    state.ControlMask = PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION;
    state.StateMask = 0;
    return setInformation(GetCurrentProcess(), ProcessPowerThrottling, &state,
                          sizeof state) != FALSE;
}

// --- top-level windows ---

namespace {

struct EnumCall {
    WindowVisitor visit;
    void* context;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM lParam)
{
    const EnumCall* call = reinterpret_cast<const EnumCall*>(lParam);
    return call->visit(FromHwnd(window), call->context) ? TRUE : FALSE;
}

}  // namespace

void Win32Windows::EnumTopLevelWindows(WindowVisitor visit, void* context)
{
    EnumCall call = {visit, context};
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&call));
}

int Win32Windows::Title(WindowHandle window, char* buffer, int size)
{
    return GetWindowTextA(ToHwnd(window), buffer, size);
}

int Win32Windows::ShowState(WindowHandle window)
{
    WINDOWPLACEMENT placement;
    ZeroMemory(&placement, sizeof placement);
    placement.length = sizeof placement;
    GetWindowPlacement(ToHwnd(window), &placement);
    return static_cast<int>(placement.showCmd);
}

bool Win32Windows::IsOwnWindow(WindowHandle window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(ToHwnd(window), &processId);
    return processId == GetCurrentProcessId();
}

unsigned long Win32Windows::OwnerProcessId(WindowHandle window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(ToHwnd(window), &processId);
    return processId;
}

bool Win32Windows::Send(WindowHandle window, unsigned message, std::uintptr_t wParam,
                        std::intptr_t lParam, unsigned timeoutMs)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(ToHwnd(window), message, static_cast<WPARAM>(wParam),
                               static_cast<LPARAM>(lParam), SMTO_ABORTIFHUNG, timeoutMs,
                               &result) != 0;
}

bool Win32Windows::Exists(WindowHandle window)
{
    return IsWindow(ToHwnd(window)) != FALSE;
}

int Win32Windows::CompareTitles(const char* a, const char* b)
{
    return lstrcmpA(a, b);
}

bool Win32Windows::ContainsIgnoringCase(const char* text, const char* needle)
{
    return StrStrIA(text, needle) != nullptr;
}

Win32Windows::~Win32Windows()
{
    ReleaseCaptureBuffer();
    StopWindowEvents();
}

void Win32Windows::ReleaseCaptureBuffer()
{
    if (captureDc_) {
        SelectObject(captureDc_, capturePrevious_);
        DeleteDC(captureDc_);
    }
    if (captureBitmap_)
        DeleteObject(captureBitmap_);
    captureDc_ = nullptr;
    captureBitmap_ = nullptr;
    capturePrevious_ = nullptr;
    capturePixels_ = nullptr;
    captureWidth_ = 0;
    captureHeight_ = 0;
}

bool Win32Windows::CaptureBuffer(HDC screen, int width, int height)
{
    if (captureDc_ && width == captureWidth_ && height == captureHeight_)
        return true;
    ReleaseCaptureBuffer();
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    captureBitmap_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    captureDc_ = CreateCompatibleDC(screen);
    if (!captureBitmap_ || !captureDc_ || !bits) {
        ReleaseCaptureBuffer();
        return false;
    }
    capturePrevious_ = SelectObject(captureDc_, captureBitmap_);
    capturePixels_ = static_cast<const std::uint32_t*>(bits);
    captureWidth_ = width;
    captureHeight_ = height;
    return true;
}

namespace {

// PrintWindow's flags from Windows 8.1's headers, which older MinGW lacks.
const UINT kPrintClientOnly = 0x1;        // PW_CLIENTONLY
const UINT kPrintRenderFullContent = 0x2; // PW_RENDERFULLCONTENT

typedef HRESULT(WINAPI* DwmGetWindowAttributeCall)(HWND, DWORD, PVOID, DWORD);
const DWORD kDwmExtendedFrameBounds = 9;  // DWMWA_EXTENDED_FRAME_BOUNDS, Vista and later
const DWORD kDwmCloaked = 14;             // DWMWA_CLOAKED, Windows 8 and later

// DwmGetWindowAttribute, looked up at run time: Windows before Vista has
// no dwmapi, and an attribute the system does not know is refused. False
// when it did not answer.
bool DwmAttribute(HWND window, DWORD attribute, void* value, DWORD size)
{
    static const DwmGetWindowAttributeCall getAttribute = [] {
        HMODULE dwm = LoadLibraryA("dwmapi.dll");
        return dwm ? reinterpret_cast<DwmGetWindowAttributeCall>(reinterpret_cast<void*>(
                         GetProcAddress(dwm, "DwmGetWindowAttribute")))
                   : nullptr;
    }();
    return getAttribute != nullptr && SUCCEEDED(getAttribute(window, attribute, value, size));
}

// Windows 8 and later keep windows that are "visible" but not drawn: a
// suspended store app's frame, a window on another virtual desktop. The
// compositor leaves them off the screen. Wine has no such windows.
bool Cloaked(HWND window)
{
    DWORD cloaked = 0;
    return DwmAttribute(window, kDwmCloaked, &cloaked, sizeof cloaked) && cloaked != 0;
}

ScreenRect ToScreenRect(const RECT& rect)
{
    ScreenRect result;
    result.left = rect.left;
    result.top = rect.top;
    result.right = rect.right;
    result.bottom = rect.bottom;
    return result;
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list)
{
    reinterpret_cast<std::vector<ScreenRect>*>(list)->push_back(ToScreenRect(*rect));
    return TRUE;
}

std::vector<ScreenRect> MonitorRects()
{
    std::vector<ScreenRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

// The window above `window` in the Z order, if any, whose pixels the
// screen shows over `client` (screen coordinates) instead of its own.
HWND CoveringWindow(HWND window, const ScreenRect& client)
{
    std::vector<WindowAbove> above;
    std::vector<HWND> handles;
    for (HWND next = GetWindow(window, GW_HWNDPREV);
         next != nullptr && static_cast<int>(above.size()) < kCoverWalkLimit;
         next = GetWindow(next, GW_HWNDPREV)) {
        WindowAbove seen;
        seen.shown = IsWindowVisible(next) && !IsIconic(next) && !Cloaked(next);
        const LONG_PTR overlay = WS_EX_LAYERED | WS_EX_TRANSPARENT;
        seen.overlay = (GetWindowLongPtrA(next, GWL_EXSTYLE) & overlay) == overlay;
        RECT rect;
        if (seen.shown && GetWindowRect(next, &rect))
            seen.windowRect = ToScreenRect(rect);
        if (seen.shown && DwmAttribute(next, kDwmExtendedFrameBounds, &rect, sizeof rect)) {
            seen.frameGiven = true;
            seen.frame = ToScreenRect(rect);
        }
        above.push_back(seen);
        handles.push_back(next);
    }
    const int index = FirstCoveringWindow(client, above);
    return index < 0 ? nullptr : handles[static_cast<size_t>(index)];
}

}  // namespace

// Neither the screen's DC nor the window's needs anything from the window's
// own thread: a window that does not answer is captured as it stands.
// PrintWindow does ask that thread to draw. Only the part of the client
// area on a monitor is pictured; a minimised window has no client area and
// one wholly off the screen none on it: their picture is the empty one,
// blank.
bool Win32Windows::CaptureClient(WindowHandle window, CaptureSource source,
                                 ClientPicture* picture)
{
    const HWND hwnd = ToHwnd(window);
    RECT client;
    if (!GetClientRect(hwnd, &client))
        return false;
    *picture = ClientPicture();
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    ScreenRect area;
    area.left = origin.x;
    area.top = origin.y;
    area.right = origin.x + client.right;
    area.bottom = origin.y + client.bottom;
    const std::vector<ScreenRect> parts = PartsOnMonitors(area, MonitorRects());
    if (parts.empty()) {
        picture->hash = HashPixels(nullptr, 0, 0);
        picture->blank = true;
        return true;
    }
    const ScreenRect box = BoundingBox(parts);
    const int width = static_cast<int>(box.right - box.left);
    const int height = static_cast<int>(box.bottom - box.top);
    const HWND from = source == kCaptureScreen ? nullptr : hwnd;
    HDC dc = GetDC(from);
    if (!dc)
        return false;
    // PrintWindow draws the whole client area; the part on the screen is
    // then moved to the buffer's start, row by row.
    bool copied = source == kCapturePrint ? CaptureBuffer(dc, client.right, client.bottom)
                                          : CaptureBuffer(dc, width, height);
    if (copied && source == kCapturePrint)
        copied = PrintWindow(hwnd, captureDc_, kPrintClientOnly | kPrintRenderFullContent) != 0;
    else if (copied)
        copied = BitBlt(captureDc_, 0, 0, width, height, dc,
                        source == kCaptureScreen ? box.left : box.left - origin.x,
                        source == kCaptureScreen ? box.top : box.top - origin.y, SRCCOPY) != 0;
    ReleaseDC(from, dc);
    if (!copied)
        return false;
    GdiFlush();
    std::uint32_t* pixels = const_cast<std::uint32_t*>(capturePixels_);
    if (source == kCapturePrint) {
        for (int row = 0; row < height; ++row)
            std::memmove(pixels + row * width,
                         pixels + (box.top - origin.y + row) * client.right + (box.left - origin.x),
                         static_cast<size_t>(width) * sizeof *pixels);
    }
    MaskOffMonitors(pixels, box, parts);
    picture->hash = HashPixels(pixels, width, height);
    picture->blank = IsOneColour(pixels, width, height);
    if (source == kCaptureScreen) {
        const HWND cover = CoveringWindow(hwnd, box);
        picture->covered = cover != nullptr;
        picture->coveredBy = FromHwnd(cover);
    }
    return true;
}

bool Win32Windows::IsShown(WindowHandle window)
{
    const HWND hwnd = ToHwnd(window);
    return IsWindowVisible(hwnd) && !IsIconic(hwnd);
}

bool Win32Windows::IsCloaked(WindowHandle window)
{
    return Cloaked(ToHwnd(window));
}

namespace {
typedef BOOL(WINAPI* GetWindowDisplayAffinityCall)(HWND, DWORD*);
}  // namespace

// Looked up at run time: Windows 7 before its first update lacks it.
bool Win32Windows::ExcludedFromCapture(WindowHandle window)
{
    static const GetWindowDisplayAffinityCall getAffinity = [] {
        HMODULE user = GetModuleHandleA("user32.dll");
        return user ? reinterpret_cast<GetWindowDisplayAffinityCall>(reinterpret_cast<void*>(
                          GetProcAddress(user, "GetWindowDisplayAffinity")))
                    : nullptr;
    }();
    DWORD affinity = 0;  // WDA_NONE
    return getAffinity != nullptr && getAffinity(ToHwnd(window), &affinity) && affinity != 0;
}

int Win32Windows::ClassName(WindowHandle window, char* buffer, int size)
{
    const int copied = GetClassNameA(ToHwnd(window), buffer, size);
    if (copied <= 0 && size > 0)
        buffer[0] = '\0';
    return copied > 0 ? copied : 0;
}

namespace {
typedef LONG(WINAPI* RtlGetVersionCall)(OSVERSIONINFOW*);
}  // namespace

// GetVersionEx answers 6.2 to a program without a manifest that names 8.1,
// whatever the system: ask ntdll, which tells the truth.
bool Win32Windows::CanPrintFullContent()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const RtlGetVersionCall getVersion =
        ntdll ? reinterpret_cast<RtlGetVersionCall>(
                    reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
              : nullptr;
    OSVERSIONINFOW version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    if (getVersion == nullptr || getVersion(&version) != 0)
        return false;
    return version.dwMajorVersion > 6 || (version.dwMajorVersion == 6 && version.dwMinorVersion >= 3);
}

// --- the main dialog ---

void Win32Dialog::FieldText(int controlId, char* buffer, int size)
{
    GetDlgItemTextA(dialog_, controlId, buffer, size);
}

void Win32Dialog::SetFieldText(int controlId, const char* text)
{
    SetDlgItemTextA(dialog_, controlId, text);
}

unsigned Win32Dialog::FieldNumber(int controlId)
{
    return GetDlgItemInt(dialog_, controlId, nullptr, FALSE);
}

void Win32Dialog::SetFieldNumber(int controlId, unsigned value)
{
    SetDlgItemInt(dialog_, controlId, value, FALSE);
}

bool Win32Dialog::IsChecked(int controlId)
{
    return IsDlgButtonChecked(dialog_, controlId) == BST_CHECKED;
}

void Win32Dialog::Check(int controlId)
{
    CheckDlgButton(dialog_, controlId, BST_CHECKED);
}

void Win32Dialog::EnableControl(int controlId, bool enabled)
{
    EnableWindow(GetDlgItem(dialog_, controlId), enabled ? TRUE : FALSE);
}

int Win32Dialog::ShowMessageBox(const char* text, const char* caption, unsigned type)
{
    return MessageBoxA(dialog_, text, caption, type);
}

void Win32Dialog::PostClose()
{
    PostMessageA(dialog_, WM_CLOSE, 0, 0);
}

// --- window events ---

namespace {

// Set by the hook's callback, which runs on the watching thread while
// WaitForWindowEvent dispatches its messages; only kairon-time's run
// thread watches.
bool g_windowEventCame = false;

// A cloaked window that the compositor puts back on the screen: Windows 8
// and later. Older MinGW headers lack it.
const DWORD kEventObjectUncloaked = 0x8018;  // EVENT_OBJECT_UNCLOAKED

// Wine 8.0 delivers the process's own events despite
// WINEVENT_SKIPOWNPROCESS, hence the owner's test.
void CALLBACK OnWindowEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                            DWORD, DWORD)
{
    DWORD owner = 0;
    if (event != EVENT_OBJECT_DESTROY && object == OBJID_WINDOW && child == CHILDID_SELF &&
        window != nullptr && GetAncestor(window, GA_PARENT) == GetDesktopWindow() &&
        GetWindowThreadProcessId(window, &owner) != 0 && owner != GetCurrentProcessId())
        g_windowEventCame = true;
}

}  // namespace

bool Win32Windows::WatchWindowEvents()
{
    const DWORD flags = WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS;
    eventHooks_[0] = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr,
                                     OnWindowEvent, 0, 0, flags);
    eventHooks_[1] = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
                                     OnWindowEvent, 0, 0, flags);
    eventHooks_[2] = SetWinEventHook(kEventObjectUncloaked, kEventObjectUncloaked, nullptr,
                                     OnWindowEvent, 0, 0, flags);
    g_windowEventCame = false;
    return eventHooks_[0] != nullptr || eventHooks_[1] != nullptr || eventHooks_[2] != nullptr;
}

void Win32Windows::StopWindowEvents()
{
    for (HWINEVENTHOOK& hook : eventHooks_) {
        if (hook != nullptr)
            UnhookWinEvent(hook);
        hook = nullptr;
    }
}

bool Win32Windows::WaitForWindowEvent(unsigned timeoutMs)
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        if (g_windowEventCame) {
            g_windowEventCame = false;
            return true;
        }
        QueryPerformanceCounter(&now);
        const LONGLONG waitedMs = (now.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart;
        if (waitedMs >= static_cast<LONGLONG>(timeoutMs))
            return false;
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(timeoutMs - waitedMs),
                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}
