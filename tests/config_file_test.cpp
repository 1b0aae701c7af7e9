#include "config/config_file.h"
#include "config/config_writer.h"
#include "dialog/config_fields.h"

#include "resources/control_ids.h"
#include "tests/fake_platform.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

typedef std::vector<std::string> Events;

// Text with each "\n" written as a lone CR, as old Mac editors save it.
std::string Cr(std::string text)
{
    for (char& c : text) {
        if (c == '\n')
            c = '\r';
    }
    return text;
}

// Each line followed by LF.
std::string Lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// The flags in the file's order: line 7, line 8, lines 9, 10 and 11.
std::string Flags(const RunSettings& s)
{
    std::string flags;
    for (bool flag : {s.waitInputIdle, s.detectByWindowName, s.exactMatch, s.waitVisible})
        flags += flag ? '1' : '0';
    flags += ' ';
    for (bool flag : {s.closeByWmClose, s.closeBySysCommand, s.closeByAltF4})
        flags += flag ? '1' : '0';
    for (bool flag : {s.debugLog, s.newWindowsOnly, s.autoRun}) {
        flags += ' ';
        flags += flag ? '1' : '0';
    }
    return flags;
}

const char kNoFlags[] = "0000 000 0 0 0";

struct Loaded {
    bool opened = false;
    Events events;
    std::string flags;
    FakePlatform fake;
};

// Writes `bytes` to a file and loads it into a fresh dialog and settings.
void Load(const std::string& bytes, Loaded* loaded)
{
    TempFile file("config.txt");
    file.Write(bytes);
    RunSettings settings = {};
    loaded->opened = LoadConfigFile(loaded->fake, &settings, file.path.c_str());
    loaded->events = loaded->fake.events;
    loaded->flags = Flags(settings);
}

Events TextEvents(const std::string& app, const std::string& args, const std::string& log,
                  const std::string& window)
{
    return {"text IDC_APP_PATH " + app, "text IDC_CMD_LINE " + args, "text IDC_LOG_PATH " + log,
            "text IDC_WINDOW_NAME " + window};
}

