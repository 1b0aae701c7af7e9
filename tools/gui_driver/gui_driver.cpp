// gui_driver: works Kairon's main dialog from outside, as a user would, for
// the end-to-end tests.
//
// It reads commands, one a line, from standard input (or takes one command
// from its own arguments), carries each out against the running main dialog
// (the top-level window of class "Kairon") and writes what it reads to
// standard output, one line per result, LF line ends. Texts it prints are
// escaped: backslash as \\, newline as \n, carriage return as \r, tab as \t.
// The first command that fails prints "error: <why>" and ends the driver
// with exit code 1; otherwise it exits with 0. Blank lines and lines
// starting with # are skipped. Times are in milliseconds; a time-out left
// out is 10000. Every command looks for the dialog itself; find also waits
// for it to appear.
//
//   find [MS]              wait for the main dialog; prints "dialog: <caption>"
//   set ID TEXT            set a control's text (the rest of the line; may be empty)
//   get ID                 prints "get ID: <text>"
//   checked ID             prints "checked ID: 0|1"
//   enabled ID             prints "enabled ID: 0|1"
//   status                 prints "status: <text>" (the status line, 1012)
//   click ID               click a check box or button and wait until the
//                          dialog has handled it (BM_CLICK, sent)
//   press ID               click a button that opens something modal: posted,
//                          returns at once
//   command ID             post WM_COMMAND with ID to the dialog, as the
//                          program's own unattended start does
//   box [MS]               wait for a message box owned by the dialog; prints
//                          "box: <caption> | <text>", presses its OK and waits
//                          until it is gone
//   no-box MS              fails if a message box owned by the dialog shows
//                          up within MS
//   wait-status MS TEXT    wait until the status line reads TEXT, printing
//                          every text it shows on the way:
//                          "status: <text> (run: 0|1)" with Run App's state
//   wait-enabled ID 0|1 [MS]  wait until the control is enabled (1) or not
//   about enter|escape|ok  press About, wait for the About box, print
//                          "about caption|maker|version|web: <text>",
//                          "about rect: L T R B", "dialog rect: L T R B" and
//                          "screen: W H", then close it with the Enter key,
//                          the Escape key or its OK button and wait until
//                          it is gone
//   about-open             press About, wait for the About box and print
//                          "about rect: L T R B", leaving it open
//   file-dialog ID         press the browse button ID, wait for the file
//                          dialog it opens, print "file dialog: <title>",
//                          cancel it and wait until it is gone; the same
//                          for any further one that shows within 1 s
//   move X Y               move the main dialog (size and Z order kept)
//   rect                   prints "dialog rect: L T R B"
//   wait-gone [MS]         wait until the main dialog no longer exists
//   sleep MS               pause
//   systext CODE           prints "systext CODE: <the system's message text>"
//   windows                prints "window: <handle> <class> | <title>" for
//                          every top-level window, for diagnosis
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char kMainClass[] = "Kairon";
const char kDialogClass[] = "#32770";
const int kStatusId = 1012;
const int kRunId = 1010;
const int kAboutId = 1022;
const int kAboutVersionId = 1039;
const int kAboutMakerId = 1037;
const int kAboutWebId = 1040;
const DWORD kDefaultTimeoutMs = 10000;
const DWORD kPollMs = 10;
const UINT kSendTimeoutMs = 5000;

HWND g_dialog = nullptr;

// --- small helpers ----------------------------------------------------------

std::string Escape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: out += c;
        }
    }
    return out;
}

void Print(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// A failed command: the message goes out, and the driver stops.
struct Failure {
    bool failed = false;
    std::string why;
};

Failure Fail(const std::string& why)
{
    Failure failure;
    failure.failed = true;
    failure.why = why;
    return failure;
}

const Failure kOk;

bool ParseNumber(const std::string& text, long* value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    *value = std::strtol(text.c_str(), &end, 0);
    return *end == '\0';
}

// WM_GETTEXT sent, not GetWindowTextA: for another process's edit control
// the latter returns the window's own caption rather than what it holds.
// Not SMTO_ABORTIFHUNG: a message box of Kairon's worker thread belongs to
// a thread that has slept through a countdown without reading messages,
// which the system counts as hung.
std::string WindowText(HWND window)
{
    char buffer[4096] = "";
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                             SMTO_NORMAL, kSendTimeoutMs, &ignored))
        return "<no answer>";
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

