#include "report/log_line.h"

#include <charconv>

namespace {

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsUpperHexDigit(char c)
{
    return IsDigit(c) || (c >= 'A' && c <= 'F');
}

// "%d": an optional minus and at least one digit, nothing else.
bool ParseDecimal(std::string_view text, std::int64_t* value)
{
    size_t digits_from = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (text.size() == digits_from)
        return false;
    for (size_t i = digits_from; i < text.size(); ++i)
        if (!IsDigit(text[i]))
            return false;
    auto result = std::from_chars(text.data(), text.data() + text.size(), *value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// "%0.4f" of a non-negative time: digits, a dot, exactly four digits.
bool ParseSeconds(std::string_view text, double* seconds)
{
    size_t dot = text.find('.');
    if (dot == std::string_view::npos || dot == 0 || text.size() - dot - 1 != 4)
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (i != dot && !IsDigit(text[i]))
            return false;
    auto result = std::from_chars(text.data(), text.data() + text.size(), *seconds,
                                  std::chars_format::fixed);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// "<before><%d><after>", as in the loop banners and the window count.
bool IsNumberedLine(std::string_view line, std::string_view before, std::string_view after)
{
    if (line.size() < before.size() + after.size() || !StartsWith(line, before) ||
        !EndsWith(line, after))
        return false;
    std::int64_t number = 0;
    return ParseDecimal(line.substr(before.size(), line.size() - before.size() - after.size()),
                        &number);
}

bool IsHeader(std::string_view line, LogLine* parsed)
{
    // The application path may itself hold " - ", so the line is read from its end.
    const std::string_view suffix = " executions";
    if (!EndsWith(line, suffix))
        return false;
    std::string_view rest = line.substr(0, line.size() - suffix.size());
    size_t separator = rest.rfind(" - ");
    if (separator == std::string_view::npos)
        return false;
    if (!ParseDecimal(rest.substr(separator + 3), &parsed->executions))
        return false;
    parsed->application = rest.substr(0, separator);
    return true;
}

bool IsBlank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

bool EndsWithWindowDetails(std::string_view line)
{
    // "(Handle: 0x%X state: %d)", read backwards.
    if (!EndsWith(line, ")"))
        return false;
    std::string_view rest = line.substr(0, line.size() - 1);
    size_t state_at = rest.rfind(" state: ");
    if (state_at == std::string_view::npos)
        return false;
    std::int64_t state = 0;
    if (!ParseDecimal(rest.substr(state_at + 8), &state))
        return false;
    rest = rest.substr(0, state_at);
    size_t hex_from = rest.size();
    while (hex_from > 0 && IsUpperHexDigit(rest[hex_from - 1]))
        --hex_from;
    if (hex_from == rest.size())
        return false;
    return EndsWith(rest.substr(0, hex_from), "(Handle: 0x");
}

LogLine ClassifyLogLine(std::string_view line)
{
    LogLine parsed;
    if (IsBlank(line)) {
        parsed.kind = LogLineKind::Blank;
    } else if (ParseSeconds(line, &parsed.seconds)) {
        parsed.kind = LogLineKind::Timing;
    } else if (StartsWith(line, "DEBUG: Window name: ") ||
               StartsWith(line, "DEBUG Initial scan: Window name: ")) {
        parsed.kind = EndsWithWindowDetails(line) ? LogLineKind::Debug
                                                  : LogLineKind::DebugWindowStart;
    } else if (line == "Window State Key:" || StartsWith(line, "0 = SW_HIDE\t") ||
               IsNumberedLine(line, "Detected: ", " windows") ||
               IsNumberedLine(line, "*************** START LOOP# ", " ***************") ||
               IsNumberedLine(line, "*************** Search loop # ",
                              " of 5000 ***************")) {
        parsed.kind = LogLineKind::Debug;
    } else if (line == "WaitForInputIdle call failed") {
        parsed.kind = LogLineKind::InputIdleFailed;
    } else if (StartsWith(line, "Failed to find window ") && EndsWith(line, " as visible")) {
        parsed.kind = LogLineKind::NotFoundOrNotVisible;
    } else if (StartsWith(line, "Failed to find window ")) {
        parsed.kind = LogLineKind::WindowNotFound;
    } else if (StartsWith(line, "Failed to find ") && EndsWith(line, " as visible") &&
               line.size() >= 26) {
        parsed.kind = LogLineKind::NotVisible;
    } else if (IsHeader(line, &parsed)) {
        parsed.kind = LogLineKind::Header;
    }
    return parsed;
}
