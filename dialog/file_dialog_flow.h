// How Kairon's file pickers behave, apart from the Windows dialogs: which
// dialog and options each mode uses, and the order of attempts when the
// starting name is refused. Portable (no <windows.h>) so the unit tests can
// drive it; file_dialog.cpp supplies the real dialogs and checks the
// constants against the system headers.
#ifndef KAIRON_DIALOG_FILE_DIALOG_FLOW_H
#define KAIRON_DIALOG_FILE_DIALOG_FLOW_H

#include "config/run_settings.h"

// Modes of ShowFileDialog.
const int kFileDialogOpen = 0;    // open an existing file
const int kFileDialogSave = 1;    // name a file to write
const int kFileDialogSelect = 2;  // open dialog with fewer checks

// Win32 values the table below uses.
const unsigned long kOfnHideReadOnly = 0x00000004;     // OFN_HIDEREADONLY
const unsigned long kOfnOverwritePrompt = 0x00000002;  // OFN_OVERWRITEPROMPT
const unsigned long kOfnPathMustExist = 0x00000800;    // OFN_PATHMUSTEXIST
const unsigned long kOfnFileMustExist = 0x00001000;    // OFN_FILEMUSTEXIST
const unsigned long kErrorInvalidFileName = 0x3002;    // FNERR_INVALIDFILENAME

struct FileDialogMode {
    bool saveDialog;           // GetSaveFileNameA rather than GetOpenFileNameA
    unsigned long flags;       // OPENFILENAMEA Flags
    const char* defaultTitle;  // when the caller gives none
};

// An unknown mode is treated as open, the mode with the most checks.
inline FileDialogMode FileDialogModeFor(int mode)
{
    switch (mode) {
    case kFileDialogSave:
        return {true, kOfnOverwritePrompt | kOfnHideReadOnly, "Save file"};
    case kFileDialogSelect:
        return {false, kOfnHideReadOnly, "Select file"};
    default:
        return {false, kOfnFileMustExist | kOfnPathMustExist | kOfnHideReadOnly, "Open file"};
    }
}

// The system's dialogs, all showing the same record, whose file name is the
// working buffer passed to PickFile.
class FileDialogs {
public:
    virtual ~FileDialogs() {}
    // Non-zero when the user chose a file.
    virtual int ShowOpen() = 0;
    virtual int ShowSave() = 0;
    // CommDlgExtendedError of the dialog just shown.
    virtual unsigned long LastError() = 0;
};

// Copies a NUL-terminated path between buffers of kPathSize,
// cutting it short if it does not fit.
inline void CopyPath(char* to, const char* from)
{
    int i = 0;
    for (; i < kPathSize - 1 && from[i] != '\0'; ++i)
        to[i] = from[i];
    to[i] = '\0';
}

// Shows the mode's dialog starting from `path` and, when the user chooses a
// file, copies it back into `path`; returns the dialog's result, 0 with
// `path` unchanged on cancel or failure. Both buffers hold
// kPathSize characters. A starting name the system refuses as a
// file name gets one more try with an empty name, always through the open
// dialog: for a save, that open dialog still accepts a new name, because
// save mode does not require the file to exist.
inline int PickFile(FileDialogs& dialogs, int mode, char* path, char* working)
{
    CopyPath(working, path);
    int chosen = FileDialogModeFor(mode).saveDialog ? dialogs.ShowSave() : dialogs.ShowOpen();
    unsigned long error = dialogs.LastError();
    if (!chosen) {
        if (error != kErrorInvalidFileName)
            return 0;
        working[0] = '\0';
        chosen = dialogs.ShowOpen();
        if (!chosen)
            return 0;
    }
    CopyPath(path, working);
    return chosen;
}

#endif
