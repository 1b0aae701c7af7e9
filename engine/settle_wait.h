// kairon-time's --settled: after a launch's window is ready, the wait
// until it has drawn its content, told by its pixels no longer changing.
// A window that is ready may still be blank, or half drawn, for a while;
// what a user waits for is the content.
#ifndef KAIRON_ENGINE_SETTLE_WAIT_H
#define KAIRON_ENGINE_SETTLE_WAIT_H

#include "platform/platform.h"

#include <cstdint>
#include <string>

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
    // The mark's precision. The median of the milliseconds one picture took,
    // of those that read pixels; -1 when none did. And the milliseconds
    // between the picture before the latest change to content and the
    // picture that showed it (for the first picture, from the wait's
    // start): the change came somewhere in between; -1 without content.
    double pictureMs = -1;
    double resolutionMs = -1;
    // kSettleCovered: the title and window class of the window that lay
    // over it, empty when it could not be read.
    std::string coveredTitle;
    std::string coveredClass;
};

// Whether the window's own pixels can be on the screen, and so in a
// picture: shown, not minimised, not cloaked, and not kept out of captures
// (a display affinity). Otherwise a picture would read whatever lies where
// the window would be, another program's content, or nothing: it is
// counted as the empty picture, blank.
bool OwnPixelsCanShow(WindowPort& windows, WindowHandle window);

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
