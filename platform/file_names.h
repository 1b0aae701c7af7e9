// What the system makes of a file's name: the path it would open, how it
// compares names, and which file a name reaches where one exists. Two names
// can reach one file in many ways (case, ".\", another folder's "..", a
// hard link, a short name, a "\\?\" prefix, a folder reached through a link
// or a substituted drive), and only the system knows them all.
#ifndef KAIRON_PLATFORM_FILE_NAMES_H
#define KAIRON_PLATFORM_FILE_NAMES_H

#include <cstdint>
#include <string>

// A file (or folder) as its volume knows it, whatever name reached it.
struct FileIdentity {
    std::uint64_t volume = 0;     // the volume's serial number
    std::uint64_t index = 0;      // the file's id on that volume, low 64 bits
    std::uint64_t indexHigh = 0;  // its high 64 bits, where ids are 128 bits
};

// What moving a file over another came to.
enum ReplaceResult {
    kReplaced,
    // Someone holds one of the files for a moment (a virus scanner reading
    // what was just written, an indexer): worth trying again.
    kReplaceBusy,
    kReplaceFailed,
};

class FileNamePort {
public:
    virtual ~FileNamePort() {}
    // The absolute path the system would open for `path`; false when it
    // cannot say.
    virtual bool FullPath(const std::string& path, std::string* full) = 0;
    // `path` in upper case, as the system's file names ignore case.
    virtual std::string UpperCase(const std::string& path) = 0;
    // A handle that asks which file or folder `path` is, reading and
    // writing nothing and in no one's way; 0 when nothing is there or it
    // cannot be opened.
    virtual std::uintptr_t OpenToIdentify(const std::string& path) = 0;
    // The file's 128-bit id; false where the volume (or the system) does
    // not give one.
    virtual bool IdentifyByFileId(std::uintptr_t file, FileIdentity* identity) = 0;
    // The file's 64-bit index and the volume's 32-bit serial, which every
    // volume gives but which ReFS does not keep unique.
    virtual bool IdentifyByIndex(std::uintptr_t file, FileIdentity* identity) = 0;
    virtual void CloseIdentifyHandle(std::uintptr_t file) = 0;
    // Creates `path` empty where nothing is there, as appending to it
    // would; true when this call created it.
    virtual bool CreateIfMissing(const std::string& path) = 0;
    virtual void RemoveFile(const std::string& path) = 0;
};

#endif
