// Windows and texts that used to hang, loop or break a redraw: an abscissa or a tick value
// that no longer advances, an axis without extent, the message of a window that cannot be
// graduated, bounds the conversion refuses, and huge or non-positive thicknesses.
#include <chrono>

#include "dialogs/domains_form.h"
#include "dialogs/vertical_lines_form.h"
#include "plotter/curve_sampler.h"
#include "sound/vartelo_program.h"
#include "tests/curves/curves_fixture.h"

namespace curvetest {
namespace {

const char* const BadWindow = "Fen\xEAtre deffectueuse";

class FaultsTest : public CurvesTest {
protected:
    void SetUp() override {
        CurvesTest::SetUp();
        OnlyFunction(0, "x");
        Form1->leg->SetChecked(true);
    }
    // The whole redraw ran to its last step.
    void ExpectCompleteRedraw(TBitmap& bitmap) {
        ClearJournal();
        RedrawGraph(bitmap);
        ASSERT_FALSE(journal.empty());
        EXPECT_EQ(journal.back(), "legend");
    }
    TBitmap picture{800, 600};
};

TEST_F(FaultsTest, TheSamplerStopsWhereTheAbscissaNoLongerAdvances) {
    SetWindow("1", "1,0000000000000002", "-5", "5");
    ExpectCompleteRedraw(picture);
    EXPECT_LT(EvaluateCurveSamples(800, 600), 100);

    PreciseTracing = true;
    SetWindow("9,99999999999999", "10", "-5", "5");
    ExpectCompleteRedraw(picture);
    EXPECT_LT(EvaluateCurveSamples(800, 600), 100000);

    PreciseTracing = false;
    SetWindow("0", "5E-324", "-5", "5");  // a step of zero
    ExpectCompleteRedraw(picture);
    EXPECT_EQ(EvaluateCurveSamples(800, 600), 0);
}

TEST_F(FaultsTest, TheTickLoopsStopWhereTheValueNoLongerAdvances) {
    // Ticks every 0.2 from 1E16, where adding 0.2 gives 1E16 again.
    SetWindow("10000000000000000", "10000000000000004", "10000000000000000", "10000000000000004");
    ExpectCompleteRedraw(picture);
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(FaultsTest, AnAxisWhoseEndDoesNotExceedItsStartIsLeftUngraduated) {
    // y reversed: the x graduation is drawn, the y one not, and the redraw goes on.
    SetWindow("-5", "5", "5", "-5");
    ExpectCompleteRedraw(picture);
    EXPECT_EQ(At(picture, 560, 297), AxisColour);  // x tick at 2
    EXPECT_EQ(At(picture, 403, 60), clWhite);      // no y tick at 4 (nor -4)
    EXPECT_EQ(At(picture, 403, 540), clWhite);

    // No x extent: no curve, no vertical axis, the y ticks on the left edge.
    SetWindow("3", "3", "-5", "5");
    ExpectCompleteRedraw(picture);
    EXPECT_EQ(At(picture, 2, 60), AxisColour);

    // No y extent: no curve, the x ticks along the bottom edge.
    SetWindow("-5", "5", "2", "2");
    ExpectCompleteRedraw(picture);
    EXPECT_EQ(CountIn(picture, FunctionColours[0], 0, 0, 799, 540), 0);  // (the legend below)
    EXPECT_EQ(At(picture, 560, 597), AxisColour);
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(FaultsTest, TheBadWindowMessageIsShownOnceAndNeverWhileItIsUp) {
    SetWindow("0", "5E-324", "-5", "5");  // the x step rounds to zero
    int redrawsWhileShown = 0;
    messages.WhileShown = [&](const TMessageBoxRequest&) {
        // Any redraw while the box is up, of this picture or another one, stays silent.
        ++redrawsWhileShown;
        TBitmap other(300, 200);
        RedrawGraph(other);
        Trace();
    };
    Trace();
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.Last().Text, BadWindow);
    EXPECT_EQ(redrawsWhileShown, 1);
    // Closing the box activates the main window, which redraws the same window.
    uitest::Activate(Form1);
    Trace();
    EXPECT_EQ(messages.Count(), 1);

    // Back to a window that can be graduated; a bad one later is reported again.
    SetWindow("-5", "5", "-5", "5");
    Trace();
    SetWindow("0", "5E-324", "-5", "5");
    Trace();
    EXPECT_EQ(messages.Count(), 2);
}

TEST_F(FaultsTest, MoreThanAThousandTicksOnAnAxisShowTheMessage) {
    // 3 x ticks on a 90-pixel width make more than 1000 y ticks on 32767 rows: step 0.005.
    TBitmap tall(90, 32767);
    RedrawGraph(tall);
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.Last().Text, BadWindow);
}

TEST_F(FaultsTest, BoundsAndAbscissaeTheConversionRefusesReadAsZero) {
    Form6->Edit1->SetText("-");
    Form6->Edit2->SetText("1,2,3");
    Form6->Edit3->SetText("1E400");
    Form6->Edit4->SetText("1E400");
    ReadDomainDialog();
    EXPECT_EQ(DomainLower[0], 0);
    EXPECT_EQ(DomainUpper[0], 0);
    EXPECT_EQ(DomainLower[1], 0);
    EXPECT_EQ(DomainUpper[1], 0);

    Form9->CheckBox1->SetChecked(true);
    Form9->Edit1->SetText("1E400");
    EXPECT_EQ(GetVerticalLineX(0), 0);
    Form9->Edit1->SetText("-");
    ExpectCompleteRedraw(picture);
    EXPECT_EQ(At(picture, 400, 5), AxisColour);
}

TEST_F(FaultsTest, HugeOrNonPositiveThicknessesNeitherHangNorExhaustMemory) {
    for (const char* thickness : {"100000000", "2147483647", "0", "-5", "-16", "-1000000"}) {
        SCOPED_TRACE(thickness);
        Form1->Edit14->SetText(thickness);
        const auto start = std::chrono::steady_clock::now();
        RedrawGraph(picture);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
        EXPECT_EQ(Form1->Edit14->Text(), thickness);
    }
}

// A bound the conversion refuses does not stop the first start half way.
class FirstStartTest : public plottest::ProgramTest {};

TEST_F(FirstStartTest, AnUnreadableBoundLeavesTheFirstStartComplete) {
    StartProgram(VarteloProgram());
    Form6->Edit1->SetText("1E400");
    ShowMainWindow();
    EXPECT_FALSE(LoadingFlag);
    EXPECT_EQ(Count("snapshot"), 1);
    EXPECT_EQ(DomainLower[0], 0);
}

}  // namespace
}  // namespace curvetest
