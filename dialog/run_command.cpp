#include "dialog/run_command.h"

#include "resources/control_ids.h"
#include "dialog/settings_capture.h"
#include "dialog/settings_warning.h"

bool RunAppCommand(DialogPort& dialog, RunSettings* settings, RunStarter start, void* context)
{
    CaptureRunSettings(dialog, settings);
    if (!ValidateRunSettings(*settings, dialog))
        return false;
    dialog.EnableControl(IDC_RUN, false);
    if (start(*settings, context))
        return true;
    // Nothing would ever enable Run App again otherwise.
    dialog.EnableControl(IDC_RUN, true);
    dialog.ShowMessageBox("Could not start the timing run.", "Error", kBoxOk);
    return false;
}
