// The --stamps block of the sample application: performance-counter
// readings it writes at the moments a benchmark measures Kairon against.
// The block is created by whoever runs the application, with this size,
// and read once the application's window is closed. The counter is the
// same clock in every process.
#ifndef KAIRON_TOOLS_SAMPLE_APP_SAMPLE_STAMPS_H
#define KAIRON_TOOLS_SAMPLE_APP_SAMPLE_STAMPS_H

#include <windows.h>

struct SampleStamps {
    // Right after CreateWindowExA returns the titled window: from then on
    // a search for it can find it.
    volatile LONGLONG created;
    // Right after ShowWindow.
    volatile LONGLONG shown;
    // With --draw-after: right after the content was painted; 0 before.
    volatile LONGLONG drawn;
    // Right before CreateWindowExA: no search can find the window earlier.
    // The window becomes findable somewhere between this and `created`.
    volatile LONGLONG creating;
};

#endif
