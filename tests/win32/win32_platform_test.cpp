// The Win32 side of the seam against the real system (under Wine): the few
// places where Kairon relies on how Windows itself behaves.
#include "platform/win32_console_process.h"
#include "platform/win32_console_windows.h"
#include "platform/win32_platform.h"

#include "engine/log_format.h"
#include "engine/window_owner.h"
#include "platform/pixel_hash.h"
#include "resources/control_ids.h"
#include "tests/fake_platform.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

// A plain top-level window holding one edit control with the given ID, so
// the dialog-item calls can be exercised without a dialog template.
struct WindowWithField {
    explicit WindowWithField(int fieldId, const char* title = "Kairon field test")
    {
        window = CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        field = CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 100, 20, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(fieldId)),
                                GetModuleHandleA(nullptr), nullptr);
    }
    ~WindowWithField() { DestroyWindow(window); }
    HWND window;
    HWND field;
};

TEST(Win32Dialog, ReadsNumbersAsGetDlgItemIntDoesWithoutSign)
{
    // Text with trailing letters or a minus sign is left out: Windows
    // reads it as 0, Wine reads the leading number. The digits-only fields
    // keep both out of the dialog unless pasted.
    const char* const texts[] = {"0",          "1",          "1000", "2147483647", "2147483648",
                                 "4294967295", "4294967296", "",     "abc",        " 42 "};
    WindowWithField holder(IDC_EXECUTIONS);
    ASSERT_NE(holder.field, nullptr);
    Win32Dialog dialog(holder.window);
    for (const char* text : texts) {
        SetWindowTextA(holder.field, text);
        // The fake platform's reading must agree with the real one.
        EXPECT_EQ(dialog.FieldNumber(IDC_EXECUTIONS), ParseUnsignedField(text)) << text;
    }
}

TEST(Win32Dialog, WritesNumbersWithoutSign)
{
    WindowWithField holder(IDC_DELAY);
    Win32Dialog dialog(holder.window);
    dialog.SetFieldNumber(IDC_DELAY, static_cast<unsigned>(-5));
    char text[32] = "";
    GetWindowTextA(holder.field, text, sizeof text);
    EXPECT_STREQ(text, "4294967291");
}

TEST(Win32Dialog, FieldTextIsCutToTheBuffer)
{
    WindowWithField holder(IDC_APP_PATH);
    Win32Dialog dialog(holder.window);
    SendMessageA(holder.field, EM_LIMITTEXT, 0, 0);
    const std::string longText(700, 'x');
    dialog.SetFieldText(IDC_APP_PATH, longText.c_str());
    char buffer[516];
    dialog.FieldText(IDC_APP_PATH, buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer), std::string(515, 'x'));
}

TEST(Win32Windows, ComparesTitlesAsTheSystemDoes)
{
    Win32Windows windows;
    EXPECT_EQ(windows.CompareTitles("Sample", "Sample"), 0);
    EXPECT_NE(windows.CompareTitles("Sample", "sample"), 0);
    EXPECT_TRUE(windows.ContainsIgnoringCase("Veltrane KAIRON", "kairon"));
    EXPECT_FALSE(windows.ContainsIgnoringCase("Veltrane", "Kairon"));
}

TEST(Win32Windows, KnowsItsOwnWindowsAndReadsTheirTitles)
{
    WindowWithField holder(IDC_APP_PATH, "Kairon own window");
    Win32Windows windows;
    const WindowHandle handle = FromHwnd(holder.window);
    EXPECT_EQ(ToHwnd(handle), holder.window);
    EXPECT_TRUE(windows.IsOwnWindow(handle));
    char title[256];
    EXPECT_EQ(windows.Title(handle, title, sizeof title), 17);
    EXPECT_STREQ(title, "Kairon own window");
    EXPECT_EQ(windows.Title(handle, title, 7), 6);
    EXPECT_STREQ(title, "Kairon");
    EXPECT_EQ(windows.ShowState(handle), SW_SHOWNORMAL);
    ShowWindow(holder.window, SW_SHOWMINIMIZED);
    EXPECT_EQ(windows.ShowState(handle), SW_SHOWMINIMIZED);

    bool seen = false;
    struct Search {
        WindowHandle wanted;
        bool* seen;
    } search = {handle, &seen};
    windows.EnumTopLevelWindows(
        [](WindowHandle window, void* context) {
            Search* s = static_cast<Search*>(context);
            if (window == s->wanted)
                *s->seen = true;
            return !*s->seen;
        },
        &search);
    EXPECT_TRUE(seen);
}

