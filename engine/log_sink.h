// The results log: one text stream, opened for appending at the start of a
// run and closed on every way out of it. Text mode, so on Windows each "\n"
// reaches the file as CR LF.
#ifndef KAIRON_ENGINE_LOG_SINK_H
#define KAIRON_ENGINE_LOG_SINK_H

#include <cstdio>

struct LogSink {
    std::FILE* stream = nullptr;
};

// fopen(path, "a"). False when the file cannot be opened.
bool OpenLog(LogSink* log, const char* path);
bool IsLogOpen(const LogSink& log);
// Writes one printf-formatted line; does nothing while the log is closed.
void WriteLog(LogSink* log, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
void FlushLog(LogSink* log);
void CloseLog(LogSink* log);

#endif
