// The Windows operations Kairon's logic needs, as a few small interfaces.
//
// The timing run, window detection, the results log and the dialog's
// settings code talk to Windows only through these classes, so the
// same logic runs against the real system (win32_platform.cpp) and against
// a scripted fake with a virtual clock in the unit tests. Nothing here may
// include <windows.h>; the constants below carry the Win32 values, and the
// Win32 side checks them against the system headers at compile time.
#ifndef KAIRON_PLATFORM_PLATFORM_H
#define KAIRON_PLATFORM_PLATFORM_H

#include <cstdint>
#include <string>

// A top-level window's handle value. A handle's value fits in 32 bits, in
// a 32-bit program (Kairon) and in a 64-bit one alike; the snapshot orders
// handles as unsigned numbers and the log prints them with %X.
typedef std::uint32_t WindowHandle;

// The handles CreateProcessA returns for a launched application, and its
// process id; and the job object it was launched into, if any.
struct LaunchedProcess {
    std::uintptr_t process = 0;
    std::uintptr_t thread = 0;
    unsigned long id = 0;
    std::uintptr_t job = 0;
};

// What a job object's accounting says its processes have used, all of
// them together, those that have ended included.
struct JobUsage {
    std::uint64_t cpuTime = 0;      // user + kernel, in 100 ns units
    std::uint64_t pageFaults = 0;
    bool ioAnswered = false;            // the I/O accounting answered
    std::uint64_t readBytes = 0;
    std::uint64_t writeBytes = 0;
    std::uint64_t processes = 0;    // ever assigned to it
    std::uint64_t peakMemory = 0;   // PeakJobMemoryUsed: committed bytes
};

// What one process has used (K32GetProcessMemoryInfo, GetProcessIoCounters).
struct ProcessUsage {
    std::uint64_t peakWorkingSet = 0;  // bytes
    std::uint64_t pageFaults = 0;
    bool ioAnswered = false;               // GetProcessIoCounters answered
    std::uint64_t readBytes = 0;
    std::uint64_t writeBytes = 0;
};

// Whether a privilege of the process's token could be turned on.
enum PrivilegeResult {
    kPrivilegeEnabled,
    kPrivilegeNotHeld,  // AdjustTokenPrivileges succeeded with ERROR_NOT_ALL_ASSIGNED
    kPrivilegeFailed,   // the token could not be opened or adjusted
};

// How a command around the launches ended.
enum CommandEnd {
    kCommandExited,       // by itself, with its exit code
    kCommandNotStarted,   // LastError says why
    kCommandEndedByStop,  // a stop ended it, and all it started with it
};

// The privileges of the process's token that emptying the file cache
// turns on: the purge's, and the cache's working set's.
enum TokenPrivilege {
    kProfileSingleProcessPrivilege,  // SeProfileSingleProcessPrivilege
    kIncreaseQuotaPrivilege,         // SeIncreaseQuotaPrivilege
};

// The commands NtSetSystemInformation(SystemMemoryListInformation) takes.
const int kMemoryFlushModifiedList = 3;
const int kMemoryPurgeStandbyList = 4;

// Values of the Win32 constants the logic passes through the seam.
const unsigned kMsgClose = 0x0010;          // WM_CLOSE
const unsigned kMsgSysCommand = 0x0112;     // WM_SYSCOMMAND
const unsigned kMsgSysKeyDown = 0x0104;     // WM_SYSKEYDOWN
const unsigned kSysCommandClose = 0xF060;   // SC_CLOSE
const unsigned kVirtualKeyF4 = 0x73;        // VK_F4
// Repeat count 1, scan code 0x3E (F4), context bit set: Alt is held down.
const std::intptr_t kAltF4KeyData = 0x203E0001;

const unsigned long kWaitTimeout = 0x102;  // WAIT_TIMEOUT

const unsigned kBoxOk = 0x00000000;           // MB_OK
const unsigned kBoxIconWarning = 0x00000030;  // MB_ICONWARNING

const int kShowHide = 0;            // SW_HIDE
const int kShowMinimized = 2;       // SW_SHOWMINIMIZED
const int kShowMaximized = 3;       // SW_MAXIMIZE
const int kShowMinimize = 6;        // SW_MINIMIZE

