#include "config/config_file.h"

#include "resources/control_ids.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kEndOfFile = 0x1A;
const char kByteOrderMark[] = "\xEF\xBB\xBF";
const std::size_t kByteOrderMarkSize = sizeof kByteOrderMark - 1;
// How much of the file is read at a time; the first piece must hold a
// whole byte-order mark.
const std::size_t kFileBufferSize = 4096;

// Nothing after a 0x1A counts, in this piece of the file or any later one.
void StopAtEndOfFileMark(ConfigText* text)
{
    if (text->next == text->end)
        return;
    const void* mark = std::memchr(text->next, kEndOfFile,
                                   static_cast<std::size_t>(text->end - text->next));
    if (mark) {
        text->end = static_cast<const char*>(mark);
        text->ended = true;
    }
}

// Whether a byte is left to read, reading the next piece of the file once
// the current one is used up.
bool HasByte(ConfigText* text)
{
    if (text->next < text->end)
        return true;
    if (text->ended)
        return false;
    const std::size_t size = std::fread(text->buffer, 1, text->bufferSize, text->file);
    text->next = text->buffer;
    text->end = text->buffer + size;
    if (size == 0)
        text->ended = true;
    StopAtEndOfFileMark(text);
    return text->next < text->end;
}

// Notepad and PowerShell start a UTF-8 file with a byte-order mark, which
// would otherwise become the start of the application path.
void SkipByteOrderMark(ConfigText* text)
{
    if (HasByte(text) && static_cast<std::size_t>(text->end - text->next) >= kByteOrderMarkSize &&
        std::memcmp(text->next, kByteOrderMark, kByteOrderMarkSize) == 0)
        text->next += kByteOrderMarkSize;
}

// One decimal integer as %d and atoi take it: blanks, an optional sign,
// digits. Out-of-range values are clamped to the int range, as strtol
// clamps them, so that a huge number reads as the same huge number (and
// as non-zero) on every system. Returns false, leaving `cursor` alone,
// when no digits follow.
bool ReadInteger(const char** cursor, int* value)
{
    char* end = nullptr;
    const long read = std::strtol(*cursor, &end, 10);
    if (end == *cursor)
        return false;
    *cursor = end;
    *value = read > INT_MAX ? INT_MAX : read < INT_MIN ? INT_MIN : static_cast<int>(read);
    return true;
}

// atoi: 0 when the text does not begin with a number.
int LeadingInteger(const char* text)
{
    int value = 0;
    ReadInteger(&text, &value);
    return value;
}

// sscanf with "%d %d ..." and `count` conversions: fills the leading
// values until one is missing; the caller's values stand for the rest.
void ScanIntegers(const char* text, int* values, int count)
{
    for (int i = 0; i < count && ReadInteger(&text, &values[i]); ++i) {
    }
}

// A line holding one option flag. A line without a number (blank, or a
// note) clears the flag: leaving a previous line's number in its place
// could turn on an unattended run nobody asked for.
int FlagLine(const char* line)
{
    int value = 0;
    ScanIntegers(line, &value, 1);
    return value;
}

// Sets an option from the file and ticks its check box when it is on; a
// box is never cleared here, since every box starts clear.
void SetOption(DialogPort& dialog, bool* option, int value, int checkBoxId)
{
    *option = value != 0;
    if (*option)
        dialog.Check(checkBoxId);
}

}  // namespace

ConfigText ConfigTextOfBytes(const char* bytes, std::size_t size)
{
    ConfigText text = {bytes, bytes + size, nullptr, nullptr, 0, true};
    StopAtEndOfFileMark(&text);
    SkipByteOrderMark(&text);
    return text;
}

ConfigText ConfigTextOfFile(std::FILE* file, char* buffer, std::size_t bufferSize)
{
    ConfigText text = {buffer, buffer, file, buffer, bufferSize, false};
    SkipByteOrderMark(&text);
    return text;
}

bool ReadConfigLine(ConfigText* text, char* line, int size)
{
    line[0] = '\0';
    if (!HasByte(text))
        return false;
    int count = 0;
    while (HasByte(text)) {
        const char c = *text->next++;
        if (c == '\n')
            break;
        if (c == '\r') {
            // CR LF is one line end, not a line end and an empty line.
            if (HasByte(text) && *text->next == '\n')
                ++text->next;
            break;
        }
        // What does not fit is dropped: it belongs to this line's field,
        // never to the next one.
        if (count < size - 1)
            line[count++] = c;
    }
    line[count] = '\0';
    return true;
}

