#include "dialog/center_position.h"

namespace {

int CenteredStart(int size, int parentStart, int parentSize, int screenSize)
{
    int start = (parentSize - size) / 2 + parentStart;
    if (start < 0)
        return 0;
    if (start + size > screenSize)
        return screenSize - size;
    return start;
}

}  // namespace

ScreenPoint CenteredPosition(int width, int height, const ScreenBox& parent,
                             int screenWidth, int screenHeight)
{
    return {CenteredStart(width, parent.left, parent.width, screenWidth),
            CenteredStart(height, parent.top, parent.height, screenHeight)};
}
