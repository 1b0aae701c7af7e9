// kairon-time's steps of a run, behind a port: the commands around the
// launches, the emptied file cache, what a launch used, whose its window
// is, and the wait for the window's content. Nothing in config.txt reaches
// them. The engine takes them only from this port when it is given one;
// the dialog gives none, and so Kairon.exe links none of them.
#ifndef KAIRON_ENGINE_TIME_STEPS_H
#define KAIRON_ENGINE_TIME_STEPS_H

#include "config/run_settings.h"
#include "engine/file_cache.h"
#include "engine/launch_resources.h"
#include "engine/run_observer.h"
#include "engine/settle_wait.h"
#include "engine/window_owner.h"
#include "platform/platform.h"

#include <cstdint>
#include <string>

class TimeSteps {
public:
    virtual ~TimeSteps() {}
    // Runs one of the commands around the launches and waits for it. Empty
    // text runs nothing. A stop ends a `stoppable` command; the cleanup,
    // which is not, ends at the stop after the one that ended the run.
    // *error says why when it could not be started, ended with an exit code
    // other than 0, or was a cleanup ended (`which` names it there).
    virtual bool RunCommand(const char* command, const char* which, bool stoppable,
                            std::string* error) = 0;
    // EmptyFileCache (engine/file_cache.h); *error says "Cannot empty the
    // file cache: " and why when it failed (built here, so that the
    // dialog's program carries none of it).
    virtual bool EmptyFileCache(CachePurge* purge, std::string* error) = 0;
    // A launch is over: whatever of its job still runs, after a short
    // grace (`grace`) in which it may end by itself, is ended
    // (TerminateJobObject), so that the next launch starts from the same
    // state. `observer`, when given, is told how many were ended.
    virtual void EndWhatTheJobLeft(const LaunchedProcess& launched, bool grace,
                                   RunObserver* observer) = 0;
    // SendCloseMessagesUntilStop (engine/stoppable_close.h).
    virtual bool SendCloseMessages(const RunSettings& settings, WindowHandle window) = 0;
    // ReadLaunchResources (engine/launch_resources.h).
    virtual LaunchResources ReadResources(const LaunchedProcess& launched) = 0;
    // FindWindowOwner (engine/window_owner.h).
    virtual WindowOwner FindOwner(WindowHandle window, const LaunchedProcess& launched) = 0;
    // WaitUntilSettled (engine/settle_wait.h).
    virtual SettleResult WaitUntilSettled(WindowHandle window, std::int32_t settledMs,
                                          CaptureSource source, std::int64_t frequency) = 0;
    // TitlesOfLaunch (engine/window_owner.h).
    virtual std::string OpenedTitles(const LaunchedProcess& launched) = 0;
};

// The steps as the platform's ports take them: kairon-time's, and the
// unit tests'.
class PlatformTimeSteps : public TimeSteps {
public:
    explicit PlatformTimeSteps(Platform& platform) : platform_(platform) {}
    bool RunCommand(const char* command, const char* which, bool stoppable,
                    std::string* error) override;
    bool EmptyFileCache(CachePurge* purge, std::string* error) override;
    void EndWhatTheJobLeft(const LaunchedProcess& launched, bool grace,
                           RunObserver* observer) override;
    bool SendCloseMessages(const RunSettings& settings, WindowHandle window) override;
    LaunchResources ReadResources(const LaunchedProcess& launched) override;
    WindowOwner FindOwner(WindowHandle window, const LaunchedProcess& launched) override;
    SettleResult WaitUntilSettled(WindowHandle window, std::int32_t settledMs,
                                  CaptureSource source, std::int64_t frequency) override;
    std::string OpenedTitles(const LaunchedProcess& launched) override;

private:
    Platform& platform_;
};

#endif
