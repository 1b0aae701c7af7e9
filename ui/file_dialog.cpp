#include "ui/file_dialog.h"

#include <commdlg.h>

static_assert(kOfnHideReadOnly == OFN_HIDEREADONLY, "OFN_HIDEREADONLY");
static_assert(kOfnOverwritePrompt == OFN_OVERWRITEPROMPT, "OFN_OVERWRITEPROMPT");
static_assert(kOfnPathMustExist == OFN_PATHMUSTEXIST, "OFN_PATHMUSTEXIST");
static_assert(kOfnFileMustExist == OFN_FILEMUSTEXIST, "OFN_FILEMUSTEXIST");
static_assert(kErrorInvalidFileName == FNERR_INVALIDFILENAME, "FNERR_INVALIDFILENAME");
// The full record, reserved members and FlagsEx included, as the common
// dialogs expect it (the 64-bit build exists only to run the tests).
#ifdef _WIN64
static_assert(sizeof(OPENFILENAMEA) == 152, "OPENFILENAMEA of 152 bytes");
#else
static_assert(sizeof(OPENFILENAMEA) == 88, "OPENFILENAMEA of 88 bytes");
#endif

namespace {

class SystemFileDialogs : public FileDialogs {
public:
    explicit SystemFileDialogs(OPENFILENAMEA* record) : record_(record) {}
    int ShowOpen() override { return GetOpenFileNameA(record_); }
    int ShowSave() override { return GetSaveFileNameA(record_); }
    unsigned long LastError() override { return CommDlgExtendedError(); }

private:
    OPENFILENAMEA* record_;
};

}  // namespace

int ShowFileDialog(HWND owner, char* path, const char* title, const char* filter,
                   const char* defaultExtension, int mode)
{
    char working[kPathSize];
    FileDialogMode dialogMode = FileDialogModeFor(mode);
    OPENFILENAMEA record;
    ZeroMemory(&record, sizeof record);
    record.lStructSize = sizeof record;
    record.hwndOwner = owner;
    record.lpstrFilter = filter;
    record.lpstrFile = working;
    record.nMaxFile = MAX_PATH;
    record.nMaxFileTitle = 512;
    record.lpstrInitialDir = path;
    record.lpstrTitle = title ? title : dialogMode.defaultTitle;
    record.lpstrDefExt = defaultExtension;
    record.Flags = dialogMode.flags;
    SystemFileDialogs dialogs(&record);
    return PickFile(dialogs, mode, path, working);
}
