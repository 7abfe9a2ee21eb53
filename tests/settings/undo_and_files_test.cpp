// The undo ring through the keys, the restart through the state file, the "Fichier"
// menu, failed saves and the owner-only files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/ui/components.h"
#include "plotter/undo_snapshot.h"
#include "sound/vartelo_program.h"
#include "tests/settings/settings_fixture.h"

namespace settingstest {
namespace {

class RingTest : public SettingsTest {
protected:
    void Start(const ProgramDescription& program) {
        SettingsTest::Start(program);
        ASSERT_EQ(UndoCurrent, 1);
        ASSERT_EQ(UndoOldest, 1);
    }
    // A change followed by its snapshot, as the main window's handlers do.
    void Change(const std::string& f) {
        Form1->Edit1->SetText(f);
        SaveUndoSnapshot();
    }
    void Undo() { uitest::PressKey(Form1, 'Z', TShiftState{ssCtrl}); }
    void Redo() { uitest::PressKey(Form1, 'Y', TShiftState{ssCtrl}); }
    std::string F() const { return Form1->Edit1->Text(); }
};

unsigned Mode(const fs::path& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return 0xFFFF;
    return info.st_mode & 0777u;
}

TEST_F(RingTest, CtrlZAndCtrlYWalkTheSnapshots) {
    Start(VarteloProgram());
    Change("x");
    Change("x+1");
    Form6->Edit3->SetText("-7");
    LabelTexts[2] = "texte";
    SaveUndoSnapshot();
    ClearJournal();
    Undo();
    EXPECT_EQ(F(), "x+1");
    EXPECT_EQ(LabelTexts[2], "");
    EXPECT_EQ(Form6->Edit3->Text(), "0");
    Undo();
    EXPECT_EQ(F(), "x");
    Undo();
    EXPECT_EQ(F(), "");
    EXPECT_EQ(UndoCurrent, 1);
    Undo();  // at the oldest: nothing
    EXPECT_EQ(UndoCurrent, 1);
    Redo();
    Redo();
    Redo();
    EXPECT_EQ(F(), "x+1");
    EXPECT_EQ(Form6->Edit3->Text(), "-7");
    EXPECT_EQ(LabelTexts[2], "texte");
    EXPECT_EQ(Form7->Edit3->Text(), "texte");  // the labels dialog follows
    Redo();  // at the newest: nothing
    EXPECT_EQ(UndoCurrent, 4);
    // The keys reach the ring also while a function edit has the focus.
    uitest::Focus(Form1->Edit2);
    uitest::PressKey(Form1->Edit2, 'Z', TShiftState{ssCtrl});
    EXPECT_EQ(F(), "x+1");
    EXPECT_EQ(Form6->Edit3->Text(), "0");
    uitest::PressKey(Form1->Edit2, 'Y', TShiftState{ssCtrl});
    EXPECT_EQ(Form6->Edit3->Text(), "-7");
    EXPECT_EQ(messages.Count(), 0);
}

// The "Edition" items do what their keys do, clicked with the mouse as well; a Ctrl+Z
// typed so fast that Ctrl is up before the window system reports Z's release still undoes,
// once.
TEST_F(RingTest, TheEditionItemsAndFastKeysUndoAndRedo) {
    Start(QuimbelProgram());
    Change("x");
    Change("x+1");
    Change("x+2");
    uitest::ClickMenu(Form1->Annuler1);
    EXPECT_EQ(F(), "x+1");
    uitest::ClickMenu(Form1->Annuler1);
    EXPECT_EQ(F(), "x");
    uitest::ClickMenu(Form1->Refaire1);
    EXPECT_EQ(F(), "x+1");

    uitest::Focus(Form1->Edit2);
    uitest::KeyDown(Form1->Edit2, 'Z', TShiftState{ssCtrl});
    uitest::KeyUp(Form1->Edit2, 'Z');
    EXPECT_EQ(F(), "x");
    uitest::KeyDown(Form1->Edit2, 'Y', TShiftState{ssCtrl});
    uitest::KeyUp(Form1->Edit2, 'Y');
    EXPECT_EQ(F(), "x+1");
    // One key, one step: the release of a Ctrl+Z held to the end undoes nothing more.
    Undo();
    EXPECT_EQ(F(), "x");
    Redo();
    EXPECT_EQ(F(), "x+1");
    uitest::ClickMenu(Form1->Refaire1);
    EXPECT_EQ(F(), "x+2");
    uitest::ClickMenu(Form1->Refaire1);  // at the newest: nothing
    EXPECT_EQ(F(), "x+2");
    EXPECT_EQ(messages.Count(), 0);
}

// A snapshot equal to the current state is no step; it drops the redo states.
TEST_F(RingTest, UnchangedSnapshotIsNoStepButEndsRedo) {
    Start(QuimbelProgram());
    Change("x");
    Change("x*x");
    Undo();
    EXPECT_EQ(UndoCurrent, 2);
    SaveUndoSnapshot();  // e.g. a dialog shown without change
    EXPECT_EQ(UndoCurrent, 2);
    EXPECT_EQ(UndoNewest, 2);
    Redo();
    EXPECT_EQ(F(), "x");
    Undo();
    EXPECT_EQ(F(), "");
    Undo();
    EXPECT_EQ(UndoCurrent, 1);
}

// Forty changes after the first snapshot: the fortieth goes to slot 1, the oldest
// reachable state is slot 2 and undo leads back 39 steps. An unchanged snapshot on the
// full ring keeps the oldest state.
TEST_F(RingTest, FullRingWrapsAndKeepsThirtyNineUndoSteps) {
    Start(QuimbelProgram());
    for (int i = 1; i <= 40; ++i) Change("x+" + std::to_string(i));
    EXPECT_EQ(UndoCurrent, 1);
    EXPECT_EQ(UndoOldest, 2);
    SaveUndoSnapshot();
    EXPECT_EQ(UndoOldest, 2);
    int steps = 0;
    while (UndoCurrent != UndoOldest && steps < 100) {
        Undo();
        ++steps;
    }
    EXPECT_EQ(steps, 39);
    EXPECT_EQ(F(), "x+1");
    Undo();
    EXPECT_EQ(F(), "x+1");
    for (int i = 0; i < 39; ++i) Redo();
    EXPECT_EQ(F(), "x+40");
}

TEST_F(RingTest, FirstSnapshotOfARunIsAlwaysNew) {
    Start(VarteloProgram());
    Restart(VarteloProgram());  // bak1.fct holds the same state from the earlier run
    EXPECT_EQ(UndoCurrent, 1);
    EXPECT_EQ(UndoNewest, 1);
}

// Closing saves "Quimbel.ini"; the next start loads it at the first activation.
TEST_F(RingTest, RestartRestoresTheSettingsThroughTheStateFile) {
    Start(VarteloProgram());
    Form1->Edit1->SetText("sin(x)");
    Form1->Edit12->SetText("-2,5");
    Form1->quad->SetChecked(true);
    Form1->sd3->SetDown(false);
    Form1->UpDown6->SetPosition(9);
    Form4->edit4->SetText("secret");
    Form5->ComboBox4->SetText("k");
    LabelTexts[0] = "E1";
    LabelY[0] = -0.25;
    StepCounter = 5;
    Form1->leg->SetChecked(true);
    Form1->sg->SetCell(2, 3, "do");
    uitest::Close(Form1);
    ASSERT_TRUE(fs::exists(StateFile()));
    EXPECT_EQ(Mode(StateFile()), 0600u);
    EXPECT_EQ(Mode(UndoFolder()), 0700u);
    EXPECT_EQ(Mode(UndoSlotFile(1)), 0600u);

    LabelTexts[0].clear();
    LabelY[0] = 0;
    StepCounter = 0;
    ShowLegend = 0;
    Restart(VarteloProgram());
    EXPECT_EQ(Form1->Edit1->Text(), "sin(x)");
    EXPECT_EQ(Form1->Edit12->Text(), "-2,5");
    EXPECT_TRUE(Form1->quad->Checked());
    EXPECT_FALSE(Form1->sd3->Down());
    EXPECT_EQ(Form1->UpDown6->Position(), 9);
    EXPECT_EQ(Form4->edit4->Text(), "secret");
    EXPECT_EQ(Form5->ComboBox4->Text(), "k");
    EXPECT_EQ(LabelTexts[0], "E1");
    EXPECT_EQ(Form7->Edit1->Text(), "E1");
    EXPECT_EQ(LabelY[0], -0.25);
    EXPECT_EQ(StepCounter, 5);
    EXPECT_TRUE(Form1->leg->Checked());
    EXPECT_EQ(Form1->sg->Cell(2, 3), "do");
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(RingTest, NouveauAnsweredNoKeepsEverythingAndYesResets) {
    Start(QuimbelProgram());
    Form1->Edit1->SetText("x");
    Form1->Edit10->SetText("-1");
    Form4->Edit1->SetText("ftp.example");
    SaveUndoSnapshot();
    SaveSettings(StateFileName, 1);
    messages.Answer(mrNo);
    uitest::ClickMenu(Form1->Nouveau1);
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.Last().Text, "Confirmez vous l'effacement de ce qui est en cours ?");
    EXPECT_EQ(Form1->Edit1->Text(), "x");
    EXPECT_TRUE(fs::exists(StateFile()));

    messages.Answer(mrYes);
    uitest::ClickMenu(Form1->Nouveau1);
    EXPECT_EQ(Form1->Edit1->Text(), "");
    EXPECT_EQ(Form1->Edit10->Text(), "-5");
    EXPECT_EQ(Form4->Edit1->Text(), "");
    EXPECT_FALSE(fs::exists(StateFile()));
    EXPECT_EQ(UndoCurrent, 3);  // the reset is a step that undo takes back
    Undo();
    EXPECT_EQ(Form1->Edit1->Text(), "x");
}

TEST_F(RingTest, OpenAndSaveAsThroughTheFileDialogs) {
    Start(VarteloProgram());
    Form1->Edit2->SetText("x/2");
    Form1->leg->SetChecked(true);
    files.Pick(Dir() / "courbe.fct");
    uitest::ClickMenu(Form1->Enregistrer1);
    ASSERT_TRUE(fs::exists(Dir() / "courbe.fct"));
    EXPECT_EQ(ValueOf(ReadFileLines(Dir() / "courbe.fct"), 105), "1");

    Form1->Edit2->SetText("");
    files.Pick(Dir() / "absent.fct");
    uitest::ClickMenu(Form1->Ouvri1);  // a missing name does nothing
    EXPECT_EQ(Form1->Edit2->Text(), "");
    EXPECT_EQ(UndoCurrent, 1);

    Form1->leg->SetChecked(false);
    files.Pick(Dir() / "courbe.fct");
    uitest::ClickMenu(Form1->Ouvri1);
    EXPECT_EQ(Form1->Edit2->Text(), "x/2");
    EXPECT_TRUE(Form1->leg->Checked());
    EXPECT_EQ(UndoCurrent, 2);
    EXPECT_EQ(messages.Count(), 0);
}

// A save that cannot write its temporary file raises and leaves the previous file whole.
TEST_F(RingTest, FailedSaveKeepsThePreviousFile) {
    Start(VarteloProgram());
    Form1->Edit1->SetText("ancien");
    SaveSettings(StateFileName, 1);
    const std::string before = ReadAll(StateFile());
    fs::create_directory(TemporaryFileFor(StateFile()));  // the temporary name is taken
    fs::create_directory(TemporaryFileFor(StateFile()) / "busy");
    Form1->Edit1->SetText("nouveau");
    EXPECT_THROW(SaveSettings(StateFileName, 1), EInOutError);
    EXPECT_EQ(ReadAll(StateFile()), before);

    // The same failure at closing reaches the user as a message.
    uitest::Close(Form1);
    EXPECT_GE(messages.Count(), 1);
    EXPECT_EQ(ReadAll(StateFile()), before);
}

TEST_F(RingTest, UnreadableSlotLeavesTheRingInPlace) {
    Start(QuimbelProgram());
    Change("x");
    fs::remove(UndoSlotFile(1));
    fs::create_directory(UndoSlotFile(1));  // exists but cannot be read as a file
    Undo();
    EXPECT_EQ(UndoCurrent, 2);
    EXPECT_EQ(F(), "x");
    EXPECT_FALSE(LoadingFlag);  // the change handlers are not left muted
    EXPECT_EQ(messages.Count(), 1);
}

TEST_F(RingTest, QuitterWritesNoStateFile) {
    Start(QuimbelProgram());
    Form1->Edit1->SetText("x");
    uitest::ClickMenu(Form1->Quitter1);
    EXPECT_TRUE(ClosingFlag);
    EXPECT_FALSE(fs::exists(StateFile()));
}

}  // namespace
}  // namespace settingstest