// A close message that destroys the window counts as handled; a window
// that is gone takes no more messages and no longer exists, which is how a
// run tells "closed" from "did not answer".
TEST(Win32Windows, SendsWithinATimeLimitAndSeesTheWindowGo)
{
    WindowWithField holder(IDC_APP_PATH, "Kairon close test");
    Win32Windows windows;
    const WindowHandle handle = FromHwnd(holder.window);
    EXPECT_TRUE(windows.Exists(handle));
    EXPECT_TRUE(windows.Send(handle, kMsgClose, 0, 0, kCloseMessageTimeoutMs));
    EXPECT_FALSE(windows.Exists(handle));
    EXPECT_FALSE(windows.Send(handle, kMsgSysCommand, kSysCommandClose, 0, kCloseMessageTimeoutMs));
}

// A message sent without waiting is not handled while its window's thread
// is held, and is once that thread takes it; an earlier message's late
// answer does not undo the latest's.
TEST(Win32ConsoleWindows, SendsWithoutWaitingAndHearsWhenTheLatestIsHandled)
{
    HANDLE made = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND held = nullptr;
    std::thread owner([&] {
        held = CreateWindowExA(0, "STATIC", "Kairon held", 0, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        SetEvent(made);
        WaitForSingleObject(release, INFINITE);
        MSG message;
        for (int pass = 0; pass < 100; ++pass, Sleep(10))
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
        DestroyWindow(held);
    });
    WaitForSingleObject(made, INFINITE);
    WindowWithField own(IDC_APP_PATH, "Kairon own");
    Win32ConsoleWindows windows;
    const auto handledWithin = [&windows](int ms) {
        for (int waited = 0; waited < ms && !windows.SentMessageHandled(); waited += 10)
            Sleep(10);
        return windows.SentMessageHandled();
    };
    ASSERT_TRUE(windows.SendWithoutWaiting(FromHwnd(held), WM_NULL, 0, 0));
    EXPECT_FALSE(handledWithin(200));
    ASSERT_TRUE(windows.SendWithoutWaiting(FromHwnd(own.window), WM_NULL, 0, 0));
    EXPECT_TRUE(handledWithin(0));  // the calling thread's own window: at once
    SetEvent(release);
    Sleep(200);
    EXPECT_TRUE(handledWithin(0));
    ASSERT_TRUE(windows.SendWithoutWaiting(FromHwnd(held), WM_NULL, 0, 0));
    EXPECT_TRUE(handledWithin(500));
    owner.join();
    EXPECT_FALSE(windows.SendWithoutWaiting(FromHwnd(held), WM_NULL, 0, 0));
    CloseHandle(made), CloseHandle(release);
}

// A handle's 32-bit value comes back as the system's handle: sign-extended
// in a 64-bit program, as the system extends handles from 32-bit programs.
// A capture reads the client area as it stands: the same pixels give the
// same hash, any change another; a minimised window has no client area,
// and a window that is gone cannot be captured.
// Handles what is waiting for a while: under Wine the screen shows what a
// window drew once its surface has gone out to the X server.
void LetTheScreenCatchUp()
{
    for (int i = 0; i < 20; ++i) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(10);
    }
}

