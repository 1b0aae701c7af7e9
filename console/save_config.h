// kairon-time --save-config: the same options, written as Kairon's
// config.txt instead of run, for Kairon's dialog to read at start-up.
#ifndef KAIRON_CONSOLE_SAVE_CONFIG_H
#define KAIRON_CONSOLE_SAVE_CONFIG_H

#include "config/run_settings.h"
#include "console/time_options.h"
#include "report/exit_statuses.h"

#include <ostream>

// Checks `settings` as the dialog will (failing: status 2, nothing
// written), then writes options.saveConfigPath (failing: status 1).
// Errors go to `err`.
ExitStatus SaveConfig(const RunSettings& settings, const TimeOptions& options,
                          std::ostream& err);

#endif
