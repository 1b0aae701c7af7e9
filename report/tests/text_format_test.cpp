#include "report/text_format.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(TextFormat, FixedAndPValues)
{
    struct {
        double value;
        int decimals;
        const char* text;
    } fixed[] = {
        {1.23456, 4, "1.2346"}, {12.5, 4, "12.5000"}, {0.0, 4, "0.0000"},
        {0.00004, 4, "0.0000"}, {2.0, 0, "2"},        {1e20, 1, "100000000000000000000.0"},
    };
    for (const auto& c : fixed)
        EXPECT_EQ(FormatFixed(c.value, c.decimals), c.text);
    EXPECT_EQ(FormatFixed(NAN, 4), "nan");
    EXPECT_EQ(FormatPValue(0.5729), "0.5729");
    EXPECT_EQ(FormatPValue(0.0001), "0.0001");
    EXPECT_EQ(FormatPValue(0.0000321), "3.2e-05");
    EXPECT_EQ(FormatPValue(3.2e-300), "3.2e-300");
    EXPECT_EQ(FormatShortest(0.05), "0.05");
}

TEST(TextFormat, AnsiPathsBecomeUtf8)
{
    struct {
        const char* bytes;
        const char* utf8;
    } cases[] = {
        {"C:\\Apps\\app.exe", "C:\\Apps\\app.exe"},
        {"C:\\B\xC3\xBCro\\a.exe", "C:\\B\xC3\xBCro\\a.exe"},    // already UTF-8: kept
        {"C:\\B\xFCro\\a.exe", "C:\\B\xC3\xBCro\\a.exe"},        // Windows-1252 u umlaut
        {"\x80 \x85 \x9F", "\xE2\x82\xAC \xE2\x80\xA6 \xC5\xB8"}, // euro, ellipsis, Y diaeresis
        {"\x81", "\xC2\x81"},                                      // unassigned in 1252
        {"\xC3", "\xC3\x83"},                                      // a lead byte cut short
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},          // a UTF-16 surrogate is no UTF-8
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                          // overlong '/'
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToUtf8(c.bytes), c.utf8) << c.bytes;
}

TEST(TextFormat, XmlEscapesMarkupAndDropsControls)
{
    EXPECT_EQ(EscapeXml("a<b>&\"c\"'d'"), "a&lt;b&gt;&amp;&quot;c&quot;&apos;d&apos;");
    EXPECT_EQ(EscapeXml("tab\there\x01\x1F!"), "tab\there!");
}
