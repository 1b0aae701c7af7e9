// The results log: one text stream, opened for appending at the start of a
// run and closed on every way out of it. Text mode, so on Windows each "\n"
// reaches the file as CR LF.
#ifndef KAIRON_ENGINE_LOG_SINK_H
#define KAIRON_ENGINE_LOG_SINK_H

#include <cstdio>

struct LogSink {
    std::FILE* stream = nullptr;
    // Set by the first write or flush that fails (a full disk, a share that
    // went away) and kept until the log is closed.
    bool failed = false;
    // Writes are dropped while set: a warm-up launch leaves no line.
    bool muted = false;
};

// fopen(path, "a"). False when the file cannot be opened. A file whose last
// line has no line end (a run cut short by a full disk) gets one first, so
// that this run's header starts a line of its own.
bool OpenLog(LogSink* log, const char* path);
bool IsLogOpen(const LogSink& log);
// Writes one printf-formatted line; does nothing while the log is closed
// or muted.
void WriteLog(LogSink* log, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
void FlushLog(LogSink* log);
// Whether a write or a flush has failed since the log was opened. Written
// lines sit in the stream's buffer until a flush, so a full disk shows at
// the flush after them.
bool LogWriteFailed(const LogSink& log);
void CloseLog(LogSink* log);

#endif