// Launching and timing: kernel32.
class ProcessPort {
public:
    virtual ~ProcessPort() {}
    // CreateProcessA with no application name, this writable command line,
    // no inheritance, no flags, the caller's environment and directory, and
    // a zeroed STARTUPINFOA (68 bytes in the 32-bit program). True on success.
    virtual bool LaunchProcess(char* commandLine, LaunchedProcess* launched) = 0;
    // GetLastError of the calling thread.
    virtual unsigned long LastError() = 0;
    // The system's message for an error code (FormatMessageA); empty when
    // the system has none.
    virtual std::string SystemErrorText(unsigned long code) = 0;
    // WaitForInputIdle for at most `timeoutMs`: 0 once the process is idle
    // for input, kWaitTimeout when it was not within the time, anything
    // else when it cannot be waited for.
    virtual unsigned long WaitForInputIdle(const LaunchedProcess& launched,
                                           unsigned timeoutMs) = 0;
    // Whether the process has ended (WaitForSingleObject with no wait), and
    // then its exit code (GetExitCodeProcess).
    virtual bool HasExited(const LaunchedProcess& launched, unsigned long* exitCode) = 0;
    // CloseHandle on the process handle, then on the thread handle, then on
    // the job, when it was launched into one.
    virtual void CloseProcessHandles(const LaunchedProcess& launched) = 0;
    // OpenProcess with PROCESS_QUERY_LIMITED_INFORMATION for the process
    // with this id: a handle for the two queries below, to be closed with
    // CloseQueryHandle; 0 when the system refused (the process is gone, or
    // runs with rights above ours).
    virtual std::uintptr_t OpenProcessToQuery(unsigned long processId) = 0;
    // QueryFullProcessImageNameA (Win32 path form) of a process handle, a
    // launched process's included: the program file it runs; empty when the
    // system cannot say.
    virtual std::string ProgramFile(std::uintptr_t process) = 0;
    // The creation time GetProcessTimes gives, in 100 ns units since 1601
    // (a FILETIME as one number). False when the system cannot say.
    virtual bool CreationTime(std::uintptr_t process, std::uint64_t* time) = 0;
    // CloseHandle on a handle from OpenProcessToQuery.
    virtual void CloseQueryHandle(std::uintptr_t process) = 0;
    // Whether someone has asked the run to stop (Ctrl-C or Ctrl-Break at
    // kairon-time's console); once true, it stays true. Cheap: asked after
    // every pause. The dialog never asks.
    virtual bool StopRequested() = 0;
    // QueryPerformanceFrequency / QueryPerformanceCounter.
    virtual std::int64_t CounterFrequency() = 0;
    virtual std::int64_t CounterNow() = 0;
    virtual void Sleep(unsigned milliseconds) = 0;
    // timeBeginPeriod / timeEndPeriod (winmm): ask for the system timer to
    // tick every `milliseconds`, and withdraw the request with the same value.
    virtual void BeginTimerPeriod(unsigned milliseconds) = 0;
    virtual void EndTimerPeriod(unsigned milliseconds) = 0;
    // SetProcessInformation(ProcessPowerThrottling) for this process, with
    // PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION in the control mask
    // and not in the state mask: the timer period asked for stays in force
    // while every window of the process is hidden, minimised or covered.
    // Looked up at run time, since older Windows lacks it. True when the
    // system took the request.
    virtual bool KeepTimerPeriodWhileHidden() = 0;

