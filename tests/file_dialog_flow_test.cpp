#include "dialog/file_dialog_flow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(FileDialogMode, GivesEachModeItsDialogFlagsAndDefaultTitle)
{
    struct Row {
        int mode;
        bool saveDialog;
        unsigned long flags;
        const char* title;
    };
    const Row rows[] = {
        {kFileDialogOpen, false, 0x1804, "Open file"},
        {kFileDialogSave, true, 0x6, "Save file"},
        {kFileDialogSelect, false, 0x4, "Select file"},
        {3, false, 0x1804, "Open file"},
        {-1, false, 0x1804, "Open file"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mode);
        FileDialogMode mode = FileDialogModeFor(row.mode);
        EXPECT_EQ(mode.saveDialog, row.saveDialog);
        EXPECT_EQ(mode.flags, row.flags);
        EXPECT_STREQ(mode.defaultTitle, row.title);
    }
}

// Plays the user's side of the dialogs: each attempt, in order, either
// chooses a file (writing it into the working buffer) or fails with an
// extended error code (0 for a plain cancel).
class ScriptedDialogs : public FileDialogs {
public:
    struct Answer {
        const char* chosen;  // null: the dialog returns 0
        unsigned long error;
    };

    ScriptedDialogs(char* working, std::vector<Answer> answers)
        : working_(working), answers_(answers)
    {
    }
    int ShowOpen() override { return Show("open"); }
    int ShowSave() override { return Show("save"); }
    unsigned long LastError() override { return error_; }

    // Each dialog shown, with the name it started from.
    std::vector<std::string> shown;

private:
    int Show(const char* kind)
    {
        shown.push_back(std::string(kind) + " [" + working_ + "]");
        if (shown.size() > answers_.size()) {
            ADD_FAILURE() << "more dialogs than scripted";
            error_ = 0;
            return 0;
        }
        const Answer& answer = answers_[shown.size() - 1];
        error_ = answer.error;
        if (!answer.chosen)
            return 0;
        std::string chosen = answer.chosen;
        chosen.copy(working_, chosen.size());
        working_[chosen.size()] = '\0';
        return 1;
    }

    char* working_;
    std::vector<Answer> answers_;
    unsigned long error_ = 0;
};

struct FlowCase {
    const char* what;
    int mode;
    const char* start;
    std::vector<ScriptedDialogs::Answer> answers;
    int result;
    std::vector<std::string> shown;
    const char* path;  // afterwards
};

TEST(PickFile, ShowsTheDialogsInOrderAndWritesBackOnlyAChosenFile)
{
    const unsigned long kCancelled = 0;
    const unsigned long kBufferTooSmall = 0x3003;  // FNERR_BUFFERTOOSMALL
    const FlowCase cases[] = {
        {"open, chosen", kFileDialogOpen, "C:\\old.exe", {{"C:\\new.exe", 0}}, 1,
         {"open [C:\\old.exe]"}, "C:\\new.exe"},
        {"select, chosen", kFileDialogSelect, "", {{"C:\\app.exe", 0}}, 1, {"open []"},
         "C:\\app.exe"},
        {"save, chosen", kFileDialogSave, "C:\\log.txt", {{"D:\\run.txt", 0}}, 1,
         {"save [C:\\log.txt]"}, "D:\\run.txt"},
        {"select, cancelled", kFileDialogSelect, "C:\\keep.exe", {{nullptr, kCancelled}}, 0,
         {"open [C:\\keep.exe]"}, "C:\\keep.exe"},
        {"save, cancelled", kFileDialogSave, "C:\\keep.txt", {{nullptr, kCancelled}}, 0,
         {"save [C:\\keep.txt]"}, "C:\\keep.txt"},
        {"other errors are not retried", kFileDialogSave, "C:\\keep.txt",
         {{nullptr, kBufferTooSmall}}, 0, {"save [C:\\keep.txt]"}, "C:\\keep.txt"},
        {"invalid name: open again with an empty name", kFileDialogSelect, "a|b",
         {{nullptr, kErrorInvalidFileName}, {"C:\\app.exe", 0}}, 1, {"open [a|b]", "open []"},
         "C:\\app.exe"},
        {"invalid name on save: the retry is an open dialog", kFileDialogSave, "<log>",
         {{nullptr, kErrorInvalidFileName}, {"C:\\new.txt", 0}}, 1, {"save [<log>]", "open []"},
         "C:\\new.txt"},
        {"retry cancelled", kFileDialogSave, "<log>",
         {{nullptr, kErrorInvalidFileName}, {nullptr, kCancelled}}, 0, {"save [<log>]", "open []"},
         "<log>"},
        {"only one retry", kFileDialogOpen, "<x>",
         {{nullptr, kErrorInvalidFileName}, {nullptr, kErrorInvalidFileName}}, 0,
         {"open [<x>]", "open []"}, "<x>"},
    };
    for (const FlowCase& c : cases) {
        SCOPED_TRACE(c.what);
        char path[kPathSize];
        char working[kPathSize];
        std::string(c.start).copy(path, sizeof path);
        path[std::string(c.start).size()] = '\0';
        ScriptedDialogs dialogs(working, c.answers);
        EXPECT_EQ(PickFile(dialogs, c.mode, path, working), c.result);
        EXPECT_EQ(dialogs.shown, c.shown);
        EXPECT_STREQ(path, c.path);
    }
}

TEST(PickFile, KeepsPathsWithinTheBuffer)
{
    // A full buffer starts the dialog whole, and the longest name a dialog
    // can return comes back whole and terminated.
    std::string longest(kPathSize - 1, 'x');
    char path[kPathSize];
    char working[kPathSize];
    longest.copy(path, longest.size());
    path[longest.size()] = '\0';
    std::string chosen(kPathSize - 1, 'y');
    ScriptedDialogs dialogs(working, {{chosen.c_str(), 0}});
    EXPECT_EQ(PickFile(dialogs, kFileDialogOpen, path, working), 1);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0], "open [" + longest + "]");
    EXPECT_EQ(std::string(path), chosen);
}

}  // namespace
