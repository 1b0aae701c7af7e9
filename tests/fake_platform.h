// A scripted stand-in for Windows with a virtual clock, so a whole timing
// run (even a 50-second search that gives up) is a test of milliseconds.
//
// Sleep advances the clock and the performance counter reads it. Top-level
// windows appear, change their show state and vanish at given virtual
// times. Process creation and input idle answer from scripts. Everything
// the logic does to the outside world is appended, in order, to `events`;
// the dialog's controls appear there by name ("text IDC_STATUS Finished
// executions"), the name control_ids.h gives them.
#ifndef KAIRON_TESTS_FAKE_PLATFORM_H
#define KAIRON_TESTS_FAKE_PLATFORM_H

#include "platform/platform.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Ticks per second of the virtual performance counter (Wine's frequency).
const std::int64_t kFakeFrequency = 10000000;
const std::int64_t kTicksPerMs = kFakeFrequency / 1000;

struct FakeWindow {
    WindowHandle handle = 0;
    std::string title;
    // How it was last shown (SW_HIDE: hidden); GetWindowPlacement says
    // SW_SHOWNORMAL for a hidden window, as Windows does.
    int showState = 1;  // SW_SHOWNORMAL
    bool ownProcess = false;
    std::int64_t appearsAtMs = 0;   // virtual time it is created
    std::int64_t vanishesAtMs = -1; // virtual time it is destroyed; -1 never
    // Later show states: (virtual time in ms, showCmd from then on).
    std::vector<std::pair<std::int64_t, int>> showChanges;
    // Destroyed by the first close message sent to it; a window of the
    // latest launch (ownerProcessId 0) takes its process with it, as an
    // application's main window does.
    bool closesOnMessage = false;
    // With closesOnMessage: destroyed this long after that message.
    std::int64_t closeDelayMs = 0;
    // Its thread stops answering at the first close message, which then
    // times out (SendMessageTimeoutA returns 0 after its time-out).
    bool hangsOnClose = false;
    // From this virtual time on another window lies over part of it, so
    // that a picture from the screen is not its own; -1 never.
    std::int64_t coveredFromMs = -1;
    // The id of the process that owns it (GetWindowThreadProcessId); 0
    // gives the id of the latest launch's process.
    unsigned long ownerProcessId = 0;
    // Its creation and its show changes send window events to a watcher,
    // as on Windows; false: none comes, as Wine sends no show event.
    bool sendsEvents = true;
    WindowHandle coveredBy = 0;        // the window said to lie over it
    std::int64_t cloakedUntilMs = 0;   // cloaked until then, with an event; 0 never
    bool excludedFromCapture = false;  // a display affinity: pictures read what is beneath
    std::string className = "FakeClass";
};

// The sample application's window, 0x5001, created at `appearsAtMs` and
// closed by the first close message.
inline FakeWindow SampleWindow(std::int64_t appearsAtMs)
{
    FakeWindow window;
    window.handle = 0x5001;
    window.title = "sample";
    window.appearsAtMs = appearsAtMs;
    window.closesOnMessage = true;
    return window;
}

struct FakeLaunch {
    bool succeeds = true;
    unsigned long error = 0;      // GetLastError after a failure
    std::int64_t costMs = 0;      // how long CreateProcessA takes
    unsigned long idleResult = 0; // what WaitForInputIdle returns once it is over
    std::int64_t idleCostMs = 0;  // how long until it is (time-outs before that)
    std::int64_t exitsAfterMs = -1; // the process ends this long after its creation; -1 never
    unsigned long exitCode = 0;
    std::string program = "C:\\Apps\\sample.exe";  // the program file it runs
};

// A process that was not launched by the run: its program file and when it
// was created, in the virtual clock's milliseconds (negative: before the
// clock's start).
struct FakeProcess {
    std::string program;
    std::int64_t createdAtMs = -1000;
    bool refusesQueries = false;  // OpenProcess fails, as for an elevated process
    bool inJob = false;           // started by the launch, in its job
};

class FakePlatform : public ProcessPort, public WindowPort, public DialogPort {
public:
    FakePlatform();

    // --- the script ---
    std::int64_t nowTicks = 0;
    std::vector<FakeWindow> windows;         // Z order: top first
    std::deque<FakeLaunch> launches;         // one per CreateProcessA; default succeeds
    std::map<unsigned long, std::string> errorTexts;
    // Processes by id, besides those the run launches (ids 0x1001, 0x1002, ...).
    std::map<unsigned long, FakeProcess> otherProcesses;
    // Called after each successful launch with its number (from 1); may
    // add windows, for example one that appears some time after the launch.
    std::function<void(int launchNumber)> onLaunch;
    // Called at each Sleep before the clock moves on: the moments a run
    // pauses, where a test can look at what the run has left on disk.
    std::function<void(unsigned milliseconds)> onSleep;

