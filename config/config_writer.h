// Writing config.txt: the eleven lines the reader (config_file.h) reads,
// in its order, from a run's settings. kairon-time --save-config writes
// with it, and so every script that prepares a run for Kairon's dialog.
#ifndef KAIRON_CONFIG_CONFIG_WRITER_H
#define KAIRON_CONFIG_CONFIG_WRITER_H

#include "config/run_settings.h"

#include <string>

// The file's bytes, each line ending in CR LF as Windows editors write
// them; the last line asks for an unattended run when `unattended`. False,
// with `why` set, when a text field holds what the reader would not give
// back as written: a line end, which would shift every line after it; a
// Ctrl-Z (0x1A), where the reader's file ends; at the start of the
// application, a UTF-8 byte-order mark, or quotes around it, which the
// reader takes off.
bool ConfigTextOf(const RunSettings& settings, bool unattended, std::string* bytes,
                  std::string* why);

#endif
