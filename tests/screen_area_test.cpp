#include "platform/screen_area.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<long> Tie(const ScreenRect& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

// A picture covers what lies on a monitor: here one of 1920 × 1080 and a
// shorter one to its right.
TEST(PartsOnMonitors, KeepOnlyWhatIsOnAMonitor)
{
    const std::vector<ScreenRect> monitors = {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};
    const struct {
        const char* what;
        ScreenRect area;
        std::vector<ScreenRect> parts;
    } cases[] = {
        {"left half off", {-200, 100, 200, 400}, {{0, 100, 200, 400}}},
        {"larger than the screen", {-10, -10, 4000, 2000}, monitors},
        {"across both", {1800, 900, 2000, 1100}, {{1800, 900, 1920, 1080}, {1920, 900, 2000, 1024}}},
        {"wholly off", {-500, 100, -100, 400}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<ScreenRect> parts = PartsOnMonitors(c.area, monitors);
        ASSERT_EQ(parts.size(), c.parts.size());
        for (size_t i = 0; i < parts.size(); ++i)
            EXPECT_EQ(Tie(parts[i]), Tie(c.parts[i])) << i;
    }
    // The box of parts of two heights has a corner on neither monitor: it
    // takes the first part's colour, so that a blank window stays blank.
    const std::vector<ScreenRect> parts = {{0, 0, 2, 3}, {2, 0, 4, 2}};
    std::vector<std::uint32_t> pixels(12, 0xFFFFFF);
    pixels[11] = 0x654321;  // (3, 2)
    MaskOffMonitors(pixels.data(), BoundingBox(parts), parts);
    EXPECT_EQ(pixels[11], 0xFFFFFFu);
}

// The client area pictured is (100, 100)-(500, 400). A neighbour to its
// right has its frame at x 500 and its window rectangle 7 pixels wider.
TEST(FirstCoveringWindow, CountsWhatTheScreenShowsOverTheClientArea)
{
    const ScreenRect client = {100, 100, 500, 400};
    const ScreenRect border = {493, 100, 900, 407};
    const ScreenRect frame = {500, 100, 893, 400};
    // shown, overlay, frame given, frame, window rectangle
    const WindowAbove corner = {true, false, false, {}, {0, 0, 10, 10}};
    const WindowAbove over = {true, false, false, {}, client};
    const struct {
        const char* what;
        std::vector<WindowAbove> above;
        int cover;
    } cases[] = {
        {"nothing above", {}, -1},
        {"a neighbour's invisible border", {{true, false, true, frame, border}}, -1},
        {"a neighbour without a compositor", {{true, false, false, {}, border}}, 0},
        {"a frame over a corner", {{true, false, true, {450, 350, 600, 500}, border}}, 0},
        {"hidden, minimised or cloaked", {{false, false, false, {}, client}}, -1},
        {"an overlay over everything", {{true, true, false, {}, {0, 0, 1920, 1080}}}, -1},
        {"the first of two", {corner, over, over}, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FirstCoveringWindow(client, c.above), c.cover) << c.what;
    // Only so many windows are looked at.
    std::vector<WindowAbove> many(kCoverWalkLimit, corner);
    many.push_back(over);
    EXPECT_EQ(FirstCoveringWindow(client, many), -1);
    many[kCoverWalkLimit - 1] = over;
    EXPECT_EQ(FirstCoveringWindow(client, many), kCoverWalkLimit - 1);
}

}  // namespace
