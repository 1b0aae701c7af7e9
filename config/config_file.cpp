#include "config/config_file.h"

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

void ReadConfigText(ConfigText* text, ConfigValues* values)
{
    *values = ConfigValues();
    char line[kPathSize];
    // The next line, cut to `size` bytes; false once the file has ended,
    // and for every line after that.
    auto nextLine = [&](int size) {
        if (!ReadConfigLine(text, line, size))
            return false;
        ++values->lineCount;
        return true;
    };

    if (nextLine(kPathSize)) {
        RemoveQuotesAroundPath(line);
        std::strcpy(values->appPath, line);
    }
    char* const texts[] = {values->cmdLineArgs, values->logPath, values->windowName};
    const int textSizes[] = {kArgumentsSize, kPathSize, kWindowNameSize};
    for (int i = 0; i < 3 && nextLine(textSizes[i]); ++i)
        std::strcpy(texts[i], line);

    if (nextLine(kConfigLineSize))
        values->executions = static_cast<unsigned>(LeadingInteger(line));
    if (nextLine(kConfigLineSize))
        values->delayMs = static_cast<unsigned>(LeadingInteger(line));

    if (nextLine(kConfigLineSize)) {
        int flags[4] = {0, 0, 0, 0};
        ScanIntegers(line, flags, 4);
        values->waitInputIdle = flags[0] != 0;
        values->detectByWindowName = flags[1] != 0;
        values->exactMatch = flags[2] != 0;
        values->waitVisible = flags[3] != 0;
    }
    if (nextLine(kConfigLineSize)) {
        int flags[3] = {0, 0, 0};
        ScanIntegers(line, flags, 3);
        values->closeByWmClose = flags[0] != 0;
        values->closeBySysCommand = flags[1] != 0;
        values->closeByAltF4 = flags[2] != 0;
    }
    if (nextLine(kConfigLineSize))
        values->debugLog = FlagLine(line) != 0;
    if (nextLine(kConfigLineSize))
        values->newWindowsOnly = FlagLine(line) != 0;
    if (nextLine(kConfigLineSize))
        values->autoRun = FlagLine(line) != 0;
}

void ReadConfigBytes(const char* bytes, std::size_t size, ConfigValues* values)
{
    ConfigText text = ConfigTextOfBytes(bytes, size);
    ReadConfigText(&text, values);
}

bool ReadConfigFile(const char* path, ConfigValues* values)
{
    *values = ConfigValues();
    // Binary, so that the text rules above are Kairon's own and not the C
    // library's, which differ between systems.
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    char buffer[kFileBufferSize];
    ConfigText text = ConfigTextOfFile(file, buffer, sizeof buffer);
    ReadConfigText(&text, values);
    std::fclose(file);
    return true;
}
