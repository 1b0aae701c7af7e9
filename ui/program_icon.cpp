#include "ui/program_icon.h"

#include "resources/control_ids.h"
#include "ui/app_state.h"

void PaintProgramIcon(HWND dialog)
{
    HWND frame = GetDlgItem(dialog, IDC_ICON_FRAME);
    // Erase and repaint the frame first so the icon is drawn over a clean
    // background, not under the frame's own later painting.
    InvalidateRect(frame, nullptr, TRUE);
    UpdateWindow(frame);
    HDC dc = GetDC(frame);
    if (g_app.programIcon)
        DrawIconEx(dc, 0, 0, g_app.programIcon, 0, 0, 0, nullptr, DI_NORMAL);
    ReleaseDC(frame, dc);
}