    // The virtual time from which StopRequested says yes (Ctrl-C); -1 never.
    std::int64_t stopAtMs = -1;
    // The virtual time of a second Ctrl-C, which StopsRequested counts; -1 never.
    std::int64_t secondStopAtMs = -1;
    // What a capture of a window's client area hashes to, per handle:
    // (ms after the window appeared, hash from then on); 0 before the
    // first. And how long each capture takes.
    std::map<WindowHandle, std::vector<std::pair<std::int64_t, std::uint64_t>>> frames;
    std::int64_t captureCostMs = 0;
    // The hashes whose pictures are blank (one colour): 0, the picture
    // before any frame, unless a test says otherwise. A minimised window's
    // picture is blank too.
    std::set<std::uint64_t> blankFrames{0};
    bool printsFullContent = true;  // CanPrintFullContent's answer
    std::vector<CaptureSource> captureSources;  // of every capture, in order
    // Launch jobs and what they and the launched process report.
    bool jobsCreated = true;       // CreateJobObjectA succeeds
    bool jobsAssigned = true;      // AssignProcessToJobObject succeeds
    bool jobUsageRead = true;
    JobUsage jobUsage;
    int jobLeftovers = 0;          // processes of the job besides those below
    bool processUsageRead = true;
    ProcessUsage processUsage;
    // Shell commands ("command TEXT" in events): exit codes by text, 0 for
    // the others; those that cannot be started at all.
    std::map<std::string, unsigned long> commandExitCodes;
    std::set<std::string> commandsNotStarted;
    // How long a command runs, by text (0 for the others); a stop looked
    // for every 100 ms of it ends it ("end command TEXT").
    std::map<std::string, std::int64_t> commandRunsMs;
    // Console handles; whether a handle list takes them (not on Windows 7).
    std::set<std::uintptr_t> consoleHandles;
    bool listTakesConsoleHandles = true;
    // The file cache: the privilege, NtSetSystemInformation's status per
    // command (0 for the others), and the standby list's successive page
    // counts (once they run out: not reported).
    PrivilegeResult profilePrivilege = kPrivilegeEnabled;
    PrivilegeResult quotaPrivilege = kPrivilegeEnabled;
    unsigned long workingSetError = 0;  // SetSystemFileCacheSize's; 0 succeeds
    std::map<int, long> memoryListStatus;
    std::deque<std::uint64_t> standbyPages;

    // --- what happened ---
    std::vector<std::string> events;
    std::vector<std::string> commandLines;
    std::vector<LaunchedProcess> closedProcesses;
    int enumerations = 0;
    int exitQueries = 0;
    int ownWindowQueries = 0;
    // The timer period requests ("begin 1", "end 1"), in order; kept out of
    // `events` so that they do not shift every other step. What matters is
    // what happened while one was in force:
    std::vector<std::string> timerPeriods;
    int sleepsAtDefaultPeriod = 0;  // Sleep calls while no period was asked for
    int keepPeriodRequests = 0;     // KeepTimerPeriodWhileHidden calls
    int sleepsBeforeKeepPeriod = 0; // Sleep calls before the first of them
    int boxesAtRaisedPeriod = 0;    // message boxes shown while one was
    int eventWatches = 0;           // WatchWindowEvents calls not yet stopped
    // Events that never stop (a title that keeps changing): every wait
    // with no time reports one, until this many passes have been made.
    int eventFloodPasses = 0;
    std::map<int, std::string> texts;    // field text per control ID
    std::map<int, bool> checked;
    std::map<int, bool> enabled;         // absent means enabled

    Platform platform;

    std::int64_t NowMs() const { return nowTicks / kTicksPerMs; }
    const FakeWindow* WindowAt(WindowHandle handle) const;
    // Events that start with `prefix`, in order; and all the others.
    std::vector<std::string> EventsStartingWith(const std::string& prefix) const;
    std::vector<std::string> EventsNotStartingWith(const std::string& prefix) const;

