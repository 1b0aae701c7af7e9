#include "console/distinct_files.h"

namespace {

// What a name reaches: its full path as the system compares it, and the
// file there when there is one.
struct ResolvedName {
    std::string upperFullPath;
    bool exists = false;
    FileIdentity identity;
};

ResolvedName Resolve(const std::string& path, FileNamePort& names)
{
    ResolvedName resolved;
    std::string full;
    // A path the system cannot make absolute is compared as it stands.
    resolved.upperFullPath = names.UpperCase(names.FullPath(path, &full) ? full : path);
    const std::uintptr_t file = names.OpenToIdentify(path);
    if (file != 0) {
        resolved.exists = names.Identify(file, &resolved.identity);
        names.CloseIdentifyHandle(file);
    }
    return resolved;
}

// A name that does not exist yet can only be the other by its path; one
// that exists may be it by another path (a hard link, a short name, a
// folder reached through a link).
bool SameFile(const ResolvedName& a, const ResolvedName& b)
{
    if (a.upperFullPath == b.upperFullPath)
        return true;
    return a.exists && b.exists && a.identity.volume == b.identity.volume &&
           a.identity.index == b.identity.index;
}

}  // namespace

std::vector<NamedFile> FilesWritten(const RunSettings& settings, const TimeOptions& options)
{
    std::vector<NamedFile> files = {{"--log", settings.logPath}};
    if (settings.baselinePath[0] != '\0')
        files.push_back({"--baseline-log", settings.baselineLogPath});
    if (!options.jsonPath.empty())
        files.push_back({"--json", options.jsonPath});
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
