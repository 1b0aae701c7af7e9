#include "tests/fake_platform.h"

#include "resources/control_ids.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

FakePlatform::FakePlatform() : platform{*this, *this} {}

const FakeWindow* FakePlatform::WindowAt(WindowHandle handle) const
{
    for (const FakeWindow& window : windows) {
        if (window.handle == handle && Exists(window))
            return &window;
    }
    return nullptr;
}

namespace {

std::vector<std::string> EventsWhere(const std::vector<std::string>& events,
                                     const std::string& prefix, bool starting)
{
    std::vector<std::string> kept;
    for (const std::string& event : events) {
        if ((event.compare(0, prefix.size(), prefix) == 0) == starting)
            kept.push_back(event);
    }
    return kept;
}

}  // namespace

std::vector<std::string> FakePlatform::EventsStartingWith(const std::string& prefix) const
{
    return EventsWhere(events, prefix, true);
}

std::vector<std::string> FakePlatform::EventsNotStartingWith(const std::string& prefix) const
{
    return EventsWhere(events, prefix, false);
}

bool FakePlatform::Exists(const FakeWindow& window) const
{
    const std::int64_t now = NowMs();
    return window.appearsAtMs <= now && (window.vanishesAtMs < 0 || now < window.vanishesAtMs);
}

// --- ProcessPort ---

bool FakePlatform::LaunchProcess(char* commandLine, LaunchedProcess* launched)
{
    FakeLaunch launch;
    if (!launches.empty()) {
        launch = launches.front();
        launches.pop_front();
    }
    commandLines.push_back(commandLine);
    events.push_back(std::string("create ") + commandLine);
    nowTicks += launch.costMs * kTicksPerMs;
    if (!launch.succeeds) {
        lastError_ = launch.error;
        return false;
    }
    ++launchCount_;
    launched->process = 0x100 + launchCount_;
    launched->thread = 0x200 + launchCount_;
    launched->id = 0x1000 + launchCount_;
    processes_[launched->process] = {NowMs(), launch};
    if (onLaunch)
        onLaunch(launchCount_);
    return true;
}

unsigned long FakePlatform::LastError()
{
    return lastError_;
}

std::string FakePlatform::SystemErrorText(unsigned long code)
{
    auto found = errorTexts.find(code);
    return found == errorTexts.end() ? std::string() : found->second;
}

unsigned long FakePlatform::WaitForInputIdle(const LaunchedProcess& launched, unsigned timeoutMs)
{
    char event[64];
    std::snprintf(event, sizeof event, "idle 0x%X", static_cast<unsigned>(launched.process));
    events.push_back(event);
    auto found = processes_.find(launched.process);
    if (found == processes_.end())
        return 0xFFFFFFFF;  // WAIT_FAILED
    FakeLaunch& launch = found->second.second;
    if (launch.idleCostMs > static_cast<std::int64_t>(timeoutMs)) {
        launch.idleCostMs -= timeoutMs;
        nowTicks += static_cast<std::int64_t>(timeoutMs) * kTicksPerMs;
        return kWaitTimeout;
    }
    nowTicks += launch.idleCostMs * kTicksPerMs;
    launch.idleCostMs = 0;
    return launch.idleResult;
}

bool FakePlatform::HasExited(const LaunchedProcess& launched, unsigned long* exitCode)
{
    ++exitQueries;
    auto found = processes_.find(launched.process);
    if (found == processes_.end())
        return false;
    const std::int64_t createdMs = found->second.first;
    const FakeLaunch& launch = found->second.second;
    if (launch.exitsAfterMs < 0 || NowMs() < createdMs + launch.exitsAfterMs)
        return false;
    *exitCode = launch.exitCode;
    return true;
}

void FakePlatform::CloseProcessHandles(const LaunchedProcess& launched)
{
    closedProcesses.push_back(launched);
    char event[80];
    std::snprintf(event, sizeof event, "close handles 0x%X 0x%X",
                  static_cast<unsigned>(launched.process), static_cast<unsigned>(launched.thread));
    events.push_back(event);
    if (launched.job != 0) {
        std::snprintf(event, sizeof event, "close job 0x%X", static_cast<unsigned>(launched.job));
        events.push_back(event);
    }
}

std::uintptr_t FakePlatform::CreateLaunchJob()
{
    if (!jobsCreated)
        return 0;
    const std::uintptr_t job = 0x300 + static_cast<std::uintptr_t>(++jobCount_);
    events.push_back("create job " + std::to_string(job));
    return job;
}

