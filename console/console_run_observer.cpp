#include "console/console_run_observer.h"

#include "report/run_analysis.h"

#include <cstdio>
#include <string>

namespace {

// What a launch's lines start with: "baseline warmup 1/2: ", "launch 3/10: ",
// and for one the gate added, "launch 11 (added): ".
std::string LaunchPrefix(const LaunchResult& result)
{
    return std::string(result.baseline ? "baseline " : "") +
           (result.warmup ? "warmup " : "launch ") + std::to_string(result.launch) +
           (result.launch > result.launches ? " (added)"
                                            : "/" + std::to_string(result.launches)) +
           ": ";
}

// What a launch whose window was not found had open instead: a title
// mistyped, or a program that names its window otherwise, shows at once.
std::string OpenedTitles(const LaunchResult& result)
{
    if (!result.windowNotFound)
        return "";
    if (result.openedTitles.empty())
        return "; the program opened no titled window";
    return "; the program opened: " + result.openedTitles;
}

}  // namespace

LaunchRecord::LaunchRecord(const LaunchResult& launched)
    : result(launched), failure_(launched.failureLine != nullptr ? launched.failureLine : "")
{
    if (result.failureLine != nullptr)
        result.failureLine = failure_.c_str();
}

LaunchRecord::LaunchRecord(const LaunchRecord& other)
    : result(other.result), close(other.close), endedInJob(other.endedInJob),
      failure_(other.failure_)
{
    if (result.failureLine != nullptr)
        result.failureLine = failure_.c_str();
}

LaunchRecord& LaunchRecord::operator=(const LaunchRecord& other)
{
    result = other.result;
    close = other.close;
    endedInJob = other.endedInJob;
    failure_ = other.failure_;
    if (result.failureLine != nullptr)
        result.failureLine = failure_.c_str();
    return *this;
}

void ConsoleRunObserver::ShowStatus(const char* text)
{
    // The countdowns are for someone watching; a file or a CI log gets a
    // line per launch instead.
    if (!countdown_)
        return;
    const std::string line = text;
    err_ << '\r' << line;
    if (line.size() < statusWidth_)
        err_ << std::string(statusWidth_ - line.size(), ' ') << '\r' << line;
    statusWidth_ = line.size();
    err_.flush();
}

void ConsoleRunObserver::ClearStatus()
{
    if (statusWidth_ == 0)
        return;
    err_ << '\r' << std::string(statusWidth_, ' ') << '\r';
    statusWidth_ = 0;
}

void ConsoleRunObserver::ShowError(const char* text, const char* caption)
{
    ClearStatus();
    // The system's messages end in CR LF, which would leave a blank line.
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' '))
        message.pop_back();
    err_ << "kairon-time: " << caption << ": " << message << "\n";
    err_.flush();
}

namespace {

// Why a launch's content did not settle, for its progress line; the log's
// line is the same whatever the reason.
std::string SettleReason(const SettleRecord& settle)
{
    if (!settle.waited)
        return "";
    switch (settle.outcome) {
    case kSettleStayedBlank:
        return " (it stayed blank)";
    case kSettleKeptChanging:
        return " (its content kept changing)";
    case kSettleCovered:
        // Named, so that the user can move or close it.
        return " (another window covered it: \"" + settle.coveredTitle + "\", class \"" +
               settle.coveredClass + "\"; --capture print reads covered windows)";
    case kSettleWindowGone:
        return " (its window went away)";
    case kSettled:
    case kSettleStopped:
        break;
    }
    return "";
}

}  // namespace

void ConsoleRunObserver::LaunchTimed(const LaunchResult& result)
{
    const bool reached = result.failureLine == nullptr;
    if (!reached)
        missed_ = true;
    launches_.push_back(LaunchRecord(result));
    if (quiet_)
        return;
    ClearStatus();
    err_ << LaunchPrefix(result);
    if (!reached) {
        err_ << result.failureLine << SettleReason(result.settle) << OpenedTitles(result) << "\n";
    } else {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%0.4f s", result.seconds);
        err_ << seconds << "\n";
    }
    err_.flush();
}

void ConsoleRunObserver::LaunchClosed(CloseOutcome outcome)
{
    if (launches_.empty())
        return;
    const WindowOwner& owner = launches_.back().result.owner;
    if (outcome == kCloseNone && owner.known && owner.processId != 0 && !owner.inJob)
        outcome = kCloseLeft;
    launches_.back().close = outcome;
    if (outcome == kCloseLeft && !quiet_) {
        ClearStatus();
        err_ << LaunchPrefix(launches_.back().result)
             << "left running: the launch did not start its window's program\n";
        err_.flush();
    }
    if (outcome != kCloseEnded)
        return;
    ++ended_;
    if (quiet_)
        return;
    ClearStatus();
    err_ << LaunchPrefix(launches_.back().result) << "ended\n";
    err_.flush();
}

void ConsoleRunObserver::LaunchJobEnded(int processes)
{
    if (launches_.empty())
        return;
    launches_.back().endedInJob = processes;
    // A launcher that exited, whose real program stayed: ended with the job.
    if (processes > 0 && launches_.back().close == kCloseFailed)
        LaunchClosed(kCloseEnded);
}

bool ConsoleRunObserver::WantsAnotherRound()
{
    if (!addsRounds_)
        return false;
    // The two runs as their logs have them: the measured launches, those
    // that missed their condition marked so, to be left out alike.
    Run baseline;
    Run app;
    for (const LaunchRecord& record : launches_) {
        if (record.result.warmup)
            continue;
        Launch launch;
        launch.seconds = record.result.seconds;
        launch.failures[kWindowNotFound] = record.Reached() ? 0 : 1;
        (record.result.baseline ? baseline : app).launches.push_back(launch);
    }
    const std::vector<RunAnalysis> pair = {AnalyzeRun(baseline, 1, false),
                                           AnalyzeRun(app, 2, false)};
    return TakeAnotherRound(plan_, static_cast<int>(app.launches.size()), pair);
}

void ConsoleRunObserver::RunEnded(RunOutcome outcome)
{
    ClearStatus();
    stopped_ = outcome == kRunStopped;
    interrupted_ = outcome == kRunInterrupted || outcome == kRunInterruptedBetween;
    // A program that would not close when asked is worth knowing about
    // even when the progress is not shown. Before the interruption's line,
    // which stays the last.
    if (ended_ > 0)
        err_ << "kairon-time: " << ended_ << " of " << launches_.size()
             << " launches had to be ended\n";
    if (outcome == kRunGaveUp && !launches_.empty())
        err_ << "kairon-time: " << LaunchPrefix(launches_.back().result)
             << "its window was not found, and the rest would not find it either: the run "
                "stops here (--keep-going makes every launch)"
             << (quiet_ ? OpenedTitles(launches_.back().result) : std::string()) << "\n";
    if (outcome == kRunInterrupted)
        err_ << "kairon-time: interrupted; the application it launched is closed\n";
    else if (outcome == kRunInterruptedBetween)
        err_ << "kairon-time: interrupted between launches\n";
    err_.flush();
}

void ConsoleRunObserver::CloseProgram()
{
    // Only the settings file asks for this, and kairon-time reads none.
}

ExitStatus ConsoleRunObserver::ExitStatus() const
{
    if (stopped_)
        return kExitFailed;
    if (interrupted_)
        return kExitInterrupted;
    return missed_ ? kExitNotReady : kExitOk;
}
