#include "config/config_writer.h"

#include "config/config_file.h"

#include <cstring>

namespace {

const char* Flag(bool value)
{
    return value ? "1" : "0";
}

}  // namespace

bool ConfigTextOf(const RunSettings& settings, bool unattended, std::string* bytes,
                  std::string* why)
{
    const struct {
        const char* name;
        const char* text;
    } texts[] = {
        {"the application", settings.appPath},
        {"the arguments", settings.cmdLineArgs},
        {"the log", settings.logPath},
        {"the window name", settings.windowName},
    };
    for (const auto& field : texts) {
        if (std::strpbrk(field.text, "\r\n") != nullptr) {
            *why = std::string("a line end in ") + field.name + ", which config.txt cannot hold";
            return false;
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
