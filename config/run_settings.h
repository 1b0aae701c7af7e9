// The values that drive one timing run, how the Run App command reads them
// from the main dialog, and the checks they must pass before a run starts.
#ifndef KAIRON_CONFIG_RUN_SETTINGS_H
#define KAIRON_CONFIG_RUN_SETTINGS_H

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

// Buffer sizes, each counting the terminating NUL.
const int kPathSize = 516;
const int kWindowNameSize = 512;
const int kArgumentsSize = 512;

struct RunSettings {
    char appPath[kPathSize];
    char logPath[kPathSize];
    char windowName[kWindowNameSize];
    char cmdLineArgs[kArgumentsSize];
    std::int32_t executions;
    std::int32_t delayMs;
    bool closeByWmClose;
    bool closeBySysCommand;
    bool closeByAltF4;
    bool detectByWindowName;
    bool exactMatch;
    bool debugLog;
    bool newWindowsOnly;
    bool waitInputIdle;
    bool waitVisible;
    // Set only by the settings file: start by itself, close Kairon at the end.
    bool autoRun;
};

// The settings shared by the dialog, the settings file and the Run App
// command. Written only on the UI thread while no run is active; a run gets
// its own copy.
extern RunSettings g_runSettings;

// Explorer's "Copy as path" puts double quotes around a path, and the run
// puts its own around the application's path on the command line, where
// doubled quotes fail. When `path`, leaving aside blanks (spaces, tabs)
// before and after, is one pair of double quotes with no other quote
// between them, the path becomes what the quotes hold: the blanks outside
// them go, any inside them stay. Anything else (no quotes, a lone quote,
// quotes inside) is left exactly as it is, blanks included, since a
// Windows file name cannot hold a quote and such a path will fail visibly.
// Inline, so that the settings-file reader has it without the rest of this
// file's code (the reader's fuzz build links the reader alone).
inline void RemoveQuotesAroundPath(char* path)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    const char* first = path;
    while (isBlank(*first))
        ++first;
    const char* last = path + std::strlen(path);
    while (last > first && isBlank(last[-1]))
        --last;
    if (last - first < 2 || *first != '"' || last[-1] != '"')
        return;
    const char* inside = first + 1;
    const std::size_t length = static_cast<std::size_t>(last - 1 - inside);
    if (std::memchr(inside, '"', length) != nullptr)
        return;
    std::memmove(path, inside, length);
    path[length] = '\0';
}

// Reads every field of the main dialog into `settings` in the dialog's
// capture order, the application path without quotes around it. Numbers
// are read without sign and then held as signed 32-bit values, so
// 2147483648 and above become negative. `autoRun` is left as it is.
void CaptureRunSettings(DialogPort& dialog, RunSettings* settings);

// Runs the eight checks in order. On the first that fails, shows its
// warning box (owned by the main dialog) and returns false.
bool ValidateRunSettings(const RunSettings& settings, DialogPort& dialog);

#endif