void ApplyConfigText(DialogPort& dialog, RunSettings* settings, ConfigText* text)
{
    char buffer[kPathSize];
    // The next line, cut to `size` bytes, or null once the file has ended.
    auto nextLine = [&](int size) -> char* {
        return ReadConfigLine(text, buffer, size) ? buffer : nullptr;
    };

    if (char* line = nextLine(kPathSize)) {
        RemoveQuotesAroundPath(line);
        dialog.SetFieldText(IDC_APP_PATH, line);
    }
    const struct {
        int id;
        int size;
    } textFields[] = {
        {IDC_CMD_LINE, kArgumentsSize},
        {IDC_LOG_PATH, kPathSize},
        {IDC_WINDOW_NAME, kWindowNameSize},
    };
    for (const auto& field : textFields) {
        if (const char* line = nextLine(field.size))
            dialog.SetFieldText(field.id, line);
    }

    // Shown without sign, as the fields are read back: -1 shows as 4294967295.
    const int numberFields[] = {IDC_EXECUTIONS, IDC_DELAY};
    for (int field : numberFields) {
        if (const char* line = nextLine(kConfigLineSize))
            dialog.SetFieldNumber(field, static_cast<unsigned>(LeadingInteger(line)));
    }

    if (const char* line = nextLine(kConfigLineSize)) {
        int values[4] = {0, 0, 0, 0};
        ScanIntegers(line, values, 4);
        SetOption(dialog, &settings->waitInputIdle, values[0], IDC_INPUT_IDLE);
        SetOption(dialog, &settings->detectByWindowName, values[1], IDC_DETECT_WINDOW_NAME);
        // Exact Match only means something while windows are searched by name.
        dialog.EnableControl(IDC_EXACT_MATCH, settings->detectByWindowName);
        SetOption(dialog, &settings->exactMatch, values[2], IDC_EXACT_MATCH);
        SetOption(dialog, &settings->waitVisible, values[3], IDC_VISIBLE);
    }

    if (const char* line = nextLine(kConfigLineSize)) {
        int values[3] = {0, 0, 0};
        ScanIntegers(line, values, 3);
        SetOption(dialog, &settings->closeByWmClose, values[0], IDC_CLOSE_WM_CLOSE);
        SetOption(dialog, &settings->closeBySysCommand, values[1], IDC_CLOSE_SYSCOMMAND);
        SetOption(dialog, &settings->closeByAltF4, values[2], IDC_CLOSE_ALT_F4);
    }

    if (const char* line = nextLine(kConfigLineSize))
        SetOption(dialog, &settings->debugLog, FlagLine(line), IDC_DEBUG);
    if (const char* line = nextLine(kConfigLineSize))
        SetOption(dialog, &settings->newWindowsOnly, FlagLine(line), IDC_NEW_WINDOWS_ONLY);

    // Unattended only when the file's last line asks for it.
    settings->autoRun = false;
    if (const char* line = nextLine(kConfigLineSize))
        settings->autoRun = FlagLine(line) != 0;
}

void ApplyConfigBytes(DialogPort& dialog, RunSettings* settings, const char* bytes,
                      std::size_t size)
{
    ConfigText text = ConfigTextOfBytes(bytes, size);
    ApplyConfigText(dialog, settings, &text);
}

bool LoadConfigFile(DialogPort& dialog, RunSettings* settings, const char* path)
{
    settings->autoRun = false;
    // Binary, so that the text rules above are Kairon's own and not the C
    // library's, which differ between systems.
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    char buffer[kFileBufferSize];
    ConfigText text = ConfigTextOfFile(file, buffer, sizeof buffer);
    ApplyConfigText(dialog, settings, &text);
    std::fclose(file);
    return true;
}

void ApplyDefaults(DialogPort& dialog, RunSettings* settings)
{
    dialog.SetFieldNumber(IDC_EXECUTIONS, 1);
    dialog.SetFieldNumber(IDC_DELAY, 1000);
    LoadConfigFile(dialog, settings, kConfigFileName);
}
