// The end of kairon-time's summary: where the start-up time goes, as the
// median time of each phase the run waited for.
#ifndef KAIRON_CONSOLE_PHASE_SUMMARY_H
#define KAIRON_CONSOLE_PHASE_SUMMARY_H

#include "config/run_settings.h"
#include "console/console_run_observer.h"

#include <string>
#include <vector>

// A line per phase the settings ask for, over APP's measured launches (not
// the warm-ups, nor a comparison's baseline) that reached it; empty when
// none reached any phase (the run's failed launches say why).
std::string PhaseSummary(const RunSettings& settings, const std::vector<LaunchRecord>& launches);

// What the measured launches used, a line per figure with the median of
// those that gave it: a comparison's baseline's first, then APP's, each
// named by its program. Empty when no launch was measured for it.
std::string ResourceSummary(const RunSettings& settings,
                            const std::vector<LaunchRecord>& launches);

#endif
