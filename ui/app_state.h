// The program-wide state of Kairon's dialogs, in one place: set by WinMain
// at start-up, read by the dialogs. The settings are the ones the dialog,
// config.txt and Run App share; a run gets its own copy.
#ifndef KAIRON_UI_APP_STATE_H
#define KAIRON_UI_APP_STATE_H

#include "config/run_settings.h"

#include <windows.h>

struct AppState {
    HINSTANCE instance;
    // The program icon at 48 x 48 for painting; null if it could not be loaded.
    HICON programIcon;
    // The main dialog, parent of the About box and owner of every message box.
    HWND mainDialog;
    // Written only on the UI thread while no run is active.
    RunSettings runSettings;
};

extern AppState g_app;

#endif
