#include "engine/log_sink.h"

#include <cstdarg>

const char kWindowStateKey[] =
    "Window State Key:\n"
    "0 = SW_HIDE\t1=SW_SHOWNORMAL\t2=SW_SHOWMINIMIZED\t3=SW_MAXIMIZE "
    "4=SW_SHOWNOACTIVATE\t5=SW_SHOW\t6=SW_MINIMIZE\t7=SW_SHOWMINNOACTIVE\t"
    "8=SW_SHOWNA\t9=SW_RESTORE\n";

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
