#include "report/log_line.h"

#include "engine/log_format.h"

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

bool IsBlank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// One line of a log format cut into pieces: literal text and the few
// conversions Kairon's formats use: -, %s, %d, %lu, %X, %0.4f.
enum class Conversion { None, Text, Decimal, Unsigned, Hex, Seconds };

struct FormatPiece {
    Conversion conversion = Conversion::None;
    std::string_view literal;  // Conversion::None only
    int number = -1;           // %d, %lu and %X: which number of the line, from 0
};

// Kairon is a Windows program, where an unsigned long has 32 bits (on
// 64-bit Windows too), whichever system reads its log.
const std::int64_t kMaxUnsignedLong = 4294967295;

const int kMaxFormatPieces = 12;
const int kMaxFormatNumbers = 2;

struct FormatLine {
    FormatPiece pieces[kMaxFormatPieces];
    int count = 0;
    int textAt = -1;  // the piece that is %s; -1 when there is none
};

// What a line that matched a format carried in its conversions.
struct FormatFields {
    std::string_view text;
    std::int64_t numbers[kMaxFormatNumbers] = {};
    double seconds = 0.0;
};

// False for a format this reader cannot follow, which then matches no line.
bool SplitFormatLine(std::string_view format, FormatLine* line)
{
    int numbers = 0;
    size_t at = 0;
    while (at < format.size()) {
        if (line->count == kMaxFormatPieces)
            return false;
        FormatPiece& piece = line->pieces[line->count++];
        std::string_view rest = format.substr(at);
        if (rest[0] != '%') {
            piece.literal = rest.substr(0, rest.find('%'));
            at += piece.literal.size();
        } else if (StartsWith(rest, "%s") && line->textAt < 0) {
            piece.conversion = Conversion::Text;
            line->textAt = line->count - 1;
            at += 2;
        } else if ((StartsWith(rest, "%d") || StartsWith(rest, "%X")) &&
                   numbers < kMaxFormatNumbers) {
            piece.conversion = rest[1] == 'd' ? Conversion::Decimal : Conversion::Hex;
            piece.number = numbers++;
            at += 2;
        } else if (StartsWith(rest, "%lu") && numbers < kMaxFormatNumbers) {
            piece.conversion = Conversion::Unsigned;
            piece.number = numbers++;
            at += 3;
        } else if (StartsWith(rest, "%0.4f")) {
            piece.conversion = Conversion::Seconds;
            at += 5;
        } else {
            return false;
        }
    }
    return true;
}

size_t CountDigits(std::string_view text, bool (*isDigit)(char))
{
    size_t n = 0;
    while (n < text.size() && isDigit(text[n]))
        ++n;
    return n;
}

size_t CountDigitsBefore(std::string_view text, bool (*isDigit)(char))
{
    size_t n = 0;
    while (n < text.size() && isDigit(text[text.size() - 1 - n]))
        ++n;
    return n;
}

// The length of the number a conversion printed at the start of `text`,
// 0 when none is there: "%d" an optional minus and digits, "%lu" digits,
// "%X" upper-case hex digits, "%0.4f" digits, a dot and four digits (never
// negative in a timing line).
size_t NumberLengthFrom(Conversion conversion, std::string_view text)
{
    if (conversion == Conversion::Hex)
        return CountDigits(text, IsUpperHexDigit);
    if (conversion == Conversion::Unsigned)
        return CountDigits(text, IsDigit);
    if (conversion == Conversion::Decimal) {
        const size_t sign = StartsWith(text, "-") ? 1 : 0;
        const size_t digits = CountDigits(text.substr(sign), IsDigit);
        return digits == 0 ? 0 : sign + digits;
    }
    const size_t whole = CountDigits(text, IsDigit);
    if (whole == 0 || text.substr(whole, 1) != "." ||
        CountDigits(text.substr(whole + 1), IsDigit) < 4)
        return 0;
    return whole + 5;
}