std::string ClassOf(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string RectText(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    char text[96];
    std::snprintf(text, sizeof text, "%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
    return text;
}

// Each invocation of the driver finds the dialog afresh, so that commands
// can also be given one at a time.
bool DialogAlive()
{
    if (!g_dialog || !IsWindow(g_dialog))
        g_dialog = FindWindowA(kMainClass, nullptr);
    return g_dialog != nullptr;
}

HWND Control(int id)
{
    return GetDlgItem(g_dialog, id);
}

// Polls `ready` until it holds or `timeoutMs` pass; true when it held.
template <typename Ready>
bool WaitFor(DWORD timeoutMs, Ready ready)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (ready())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(kPollMs);
    }
}

// --- the dialogs the main dialog owns ----------------------------------------

enum class OwnedKind { MessageBox, About, FileDialog };

struct OwnedSearch {
    HWND owner;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOwnedDialog(HWND window, LPARAM context)
{
    OwnedSearch* search = reinterpret_cast<OwnedSearch*>(context);
    if (GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window) &&
        ClassOf(window) == kDialogClass)
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> OwnedDialogs()
{
    OwnedSearch search{g_dialog, {}};
    EnumWindows(CollectOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The text of a standard message box is a static control with the ID
// 0xFFFF (-1 in the template).
HWND MessageBoxTextControl(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetDlgCtrlID(child) & 0xFFFF) == 0xFFFF && ClassOf(child) == "Static")
            return child;
    }
    return nullptr;
}

OwnedKind KindOf(HWND dialog)
{
    if (GetDlgItem(dialog, kAboutVersionId))
        return OwnedKind::About;
    if (MessageBoxTextControl(dialog))
        return OwnedKind::MessageBox;
    return OwnedKind::FileDialog;
}

HWND FindOwned(OwnedKind kind)
{
    for (HWND window : OwnedDialogs()) {
        if (KindOf(window) == kind)
            return window;
    }
    return nullptr;
}

std::string MessageBoxLine(HWND box)
{
    return "box: " + Escape(WindowText(box)) + " | " +
           Escape(WindowText(MessageBoxTextControl(box)));
}

Failure WaitUntilClosed(HWND window, const char* what)
{
    if (!WaitFor(kDefaultTimeoutMs, [&] { return !IsWindow(window) || !IsWindowVisible(window); }))
        return Fail(std::string(what) + " did not close");
    return kOk;
}

// A key press as the keyboard would deliver it to the focused control, so
// that the dialog's own keyboard handling (Enter, Escape) is what acts.
void PostKey(HWND dialog, WPARAM key)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    HWND target = dialog;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) && info.hwndFocus)
        target = info.hwndFocus;
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(key), 0);
    PostMessageA(target, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
}

// --- commands ---------------------------------------------------------------

struct Command {
    std::string name;
    std::vector<std::string> words;  // the words after the name
    std::string rest;                // everything after the name
};

// The text after the first `skip` words of `rest`, with one blank taken off.
std::string TextAfterWords(const std::string& rest, int skip)
{
    size_t at = 0;
    for (int i = 0; i < skip; ++i) {
        while (at < rest.size() && rest[at] == ' ')
            ++at;
        while (at < rest.size() && rest[at] != ' ')
            ++at;
    }
    if (at < rest.size() && rest[at] == ' ')
        ++at;
    return rest.substr(at);
}

Failure NeedWords(const Command& command, size_t minimum)
{
    if (command.words.size() < minimum)
        return Fail(command.name + ": missing arguments");
    return kOk;
}

Failure ReadId(const Command& command, size_t index, int* id)
{
    long value = 0;
    if (index >= command.words.size() || !ParseNumber(command.words[index], &value))
        return Fail(command.name + ": expected a number");
    *id = static_cast<int>(value);
    return kOk;
}

Failure ReadTimeout(const Command& command, size_t index, DWORD* timeoutMs)
{
    *timeoutMs = kDefaultTimeoutMs;
    if (index >= command.words.size())
        return kOk;
    long value = 0;
    if (!ParseNumber(command.words[index], &value) || value < 0)
        return Fail(command.name + ": expected a time in milliseconds");
    *timeoutMs = static_cast<DWORD>(value);
    return kOk;
}

Failure NeedControl(int id, HWND* control)
{
    if (!DialogAlive())
        return Fail("the main dialog is not there");
    *control = Control(id);
    if (!*control)
        return Fail("no control " + std::to_string(id));
    return kOk;
}

// The control named by the command's first word, in the live main dialog.
Failure ReadControl(const Command& command, int* id, HWND* control)
{
    const Failure failure = ReadId(command, 0, id);
    return failure.failed ? failure : NeedControl(*id, control);
}

