// libFuzzer target for the settings-file reader: any bytes at all as
// config.txt. Besides the sanitizers' own checks it aborts when
//  - a line differs from a plain model of the rules (byte-order mark
//    skipped, 0x1A ends, CR LF, LF and CR each end a line, each line cut
//    to its buffer), for lines cut short and lines given room;
//  - the file read a few bytes at a time gives other lines, or another
//    result, than its bytes all in memory;
//  - the dialog gets anything but texts, numbers, checks and Exact Match's
//    enabled state, a text longer than its field, a line end in a text, an
//    application path still in quotes, or the checks disagree with the flags.
#include "config/config_file.h"
#include "dialog/config_fields.h"

#include "resources/control_ids.h"
#include "tests/fake_platform.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "config_file_fuzz: %s\n", what);
        std::abort();
    }
}

// The rules written the plain way, on whole strings, to check the reader
// against: the file's lines, each up to its first NUL, not yet cut.
std::vector<std::string> ModelLines(const char* bytes, std::size_t size)
{
    std::string text(bytes, size);
    text = text.substr(0, text.find('\x1A'));
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    std::vector<std::string> lines;
    std::string line;
    bool open = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines.push_back(line.c_str());
            line.clear();
            open = false;
        } else {
            line += c;
            open = true;
        }
    }
    if (open)
        lines.push_back(line.c_str());
    return lines;
}

// The reader must give the model's lines, each cut to `lineSize` bytes.
void RequireModelLines(ConfigText* text, const std::vector<std::string>& model, int lineSize,
                       const char* what)
{
    std::vector<char> line(static_cast<std::size_t>(lineSize));
    for (const std::string& expected : model) {
        Require(ReadConfigLine(text, line.data(), lineSize), what);
        Require(expected.compare(0, static_cast<std::size_t>(lineSize - 1), line.data()) == 0,
                what);
    }
    Require(!ReadConfigLine(text, line.data(), lineSize) && line[0] == '\0', what);
}

// The bytes as an open file; never for no bytes, which fmemopen may refuse.
std::FILE* AsFile(const char* bytes, std::size_t size)
{
    std::FILE* file = fmemopen(const_cast<char*>(bytes), size, "rb");
    Require(file != nullptr, "fmemopen failed");
    return file;
}

void CompareLinesWithModel(const char* bytes, std::size_t size)
{
    const std::vector<std::string> model = ModelLines(bytes, size);
    for (int lineSize : {1, 7, kPathSize}) {
        ConfigText inMemory = ConfigTextOfBytes(bytes, size);
        RequireModelLines(&inMemory, model, lineSize, "lines differ from the model");
    }
    if (size == 0)
        return;
    // Small pieces, so that line ends, 0x1A and the mark fall across them.
    std::FILE* file = AsFile(bytes, size);
    char piece[5];
    ConfigText inPieces = ConfigTextOfFile(file, piece, sizeof piece);
    RequireModelLines(&inPieces, model, kPathSize, "lines read in pieces differ from the model");
    std::fclose(file);
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
        } else if (StartsWith(event, "number IDC_EXECUTIONS ") ||
                   StartsWith(event, "number IDC_DELAY ")) {
            ++numberEvents;
        } else if (StartsWith(event, "enable IDC_EXACT_MATCH ")) {
            ++enableEvents;
            Require(event == (s.detectByWindowName ? "enable IDC_EXACT_MATCH 1"
                                                   : "enable IDC_EXACT_MATCH 0"),
                    "Exact Match enabled against detection");
        } else {
            Require(StartsWith(event, "check "), "an unexpected dialog event");
        }
    }
    Require(textEvents <= 4 && numberEvents <= 2 && enableEvents <= 1, "too many dialog events");
    const struct {
        int field;
        int size;
    } fields[] = {{IDC_APP_PATH, kPathSize}, {IDC_CMD_LINE, kArgumentsSize},
                  {IDC_LOG_PATH, kPathSize}, {IDC_WINDOW_NAME, kWindowNameSize}};
    for (const auto& f : fields) {
        const auto found = fake.texts.find(f.field);
        if (found == fake.texts.end())
            continue;
        const std::string& value = found->second;
        Require(value.size() < static_cast<std::size_t>(f.size), "text too long for its field");
        Require(value.find_first_of("\r\n") == std::string::npos, "a line end in a text");
    }
    const auto app = fake.texts.find(IDC_APP_PATH);
    if (app != fake.texts.end()) {
        const std::string& path = app->second;
        const std::size_t first = path.find_first_not_of(" \t");
        const std::size_t last = path.find_last_not_of(" \t");
        Require(first == std::string::npos || last == first || path[first] != '"' ||
                    path[last] != '"' || path.find('"', first + 1) != last,
                "an application path still in quotes");
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
    CompareLinesWithModel(bytes, size);

    FakePlatform whole;
    RunSettings wholeSettings = {};
    ApplyConfigBytes(whole, &wholeSettings, bytes, size);
    CheckDialog(whole, wholeSettings);

    if (size > 0) {
        std::FILE* file = AsFile(bytes, size);
        char piece[3];
        ConfigText text = ConfigTextOfFile(file, piece, sizeof piece);
        FakePlatform pieces;
        RunSettings piecesSettings = {};
        ApplyConfigText(pieces, &piecesSettings, &text);
        std::fclose(file);
        Require(pieces.events == whole.events && Flags(piecesSettings) == Flags(wholeSettings),
                "the file read in pieces gave another result");
    }
    return 0;
}
