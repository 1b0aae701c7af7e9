#include "console/console_run_observer.h"

#include <cstdio>
#include <string>

void ConsoleRunObserver::ShowStatus(const char*)
{
    // The countdowns are for someone watching a dialog; a console gets a
    // line per launch instead, which a CI log can keep.
}

void ConsoleRunObserver::ShowError(const char* text, const char* caption)
{
    // The system's messages end in CR LF, which would leave a blank line.
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' '))
        message.pop_back();
    err_ << "kairon-time: " << caption << ": " << message << "\n";
    err_.flush();
}

void ConsoleRunObserver::LaunchTimed(const LaunchResult& result)
{
    if (result.failureLine != nullptr)
        missed_ = true;
    if (quiet_)
        return;
    err_ << "launch " << result.launch << "/" << result.launches << ": ";
    if (result.failureLine != nullptr) {
        err_ << result.failureLine << "\n";
    } else {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%0.4f s", result.seconds);
        err_ << seconds << "\n";
    }
    err_.flush();
}

void ConsoleRunObserver::RunEnded(RunOutcome outcome)
{
    stopped_ = outcome == kRunStopped;
}

void ConsoleRunObserver::CloseProgram()
{
    // Only the settings file asks for this, and kairon-time reads none.
}

TimeExitStatus ConsoleRunObserver::ExitStatus() const
{
    if (stopped_)
        return kTimeExitFailed;
    return missed_ ? kTimeExitNotReady : kTimeExitReady;
}
