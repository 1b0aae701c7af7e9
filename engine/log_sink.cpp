#include "engine/log_sink.h"

#include <cstdarg>

bool OpenLog(LogSink* log, const char* path)
{
    log->stream = std::fopen(path, "a");
    return log->stream != nullptr;
}

bool IsLogOpen(const LogSink& log)
{
    return log.stream != nullptr;
}

void WriteLog(LogSink* log, const char* format, ...)
{
    if (!log->stream)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(log->stream, format, args);
    va_end(args);
}

void FlushLog(LogSink* log)
{
    if (log->stream)
        std::fflush(log->stream);
}

void CloseLog(LogSink* log)
{
    if (log->stream)
        std::fclose(log->stream);
    log->stream = nullptr;
}
