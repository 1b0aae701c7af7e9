#include "platform/win32_platform.h"

#include <mmsystem.h>
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

// Counted by the console's handler thread, read by the run's.
volatile LONG g_stopsRequested = 0;

BOOL WINAPI OnConsoleBreak(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    InterlockedIncrement(&g_stopsRequested);
    return TRUE;
}

}  // namespace

bool Win32Process::StopRequested()
{
    return StopsRequested() != 0;
}

int Win32Process::StopsRequested()
{
    return static_cast<int>(InterlockedCompareExchange(&g_stopsRequested, 0, 0));
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

bool Win32Windows::IsShown(WindowHandle window)
{
    const HWND hwnd = ToHwnd(window);
    return IsWindowVisible(hwnd) && !IsIconic(hwnd);
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