bool FakePlatform::LaunchProcessInJob(char* commandLine, std::uintptr_t job,
                                      LaunchedProcess* launched)
{
    if (!LaunchProcess(commandLine, launched)) {
        if (job != 0)
            events.push_back("close job " + std::to_string(job));
        return false;
    }
    launched->job = job != 0 && jobsAssigned ? job : 0;
    if (job != 0 && launched->job == 0)
        events.push_back("close job " + std::to_string(job));
    return true;
}

bool FakePlatform::ReadJobUsage(std::uintptr_t job, JobUsage* usage)
{
    events.push_back("read job " + std::to_string(job));
    if (jobUsageRead)
        *usage = jobUsage;
    return jobUsageRead;
}

bool FakePlatform::ReadProcessUsage(const LaunchedProcess& launched, ProcessUsage* usage)
{
    (void)launched;
    if (processUsageRead)
        *usage = processUsage;
    return processUsageRead;
}

CommandEnd FakePlatform::RunShellCommand(const char* command, int endingStops,
                                         unsigned long* exitCode)
{
    events.push_back(std::string("command ") + command +
                     (endingStops == 1 ? "" : " (ends at stop " + std::to_string(endingStops) + ")"));
    if (commandsNotStarted.count(command) > 0) {
        lastError_ = 2;
        return kCommandNotStarted;
    }
    const auto runs = commandRunsMs.find(command);
    for (std::int64_t ranMs = 0; runs != commandRunsMs.end() && ranMs < runs->second; ranMs += 100) {
        nowTicks += 100 * kTicksPerMs;
        if (StopsRequested() >= endingStops) {
            events.push_back(std::string("end command ") + command);
            return kCommandEndedByStop;
        }
    }
    const auto found = commandExitCodes.find(command);
    *exitCode = found == commandExitCodes.end() ? 0 : found->second;
    return kCommandExited;
}

PrivilegeResult FakePlatform::EnablePrivilege(TokenPrivilege privilege)
{
    events.push_back(privilege == kIncreaseQuotaPrivilege ? "enable privilege quota"
                                                          : "enable privilege profile");
    return privilege == kIncreaseQuotaPrivilege ? quotaPrivilege : profilePrivilege;
}

bool FakePlatform::EmptyFileCacheWorkingSet()
{
    events.push_back("memory list working set");
    lastError_ = workingSetError;
    return workingSetError == 0;
}

long FakePlatform::SetMemoryList(int command)
{
    events.push_back("memory list " + std::to_string(command));
    const auto found = memoryListStatus.find(command);
    return found == memoryListStatus.end() ? 0 : found->second;
}

bool FakePlatform::StandbyPages(std::uint64_t* pages)
{
    if (standbyPages.empty())
        return false;
    *pages = standbyPages.front();
    standbyPages.pop_front();
    return true;
}

void FakePlatform::Terminate(const LaunchedProcess& launched)
{
    char event[48];
    std::snprintf(event, sizeof event, "terminate 0x%X", static_cast<unsigned>(launched.process));
    events.push_back(event);
    auto found = processes_.find(launched.process);
    if (found != processes_.end() && found->second.second.exitsAfterMs < 0) {
        found->second.second.exitsAfterMs = NowMs() - found->second.first;
        found->second.second.exitCode = 1;
    }
}

namespace {

// Query handles of processes that were not launched: their id above this.
const std::uintptr_t kQueryHandleBase = 0x10000000;
// A FILETIME for the virtual clock's start: 2026-01-01.
const std::uint64_t kClockStartFileTime = 134116992000000000ull;

}  // namespace

int FakePlatform::EndJob(std::uintptr_t job)
{
    events.push_back("end job " + std::to_string(job));
    int ended = jobLeftovers;
    jobLeftovers = 0;
    for (auto other = otherProcesses.begin(); other != otherProcesses.end();) {
        if (other->second.inJob) {
            other = otherProcesses.erase(other);
            ++ended;
        } else {
            ++other;
        }
    }
    return ended;
}

int FakePlatform::RunningInJob(std::uintptr_t job)
{
    (void)job;
    int running = 0;
    for (const auto& other : otherProcesses)
        running += other.second.inJob ? 1 : 0;
    return jobLeftovers + running;
}

bool FakePlatform::ProcessInJob(std::uintptr_t process, std::uintptr_t job)
{
    (void)job;
    auto other = otherProcesses.find(static_cast<unsigned long>(process - kQueryHandleBase));
    return process > kQueryHandleBase && other != otherProcesses.end() && other->second.inJob;
}