Events Join(Events first, const Events& then)
{
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

const std::string kExample = Lines({"C:\\Apps\\editor.exe", "", "C:\\Logs\\results.txt", "Editor",
                                    "10", "5000", "1 1 0 1", "1 0 0", "0", "1", "0"});
const Events kExampleEvents = Join(
    TextEvents("C:\\Apps\\editor.exe", "", "C:\\Logs\\results.txt", "Editor"),
    {"number IDC_EXECUTIONS 10", "number IDC_DELAY 5000", "check IDC_INPUT_IDLE",
     "check IDC_DETECT_WINDOW_NAME", "enable IDC_EXACT_MATCH 1", "check IDC_VISIBLE",
     "check IDC_CLOSE_WM_CLOSE", "check IDC_NEW_WINDOWS_ONLY"});

// Lines 1 to 6 of a file whose options follow.
const std::string kSixLines = Lines({"a.exe", "-x", "log.txt", "Win", "3", "250"});
const Events kSixLinesEvents = Join(TextEvents("a.exe", "-x", "log.txt", "Win"),
                                    {"number IDC_EXECUTIONS 3", "number IDC_DELAY 250"});

struct FileCase {
    const char* name;
    std::string bytes;
    Events events;
    std::string flags;
};

const std::string a510(510, 'a'), a511(511, 'a'), b1100(1100, 'b');
// Texts as long as their fields (paths 515 characters, arguments and window
// name 511), and one character longer.
const std::string p515(515, 'p'), p516(516, 'p'), l515(515, 'l'), l516(516, 'l');
const std::string g511(511, 'g'), g512(512, 'g'), w511(511, 'w'), w512(512, 'w');
const char kBom[] = "\xEF\xBB\xBF";

const FileCase kFileCases[] = {
    {"empty file", "", {}, kNoFlags},
    {"complete example", kExample, kExampleEvents, "1101 100 0 1 0"},
    {"complete example, CR LF", CrLf(kExample), kExampleEvents, "1101 100 0 1 0"},
    {"no newline after the last line", kExample.substr(0, kExample.size() - 1), kExampleEvents,
     "1101 100 0 1 0"},
    {"one line", "only.exe", {"text IDC_APP_PATH only.exe"}, kNoFlags},
    {"six lines set texts and numbers only", kSixLines, kSixLinesEvents, kNoFlags},
    {"all options zero: nothing checked, Exact Match disabled",
     kSixLines + Lines({"0 0 0 0", "0 0 0", "0", "0", "0"}),
     Join(kSixLinesEvents, {"enable IDC_EXACT_MATCH 0"}), kNoFlags},
    {"all options set", kSixLines + Lines({"1 1 1 1", "1 1 1", "1", "1", "1"}),
     Join(kSixLinesEvents, {"check IDC_INPUT_IDLE", "check IDC_DETECT_WINDOW_NAME",
                            "enable IDC_EXACT_MATCH 1", "check IDC_EXACT_MATCH",
                            "check IDC_VISIBLE", "check IDC_CLOSE_WM_CLOSE",
                            "check IDC_CLOSE_SYSCOMMAND", "check IDC_CLOSE_ALT_F4",
                            "check IDC_DEBUG", "check IDC_NEW_WINDOWS_ONLY"}),
     "1111 111 1 1 1"},
    {"line 7 '0 1': detection only, Exact Match enabled", kSixLines + Lines({"0 1"}),
     Join(kSixLinesEvents, {"check IDC_DETECT_WINDOW_NAME", "enable IDC_EXACT_MATCH 1"}),
     "0100 000 0 0 0"},
    {"detection off disables Exact Match, which is still checked",
     kSixLines + Lines({"1 0 1 1"}),
     Join(kSixLinesEvents, {"check IDC_INPUT_IDLE", "enable IDC_EXACT_MATCH 0",
                            "check IDC_EXACT_MATCH", "check IDC_VISIBLE"}),
     "1011 000 0 0 0"},
    {"empty line 7 disables Exact Match", kSixLines + Lines({""}),
     Join(kSixLinesEvents, {"enable IDC_EXACT_MATCH 0"}), kNoFlags},
    {"line 7 that is not a number", kSixLines + Lines({"yes"}),
     Join(kSixLinesEvents, {"enable IDC_EXACT_MATCH 0"}), kNoFlags},
    {"line 7 stops at the first value that is not a number", kSixLines + Lines({"1 x 1 1"}),
     Join(kSixLinesEvents, {"check IDC_INPUT_IDLE", "enable IDC_EXACT_MATCH 0"}),
     "1000 000 0 0 0"},
    {"line 7 with tabs, signs and a fifth value", kSixLines + Lines({"  2\t-3   0 7 9"}),
     Join(kSixLinesEvents, {"check IDC_INPUT_IDLE", "check IDC_DETECT_WINDOW_NAME",
                            "enable IDC_EXACT_MATCH 1", "check IDC_VISIBLE"}),
     "1101 000 0 0 0"},
    {"line 7 values without blanks between signs", kSixLines + Lines({"1-1+0-0"}),
     Join(kSixLinesEvents, {"check IDC_INPUT_IDLE", "check IDC_DETECT_WINDOW_NAME",
                            "enable IDC_EXACT_MATCH 1"}),
     "1100 000 0 0 0"},
    {"line 8: Alt-F4 only", kSixLines + Lines({"0", "0 0 1"}),
     Join(kSixLinesEvents, {"enable IDC_EXACT_MATCH 0", "check IDC_CLOSE_ALT_F4"}),
     "0000 001 0 0 0"},
    {"line 8 with a missing third value", kSixLines + Lines({"0", "5 -5"}),
     Join(kSixLinesEvents, {"enable IDC_EXACT_MATCH 0", "check IDC_CLOSE_WM_CLOSE",
                            "check IDC_CLOSE_SYSCOMMAND"}),
     "0000 110 0 0 0"},
    {"lines 9 and 10 set", kSixLines + Lines({"0", "0", "1", "1"}),
     Join(kSixLinesEvents, {"enable IDC_EXACT_MATCH 0", "check IDC_DEBUG",
                            "check IDC_NEW_WINDOWS_ONLY"}),
     "0000 000 1 1 0"},
    {"line 11 asks for an unattended run", kSixLines + Lines({"0", "0", "0", "0", "1"}),
     Join(kSixLinesEvents, {"enable IDC_EXACT_MATCH 0"}), "0000 000 0 0 1"},
    {"file ends after line 8: later flags clear", kSixLines + Lines({"1 1 1 1", "1 1 1"}),
     Join(kSixLinesEvents, {"check IDC_INPUT_IDLE", "check IDC_DETECT_WINDOW_NAME",
                            "enable IDC_EXACT_MATCH 1", "check IDC_EXACT_MATCH",
                            "check IDC_VISIBLE", "check IDC_CLOSE_WM_CLOSE",
                            "check IDC_CLOSE_SYSCOMMAND", "check IDC_CLOSE_ALT_F4"}),
     "1111 111 0 0 0"},
    // Lines 9 to 11 without a number must not inherit line 8's values.
    {"blank lines 9 to 11 clear their flags", kSixLines + Lines({"1 1 1 1", "1 1 1", "", "", ""}),
     Join(kSixLinesEvents, {"check IDC_INPUT_IDLE", "check IDC_DETECT_WINDOW_NAME",
                            "enable IDC_EXACT_MATCH 1", "check IDC_EXACT_MATCH",
                            "check IDC_VISIBLE", "check IDC_CLOSE_WM_CLOSE",
                            "check IDC_CLOSE_SYSCOMMAND", "check IDC_CLOSE_ALT_F4"}),
     "1111 111 0 0 0"},
    {"notes on lines 9 to 11 clear their flags",
     kSixLines + Lines({"1 1 1 1", "1 1 1", "# debug", "none", "; unattended"}),
     Join(kSixLinesEvents, {"check IDC_INPUT_IDLE", "check IDC_DETECT_WINDOW_NAME",
                            "enable IDC_EXACT_MATCH 1", "check IDC_EXACT_MATCH",
                            "check IDC_VISIBLE", "check IDC_CLOSE_WM_CLOSE",
                            "check IDC_CLOSE_SYSCOMMAND", "check IDC_CLOSE_ALT_F4"}),
     "1111 111 0 0 0"},
    {"blank lines 1 to 4 set empty texts", Lines({"", "", "", "", "7"}),
     Join(TextEvents("", "", "", ""), {"number IDC_EXECUTIONS 7"}), kNoFlags},
    {"blanks and tabs are kept", Lines({"  C:\\My Apps\\a b.exe  ", "\t-v ", " ", "Win "}),
     TextEvents("  C:\\My Apps\\a b.exe  ", "\t-v ", " ", "Win "), kNoFlags},
    {"mixed LF and CR LF", "app\r\nargs\nlog\r\nwin\n", TextEvents("app", "args", "log", "win"),
     kNoFlags},
    {"a lone CR ends a line", "a\rb\nc\rd\r\n", TextEvents("a", "b", "c", "d"), kNoFlags},
    {"complete example, CR only", Cr(kExample), kExampleEvents, "1101 100 0 1 0"},
    {"CR CR LF is a line, then an empty one", "app\r\r\nargs\n",
     {"text IDC_APP_PATH app", "text IDC_CMD_LINE ", "text IDC_LOG_PATH args"}, kNoFlags},
    {"LF CR is a line, then an empty one", "app\n\rargs\n",
     {"text IDC_APP_PATH app", "text IDC_CMD_LINE ", "text IDC_LOG_PATH args"}, kNoFlags},
    {"empty CR lines set empty texts", "\r\r\r\r7\r", Join(TextEvents("", "", "", ""),
                                                         {"number IDC_EXECUTIONS 7"}), kNoFlags},
    {"CR at the end of the file", "app\r", {"text IDC_APP_PATH app"}, kNoFlags},
    {"CR-only line 11 asks for an unattended run", Cr(kSixLines + Lines({"0", "0", "0", "0", "1"})),
     Join(kSixLinesEvents, {"enable IDC_EXACT_MATCH 0"}), "0000 000 0 0 1"},
    {"0x1A ends the file", "app\nargs\x1Alog\nwin\n",
     {"text IDC_APP_PATH app", "text IDC_CMD_LINE args"}, kNoFlags},
    {"0x1A as the first byte", "\x1A" + kExample, {}, kNoFlags},
    {"0x1A after a CR", "app\r\x1A\nargs\n", {"text IDC_APP_PATH app"}, kNoFlags},
    {"0x1A between CR and LF", "app\r\x1A\n", {"text IDC_APP_PATH app"}, kNoFlags},
    {"0x1A before line 11's number", kSixLines + Lines({"0", "0", "0", "0"}) + "\x1A" "1\n",
     Join(kSixLinesEvents, {"enable IDC_EXACT_MATCH 0"}), kNoFlags},
    {"0x1A after line 11's number", kSixLines + Lines({"0", "0", "0", "0"}) + "1\x1A" "0\n",
     Join(kSixLinesEvents, {"enable IDC_EXACT_MATCH 0"}), "0000 000 0 0 1"},
    {"a NUL cuts the text but not the line", "ab\0cd\nargs\n"s,
     {"text IDC_APP_PATH ab", "text IDC_CMD_LINE args"}, kNoFlags},
    {"a NUL first on a line gives an empty text", "\0xyz\nargs\n"s,
     {"text IDC_APP_PATH ", "text IDC_CMD_LINE args"}, kNoFlags},
    {"a NUL before line 11's number", kSixLines + Lines({"0", "0", "0", "0", "\0"s "1"}),
     Join(kSixLinesEvents, {"enable IDC_EXACT_MATCH 0"}), kNoFlags},
    {"a NUL after line 5's number", "a\nb\nc\nd\n12\0" "34\n5\n"s,
     Join(TextEvents("a", "b", "c", "d"), {"number IDC_EXECUTIONS 12", "number IDC_DELAY 5"}),
     kNoFlags},
    {"binary bytes pass through", "\xFF\xFE\x80\x01\x7F\x1B\n\x90\n",
     {"text IDC_APP_PATH \xFF\xFE\x80\x01\x7F\x1B", "text IDC_CMD_LINE \x90"}, kNoFlags},
    {"binary bytes as numbers and options",
     Lines({"a", "b", "c", "d", "\xFF", "\x80" "9", "\x01", "\xFE"}),
     Join(TextEvents("a", "b", "c", "d"),
          {"number IDC_EXECUTIONS 0", "number IDC_DELAY 0", "enable IDC_EXACT_MATCH 0"}),
     kNoFlags},
    {"a line of 510 characters fits", a510 + "\nargs\n",
     {"text IDC_APP_PATH " + a510, "text IDC_CMD_LINE args"}, kNoFlags},
    {"a line of 510 characters and CR LF fits", a510 + "\r\nargs\r\n",
     {"text IDC_APP_PATH " + a510, "text IDC_CMD_LINE args"}, kNoFlags},
    {"a line of 511 characters is one line", a511 + "\nargs\nlog\n",
     {"text IDC_APP_PATH " + a511, "text IDC_CMD_LINE args", "text IDC_LOG_PATH log"}, kNoFlags},
    {"a line of 511 characters and CR LF is one line", a511 + "\r\nargs\r\n",
     {"text IDC_APP_PATH " + a511, "text IDC_CMD_LINE args"}, kNoFlags},
    {"texts as long as their fields are kept whole", Lines({p515, g511, l515, w511, "4"}),
     Join(TextEvents(p515, g511, l515, w511), {"number IDC_EXECUTIONS 4"}), kNoFlags},
    {"texts one longer than their fields lose their last character",
     Lines({p516, g512, l516, w512, "4"}),
     Join(TextEvents(p515, g511, l515, w511), {"number IDC_EXECUTIONS 4"}), kNoFlags},
    {"a line of 1100 characters is cut and the rest dropped", b1100 + "\nargs\nlog\nwin\n",
     TextEvents(std::string(515, 'b'), "args", "log", "win"), kNoFlags},
    {"5000 characters of arguments: the later lines keep their places",
     Lines({"C:\\Apps\\a.exe", std::string(5000, 'g'), "C:\\Logs\\r.txt", "Win", "3", "250",
            "0 1 0 0", "1 0 0", "0", "0", "1"}),
     Join(TextEvents("C:\\Apps\\a.exe", g511, "C:\\Logs\\r.txt", "Win"),
          {"number IDC_EXECUTIONS 3", "number IDC_DELAY 250", "check IDC_DETECT_WINDOW_NAME",
           "enable IDC_EXACT_MATCH 1", "check IDC_CLOSE_WM_CLOSE"}),
     "0100 100 0 0 1"},
    {"a long number on line 5 is cut, not carried into line 6",
     "a\nb\nc\nd\n1" + std::string(600, '0') + "\n250\n",
     Join(TextEvents("a", "b", "c", "d"),
          {"number IDC_EXECUTIONS 2147483647", "number IDC_DELAY 250"}),
     kNoFlags},
    // Number lines keep 511 characters too: a number after them is dropped.
    {"line 11's number as its 511th character counts",
     kSixLines + Lines({"0", "0", "0", "0", std::string(510, ' ') + "1"}),
     Join(kSixLinesEvents, {"enable IDC_EXACT_MATCH 0"}), "0000 000 0 0 1"},
    {"line 11's number as its 512th character is dropped",
     kSixLines + Lines({"0", "0", "0", "0", std::string(511, ' ') + "1"}),
     Join(kSixLinesEvents, {"enable IDC_EXACT_MATCH 0"}), kNoFlags},
    {"a byte-order mark is skipped", kBom + kExample, kExampleEvents, "1101 100 0 1 0"},
    {"a byte-order mark alone", kBom, {}, kNoFlags},
    {"a byte-order mark before an empty line 1", kBom + "\nargs\n"s,
     {"text IDC_APP_PATH ", "text IDC_CMD_LINE args"}, kNoFlags},
    {"only the first byte-order mark is skipped", kBom + (kBom + "a.exe\n"s) + kBom + "-x\n",
     {"text IDC_APP_PATH "s + kBom + "a.exe", "text IDC_CMD_LINE "s + kBom + "-x"}, kNoFlags},
    {"part of a byte-order mark is kept", "\xEF\xBB" "a.exe\n",
     {"text IDC_APP_PATH \xEF\xBB" "a.exe"}, kNoFlags},
    {"a byte-order mark cut by 0x1A is kept", "\xEF\xBB\x1A\xBF" "a.exe\n",
     {"text IDC_APP_PATH \xEF\xBB"}, kNoFlags},
    {"quotes around the application path are removed",
     Lines({"\"C:\\A B\\app.exe\"", "\"x y.txt\"", "\"log.txt\"", "\"Win\""}),
     TextEvents("C:\\A B\\app.exe", "\"x y.txt\"", "\"log.txt\"", "\"Win\""), kNoFlags},
    {"blanks outside the quotes go, those inside stay", " \t\" C:\\x.exe \"\t \n",
     {"text IDC_APP_PATH  C:\\x.exe "}, kNoFlags},
    {"a lone quote stays", "\"C:\\x.exe\n", {"text IDC_APP_PATH \"C:\\x.exe"}, kNoFlags},
    {"quotes inside the path stay", "\"C:\\a\"b.exe\"\n",
     {"text IDC_APP_PATH \"C:\\a\"b.exe\""}, kNoFlags},
};

TEST(ConfigFile, EachFileLeavesItsFieldsChecksAndFlags)
{
    for (const FileCase& c : kFileCases) {
        SCOPED_TRACE(c.name);
        Loaded loaded;
        Load(c.bytes, &loaded);
        EXPECT_TRUE(loaded.opened);
        EXPECT_EQ(loaded.events, c.events);
        EXPECT_EQ(loaded.flags, c.flags);
    }
}

TEST(ConfigFile, CrLfAndCrFilesReadAsLfFiles)
{
    for (const FileCase& c : kFileCases) {
        if (c.bytes.find('\r') != std::string::npos || c.bytes.find('\n') == std::string::npos)
            continue;
        SCOPED_TRACE(c.name);
        Loaded lf, crlf, cr;
        Load(c.bytes, &lf);
        Load(CrLf(c.bytes), &crlf);
        Load(Cr(c.bytes), &cr);
        EXPECT_EQ(crlf.events, lf.events);
        EXPECT_EQ(crlf.flags, lf.flags);
        EXPECT_EQ(cr.events, lf.events);
        EXPECT_EQ(cr.flags, lf.flags);
    }
}

// atoi's reading, shown without sign. Out of range clamps to the int range.
TEST(ConfigFile, NumberLinesShowAtoiWithoutSign)
{
    const struct {
        std::string line;
        const char* shown;
    } cases[] = {
        {"10", "10"},
        {"0", "0"},
        {"-1", "4294967295"},
        {"-1000", "4294966296"},
        {"2147483647", "2147483647"},
        {"2147483648", "2147483647"},
        {"4294967296", "2147483647"},
        {"99999999999999999999999", "2147483647"},
        {"-2147483648", "2147483648"},
        {"-2147483649", "2147483648"},
        {"-99999999999999999999999", "2147483648"},
        {"", "0"},
        {"abc", "0"},
        {"  \t 42", "42"},
        {"42abc", "42"},
        {"3 4", "3"},
        {"+7", "7"},
        {"- 7", "0"},
        {"+-7", "0"},
        {"0x1F", "0"},
        {"1e3", "1"},
        {"007", "7"},
        {"1,000", "1"},
        {"5\r", "5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("line '" + c.line + "'");
        for (int lineNumber : {5, 6}) {
            std::vector<std::string> lines = {"a", "b", "c", "d", "1", "1"};
            lines[lineNumber - 1] = c.line;
            Loaded loaded;
            Load(Lines(lines), &loaded);
            const std::string field = lineNumber == 5 ? "IDC_EXECUTIONS" : "IDC_DELAY";
            ASSERT_EQ(loaded.events.size(), 6u);
            EXPECT_EQ(loaded.events[lineNumber - 1],
                      "number " + field + " " + c.shown);
        }
    }
}

// Lines 9, 10 and 11 hold one number each; non-zero sets the flag.
TEST(ConfigFile, FlagLinesSetTheirFlagOnlyForANonZeroNumber)
{
    const struct {
        std::string line;
        bool set;
    } cases[] = {
        {"1", true},        {"0", false},         {"-1", true},    {"00", false},
        {"-0", false},      {"+0", false},        {" 2 ", true},   {"1abc", true},
        {"0x1", false},     {"", false},          {"x1", false},   {"#1", false},
        {" ", false},       {"\t", false},        {"+", false},    {"-", false},
        // Out of range clamps, so a huge number still reads as non-zero.
        {"4294967296", true}, {"-4294967296", true}, {"99999999999999999999", true},
    };
    const char* const boxes[] = {"IDC_DEBUG", "IDC_NEW_WINDOWS_ONLY", nullptr};
    for (const auto& c : cases) {
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE("line " + std::to_string(9 + i) + " '" + c.line + "'");
            std::vector<std::string> options = {"1 1 1 1", "1 1 1", "0", "0", "0"};
            options[2 + i] = c.line;
            Loaded loaded;
            Load(kSixLines + Lines(options), &loaded);
            std::string expected = "1111 111 0 0 0";
            expected[9 + 2 * i] = c.set ? '1' : '0';
            EXPECT_EQ(loaded.flags, expected);
            if (boxes[i]) {
                const std::string check = std::string("check ") + boxes[i];
                EXPECT_EQ(loaded.fake.EventsStartingWith(check).size(), c.set ? 1u : 0u);
            }
        }
    }
}

TEST(ConfigFile, AMissingFileChangesNothingAndAsksForNoUnattendedRun)
{
    FakePlatform fake;
    RunSettings settings = {};
    settings.autoRun = true;
    EXPECT_FALSE(LoadConfigFile(fake, &settings, "kairon_no_such_config.txt"));
    EXPECT_TRUE(fake.events.empty());
    EXPECT_EQ(Flags(settings), kNoFlags);
}

TEST(ConfigFile, AShortFileClearsAnEarlierUnattendedRun)
{
    TempFile file("config_short.txt");
    file.Write(kSixLines + Lines({"0", "0", "0", "0"}));
    FakePlatform fake;
    RunSettings settings = {};
    settings.autoRun = true;
    EXPECT_TRUE(LoadConfigFile(fake, &settings, file.path.c_str()));
    EXPECT_FALSE(settings.autoRun);
}

TEST(ConfigFile, ChecksStayCheckedWhateverTheFileSays)
{
    TempFile file("config_zeros.txt");
    file.Write(kSixLines + Lines({"0 0 0 0", "0 0 0", "0", "0", "0"}));
    FakePlatform fake;
    const int boxes[] = {IDC_INPUT_IDLE, IDC_DETECT_WINDOW_NAME, IDC_EXACT_MATCH, IDC_VISIBLE,
                         IDC_CLOSE_WM_CLOSE, IDC_CLOSE_SYSCOMMAND, IDC_CLOSE_ALT_F4, IDC_DEBUG,
                         IDC_NEW_WINDOWS_ONLY};
    for (int box : boxes)
        fake.checked[box] = true;
    RunSettings settings = {};
    LoadConfigFile(fake, &settings, file.path.c_str());
    for (int box : boxes)
        EXPECT_TRUE(fake.checked[box]) << box;
    EXPECT_TRUE(fake.EventsStartingWith("check").empty());
}

// A file of one line of a megabyte fills the application path and no more.
TEST(ConfigFile, OneHugeLine)
{
    for (char c : {'a', '1'}) {
        SCOPED_TRACE(std::string(1, c));
        Loaded loaded;
        Load(std::string(1 << 20, c), &loaded);
        EXPECT_EQ(loaded.events, Events({"text IDC_APP_PATH " + std::string(515, c)}));
        EXPECT_EQ(loaded.flags, kNoFlags);
    }
}

// Lines are read whole however long, so line 11 is found after ten lines
// of 100,000 characters, read a piece at a time, and whatever follows it
// changes nothing.
TEST(ConfigFile, LineElevenAfterVeryLongLinesIsRead)
{
    std::string bytes;
    for (int i = 0; i < 10; ++i)
        bytes += "0" + std::string(100000, ' ') + "\r\n";
    bytes += "1\r\n" + std::string(1 << 20, '0');
    Loaded loaded;
    Load(bytes, &loaded);
    EXPECT_EQ(loaded.flags, "0000 000 0 0 1");
    const std::string text = "0" + std::string(514, ' ');
    EXPECT_EQ(loaded.events, Join(TextEvents(text, "0" + std::string(510, ' '), text,
                                             "0" + std::string(510, ' ')),
                                  {"number IDC_EXECUTIONS 0", "number IDC_DELAY 0",
                                   "enable IDC_EXACT_MATCH 0"}));
}

// What the reader hands any front end, dialog or none: the lines it found
// and their values, the application path unquoted, numbers without sign.
TEST(ConfigFile, TheReaderGivesValuesWithoutADialog)
{
    ConfigValues values;
    const std::string bytes =
        Lines({"\"C:\\A B\\editor.exe\"", "-n", "log.txt", "Editor", "-1", "250", "0 1 1 0",
               "0 0 1"});
    ReadConfigBytes(bytes.data(), bytes.size(), &values);
    EXPECT_EQ(values.lineCount, 8);
    EXPECT_STREQ(values.appPath, "C:\\A B\\editor.exe");
    EXPECT_STREQ(values.cmdLineArgs, "-n");
    EXPECT_STREQ(values.logPath, "log.txt");
    EXPECT_STREQ(values.windowName, "Editor");
    EXPECT_EQ(values.executions, 4294967295u);
    EXPECT_EQ(values.delayMs, 250u);
    const bool flags[] = {values.waitInputIdle, values.detectByWindowName, values.exactMatch,
                          values.waitVisible,   values.closeByWmClose,     values.closeBySysCommand,
                          values.closeByAltF4,  values.debugLog,           values.newWindowsOnly,
                          values.autoRun};
    const bool expected[] = {false, true, true, false, false, false, true, false, false, false};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(flags[i], expected[i]) << i;

    // A file that cannot be opened has no lines, whatever came before.
    values.lineCount = 11;
    EXPECT_FALSE(ReadConfigFile("kairon_no_such_config.txt", &values));
    EXPECT_EQ(values.lineCount, 0);
}

TEST(ConfigFile, FileAndBytesReadAlike)
{
    for (const FileCase& c : kFileCases) {
        SCOPED_TRACE(c.name);
        FakePlatform fake;
        RunSettings settings = {};
        ApplyConfigBytes(fake, &settings, c.bytes.data(), c.bytes.size());
        EXPECT_EQ(fake.events, c.events);
        EXPECT_EQ(Flags(settings), c.flags);
    }
}

struct LineCase {
    std::string bytes;
    int size;
    std::vector<std::string> lines;
};

// Lines without their ends, cut to `size` bytes with the NUL.
const LineCase kLineCases[] = {
    {"", 8, {}},
    {"a", 8, {"a"}},
    {"a\nb", 8, {"a", "b"}},
    {"a\n", 8, {"a"}},
    {"\n\n", 8, {"", ""}},
    {"a\r\nb\r\n", 8, {"a", "b"}},
    {"a\rb\r", 8, {"a", "b"}},
    {"\r", 8, {""}},
    {"\r\r\n", 8, {"", ""}},
    {"\r\n\r\n", 8, {"", ""}},
    {"\n\r", 8, {"", ""}},
    {"\r\r", 8, {"", ""}},
    {"a\x1A\nb", 8, {"a"}},
    {"a\r\x1A\nb", 8, {"a"}},
    {"\x1A", 8, {}},
    {"\xEF\xBB\xBF", 8, {}},
    {"\xEF\xBB\xBF\n", 8, {""}},
    {"\xEF\xBB\xBF" "a\r\nb", 8, {"a", "b"}},
    {"\xEF\xBB", 8, {"\xEF\xBB"}},
    {"a\xEF\xBB\xBF", 8, {"a\xEF\xBB\xBF"}},
    {"ab\0c\n\0"s, 8, {"ab", ""}},
    {"1234567\n12345678\r\n123456789\rx", 8, {"1234567", "1234567", "1234567", "x"}},
    {"abc\n\nd", 1, {"", "", ""}},
    {a510 + "x\r\n" + a511 + "yz\nq", kConfigLineSize, {a510 + "x", a511, "q"}},
};

TEST(ConfigFile, ReadConfigLineCutsLinesAtAnyLineEnd)
{
    for (const LineCase& c : kLineCases) {
        SCOPED_TRACE(::testing::PrintToString(c.bytes) + " in " + std::to_string(c.size));
        ConfigText text = ConfigTextOfBytes(c.bytes.data(), c.bytes.size());
        std::vector<std::string> lines;
        std::vector<char> line(c.size + 1, '#');
        while (ReadConfigLine(&text, line.data(), c.size)) {
            EXPECT_EQ(line[c.size], '#');
            lines.push_back(line.data());
        }
        EXPECT_EQ(lines, c.lines);
        EXPECT_FALSE(ReadConfigLine(&text, line.data(), c.size));
        EXPECT_EQ(line[0], '\0');
    }
}

// The mark is looked for in the bytes given, never past them.
TEST(ConfigFile, AByteOrderMarkCutShortByTheEndIsText)
{
    const char bytes[] = "\xEF\xBB\xBF\xBF";
    for (std::size_t size : {1, 2}) {
        ConfigText text = ConfigTextOfBytes(bytes, size);
        char line[8];
        ASSERT_TRUE(ReadConfigLine(&text, line, sizeof line));
        EXPECT_EQ(std::string(line), std::string(bytes, size));
    }
}

// A file read in pieces as small as a byte-order mark splits as if all its
// bytes were in memory: a CR LF, a 0x1A or the mark itself may straddle
// two pieces.
TEST(ConfigFile, AFileReadInPiecesGivesTheSameLines)
{
    for (const LineCase& c : kLineCases) {
        for (std::size_t pieceSize : {3, 4, 5, 4096}) {
            SCOPED_TRACE(::testing::PrintToString(c.bytes) + " in pieces of " +
                         std::to_string(pieceSize));
            TempFile file("config_pieces.txt");
            file.Write(c.bytes);
            std::FILE* stream = std::fopen(file.path.c_str(), "rb");
            ASSERT_NE(stream, nullptr);
            std::vector<char> piece(pieceSize);
            ConfigText text = ConfigTextOfFile(stream, piece.data(), piece.size());
            std::vector<std::string> lines;
            std::vector<char> line(c.size);
            while (ReadConfigLine(&text, line.data(), c.size))
                lines.push_back(line.data());
            EXPECT_FALSE(ReadConfigLine(&text, line.data(), c.size));
            std::fclose(stream);
            EXPECT_EQ(lines, c.lines);
        }
    }
}

#ifdef _WIN32
// Whether the Windows C library's text mode splits `bytes` into the lines
// Kairon reads: it does unless the file has a lone CR, starts with a
// byte-order mark, or has a line longer than fgets's 511 characters.
bool TextModeReadsAlike(const std::string& bytes)
{
    if (bytes.compare(0, 3, kBom) == 0)
        return false;
    std::size_t lineLength = 0;
    for (std::size_t i = 0; i < bytes.size() && bytes[i] != '\x1A'; ++i) {
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))
            return false;
        lineLength = bytes[i] == '\n' ? 0 : lineLength + 1;
        if (lineLength > 510)
            return false;
    }
    return true;
}
#endif

