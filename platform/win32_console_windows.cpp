#include "platform/win32_console_windows.h"

#include "platform/pixel_hash.h"

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
const DWORD kDwmCloaked = 14;  // DWMWA_CLOAKED, Windows 8 and later

// Windows 8 and later keep windows that are "visible" but not drawn: a
// suspended store app's frame, a window on another virtual desktop. The
// compositor leaves them off the screen. dwmapi is looked up at run time,
// since Windows before 8 has no such attribute, and Wine no such windows.
bool Cloaked(HWND window)
{
    static const DwmGetWindowAttributeCall getAttribute = [] {
        HMODULE dwm = LoadLibraryA("dwmapi.dll");
        return dwm ? reinterpret_cast<DwmGetWindowAttributeCall>(reinterpret_cast<void*>(
                         GetProcAddress(dwm, "DwmGetWindowAttribute")))
                   : nullptr;
    }();
    DWORD cloaked = 0;
    return getAttribute != nullptr &&
           SUCCEEDED(getAttribute(window, kDwmCloaked, &cloaked, sizeof cloaked)) && cloaked != 0;
}

// Whether a window above `window` in the Z order that the screen shows lies
// over part of its client rectangle (in screen coordinates), so that the
// screen has that window's pixels there instead of its own.
bool ClientCovered(HWND window, const RECT& client)
{
    for (HWND above = GetWindow(window, GW_HWNDPREV); above != nullptr;
         above = GetWindow(above, GW_HWNDPREV)) {
        RECT cover;
        RECT overlap;
        // A layered window that lets the mouse through is an overlay (a
        // game's, a graphics driver's) drawn mostly transparent over the
        // whole screen: counting it would make every picture covered.
        const LONG_PTR overlay = WS_EX_LAYERED | WS_EX_TRANSPARENT;
        if (IsWindowVisible(above) && !IsIconic(above) &&
            (GetWindowLongPtrA(above, GWL_EXSTYLE) & overlay) != overlay &&
            GetWindowRect(above, &cover) && IntersectRect(&overlap, &cover, &client) &&
            !Cloaked(above))
            return true;
    }
    return false;
}

}  // namespace

// Neither the screen's DC nor the window's needs anything from the window's
// own thread: a window that does not answer is captured as it stands.
// PrintWindow does ask that thread to draw. A minimised window has no
// client area: its picture is the empty one, blank.
bool Win32ConsoleWindows::CaptureClient(WindowHandle window, CaptureSource source,
                                 ClientPicture* picture)
{
    const HWND hwnd = ToHwnd(window);
    RECT client;
    if (!GetClientRect(hwnd, &client))
        return false;
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    *picture = ClientPicture();
    if (width <= 0 || height <= 0) {
        picture->hash = HashPixels(nullptr, 0, 0);
        picture->blank = true;
        return true;
    }
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    const HWND from = source == kCaptureScreen ? nullptr : hwnd;
    HDC dc = GetDC(from);
    if (!dc)
        return false;
    bool copied = CaptureBuffer(dc, width, height);
    if (copied && source == kCapturePrint)
        copied = PrintWindow(hwnd, captureDc_, kPrintClientOnly | kPrintRenderFullContent) != 0;
    else if (copied)
        copied = BitBlt(captureDc_, 0, 0, width, height, dc,
                        source == kCaptureScreen ? origin.x : 0,
                        source == kCaptureScreen ? origin.y : 0, SRCCOPY) != 0;
    ReleaseDC(from, dc);
    if (!copied)
        return false;
    GdiFlush();
    picture->hash = HashPixels(capturePixels_, width, height);
    picture->blank = IsOneColour(capturePixels_, width, height);
    if (source == kCaptureScreen) {
        const RECT onScreen = {origin.x, origin.y, origin.x + width, origin.y + height};
        picture->covered = ClientCovered(hwnd, onScreen);
    }
    return true;
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

namespace {

// Set by the hook's callback, which runs on the watching thread while
// WaitForWindowEvent dispatches its messages; only kairon-time's run
// thread watches.
bool g_windowEventCame = false;

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
    g_windowEventCame = false;
    return eventHooks_[0] != nullptr || eventHooks_[1] != nullptr;
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
