#include "platform/win32_console_windows.h"

#include "platform/pixel_hash.h"
#include "platform/screen_area.h"

#include <cstring>
#include <vector>

Win32ConsoleWindows::~Win32ConsoleWindows()
{
    ReleaseCaptureBuffer();
    StopWindowEvents();
}

void Win32ConsoleWindows::ReleaseCaptureBuffer()
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

bool Win32ConsoleWindows::CaptureBuffer(HDC screen, int width, int height)
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
    return ScreenRect{rect.left, rect.top, rect.right, rect.bottom};
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
bool Win32ConsoleWindows::CaptureClient(WindowHandle window, CaptureSource source,
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

bool Win32ConsoleWindows::IsCloaked(WindowHandle window)
{
    return Cloaked(ToHwnd(window));
}

namespace {
typedef BOOL(WINAPI* GetWindowDisplayAffinityCall)(HWND, DWORD*);
}  // namespace

// Looked up at run time: Windows 7 before its first update lacks it.
bool Win32ConsoleWindows::ExcludedFromCapture(WindowHandle window)
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

int Win32ConsoleWindows::ClassName(WindowHandle window, char* buffer, int size)
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
bool Win32ConsoleWindows::CanPrintFullContent()
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

bool Win32ConsoleWindows::WatchWindowEvents()
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

void Win32ConsoleWindows::StopWindowEvents()
{
    for (HWINEVENTHOOK& hook : eventHooks_) {
        if (hook != nullptr)
            UnhookWinEvent(hook);
        hook = nullptr;
    }
}

bool Win32ConsoleWindows::WaitForWindowEvent(unsigned timeoutMs)
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

namespace {

// The number of the latest message sent without waiting that its window has
// handled. Set by the callback, which runs on the sending thread inside
// SentMessageHandled's PeekMessageA: only kairon-time's run thread sends.
// An earlier message's late answer leaves it as it is.
ULONG_PTR g_lastMessageHandled = 0;

void CALLBACK OnMessageHandled(HWND, UINT, ULONG_PTR number, LRESULT)
{
    if (number > g_lastMessageHandled)
        g_lastMessageHandled = number;
}

}  // namespace

bool Win32ConsoleWindows::SendWithoutWaiting(WindowHandle window, unsigned message,
                                             std::uintptr_t wParam, std::intptr_t lParam)
{
    ++messagesSent_;
    return SendMessageCallbackA(ToHwnd(window), message, static_cast<WPARAM>(wParam),
                                static_cast<LPARAM>(lParam), OnMessageHandled,
                                messagesSent_) != FALSE;
}

bool Win32ConsoleWindows::SentMessageHandled()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    return g_lastMessageHandled == messagesSent_;
}
