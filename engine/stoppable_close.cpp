#include "engine/stoppable_close.h"

#include "engine/close_wait.h"
#include "engine/log_format.h"

namespace {

// How often a message's handling, and a stop, are looked for.
const unsigned kSendCheckMs = 20;

bool SendAndWatch(Platform& platform, WindowHandle window, const CloseMessage& close)
{
    ProcessPort& process = platform.process;
    if (!platform.windows.SendWithoutWaiting(window, close.message, close.wParam, close.lParam))
        return false;
    const std::int64_t frequency = process.CounterFrequency();
    const std::int64_t sentCount = process.CounterNow();
    for (;;) {
        if (platform.windows.SentMessageHandled())
            return true;
        const std::int64_t waitedMs = (process.CounterNow() - sentCount) * 1000 / frequency;
        const std::int64_t limitMs = process.StopRequested() ? kStoppedSendMs
                                                             : kCloseMessageTimeoutMs;
        if (waitedMs >= limitMs)
            return false;
        const std::int64_t leftMs = limitMs - waitedMs;
        process.Sleep(static_cast<unsigned>(leftMs < kSendCheckMs ? leftMs : kSendCheckMs));
    }
}

}  // namespace

bool SendCloseMessagesUntilStop(const RunSettings& settings, Platform& platform,
                                WindowHandle window)
{
    CloseMessage messages[kCloseMessageCount];
    CloseMessages(settings, messages);
    for (const CloseMessage& close : messages) {
        if (close.chosen && !SendAndWatch(platform, window, close) &&
            platform.windows.Exists(window))
            return false;
    }
    return true;
}