// On Windows, the C library's own text mode is the reference for files it
// reads the same way: fgets on a stream opened with "r" must give the same
// lines, once its newline is taken off. (Compared as C strings: fgets does
// not say how far a line with a NUL went.)
TEST(ConfigFile, LinesMatchTheWindowsTextModeStream)
{
#ifndef _WIN32
    GTEST_SKIP() << "text mode is the identity here";
#else
    int compared = 0;
    for (const FileCase& c : kFileCases) {
        if (!TextModeReadsAlike(c.bytes))
            continue;
        ++compared;
        SCOPED_TRACE(c.name);
        TempFile file("config_text_mode.txt");
        file.Write(c.bytes);
        std::FILE* stream = std::fopen(file.path.c_str(), "r");
        ASSERT_NE(stream, nullptr);
        ConfigText text = ConfigTextOfBytes(c.bytes.data(), c.bytes.size());
        char ours[kPathSize], theirs[kConfigLineSize];
        for (int lineNumber = 1;; ++lineNumber) {
            const bool gotTheirs = std::fgets(theirs, sizeof theirs, stream) != nullptr;
            const bool gotOurs = ReadConfigLine(&text, ours, sizeof ours);
            ASSERT_EQ(gotOurs, gotTheirs) << "line " << lineNumber;
            if (!gotTheirs)
                break;
            std::string expected = theirs;
            if (!expected.empty() && expected.back() == '\n')
                expected.pop_back();
            EXPECT_EQ(std::string(ours), expected) << "line " << lineNumber;
        }
        std::fclose(stream);
    }
    // Most of the table is ordinary files; a broken filter must not pass
    // by comparing none.
    EXPECT_GT(compared, 30);
#endif
}

