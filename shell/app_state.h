// Process-wide values set at start-up and used by the dialogs.
#ifndef KAIRON_SHELL_APP_STATE_H
#define KAIRON_SHELL_APP_STATE_H

#include <windows.h>

extern HINSTANCE g_instance;
// The program icon at 48 x 48 for painting; null if it could not be loaded.
extern HICON g_programIcon;
// The main dialog, parent of the About box and owner of every message box.
extern HWND g_mainDialog;

#endif
