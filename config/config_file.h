// The settings file, config.txt: up to eleven lines that pre-fill the main
// dialog at start-up and can ask for an unattended run. This reads them
// into values; dialog/config_fields.h puts them into the dialog.
//
//   1 application path        5 executions (a number)   9  debug log (0/1)
//   2 command-line arguments  6 delay in ms (a number)  10 new windows only
//   3 results log path        7 input idle, detection, exact match, visible
//   4 window name             8 WM_CLOSE, SC_CLOSE, Alt-F4   11 unattended run
//
// Kairon reads the bytes itself, the same on every system, and takes the
// file as people's editors save it:
//  - a UTF-8 byte-order mark (EF BB BF) at the very start is skipped;
//  - CR LF, LF and a lone CR each end one line; an empty line is a line,
//    which sets an empty text or clears its options;
//  - a byte 0x1A ends the file;
//  - a line longer than its field keeps only what fits (paths 515
//    characters, arguments and window name 511, number lines 511) and the
//    rest of it is dropped, so it can never spill into the next line's field;
//  - a NUL ends a line's text, not the line;
//  - nothing is trimmed but the line end, since a path, an argument list or
//    a window name may well begin or end with a blank. The one exception is
//    the application path's quotes (see RemoveQuotesAroundPath).
#ifndef KAIRON_CONFIG_CONFIG_FILE_H
#define KAIRON_CONFIG_CONFIG_FILE_H

#include "config/run_settings.h"

#include <cstddef>
#include <cstdio>

// Read from the current directory at start-up; never written.
const char kConfigFileName[] = "config.txt";

// The buffer of a line that holds numbers, the terminating NUL included.
const int kConfigLineSize = 512;

// What the file's lines say. Only the first `lineCount` lines are there;
// the values of the others are zero and mean nothing.
struct ConfigValues {
    int lineCount;
    char appPath[kPathSize];  // without quotes around it
    char cmdLineArgs[kArgumentsSize];
    char logPath[kPathSize];
    char windowName[kWindowNameSize];
    // As the dialog shows them, without sign: -1 becomes 4294967295.
    unsigned executions;
    unsigned delayMs;
    bool waitInputIdle;
    bool detectByWindowName;
    bool exactMatch;
    bool waitVisible;
    bool closeByWmClose;
    bool closeBySysCommand;
    bool closeByAltF4;
    bool debugLog;
    bool newWindowsOnly;
    bool autoRun;
};

// Which line holds what, counting from 1.
enum ConfigLine {
    kLineAppPath = 1,
    kLineArguments,
    kLineLogPath,
    kLineWindowName,
    kLineExecutions,
    kLineDelay,
    kLineDetection,
    kLineCloseMethods,
    kLineDebugLog,
    kLineNewWindowsOnly,
    kLineUnattended,
};

// The file's bytes, consumed line by line: those in [next, end), then, when
// `file` is set, the rest of the file read into `buffer` a piece at a time.
// Lines are read whole however long they are, so only the line reader's
// small buffers are ever needed, whatever the file's size.
struct ConfigText {
    const char* next;
    const char* end;
    std::FILE* file;
    char* buffer;
    std::size_t bufferSize;
    bool ended;  // no more bytes will come: the file's end, or a 0x1A
};

// A whole file's bytes already in memory (as read in binary).
ConfigText ConfigTextOfBytes(const char* bytes, std::size_t size);

// A file open in binary, read `bufferSize` (at least 3) bytes at a time into
// `buffer`, which must outlive the text.
ConfigText ConfigTextOfFile(std::FILE* file, char* buffer, std::size_t bufferSize);

// Reads the next line, without its line end, into `line` (`size` bytes):
// at most size - 1 characters of it, then a terminating NUL. Returns false,
// leaving `line` empty, once the file has ended.
bool ReadConfigLine(ConfigText* text, char* line, int size);

// Reads `values` from the lines of `text`.
void ReadConfigText(ConfigText* text, ConfigValues* values);

// The same, for the file's raw bytes.
void ReadConfigBytes(const char* bytes, std::size_t size, ConfigValues* values);

// The same, for the file at `path`. False, with no lines, when it cannot
// be opened.
bool ReadConfigFile(const char* path, ConfigValues* values);

#endif
