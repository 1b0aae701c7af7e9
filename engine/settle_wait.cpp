#include "engine/settle_wait.h"

#include "engine/log_format.h"
#include "engine/window_detection.h"
#include "platform/pixel_hash.h"

#include <algorithm>
#include <vector>

namespace {

double MedianOf(std::vector<std::int64_t> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 != 0
               ? static_cast<double>(values[middle])
               : (static_cast<double>(values[middle - 1]) + static_cast<double>(values[middle])) / 2;
}

// The picture of a window whose own pixels cannot be on the screen; false
// when the window is gone.
bool EmptyPicture(WindowPort& windows, WindowHandle window, ClientPicture* picture)
{
    picture->hash = HashPixels(nullptr, 0, 0);
    picture->blank = true;
    return windows.Exists(window);
}

void NameCover(WindowPort& windows, WindowHandle cover, SettleResult* result)
{
    char text[kTitleSize] = "";
    if (cover != 0 && windows.Title(cover, text, kTitleSize) > 0)
        result->coveredTitle = text;
    text[0] = '\0';
    if (cover != 0 && windows.ClassName(cover, text, kTitleSize) > 0)
        result->coveredClass = text;
}

}  // namespace

bool OwnPixelsCanShow(WindowPort& windows, WindowHandle window)
{
    return windows.IsShown(window) && !windows.IsCloaked(window) &&
           !windows.ExcludedFromCapture(window);
}

SettleResult WaitUntilSettled(Platform& platform, WindowHandle window, std::int32_t settledMs,
                              CaptureSource source, std::int64_t frequency)
{
    const auto msSince = [&](std::int64_t from, std::int64_t to) {
        return (to - from) * 1000 / frequency;
    };
    const auto exactMs = [&](double ticks) { return ticks * 1000 / static_cast<double>(frequency); };
    SettleResult result;
    const std::int64_t began = platform.process.CounterNow();
    std::uint64_t previous = 0;    // the latest picture's pixels
    bool quiet = false;            // content, unchanged since shownSince
    std::int64_t shownSince = 0;   // the counter after the first picture of it
    std::int64_t pictureBefore = began;  // the counter after the one before
    std::vector<std::int64_t> pictureTicks;
    const auto finish = [&](SettleOutcome outcome) {
        result.outcome = outcome;
        if (!pictureTicks.empty())
            result.pictureMs = exactMs(MedianOf(pictureTicks));
        return result;
    };
    for (;;) {
        ClientPicture picture;
        const std::int64_t before = platform.process.CounterNow();
        const bool onScreen = OwnPixelsCanShow(platform.windows, window);
        const bool taken = onScreen ? platform.windows.CaptureClient(window, source, &picture)
                                    : EmptyPicture(platform.windows, window, &picture);
        // Read after the capture: a mark never comes before the pixels it
        // stands for were on the screen.
        const std::int64_t now = platform.process.CounterNow();
        result.count = now;
        if (!taken)
            return finish(kSettleWindowGone);
        if (onScreen)
            pictureTicks.push_back(now - before);
        const bool changed = result.pictures > 0 && picture.hash != previous;
        if (changed)
            ++result.changes;
        ++result.pictures;
        previous = picture.hash;
        // What the screen shows there is another window's, not the content.
        if (picture.covered) {
            NameCover(platform.windows, picture.coveredBy, &result);
            return finish(kSettleCovered);
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
                result.resolutionMs = exactMs(static_cast<double>(now - pictureBefore));
            } else if (msSince(shownSince, now) >= settledMs) {
                result.count = shownSince;
                return finish(kSettled);
            }
        }
        if (msSince(began, now) >= static_cast<std::int64_t>(kSettleLimitMs))
            return finish(result.contentSeen ? kSettleKeptChanging : kSettleStayedBlank);
        pictureBefore = now;
        platform.process.Sleep(kSettleCaptureSleepMs);
        if (platform.process.StopRequested())
            return finish(kSettleStopped);
    }
}
