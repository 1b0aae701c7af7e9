// The main dialog as a timing run's observer: the status line, Run App,
// owned message boxes and, after an unattended run, a posted WM_CLOSE.
// Plain DialogPort calls, so the unit tests watch it through the fake.
#ifndef KAIRON_DIALOG_DIALOG_RUN_OBSERVER_H
#define KAIRON_DIALOG_DIALOG_RUN_OBSERVER_H

#include "engine/run_observer.h"
#include "platform/platform.h"

class DialogRunObserver : public RunObserver {
public:
    explicit DialogRunObserver(DialogPort& dialog) : dialog_(dialog) {}
    void ShowStatus(const char* text) override;
    void ShowError(const char* text, const char* caption) override;
    void RunEnded(RunOutcome outcome) override;
    void CloseProgram() override;

private:
    DialogPort& dialog_;
};

#endif