std::uintptr_t FakePlatform::OpenProcessToQuery(unsigned long processId)
{
    char event[48];
    std::snprintf(event, sizeof event, "open process 0x%lX", processId);
    events.push_back(event);
    auto other = otherProcesses.find(processId);
    if (other != otherProcesses.end())
        return other->second.refusesQueries ? 0 : kQueryHandleBase + processId;
    for (const auto& launched : processes_) {
        if (launched.first - 0x100 + 0x1000 == processId)
            return launched.first;
    }
    return 0;
}

std::string FakePlatform::ProgramFile(std::uintptr_t process)
{
    char event[48];
    std::snprintf(event, sizeof event, "program 0x%X", static_cast<unsigned>(process));
    events.push_back(event);
    if (process > kQueryHandleBase) {
        auto other = otherProcesses.find(static_cast<unsigned long>(process - kQueryHandleBase));
        return other == otherProcesses.end() ? std::string() : other->second.program;
    }
    auto found = processes_.find(process);
    return found == processes_.end() ? std::string() : found->second.second.program;
}

bool FakePlatform::CreationTime(std::uintptr_t process, std::uint64_t* time)
{
    char event[48];
    std::snprintf(event, sizeof event, "creation time 0x%X", static_cast<unsigned>(process));
    events.push_back(event);
    std::int64_t createdMs = 0;
    if (process > kQueryHandleBase) {
        auto other = otherProcesses.find(static_cast<unsigned long>(process - kQueryHandleBase));
        if (other == otherProcesses.end())
            return false;
        createdMs = other->second.createdAtMs;
    } else {
        auto found = processes_.find(process);
        if (found == processes_.end())
            return false;
        createdMs = found->second.first;
    }
    *time = static_cast<std::uint64_t>(static_cast<std::int64_t>(kClockStartFileTime) +
                                       createdMs * 10000);
    return true;
}

void FakePlatform::CloseQueryHandle(std::uintptr_t process)
{
    char event[48];
    std::snprintf(event, sizeof event, "close query 0x%X", static_cast<unsigned>(process));
    events.push_back(event);
}

bool FakePlatform::StopRequested()
{
    return StopsRequested() > 0;
}

int FakePlatform::StopsRequested()
{
    const std::int64_t now = NowMs();
    return (stopAtMs >= 0 && now >= stopAtMs ? 1 : 0) +
           (secondStopAtMs >= 0 && now >= secondStopAtMs ? 1 : 0);
}

std::int64_t FakePlatform::CounterFrequency()
{
    events.push_back("frequency");
    return kFakeFrequency;
}

std::int64_t FakePlatform::CounterNow()
{
    events.push_back("counter " + std::to_string(NowMs()));
    return nowTicks;
}

void FakePlatform::Sleep(unsigned milliseconds)
{
    events.push_back("sleep " + std::to_string(milliseconds));
    if (periodsInForce_ == 0)
        ++sleepsAtDefaultPeriod;
    if (keepPeriodRequests == 0)
        ++sleepsBeforeKeepPeriod;
    if (onSleep)
        onSleep(milliseconds);
    nowTicks += static_cast<std::int64_t>(milliseconds) * kTicksPerMs;
}

void FakePlatform::BeginTimerPeriod(unsigned milliseconds)
{
    timerPeriods.push_back("begin " + std::to_string(milliseconds));
    ++periodsInForce_;
}

void FakePlatform::EndTimerPeriod(unsigned milliseconds)
{
    timerPeriods.push_back("end " + std::to_string(milliseconds));
    --periodsInForce_;
}

bool FakePlatform::KeepTimerPeriodWhileHidden()
{
    ++keepPeriodRequests;
    return true;
}

// --- WindowPort ---

void FakePlatform::EnumTopLevelWindows(WindowVisitor visit, void* context)
{
    ++enumerations;
    // Take the order first: a visitor may not change it, but the real
    // EnumWindows also works from a list made before the first callback.
    std::vector<WindowHandle> order;
    for (const FakeWindow& window : windows) {
        if (Exists(window))
            order.push_back(window.handle);
    }
    for (WindowHandle handle : order) {
        if (!visit(handle, context))
            return;
    }
}

namespace {
int CopyText(const std::string& text, char* buffer, int size)
{
    const size_t count = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}
}  // namespace

int FakePlatform::Title(WindowHandle window, char* buffer, int size)
{
    const FakeWindow* found = WindowAt(window);
    return CopyText(found ? found->title : std::string(), buffer, size);
}

int FakePlatform::ShownWith(WindowHandle window) const
{
    const FakeWindow* found = WindowAt(window);
    if (!found)
        return kShowHide;
    int state = found->showState;
    for (const auto& change : found->showChanges) {
        if (change.first <= NowMs())
            state = change.second;
    }
    return state;
}

