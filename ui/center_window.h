#ifndef KAIRON_UI_CENTER_WINDOW_H
#define KAIRON_UI_CENTER_WINDOW_H

#include <windows.h>

// Moves `window` so that it is centred over `parent` and kept on the screen,
// without changing its size or Z order. The About box opens this way over
// the main dialog, wherever the user has dragged that.
void CenterOverParent(HWND window, HWND parent);

#endif
