#include "ui/center_window.h"

#include "dialog/center_position.h"

void CenterOverParent(HWND window, HWND parent)
{
    RECT windowRect;
    RECT parentRect;
    GetWindowRect(window, &windowRect);
    GetWindowRect(parent, &parentRect);

    HDC dc = GetDC(window);
    int screenWidth = GetDeviceCaps(dc, HORZRES);
    int screenHeight = GetDeviceCaps(dc, VERTRES);
    ReleaseDC(window, dc);

    ScreenBox parentBox = {parentRect.left, parentRect.top, parentRect.right - parentRect.left,
                           parentRect.bottom - parentRect.top};
    ScreenPoint corner = CenteredPosition(windowRect.right - windowRect.left,
                                          windowRect.bottom - windowRect.top, parentBox,
                                          screenWidth, screenHeight);
    SetWindowPos(window, nullptr, corner.x, corner.y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}
