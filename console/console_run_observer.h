// A timing run watched from a console: a line per launch and the errors on
// standard error, never a box, never a wait for a person; what each launch
// reached, for the JSON and the phase summary; and the exit status the run
// earned.
#ifndef KAIRON_CONSOLE_CONSOLE_RUN_OBSERVER_H
#define KAIRON_CONSOLE_CONSOLE_RUN_OBSERVER_H

#include "engine/run_observer.h"
#include "report/exit_statuses.h"
#include "report/gate_looks.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

// One launch as kairon-time reports it: as the run gave it, and what became
// of its application.
struct LaunchRecord {
    explicit LaunchRecord(const LaunchResult& launched);
    // A copy's failure line is its own copy's text.
    LaunchRecord(const LaunchRecord& other);
    LaunchRecord& operator=(const LaunchRecord& other);

    // Its failureLine points into `failure_`, or is null when it reached
    // everything it waited for.
    LaunchResult result;
    bool Reached() const { return result.failureLine == nullptr; }
    CloseOutcome close = kCloseNone;
    int endedInJob = -1;  // -1: the launch had no job to end what it left

private:
    std::string failure_;  // keeps the run's failure line, which is not kept
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
    void LaunchClosed(CloseOutcome outcome) override;
    void LaunchJobEnded(int processes) override;
    // A comparison with --max-runs: add rounds while `plan`'s gate cannot tell.
    void AddRoundsFor(const GatePlan& plan) { plan_ = plan; addsRounds_ = true; }
    bool WantsAnotherRound() override;
    void RunEnded(RunOutcome outcome) override;
    void CloseProgram() override;
    ::ExitStatus ExitStatus() const;
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
    int ended_ = 0;  // launches whose application had to be ended
    std::vector<LaunchRecord> launches_;
    bool addsRounds_ = false;
    GatePlan plan_;
};

#endif
