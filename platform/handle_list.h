// Which handles a command around the launches names in its
// PROC_THREAD_ATTRIBUTE_HANDLE_LIST: the list keeps kairon-time's own open
// files (the log, the JSON) out of whatever the command leaves running.
#ifndef KAIRON_PLATFORM_HANDLE_LIST_H
#define KAIRON_PLATFORM_HANDLE_LIST_H

#include "platform/platform.h"

#include <cstdint>
#include <vector>

// Of the handles a command is to inherit, in their order, those the list
// may name: not one that is none (0, or INVALID_HANDLE_VALUE), nor a
// console's where the system refuses those. Windows 7 hands a console
// handle down through the console itself, so a console program still
// writes to it. Empty: the command is started without the list and
// inherits nothing.
std::vector<std::uintptr_t> HandlesToList(ProcessPort& process,
                                          const std::vector<std::uintptr_t>& handles);

#endif
