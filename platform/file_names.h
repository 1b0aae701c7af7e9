// What the system makes of a file's name: the path it would open, how it
// compares names, and which file a name reaches where one exists. Two names
// can reach one file in many ways (case, ".\", another folder's "..", a
// hard link), and only the system knows them all.
#ifndef KAIRON_PLATFORM_FILE_NAMES_H
#define KAIRON_PLATFORM_FILE_NAMES_H

#include <cstdint>
#include <string>

// A file as its volume knows it, whatever name reached it.
struct FileIdentity {
    std::uint32_t volume = 0;  // the volume's serial number
    std::uint64_t index = 0;   // the file's index on that volume
};

class FileNamePort {
public:
    virtual ~FileNamePort() {}
    // The absolute path the system would open for `path`; false when it
    // cannot say.
    virtual bool FullPath(const std::string& path, std::string* full) = 0;
    // `path` in upper case, as the system's file names ignore case.
    virtual std::string UpperCase(const std::string& path) = 0;
    // A handle that asks which file `path` is, reading and writing nothing
    // and in no one's way; 0 when no file is there or it cannot be opened.
    virtual std::uintptr_t OpenToIdentify(const std::string& path) = 0;
    virtual bool Identify(std::uintptr_t file, FileIdentity* identity) = 0;
    virtual void CloseIdentifyHandle(std::uintptr_t file) = 0;
};

#endif
