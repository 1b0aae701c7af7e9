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

namespace {

bool MoveIntoPlace(const PendingFile& file, ReplaceFileFunction replace, PauseFunction pause)
{
    for (int waited = 0;; waited += kReplaceRetryPauseMs) {
        const ReplaceResult result = replace(file.tempPath.c_str(), file.path.c_str());
        if (result != kReplaceBusy || waited >= kReplaceRetryMs)
            return result == kReplaced;
        pause(kReplaceRetryPauseMs);
    }
}

}  // namespace

bool CommitPendingFile(PendingFile* file, const std::string& bytes, ReplaceFileFunction replace,
                       PauseFunction pause)
{
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file->stream) == bytes.size();
    // Under Windows' C library fclose does not report a final flush that
    // failed: the flush is asked for, and the stream's error read, first.
    written = std::fflush(file->stream) == 0 && written;
    written = std::ferror(file->stream) == 0 && written;
    written = std::fclose(file->stream) == 0 && written;
    file->stream = nullptr;
    written = written && MoveIntoPlace(*file, replace, pause);
    if (!written)
        std::remove(file->tempPath.c_str());
    return written;
}

void DiscardPendingFile(PendingFile* file)
{
    std::fclose(file->stream);
    file->stream = nullptr;
    std::remove(file->tempPath.c_str());
}
