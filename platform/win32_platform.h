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
    std::uintptr_t OpenProcessToQuery(unsigned long processId) override;
    std::string ProgramFile(std::uintptr_t process) override;
    bool CreationTime(std::uintptr_t process, std::uint64_t* time) override;
    void CloseQueryHandle(std::uintptr_t process) override;
    bool StopRequested() override;
    int StopsRequested() override;
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
    bool IsShown(WindowHandle window) override;
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
// process: they make StopRequested true, and StopsRequested counts them,
// so that the run can close the application it launched and keep its log
// whole. False when the system refused the handler.
bool StopRunOnConsoleBreak();

HWND ToHwnd(WindowHandle window);
WindowHandle FromHwnd(HWND window);

#endif