// The same, for the number that ends `text`.
size_t NumberLengthBefore(Conversion conversion, std::string_view text)
{
    if (conversion == Conversion::Hex)
        return CountDigitsBefore(text, IsUpperHexDigit);
    if (conversion == Conversion::Unsigned)
        return CountDigitsBefore(text, IsDigit);
    if (conversion == Conversion::Decimal) {
        const size_t digits = CountDigitsBefore(text, IsDigit);
        if (digits == 0)
            return 0;
        return EndsWith(text.substr(0, text.size() - digits), "-") ? digits + 1 : digits;
    }
    if (CountDigitsBefore(text, IsDigit) != 4 || !EndsWith(text.substr(0, text.size() - 4), "."))
        return 0;
    const size_t whole = CountDigitsBefore(text.substr(0, text.size() - 5), IsDigit);
    return whole == 0 ? 0 : whole + 5;
}

bool StoreNumber(const FormatPiece& piece, std::string_view digits, FormatFields* fields)
{
    const char* end = digits.data() + digits.size();
    std::from_chars_result result;
    if (piece.conversion == Conversion::Seconds) {
        result = std::from_chars(digits.data(), end, fields->seconds, std::chars_format::fixed);
    } else {
        const int base = piece.conversion == Conversion::Hex ? 16 : 10;
        result = std::from_chars(digits.data(), end, fields->numbers[piece.number], base);
        if (piece.conversion == Conversion::Unsigned &&
            fields->numbers[piece.number] > kMaxUnsignedLong)
            return false;
    }
    return result.ec == std::errc() && result.ptr == end;
}

// Matches pieces [from, to) of a format line against the start of `text`
// (or, backwards, its end). Returns the length matched, or npos.
size_t MatchFrom(const FormatLine& format, int from, int to, std::string_view text,
                 FormatFields* fields)
{
    size_t at = 0;
    for (int i = from; i < to; ++i) {
        const FormatPiece& piece = format.pieces[i];
        const std::string_view rest = text.substr(at);
        if (piece.conversion == Conversion::None) {
            if (!StartsWith(rest, piece.literal))
                return std::string_view::npos;
            at += piece.literal.size();
            continue;
        }
        const size_t length = NumberLengthFrom(piece.conversion, rest);
        if (length == 0 || !StoreNumber(piece, rest.substr(0, length), fields))
            return std::string_view::npos;
        at += length;
    }
    return at;
}

size_t MatchBefore(const FormatLine& format, int from, int to, std::string_view text,
                   FormatFields* fields)
{
    size_t matched = 0;
    for (int i = to - 1; i >= from; --i) {
        const FormatPiece& piece = format.pieces[i];
        const std::string_view rest = text.substr(0, text.size() - matched);
        if (piece.conversion == Conversion::None) {
            if (!EndsWith(rest, piece.literal))
                return std::string_view::npos;
            matched += piece.literal.size();
            continue;
        }
        const size_t length = NumberLengthBefore(piece.conversion, rest);
        if (length == 0 || !StoreNumber(piece, rest.substr(rest.size() - length), fields))
            return std::string_view::npos;
        matched += length;
    }
    return matched;
}

// Whether `line` is one line of `format` written out. The text of "%s" may
// hold anything, so what comes before it is read from the line's start and
// what comes after it from the line's end: an application path holding
// " - " or a title holding "(Handle: " cannot mislead the reading.
bool MatchesFormat(std::string_view line, std::string_view format,
                   FormatFields* fields = nullptr)
{
    FormatFields ignored;
    if (!fields)
        fields = &ignored;
    for (size_t start = 0; start < format.size();) {
        size_t end = format.find('\n', start);
        if (end == std::string_view::npos)
            end = format.size();
        FormatLine pieces;
        if (end > start && SplitFormatLine(format.substr(start, end - start), &pieces)) {
            if (pieces.textAt < 0) {
                if (MatchFrom(pieces, 0, pieces.count, line, fields) == line.size())
                    return true;
            } else {
                const size_t head = MatchFrom(pieces, 0, pieces.textAt, line, fields);
                if (head != std::string_view::npos) {
                    const std::string_view rest = line.substr(head);
                    const size_t tail =
                        MatchBefore(pieces, pieces.textAt + 1, pieces.count, rest, fields);
                    if (tail != std::string_view::npos) {
                        fields->text = rest.substr(0, rest.size() - tail);
                        return true;
                    }
                }
            }
        }
        start = end + 1;
    }
    return false;
}