int FakePlatform::ShowState(WindowHandle window)
{
    const int command = ShownWith(window);
    return !WindowAt(window) ? 0 : command == kShowHide ? 1 : command;
}

bool FakePlatform::IsShown(WindowHandle window)
{
    const int command = ShownWith(window);
    return command != kShowHide && command != kShowMinimized && command != kShowMinimize;
}

bool FakePlatform::IsCloaked(WindowHandle window)
{
    const FakeWindow* found = WindowAt(window);
    return found && NowMs() < found->cloakedUntilMs;
}

bool FakePlatform::ExcludedFromCapture(WindowHandle window)
{
    const FakeWindow* found = WindowAt(window);
    return found && found->excludedFromCapture;
}

int FakePlatform::ClassName(WindowHandle window, char* buffer, int size)
{
    const FakeWindow* found = WindowAt(window);
    return CopyText(found ? found->className : std::string(), buffer, size);
}

bool FakePlatform::IsOwnWindow(WindowHandle window)
{
    ++ownWindowQueries;
    const FakeWindow* found = WindowAt(window);
    return found && found->ownProcess;
}

unsigned long FakePlatform::OwnerProcessId(WindowHandle window)
{
    char event[48];
    std::snprintf(event, sizeof event, "owner 0x%X", static_cast<unsigned>(window));
    events.push_back(event);
    const FakeWindow* found = WindowAt(window);
    if (!found)
        return 0;
    return found->ownerProcessId != 0 ? found->ownerProcessId
                                      : 0x1000 + static_cast<unsigned long>(launchCount_);
}

bool FakePlatform::Send(WindowHandle window, unsigned message, std::uintptr_t wParam,
                        std::intptr_t lParam, unsigned timeoutMs)
{
    bool hangs = false;
    if (!Deliver(window, message, wParam, lParam, &hangs))
        return false;
    if (hangs)
        nowTicks += static_cast<std::int64_t>(timeoutMs) * kTicksPerMs;
    return !hangs;
}

bool FakePlatform::SendWithoutWaiting(WindowHandle window, unsigned message,
                                      std::uintptr_t wParam, std::intptr_t lParam)
{
    bool hangs = false;
    const bool delivered = Deliver(window, message, wParam, lParam, &hangs);
    sentHandled_ = delivered && !hangs;
    return delivered;
}

bool FakePlatform::SentMessageHandled()
{
    return sentHandled_;
}

bool FakePlatform::Deliver(WindowHandle window, unsigned message, std::uintptr_t wParam,
                           std::intptr_t lParam, bool* hangs)
{
    char event[96];
    std::snprintf(event, sizeof event, "send 0x%X 0x%X 0x%X 0x%X", static_cast<unsigned>(window),
                  message, static_cast<unsigned>(wParam), static_cast<unsigned>(lParam));
    events.push_back(event);
    for (FakeWindow& candidate : windows) {
        if (candidate.handle != window || !Exists(candidate))
            continue;
        *hangs = candidate.hangsOnClose;
        if (candidate.hangsOnClose)
            return true;
        const std::int64_t closesAt = NowMs() + candidate.closeDelayMs;
        if (candidate.closesOnMessage &&
            (candidate.vanishesAtMs < 0 || closesAt < candidate.vanishesAtMs)) {
            candidate.vanishesAtMs = closesAt;
            auto owner = processes_.find(0x100 + static_cast<std::uintptr_t>(launchCount_));
            if (candidate.ownerProcessId == 0 && owner != processes_.end()) {
                FakeLaunch& launch = owner->second.second;
                const std::int64_t exitsAfterMs = closesAt - owner->second.first;
                if (launch.exitsAfterMs < 0 || exitsAfterMs < launch.exitsAfterMs) {
                    launch.exitsAfterMs = exitsAfterMs;
                    launch.exitCode = 0;
                }
            }
        }
        return true;
    }
    return false;  // no such window (any more)
}

bool FakePlatform::Exists(WindowHandle window)
{
    return WindowAt(window) != nullptr;
}

int FakePlatform::CompareTitles(const char* a, const char* b)
{
    return std::strcmp(a, b);
}

