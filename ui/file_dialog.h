// The common open and save dialogs behind the main dialog's browse buttons.
#ifndef KAIRON_UI_FILE_DIALOG_H
#define KAIRON_UI_FILE_DIALOG_H

#include "dialog/file_dialog_flow.h"

#include <windows.h>

// Lets the user pick a file, starting in the folder and with the name that
// `path` (kPathSize characters) already holds. `title` null means
// the mode's default title; `filter` is pairs of display text and pattern,
// each NUL-terminated, ended by an extra NUL; `defaultExtension` may be null.
// `mode` is kFileDialogOpen, kFileDialogSave or kFileDialogSelect. Returns
// non-zero with the chosen path in `path`, or 0 with `path` unchanged.
int ShowFileDialog(HWND owner, char* path, const char* title, const char* filter,
                   const char* defaultExtension, int mode);

#endif
