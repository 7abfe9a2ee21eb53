// What the settings promise the user beyond the file format: the legend's state, "Nouveau"
// on a state file that stays, grid cells holding the grid's separators, undo and redo
// from the "Edition" menu, text outside ASCII, and the default state file of each program
// byte for byte.
#include <gtest/gtest.h>

#include "sound/vartelo_program.h"
#include "tests/settings/scratch_disk.h"
#include "tests/settings/settings_fixture.h"

namespace settingstest {
namespace {

class DecidedTest : public SettingsTest {
protected:
    // The user types the function f and presses Enter, which draws it and takes a snapshot.
    void EnterF(const std::string& text) {
        uitest::ReplaceText(Form1->Edit1, text);
        uitest::PressKey(Form1->Edit1, VK_RETURN);
    }
    std::string F() const { return Form1->Edit1->Text(); }
};

// Clicking "Afficher la legende" sets ShowLegend at once, so the snapshots taken after it
// hold the legend's state: undo and redo bring it back as it was at each step, and so does
// the next start.
TEST_F(DecidedTest, LegendClickSurvivesUndoAndRestart) {
    Start(QuimbelProgram());
    uitest::ClickMenu(Form1->leg);
    EXPECT_TRUE(Form1->leg->Checked());
    EXPECT_EQ(ShowLegend, 1);
    EnterF("x");
    uitest::ClickMenu(Form1->leg);
    EXPECT_EQ(ShowLegend, 0);
    EnterF("x+1");

    uitest::PressKey(Form1, 'Z', TShiftState{ssCtrl});
    EXPECT_EQ(F(), "x");
    EXPECT_TRUE(Form1->leg->Checked());
    uitest::PressKey(Form1, 'Y', TShiftState{ssCtrl});
    EXPECT_FALSE(Form1->leg->Checked());
    uitest::PressKey(Form1, 'Z', TShiftState{ssCtrl});
    EXPECT_TRUE(Form1->leg->Checked());

    uitest::Close(Form1);
    ShowLegend = 0;
    Restart(QuimbelProgram());
    EXPECT_TRUE(Form1->leg->Checked());
    EXPECT_EQ(ShowLegend, 1);
}

// A state file that "Nouveau" cannot delete (its name taken by a folder with something in
// it, or the file in a read-only folder) does not come back: every setting takes its default.
TEST_F(DecidedTest, NouveauAppliesTheDefaultsWhenTheStateFileCannotBeDeleted) {
    Start(QuimbelProgram());
    EnterF("x");
    uitest::ReplaceText(Form1->Edit10, "-1");
    fs::create_directories(StateFile() / "garde");
    messages.Answer(mrYes);
    uitest::ClickMenu(Form1->Nouveau1);
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_EQ(F(), "");
    EXPECT_EQ(Form1->Edit10->Text(), "-5");
    EXPECT_EQ(Form6->Edit1->Text(), "-inf");
    EXPECT_TRUE(fs::exists(StateFile() / "garde"));
    fs::remove_all(StateFile());

    ScratchDisk disk(Dir() / "disque", ScratchDisk::ReadOnlyFolder);
    fs::current_path(Dir() / "disque");
    Restart(QuimbelProgram());
    EnterF("x*x");
    SaveSettings(StateFileName, 1);
    disk.Break();
    messages.Answer(mrYes);
    uitest::ClickMenu(Form1->Nouveau1);
    EXPECT_EQ(messages.Count(), 2);
    EXPECT_EQ(F(), "");
    EXPECT_EQ(Form1->Edit10->Text(), "-5");
    disk.Repair();
    fs::current_path(Dir());
}

// Cells holding ";", "|" and "\" in the melody grids come back as the same cells, through
// the state file and through an undo; the cells around them are not disturbed.
TEST_F(DecidedTest, GridCellsHoldingTheSeparatorsReadBackAsTheSameCells) {
    Start(VarteloProgram());
    uitest::ChooseTab(Form1->pc, 1);
    const int columns = Form1->ms->ColCount();
    const int rows = Form1->ms->RowCount();
    uitest::EditCell(Form1->ms, 1, 2, "a;b|c");
    uitest::EditCell(Form1->ms, 2, 2, "\\;");
    uitest::EditCell(Form1->ms, 3, 2, "fin\\");
    uitest::EditCell(Form1->ms, 4, 2, "x");
    Form1->sg->SetCell(0, 0, "|;|");
    const std::string text = Form1->ms->Cell(1, 2);
    ASSERT_EQ(text, "a;b|c");

    uitest::Close(Form1);
    Restart(VarteloProgram());
    EXPECT_EQ(Form1->ms->Cell(1, 2), "a;b|c");
    EXPECT_EQ(Form1->ms->Cell(2, 2), "\\;");
    EXPECT_EQ(Form1->ms->Cell(3, 2), "fin\\");
    EXPECT_EQ(Form1->ms->Cell(4, 2), "x");
    EXPECT_EQ(Form1->ms->Cell(1, 3), "");
    EXPECT_EQ(Form1->ms->ColCount(), columns);
    EXPECT_EQ(Form1->ms->RowCount(), rows);
    EXPECT_EQ(Form1->sg->Cell(0, 0), "|;|");

    EnterF("x");
    Form1->ms->SetCell(1, 2, "autre");
    uitest::PressKey(Form1, 'Z', TShiftState{ssCtrl});
    EXPECT_EQ(Form1->ms->Cell(1, 2), "a;b|c");
    EXPECT_EQ(Form1->ms->Cell(3, 2), "fin\\");
}

// é, € and œ typed into a function are written as the bytes E9, 80 and 9C of
// Windows-1252 and come back the same at the next start.
TEST_F(DecidedTest, TextOutsideAsciiRoundTripsAsWindows1252) {
    Start(VarteloProgram());
    uitest::ReplaceText(Form1->Edit1, "\xE9\x80\x9C");
    uitest::ClickMenu(Form1->EnvoyerparFtp1);
    uitest::ReplaceText(Form4->Edit5, "/c\xF4t\xE9");
    EXPECT_EQ(F(), "\xE9\x80\x9C");
    uitest::Close(Form1);
    const std::string raw = ReadAll(StateFile());
    EXPECT_NE(raw.find("[ Fonction f ]\r\n\xE9\x80\x9C\r\n\r\n"), std::string::npos);
    EXPECT_NE(raw.find("[ Chemin ftp ]\r\n/c\xF4t\xE9\r\n\r\n"), std::string::npos);
    EXPECT_NE(raw.find("[ Trac\xE9 \xE0 haute pr\xE9" "cision ]"), std::string::npos);
    Restart(VarteloProgram());
    EXPECT_EQ(F(), "\xE9\x80\x9C");
    EXPECT_EQ(Form4->Edit5->Text(), "/c\xF4t\xE9");
}

struct DefaultFileCase {
    const ProgramDescription& (*program)();
    const char* golden;
};

class DefaultStateFileTest : public SettingsTest, public ::testing::WithParamInterface<DefaultFileCase> {};

// The first start without a state file, closed at once, writes the default state file of
// the program byte for byte.
TEST_P(DefaultStateFileTest, FirstCloseWritesTheDefaultStateFileByteForByte) {
    Start(GetParam().program());
    uitest::Close(Form1);
    const fs::path golden = fs::path(CURVES_TESTS_DIR) / "settings" / "golden" / GetParam().golden;
    ASSERT_TRUE(fs::exists(golden)) << golden;
    EXPECT_EQ(ReadAll(StateFile()), ReadAll(golden));
}

INSTANTIATE_TEST_SUITE_P(Programs, DefaultStateFileTest,
                         ::testing::Values(DefaultFileCase{VarteloProgram, "vartelo_default.ini"},
                                           DefaultFileCase{QuimbelProgram, "quimbel_default.ini"}));

}  // namespace
}  // namespace settingstest