TEST(Win32Windows, CapturesTheClientAreaAsItIsDrawn)
{
    for (const CaptureSource source : {kCaptureScreen, kCaptureWindow}) {
        SCOPED_TRACE(source == kCaptureScreen ? "screen" : "window");
        // A static control without text: its background alone, one colour.
        HWND window = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                      200, 100, nullptr, nullptr, GetModuleHandleA(nullptr),
                                      nullptr);
        ASSERT_NE(window, nullptr);
        UpdateWindow(window);
        LetTheScreenCatchUp();
        Win32ConsoleWindows windows;
        const WindowHandle handle = FromHwnd(window);
        ClientPicture blank;
        ClientPicture again;
        ASSERT_TRUE(windows.CaptureClient(handle, source, &blank));
        ASSERT_TRUE(windows.CaptureClient(handle, source, &again));
        EXPECT_EQ(blank.hash, again.hash);
        EXPECT_TRUE(blank.blank);
        EXPECT_FALSE(blank.covered);

        HDC dc = GetDC(window);
        RECT square = {10, 10, 14, 14};
        FillRect(dc, &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(window, dc);
        LetTheScreenCatchUp();
        ClientPicture painted;
        ASSERT_TRUE(windows.CaptureClient(handle, source, &painted));
        EXPECT_NE(painted.hash, blank.hash);
        EXPECT_FALSE(painted.blank);

        // A window above it over a corner: the screen there is not its own.
        HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "Kairon cover",
                                     WS_POPUP | WS_VISIBLE, 150, 60, 100, 100, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(cover, nullptr);
        LetTheScreenCatchUp();
        ClientPicture covered;
        ASSERT_TRUE(windows.CaptureClient(handle, source, &covered));
        EXPECT_EQ(covered.covered, source == kCaptureScreen);
        DestroyWindow(cover);

        ShowWindow(window, SW_MINIMIZE);
        ClientPicture minimised;
        ASSERT_TRUE(windows.CaptureClient(handle, source, &minimised));
        EXPECT_EQ(minimised.hash, HashPixels(nullptr, 0, 0));
        EXPECT_TRUE(minimised.blank);

        DestroyWindow(window);
        EXPECT_FALSE(windows.CaptureClient(handle, source, &again));
    }
}

TEST(Win32Windows, HandleValuesRoundTripAsTheSystemExtendsThem)
{
    const WindowHandle values[] = {0x00010020u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFEu};
    for (WindowHandle value : values) {
        SCOPED_TRACE(value);
        EXPECT_EQ(FromHwnd(ToHwnd(value)), value);
        EXPECT_EQ(reinterpret_cast<std::intptr_t>(ToHwnd(value)),
                  static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
    }
}

TEST(Win32Process, LaunchFailureGivesTheSystemText)
{
    Win32Process process;
    char commandLine[] = "\"Z:\\no\\such\\kairon-test-program.exe\" ";
    LaunchedProcess launched;
    EXPECT_FALSE(process.LaunchProcess(commandLine, &launched));
    const unsigned long error = process.LastError();
    EXPECT_NE(error, 0u);
    EXPECT_FALSE(process.SystemErrorText(error).empty());
}

// What the hand-off check asks of a window's owner, and of the process a
// launch created once it has ended, as a single-instance program's second
// launch does at once: the program file, and when it was created.
TEST(Win32Process, NamesTheProgramAndCreationOfAProcessEvenOnceItEnded)
{
    Win32Process process;
    Win32Windows windows;
    WindowWithField holder(IDC_APP_PATH, "Kairon owner test");
    EXPECT_EQ(windows.OwnerProcessId(FromHwnd(holder.window)), GetCurrentProcessId());

    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof self), 0u);
    const std::uintptr_t own = process.OpenProcessToQuery(GetCurrentProcessId());
    ASSERT_NE(own, 0u);
    EXPECT_TRUE(SameProgramFile(process.ProgramFile(own), self)) << process.ProgramFile(own);
    std::uint64_t ownCreation = 0;
    EXPECT_TRUE(process.CreationTime(own, &ownCreation));
    process.CloseQueryHandle(own);

    std::string commandLine = std::string("\"") + self + "\" --gtest_filter=NoSuchTest";
    LaunchedProcess launched;
    ASSERT_TRUE(process.LaunchProcess(&commandLine[0], &launched));
    EXPECT_NE(launched.id, 0u);
    EXPECT_NE(launched.id, GetCurrentProcessId());
    ASSERT_EQ(WaitForSingleObject(reinterpret_cast<HANDLE>(launched.process), 30000),
              WAIT_OBJECT_0);
    EXPECT_TRUE(SameProgramFile(process.ProgramFile(launched.process), self))
        << process.ProgramFile(launched.process);
    std::uint64_t launchedCreation = 0;
    EXPECT_TRUE(process.CreationTime(launched.process, &launchedCreation));
    EXPECT_GT(launchedCreation, ownCreation);
    process.CloseProcessHandles(launched);

    EXPECT_EQ(windows.OwnerProcessId(0), 0u);
}

