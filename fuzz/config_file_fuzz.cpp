// libFuzzer target for the settings-file reader: any bytes at all as
// config.txt. Besides the sanitizers' own checks it aborts when
//  - a line differs from what the C library's fgets gives for the same
//    bytes after a text-mode stream's translation (CR LF to LF, 0x1A ends);
//  - the dialog gets anything but texts, numbers, checks and Exact Match's
//    enabled state, or the checks disagree with the flags;
//  - reading only the first kConfigReadLimit bytes, as LoadConfigFile
//    does, would give a different result.
#include "config/config_file.h"

#include "resources/control_ids.h"
#include "tests/fake_platform.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "config_file_fuzz: %s\n", what);
        std::abort();
    }
}

std::string TextModeTranslation(const char* bytes, std::size_t size)
{
    const void* stop = std::memchr(bytes, 0x1A, size);
    if (stop)
        size = static_cast<std::size_t>(static_cast<const char*>(stop) - bytes);
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] == '\r' && i + 1 < size && bytes[i + 1] == '\n')
            continue;
        text += bytes[i];
    }
    return text;
}

void CompareLinesWithFgets(const char* bytes, std::size_t size)
{
    const std::string translated = TextModeTranslation(bytes, size);
    ConfigText text = MakeConfigText(bytes, size);
    char ours[kConfigLineSize];
    if (translated.empty()) {
        Require(ReadConfigLine(&text, ours) == 0, "a line from an empty file");
        return;
    }
    std::FILE* stream = fmemopen(const_cast<char*>(translated.data()), translated.size(), "r");
    Require(stream != nullptr, "fmemopen failed");
    char theirs[kConfigLineSize];
    for (;;) {
        const long before = std::ftell(stream);
        const bool gotTheirs = std::fgets(theirs, sizeof theirs, stream) != nullptr;
        const int count = ReadConfigLine(&text, ours);
        Require(gotTheirs == (count > 0), "line count differs from fgets");
        if (!gotTheirs)
            break;
        Require(std::ftell(stream) - before == count, "line length differs from fgets");
        Require(std::memcmp(ours, theirs, static_cast<std::size_t>(count) + 1) == 0,
                "line bytes differ from fgets");
    }
    std::fclose(stream);
}

std::string Flags(const RunSettings& s)
{
    std::string flags;
    for (bool flag : {s.waitInputIdle, s.detectByWindowName, s.exactMatch, s.waitVisible,
                      s.closeByWmClose, s.closeBySysCommand, s.closeByAltF4, s.debugLog,
                      s.newWindowsOnly, s.autoRun})
        flags += flag ? '1' : '0';
    return flags;
}

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

void CheckDialog(const FakePlatform& fake, const RunSettings& s)
{
    int textEvents = 0, numberEvents = 0, enableEvents = 0;
    for (const std::string& event : fake.events) {
        if (StartsWith(event, "text ")) {
            ++textEvents;
        } else if (StartsWith(event, "number 1006 ") || StartsWith(event, "number 1011 ")) {
            ++numberEvents;
        } else if (StartsWith(event, "enable 1023 ")) {
            ++enableEvents;
            Require(event == (s.detectByWindowName ? "enable 1023 1" : "enable 1023 0"),
                    "Exact Match enabled against detection");
        } else {
            Require(StartsWith(event, "check "), "an unexpected dialog event");
        }
    }
    Require(textEvents <= 4 && numberEvents <= 2 && enableEvents <= 1, "too many dialog events");
    for (const auto& text : fake.texts) {
        const std::string& value = text.second;
        Require(value.size() < static_cast<std::size_t>(kConfigLineSize), "text too long");
        Require(value.empty() || (value.front() != '\n' && value.back() != '\n'),
                "newline left on a text");
    }
    const struct {
        int box;
        bool flag;
    } boxes[] = {
        {IDC_INPUT_IDLE, s.waitInputIdle},    {IDC_DETECT_WINDOW_NAME, s.detectByWindowName},
        {IDC_EXACT_MATCH, s.exactMatch},      {IDC_VISIBLE, s.waitVisible},
        {IDC_CLOSE_WM_CLOSE, s.closeByWmClose}, {IDC_CLOSE_SYSCOMMAND, s.closeBySysCommand},
        {IDC_CLOSE_ALT_F4, s.closeByAltF4},   {IDC_DEBUG, s.debugLog},
        {IDC_NEW_WINDOWS_ONLY, s.newWindowsOnly},
    };
    for (const auto& b : boxes) {
        const auto found = fake.checked.find(b.box);
        const bool checked = found != fake.checked.end() && found->second;
        Require(checked == b.flag, "a check box disagrees with its flag");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    CompareLinesWithFgets(bytes, size);

    FakePlatform whole;
    RunSettings wholeSettings = {};
    ApplyConfigBytes(whole, &wholeSettings, bytes, size);
    CheckDialog(whole, wholeSettings);

    if (size > kConfigReadLimit) {
        FakePlatform start;
        RunSettings startSettings = {};
        ApplyConfigBytes(start, &startSettings, bytes, kConfigReadLimit);
        Require(start.events == whole.events && Flags(startSettings) == Flags(wholeSettings),
                "the bytes beyond the read limit changed the result");
    }
    return 0;
}
