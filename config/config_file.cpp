#include "config/config_file.h"

#include "resources/control_ids.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char kEndOfFile = 0x1A;

// Leading and trailing newlines go; blanks stay, since a path, an argument
// list or a window name may well begin or end with one.
const char* TrimNewlines(char* line)
{
    char* start = line;
    while (*start == '\n')
        ++start;
    std::size_t length = std::strlen(start);
    while (length > 0 && start[length - 1] == '\n')
        start[--length] = '\0';
    return start;
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

ConfigText MakeConfigText(const char* bytes, std::size_t size)
{
    const void* stop = std::memchr(bytes, kEndOfFile, size);
    return ConfigText{bytes, stop ? static_cast<const char*>(stop) : bytes + size};
}

int ReadConfigLine(ConfigText* text, char* line)
{
    int count = 0;
    while (count < kConfigLineSize - 1 && text->next < text->end) {
        char c = *text->next++;
        // CR LF arrives as LF; a CR on its own is an ordinary character.
        if (c == '\r' && text->next < text->end && *text->next == '\n')
            c = *text->next++;
        line[count++] = c;
        if (c == '\n')
            break;
    }
    line[count] = '\0';
    return count;
}

void ApplyConfigBytes(DialogPort& dialog, RunSettings* settings, const char* bytes,
                      std::size_t size)
{
    ConfigText text = MakeConfigText(bytes, size);
    char buffer[kConfigLineSize];
    // The next line, trimmed, or null once the file has ended.
    auto nextLine = [&]() -> const char* {
        return ReadConfigLine(&text, buffer) > 0 ? TrimNewlines(buffer) : nullptr;
    };

    const int textFields[] = {IDC_APP_PATH, IDC_CMD_LINE, IDC_LOG_PATH, IDC_WINDOW_NAME};
    for (int field : textFields) {
        if (const char* line = nextLine())
            dialog.SetFieldText(field, line);
    }

    // Shown without sign, as the fields are read back: -1 shows as 4294967295.
    const int numberFields[] = {IDC_EXECUTIONS, IDC_DELAY};
    for (int field : numberFields) {
        if (const char* line = nextLine())
            dialog.SetFieldNumber(field, static_cast<unsigned>(LeadingInteger(line)));
    }

    if (const char* line = nextLine()) {
        int values[4] = {0, 0, 0, 0};
        ScanIntegers(line, values, 4);
        SetOption(dialog, &settings->waitInputIdle, values[0], IDC_INPUT_IDLE);
        SetOption(dialog, &settings->detectByWindowName, values[1], IDC_DETECT_WINDOW_NAME);
        // Exact Match only means something while windows are searched by name.
        dialog.EnableControl(IDC_EXACT_MATCH, settings->detectByWindowName);
        SetOption(dialog, &settings->exactMatch, values[2], IDC_EXACT_MATCH);
        SetOption(dialog, &settings->waitVisible, values[3], IDC_VISIBLE);
    }

    if (const char* line = nextLine()) {
        int values[3] = {0, 0, 0};
        ScanIntegers(line, values, 3);
        SetOption(dialog, &settings->closeByWmClose, values[0], IDC_CLOSE_WM_CLOSE);
        SetOption(dialog, &settings->closeBySysCommand, values[1], IDC_CLOSE_SYSCOMMAND);
        SetOption(dialog, &settings->closeByAltF4, values[2], IDC_CLOSE_ALT_F4);
    }

    if (const char* line = nextLine())
        SetOption(dialog, &settings->debugLog, FlagLine(line), IDC_DEBUG);
    if (const char* line = nextLine())
        SetOption(dialog, &settings->newWindowsOnly, FlagLine(line), IDC_NEW_WINDOWS_ONLY);

    // Unattended only when the file's last line asks for it.
    settings->autoRun = false;
    if (const char* line = nextLine())
        settings->autoRun = FlagLine(line) != 0;
}

bool LoadConfigFile(DialogPort& dialog, RunSettings* settings, const char* path)
{
    settings->autoRun = false;
    // Binary, so that the text rules above are Kairon's own and not the C
    // library's, which differ between systems.
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    std::vector<char> bytes(kConfigReadLimit);
    const std::size_t size = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    ApplyConfigBytes(dialog, settings, bytes.data(), size);
    return true;
}

void ApplyDefaults(DialogPort& dialog, RunSettings* settings)
{
    dialog.SetFieldNumber(IDC_EXECUTIONS, 1);
    dialog.SetFieldNumber(IDC_DELAY, 1000);
    LoadConfigFile(dialog, settings, kConfigFileName);
}
