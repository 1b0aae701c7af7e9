// kairon-time's --settled: after a launch's window is ready, the wait
// until it has drawn its content, told by its pixels no longer changing.
// A window that is ready may still be blank, or half drawn, for a while;
// what a user waits for is the content.
#ifndef KAIRON_ENGINE_SETTLE_WAIT_H
#define KAIRON_ENGINE_SETTLE_WAIT_H

#include "platform/platform.h"

#include <cstdint>

// Each CaptureSource's name, in its order, as kairon-time's --capture and
// its JSON spell it.
const char* const kCaptureSourceNames[] = {"screen", "window", "print"};

// How the wait ended.
enum SettleOutcome {
    kSettled,            // the content stayed for the quiet time
    kSettleStayedBlank,  // no picture had content before the limit
    kSettleKeptChanging, // the content still changed at the limit
    kSettleCovered,      // another window lay over it (screen pictures)
    kSettleWindowGone,   // the window went away, or would not be captured
    kSettleStopped,      // a stop was asked for; nothing else here counts
};

struct SettleResult {
    SettleOutcome outcome = kSettleWindowGone;
    // The counter after the first picture of the content that then stayed;
    // when not settled, the counter when the wait gave up.
    std::int64_t count = 0;
    // The evidence: pictures taken, how many differed from the one before,
    // and the counter after the first that was not blank.
    int pictures = 0;
    int changes = 0;
    bool contentSeen = false;
    std::int64_t contentCount = 0;
};

// Captures the window's client area from `source` every
// kSettleCaptureSleepMs until a picture with content (not blank) has shown
// the same pixels as pictures for `settledMs` milliseconds: the quiet time
// counts only from content, so a window blank for longer than it does not
// settle on the blank. Not settled when that has not happened
// kSettleLimitMs after the wait began, when a screen picture was covered,
// or when a capture fails (the window is gone).
SettleResult WaitUntilSettled(Platform& platform, WindowHandle window, std::int32_t settledMs,
                              CaptureSource source, std::int64_t frequency);

#endif
