#include "ui/main_window.h"

#include "config/run_settings.h"
#include "platform/win32_platform.h"
#include "resources/control_ids.h"
#include "ui/app_state.h"
#include "ui/about_box.h"
#include "ui/file_dialog.h"
#include "ui/program_icon.h"
#include "dialog/run_command.h"
#include "ui/timing_thread.h"

namespace {

const char kAppFilter[] = "EXE Files (*.exe)\0*.exe\0";
const char kLogFilter[] = "Text Files (*.txt)\0*.txt\0";

// Lets the user pick a file for an edit field, starting from what it holds.
void BrowseIntoField(HWND dialog, int fieldId, const char* title, const char* filter, int mode)
{
    char path[kPathSize] = "";
    GetDlgItemTextA(dialog, fieldId, path, kPathSize);
    if (ShowFileDialog(dialog, path, title, filter, nullptr, mode))
        SetDlgItemTextA(dialog, fieldId, path);
}

bool StartRunThread(const RunSettings& settings, void* dialog)
{
    return StartTimingRunThread(static_cast<HWND>(dialog), settings);
}

void OnRun(HWND dialog)
{
    Win32Dialog port(dialog);
    RunAppCommand(port, &g_app.runSettings, StartRunThread, dialog);
}

void OnDetectWindowNameClicked(HWND dialog)
{
    const bool detect = IsDlgButtonChecked(dialog, IDC_DETECT_WINDOW_NAME) == BST_CHECKED;
    EnableWindow(GetDlgItem(dialog, IDC_EXACT_MATCH), detect ? TRUE : FALSE);
}

void OnCommand(HWND dialog, int controlId)
{
    switch (controlId) {
    case IDC_CLOSE:
        DestroyWindow(dialog);
        break;
    case IDC_BROWSE_APP:
        BrowseIntoField(dialog, IDC_APP_PATH, "Select an application", kAppFilter,
                        kFileDialogSelect);
        break;
    case IDC_BROWSE_LOG:
        BrowseIntoField(dialog, IDC_LOG_PATH, "Enter a log filename", kLogFilter,
                        kFileDialogSave);
        break;
    case IDC_RUN:
        OnRun(dialog);
        break;
    case IDC_DETECT_WINDOW_NAME:
        OnDetectWindowNameClicked(dialog);
        break;
    case IDC_ABOUT:
        DialogBoxParamA(g_app.instance, "AboutBox", dialog, AboutBoxProc, 0);
        break;
    default:
        break;
    }
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        PaintProgramIcon(window);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
