#include "report/report_files.h"

#include <cerrno>

bool ReadWholeStream(std::FILE* stream, std::string* bytes)
{
    char buffer[65536];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, stream)) > 0)
        bytes->append(buffer, count);
    return !std::ferror(stream);
}

bool ReadWholeFile(const std::string& path, std::string* bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bool read = ReadWholeStream(file, bytes);
    int error = errno;
    std::fclose(file);
    errno = error;
    return read;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
