// A timing run watched from a console: a line per launch and the errors on
// standard error, never a box, never a wait for a person; and the exit
// status the run earned.
#ifndef KAIRON_CONSOLE_CONSOLE_RUN_OBSERVER_H
#define KAIRON_CONSOLE_CONSOLE_RUN_OBSERVER_H

#include "console/exit_status.h"
#include "engine/run_observer.h"

#include <ostream>

class ConsoleRunObserver : public RunObserver {
public:
    ConsoleRunObserver(std::ostream& err, bool quiet) : err_(err), quiet_(quiet) {}
    void ShowStatus(const char* text) override;
    void ShowError(const char* text, const char* caption) override;
    void LaunchTimed(const LaunchResult& result) override;
    void RunEnded(RunOutcome outcome) override;
    void CloseProgram() override;
    TimeExitStatus ExitStatus() const;

private:
    std::ostream& err_;
    bool quiet_;
    bool stopped_ = false;
    bool missed_ = false;
};

#endif