bool FakePlatform::ContainsIgnoringCase(const char* text, const char* needle)
{
    std::string haystack(text), wanted(needle);
    auto lower = [](std::string s) {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    return lower(haystack).find(lower(wanted)) != std::string::npos;
}

bool FakePlatform::CaptureClient(WindowHandle window, CaptureSource source,
                                 ClientPicture* picture)
{
    char event[48];
    std::snprintf(event, sizeof event, "capture 0x%X", static_cast<unsigned>(window));
    events.push_back(event);
    captureSources.push_back(source);
    // The pixels are those at the start of the capture, which then takes
    // its time.
    const FakeWindow* found = WindowAt(window);
    std::uint64_t shown = 0;
    bool minimised = false;
    bool covered = false;
    if (found) {
        for (const auto& frame : frames[window]) {
            if (found->appearsAtMs + frame.first <= NowMs())
                shown = frame.second;
        }
        minimised = ShownWith(window) == kShowMinimized || ShownWith(window) == kShowMinimize;
        covered = found->coveredFromMs >= 0 && found->coveredFromMs <= NowMs();
    }
    nowTicks += captureCostMs * kTicksPerMs;
    if (!found)
        return false;
    picture->hash = minimised ? 0 : shown;
    picture->blank = minimised || blankFrames.count(shown) != 0;
    picture->covered = source == kCaptureScreen && covered && !minimised;
    picture->coveredBy = picture->covered ? found->coveredBy : 0;
    return true;
}

bool FakePlatform::CanPrintFullContent()
{
    return printsFullContent;
}

bool FakePlatform::WatchWindowEvents()
{
    ++eventWatches;
    eventsSeenToMs_ = NowMs();
    return true;
}

void FakePlatform::StopWindowEvents()
{
    --eventWatches;
}

bool FakePlatform::WaitForWindowEvent(unsigned timeoutMs)
{
    events.push_back("wait " + std::to_string(timeoutMs));
    if (eventWatches > 0 && timeoutMs == 0 && enumerations <= eventFloodPasses)
        return true;
    const std::int64_t end = NowMs() + timeoutMs;
    std::int64_t next = -1;
    for (const FakeWindow& window : windows) {
        std::vector<std::int64_t> times{window.appearsAtMs};
        for (const auto& change : window.showChanges)
            times.push_back(change.first);
        if (window.cloakedUntilMs > 0)
            times.push_back(window.cloakedUntilMs);
        for (std::int64_t at : times) {
            if (eventWatches > 0 && window.sendsEvents && at > eventsSeenToMs_ && at <= end &&
                (next < 0 || at < next))
                next = at;
        }
    }
    if (next < 0)
        nowTicks += static_cast<std::int64_t>(timeoutMs) * kTicksPerMs;
    else if (next > NowMs())
        nowTicks = next * kTicksPerMs;
    eventsSeenToMs_ = NowMs();
    return next >= 0;
}

// --- DialogPort ---

void FakePlatform::FieldText(int controlId, char* buffer, int size)
{
    events.push_back("get text " + ControlName(controlId));
    const std::string& text = texts[controlId];
    const size_t count = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
}

void FakePlatform::SetFieldText(int controlId, const char* text)
{
    texts[controlId] = text;
    events.push_back("text " + ControlName(controlId) + " " + text);
}

unsigned FakePlatform::FieldNumber(int controlId)
{
    events.push_back("get number " + ControlName(controlId));
    return ParseUnsignedField(texts[controlId]);
}

void FakePlatform::SetFieldNumber(int controlId, unsigned value)
{
    texts[controlId] = std::to_string(value);
    events.push_back("number " + ControlName(controlId) + " " + std::to_string(value));
}

bool FakePlatform::IsChecked(int controlId)
{
    events.push_back("get check " + ControlName(controlId));
    return checked[controlId];
}

void FakePlatform::Check(int controlId)
{
    checked[controlId] = true;
    events.push_back("check " + ControlName(controlId));
}

void FakePlatform::EnableControl(int controlId, bool enable)
{
    enabled[controlId] = enable;
    events.push_back("enable " + ControlName(controlId) + (enable ? " 1" : " 0"));
}

int FakePlatform::ShowMessageBox(const char* text, const char* caption, unsigned type)
{
    if (periodsInForce_ != 0)
        ++boxesAtRaisedPeriod;
    char flags[16];
    std::snprintf(flags, sizeof flags, "0x%X", type);
    events.push_back(std::string("box ") + caption + " | " + text + " | " + flags);
    return 1;  // IDOK
}

void FakePlatform::PostClose()
{
    events.push_back("post close");
}

unsigned ParseUnsignedField(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    const size_t digitsStart = i;
    unsigned long long value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > 0xFFFFFFFFull)
            return 0;
        ++i;
    }
    if (i == digitsStart)
        return 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    return i == text.size() ? static_cast<unsigned>(value) : 0;
}
