// The settings file's values put into the main dialog at start-up.
#ifndef KAIRON_DIALOG_CONFIG_FIELDS_H
#define KAIRON_DIALOG_CONFIG_FIELDS_H

#include "config/config_file.h"
#include "config/run_settings.h"
#include "platform/platform.h"

#include <cstddef>

// Puts the dialog's defaults (kDefaultExecutions, kDefaultDelayMs) into the
// main dialog, then loads config.txt from the current directory over them.
void ApplyDefaults(DialogPort& dialog, RunSettings* settings);

// Loads the settings file at `path` into the dialog and `settings`.
// Returns whether the file could be opened; a missing file changes nothing
// except that no unattended run is asked for.
bool LoadConfigFile(DialogPort& dialog, RunSettings* settings, const char* path);

// Fills the dialog's fields from the lines the file has, ticks the boxes of
// the options it turns on, and sets those options (and the unattended run)
// in `settings`.
void ApplyConfigValues(DialogPort& dialog, RunSettings* settings, const ConfigValues& values);

// The same, reading the values from `text`, or from the file's raw bytes.
void ApplyConfigText(DialogPort& dialog, RunSettings* settings, ConfigText* text);
void ApplyConfigBytes(DialogPort& dialog, RunSettings* settings,
                      const char* bytes, std::size_t size);

#endif
