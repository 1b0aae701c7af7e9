#include "report/text_format.h"

#include <charconv>
#include <cmath>

std::string FormatFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                std::chars_format::fixed, decimals);
    if (result.ec != std::errc())
        return "overflow";
    return std::string(buffer, result.ptr);
}

std::string FormatShortest(double value)
{
    if (!std::isfinite(value))
        return FormatFixed(value, 0);
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FormatPValue(double p)
{
    if (p >= 0.0001 || p == 0.0)
        return FormatFixed(p, 4);
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, p,
                                std::chars_format::scientific, 1);
    return std::string(buffer, result.ptr);
}

namespace {

// Length of the UTF-8 sequence at text[at], or 0 when it is not valid
// (overlong forms, surrogates and code points above U+10FFFF included).
size_t Utf8SequenceLength(std::string_view text, size_t at)
{
    unsigned char lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    unsigned int code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i) {
        unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
        (length == 4 && (code < 0x10000 || code > 0x10FFFF)))
        return 0;
    return length;
}

bool IsValidUtf8(std::string_view text)
{
    for (size_t at = 0; at < text.size();) {
        size_t length = Utf8SequenceLength(text, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

// Windows-1252 at 0x80-0x9F; its five unassigned bytes stay as the C1
// code points of the same value, as Windows itself maps them.
const unsigned short kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(unsigned int code, std::string* out)
{
    if (code < 0x80) {
        *out += static_cast<char>(code);
    } else if (code < 0x800) {
        *out += static_cast<char>(0xC0 | (code >> 6));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out += static_cast<char>(0xE0 | (code >> 12));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::string ToUtf8(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    std::string converted;
    for (char c : bytes) {
        unsigned char byte = static_cast<unsigned char>(c);
        unsigned int code = byte;
        if (byte >= 0x80 && byte <= 0x9F)
            code = kWindows1252High[byte - 0x80];
        AppendUtf8(code, &converted);
    }
    return converted;
}

std::string EscapeXml(std::string_view utf8)
{
    std::string escaped;
    for (char c : utf8) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&apos;";
            break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
                escaped += c;
        }
    }
    return escaped;
}

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}
