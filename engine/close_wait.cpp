#include "engine/close_wait.h"

#include "engine/time_steps.h"

namespace {

// How often a window that was asked to close is looked for again.
const std::int64_t kCloseCheckMs = 50;

// How long an ended process is given to be gone, so that the next launch
// does not meet it (TerminateProcess only starts the ending).
const int kEndWaitChecks = 100;
const unsigned kEndCheckMs = 10;

}  // namespace

void CloseMessages(const RunSettings& settings, CloseMessage (&messages)[kCloseMessageCount])
{
    messages[0] = {settings.closeByWmClose, kMsgClose, 0, 0};
    messages[1] = {settings.closeBySysCommand, kMsgSysCommand, kSysCommandClose, 0};
    messages[2] = {settings.closeByAltF4, kMsgSysKeyDown, kVirtualKeyF4, kAltF4KeyData};
}

bool SendCloseMessages(const RunSettings& settings, WindowPort& windows, WindowHandle window)
{
    CloseMessage messages[kCloseMessageCount];
    CloseMessages(settings, messages);
    for (const CloseMessage& close : messages) {
        // A message the window did not handle because the first one already
        // destroyed it is not a failure to close.
        if (close.chosen &&
            !windows.Send(window, close.message, close.wParam, close.lParam,
                          kCloseMessageTimeoutMs) &&
            windows.Exists(window))
            return false;
    }
    return true;
}

bool SendClose(const RunSettings& settings, Platform& platform, TimeSteps* steps, Launch* launch)
{
    // The close wait counts from the first message, so that a window
    // whose thread does not answer is not waited for twice. A message that
    // timed out only spares the window the rest: whether it closed is told
    // by whether it is still there.
    launch->sentCount = platform.process.CounterNow();
    launch->closeSent = true;
    return steps != nullptr ? steps->SendCloseMessages(settings, launch->window)
                            : SendCloseMessages(settings, platform.windows, launch->window);
}

bool LaunchGone(const RunSettings& settings, Platform& platform, const Launch& launch)
{
    if (platform.windows.Exists(launch.window))
        return false;
    unsigned long exitCode = 0;
    return !settings.endLeftRunning || platform.process.HasExited(launch.process, &exitCode);
}

CloseWait WaitUntilClosed(const RunSettings& settings, Platform& platform, const Launch& launch,
                          std::int64_t frequency, bool stoppable)
{
    for (;;) {
        if (LaunchGone(settings, platform, launch))
            return kWaitClosed;
        const std::int64_t waitedMs =
            (platform.process.CounterNow() - launch.sentCount) * 1000 / frequency;
        if (waitedMs >= static_cast<std::int64_t>(kCloseWaitMs))
            return kWaitTimedOut;
        if (stoppable && platform.process.StopRequested())
            return kWaitStopped;
        const std::int64_t leftMs = static_cast<std::int64_t>(kCloseWaitMs) - waitedMs;
        platform.process.Sleep(static_cast<unsigned>(leftMs < kCloseCheckMs ? leftMs
                                                                             : kCloseCheckMs));
    }
}

bool EndLaunch(Platform& platform, const Launch& launch)
{
    bool ended = false;
    unsigned long exitCode = 0;
    if (!platform.process.HasExited(launch.process, &exitCode)) {
        platform.process.Terminate(launch.process);
        for (int check = 0; check < kEndWaitChecks &&
                            !platform.process.HasExited(launch.process, &exitCode);
             ++check)
            platform.process.Sleep(kEndCheckMs);
        ended = true;
    }
    return ended;
}

CloseOutcome EndWhatIsLeft(const RunSettings& settings, Platform& platform, const Launch& launch,
                           bool closed)
{
    if (closed)
        return kCloseClosed;
    // A launch that reached input idle alone is left running, as the
    // dialog leaves it: there was nothing to close it by.
    const bool mustEnd = launch.closeSent || launch.missed;
    if (settings.endLeftRunning && mustEnd && EndLaunch(platform, launch))
        return kCloseEnded;
    return launch.closeSent ? kCloseFailed : kCloseNone;
}