Failure DoFind(const Command& command)
{
    DWORD timeoutMs;
    Failure failure = ReadTimeout(command, 0, &timeoutMs);
    if (failure.failed)
        return failure;
    const bool found = WaitFor(timeoutMs, [] {
        g_dialog = FindWindowA(kMainClass, nullptr);
        return g_dialog && IsWindowVisible(g_dialog);
    });
    if (!found)
        return Fail("no visible window of class Kairon");
    Print("dialog: " + Escape(WindowText(g_dialog)));
    return kOk;
}

Failure DoSet(const Command& command)
{
    int id;
    HWND control;
    const Failure failure = ReadControl(command, &id, &control);
    if (failure.failed)
        return failure;
    const std::string text = TextAfterWords(command.rest, 1);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_NORMAL, kSendTimeoutMs, &ignored);
    return kOk;
}

Failure DoGet(const Command& command)
{
    int id;
    HWND control;
    const Failure failure = ReadControl(command, &id, &control);
    if (failure.failed)
        return failure;
    Print("get " + std::to_string(id) + ": " + Escape(WindowText(control)));
    return kOk;
}

Failure DoChecked(const Command& command)
{
    int id;
    HWND control;
    const Failure failure = ReadControl(command, &id, &control);
    if (failure.failed)
        return failure;
    DWORD_PTR state = 0;
    SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &state);
    Print("checked " + std::to_string(id) + ": " + (state == BST_CHECKED ? "1" : "0"));
    return kOk;
}

Failure DoEnabled(const Command& command)
{
    int id;
    HWND control;
    const Failure failure = ReadControl(command, &id, &control);
    if (failure.failed)
        return failure;
    Print("enabled " + std::to_string(id) + ": " + (IsWindowEnabled(control) ? "1" : "0"));
    return kOk;
}

Failure DoStatus(const Command&)
{
    HWND control;
    Failure failure = NeedControl(kStatusId, &control);
    if (failure.failed)
        return failure;
    Print("status: " + Escape(WindowText(control)));
    return kOk;
}

Failure DoClick(const Command& command, bool posted)
{
    int id;
    HWND control;
    const Failure failure = ReadControl(command, &id, &control);
    if (failure.failed)
        return failure;
    if (posted) {
        PostMessageA(control, BM_CLICK, 0, 0);
    } else {
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutA(control, BM_CLICK, 0, 0, SMTO_NORMAL, kSendTimeoutMs,
                                 &ignored))
            return Fail("click " + std::to_string(id) +
                        " did not return (it opens something modal: use press)");
    }
    return kOk;
}

Failure DoCommand(const Command& command)
{
    int id;
    Failure failure = ReadId(command, 0, &id);
    if (failure.failed)
        return failure;
    if (!DialogAlive())
        return Fail("the main dialog is not there");
    PostMessageA(g_dialog, WM_COMMAND, static_cast<WPARAM>(id), 0);
    return kOk;
}

