// A cold start: the system's file cache (the standby list) emptied before a
// launch, so that the program's files come from the disk. Relaunching alone
// reads them from memory after the first time. An emptying that cannot be
// checked is taken for a failure: a "cold" figure that was warm would be
// the worst kind of wrong.
#ifndef KAIRON_ENGINE_FILE_CACHE_H
#define KAIRON_ENGINE_FILE_CACHE_H

#include "platform/platform.h"

#include <cstdint>
#include <string>

// What the standby list held before the emptying and after it, in pages.
struct CachePurge {
    std::uint64_t standbyPagesBefore = 0;
    std::uint64_t standbyPagesAfter = 0;
};

// Turns on the privileges it needs, empties the file cache's working set
// into the lists, writes the modified pages out, purges the standby list,
// and checks that the list fell to a tenth. False, with *why saying which
// step failed, when any step failed or the result cannot be checked.
// *purge gets what was read of the list.
bool EmptyFileCache(ProcessPort& process, CachePurge* purge, std::string* why);

#endif
