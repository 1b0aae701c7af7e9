// The window port kairon-time uses: the dialog's, and what only the
// console program's options reach (pictures of a window's content, and
// waits that end at a window event). Kept apart, as Win32ConsoleProcess
// is, so that Kairon.exe does not carry it.
#ifndef KAIRON_PLATFORM_WIN32_CONSOLE_WINDOWS_H
#define KAIRON_PLATFORM_WIN32_CONSOLE_WINDOWS_H

#include "platform/win32_platform.h"

#include <cstdint>

class Win32ConsoleWindows : public Win32Windows {
public:
    bool CaptureClient(WindowHandle window, CaptureSource source, ClientPicture* picture) override;
    bool CanPrintFullContent() override;
    bool WatchWindowEvents() override;
    void StopWindowEvents() override;
    bool WaitForWindowEvent(unsigned timeoutMs) override;
    bool IsCloaked(WindowHandle window) override;
    bool ExcludedFromCapture(WindowHandle window) override;
    int ClassName(WindowHandle window, char* buffer, int size) override;
    bool SendWithoutWaiting(WindowHandle window, unsigned message, std::uintptr_t wParam,
                            std::intptr_t lParam) override;
    bool SentMessageHandled() override;

    Win32ConsoleWindows() = default;
    Win32ConsoleWindows(const Win32ConsoleWindows&) = delete;
    Win32ConsoleWindows& operator=(const Win32ConsoleWindows&) = delete;
    ~Win32ConsoleWindows() override;

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
    // Counts the messages sent without waiting; each one's callback brings
    // its number back, so that a late answer to an earlier one (a window
    // that hung, then woke) is not taken for the latest's.
    ULONG_PTR messagesSent_ = 0;
    bool CaptureBuffer(HDC screen, int width, int height);
    void ReleaseCaptureBuffer();
};

#endif
