#include "config/config_writer.h"

#include "config/config_file.h"

#include <cstring>
#include <string>

namespace {

// Each text field goes to a line of the same size: the reader never cuts one.
static_assert(sizeof(RunSettings::appPath) == sizeof(ConfigValues::appPath), "app path line");
static_assert(sizeof(RunSettings::cmdLineArgs) == sizeof(ConfigValues::cmdLineArgs),
              "arguments line");
static_assert(sizeof(RunSettings::logPath) == sizeof(ConfigValues::logPath), "log path line");
static_assert(sizeof(RunSettings::windowName) == sizeof(ConfigValues::windowName),
              "window name line");

const char* Flag(bool value)
{
    return value ? "1" : "0";
}

bool HasLineEnd(const char* text, bool)
{
    return std::strpbrk(text, "\r\n") != nullptr;
}

// The reader's own rules for a file's ends, asked of the field alone.
bool HasEndOfFileMark(const char* text, bool)
{
    const std::size_t size = std::strlen(text);
    return ConfigTextOfBytes(text, size).end != text + size;
}

bool StartsWithByteOrderMark(const char* text, bool firstLine)
{
    return firstLine && ConfigTextOfBytes(text, std::strlen(text)).next != text;
}

bool HasQuotesTheReaderRemoves(const char* text, bool firstLine)
{
    if (!firstLine)
        return false;
    char path[kPathSize];
    std::strcpy(path, text);
    RemoveQuotesAroundPath(path);
    return std::strcmp(path, text) != 0;
}

// What the reader (config_file.h) would not give back as it was written,
// in a text field; `firstLine` for the application path, the line the
// byte-order mark and the quotes are taken off.
const struct {
    bool (*found)(const char* text, bool firstLine);
    const char* what;
} kUnreadable[] = {
    // Every later line would move up by one.
    {HasLineEnd, "a line end in"},
    // Nothing after it is read: the unattended line would be lost.
    {HasEndOfFileMark, "a Ctrl-Z (byte 0x1A) in"},
    {StartsWithByteOrderMark, "a UTF-8 byte-order mark at the start of"},
    {HasQuotesTheReaderRemoves, "quotes around"},
};

}  // namespace

bool ConfigTextOf(const RunSettings& settings, bool unattended, std::string* bytes,
                  std::string* why)
{
    const struct {
        const char* name;
        const char* text;
        bool firstLine;
    } texts[] = {
        {"the application", settings.appPath, true},
        {"the arguments", settings.cmdLineArgs, false},
        {"the log", settings.logPath, false},
        {"the window name", settings.windowName, false},
    };
    for (const auto& field : texts) {
        for (const auto& unreadable : kUnreadable) {
            if (unreadable.found(field.text, field.firstLine)) {
                *why = std::string(unreadable.what) + " " + field.name +
                       ", which config.txt cannot hold";
                return false;
            }
        }
    }
    // In the reader's order: ConfigLine numbers them.
    const std::string lines[] = {
        settings.appPath,
        settings.cmdLineArgs,
        settings.logPath,
        settings.windowName,
        std::to_string(settings.executions),
        std::to_string(settings.delayMs),
        std::string(Flag(settings.waitInputIdle)) + " " + Flag(settings.detectByWindowName) + " " +
            Flag(settings.exactMatch) + " " + Flag(settings.waitVisible),
        std::string(Flag(settings.closeByWmClose)) + " " + Flag(settings.closeBySysCommand) + " " +
            Flag(settings.closeByAltF4),
        Flag(settings.debugLog),
        Flag(settings.newWindowsOnly),
        Flag(unattended),
    };
    static_assert(sizeof lines / sizeof lines[0] == kLineUnattended, "one line per ConfigLine");
    bytes->clear();
    for (const std::string& line : lines)
        *bytes += line + "\r\n";
    return true;
}
