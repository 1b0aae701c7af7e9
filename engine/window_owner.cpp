#include "engine/window_owner.h"

#include "engine/window_detection.h"

#include <cctype>

namespace {

struct QueriedProcess {
    std::string program;
    bool timeKnown = false;
    std::uint64_t creationTime = 0;
};

QueriedProcess Query(ProcessPort& process, std::uintptr_t handle)
{
    QueriedProcess queried;
    queried.program = process.ProgramFile(handle);
    queried.timeKnown = process.CreationTime(handle, &queried.creationTime);
    return queried;
}

}  // namespace

bool SameProgramFile(const std::string& a, const std::string& b)
{
    if (a.empty() || a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

WindowOwner FindWindowOwner(ProcessPort& process, WindowPort& windows, WindowHandle window,
                            const LaunchedProcess& launched)
{
    WindowOwner owner;
    owner.known = true;
    owner.processId = windows.OwnerProcessId(window);
    if (owner.processId == 0)
        return owner;  // the window is gone: nobody left to ask
    owner.launched = owner.processId == launched.id;
    owner.inJob = owner.launched;
    if (owner.launched) {
        // Its handle is open already, and stays valid if it has ended since.
        owner.program = process.ProgramFile(launched.process);
        return owner;
    }
    const std::uintptr_t handle = process.OpenProcessToQuery(owner.processId);
    if (handle == 0)
        return owner;
    const QueriedProcess found = Query(process, handle);
    owner.inJob = launched.job != 0 && process.ProcessInJob(handle, launched.job);
    process.CloseQueryHandle(handle);
    owner.program = found.program;
    // Only a process created strictly before the launched one was already
    // running; one of the same tick of the system clock may be its own.
    const QueriedProcess ours = Query(process, launched.process);
    const bool timesKnown = found.timeKnown && ours.timeKnown;
    owner.handedOff = timesKnown && found.creationTime < ours.creationTime &&
                      SameProgramFile(found.program, ours.program);
    return owner;
}

namespace {

struct TitleSearch {
    ProcessPort& process;
    WindowPort& windows;
    const LaunchedProcess& launched;
    std::string titles;
};

bool IsLaunchs(TitleSearch& search, unsigned long processId)
{
    if (processId == 0)
        return false;
    if (processId == search.launched.id)
        return true;
    if (search.launched.job == 0)
        return false;
    const std::uintptr_t handle = search.process.OpenProcessToQuery(processId);
    if (handle == 0)
        return false;
    const bool inJob = search.process.ProcessInJob(handle, search.launched.job);
    search.process.CloseQueryHandle(handle);
    return inJob;
}

// Every GUI thread has hidden titled windows of its own ("Default IME"):
// only those a person could see, on the screen or minimised, are named.
bool NoteTitleOfLaunch(WindowHandle window, void* context)
{
    TitleSearch& search = *static_cast<TitleSearch*>(context);
    char title[kTitleSize];
    if (search.windows.Title(window, title, sizeof title) > 0 &&
        (search.windows.IsShown(window) ||
         search.windows.ShowState(window) == kShowMinimized) &&
        IsLaunchs(search, search.windows.OwnerProcessId(window)))
        search.titles += (search.titles.empty() ? "" : " | ") + std::string(title);
    return true;
}

}  // namespace

std::string TitlesOfLaunch(ProcessPort& process, WindowPort& windows,
                           const LaunchedProcess& launched)
{
    TitleSearch search{process, windows, launched, {}};
    windows.EnumTopLevelWindows(NoteTitleOfLaunch, &search);
    return search.titles;
}
