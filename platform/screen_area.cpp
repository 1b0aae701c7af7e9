#include "platform/screen_area.h"

#include <algorithm>

bool Overlap(const ScreenRect& a, const ScreenRect& b, ScreenRect* shared)
{
    shared->left = std::max(a.left, b.left);
    shared->top = std::max(a.top, b.top);
    shared->right = std::min(a.right, b.right);
    shared->bottom = std::min(a.bottom, b.bottom);
    return shared->left < shared->right && shared->top < shared->bottom;
}

std::vector<ScreenRect> PartsOnMonitors(const ScreenRect& area,
                                        const std::vector<ScreenRect>& monitors)
{
    std::vector<ScreenRect> parts;
    for (const ScreenRect& monitor : monitors) {
        ScreenRect part;
        if (Overlap(area, monitor, &part))
            parts.push_back(part);
    }
    return parts;
}

ScreenRect BoundingBox(const std::vector<ScreenRect>& parts)
{
    ScreenRect box;
    if (parts.empty())
        return box;
    box = parts.front();
    for (const ScreenRect& part : parts) {
        box.left = std::min(box.left, part.left);
        box.top = std::min(box.top, part.top);
        box.right = std::max(box.right, part.right);
        box.bottom = std::max(box.bottom, part.bottom);
    }
    return box;
}

void MaskOffMonitors(std::uint32_t* pixels, const ScreenRect& box,
                     const std::vector<ScreenRect>& parts)
{
    if (parts.size() < 2)
        return;  // one part is the box itself
    const long width = box.right - box.left;
    const std::uint32_t fill =
        pixels[(parts.front().top - box.top) * width + (parts.front().left - box.left)];
    for (long y = box.top; y < box.bottom; ++y) {
        for (long x = box.left; x < box.right; ++x) {
            const bool onMonitor = std::any_of(parts.begin(), parts.end(), [&](const ScreenRect& p) {
                return x >= p.left && x < p.right && y >= p.top && y < p.bottom;
            });
            if (!onMonitor)
                pixels[(y - box.top) * width + (x - box.left)] = fill;
        }
    }
}

int FirstCoveringWindow(const ScreenRect& client, const std::vector<WindowAbove>& above)
{
    const int count = std::min(static_cast<int>(above.size()), kCoverWalkLimit);
    for (int i = 0; i < count; ++i) {
        const WindowAbove& window = above[static_cast<size_t>(i)];
        ScreenRect shared;
        if (window.shown && !window.overlay &&
            Overlap(window.frameGiven ? window.frame : window.windowRect, client, &shared))
            return i;
    }
    return -1;
}
