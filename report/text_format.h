// Numbers and texts as the reports and exports write them. Numbers always
// use a dot, whatever the locale, so that exports read the same everywhere.
#ifndef KAIRON_REPORT_TEXT_FORMAT_H
#define KAIRON_REPORT_TEXT_FORMAT_H

#include <string>
#include <string_view>

// Fixed-point with the given number of decimals: 1.23456, 4 -> "1.2346".
std::string FormatFixed(double value, int decimals);
// The shortest text that reads back as the same double: 0.05 -> "0.05".
std::string FormatShortest(double value);
// A p-value: four decimals, or two significant digits when below 0.0001
// ("3.2e-07"), so that a very small p does not print as 0.
std::string FormatPValue(double p);

// Kairon writes paths in the ANSI code page. Text that is already valid
// UTF-8 is kept; otherwise each byte is read as Windows-1252.
std::string ToUtf8(std::string_view bytes);
// Text for XML content and attribute values, C0 controls dropped.
std::string EscapeXml(std::string_view utf8);
// A CSV field (RFC 4180): one holding a comma, a quote or a line break is
// quoted, its quotes doubled.
std::string CsvField(const std::string& text);

#endif
