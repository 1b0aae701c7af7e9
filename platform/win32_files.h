// kairon-time's files on the Win32 side: one system call per operation (a
// conversion's two), no decisions.
#ifndef KAIRON_PLATFORM_WIN32_FILES_H
#define KAIRON_PLATFORM_WIN32_FILES_H

#include "platform/file_names.h"

#include <string>
#include <string_view>

class Win32FileNames : public FileNamePort {
public:
    bool FullPath(const std::string& path, std::string* full) override;
    std::string UpperCase(const std::string& path) override;
    std::uintptr_t OpenToIdentify(const std::string& path) override;
    bool IdentifyByFileId(std::uintptr_t file, FileIdentity* identity) override;
    bool IdentifyByIndex(std::uintptr_t file, FileIdentity* identity) override;
    void CloseIdentifyHandle(std::uintptr_t file) override;
    bool CreateIfMissing(const std::string& path) override;
    void RemoveFile(const std::string& path) override;
};

// Moves `from` over `to`, replacing any file there; busy on a sharing
// violation or access denied, which a scanner holding a file gives.
ReplaceResult ReplaceFileWith(const char* from, const char* to);

void PauseMs(int milliseconds);

// When this is a 32-bit process on 64-bit Windows: the system folder, and
// the folder Windows shows this process in its place. False otherwise.
bool RedirectedSystemFolder(std::string* systemFolder, std::string* seenAs);

// Text in the system's ANSI code page as UTF-8; empty when the system
// cannot convert it.
std::string SystemTextToUtf8(std::string_view text);

#endif
