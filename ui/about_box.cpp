#include "ui/about_box.h"

#include "resources/control_ids.h"
#include "resources/version.h"
#include "ui/app_state.h"
#include "ui/center_window.h"
#include "ui/program_icon.h"

#include <cstdio>

namespace {

const char kMakerLine[] = "Veltrane Software";
const char kWebAddress[] = "www.veltrane.example";
const char kProductName[] = "Kairon";
const char kVersion[] = KAIRON_SHORT_VERSION_TEXT;
const char kBuild[] = KAIRON_BUILD_TEXT;

void OnInitDialog(HWND dialog)
{
    CenterOverParent(dialog, g_app.mainDialog);
    SetDlgItemTextA(dialog, IDC_ABOUT_MAKER, kMakerLine);
    char versionLine[256];
    std::snprintf(versionLine, sizeof versionLine, "%s %s Build: %s", kProductName, kVersion,
                  kBuild);
    SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, versionLine);
    SetDlgItemTextA(dialog, IDC_ABOUT_WEB, kWebAddress);
}

}  // namespace

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_PAINT:
        PaintProgramIcon(dialog);
        return FALSE;
    case WM_COMMAND:
        // Enter arrives as IDOK, Escape as IDCANCEL.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
