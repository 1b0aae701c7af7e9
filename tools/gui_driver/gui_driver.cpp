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
// for it to appear. A control ID is its name in resources/control_ids.h
// (IDC_RUN) or a number; results name it as the command did.
//
// The commands, their arguments and what each prints are listed in
// kCommands below; "gui_driver help" prints that list.
#include "resources/control_ids.h"

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

// The file name field of a common file dialog: cmb13, a combo box whose
// edit takes the name, or edt1, a plain edit, depending on the system.
const int kFileNameComboId = 0x047C;
const int kFileNameEditId = 0x0480;
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

std::vector<HWND> OwnedDialogs(HWND owner)
{
    OwnedSearch search{owner, {}};
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
    if (GetDlgItem(dialog, IDC_ABOUT_VERSION))
        return OwnedKind::About;
    if (MessageBoxTextControl(dialog))
        return OwnedKind::MessageBox;
    return OwnedKind::FileDialog;
}

// A visible dialog of the kind that `owner` owns: the main dialog owns its
// message boxes, the About box and the file dialogs; a file dialog owns its
// own prompts.
HWND FindOwnedBy(HWND owner, OwnedKind kind)
{
    for (HWND window : OwnedDialogs(owner)) {
        if (KindOf(window) == kind)
            return window;
    }
    return nullptr;
}

HWND FindOwned(OwnedKind kind)
{
    return FindOwnedBy(g_dialog, kind);
}

struct DescendantSearch {
    int id;                 // 0: any
    const char* className;  // null: any
    HWND found;
};