// ApplyDefaults reads config.txt from the working directory.
struct ConfigInWorkingDirectory {
    ConfigInWorkingDirectory() { std::remove(kConfigFileName); }
    ~ConfigInWorkingDirectory() { std::remove(kConfigFileName); }
    void Write(const std::string& bytes)
    {
        if (std::FILE* f = std::fopen(kConfigFileName, "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
    }
};

TEST(ConfigFile, DefaultsComeBeforeTheFileOfTheWorkingDirectory)
{
    ConfigInWorkingDirectory config;
    {
        FakePlatform fake;
        RunSettings settings = {};
        settings.autoRun = true;
        ApplyDefaults(fake, &settings);
        EXPECT_EQ(fake.events, Events({"number IDC_EXECUTIONS 1", "number IDC_DELAY 1000"}));
        EXPECT_EQ(fake.texts[IDC_EXECUTIONS], "1");
        EXPECT_EQ(fake.texts[IDC_DELAY], "1000");
        EXPECT_TRUE(fake.enabled.empty());
        EXPECT_EQ(Flags(settings), kNoFlags);
    }
    {
        config.Write(CrLf(kExample.substr(0, kExample.size() - 2) + "1\n"));
        FakePlatform fake;
        RunSettings settings = {};
        ApplyDefaults(fake, &settings);
        EXPECT_EQ(fake.events,
                  Join({"number IDC_EXECUTIONS 1", "number IDC_DELAY 1000"}, kExampleEvents));
        EXPECT_EQ(fake.texts[IDC_EXECUTIONS], "10");
        EXPECT_EQ(fake.texts[IDC_DELAY], "5000");
        EXPECT_EQ(Flags(settings), "1101 100 0 1 1");
    }
    {
        config.Write(Lines({"a.exe"}));
        FakePlatform fake;
        RunSettings settings = {};
        ApplyDefaults(fake, &settings);
        EXPECT_EQ(fake.texts[IDC_EXECUTIONS], "1");
        EXPECT_EQ(fake.texts[IDC_DELAY], "1000");
        EXPECT_EQ(fake.texts[IDC_APP_PATH], "a.exe");
    }
}

}  // namespace

namespace {

// Whatever the writer writes, the reader reads back as the same settings.
TEST(ConfigWriter, WhatItWritesReadsBackAsTheSameSettings)
{
    RunSettings full{};
    std::strcpy(full.appPath, "C:\\Program Files\\App\\app.exe");
    std::strcpy(full.cmdLineArgs, " -x \"a b\" ");
    std::strcpy(full.logPath, "D:\\logs\\r\xE9sultats.txt");
    std::strcpy(full.windowName, "Main Window ");
    full.executions = 25;
    full.delayMs = 1500;
    full.waitInputIdle = full.detectByWindowName = full.exactMatch = full.waitVisible = true;
    full.closeBySysCommand = full.closeByAltF4 = true;
    full.debugLog = full.newWindowsOnly = true;
    RunSettings sparse{};
    std::strcpy(sparse.appPath, "app.exe");
    std::strcpy(sparse.logPath, "results.txt");
    sparse.executions = 1;
    sparse.delayMs = 1;
    sparse.closeByWmClose = true;
    // Near what the writer refuses, but read back as written.
    RunSettings near = sparse;
    std::strcpy(near.appPath, " \"app.exe");
    std::strcpy(near.cmdLineArgs, "\"a b\"");
    std::strcpy(near.logPath, "\"a\"b\"");
    std::strcpy(near.windowName, "\xEF\xBB\xBF\t\x1B\x7F\xFF");
    for (const RunSettings& settings : {full, sparse, near}) {
        for (bool unattended : {true, false}) {
            std::string bytes;
            std::string why;
            ASSERT_TRUE(ConfigTextOf(settings, unattended, &bytes, &why)) << why;
            ConfigValues read;
            ReadConfigBytes(bytes.data(), bytes.size(), &read);
            SCOPED_TRACE(bytes);
            EXPECT_EQ(read.lineCount, 11);
            EXPECT_STREQ(read.appPath, settings.appPath);
            EXPECT_STREQ(read.cmdLineArgs, settings.cmdLineArgs);
            EXPECT_STREQ(read.logPath, settings.logPath);
            EXPECT_STREQ(read.windowName, settings.windowName);
            EXPECT_EQ(read.executions, static_cast<unsigned>(settings.executions));
            EXPECT_EQ(read.delayMs, static_cast<unsigned>(settings.delayMs));
            EXPECT_EQ(read.waitInputIdle, settings.waitInputIdle);
            EXPECT_EQ(read.detectByWindowName, settings.detectByWindowName);
            EXPECT_EQ(read.exactMatch, settings.exactMatch);
            EXPECT_EQ(read.waitVisible, settings.waitVisible);
            EXPECT_EQ(read.closeByWmClose, settings.closeByWmClose);
            EXPECT_EQ(read.closeBySysCommand, settings.closeBySysCommand);
            EXPECT_EQ(read.closeByAltF4, settings.closeByAltF4);
            EXPECT_EQ(read.debugLog, settings.debugLog);
            EXPECT_EQ(read.newWindowsOnly, settings.newWindowsOnly);
            EXPECT_EQ(read.autoRun, unattended);
        }
    }
    std::string bytes;
    std::string why;
    ASSERT_TRUE(ConfigTextOf(sparse, true, &bytes, &why));
    EXPECT_EQ(bytes, "app.exe\r\n\r\nresults.txt\r\n\r\n1\r\n1\r\n0 0 0 0\r\n1 0 0\r\n0\r\n0\r\n1\r\n");
}

// A line end inside a field would move every later line up by one.
TEST(ConfigWriter, RefusesAFieldWithALineEnd)
{
    RunSettings settings{};
    std::strcpy(settings.appPath, "app.exe");
    std::string bytes = "unchanged";
    std::string why;
    std::strcpy(settings.windowName, "two\nlines");
    EXPECT_FALSE(ConfigTextOf(settings, true, &bytes, &why));
    EXPECT_EQ(why, "a line end in the window name, which config.txt cannot hold");
    std::strcpy(settings.windowName, "one");
    std::strcpy(settings.cmdLineArgs, "a\rb");
    EXPECT_FALSE(ConfigTextOf(settings, true, &bytes, &why));
    EXPECT_EQ(why, "a line end in the arguments, which config.txt cannot hold");
}

// What the reader would change or lose is refused as a line end is.
TEST(ConfigWriter, RefusesWhatItsReaderWouldNotGiveBack)
{
    const struct {
        const char* app;
        const char* arguments;
        const char* log;
        const char* window;
        const char* why;
    } cases[] = {
        {"app.exe", "a\x1A" "b", "", "",
         "a Ctrl-Z (byte 0x1A) in the arguments, which config.txt cannot hold"},
        {"app.exe", "", "", "\x1A",
         "a Ctrl-Z (byte 0x1A) in the window name, which config.txt cannot hold"},
        {"app.exe", "", "r.txt\x1A", "",
         "a Ctrl-Z (byte 0x1A) in the log, which config.txt cannot hold"},
        {"\xEF\xBB\xBF" "app.exe", "", "", "",
         "a UTF-8 byte-order mark at the start of the application, which config.txt cannot hold"},
        {"\"app.exe\"", "", "", "",
         "quotes around the application, which config.txt cannot hold"},
        {" \"C:\\A B\\app.exe\"\t", "", "", "",
         "quotes around the application, which config.txt cannot hold"},
        {"app\r\x1A.exe", "", "", "",
         "a line end in the application, which config.txt cannot hold"},
    };
    for (const auto& c : cases) {
        RunSettings settings{};
        std::strcpy(settings.appPath, c.app);
        std::strcpy(settings.cmdLineArgs, c.arguments);
        std::strcpy(settings.logPath, c.log);
        std::strcpy(settings.windowName, c.window);
        std::string bytes;
        std::string why;
        EXPECT_FALSE(ConfigTextOf(settings, true, &bytes, &why)) << c.why;
        EXPECT_EQ(why, c.why);
    }
}

}  // namespace
