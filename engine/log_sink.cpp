#include "engine/log_sink.h"

#include <cstdarg>

namespace {

// Whether the file exists, is not empty, and its last byte is not a line
// feed. Read in binary, since only the last byte matters.
bool EndsInsideALine(const char* path)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    bool cut = false;
    if (std::fseek(file, -1, SEEK_END) == 0) {
        const int last = std::fgetc(file);
        cut = last != EOF && last != '\n';
    }
    std::fclose(file);
    return cut;
}

}  // namespace

bool OpenLog(LogSink* log, const char* path)
{
    const bool cut = EndsInsideALine(path);
    log->stream = std::fopen(path, "a");
    log->failed = false;
    if (log->stream && cut)
        WriteLog(log, "\n");
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
    if (std::vfprintf(log->stream, format, args) < 0)
        log->failed = true;
    va_end(args);
}

void FlushLog(LogSink* log)
{
    if (log->stream && std::fflush(log->stream) != 0)
        log->failed = true;
}

bool LogWriteFailed(const LogSink& log)
{
    return log.failed;
}

void CloseLog(LogSink* log)
{
    if (log->stream)
        std::fclose(log->stream);
    log->stream = nullptr;
}