    // ProcessPort
    bool LaunchProcess(char* commandLine, LaunchedProcess* launched) override;
    unsigned long LastError() override;
    std::string SystemErrorText(unsigned long code) override;
    unsigned long WaitForInputIdle(const LaunchedProcess& launched, unsigned timeoutMs) override;
    bool HasExited(const LaunchedProcess& launched, unsigned long* exitCode) override;
    void CloseProcessHandles(const LaunchedProcess& launched) override;
    void Terminate(const LaunchedProcess& launched) override;
    int EndJob(std::uintptr_t job) override;
    int RunningInJob(std::uintptr_t job) override;
    bool ProcessInJob(std::uintptr_t process, std::uintptr_t job) override;
    std::uintptr_t OpenProcessToQuery(unsigned long processId) override;
    std::string ProgramFile(std::uintptr_t process) override;
    bool CreationTime(std::uintptr_t process, std::uint64_t* time) override;
    void CloseQueryHandle(std::uintptr_t process) override;
    bool StopRequested() override;
    std::int64_t CounterFrequency() override;
    std::int64_t CounterNow() override;
    void Sleep(unsigned milliseconds) override;
    void BeginTimerPeriod(unsigned milliseconds) override;
    void EndTimerPeriod(unsigned milliseconds) override;
    bool KeepTimerPeriodWhileHidden() override;
    std::uintptr_t CreateLaunchJob() override;
    bool LaunchProcessInJob(char* commandLine, std::uintptr_t job,
                            LaunchedProcess* launched) override;
    bool ReadJobUsage(std::uintptr_t job, JobUsage* usage) override;
    bool ReadProcessUsage(const LaunchedProcess& launched, ProcessUsage* usage) override;
    int StopsRequested() override;
    CommandEnd RunShellCommand(const char* command, int endingStops,
                               unsigned long* exitCode) override;
    bool IsConsoleHandle(std::uintptr_t handle) override { return consoleHandles.count(handle) > 0; }
    bool ListTakesConsoleHandles() override { return listTakesConsoleHandles; }
    PrivilegeResult EnablePrivilege(TokenPrivilege privilege) override;
    bool EmptyFileCacheWorkingSet() override;  // appends "memory list working set"
    long SetMemoryList(int command) override;
    bool StandbyPages(std::uint64_t* pages) override;

    // WindowPort
    void EnumTopLevelWindows(WindowVisitor visit, void* context) override;
    int Title(WindowHandle window, char* buffer, int size) override;
    int ShowState(WindowHandle window) override;
    bool IsOwnWindow(WindowHandle window) override;
    unsigned long OwnerProcessId(WindowHandle window) override;
    bool Send(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
              unsigned timeoutMs) override;
    // A hung window's message is never handled; the sender's waits move the clock.
    bool SendWithoutWaiting(WindowHandle window, unsigned message, std::uintptr_t wParam,
                            std::intptr_t lParam) override;
    bool SentMessageHandled() override;
    bool Exists(WindowHandle window) override;
    int CompareTitles(const char* a, const char* b) override;
    bool ContainsIgnoringCase(const char* text, const char* needle) override;
    bool CaptureClient(WindowHandle window, CaptureSource source, ClientPicture* picture) override;
    bool CanPrintFullContent() override;
    bool WatchWindowEvents() override;
    void StopWindowEvents() override;
    // Appends "wait N"; while watched, ends at the first window event after
    // the previous wait's end, moving the clock to it.
    bool WaitForWindowEvent(unsigned timeoutMs) override;
    bool IsShown(WindowHandle window) override;
    bool IsCloaked(WindowHandle window) override;
    bool ExcludedFromCapture(WindowHandle window) override;
    int ClassName(WindowHandle window, char* buffer, int size) override;

    // DialogPort
    void FieldText(int controlId, char* buffer, int size) override;
    void SetFieldText(int controlId, const char* text) override;
    unsigned FieldNumber(int controlId) override;
    void SetFieldNumber(int controlId, unsigned value) override;
    bool IsChecked(int controlId) override;
    void Check(int controlId) override;
    void EnableControl(int controlId, bool enable) override;
    int ShowMessageBox(const char* text, const char* caption, unsigned type) override;
    void PostClose() override;

private:
    bool Exists(const FakeWindow& window) const;
    // Appends "send ...": true when the window is there (*hangs: it does not answer).
    bool Deliver(WindowHandle window, unsigned message, std::uintptr_t wParam,
                 std::intptr_t lParam, bool* hangs);
    int ShownWith(WindowHandle window) const;
    // Per process handle: (virtual ms it was created, the launch's script).
    std::map<std::uintptr_t, std::pair<std::int64_t, FakeLaunch>> processes_;
    unsigned long lastError_ = 0;
    int periodsInForce_ = 0;
    int launchCount_ = 0;
    int jobCount_ = 0;
    std::int64_t eventsSeenToMs_ = 0;  // events up to then have woken a wait
    bool sentHandled_ = false;
};

// GetDlgItemInt's reading of a field without sign: optional blanks, digits,
// optional blanks; anything else, or a value above 4294967295, gives 0.
unsigned ParseUnsignedField(const std::string& text);

#endif