    // --- What a launch uses, what surrounds it, and what ends what it
    // left running: kairon-time's ---
    // The dialog's port keeps these defaults (no job, no figures, no
    // commands, no cache, nothing ended: the dialog leaves what runs
    // running), and so Kairon.exe keeps its size.
    //
    // TerminateProcess with exit code 1: the last resort for an application
    // left running by a run that was interrupted.
    virtual void Terminate(const LaunchedProcess& launched) { (void)launched; }
    // TerminateJobObject with exit code 1: everything of a launch's job
    // that still runs, the launched process's helpers too. How many
    // processes it ended; 0 when none ran or it could not.
    virtual int EndJob(std::uintptr_t job)
    {
        (void)job;
        return 0;
    }
    // How many processes of the job still run; 0 when it cannot tell.
    virtual int RunningInJob(std::uintptr_t job)
    {
        (void)job;
        return 0;
    }
    // IsProcessInJob of a handle from OpenProcessToQuery or a launched one.
    virtual bool ProcessInJob(std::uintptr_t process, std::uintptr_t job)
    {
        (void)process;
        (void)job;
        return false;
    }
    // CreateJobObjectA, unnamed, whose processes may start others outside
    // it (JOB_OBJECT_LIMIT_BREAKAWAY_OK: some programs start their helpers
    // with CREATE_BREAKAWAY_FROM_JOB, which fails in a job that forbids
    // it), with no other limit: for one launch, made
    // before its start count. 0 when the system would not.
    virtual std::uintptr_t CreateLaunchJob() { return 0; }
    // CreateProcessA as LaunchProcess, but suspended; then
    // AssignProcessToJobObject(job) and ResumeThread, so that everything the
    // program starts is in the job too. Where the job cannot be assigned (a
    // job of 0; Windows 7 inside a CI runner's own job), the launch goes on
    // without it. `launched->job` is the job when it was assigned, and then
    // CloseProcessHandles closes it; otherwise 0, and the job is closed.
    virtual bool LaunchProcessInJob(char* commandLine, std::uintptr_t job,
                                    LaunchedProcess* launched)
    {
        (void)job;
        return LaunchProcess(commandLine, launched);
    }
    // QueryInformationJobObject: JobObjectBasicAndIoAccountingInformation,
    // or where the system lacks it (Wine) JobObjectBasicAccountingInformation,
    // and the peak of JobObjectExtendedLimitInformation. False when neither
    // accounting answers.
    virtual bool ReadJobUsage(std::uintptr_t job, JobUsage* usage)
    {
        (void)job;
        (void)usage;
        return false;
    }
    // K32GetProcessMemoryInfo and GetProcessIoCounters of a launched process
    // (never GetProcessTimes, which Wine answers with the caller's times).
    // False when the memory figures cannot be read.
    virtual bool ReadProcessUsage(const LaunchedProcess& launched, ProcessUsage* usage)
    {
        (void)launched;
        (void)usage;
        return false;
    }
    // How many stops have been asked for: StopRequested is this above 0.
    // A cleanup, which the first stop must not cut short, ends at another.
    virtual int StopsRequested() { return StopRequested() ? 1 : 0; }
    // Runs `command` through %ComSpec% /c (cmd.exe) in a job of its own,
    // made as CreateLaunchJob makes a launch's, and waits for it to end.
    // Once StopsRequested reaches `endingStops` the job is ended
    // (TerminateJobObject): cmd.exe and whatever it started, which
    // TerminateProcess of cmd.exe would leave running. What the command
    // leaves running when it exits by itself is left, as a shell leaves it.
    // Where the job cannot be assigned (Windows 7 inside a CI runner's
    // job), a stop ends cmd.exe alone.
    virtual CommandEnd RunShellCommand(const char* command, int endingStops,
                                       unsigned long* exitCode)
    {
        (void)command;
        (void)endingStops;
        (void)exitCode;
        return kCommandNotStarted;
    }
    // GetConsoleMode succeeds: the handle is a console's.
    virtual bool IsConsoleHandle(std::uintptr_t handle)
    {
        (void)handle;
        return false;
    }
    // Whether PROC_THREAD_ATTRIBUTE_HANDLE_LIST takes console handles:
    // Windows 8 and later, whose console handles are the kernel's own.
    // Windows 7 refuses them there, and CreateProcess fails.
    virtual bool ListTakesConsoleHandles() { return true; }
    // AdjustTokenPrivileges for one privilege emptying the file cache needs.
    virtual PrivilegeResult EnablePrivilege(TokenPrivilege privilege)
    {
        (void)privilege;
        return kPrivilegeFailed;
    }
    // SetSystemFileCacheSize((SIZE_T)-1, (SIZE_T)-1, 0): the system file
    // cache's working set emptied, its pages moved to the standby and
    // modified lists. Looked up at run time. False when the system refused
    // or lacks it (LastError says why).
    virtual bool EmptyFileCacheWorkingSet() { return false; }
    // NtSetSystemInformation(SystemMemoryListInformation, command): the
    // NTSTATUS, 0 on success.
    virtual long SetMemoryList(int command)
    {
        (void)command;
        return -1;
    }
    // NtQuerySystemInformation(SystemMemoryListInformation): the pages on
    // the standby list (the file cache), all priorities. False when the
    // system does not say.
    virtual bool StandbyPages(std::uint64_t* pages)
    {
        (void)pages;
        return false;
    }
};

