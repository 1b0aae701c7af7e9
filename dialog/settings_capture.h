// Reading the main dialog's fields into a run's settings.
#ifndef KAIRON_DIALOG_SETTINGS_CAPTURE_H
#define KAIRON_DIALOG_SETTINGS_CAPTURE_H

#include "config/run_settings.h"
#include "platform/platform.h"

// Reads every field of the main dialog into `settings` in the dialog's
// capture order, the application path without quotes around it. Numbers
// are read without sign and then held as signed 32-bit values, so
// 2147483648 and above become negative. `autoRun` is left as it is.
void CaptureRunSettings(DialogPort& dialog, RunSettings* settings);

#endif
