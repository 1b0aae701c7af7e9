#include "dialog/settings_warning.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

// A check added to the core without words here would stop a run with the
// terse fallback box; each check says what to fix, in words of its own.
TEST(SettingsWarning, EveryCheckHasWordsOfItsOwn)
{
    EXPECT_EQ(WarningForCheck(kSettingsValid), nullptr);
    std::set<std::string> texts;
    for (int check = kFirstCheck; check <= kLastCheck; ++check) {
        SCOPED_TRACE(check);
        const SettingsWarning* warning = WarningForCheck(static_cast<SettingsCheck>(check));
        ASSERT_NE(warning, nullptr);
        EXPECT_EQ(warning->check, check);
        EXPECT_GT(std::strlen(warning->caption), 0u);
        texts.insert(warning->text);
    }
    EXPECT_EQ(texts.size(), static_cast<std::size_t>(kLastCheck - kFirstCheck + 1));
}

}  // namespace
