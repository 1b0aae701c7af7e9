#ifndef KAIRON_UI_MAIN_WINDOW_H
#define KAIRON_UI_MAIN_WINDOW_H

#include <windows.h>

// Window procedure of the "Kairon" class, which the main dialog's template
// names, so the main dialog's messages arrive here rather than in a dialog
// procedure.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
