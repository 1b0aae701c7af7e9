#include "console/distinct_files.h"

const char kJsonTemporaryOption[] = "--json's temporary file";

namespace {

// What a name reaches: its full path as the system compares it, and the
// file there when there is one, else the folder it would be created in.
struct ResolvedName {
    std::string upperFullPath;
    bool exists = false;
    bool folderKnown = false;
    FileIdentity identity;  // the file's, else its folder's
    std::string upperName;  // the name in its folder
};

bool SameIdentity(const FileIdentity& a, const FileIdentity& b)
{
    return a.volume == b.volume && a.index == b.index && a.indexHigh == b.indexHigh;
}

// The 128-bit id first: on ReFS two files can share the 64-bit index.
bool IdentifyPath(const std::string& path, FileNamePort& names, FileIdentity* identity)
{
    const std::uintptr_t file = names.OpenToIdentify(path);
    if (file == 0)
        return false;
    const bool known =
        names.IdentifyByFileId(file, identity) || names.IdentifyByIndex(file, identity);
    names.CloseIdentifyHandle(file);
    return known;
}

ResolvedName Resolve(const std::string& path, FileNamePort& names)
{
    ResolvedName resolved;
    std::string full;
    // A path the system cannot make absolute is compared as it stands.
    if (!names.FullPath(path, &full))
        full = path;
    resolved.upperFullPath = names.UpperCase(full);
    resolved.exists = IdentifyPath(path, names, &resolved.identity);
    if (resolved.exists)
        return resolved;
    // A new file is its folder and its name: the folder is found whatever
    // spelled it, and the name has no other spelling yet (a short name is
    // given to a file only once it exists).
    const std::size_t slash = full.find_last_of("\\/");
    if (slash == std::string::npos)
        return resolved;
    std::string folder = full.substr(0, slash);
    // "C:" alone is the current folder of drive C, not its root.
    if (folder.empty() || folder.back() == ':')
        folder += '\\';
    resolved.folderKnown = IdentifyPath(folder, names, &resolved.identity);
    resolved.upperName = names.UpperCase(full.substr(slash + 1));
    return resolved;
}

bool SameFile(const ResolvedName& a, const ResolvedName& b)
{
    if (a.upperFullPath == b.upperFullPath)
        return true;
    if (a.exists != b.exists)
        return false;
    if (a.exists)
        return SameIdentity(a.identity, b.identity);
    return a.folderKnown && b.folderKnown && a.upperName == b.upperName &&
           SameIdentity(a.identity, b.identity);
}

}  // namespace

std::vector<NamedFile> FilesWritten(const RunSettings& settings, const TimeOptions& options,
                                    const std::string& jsonTempPath)
{
    std::vector<NamedFile> files = {{"--log", settings.logPath, true}};
    if (settings.baselinePath[0] != '\0')
        files.push_back({"--baseline-log", settings.baselineLogPath, true});
    if (!options.jsonPath.empty())
        files.push_back({"--json", options.jsonPath});
    if (!jsonTempPath.empty())
        files.push_back({kJsonTemporaryOption, jsonTempPath});
    return files;
}

std::string OneFileTwiceMessage(const std::vector<NamedFile>& files, FileNamePort& names)
{
    std::vector<ResolvedName> resolved;
    for (const NamedFile& file : files)
        resolved.push_back(Resolve(file.path, names));
    for (std::size_t later = 1; later < files.size(); ++later) {
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            if (SameFile(resolved[later], resolved[earlier]))
                return std::string(files[later].option) + " and " + files[earlier].option +
                       " name one file: " + files[later].path + " and " + files[earlier].path;
        }
    }
    return std::string();
}

std::string OneOpenFileTwiceMessage(const std::vector<NamedFile>& files, FileNamePort& names)
{
    std::vector<std::string> created;
    for (const NamedFile& file : files) {
        if (file.log && names.CreateIfMissing(file.path))
            created.push_back(file.path);
    }
    const std::string message = OneFileTwiceMessage(files, names);
    if (!message.empty()) {
        for (const std::string& path : created)
            names.RemoveFile(path);
    }
    return message;
}
