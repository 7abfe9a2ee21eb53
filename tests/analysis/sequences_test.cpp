// The sequences dialog: limits of known sequences, sequences that grow, alternate or
// reach an undefined value, and the staircases drawn whole or step by step with the
// arrow keys.
#include <string>

#include "dialogs/sequences_form.h"
#include "dialogs/sequences_staircase.h"
#include "platform/ui/keys.h"
#include "tests/analysis/analysis_fixture.h"

namespace analysistest {
namespace {

class SequencesTest : public AnalysisTest {
protected:
    // Row r: function letter, U0, drawn step by step or whole; switched on by a click as
    // the user does, which computes the limits.
    void SequenceRow(int r, const std::string& letter, const std::string& u0, bool stepByStep = false) {
        Form5->RowFunctions[size_t(r)]->SetText(letter);
        Form5->RowFirstTerms[size_t(r)]->SetText(u0);
        Form5->RowStepBoxes[size_t(r)]->SetChecked(stepByStep);
        Form5->RowBoxes[size_t(r)]->SetChecked(false);
        Form5->RowBoxes[size_t(r)]->SetChecked(true);
    }
    std::string Limit(int r) const { return Form5->RowResults[size_t(r)]->Caption(); }
    // 400 x 400 over -1..3 x -1..3: one unit is 100 pixels, the origin at (100, 300).
    void DrawOnto(TBitmap& picture) {
        PrepareOverlays(picture);
        DrawSequences(picture);
    }
    TColor At(TBitmap& picture, int x, int y) { return picture.Canvas().Pixels(x, y); }
};

TEST_F(SequencesTest, LimitsOfKnownSequences) {
    Start();
    SetFunction(0, "x/2+1");
    SetFunction(1, "cos(x)");
    SetFunction(2, "2x");
    SequenceRow(0, "f", "0");
    SequenceRow(1, "g", "0");
    SequenceRow(2, "h", "1");
    EXPECT_EQ(Limit(0), "Limite =2");
    EXPECT_EQ(Limit(1), "Limite =0,739086");
    EXPECT_EQ(Limit(2), "Pas de limite ... ");
    // With the parameters.
    SetFunction(0, "x/a+b");
    SetParameters("2", "3");
    SequenceRow(0, "f", "b");
    EXPECT_EQ(Limit(0), "Limite =6");
}

// A sequence that alternates or wanders for all its 201 terms has no limit, whatever its
// last term; sequences that settle slowly keep theirs.
TEST_F(SequencesTest, SequencesThatNeverSettleHaveNoLimit) {
    Start();
    SetFunction(0, "-x");
    SetFunction(1, "3.5x*(1-x)");
    SetFunction(2, "1/x");
    SequenceRow(0, "f", "1");
    SequenceRow(1, "g", "0,2");
    SequenceRow(2, "h", "2");
    EXPECT_EQ(Limit(0), "Pas de limite ... ");
    EXPECT_EQ(Limit(1), "Pas de limite ... ");
    EXPECT_EQ(Limit(2), "Pas de limite ... ");
    SetFunction(0, "0.5x+1");
    SetFunction(1, "cos(x)");
    SequenceRow(0, "f", "0");
    SequenceRow(1, "g", "1");
    EXPECT_EQ(Limit(0), "Limite =2");
    EXPECT_EQ(Limit(1), "Limite =0,739086");
}

TEST_F(SequencesTest, ASequenceReachingAnUndefinedValueHasNoLimit) {
    Start();
    SetFunction(0, "ln(x)");
    SequenceRow(0, "f", "2");
    EXPECT_EQ(Limit(0), "Pas de limite ... ");
    // A first term outside the domain is read as the domain's bound.
    DomainLower[0] = 3;
    SequenceRow(0, "f", "-10");
    EXPECT_EQ(Limit(0), "Pas de limite ... ");
}

TEST_F(SequencesTest, UnreadableRowsHaveAnEmptyLabel) {
    Start();
    SetFunction(0, "x/2");
    SequenceRow(0, "f", "2*a");
    EXPECT_EQ(Limit(0), "");
    SequenceRow(0, "q", "1");
    EXPECT_EQ(Limit(0), "");
    SetParameters("", "0");
    SequenceRow(0, "f", "1");
    EXPECT_EQ(Limit(0), "");
}

TEST_F(SequencesTest, TheLabelChangesOnlyWhenARowIsSwitched) {
    Start();
    SetFunction(0, "x/2+1");
    uitest::ClickMenu(Form1->un1fun1);
    Form5->Edit1->SetText("0");
    uitest::Click(Form5->CheckBox1);
    EXPECT_EQ(Limit(0), "Limite =2");
    SetFunction(0, "x/2+2");
    uitest::ReplaceText(Form5->Edit1, "7");
    uitest::PressKey(Form5->Edit1, VK_RETURN);
    uitest::ChooseItem(Form5->ComboBox2, 0);
    uitest::Click(Form5->CheckBox2);  // step by step: not a row switch
    EXPECT_EQ(Limit(0), "Limite =2");
    uitest::Click(Form5->CheckBox3);  // another row on
    EXPECT_EQ(Limit(0), "Limite =4");
    uitest::Click(Form5->CheckBox1);
    EXPECT_EQ(Limit(0), "");
}

// A first term typed into a text that is no number takes the row's limit away at once;
// the other rows keep theirs, and a readable first term waits for a row switch.
TEST_F(SequencesTest, AFirstTermTypedUnreadableLosesItsLimitAtOnce) {
    Start();
    SetFunction(0, "x/2+1");
    uitest::ClickMenu(Form1->un1fun1);
    uitest::ChooseItem(Form5->ComboBox4, 0);
    uitest::Click(Form5->CheckBox1);
    uitest::Click(Form5->CheckBox3);
    ASSERT_EQ(Limit(0), "Limite =2");
    ASSERT_EQ(Limit(1), "Limite =2");

    for (const char* typed : {"1,2.3", "abc"}) {
        uitest::ReplaceText(Form5->Edit1, typed);
        EXPECT_EQ(Limit(0), "") << typed;
        EXPECT_EQ(Limit(1), "Limite =2") << typed;
        uitest::ReplaceText(Form5->Edit1, "4");
        EXPECT_EQ(Limit(0), "") << typed;
        uitest::Click(Form5->CheckBox3);
        uitest::Click(Form5->CheckBox3);
        ASSERT_EQ(Limit(0), "Limite =2");
    }
}

TEST_F(SequencesTest, TheWholeStaircaseClimbsTowardsTheLimit) {
    Start();
    SetWindow("-1", "3", "-1", "3");
    SetFunction(0, "x/2+1");
    SequenceRow(0, "f", "0");
    TBitmap picture(400, 400);
    DrawOnto(picture);
    EXPECT_EQ(At(picture, 100, 250), ColourF);  // the first vertical, from the axis to (0, 1)
    EXPECT_EQ(At(picture, 150, 200), ColourF);  // the stair from (0, 1) to (1, 1)
    EXPECT_EQ(At(picture, 200, 175), ColourF);  // from the diagonal (1, 1) to the curve (1, 1.5)
    EXPECT_EQ(At(picture, 225, 150), ColourF);  // the stair from (1, 1.5) to (1.5, 1.5)
    EXPECT_EQ(At(picture, 250, 140), ColourF);  // from (1.5, 1.5) to (1.5, 1.75)
    EXPECT_EQ(At(picture, 350, 150), clWhite);  // the diagonal itself is not drawn
    EXPECT_EQ(CountOthers(picture, ColourF), 0);
}

TEST_F(SequencesTest, StepByStepDrawsTheFirstNSteps) {
    Start();
    SetWindow("-1", "3", "-1", "3");
    SetFunction(0, "x/2+1");
    SequenceRow(0, "f", "0", true);
    TBitmap first(400, 400);
    DrawOnto(first);
    // n = 0: the first vertical, its dot and names, no stair.
    EXPECT_EQ(At(first, 100, 250), ColourF);
    EXPECT_EQ(At(first, 150, 200), clWhite);
    EXPECT_EQ(At(first, 200, 175), clWhite);
    StepCounter = 1;
    TBitmap second(400, 400);
    DrawOnto(second);
    EXPECT_EQ(At(second, 150, 200), ColourF);
    EXPECT_EQ(At(second, 200, 175), ColourF);
    EXPECT_EQ(At(second, 225, 150), clWhite);
    // A counter beyond its range (from a file) draws the whole staircase, no more.
    StepCounter = 1000000;
    TBitmap whole(400, 400);
    DrawOnto(whole);
    EXPECT_EQ(At(whole, 250, 140), ColourF);
}

TEST_F(SequencesTest, TheArrowKeysMoveTheCounterAndRedraw) {
    Start();
    SizeImage(400, 400);
    SetWindow("-1", "3", "-1", "3");
    SetFunction(0, "x/2+1");
    SequenceRow(0, "f", "0", true);
    TBitmap& picture = Form1->im->Bitmap();
    Trace();
    EXPECT_EQ(At(picture, 150, 200), clWhite);
    uitest::PressKey(Form1, VK_UP);
    EXPECT_EQ(StepCounter, 1);
    EXPECT_EQ(At(picture, 150, 200), ColourF);
    EXPECT_EQ(At(picture, 200, 175), ColourF);
    uitest::PressKey(Form1, VK_DOWN);
    EXPECT_EQ(StepCounter, 0);
    EXPECT_EQ(At(picture, 150, 200), clWhite);
    // At the ends of the range the keys neither move the counter nor redraw.
    plottest::Mark(picture, 380, 20, clRed);
    uitest::PressKey(Form1, VK_DOWN);
    EXPECT_EQ(StepCounter, 0);
    StepCounter = MaxStepCounter;
    uitest::PressKey(Form1, VK_UP, TShiftState{ssShift});
    EXPECT_EQ(StepCounter, MaxStepCounter);
    EXPECT_TRUE(plottest::HasMark(picture, 380, 20, clRed));
    // "Initiatilise n" starts again from the first step, at the next redraw.
    uitest::ClickMenu(Form1->un1fun1);
    uitest::Click(Form5->Button2);
    EXPECT_EQ(StepCounter, 0);
    EXPECT_EQ(Form5->Button2->Caption(), "Initiatilise n");
}

TEST_F(SequencesTest, AnUndefinedTermEndsTheStaircase) {
    Start();
    // 800 x 800 over -2..6: one unit is 100 pixels, the origin at (200, 600).
    SetWindow("-2", "6", "-2", "6");
    SetFunction(0, "racine(x)-1");
    SequenceRow(0, "f", "4");
    EXPECT_EQ(Limit(0), "Pas de limite ... ");
    TBitmap picture(800, 800);
    DrawOnto(picture);
    EXPECT_EQ(At(picture, 600, 550), ColourF);  // U0 = 4 to U1 = 1
    EXPECT_EQ(At(picture, 300, 550), ColourF);  // U1 = 1 to U2 = 0
    EXPECT_EQ(At(picture, 200, 650), ColourF);  // U2 = 0 to U3 = -1
    EXPECT_EQ(At(picture, 150, 700), ColourF);  // the stair to U3
    // F(-1) is undefined: no step at U3 = -1.
    EXPECT_EQ(CountColour(picture, ColourF, 80, 0, 100, 800), 0);
    EXPECT_EQ(CountColour(picture, ColourF, 100, 0, 101, 690), 0);
}

TEST_F(SequencesTest, OtherRowsAreDrawnWhenARowCannotBe) {
    Start();
    SizeImage(400, 400);
    SetWindow("-1", "3", "-1", "3");
    SetFunction(0, "x/2+1");
    SetFunction(1, "x/2+1");
    SequenceRow(0, "f", "zz");
    SequenceRow(1, "g", "0");
    Trace();
    TBitmap& picture = Form1->im->Bitmap();
    EXPECT_EQ(At(picture, 150, 200), ColourG);
    // A first term outside the domain is read as its bound, and the row is drawn.
    DomainLower[0] = 0;
    DomainUpper[0] = 2;
    Form5->Edit1->SetText("-7");
    Form5->Edit2->SetText("zz");
    Trace();
    EXPECT_EQ(At(picture, 150, 200), ColourF);
    EXPECT_EQ(cursor.Current(), crDefault);
}

TEST_F(SequencesTest, HiddenFunctionsKeepTheirLimitAndDrawNothing) {
    Start();
    SetWindow("-1", "3", "-1", "3");
    SetFunction(0, "x/2+1");
    SequenceRow(0, "f", "0");
    Form1->sd1->SetDown(false);
    TBitmap picture(400, 400);
    DrawOnto(picture);
    EXPECT_EQ(Limit(0), "Limite =2");
    EXPECT_EQ(CountOthers(picture, clWhite), 0);
}

TEST_F(SequencesTest, BlackAndWhiteDrawsTheStaircaseInBlack) {
    Start();
    SetWindow("-1", "3", "-1", "3");
    SetFunction(0, "x/2+1");
    SequenceRow(0, "f", "0");
    Form1->cnb->SetChecked(true);
    TBitmap picture(400, 400);
    DrawOnto(picture);
    EXPECT_EQ(At(picture, 150, 200), clBlack);
    EXPECT_EQ(CountOthers(picture, clBlack), 0);
}

TEST_F(SequencesTest, PixelCoordinatesAreKeptOnThePicture) {
    EXPECT_EQ(ClampToRange(-3, 400), 0);
    EXPECT_EQ(ClampToRange(401, 400), 400);
    EXPECT_EQ(ClampToRange(17, 400), 17);
    EXPECT_EQ(UpperFunctionLetter(0), "F");
    EXPECT_EQ(UpperFunctionLetter(8), "N");
    Start();
    SetWindow("-1", "3", "-1", "3");
    SetFunction(0, "1000000000000000x");
    SequenceRow(0, "f", "1");
    EXPECT_EQ(Limit(0), "Pas de limite ... ");
    TBitmap picture(400, 400);
    DrawOnto(picture);
    // The first vertical runs from the axis to the top edge of the picture.
    EXPECT_EQ(At(picture, 200, 5), ColourF);
}

}  // namespace
}  // namespace analysistest
