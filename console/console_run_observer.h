// A timing run watched from a console: a line per launch and the errors on
// standard error, never a box, never a wait for a person; what each launch
// reached, for the JSON and the phase summary; and the exit status the run
// earned.
#ifndef KAIRON_CONSOLE_CONSOLE_RUN_OBSERVER_H
#define KAIRON_CONSOLE_CONSOLE_RUN_OBSERVER_H

#include "console/exit_status.h"
#include "engine/run_observer.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

// One launch as kairon-time reports it.
struct LaunchRecord {
    int launch;          // from 1, among the warm-ups or among the measured
    bool warmup;
    double seconds;      // the log's number (single precision, as written)
    bool reached;        // it reached everything it waited for
    PhaseMarks marks;
    std::string failure; // the first failure line; empty when reached
    WindowOwner owner{}; // whose its window is; not `known` when none was found
    bool baseline = false; // a launch of --compare's baseline, counted among its own
};

class ConsoleRunObserver : public RunObserver {
public:
    // `countdown`: standard error is a terminal, where a countdown line can
    // be rewritten in place; in a file or a CI log it would be noise.
    ConsoleRunObserver(std::ostream& err, bool quiet, bool countdown = false)
        : err_(err), quiet_(quiet), countdown_(countdown && !quiet)
    {
    }
    void ShowStatus(const char* text) override;
    void ShowError(const char* text, const char* caption) override;
    void LaunchTimed(const LaunchResult& result) override;
    void RunEnded(RunOutcome outcome) override;
    void CloseProgram() override;
    TimeExitStatus ExitStatus() const;
    const std::vector<LaunchRecord>& Launches() const { return launches_; }

private:
    void ClearStatus();

    std::ostream& err_;
    bool quiet_;
    bool countdown_;
    std::size_t statusWidth_ = 0;  // of the countdown line now shown
    bool stopped_ = false;
    bool interrupted_ = false;
    bool missed_ = false;
    std::vector<LaunchRecord> launches_;
};

#endif
