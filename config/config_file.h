// The settings file, config.txt: up to eleven lines that pre-fill the main
// dialog at start-up and can ask for an unattended run.
//
//   1 application path        5 executions (a number)   9  debug log (0/1)
//   2 command-line arguments  6 delay in ms (a number)  10 new windows only
//   3 results log path        7 input idle, detection, exact match, visible
//   4 window name             8 WM_CLOSE, SC_CLOSE, Alt-F4   11 unattended run
//
// Kairon reads it as a text-mode stream read line by line into a 512-byte
// buffer would be read on Windows, and does so itself on every system, so
// that a file means the same everywhere: CR LF and LF both end a line, a
// byte 0x1A ends the file, a line holds at most 511 characters (the rest of
// a longer one is the next line), and only newlines are trimmed.
#ifndef KAIRON_CONFIG_CONFIG_FILE_H
#define KAIRON_CONFIG_CONFIG_FILE_H

#include "config/run_settings.h"
#include "platform/platform.h"

#include <cstddef>

// Read from the current directory at start-up; never written.
const char kConfigFileName[] = "config.txt";

// A line's buffer, the terminating NUL included.
const int kConfigLineSize = 512;
const int kConfigLineCount = 11;
// No line takes more than 511 characters, and no character more than two
// bytes (CR LF), so the eleven lines always lie within the first bytes up
// to this count, one byte of look-ahead included. The rest of a larger
// file is never read.
const std::size_t kConfigReadLimit =
    kConfigLineCount * (kConfigLineSize - 1) * 2 + 1;

// Puts the dialog's defaults (1 execution, a delay of 1000 ms) into the
// main dialog, then loads config.txt from the current directory over them.
void ApplyDefaults(DialogPort& dialog, RunSettings* settings);

// Loads the settings file at `path` into the dialog and `settings`.
// Returns whether the file could be opened; a missing file changes nothing
// except that no unattended run is asked for.
bool LoadConfigFile(DialogPort& dialog, RunSettings* settings, const char* path);

// The same, for the file's raw bytes (as read in binary).
void ApplyConfigBytes(DialogPort& dialog, RunSettings* settings,
                      const char* bytes, std::size_t size);

// The file's bytes, consumed line by line. `end` stops at the first 0x1A.
struct ConfigText {
    const char* next;
    const char* end;
};

ConfigText MakeConfigText(const char* bytes, std::size_t size);

// Reads the next line into `line` (kConfigLineSize bytes) the way fgets
// does from a text-mode stream: up to and including a newline, at most 511
// characters, NULs kept, then a terminating NUL. Returns the number of
// characters stored; 0 once the file is at its end.
int ReadConfigLine(ConfigText* text, char* line);

#endif
