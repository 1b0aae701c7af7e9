#include "platform/screen_area.h"

#include "platform/pixel_hash.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

ScreenRect Rect(long left, long top, long right, long bottom)
{
    ScreenRect rect;
    rect.left = left;
    rect.top = top;
    rect.right = right;
    rect.bottom = bottom;
    return rect;
}

bool Same(const ScreenRect& a, const ScreenRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

const ScreenRect kLeftMonitor = Rect(0, 0, 1920, 1080);
const ScreenRect kRightMonitor = Rect(1920, 0, 3200, 1024);  // shorter

// The part of a client area a picture covers: what lies on a monitor.
TEST(PartsOnMonitors, KeepOnlyWhatIsOnAMonitor)
{
    const struct {
        const char* what;
        ScreenRect area;
        std::vector<ScreenRect> parts;
    } cases[] = {
        {"wholly on one", Rect(100, 100, 500, 400), {Rect(100, 100, 500, 400)}},
        {"left half off", Rect(-200, 100, 200, 400), {Rect(0, 100, 200, 400)}},
        {"larger than the screen", Rect(-10, -10, 4000, 2000),
         {kLeftMonitor, kRightMonitor}},
        {"across both", Rect(1800, 900, 2000, 1100),
         {Rect(1800, 900, 1920, 1080), Rect(1920, 900, 2000, 1024)}},
        {"wholly off", Rect(-500, 100, -100, 400), {}},
        {"touching the edge only", Rect(-400, 0, 0, 300), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<ScreenRect> parts =
            PartsOnMonitors(c.area, {kLeftMonitor, kRightMonitor});
        ASSERT_EQ(parts.size(), c.parts.size());
        for (size_t i = 0; i < parts.size(); ++i)
            EXPECT_TRUE(Same(parts[i], c.parts[i])) << i;
    }
}

// Across monitors of two heights the box has a corner on neither: it takes
// the first part's colour, so a blank window stays blank, and what is
// there does not make the hash.
TEST(MaskOffMonitors, GivesTheCornerOnNoMonitorTheFirstPartsColour)
{
    const std::vector<ScreenRect> parts = {Rect(0, 0, 2, 3), Rect(2, 0, 4, 2)};
    const ScreenRect box = BoundingBox(parts);
    ASSERT_TRUE(Same(box, Rect(0, 0, 4, 3)));
    std::vector<std::uint32_t> pixels(12, 0xFFFFFF);
    pixels[10] = 0x123456;  // (2, 2): on no monitor
    pixels[11] = 0x654321;  // (3, 2)
    MaskOffMonitors(pixels.data(), box, parts);
    EXPECT_TRUE(IsOneColour(pixels.data(), 4, 3));
    // One part is the box: nothing to mask.
    pixels[11] = 0x654321;
    MaskOffMonitors(pixels.data(), box, {box});
    EXPECT_EQ(pixels[11], 0x654321u);
}

WindowAbove Above(ScreenRect windowRect, bool frameGiven = false, ScreenRect frame = ScreenRect(),
                  bool shown = true, bool overlay = false)
{
    WindowAbove window;
    window.windowRect = windowRect;
    window.frameGiven = frameGiven;
    window.frame = frame;
    window.shown = shown;
    window.overlay = overlay;
    return window;
}

// The client area pictured is (100, 100)-(500, 400). A neighbour to its
// right has its frame at x 500 and its window rectangle 7 pixels wider.
TEST(FirstCoveringWindow, CountsWhatTheScreenShowsOverTheClientArea)
{
    const ScreenRect client = Rect(100, 100, 500, 400);
    const ScreenRect neighbour = Rect(493, 100, 900, 407);
    const ScreenRect neighbourFrame = Rect(500, 100, 893, 400);
    const struct {
        const char* what;
        std::vector<WindowAbove> above;
        int cover;
    } cases[] = {
        {"nothing above", {}, -1},
        {"a neighbour's invisible border", {Above(neighbour, true, neighbourFrame)}, -1},
        {"a neighbour without a compositor", {Above(neighbour)}, 0},
        {"a frame over a corner", {Above(neighbour, true, Rect(450, 350, 600, 500))}, 0},
        {"hidden, minimised or cloaked", {Above(client, false, ScreenRect(), false)}, -1},
        {"an overlay over everything",
         {Above(Rect(0, 0, 1920, 1080), false, ScreenRect(), true, true)}, -1},
        {"the first of two", {Above(Rect(0, 0, 10, 10)), Above(client), Above(client)}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FirstCoveringWindow(client, c.above), c.cover);
    }
    // Only so many windows are looked at.
    std::vector<WindowAbove> many(kCoverWalkLimit, Above(Rect(0, 0, 10, 10)));
    many.push_back(Above(client));
    EXPECT_EQ(FirstCoveringWindow(client, many), -1);
    many[kCoverWalkLimit - 1] = Above(client);
    EXPECT_EQ(FirstCoveringWindow(client, many), kCoverWalkLimit - 1);
}

}  // namespace
