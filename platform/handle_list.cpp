#include "platform/handle_list.h"

std::vector<std::uintptr_t> HandlesToList(ProcessPort& process,
                                          const std::vector<std::uintptr_t>& handles)
{
    const std::uintptr_t invalid = ~static_cast<std::uintptr_t>(0);
    std::vector<std::uintptr_t> listed;
    for (std::uintptr_t handle : handles) {
        if (handle == 0 || handle == invalid)
            continue;
        if (process.ListTakesConsoleHandles() || !process.IsConsoleHandle(handle))
            listed.push_back(handle);
    }
    return listed;
}
