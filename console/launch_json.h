// kairon-time's --json: every launch of a run, warm-ups included, with the
// time of each phase of its start-up. The schema is in docs/kairon-time.md.
#ifndef KAIRON_CONSOLE_LAUNCH_JSON_H
#define KAIRON_CONSOLE_LAUNCH_JSON_H

#include "config/run_settings.h"
#include "console/console_run_observer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Text of the system's code page (paths, titles, the log's lines) as UTF-8:
// only the system knows which code page that is.
using TextToUtf8 = std::string (*)(std::string_view text);

// The whole document, UTF-8, ending in a line end. `counterFrequency`:
// the performance counter's ticks per second, for the launches' counts.
std::string LaunchesJson(const RunSettings& settings, const std::vector<LaunchRecord>& launches,
                         std::int64_t counterFrequency, TextToUtf8 toUtf8);

#endif
