// kairon-time's --settled: after a launch's window is ready, the wait
// until it has drawn its content, told by its pixels no longer changing.
// A window that is ready may still be blank, or half drawn, for a while;
// what a user waits for is the content.
#ifndef KAIRON_ENGINE_SETTLE_WAIT_H
#define KAIRON_ENGINE_SETTLE_WAIT_H

#include "platform/platform.h"

#include <cstdint>

struct SettleResult {
    // The counter after the first capture that showed the content that
    // then stayed; when not settled, the counter when the wait gave up.
    std::int64_t count = 0;
    bool settled = false;
    bool stopped = false;  // a stop was asked for; count and settled say nothing
};

// Captures the window's client area every kSettleCaptureSleepMs until a
// capture has shown the same pixels as captures for `settledMs`
// milliseconds. Not settled when the pixels still change kSettleLimitMs
// after the wait began, or when a capture fails (the window is gone).
SettleResult WaitUntilSettled(Platform& platform, WindowHandle window, std::int32_t settledMs,
                              std::int64_t frequency);

#endif
