#include "dialog/center_position.h"

#include <gtest/gtest.h>

namespace {

struct CenterCase {
    const char* what;
    int width, height;
    ScreenBox parent;
    int screenWidth, screenHeight;
    int x, y;
};

// A 300 x 200 box over a 420 x 400 parent on a 1024 x 768 screen, unless
// the row says otherwise.
const CenterCase kCases[] = {
    {"centred", 300, 200, {100, 50, 420, 400}, 1024, 768, 160, 150},
    {"odd difference rounds down", 300, 200, {100, 50, 421, 401}, 1024, 768, 160, 150},
    {"narrower parent truncates toward zero", 300, 200, {50, 40, 297, 197}, 1024, 768, 49, 39},
    {"parent at the origin", 300, 200, {0, 0, 420, 400}, 1024, 768, 60, 100},
    {"exactly at the left and top edges", 300, 200, {-60, -100, 420, 400}, 1024, 768, 0, 0},
    {"one pixel past the left and top edges", 300, 200, {-61, -101, 420, 400}, 1024, 768, 0, 0},
    {"dragged far off the left and top", 300, 200, {-900, -700, 420, 400}, 1024, 768, 0, 0},
    {"ends exactly at the right and bottom edges", 300, 200, {664, 468, 420, 400}, 1024, 768, 724,
     568},
    {"one pixel past the right and bottom edges", 300, 200, {665, 469, 420, 400}, 1024, 768, 724,
     568},
    {"dragged far off the right and bottom", 300, 200, {2000, 1500, 420, 400}, 1024, 768, 724, 568},
    {"off the left but past the bottom", 300, 200, {-500, 700, 420, 400}, 1024, 768, 0, 568},
    {"past the right but off the top", 300, 200, {900, -300, 420, 400}, 1024, 768, 724, 0},
    // Wider than the screen: the left edge wins only when the start is
    // negative; a positive start is pulled back to end at the right edge.
    {"wider than the screen, start negative", 1200, 200, {100, 50, 420, 400}, 1024, 768, 0, 150},
    {"wider than the screen, start positive", 1200, 200, {700, 50, 1800, 400}, 1024, 768, -176,
     150},
};

TEST(CenteredPosition, CentresOverTheParentAndStaysOnScreen)
{
    for (const CenterCase& c : kCases) {
        SCOPED_TRACE(c.what);
        ScreenPoint p = CenteredPosition(c.width, c.height, c.parent, c.screenWidth, c.screenHeight);
        EXPECT_EQ(p.x, c.x);
        EXPECT_EQ(p.y, c.y);
    }
}

}  // namespace
