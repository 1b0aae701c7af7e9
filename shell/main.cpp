// Kairon's entry: register the main dialog's window class, create the
// dialog, fill it from the defaults and config.txt, show it, start an
// unattended run if asked, and pump messages until the dialog is destroyed.
#include "config/run_settings.h"
#include "platform/win32_platform.h"
#include "resources/control_ids.h"
#include "ui/app_state.h"
#include "dialog/config_fields.h"
#include "ui/main_window.h"

#include <windows.h>

namespace {

const char kClassName[] = "Kairon";

void RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.cbClsExtra = 0;
    // A dialog created from a template with its own class needs these bytes.
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, kClassName);
    windowClass.hIconSm = LoadIconA(instance, kClassName);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = kClassName;
    RegisterClassExA(&windowClass);
}

void DispatchOne(HWND dialog, MSG* message)
{
    if (!IsDialogMessageA(dialog, message)) {
        TranslateMessage(message);
        DispatchMessageA(message);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    g_app.programIcon = static_cast<HICON>(LoadImageA(instance, kClassName, IMAGE_ICON, 48, 48, 0));
    g_app.instance = instance;

    RegisterMainWindowClass(instance);

    g_app.mainDialog = CreateDialogParamA(instance, kClassName, nullptr, nullptr, 0);
    if (!g_app.mainDialog) {
        MessageBoxA(nullptr, "Could not create Kairon Dialog.", "Error starting Kairon", MB_OK);
        return 1;
    }

    Win32Dialog dialog(g_app.mainDialog);
    ApplyDefaults(dialog, &g_app.runSettings);

    ShowWindow(g_app.mainDialog, showCommand);

    MSG message;
    ZeroMemory(&message, sizeof message);
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        // The dialog may be closed before the loop below starts: its quit
        // message, taken here, must end the program all the same, or the
        // process would wait on without a window.
        if (message.message == WM_QUIT)
            return static_cast<int>(message.wParam);
        DispatchOne(g_app.mainDialog, &message);
    }

    if (g_app.runSettings.autoRun) {
        // Give the dialog a moment on screen; the posted command then goes
        // through the same validation as a click on Run App.
        Sleep(1000);
        PostMessageA(g_app.mainDialog, WM_COMMAND, IDC_RUN, 0);
    }

    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchOne(g_app.mainDialog, &message);
    return static_cast<int>(message.wParam);
}
