// Quimbel's buttons and keys: "Trace" redraws, "Normer" gives y the scale of x about the
// centre, "Centrer" the window -10 .. 10 made to the same scale; resizing only redraws;
// the arrows step the staircases and Ctrl+A does nothing.
#include "dialogs/sequences_form.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "plotter/undo_snapshot.h"
#include "platform/ui/keys.h"
#include "tests/quimbel/quimbel_fixture.h"
#include "variants/quimbel_commands.h"

namespace quimbeltest {
namespace {

class CommandsTest : public QuimbelTest {
protected:
    void ExpectWindow(const char* xmin, const char* xmax, const char* ymin, const char* ymax) {
        EXPECT_EQ(Form1->Edit10->Text(), xmin);
        EXPECT_EQ(Form1->Edit11->Text(), xmax);
        EXPECT_EQ(Form1->Edit12->Text(), ymin);
        EXPECT_EQ(Form1->Edit13->Text(), ymax);
    }
};

TEST_F(CommandsTest, TraceRedrawsWithoutASnapshot) {
    ClearJournal();
    uitest::Click(Form1->Button1);
    EXPECT_EQ(Count("curves"), 1);
    EXPECT_EQ(snapshots, 0);
}

TEST_F(CommandsTest, NormerGivesTheOrdinatesTheScaleOfTheAbscissaeAboutTheCentre) {
    SizeImage(800, 400);
    ASSERT_EQ(Form1->im->Width(), 800);
    SetWindow("-5", "5", "-1", "1");
    ClearJournal();
    snapshots = 0;
    uitest::Click(Form1->Button2);
    ExpectWindow("-5", "5", "-2,5", "2,5");
    EXPECT_EQ(Count("curves"), 1);
    EXPECT_EQ(snapshots, 1);

    // About the centre of y, whatever the extent of y was; typed "." read as the comma.
    SetWindow("0", "3", "1.5", "3,5");
    uitest::Click(Form1->Button2);
    ExpectWindow("0", "3", "1,75", "3,25");
    // Bad text counts as 0.
    SetWindow("-2", "2", "abc", "4");
    uitest::Click(Form1->Button2);
    ExpectWindow("-2", "2", "1", "3");
}

TEST_F(CommandsTest, CentrerCentresTheStandardWindowOnTheOriginAtTheScaleOfX) {
    SizeImage(1000, 500);
    ASSERT_EQ(Form1->im->Width(), 1000);
    SetWindow("3", "4", "7", "9");
    ClearJournal();
    snapshots = 0;
    uitest::Click(Form1->Button3);
    ExpectWindow("-10", "10", "-5", "5");
    EXPECT_EQ(Count("curves"), 1);
    EXPECT_EQ(snapshots, 2);  // the ring keeps one: the second finds the state unchanged
}

TEST_F(CommandsTest, ResizingOnlyRedraws) {
    SetWindow("-5", "5", "-1", "1");
    ClearJournal();
    snapshots = 0;
    SizeImage(640, 480);
    EXPECT_GE(Count("curves"), 1);
    EXPECT_EQ(snapshots, 0);
    ExpectWindow("-5", "5", "-1", "1");
}

TEST_F(CommandsTest, TheArrowsStepTheStaircasesWithinTheirBounds) {
    StepCounter = 0;
    ClearJournal();
    uitest::PressKey(Form1, VK_DOWN);
    EXPECT_EQ(StepCounter, 0);
    EXPECT_EQ(Count("curves"), 0);
    uitest::PressKey(Form1, VK_UP);
    EXPECT_EQ(StepCounter, 1);
    EXPECT_EQ(Count("curves"), 1);
    uitest::PressKey(Form1->Edit1, VK_UP, TShiftState{ssCtrl});  // also from an edit, with Ctrl
    EXPECT_EQ(StepCounter, 2);
    StepCounter = MaxStepCounter;
    ClearJournal();
    uitest::PressKey(Form1, VK_UP);
    EXPECT_EQ(StepCounter, MaxStepCounter);
    EXPECT_EQ(Count("curves"), 0);
    StepCounter = 0;
}

TEST_F(CommandsTest, CtrlAChangesNothing) {
    SetWindow("-5", "5", "-1", "1");
    ClearJournal();
    snapshots = 0;
    uitest::PressKey(Form1, 'A', TShiftState{ssCtrl});
    uitest::PressKey(Form1->Edit1, 'A', TShiftState{ssCtrl});
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(snapshots, 0);
    ExpectWindow("-5", "5", "-1", "1");
}

TEST_F(CommandsTest, CtrlZAndCtrlYUndoAndRedoNormer) {
    UseUndoRing();
    SizeImage(800, 400);
    ASSERT_EQ(Form1->im->Width(), 800);
    SetWindow("-5", "5", "-1", "1");
    SaveUndoSnapshot();
    uitest::Click(Form1->Button2);
    ExpectWindow("-5", "5", "-2,5", "2,5");
    uitest::PressKey(Form1, 'Z', TShiftState{ssCtrl});
    ExpectWindow("-5", "5", "-1", "1");
    uitest::PressKey(Form1->Edit10, 'Y', TShiftState{ssCtrl});
    ExpectWindow("-5", "5", "-2,5", "2,5");
}

}  // namespace
}  // namespace quimbeltest