// The window-list formats cut at their title: the part before it, or after.
bool MatchesWindowListPart(std::string_view line, bool beforeTitle)
{
    for (std::string_view format : {std::string_view(kSearchWindowFormat),
                                    std::string_view(kInitialScanWindowFormat)}) {
        FormatLine pieces;
        if (EndsWith(format, "\n"))
            format.remove_suffix(1);
        if (!SplitFormatLine(format, &pieces) || pieces.textAt < 0)
            continue;
        FormatFields fields;
        const size_t matched =
            beforeTitle ? MatchFrom(pieces, 0, pieces.textAt, line, &fields)
                        : MatchBefore(pieces, pieces.textAt + 1, pieces.count, line, &fields);
        if (matched != std::string_view::npos)
            return true;
    }
    return false;
}

}  // namespace

bool StartsWindowListLine(std::string_view line)
{
    return MatchesWindowListPart(line, true);
}

bool EndsWithWindowDetails(std::string_view line)
{
    return MatchesWindowListPart(line, false);
}

LogLine ClassifyLogLine(std::string_view line)
{
    LogLine parsed;
    FormatFields fields;
    if (IsBlank(line)) {
        parsed.kind = LogLineKind::Blank;
    } else if (MatchesFormat(line, kTimingFormat, &fields)) {
        parsed.kind = LogLineKind::Timing;
        parsed.seconds = fields.seconds;
    } else if (StartsWindowListLine(line)) {
        parsed.kind = MatchesFormat(line, kSearchWindowFormat) ||
                              MatchesFormat(line, kInitialScanWindowFormat)
                          ? LogLineKind::Debug
                          : LogLineKind::DebugWindowStart;
    } else if (MatchesFormat(line, kWindowStateKey) || MatchesFormat(line, kDetectedFormat) ||
               MatchesFormat(line, kLoopBannerFormat) ||
               (MatchesFormat(line, kSearchBannerFormat, &fields) &&
                fields.numbers[1] == kSearchPassLimit)) {
        parsed.kind = LogLineKind::Debug;
    } else if (MatchesFormat(line, kInputIdleFailedFormat)) {
        parsed.kind = LogLineKind::InputIdleFailed;
    } else if (MatchesFormat(line, kWindowNotFoundFormat)) {
        // "Failed to find window x as visible" is also what the visibility
        // wait writes for a window named "window x".
        parsed.kind = MatchesFormat(line, kNotVisibleFormat) ? LogLineKind::NotFoundOrNotVisible
                                                             : LogLineKind::WindowNotFound;
    } else if (MatchesFormat(line, kNotVisibleFormat)) {
        parsed.kind = LogLineKind::NotVisible;
    } else if (MatchesFormat(line, kExitedBeforeReadyFormat, &fields)) {
        parsed.kind = LogLineKind::ExitedBeforeReady;
        parsed.exitCode = static_cast<std::uint32_t>(fields.numbers[0]);
    } else if (MatchesFormat(line, kHandedOffFormat)) {
        parsed.kind = LogLineKind::HandedOff;
    } else if (MatchesFormat(line, kNotSettledFormat)) {
        parsed.kind = LogLineKind::NotSettled;
    } else if (MatchesFormat(line, kCloseFailedFormat)) {
        parsed.kind = LogLineKind::CloseFailed;
    } else if (MatchesFormat(line, kHeaderFormat, &fields)) {
        parsed.kind = LogLineKind::Header;
        parsed.application = fields.text;
        parsed.executions = fields.numbers[0];
    }
    return parsed;
}
