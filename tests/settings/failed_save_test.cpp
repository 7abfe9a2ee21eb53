// Saves that fail on a disk that is full or read-only, or in a folder without write
// permission: the previous file stays whole, the user reads one message that names the
// file he knows and the reason, and the program can still end, by its close box or by
// "Quitter".
#include <gtest/gtest.h>

#include <memory>

#include "platform/text/cp1252.h"
#include "settings/file_replacement.h"
#include "sound/vartelo_program.h"
#include "tests/settings/scratch_disk.h"
#include "tests/settings/settings_fixture.h"

namespace settingstest {
namespace {

class FailedSaveTest : public SettingsTest, public ::testing::WithParamInterface<ScratchDisk::TFault> {
protected:
    void TearDown() override {
        disk.reset();
        SettingsTest::TearDown();
    }
    // The message of a save of `file` that met the disk's fault.
    std::string SaveFailure(const fs::path& file) const {
        return "Impossible d'enregistrer le fichier \"" + text::PathText(file) + "\" : " +
               FileFailureReason(disk->Error()) + ".";
    }
    std::unique_ptr<ScratchDisk> disk;
};

std::string FaultName(const ::testing::TestParamInfo<ScratchDisk::TFault>& info) {
    switch (info.param) {
        case ScratchDisk::FullDisk: return "FullDisk";
        case ScratchDisk::ReadOnlyDisk: return "ReadOnlyDisk";
        case ScratchDisk::ReadOnlyFolder: return "ReadOnlyFolder";
    }
    return "Unknown";
}

// The start directory on the disk: the state file written at an earlier close stays as it
// was; closing says why the state cannot be saved and offers to quit without saving. No
// keeps the window and the work (and asks again at the next close, never on its own); Yes
// ends the program.
TEST_P(FailedSaveTest, ClosingOffersToQuitWithoutSavingAndKeepsTheOldStateFile) {
    disk = std::make_unique<ScratchDisk>(Dir(), GetParam());
    Start(VarteloProgram());
    uitest::ReplaceText(Form1->Edit1, "ancien");
    SaveSettings(StateFileName, 1);
    const std::string before = ReadAll(StateFile());
    ASSERT_NE(before.find("ancien"), std::string::npos);

    disk->Break();
    uitest::ReplaceText(Form1->Edit1, "nouveau");
    messages.Answer(mrNo);
    uitest::Close(Form1);
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.Last().Text, SaveFailure(StateFile()) + "\n\nQuitter sans enregistrer ?");
    EXPECT_EQ(messages.Last().Text.find(".tmp"), std::string::npos);
    EXPECT_EQ(messages.Last().Buttons, mbYesNo);
    EXPECT_TRUE(Form1->Visible());
    EXPECT_FALSE(ClosingFlag);
    EXPECT_EQ(Form1->Edit1->Text(), "nouveau");
    EXPECT_EQ(ReadAll(StateFile()), before);
    EXPECT_FALSE(fs::exists(TemporaryFileFor(StateFile())));

    messages.Answer(mrYes);
    uitest::Close(Form1);
    EXPECT_EQ(messages.Count(), 2);
    EXPECT_EQ(messages.Unscripted(), 0);
    EXPECT_TRUE(ClosingFlag);
    EXPECT_FALSE(Form1->Visible());
    EXPECT_EQ(ReadAll(StateFile()), before);
}

// After a close that could not save and was kept open, "Quitter" ends the program at once.
TEST_P(FailedSaveTest, QuitterStillEndsTheProgram) {
    disk = std::make_unique<ScratchDisk>(Dir(), GetParam());
    Start(QuimbelProgram());
    SaveSettings(StateFileName, 1);
    const std::string before = ReadAll(StateFile());
    disk->Break();
    messages.Answer(mrNo);
    uitest::Close(Form1);
    ASSERT_EQ(messages.Count(), 1);
    ASSERT_TRUE(Form1->Visible());

    uitest::ClickMenu(Form1->Quitter1);
    EXPECT_TRUE(ClosingFlag);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_EQ(ReadAll(StateFile()), before);
}

// "Enregistrer Sous" onto the broken disk: one message naming the chosen curve file and the
// reason, the earlier curve file untouched, no temporary file left; once the disk works
// again the same save goes through.
TEST_P(FailedSaveTest, SaveAsNamesTheChosenFileAndKeepsItsEarlierContents) {
    Start(QuimbelProgram());
    disk = std::make_unique<ScratchDisk>(Dir() / "cle", GetParam());
    const fs::path curve = Dir() / "cle" / "courbe.fct";
    uitest::ReplaceText(Form1->Edit1, "sin(x)");
    files.Pick(curve);
    uitest::ClickMenu(Form1->Enregistrer1);
    ASSERT_TRUE(fs::exists(curve));
    const std::string before = ReadAll(curve);

    disk->Break();
    uitest::ReplaceText(Form1->Edit1, "cos(x)");
    files.Pick(curve);
    uitest::ClickMenu(Form1->Enregistrer1);
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.Last().Text, SaveFailure(curve));
    EXPECT_EQ(ReadAll(curve), before);
    EXPECT_FALSE(fs::exists(TemporaryFileFor(curve)));
    EXPECT_EQ(Form1->Edit1->Text(), "cos(x)");

    disk->Repair();
    files.Pick(curve);
    uitest::ClickMenu(Form1->Enregistrer1);
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_EQ(ValueOf(ReadFileLines(curve), 1), "cos(x)");
}

INSTANTIATE_TEST_SUITE_P(Disks, FailedSaveTest, ::testing::Values(ScratchDisk::FullDisk, ScratchDisk::ReadOnlyDisk, ScratchDisk::ReadOnlyFolder),
                         FaultName);

}  // namespace
}  // namespace settingstest
