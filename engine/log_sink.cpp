#include "engine/log_sink.h"

#include <cstdarg>

namespace {

// The file's last byte, read in binary; EOF for a missing or empty file.
int LastByte(const char* path)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return EOF;
    int last = EOF;
    if (std::fseek(file, -1, SEEK_END) == 0)
        last = std::fgetc(file);
    std::fclose(file);
    return last;
}

// Whether a stream has failed: Windows' C library may report a write that
// did not reach the disk only in the stream's error flag, not in the
// result of the call.
bool StreamFailed(std::FILE* stream, int result)
{
    return result < 0 || std::ferror(stream) != 0;
}

}  // namespace

bool OpenLog(LogSink* log, const char* path)
{
    const int last = LastByte(path);
    // Cut between CR and LF: only the LF is missing, and a text-mode "\n"
    // would add a CR of its own.
    if (last == '\r') {
        if (std::FILE* file = std::fopen(path, "ab")) {
            std::fputc('\n', file);
            std::fclose(file);
        }
    }
    log->stream = std::fopen(path, "a");
    log->failed = false;
    if (log->stream && last != EOF && last != '\n' && last != '\r')
        WriteLog(log, "\n");
    return log->stream != nullptr;
}

bool IsLogOpen(const LogSink& log)
{
    return log.stream != nullptr;
}

void WriteLog(LogSink* log, const char* format, ...)
{
    if (!log->stream || log->muted)
        return;
    va_list args;
    va_start(args, format);
    if (StreamFailed(log->stream, std::vfprintf(log->stream, format, args)))
        log->failed = true;
    va_end(args);
}

void FlushLog(LogSink* log)
{
    if (log->stream && StreamFailed(log->stream, std::fflush(log->stream)))
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