// kairon-time's wake: a top-level window another process creates ends
// the wait (Wine sends the creation, not the showing); Kairon's own
// windows do not, and without an event the wait lasts its time.
TEST(Win32Windows, AnotherProcesssNewWindowEndsTheWaitForAWindowEvent)
{
    Win32ConsoleWindows windows;
    Win32ConsoleProcess process;
    ASSERT_TRUE(windows.WatchWindowEvents());
    WindowWithField own(IDC_APP_PATH, "Kairon event test");
    ShowWindow(own.window, SW_SHOWNOACTIVATE);
    const std::int64_t frequency = process.CounterFrequency();
    const std::int64_t start = process.CounterNow();
    EXPECT_FALSE(windows.WaitForWindowEvent(50));
    EXPECT_GE((process.CounterNow() - start) * 1000 / frequency, 45);

    char commandLine[] = "notepad.exe";
    LaunchedProcess notepad;
    ASSERT_TRUE(process.LaunchProcess(commandLine, &notepad));
    bool woken = false;
    for (int wait = 0; wait < 1000 && !woken; ++wait)
        woken = windows.WaitForWindowEvent(10);
    EXPECT_TRUE(woken);
    windows.StopWindowEvents();
    process.Terminate(notepad);
    WaitForSingleObject(reinterpret_cast<HANDLE>(notepad.process), 10000);
    process.CloseProcessHandles(notepad);
}

// A launch's job holds what the launch started, and is ended as a whole,
// with the count of what it ended.
TEST(Win32Process, ALaunchJobHoldsItsProgramAndEndsAsAWhole)
{
    Win32ConsoleProcess process;
    const std::uintptr_t job = process.CreateLaunchJob();
    ASSERT_NE(job, 0u);
    // Wine keeps no limit flags of a job (it answers 0), so whether
    // breakaway is allowed shows only on Windows.
    char commandLine[] = "notepad.exe";
    LaunchedProcess notepad;
    ASSERT_TRUE(process.LaunchProcessInJob(commandLine, job, &notepad));
    ASSERT_EQ(notepad.job, job);
    EXPECT_TRUE(process.ProcessInJob(notepad.process, job));
    EXPECT_EQ(process.RunningInJob(job), 1);
    EXPECT_EQ(process.EndJob(job), 1);
    EXPECT_EQ(WaitForSingleObject(reinterpret_cast<HANDLE>(notepad.process), 10000),
              static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(process.EndJob(job), 0);
    process.CloseProcessHandles(notepad);
}

TEST(Win32Process, CounterAdvancesAcrossASleep)
{
    Win32Process process;
    const std::int64_t frequency = process.CounterFrequency();
    const std::int64_t start = process.CounterNow();
    process.Sleep(20);
    const std::int64_t elapsedMs = (process.CounterNow() - start) * 1000 / frequency;
    EXPECT_GE(elapsedMs, 15);
    EXPECT_LT(elapsedMs, 2000);
}

}  // namespace