Failure DoBox(const Command& command)
{
    DWORD timeoutMs;
    Failure failure = ReadTimeout(command, 0, &timeoutMs);
    if (failure.failed)
        return failure;
    if (!DialogAlive())
        return Fail("the main dialog is not there");
    HWND box = nullptr;
    if (!WaitFor(timeoutMs, [&] { return (box = FindOwned(OwnedKind::MessageBox)) != nullptr; }))
        return Fail("no message box within " + std::to_string(timeoutMs) + " ms");
    Print(MessageBoxLine(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return WaitUntilClosed(box, "the message box");
}

Failure DoNoBox(const Command& command)
{
    DWORD timeoutMs;
    Failure failure = NeedWords(command, 1);
    if (!failure.failed)
        failure = ReadTimeout(command, 0, &timeoutMs);
    if (failure.failed)
        return failure;
    if (!DialogAlive())
        return Fail("the main dialog is not there");
    HWND box = nullptr;
    if (WaitFor(timeoutMs, [&] { return (box = FindOwned(OwnedKind::MessageBox)) != nullptr; }))
        return Fail("unexpected " + MessageBoxLine(box));
    return kOk;
}

Failure DoWaitStatus(const Command& command)
{
    DWORD timeoutMs;
    HWND status;
    Failure failure = NeedWords(command, 1);
    if (!failure.failed)
        failure = ReadTimeout(command, 0, &timeoutMs);
    if (!failure.failed)
        failure = NeedControl(kStatusId, &status);
    if (failure.failed)
        return failure;
    const std::string wanted = TextAfterWords(command.rest, 1);
    std::string last;
    bool first = true;
    const bool reached = WaitFor(timeoutMs, [&] {
        if (!IsWindow(status))
            return false;
        const std::string text = WindowText(status);
        if (first || text != last) {
            const bool runEnabled = IsWindowEnabled(Control(kRunId)) != FALSE;
            Print("status: " + Escape(text) + " (run: " + (runEnabled ? "1" : "0") + ")");
            last = text;
            first = false;
        }
        return text == wanted;
    });
    if (!reached)
        return Fail("status never read: " + Escape(wanted));
    return kOk;
}

Failure DoWaitEnabled(const Command& command)
{
    int id;
    long wanted = 0;
    DWORD timeoutMs;
    HWND control;
    Failure failure = ReadId(command, 0, &id);
    if (!failure.failed && (command.words.size() < 2 || !ParseNumber(command.words[1], &wanted)))
        failure = Fail("wait-enabled: expected 0 or 1");
    if (!failure.failed)
        failure = ReadTimeout(command, 2, &timeoutMs);
    if (!failure.failed)
        failure = NeedControl(id, &control);
    if (failure.failed)
        return failure;
    if (!WaitFor(timeoutMs, [&] { return (IsWindowEnabled(control) != FALSE) == (wanted != 0); }))
        return Fail("control " + std::to_string(id) + " never became " +
                    (wanted ? "enabled" : "disabled"));
    return kOk;
}

HWND OpenAbout()
{
    HWND button = Control(kAboutId);
    if (!button)
        return nullptr;
    PostMessageA(button, BM_CLICK, 0, 0);
    HWND about = nullptr;
    WaitFor(kDefaultTimeoutMs, [&] { return (about = FindOwned(OwnedKind::About)) != nullptr; });
    return about;
}

Failure DoAboutOpen(const Command&)
{
    if (!DialogAlive())
        return Fail("the main dialog is not there");
    HWND about = OpenAbout();
    if (!about)
        return Fail("no About box");
    Print("about rect: " + RectText(about));
    return kOk;
}

Failure DoAbout(const Command& command)
{
    Failure failure = NeedWords(command, 1);
    if (failure.failed)
        return failure;
    const std::string how = command.words[0];
    if (how != "enter" && how != "escape" && how != "ok")
        return Fail("about: expected enter, escape or ok");
    if (!DialogAlive())
        return Fail("the main dialog is not there");
    HWND about = OpenAbout();
    if (!about)
        return Fail("no About box");
    Print("about caption: " + Escape(WindowText(about)));
    Print("about maker: " + Escape(WindowText(GetDlgItem(about, kAboutMakerId))));
    Print("about version: " + Escape(WindowText(GetDlgItem(about, kAboutVersionId))));
    Print("about web: " + Escape(WindowText(GetDlgItem(about, kAboutWebId))));
    Print("about rect: " + RectText(about));
    Print("dialog rect: " + RectText(g_dialog));
    Print("screen: " + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " " +
          std::to_string(GetSystemMetrics(SM_CYSCREEN)));
    if (how == "enter")
        PostKey(about, VK_RETURN);
    else if (how == "escape")
        PostKey(about, VK_ESCAPE);
    else
        PostMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    return WaitUntilClosed(about, "the About box");
}

Failure DoFileDialog(const Command& command)
{
    int id;
    HWND button;
    Failure failure = ReadId(command, 0, &id);
    if (!failure.failed)
        failure = NeedControl(id, &button);
    if (failure.failed)
        return failure;
    PostMessageA(button, BM_CLICK, 0, 0);
    // Cancel every file dialog that the click brings up: the program may
    // open a second one after the first fails.
    DWORD timeoutMs = kDefaultTimeoutMs;
    for (int shown = 0;; ++shown) {
        HWND picker = nullptr;
        if (!WaitFor(timeoutMs,
                     [&] { return (picker = FindOwned(OwnedKind::FileDialog)) != nullptr; }))
            return shown == 0 ? Fail("no file dialog") : kOk;
        // The dialog fills itself in after it shows; give it that moment.
        Sleep(300);
        Print("file dialog: " + Escape(WindowText(picker)));
        PostMessageA(picker, WM_COMMAND, IDCANCEL, 0);
        failure = WaitUntilClosed(picker, "the file dialog");
        if (failure.failed)
            return failure;
        timeoutMs = 1000;
    }
}

Failure DoMove(const Command& command)
{
    long x = 0, y = 0;
    if (command.words.size() < 2 || !ParseNumber(command.words[0], &x) ||
        !ParseNumber(command.words[1], &y))
        return Fail("move: expected X Y");
    if (!DialogAlive())
        return Fail("the main dialog is not there");
    SetWindowPos(g_dialog, nullptr, static_cast<int>(x), static_cast<int>(y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return kOk;
}

Failure DoRect(const Command&)
{
    if (!DialogAlive())
        return Fail("the main dialog is not there");
    Print("dialog rect: " + RectText(g_dialog));
    return kOk;
}

Failure DoWaitGone(const Command& command)
{
    DWORD timeoutMs;
    Failure failure = ReadTimeout(command, 0, &timeoutMs);
    if (failure.failed)
        return failure;
    if (!WaitFor(timeoutMs, [] { return FindWindowA(kMainClass, nullptr) == nullptr; }))
        return Fail("the main dialog is still there");
    return kOk;
}

Failure DoSleep(const Command& command)
{
    DWORD ms;
    Failure failure = NeedWords(command, 1);
    if (!failure.failed)
        failure = ReadTimeout(command, 0, &ms);
    if (failure.failed)
        return failure;
    Sleep(ms);
    return kOk;
}

Failure DoSysText(const Command& command)
{
    int code;
    Failure failure = ReadId(command, 0, &code);
    if (failure.failed)
        return failure;
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                   static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<LPSTR>(&text), 0, nullptr);
    Print("systext " + std::to_string(code) + ": " + Escape(text ? text : ""));
    if (text)
        LocalFree(text);
    return kOk;
}

BOOL CALLBACK PrintWindowLine(HWND window, LPARAM)
{
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    char handle[32];
    std::snprintf(handle, sizeof handle, "0x%lX",
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    Print(std::string("window: ") + handle + " " + ClassOf(window) + " | " + Escape(title) +
          (IsWindowVisible(window) ? "" : " (hidden)"));
    return TRUE;
}

Failure DoWindows(const Command&)
{
    EnumWindows(PrintWindowLine, 0);
    return kOk;
}

Failure Execute(const Command& command)
{
    const std::string& n = command.name;
    if (n == "find") return DoFind(command);
    if (n == "set") return DoSet(command);
    if (n == "get") return DoGet(command);
    if (n == "checked") return DoChecked(command);
    if (n == "enabled") return DoEnabled(command);
    if (n == "status") return DoStatus(command);
    if (n == "click") return DoClick(command, false);
    if (n == "press") return DoClick(command, true);
    if (n == "command") return DoCommand(command);
    if (n == "box") return DoBox(command);
    if (n == "no-box") return DoNoBox(command);
    if (n == "wait-status") return DoWaitStatus(command);
    if (n == "wait-enabled") return DoWaitEnabled(command);
    if (n == "about") return DoAbout(command);
    if (n == "about-open") return DoAboutOpen(command);
    if (n == "file-dialog") return DoFileDialog(command);
    if (n == "move") return DoMove(command);
    if (n == "rect") return DoRect(command);
    if (n == "wait-gone") return DoWaitGone(command);
    if (n == "sleep") return DoSleep(command);
    if (n == "systext") return DoSysText(command);
    if (n == "windows") return DoWindows(command);
    return Fail("unknown command: " + n);
}

Command ParseLine(const std::string& line)
{
    Command command;
    size_t at = 0;
    while (at < line.size() && line[at] == ' ')
        ++at;
    const size_t nameEnd = line.find(' ', at);
    command.name = line.substr(at, nameEnd == std::string::npos ? std::string::npos : nameEnd - at);
    if (nameEnd == std::string::npos)
        return command;
    command.rest = line.substr(nameEnd + 1);
    size_t pos = 0;
    while (pos < command.rest.size()) {
        while (pos < command.rest.size() && command.rest[pos] == ' ')
            ++pos;
        const size_t end = command.rest.find(' ', pos);
        const size_t stop = end == std::string::npos ? command.rest.size() : end;
        if (stop > pos)
            command.words.push_back(command.rest.substr(pos, stop - pos));
        pos = stop;
    }
    return command;
}

// True when the line ran (or was skipped); false after a failure.
bool RunLine(std::string line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos || line[first] == '#')
        return true;
    const Failure failure = Execute(ParseLine(line));
    if (failure.failed) {
        Print("error: " + failure.why);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    // LF line ends, so that the shell tests compare plain text.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc > 1) {
        std::string line = argv[1];
        for (int i = 2; i < argc; ++i)
            line += std::string(" ") + argv[i];
        return RunLine(line) ? 0 : 1;
    }
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!RunLine(line))
            return 1;
    }
    return 0;
}
