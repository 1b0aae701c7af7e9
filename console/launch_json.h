// kairon-time's --json: every launch of a run, warm-ups included, with the
// time of each phase of its start-up. The schema is in docs/kairon-time.md.
#ifndef KAIRON_CONSOLE_LAUNCH_JSON_H
#define KAIRON_CONSOLE_LAUNCH_JSON_H

#include "config/run_settings.h"
#include "console/console_run_observer.h"

#include <string>
#include <vector>

// The whole document, UTF-8, ending in a line end.
std::string LaunchesJson(const RunSettings& settings, const std::vector<LaunchRecord>& launches);

#endif
