// The seam's Win32 side: one system call per operation, no decisions.
#ifndef KAIRON_PLATFORM_WIN32_PLATFORM_H
#define KAIRON_PLATFORM_WIN32_PLATFORM_H

#include "platform/platform.h"

#include <windows.h>

class Win32Process : public ProcessPort {
public:
    bool LaunchProcess(char* commandLine, LaunchedProcess* launched) override;
    unsigned long LastError() override;
    std::string SystemErrorText(unsigned long code) override;
    unsigned long WaitForInputIdle(const LaunchedProcess& launched, unsigned timeoutMs) override;
    bool HasExited(const LaunchedProcess& launched, unsigned long* exitCode) override;
    void CloseProcessHandles(const LaunchedProcess& launched) override;
    void Terminate(const LaunchedProcess& launched) override;
    bool EndProcess(unsigned long processId) override;
    std::uintptr_t OpenProcessToQuery(unsigned long processId) override;
    std::string ProgramFile(std::uintptr_t process) override;
    bool CreationTime(std::uintptr_t process, std::uint64_t* time) override;
    void CloseQueryHandle(std::uintptr_t process) override;
    bool StopRequested() override;
    std::int64_t CounterFrequency() override;
    std::int64_t CounterNow() override;
    void Sleep(unsigned milliseconds) override;
    void BeginTimerPeriod(unsigned milliseconds) override;
    void EndTimerPeriod(unsigned milliseconds) override;
    bool KeepTimerPeriodWhileHidden() override;
};

class Win32Windows : public WindowPort {
public:
    void EnumTopLevelWindows(WindowVisitor visit, void* context) override;
    int Title(WindowHandle window, char* buffer, int size) override;
    int ShowState(WindowHandle window) override;
    bool IsOwnWindow(WindowHandle window) override;
    unsigned long OwnerProcessId(WindowHandle window) override;
    bool Send(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
              unsigned timeoutMs) override;
    bool Exists(WindowHandle window) override;
    int CompareTitles(const char* a, const char* b) override;
    bool ContainsIgnoringCase(const char* text, const char* needle) override;
    bool CaptureClient(WindowHandle window, CaptureSource source, ClientPicture* picture) override;
    bool CanPrintFullContent() override;
    bool WatchWindowEvents() override;
    void StopWindowEvents() override;
    bool WaitForWindowEvent(unsigned timeoutMs) override;
    bool IsShown(WindowHandle window) override;
    bool IsCloaked(WindowHandle window) override;
    bool ExcludedFromCapture(WindowHandle window) override;
    int ClassName(WindowHandle window, char* buffer, int size) override;

    Win32Windows() = default;
    Win32Windows(const Win32Windows&) = delete;
    Win32Windows& operator=(const Win32Windows&) = delete;
    ~Win32Windows() override;

private:
    // The DIB section the captures copy into, kept from one capture to the
    // next while the size stays: a whole screen's is 8 MB, too much to
    // allocate every 10 ms.
    HDC captureDc_ = nullptr;
    HBITMAP captureBitmap_ = nullptr;
    HGDIOBJ capturePrevious_ = nullptr;
    const std::uint32_t* capturePixels_ = nullptr;
    int captureWidth_ = 0;
    int captureHeight_ = 0;
    // Creation and showing, one range; renaming and uncloaking, one each:
    // the events between them (a window moved, its value changed) come by
    // the hundred.
    HWINEVENTHOOK eventHooks_[3] = {nullptr, nullptr, nullptr};
    bool CaptureBuffer(HDC screen, int width, int height);
    void ReleaseCaptureBuffer();
};

// The main dialog (or, in tests, any dialog with the same control IDs).
class Win32Dialog : public DialogPort {
public:
    explicit Win32Dialog(HWND dialog) : dialog_(dialog) {}
    void FieldText(int controlId, char* buffer, int size) override;
    void SetFieldText(int controlId, const char* text) override;
    unsigned FieldNumber(int controlId) override;
    void SetFieldNumber(int controlId, unsigned value) override;
    bool IsChecked(int controlId) override;
    void Check(int controlId) override;
    void EnableControl(int controlId, bool enabled) override;
    int ShowMessageBox(const char* text, const char* caption, unsigned type) override;
    void PostClose() override;

private:
    HWND dialog_;
};

// From now on, Ctrl-C and Ctrl-Break at the console no longer end the
// process: they make StopRequested true, so that the run can close the
// application it launched and keep its log whole. False when the system
// refused the handler.
bool StopRunOnConsoleBreak();

HWND ToHwnd(WindowHandle window);
WindowHandle FromHwnd(HWND window);

#endif
