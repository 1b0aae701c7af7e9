#include "engine/settle_wait.h"

#include "engine/log_format.h"

SettleResult WaitUntilSettled(Platform& platform, WindowHandle window, std::int32_t settledMs,
                              std::int64_t frequency)
{
    const auto msSince = [&](std::int64_t from, std::int64_t to) {
        return (to - from) * 1000 / frequency;
    };
    SettleResult result;
    const std::int64_t began = platform.process.CounterNow();
    bool captured = false;
    std::uint64_t shown = 0;       // the pixels of the latest capture
    std::int64_t shownSince = 0;   // the counter after the first capture of them
    for (;;) {
        std::uint64_t hash = 0;
        const bool captureTaken = platform.windows.CaptureClientHash(window, &hash);
        // Read after the capture: a mark never comes before the pixels it
        // stands for were on the screen.
        const std::int64_t now = platform.process.CounterNow();
        if (!captureTaken) {
            result.count = now;
            return result;
        }
        if (!captured || hash != shown) {
            captured = true;
            shown = hash;
            shownSince = now;
        } else if (msSince(shownSince, now) >= settledMs) {
            result.count = shownSince;
            result.settled = true;
            return result;
        }
        if (msSince(began, now) >= static_cast<std::int64_t>(kSettleLimitMs)) {
            result.count = now;
            return result;
        }
        platform.process.Sleep(kSettleCaptureSleepMs);
        if (platform.process.StopRequested()) {
            result.stopped = true;
            return result;
        }
    }
}
