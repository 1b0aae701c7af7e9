// One whole timing run: launch the application `executions` times, time each
// start-up with the performance counter, close it again and append the
// seconds to the results log. Runs on the worker thread. A comparison
// (kairon-time's) launches a baseline program and the application in
// turn, each timed into its own log.
#ifndef KAIRON_ENGINE_TIMING_RUN_H
#define KAIRON_ENGINE_TIMING_RUN_H

#include "config/run_settings.h"
#include "engine/run_observer.h"
#include "platform/platform.h"

const int kStatusSize = 256;

class TimeSteps;

// Performs the run described by `settings` (a copy the UI cannot change while
// the run reads it), telling `observer` how it goes, with kairon-time's
// `steps` when given (engine/time_steps.h); the dialog gives none. Every
// way out ends with RunEnded. Returns 1.
int TimingRun(const RunSettings& settings, Platform& platform, RunObserver& observer,
              TimeSteps* steps);

// The run with every step kairon-time takes, as the platform's ports take
// them (engine/time_steps.cpp): kairon-time's run, and the unit tests'.
int TimingRun(const RunSettings& settings, Platform& platform, RunObserver& observer);

// The elapsed seconds as the log states them: the counter difference over
// the frequency, held in single precision.
float ElapsedSeconds(std::int64_t startCount, std::int64_t endCount, std::int64_t frequency);

#endif
