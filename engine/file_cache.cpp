#include "engine/file_cache.h"

#include <cstdio>

namespace {

// A purge counts when the standby list falls to this share of it or less.
const std::uint64_t kPurgedShare = 10;

std::string StatusText(long status)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(status));
    return text;
}

// Turns on one privilege, or says why it could not.
bool EnablePrivilege(ProcessPort& process, TokenPrivilege privilege, const char* name,
                     std::string* why)
{
    switch (process.EnablePrivilege(privilege)) {
    case kPrivilegeEnabled:
        return true;
    case kPrivilegeNotHeld:
        *why = std::string("needs administrator rights (the ") + name +
               " privilege is not held)";
        return false;
    case kPrivilegeFailed:
        break;
    }
    *why = std::string("could not turn on the ") + name + " privilege";
    return false;
}

}  // namespace

bool EmptyFileCache(ProcessPort& process, CachePurge* purge, std::string* why)
{
    if (!EnablePrivilege(process, kProfileSingleProcessPrivilege, "profile-single-process",
                         why) ||
        !EnablePrivilege(process, kIncreaseQuotaPrivilege, "increase-quota", why))
        return false;
    // A system in use always has some files cached: a standby list of no
    // pages is one the system does not report (Wine answers so).
    std::uint64_t& before = purge->standbyPagesBefore;
    if (!process.StandbyPages(&before) || before == 0) {
        *why = "this system does not report its file cache";
        return false;
    }
    // The pages the cache holds mapped are not on the standby list: out of
    // the working set first, they are purged with the rest.
    if (!process.EmptyFileCacheWorkingSet()) {
        *why = "emptying the file cache's working set failed: " +
               process.SystemErrorText(process.LastError());
        return false;
    }
    const long flushed = process.SetMemoryList(kMemoryFlushModifiedList);
    if (flushed != 0) {
        *why = "writing out the modified pages failed with status " + StatusText(flushed);
        return false;
    }
    const long purged = process.SetMemoryList(kMemoryPurgeStandbyList);
    if (purged != 0) {
        *why = "purging the standby list failed with status " + StatusText(purged);
        return false;
    }
    std::uint64_t& after = purge->standbyPagesAfter;
    if (!process.StandbyPages(&after)) {
        *why = "this system does not report its file cache";
        return false;
    }
    // Some pages leave the list after any attempt, and others come back at
    // once; a purge that worked leaves a small part of what was there.
    if (after * kPurgedShare > before) {
        *why = "the standby list did not fall to a tenth: " + std::to_string(before) +
               " pages before, " + std::to_string(after) + " after";
        return false;
    }
    return true;
}
