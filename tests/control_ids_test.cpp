// The controls' names and numbers: the names the GUI driver takes and the
// fake platform's events show, the numbers kairon.rc builds the dialogs with.
#include "resources/control_ids.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

TEST(ControlIds, NamesAndNumbersGoBothWays)
{
    const struct {
        int id;
        const char* name;
    } cases[] = {
        {1000, "IDC_CLOSE"},       {1002, "IDC_BROWSE_APP"},    {1004, "IDC_APP_PATH"},
        {1006, "IDC_EXECUTIONS"},  {1012, "IDC_STATUS"},        {1014, "IDC_INPUT_IDLE"},
        {1023, "IDC_EXACT_MATCH"}, {1037, "IDC_ABOUT_MAKER"},   {1039, "IDC_ABOUT_VERSION"},
        {1040, "IDC_ABOUT_WEB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ControlName(c.id), c.name);
        int id = 0;
        EXPECT_TRUE(ControlIdByName(c.name, &id)) << c.name;
        EXPECT_EQ(id, c.id) << c.name;
    }
}

// A number without a control, in the gaps and around the list, reads as
// itself, and that text is no control's name.
TEST(ControlIds, ANumberWithoutAControlIsItsDigits)
{
    const struct {
        int id;
        const char* text;
    } cases[] = {
        {1001, "1001"}, {1013, "1013"}, {1024, "1024"}, {1038, "1038"},
        {999, "999"},   {1041, "1041"}, {0, "0"},       {-1, "-1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ControlName(c.id), c.text);
        int id = 7;
        EXPECT_FALSE(ControlIdByName(c.text, &id)) << c.text;
        EXPECT_EQ(id, 7) << c.text;
    }
}

TEST(ControlIds, OnlyAnExactNameIsFound)
{
    for (const char* name : {"", "idc_run", "IDC_RUN ", " IDC_RUN", "IDC_RU", "IDC_RUNX", "RUN",
                             "1010"}) {
        int id = 7;
        EXPECT_FALSE(ControlIdByName(name, &id)) << "'" << name << "'";
        EXPECT_EQ(id, 7) << "'" << name << "'";
    }
}

// The plain #define lines that kairon.rc reads are a second spelling of the
// list. The compiler checks each line's number against the list; a line
// with no entry at all only shows here.
TEST(ControlIds, EveryDefineLineHasItsEntryInTheList)
{
#ifndef KAIRON_SOURCE_DIR
    FAIL() << "kairon_tests needs KAIRON_SOURCE_DIR to find resources/control_ids.h";
#else
    std::ifstream header(std::string(KAIRON_SOURCE_DIR) + "/resources/control_ids.h");
    ASSERT_TRUE(header) << "cannot read resources/control_ids.h";
    std::string line;
    size_t lines = 0;
    while (std::getline(header, line)) {
        char name[64];
        int id = 0;
        if (line.compare(0, 12, "#define IDC_") != 0)
            continue;
        ASSERT_EQ(std::sscanf(line.c_str(), "#define %63s %d", name, &id), 2) << line;
        EXPECT_EQ(ControlName(id), name) << line;
        ++lines;
    }
    EXPECT_EQ(lines, sizeof kControls / sizeof kControls[0]);
#endif
}

}  // namespace
