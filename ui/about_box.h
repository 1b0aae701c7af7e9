#ifndef KAIRON_UI_ABOUT_BOX_H
#define KAIRON_UI_ABOUT_BOX_H

#include <windows.h>

// Dialog procedure of the "AboutBox" template: the program icon, the maker,
// the version line and the maker's web address, centred over the main
// dialog. OK, Enter and Escape close it with result 0.
INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
