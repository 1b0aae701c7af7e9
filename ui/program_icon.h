#ifndef KAIRON_UI_PROGRAM_ICON_H
#define KAIRON_UI_PROGRAM_ICON_H

#include <windows.h>

// Paints the program icon into the dialog's icon frame (IDC_ICON_FRAME).
// Used by the main dialog and the About box; draws nothing without an icon.
void PaintProgramIcon(HWND dialog);

#endif
