// The redraw pipeline: the order of its steps in both programs, the frozen picture, the
// resize of the picture, black and white, the font heights, a bad thickness, the marking
// of unreadable texts and the evaluation inside a domain.
#include "dialogs/domains_form.h"
#include "engine/program_variant.h"
#include "engine/random_source.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/redraw_pipeline.h"
#include "sound/vartelo_program.h"
#include "tests/plotter/program_harness.h"
#include "tests/support/picture_compare.h"
#include "variants/quimbel_program.h"

namespace plottest {
namespace {

using Journal = std::vector<std::string>;

class RedrawTest : public ProgramTest {
protected:
    // Every redraw puts a red mark where the curves go, one further right each time.
    void MarkEachRedraw() {
        auto curves = RedrawSteps().DrawFunctionCurves;
        RedrawSteps().DrawFunctionCurves = [this, curves](TBitmap& bitmap) {
            curves(bitmap);
            Mark(bitmap, 10 + 10 * marks++, 10, clRed);
        };
    }
    int marks = 0;
};

TEST_F(RedrawTest, VarteloRebuildsTheSoundSumsFirstAndDrawsTheAxesOverTheCurves) {
    StartProgram(VarteloProgram());
    ShowMainWindow();
    ClearJournal();
    Trace();
    EXPECT_EQ(journal, (Journal{"sums", "vertical", "tangentResults", "areas", "tangents", "curves", "axes",
                                "sequences", "labels"}));
    Form1->leg->SetChecked(true);
    ClearJournal();
    Trace();
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.back(), "legend");
}

TEST_F(RedrawTest, QuimbelDrawsTheAxesUnderTheCurvesAndHasNoSoundStep) {
    StartProgram(QuimbelProgram());
    ShowMainWindow();
    ClearJournal();
    Trace();
    EXPECT_EQ(journal, (Journal{"vertical", "tangentResults", "areas", "tangents", "axes", "curves", "sequences",
                                "labels"}));
}

TEST_F(RedrawTest, AFrozenPictureKeepsEarlierDrawingsAndSkipsTheAxesUnlessADragRedraws) {
    StartProgram(VarteloProgram());
    ShowMainWindow();
    uitest::Click(Form1->ceffa);  // freezes the picture (and redraws once)
    MarkEachRedraw();
    ClearJournal();
    Trace();
    Trace();
    TBitmap& picture = Form1->im->Bitmap();
    EXPECT_TRUE(HasMark(picture, 10, 10, clRed));
    EXPECT_TRUE(HasMark(picture, 20, 10, clRed));
    EXPECT_EQ(Count("axes"), 0);

    ForcedRedrawFlag = true;  // a mouse drag redrawing live
    ClearJournal();
    Trace();
    ForcedRedrawFlag = false;
    EXPECT_FALSE(HasMark(picture, 10, 10, clRed));
    EXPECT_TRUE(HasMark(picture, 30, 10, clRed));
    EXPECT_EQ(Count("axes"), 1);

    uitest::Click(Form1->ceffa);  // unfreezes: this redraw clears, and so does the next
    Trace();
    EXPECT_FALSE(HasMark(picture, 30, 10, clRed));
    EXPECT_FALSE(HasMark(picture, 40, 10, clRed));
    EXPECT_TRUE(HasMark(picture, 50, 10, clRed));
    EXPECT_EQ(picture.Canvas().Pixels(5, 5), clWhite);
}

TEST_F(RedrawTest, AResizeKeepsTheSharedPixelsAndWhitensTheRest) {
    StartProgram(QuimbelProgram());
    ShowMainWindow();
    SizeImage(400, 300);
    ASSERT_EQ(Form1->im->Width(), 400);
    MarkEachRedraw();
    uitest::Click(Form1->ceffa);  // frozen: the redraws after the resizes clear nothing
    Trace();
    TBitmap& picture = Form1->im->Bitmap();
    Mark(picture, 390, 290, clBlue);
    SizeImage(200, 150);
    EXPECT_EQ(picture.Width(), 200);
    EXPECT_EQ(picture.Height(), 150);
    EXPECT_TRUE(HasMark(picture, 10, 10, clRed));
    SizeImage(500, 400);
    EXPECT_EQ(picture.Width(), 500);
    EXPECT_TRUE(HasMark(picture, 10, 10, clRed));
    // What the smaller picture did not hold comes back white, not as the old pixels.
    EXPECT_EQ(picture.Canvas().Pixels(391, 291), clWhite);
    EXPECT_EQ(picture.Canvas().Pixels(499, 399), clWhite);
}

TEST_F(RedrawTest, CurvesWalkedWhileThePictureIsFilledAreThoseOfAWalkAtTheirTurn) {
    StartProgram(VarteloProgram());
    ShowMainWindow();
    SetRandomClock([] { return 20261209u; });  // every compile starts the same random numbers
    SetWindow("-5", "5", "-5", "5");
    const std::vector<std::vector<std::string>> scenes = {
        {"sin(x)", "cos(3x)", "x^2/4", "1/x", "tan(x)", "racine(x)", "ln(x)", "exp(x)/10", "ent(x)"},
        {"has(x)", "sin(x)", "has(1)*x", "", "x/2", "", "carre(x)", "", "cos(x)"},
        {"", "", "", "", "", "", "", "", "x"}};
    for (const auto& scene : scenes) {
        for (bool precise : {false, true}) {
            for (int i = 0; i < FunctionCount; ++i) {
                GetFunctionEdit(i)->SetText(scene[size_t(i)]);
                Form1->ShowButtons[size_t(i)]->SetDown(true);
            }
            PreciseTracing = precise;
            SCOPED_TRACE(scene[0] + (precise ? " precise" : ""));
            TBitmap ahead(600, 400), atTheirTurn(600, 400);
            RedrawGraph(ahead);
            const auto walk = RedrawSteps().WalkFunctionCurves;
            ASSERT_TRUE(walk);
            RedrawSteps().WalkFunctionCurves = nullptr;
            RedrawGraph(atTheirTurn);
            RedrawSteps().WalkFunctionCurves = walk;
            EXPECT_EQ(CountIn(ahead, clWhite, 0, 0, 599, 399), CountIn(atTheirTurn, clWhite, 0, 0, 599, 399));
            EXPECT_TRUE(SamePixels(ahead, atTheirTurn));
        }
    }
    SetRandomClock({});
}

TEST_F(RedrawTest, BlackAndWhiteFollowsTheCheckBoxAtEveryRedraw) {
    StartProgram(VarteloProgram());
    ShowMainWindow();
    uitest::Click(Form1->cnb);
    Trace();
    EXPECT_TRUE(BlackAndWhite);
    // The row colours set at creation stay; only the drawing follows.
    EXPECT_EQ(Form1->Label1->Color(), TColor(0xFF752C));
    EXPECT_EQ(Form1->im->Bitmap().Canvas().Pixels(3, 3), clWhite);
    uitest::Click(Form1->cnb);
    Trace();
    EXPECT_FALSE(BlackAndWhite);
}

TEST_F(RedrawTest, TheFontHeightFollowsTheDiagonalThePercentageAndTheThickness) {
    StartProgram(QuimbelProgram());
    ShowMainWindow();
    SizeImage(800, 600);
    ASSERT_EQ(Form1->im->Width(), 800);
    ASSERT_EQ(Form1->im->Height(), 600);
    uitest::ReplaceText(Form1->Edit14, "12");
    Trace();
    EXPECT_EQ(LineThickness, 12);
    EXPECT_EQ(AxisFontHeight, 34);
    uitest::ReplaceText(Form1->Edit14, "3");
    Trace();
    EXPECT_EQ(AxisFontHeight, 17);

    // An export bitmap gets a font in proportion to its diagonal.
    TBitmap wide(1500, 1125);
    RedrawGraph(wide);
    EXPECT_EQ(AxisFontHeight, 31);
}

TEST_F(RedrawTest, AThicknessThatIsNoIntegerEndsTheRedrawSilentlyBeforeTheClearing) {
    StartProgram(VarteloProgram());
    ShowMainWindow();
    TBitmap& picture = Form1->im->Bitmap();
    Mark(picture, 50, 50, clGreen);
    uitest::ReplaceText(Form1->Edit14, "3,5");
    ClearJournal();
    Trace();
    EXPECT_EQ(journal, Journal{"sums"});
    EXPECT_TRUE(HasMark(picture, 50, 50, clGreen));
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(RedrawTest, AnUnreadableShownTextTurnsItsEditPinkUntilAFunctionTextChanges) {
    StartProgram(QuimbelProgram());
    ShowMainWindow();
    uitest::ReplaceText(Form1->Edit1, "sin(x");
    uitest::ReplaceText(Form1->Edit2, "x+");
    uitest::Click(Form1->sd2);  // hidden: not compiled, not marked
    ASSERT_FALSE(IsFunctionShown(1));
    uitest::ReplaceText(Form1->Edit3, "2x+1");
    Trace();
    EXPECT_EQ(Form1->Edit1->Color(), TColor(UnreadableTextColour));
    EXPECT_NE(Form1->Edit2->Color(), TColor(UnreadableTextColour));
    EXPECT_NE(Form1->Edit3->Color(), TColor(UnreadableTextColour));
    uitest::ReplaceText(Form1->Edit1, "sin(x)");
    EXPECT_EQ(Form1->Edit1->Color(), clWhite);
    Trace();
    EXPECT_EQ(Form1->Edit1->Color(), clWhite);
}

// x/2 restricted to [-1, 2]: the bounds are inside, a step past them is undefined.
void ExpectInclusiveDomain(long double undefined) {
    uitest::ReplaceText(Form1->Edit1, "x/2");
    uitest::Click(Form1->Button1);
    EXPECT_EQ(EvaluateInDomain(0, 3, 0, 0), 1.5L);  // the whole line by default
    DomainLower[0] = -1;
    DomainUpper[0] = 2;
    EXPECT_EQ(EvaluateInDomain(0, -1, 0, 0), -0.5L);
    EXPECT_EQ(EvaluateInDomain(0, 2, 0, 0), 1.0L);
    EXPECT_EQ(EvaluateInDomain(0, -1.000001, 0, 0), undefined);
    EXPECT_EQ(EvaluateInDomain(0, 2.000001, 0, 0), undefined);
    EXPECT_EQ(UndefinedValue, undefined);
}

TEST_F(RedrawTest, VarteloEvaluatesInsideTheDomainBoundsIncluded) {
    StartProgram(VarteloProgram());
    ShowMainWindow();
    ExpectInclusiveDomain(VarteloUndefinedValue);
}

TEST_F(RedrawTest, QuimbelEvaluatesInsideTheDomainBoundsIncluded) {
    StartProgram(QuimbelProgram());
    ShowMainWindow();
    ExpectInclusiveDomain(QuimbelUndefinedValue);
}

}  // namespace
}  // namespace plottest
