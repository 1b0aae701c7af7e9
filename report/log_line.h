// What one line of a results log is. Kairon writes a header per run, one
// timing line per completed launch, failure lines and, with debugging on,
// the window lists of the detection; everything else is foreign. A line is
// recognised by the very formats Kairon writes it with (engine/log_format.h).
#ifndef KAIRON_REPORT_LOG_LINE_H
#define KAIRON_REPORT_LOG_LINE_H

#include <cstdint>
#include <string_view>

enum class LogLineKind {
    Blank,
    Header,            // "<application> - <N> executions"
    Timing,            // "%0.4f" seconds of one launch
    InputIdleFailed,   // "WaitForInputIdle call failed"
    WindowNotFound,    // "Failed to find window <name>"
    NotVisible,        // "Failed to find <name> as visible"
    NotFoundOrNotVisible,  // "Failed to find window <x> as visible": either
    ExitedBeforeReady, // "Application exited with code <N> before it was ready"
    HandedOff,         // "Window <name> belongs to a program started before this launch"
    NotSettled,        // "Failed to settle <name>"
    CloseFailed,       // "Failed to close <name>", after the launch's time
    Debug,             // window state key, scans, loop banners
    DebugWindowStart,  // a window-list line whose title runs on to later lines
    Unknown,
};

struct LogLine {
    LogLineKind kind = LogLineKind::Unknown;
    std::string_view application;  // Header only
    std::int64_t executions = 0;   // Header only
    double seconds = 0.0;          // Timing only
    std::uint32_t exitCode = 0;    // ExitedBeforeReady only
};

// Classifies one line, given without its line end (LF or CR LF).
LogLine ClassifyLogLine(std::string_view line);

// True when a line starts like a debug window-list line, whether or not
// its title runs on to later lines.
bool StartsWindowListLine(std::string_view line);

// True when a debug window-list line is complete, i.e. ends with
// " (Handle: 0x<hex> state: <n>)". A title holding a line break splits the
// line in the file; the pieces after the first end at the one that does.
bool EndsWithWindowDetails(std::string_view line);

#endif