// Where a picture of a window's client area is read from. On Windows 8
// and later the compositor puts together what the screen shows: a window's
// own DC holds only what GDI drew into it, so content drawn with DirectX
// or DirectComposition (browsers, Electron, WPF, games) is missing there.
enum CaptureSource {
    kCaptureScreen,  // the screen's DC over the client rectangle: what a
                     // person sees, GPU content included, where nothing covers it
    kCaptureWindow,  // the window's own DC: right for GDI programs and Windows 7
    kCapturePrint,   // PrintWindow(PW_CLIENTONLY | PW_RENDERFULLCONTENT): the
                     // full content even when covered, at 10-15 times the cost
};

struct ClientPicture {
    std::uint64_t hash = 0;
    // Every pixel one colour, or no pixels at all (a minimised window):
    // a window shown before its content is drawn.
    bool blank = false;
    // Screen pictures only: a visible window above it in the Z order lies
    // over part of its client rectangle, so the pixels there are not its.
    bool covered = false;
    // With covered: the first such window found.
    WindowHandle coveredBy = 0;
};

// Return false from the callback to stop the enumeration.
typedef bool (*WindowVisitor)(WindowHandle window, void* context);

// Top-level windows: user32 and the string helpers that compare titles.
class WindowPort {
public:
    virtual ~WindowPort() {}
    // EnumWindows: visits every top-level window in Z order, top first.
    virtual void EnumTopLevelWindows(WindowVisitor visit, void* context) = 0;
    // GetWindowTextA into a buffer of `size` characters (NUL included):
    // the characters copied, at most size - 1; 0 for a window without a
    // title (or one that no longer exists).
    virtual int Title(WindowHandle window, char* buffer, int size) = 0;
    // showCmd of GetWindowPlacement (length field set to 44); unchecked.
    virtual int ShowState(WindowHandle window) = 0;
    // Whether the window belongs to Kairon's own process.
    virtual bool IsOwnWindow(WindowHandle window) = 0;
    // GetWindowThreadProcessId: the id of the process that owns the window;
    // 0 for a window that no longer exists.
    virtual unsigned long OwnerProcessId(WindowHandle window) = 0;
    // SendMessageTimeoutA with SMTO_ABORTIFHUNG: returns once the window's
    // thread has handled the message (true), or false when it did not
    // within `timeoutMs`, does not answer at all, or the window is gone.
    virtual bool Send(WindowHandle window, unsigned message, std::uintptr_t wParam,
                      std::intptr_t lParam, unsigned timeoutMs) = 0;
    // IsWindow: whether the window still exists.
    virtual bool Exists(WindowHandle window) = 0;
    // lstrcmpA: 0 when equal (case-sensitive, user's locale).
    virtual int CompareTitles(const char* a, const char* b) = 0;
    // StrStrIA: whether `needle` occurs in `text`, ignoring case.
    virtual bool ContainsIgnoringCase(const char* text, const char* needle) = 0;
    // IsWindowVisible and not IsIconic: shown, and not minimised.
    // (GetWindowPlacement's showCmd cannot say: a hidden window is
    // SW_SHOWNORMAL there too.)
    virtual bool IsShown(WindowHandle window) = 0;
    // --- Pictures of a window's content and waits for window events:
    // kairon-time's ---
    // The dialog's port keeps these defaults (no picture, no events; the
    // dialog never asks for either), and so Kairon.exe keeps its size.
    //
    // A picture of the window's client area as it is now, from `source`,
    // copied into a 32-bit DIB section and hashed with HashPixels
    // (platform/pixel_hash.h): equal hashes, the same pixels. False when
    // the window is gone or the system would not copy its pixels.
    virtual bool CaptureClient(WindowHandle window, CaptureSource source,
                               ClientPicture* picture)
    {
        (void)window;
        (void)source;
        (void)picture;
        return false;
    }
    // Whether PrintWindow can render a window's full content
    // (PW_RENDERFULLCONTENT): Windows 8.1 and later.
    virtual bool CanPrintFullContent() { return false; }
    // SetWinEventHook (WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS) on
    // the calling thread for EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW,
    // EVENT_OBJECT_NAMECHANGE and EVENT_OBJECT_UNCLOAKED of every process,
    // kept for top-level windows only, so that WaitForWindowEvent can end
    // at one. False when the system refused: the waits then last their
    // whole time. Until StopWindowEvents.
    virtual bool WatchWindowEvents() { return false; }
    // UnhookWinEvent of what WatchWindowEvents set, if anything.
    virtual void StopWindowEvents() {}
    // Waits on the calling thread's message queue (MsgWaitForMultipleObjectsEx)
    // for at most `timeoutMs`, dispatching its messages so that the hook's
    // callbacks run. True as soon as a watched event has come since the
    // previous call (at once for one that came in between), false when the
    // time ran out without one.
    virtual bool WaitForWindowEvent(unsigned timeoutMs)
    {
        (void)timeoutMs;
        return false;
    }

