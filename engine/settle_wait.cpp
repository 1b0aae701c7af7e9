#include "engine/settle_wait.h"

#include "engine/log_format.h"

SettleResult WaitUntilSettled(Platform& platform, WindowHandle window, std::int32_t settledMs,
                              CaptureSource source, std::int64_t frequency)
{
    const auto msSince = [&](std::int64_t from, std::int64_t to) {
        return (to - from) * 1000 / frequency;
    };
    SettleResult result;
    const std::int64_t began = platform.process.CounterNow();
    std::uint64_t previous = 0;    // the latest picture's pixels
    bool quiet = false;            // content, unchanged since shownSince
    std::int64_t shownSince = 0;   // the counter after the first picture of it
    for (;;) {
        ClientPicture picture;
        const bool taken = platform.windows.CaptureClient(window, source, &picture);
        // Read after the capture: a mark never comes before the pixels it
        // stands for were on the screen.
        const std::int64_t now = platform.process.CounterNow();
        result.count = now;
        if (!taken) {
            result.outcome = kSettleWindowGone;
            return result;
        }
        const bool changed = result.pictures > 0 && picture.hash != previous;
        if (changed)
            ++result.changes;
        ++result.pictures;
        previous = picture.hash;
        // What the screen shows there is another window's, not the content.
        if (picture.covered) {
            result.outcome = kSettleCovered;
            return result;
        }
        if (picture.blank) {
            quiet = false;
        } else {
            if (!result.contentSeen) {
                result.contentSeen = true;
                result.contentCount = now;
            }
            if (!quiet || changed) {
                quiet = true;
                shownSince = now;
            } else if (msSince(shownSince, now) >= settledMs) {
                result.count = shownSince;
                result.outcome = kSettled;
                return result;
            }
        }
        if (msSince(began, now) >= static_cast<std::int64_t>(kSettleLimitMs)) {
            result.outcome = result.contentSeen ? kSettleKeptChanging : kSettleStayedBlank;
            return result;
        }
        platform.process.Sleep(kSettleCaptureSleepMs);
        if (platform.process.StopRequested()) {
            result.outcome = kSettleStopped;
            return result;
        }
    }
}
