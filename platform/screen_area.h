// Where a window's pixels are on the screen: which part of its client area
// lies on a monitor, and whether a window above it lies over that part.
//
// Portable: the Win32 side gathers the rectangles, the tests make them.
#ifndef KAIRON_PLATFORM_SCREEN_AREA_H
#define KAIRON_PLATFORM_SCREEN_AREA_H

#include <cstdint>
#include <vector>

// A rectangle in screen pixels, right and bottom excluded (a RECT).
struct ScreenRect {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
};

// The part both rectangles share; false when it is empty.
bool Overlap(const ScreenRect& a, const ScreenRect& b, ScreenRect* shared);

// The pieces of `area` that lie on the monitors, one per monitor it
// reaches; none for an area wholly off the screen. A picture is taken of
// their bounding box only: off the monitors a screen copy reads nothing
// of the window's, and a window's own surface may not be drawn there.
std::vector<ScreenRect> PartsOnMonitors(const ScreenRect& area,
                                        const std::vector<ScreenRect>& monitors);
ScreenRect BoundingBox(const std::vector<ScreenRect>& parts);

// Gives the pixels of a picture of `box` (rows of box's width, top first)
// that lie on none of `parts` the colour of the first part's first pixel,
// so that only the pixels on a monitor make its hash and its blankness:
// monitors of different sizes leave such corners in the box.
void MaskOffMonitors(std::uint32_t* pixels, const ScreenRect& box,
                     const std::vector<ScreenRect>& parts);

// A window above the one pictured in the Z order, as the screen shows it.
struct WindowAbove {
    bool shown = false;     // visible, not minimised, not cloaked
    bool overlay = false;   // WS_EX_LAYERED | WS_EX_TRANSPARENT
    bool frameGiven = false;
    // DWMWA_EXTENDED_FRAME_BOUNDS: what is drawn. The window rectangle
    // also holds the invisible resize borders of Windows 10 and 11, about
    // 7 pixels a side, which lie over a neighbour without hiding it.
    ScreenRect frame;
    ScreenRect windowRect;  // GetWindowRect: all there is without the compositor
};

// How many windows above the pictured one the cover test looks at. The
// Z order changes while it is walked, and a walk without a bound can go
// round for ever or on to windows already destroyed; the windows over a
// launch's fresh window are few (the taskbar, a few tool windows).
const int kCoverWalkLimit = 64;

// The index in `above` (nearest first) of the first window whose pixels
// lie over `client` on the screen; -1 for none among the first
// kCoverWalkLimit. A shown window counts by its visible frame where the
// compositor gives one, by its window rectangle otherwise; a mostly
// transparent overlay that lets the mouse through (a game's, a graphics
// driver's, over the whole screen) does not count.
int FirstCoveringWindow(const ScreenRect& client, const std::vector<WindowAbove>& above);

#endif
