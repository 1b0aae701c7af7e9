#include "ui/timing_thread.h"

#include "engine/timing_run.h"
#include "platform/win32_platform.h"
#include "dialog/dialog_run_observer.h"

#include <memory>

namespace {

struct TimingRunArguments {
    HWND mainDialog;
    RunSettings settings;
};

DWORD WINAPI TimingRunThread(LPVOID parameter)
{
    std::unique_ptr<TimingRunArguments> arguments(static_cast<TimingRunArguments*>(parameter));
    Win32Process process;
    Win32Windows windows;
    Win32Dialog dialog(arguments->mainDialog);
    DialogRunObserver observer(dialog);
    Platform platform{process, windows};
    // kairon-time's steps are none of the dialog's: it passes none.
    return static_cast<DWORD>(TimingRun(arguments->settings, platform, observer, nullptr));
}

}  // namespace

bool StartTimingRunThread(HWND mainDialog, const RunSettings& settings)
{
    TimingRunArguments* arguments = new TimingRunArguments{mainDialog, settings};
    HANDLE thread = CreateThread(nullptr, 0, TimingRunThread, arguments, 0, nullptr);
    if (!thread) {
        delete arguments;
        return false;
    }
    // The handle is not needed: the run reports through the dialog.
    CloseHandle(thread);
    return true;
}
