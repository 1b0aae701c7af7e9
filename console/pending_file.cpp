#include "console/pending_file.h"

std::string TempPathBeside(const std::string& path, unsigned long tag)
{
    return path + "." + std::to_string(tag) + ".tmp";
}

bool BeginPendingFile(const std::string& path, const std::string& tempPath, PendingFile* file)
{
    file->path = path;
    file->tempPath = tempPath;
    file->stream = std::fopen(tempPath.c_str(), "wb");
    return file->stream != nullptr;
}

bool CommitPendingFile(PendingFile* file, const std::string& bytes, ReplaceFileFunction replace)
{
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file->stream) == bytes.size();
    // Under Windows' C library fclose does not report a final flush that
    // failed: the flush is asked for, and the stream's error read, first.
    written = std::fflush(file->stream) == 0 && written;
    written = std::ferror(file->stream) == 0 && written;
    written = std::fclose(file->stream) == 0 && written;
    file->stream = nullptr;
    written = written && replace(file->tempPath.c_str(), file->path.c_str());
    if (!written)
        std::remove(file->tempPath.c_str());
    return written;
}
