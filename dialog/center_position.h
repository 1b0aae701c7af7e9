// Where to put a window so that it sits centred over another and stays on
// the screen. Plain arithmetic, kept apart from Windows so it can be tested.
#ifndef KAIRON_DIALOG_CENTER_POSITION_H
#define KAIRON_DIALOG_CENTER_POSITION_H

// A rectangle in screen pixels.
struct ScreenBox {
    int left;
    int top;
    int width;
    int height;
};

struct ScreenPoint {
    int x;
    int y;
};

// The top-left corner for a window of `width` x `height` centred over
// `parent`, halving with truncation toward zero. Along each axis a start
// before the screen's edge becomes 0; otherwise a window that would run
// past the far edge is moved back to end flush with it.
ScreenPoint CenteredPosition(int width, int height, const ScreenBox& parent,
                             int screenWidth, int screenHeight);

#endif