    // --- Whether a window is on the screen, and whose it is: kairon-time's ---
    // DwmGetWindowAttribute(DWMWA_CLOAKED) is non-zero: shown, yet left off
    // the screen by the compositor (a suspended store app, a window on
    // another virtual desktop). Looked up at run time; false where the
    // system has no such attribute, and in the dialog, which does not ask.
    virtual bool IsCloaked(WindowHandle window)
    {
        (void)window;
        return false;
    }
    // GetWindowDisplayAffinity is not WDA_NONE: on the screen, but absent
    // from every picture taken of it.
    virtual bool ExcludedFromCapture(WindowHandle window)
    {
        (void)window;
        return false;
    }
    // GetClassNameA into a buffer of `size` characters: the characters
    // copied; 0 for a window that no longer exists.
    virtual int ClassName(WindowHandle window, char* buffer, int size)
    {
        (void)window;
        (void)buffer;
        (void)size;
        return 0;
    }

    // --- Close messages that never hold up a stop: kairon-time's ---
    // SendMessageCallbackA: the message goes to the window's thread and
    // the call returns at once, so that whoever sent it can look for a stop
    // while a hung window keeps it. False when it could not be sent (the
    // window is gone); the dialog, which waits in Send, never sends so.
    virtual bool SendWithoutWaiting(WindowHandle window, unsigned message,
                                    std::uintptr_t wParam, std::intptr_t lParam)
    {
        (void)window;
        (void)message;
        (void)wParam;
        (void)lParam;
        return false;
    }
    // Whether the window's thread has handled the latest message sent
    // without waiting. The system says so on the calling thread's message
    // queue, which this looks at (dispatching what is there).
    virtual bool SentMessageHandled() { return false; }
};

// The main dialog, as ui/ sees it: its fields (read by the capture, set
// from the settings file) and what a run's observer may touch from the
// worker thread: the status line, the Run App button, owned message boxes
// and a posted WM_CLOSE. The engine never sees it.
class DialogPort {
public:
    virtual ~DialogPort() {}
    // GetDlgItemTextA into a buffer of `size` characters (NUL included).
    virtual void FieldText(int controlId, char* buffer, int size) = 0;
    // SetDlgItemTextA.
    virtual void SetFieldText(int controlId, const char* text) = 0;
    // GetDlgItemInt without sign: 0 for text that is not an unsigned
    // decimal number or one above 4294967295.
    virtual unsigned FieldNumber(int controlId) = 0;
    // SetDlgItemInt without sign.
    virtual void SetFieldNumber(int controlId, unsigned value) = 0;
    // IsDlgButtonChecked == BST_CHECKED.
    virtual bool IsChecked(int controlId) = 0;
    // CheckDlgButton with BST_CHECKED.
    virtual void Check(int controlId) = 0;
    // EnableWindow(GetDlgItem(...)).
    virtual void EnableControl(int controlId, bool enabled) = 0;
    // MessageBoxA owned by the main dialog; returns the box's result.
    virtual int ShowMessageBox(const char* text, const char* caption,
                               unsigned type) = 0;
    // PostMessageA(WM_CLOSE, 0, 0) to the main dialog.
    virtual void PostClose() = 0;
};

// Everything of Windows a timing run uses, handed to it as one bundle.
struct Platform {
    ProcessPort& process;
    WindowPort& windows;
};

#endif
