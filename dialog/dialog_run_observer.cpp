#include "dialog/dialog_run_observer.h"

#include "resources/control_ids.h"

void DialogRunObserver::ShowStatus(const char* text)
{
    dialog_.SetFieldText(IDC_STATUS, text);
}

void DialogRunObserver::ShowError(const char* text, const char* caption)
{
    dialog_.ShowMessageBox(text, caption, kBoxOk);
}

void DialogRunObserver::RunEnded(RunOutcome outcome)
{
    // Run App first, so the dialog is usable again while the box waits.
    dialog_.EnableControl(IDC_RUN, true);
    if (outcome == kRunFinished) {
        dialog_.SetFieldText(IDC_STATUS, "Finished executions");
        dialog_.ShowMessageBox("Finished executions", "Finished", kBoxOk);
    }
}

void DialogRunObserver::CloseProgram()
{
    dialog_.PostClose();
}