BOOL CALLBACK MatchDescendant(HWND window, LPARAM context)
{
    DescendantSearch* search = reinterpret_cast<DescendantSearch*>(context);
    if ((search->id == 0 || GetDlgCtrlID(window) == search->id) &&
        (!search->className || ClassOf(window) == search->className) && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The first visible window at any depth below `parent` with the ID and class.
HWND VisibleDescendant(HWND parent, int id, const char* className)
{
    DescendantSearch search{id, className, nullptr};
    EnumChildWindows(parent, MatchDescendant, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The edit control that takes a file dialog's file name, or null.
HWND FileNameEdit(HWND picker)
{
    for (int id : {kFileNameComboId, kFileNameEditId}) {
        HWND field = VisibleDescendant(picker, id, nullptr);
        if (!field)
            continue;
        if (ClassOf(field) == "Edit")
            return field;
        HWND edit = VisibleDescendant(field, 0, "Edit");
        if (edit)
            return edit;
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

// A control's name from resources/control_ids.h, or any number.
Failure ReadId(const Command& command, size_t index, int* id)
{
    if (index >= command.words.size())
        return Fail(command.name + ": expected a control name or a number");
    const std::string& word = command.words[index];
    if (ControlIdByName(word, id))
        return kOk;
    long value = 0;
    if (!ParseNumber(word, &value))
        return Fail(command.name + ": no control named " + word);
    *id = static_cast<int>(value);
    return kOk;
}

// The command's word at `index`, one of `choices`: sets `*which` to its place.
Failure ReadChoice(const Command& command, size_t index,
                   const std::vector<std::string>& choices, size_t* which)
{
    for (size_t i = 0; index < command.words.size() && i < choices.size(); ++i) {
        if (command.words[index] == choices[i]) {
            *which = i;
            return kOk;
        }
    }
    std::string expected = choices[0];
    for (size_t i = 1; i < choices.size(); ++i)
        expected += (i + 1 == choices.size() ? " or " : ", ") + choices[i];
    return Fail(command.name + ": expected " + expected);
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

Failure NeedDialog()
{
    if (!DialogAlive())
        return Fail("the main dialog is not there");
    return kOk;
}

Failure NeedControl(int id, HWND* control)
{
    const Failure failure = NeedDialog();
    if (failure.failed)
        return failure;
    *control = Control(id);
    if (!*control)
        return Fail("no control " + std::to_string(id));
    return kOk;
}

// The file dialog that the main dialog shows, once it has its controls.
Failure NeedFileDialog(HWND* picker, HWND* nameEdit)
{
    const Failure failure = NeedDialog();
    if (failure.failed)
        return failure;
    *picker = FindOwned(OwnedKind::FileDialog);
    if (!*picker)
        return Fail("no file dialog");
    *nameEdit = FileNameEdit(*picker);
    if (!*nameEdit)
        return Fail("the file dialog has no file name field");
    return kOk;
}

// The window a command acts on, once its words are read.
enum class Target { kNone, kDialog, kNamedControl, kStatusLine, kFileDialog };

// What a command needs before it acts, checked in this order, so that the
// first thing missing is the one its error names.
struct Needs {
    size_t words;                      // at least this many
    std::vector<std::string> choices;  // the first word is one of them
    bool namesControl;                 // the first word is a control's name or number
    int timeoutWord;                   // the word with the time limit; -1: none
    Target target;
};

const Needs kNoNeeds = {0, {}, false, -1, Target::kNone};
const Needs kNeedsDialog = {0, {}, false, -1, Target::kDialog};
const Needs kNeedsControl = {0, {}, true, -1, Target::kNamedControl};
const Needs kNeedsTimeout = {0, {}, false, 0, Target::kNone};
const Needs kNeedsTimeoutAndDialog = {0, {}, false, 0, Target::kDialog};

// What the needs found, for the command to act on.
struct Args {
    const Command& command;
    size_t choice = 0;
    int id = 0;
    DWORD timeoutMs = kDefaultTimeoutMs;
    HWND control = nullptr;  // the named control, or the status line
    HWND picker = nullptr;   // the file dialog and its file name field
    HWND nameEdit = nullptr;
};

Failure MeetNeeds(const Needs& needs, Args* args)
{
    const Command& command = args->command;
    Failure failure = NeedWords(command, needs.words);
    if (!failure.failed && !needs.choices.empty())
        failure = ReadChoice(command, 0, needs.choices, &args->choice);
    if (!failure.failed && needs.namesControl)
        failure = ReadId(command, 0, &args->id);
    if (!failure.failed && needs.timeoutWord >= 0)
        failure = ReadTimeout(command, static_cast<size_t>(needs.timeoutWord), &args->timeoutMs);
    if (failure.failed)
        return failure;
    switch (needs.target) {
    case Target::kDialog:
        return NeedDialog();
    case Target::kNamedControl:
        return NeedControl(args->id, &args->control);
    case Target::kStatusLine:
        return NeedControl(IDC_STATUS, &args->control);
    case Target::kFileDialog:
        return NeedFileDialog(&args->picker, &args->nameEdit);
    case Target::kNone:
        break;
    }
    return kOk;
}

Failure DoFind(const Args& args)
{
    const bool found = WaitFor(args.timeoutMs, [] {
        g_dialog = FindWindowA(kMainClass, nullptr);
        return g_dialog && IsWindowVisible(g_dialog);
    });
    if (!found)
        return Fail("no visible window of class Kairon");
    Print("dialog: " + Escape(WindowText(g_dialog)));
    return kOk;
}

Failure DoSet(const Args& args)
{
    const std::string text = TextAfterWords(args.command.rest, 1);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(args.control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_NORMAL, kSendTimeoutMs, &ignored);
    return kOk;
}

Failure DoGet(const Args& args)
{
    Print("get " + args.command.words[0] + ": " + Escape(WindowText(args.control)));
    return kOk;
}

Failure DoChecked(const Args& args)
{
    DWORD_PTR state = 0;
    SendMessageTimeoutA(args.control, BM_GETCHECK, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &state);
    Print("checked " + args.command.words[0] + ": " + (state == BST_CHECKED ? "1" : "0"));
    return kOk;
}

Failure DoEnabled(const Args& args)
{
    Print("enabled " + args.command.words[0] + ": " +
          (IsWindowEnabled(args.control) ? "1" : "0"));
    return kOk;
}

Failure DoStatus(const Args& args)
{
    Print("status: " + Escape(WindowText(args.control)));
    return kOk;
}

Failure DoClick(const Args& args, bool posted)
{
    if (posted) {
        PostMessageA(args.control, BM_CLICK, 0, 0);
    } else {
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutA(args.control, BM_CLICK, 0, 0, SMTO_NORMAL, kSendTimeoutMs,
                                 &ignored))
            return Fail("click " + args.command.words[0] +
                        " did not return (it opens something modal: use press)");
    }
    return kOk;
}

Failure DoCommand(const Args& args)
{
    PostMessageA(g_dialog, WM_COMMAND, static_cast<WPARAM>(args.id), 0);
    return kOk;
}

Failure DoBox(const Args& args)
{
    HWND box = nullptr;
    if (!WaitFor(args.timeoutMs,
                 [&] { return (box = FindOwned(OwnedKind::MessageBox)) != nullptr; }))
        return Fail("no message box within " + std::to_string(args.timeoutMs) + " ms");
    Print(MessageBoxLine(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return WaitUntilClosed(box, "the message box");
}

Failure DoNoBox(const Args& args)
{
    HWND box = nullptr;
    if (WaitFor(args.timeoutMs,
                [&] { return (box = FindOwned(OwnedKind::MessageBox)) != nullptr; }))
        return Fail("unexpected " + MessageBoxLine(box));
    return kOk;
}

Failure DoWaitStatus(const Args& args)
{
    const std::string wanted = TextAfterWords(args.command.rest, 1);
    std::string last;
    bool first = true;
    const bool reached = WaitFor(args.timeoutMs, [&] {
        if (!IsWindow(args.control))
            return false;
        const std::string text = WindowText(args.control);
        if (first || text != last) {
            const bool runEnabled = IsWindowEnabled(Control(IDC_RUN)) != FALSE;
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

// Its state word comes between the control and the time limit.
Failure DoWaitEnabled(const Args& args)
{
    const Command& command = args.command;
    long wanted = 0;
    DWORD timeoutMs;
    HWND control;
    Failure failure;
    if (command.words.size() < 2 || !ParseNumber(command.words[1], &wanted))
        failure = Fail("wait-enabled: expected 0 or 1");
    if (!failure.failed)
        failure = ReadTimeout(command, 2, &timeoutMs);
    if (!failure.failed)
        failure = NeedControl(args.id, &control);
    if (failure.failed)
        return failure;
    if (!WaitFor(timeoutMs, [&] { return (IsWindowEnabled(control) != FALSE) == (wanted != 0); }))
        return Fail("control " + command.words[0] + " never became " +
                    (wanted ? "enabled" : "disabled"));
    return kOk;
}

HWND OpenAbout()
{
    HWND button = Control(IDC_ABOUT);
    if (!button)
        return nullptr;
    PostMessageA(button, BM_CLICK, 0, 0);
    HWND about = nullptr;
    WaitFor(kDefaultTimeoutMs, [&] { return (about = FindOwned(OwnedKind::About)) != nullptr; });
    return about;
}

Failure DoAboutOpen(const Args&)
{
    HWND about = OpenAbout();
    if (!about)
        return Fail("no About box");
    Print("about rect: " + RectText(about));
    return kOk;
}

Failure DoAbout(const Args& args)
{
    enum { kEnter, kEscape, kOkButton };
    HWND about = OpenAbout();
    if (!about)
        return Fail("no About box");
    Print("about caption: " + Escape(WindowText(about)));
    Print("about maker: " + Escape(WindowText(GetDlgItem(about, IDC_ABOUT_MAKER))));
    Print("about version: " + Escape(WindowText(GetDlgItem(about, IDC_ABOUT_VERSION))));
    Print("about web: " + Escape(WindowText(GetDlgItem(about, IDC_ABOUT_WEB))));
    Print("about rect: " + RectText(about));
    Print("dialog rect: " + RectText(g_dialog));
    Print("screen: " + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " " +
          std::to_string(GetSystemMetrics(SM_CYSCREEN)));
    if (args.choice == kEnter)
        PostKey(about, VK_RETURN);
    else if (args.choice == kEscape)
        PostKey(about, VK_ESCAPE);
    else
        PostMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    return WaitUntilClosed(about, "the About box");
}

Failure DoFileDialog(const Args& args)
{
    PostMessageA(args.control, BM_CLICK, 0, 0);
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
        const Failure failure = WaitUntilClosed(picker, "the file dialog");
        if (failure.failed)
            return failure;
        timeoutMs = 1000;
    }
}

Failure DoBrowse(const Args& args)
{
    PostMessageA(args.control, BM_CLICK, 0, 0);
    HWND picker = nullptr;
    if (!WaitFor(kDefaultTimeoutMs, [&] {
            picker = FindOwned(OwnedKind::FileDialog);
            return picker && FileNameEdit(picker);
        }))
        return Fail("no file dialog");
    // The dialog fills itself in after it shows; give it that moment.
    Sleep(300);
    Print("file dialog: " + Escape(WindowText(picker)) + " | " +
          Escape(WindowText(GetDlgItem(picker, IDOK))) +
          " | name: " + Escape(WindowText(FileNameEdit(picker))));
    return kOk;
}

Failure DoFileName(const Args& args)
{
    const std::string text = TextAfterWords(args.command.rest, 0);
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(args.nameEdit, WM_SETTEXT, 0,
                             reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                             kSendTimeoutMs, &ignored))
        return Fail("the file dialog did not take the name");
    return kOk;
}

// The button as a click on it reports itself, posted: the dialog may answer
// with a prompt of its own before it returns.
Failure DoFilePress(const Args& args)
{
    const int id = args.choice == 0 ? IDOK : IDCANCEL;
    PostMessageA(args.picker, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(args.picker, id)));
    return kOk;
}

Failure DoPrompt(const Args& args)
{
    HWND box = nullptr;
    if (!WaitFor(args.timeoutMs, [&] {
            return (box = FindOwnedBy(args.picker, OwnedKind::MessageBox)) != nullptr;
        }))
        return Fail("the file dialog showed no prompt within " +
                    std::to_string(args.timeoutMs) + " ms");
    Print("prompt: " + Escape(WindowText(box)) + " | " +
          Escape(WindowText(MessageBoxTextControl(box))));
    PostMessageA(box, WM_COMMAND, args.choice == 0 ? IDYES : IDNO, 0);
    return WaitUntilClosed(box, "the prompt");
}

// Waits for the file dialog's window to be destroyed, not only hidden: the
// main dialog fills in its field only after that.
Failure DoFileGone(const Args& args)
{
    HWND last = FindOwned(OwnedKind::FileDialog);
    if (!WaitFor(args.timeoutMs, [&] {
            HWND shown = FindOwned(OwnedKind::FileDialog);
            if (shown)
                last = shown;
            return !shown && (!last || !IsWindow(last));
        }))
        return Fail("a file dialog is still open");
    return kOk;
}

Failure DoKey(const Args& args)
{
    PostKey(g_dialog, args.choice == 0 ? VK_RETURN : VK_ESCAPE);
    return kOk;
}

Failure PostToDialog(UINT message, WPARAM wParam)
{
    PostMessageA(g_dialog, message, wParam, 0);
    return kOk;
}

Failure DoReadFile(const Args& args)
{
    const std::string path = TextAfterWords(args.command.rest, 0);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Fail("cannot open " + path);
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    Print("file: " + Escape(bytes));
    return kOk;
}

Failure DoTerminate(const Args&)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(g_dialog, &processId);
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    if (!process)
        return Fail("cannot open the main dialog's process");
    const bool ended = TerminateProcess(process, 1) &&
                       WaitForSingleObject(process, kDefaultTimeoutMs) == WAIT_OBJECT_0;
    CloseHandle(process);
    if (!ended)
        return Fail("the main dialog's process did not end");
    return kOk;
}

// Its numbers are read before the dialog is looked for.
Failure DoMove(const Args& args)
{
    const Command& command = args.command;
    long x = 0, y = 0;
    if (command.words.size() < 2 || !ParseNumber(command.words[0], &x) ||
        !ParseNumber(command.words[1], &y))
        return Fail("move: expected X Y");
    const Failure failure = NeedDialog();
    if (failure.failed)
        return failure;
    SetWindowPos(g_dialog, nullptr, static_cast<int>(x), static_cast<int>(y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return kOk;
}

Failure DoRect(const Args&)
{
    Print("dialog rect: " + RectText(g_dialog));
    return kOk;
}

Failure DoWaitGone(const Args& args)
{
    if (!WaitFor(args.timeoutMs, [] { return FindWindowA(kMainClass, nullptr) == nullptr; }))
        return Fail("the main dialog is still there");
    return kOk;
}

Failure DoSleep(const Args& args)
{
    Sleep(args.timeoutMs);
    return kOk;
}

Failure DoSysText(const Args& args)
{
    const int code = args.id;
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

Failure DoWindows(const Args&)
{
    EnumWindows(PrintWindowLine, 0);
    return kOk;
}

// --- the command table -----------------------------------------------------

struct CommandEntry {
    const char* name;
    Needs needs;
    Failure (*run)(const Args&);
    const char* arguments;    // as help shows them
    const char* description;  // its lines after the first go under the first
};

Failure DoHelp(const Args&);


// Every command the driver takes: what it needs, what carries it out and
// what help says.
const CommandEntry kCommands[] = {
    {"find", kNeedsTimeout, DoFind, "[MS]",
     "wait for the main dialog; prints \"dialog: <caption>\""},
    {"set", kNeedsControl, DoSet, "ID TEXT",
     "set a control's text (the rest of the line; may be empty)"},
    {"get", kNeedsControl, DoGet, "ID", "prints \"get ID: <text>\""},
    {"checked", kNeedsControl, DoChecked, "ID", "prints \"checked ID: 0|1\""},
    {"enabled", kNeedsControl, DoEnabled, "ID", "prints \"enabled ID: 0|1\""},
    {"status", {0, {}, false, -1, Target::kStatusLine}, DoStatus, "",
     "prints \"status: <text>\" (the status line, IDC_STATUS)"},
    {"click", kNeedsControl, [](const Args& args) { return DoClick(args, false); }, "ID",
     "click a check box or button and wait until the\n"
     "dialog has handled it (BM_CLICK, sent)"},
    {"press", kNeedsControl, [](const Args& args) { return DoClick(args, true); }, "ID",
     "click a button that opens something modal: posted,\n"
     "returns at once"},
    {"command", {0, {}, true, -1, Target::kDialog}, DoCommand, "ID",
     "post WM_COMMAND with ID to the dialog, as the\n"
     "program's own unattended start does"},
    {"box", kNeedsTimeoutAndDialog, DoBox, "[MS]",
     "wait for a message box owned by the dialog; prints\n"
     "\"box: <caption> | <text>\", presses its OK and waits\n"
     "until it is gone"},
    {"no-box", {1, {}, false, 0, Target::kDialog}, DoNoBox, "MS",
     "fails if a message box owned by the dialog shows\n"
     "up within MS"},
    {"wait-status", {1, {}, false, 0, Target::kStatusLine}, DoWaitStatus, "MS TEXT",
     "wait until the status line reads TEXT, printing\n"
     "every text it shows on the way:\n"
     "\"status: <text> (run: 0|1)\" with Run App's state"},
    {"wait-enabled", {0, {}, true, -1, Target::kNone}, DoWaitEnabled, "ID 0|1 [MS]",
     "wait until the control is enabled (1) or not"},
    {"about", {0, {"enter", "escape", "ok"}, false, -1, Target::kDialog}, DoAbout,
     "enter|escape|ok",
     "press About, wait for the About box, print\n"
     "\"about caption|maker|version|web: <text>\",\n"
     "\"about rect: L T R B\", \"dialog rect: L T R B\" and\n"
     "\"screen: W H\", then close it with the Enter key,\n"
     "the Escape key or its OK button and wait until\n"
     "it is gone"},
    {"about-open", kNeedsDialog, DoAboutOpen, "",
     "press About, wait for the About box and print\n"
     "\"about rect: L T R B\", leaving it open"},
    {"file-dialog", kNeedsControl, DoFileDialog, "ID",
     "press the browse button ID, wait for the file\n"
     "dialog it opens, print \"file dialog: <title>\",\n"
     "cancel it and wait until it is gone; the same\n"
     "for any further one that shows within 1 s"},
    {"browse", kNeedsControl, DoBrowse, "ID",
     "press the browse button ID, wait for the file\n"
     "dialog it opens and print \"file dialog: <title> |\n"
     "<its OK button's text> | name: <the file name>\",\n"
     "leaving it open"},
    {"file-name", {0, {}, false, -1, Target::kFileDialog}, DoFileName, "TEXT",
     "type TEXT (the rest of the line) as the file name\n"
     "of the open file dialog"},
    {"file-press", {0, {"ok", "cancel"}, false, -1, Target::kFileDialog}, DoFilePress,
     "ok|cancel",
     "press the file dialog's OK or Cancel button; posted,\n"
     "returns at once"},
    {"prompt", {0, {"yes", "no"}, false, 1, Target::kFileDialog}, DoPrompt, "yes|no [MS]",
     "wait for a message box owned by the file dialog\n"
     "(the overwrite prompt), print \"prompt: <caption> |\n"
     "<text>\", answer it and wait until it is gone"},
    {"file-gone", kNeedsTimeoutAndDialog, DoFileGone, "[MS]",
     "wait until no file dialog of the main dialog is left"},
    {"key", {0, {"enter", "escape"}, false, -1, Target::kDialog}, DoKey, "enter|escape",
     "the key, pressed in the main dialog's focused control"},
    {"close-box", kNeedsDialog,
     [](const Args&) { return PostToDialog(WM_SYSCOMMAND, SC_CLOSE); }, "",
     "WM_SYSCOMMAND SC_CLOSE to the main dialog, as its\n"
     "caption's close box sends; posted"},
    {"wm-close", kNeedsDialog, [](const Args&) { return PostToDialog(WM_CLOSE, 0); }, "",
     "WM_CLOSE to the main dialog; posted"},
    {"read-file", {0, {}, false, -1, Target::kNone}, DoReadFile, "PATH",
     "prints \"file: <its bytes>\", read through an open of\n"
     "its own that lets others write meanwhile"},
    {"terminate", kNeedsDialog, DoTerminate, "",
     "end the main dialog's process as Task Manager does\n"
     "(TerminateProcess) and wait until it is gone"},
    {"move", kNoNeeds, DoMove, "X Y", "move the main dialog (size and Z order kept)"},
    {"rect", kNeedsDialog, DoRect, "", "prints \"dialog rect: L T R B\""},
    {"wait-gone", kNeedsTimeout, DoWaitGone, "[MS]", "wait until the main dialog no longer exists"},
    {"sleep", {1, {}, false, 0, Target::kNone}, DoSleep, "MS", "pause"},
    {"systext", {0, {}, true, -1, Target::kNone}, DoSysText, "CODE",
     "prints \"systext CODE: <the system's message text>\""},
    {"windows", kNoNeeds, DoWindows, "",
     "prints \"window: <handle> <class> | <title>\" for\n"
     "every top-level window, for diagnosis"},
    {"help", kNoNeeds, DoHelp, "", "prints this list"},
};

// One line per command, and one for each further line of its description,
// which starts in a column of its own.
Failure DoHelp(const Args&)
{
    const size_t kDescriptionColumn = 23;
    for (const CommandEntry& entry : kCommands) {
        std::string line = entry.name;
        if (*entry.arguments)
            line += std::string(" ") + entry.arguments;
        line.resize(line.size() + 2 > kDescriptionColumn ? line.size() + 2 : kDescriptionColumn,
                    ' ');
        for (const char* c = entry.description;; ++c) {
            if (*c != '\n' && *c != '\0') {
                line += *c;
                continue;
            }
            Print(line);
            if (*c == '\0')
                break;
            line.assign(kDescriptionColumn, ' ');
        }
    }
    return kOk;
}

Failure Execute(const Command& command)
{
    for (const CommandEntry& entry : kCommands) {
        if (command.name != entry.name)
            continue;
        Args args{command};
        const Failure failure = MeetNeeds(entry.needs, &args);
        return failure.failed ? failure : entry.run(args);
    }
    return Fail("unknown command: " + command.name);
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
