// The axes, grid and graduations of Vartelo: the tick steps, the -5..5 window on an
// 800 x 600 picture, the seconds mode, hidden axes and an origin outside the window.
#include <cmath>

#include "plotter/axes.h"
#include "tests/curves/curves_fixture.h"

namespace curvetest {
namespace {

constexpr double Pi = 3.141592653589793;

TEST(TickStepTest, ChoosesOneTwoOrFiveTimesAPowerOfTenAndTheLabelPeriod) {
    TickStep t;
    ASSERT_TRUE(ComputeTickStep(1, 13, 5, -5, t));
    EXPECT_EQ(t.Step, 0.5);
    EXPECT_EQ(t.First, -5);
    EXPECT_EQ(t.Period, 4);

    ASSERT_TRUE(ComputeTickStep(1, 9.75, 5, -5, t));
    EXPECT_EQ(t.Step, 1);
    EXPECT_EQ(t.First, -5);
    EXPECT_EQ(t.Period, 5);

    ASSERT_TRUE(ComputeTickStep(1, 13, 300, 0, t));  // 300 / 13 = 23: step 20
    EXPECT_EQ(t.Step, 20);
    EXPECT_EQ(t.Period, 5);

    // The first tick is the start truncated toward zero to a multiple of the step.
    ASSERT_TRUE(ComputeTickStep(1, 13, 5, 0.3, t));  // step 0.2
    EXPECT_EQ(t.First, 0.2);
    ASSERT_TRUE(ComputeTickStep(1, 13, 5, -4.7, t));
    EXPECT_EQ(t.First, -4.5);

    ASSERT_TRUE(ComputeTickStep(2 * Pi, 13, 10, -10, t));
    EXPECT_NEAR(t.Step, 0.4 * Pi, 1e-15);
    EXPECT_NEAR(t.First, -7 * 0.4 * Pi, 1e-14);
    EXPECT_EQ(t.Period, 5);
}

TEST(TickStepTest, GivesNothingWhenTheEndDoesNotExceedTheStart) {
    TickStep t{1.5, 2.5, 3};
    EXPECT_FALSE(ComputeTickStep(1, 13, 5, 5, t));
    EXPECT_FALSE(ComputeTickStep(1, 13, -5, 5, t));
    EXPECT_EQ(t.First, 1.5);
    EXPECT_EQ(t.Step, 2.5);
}

TEST(TickStepTest, LabelsAreTenDigitNumbersWithTheUnitSuffix) {
    EXPECT_EQ(XTickLabel(-4, 1, "s"), "-4");
    EXPECT_EQ(XTickLabel(0.1 + 0.2, 1, "s"), "0,3");
    EXPECT_EQ(XTickLabel(2 * Pi, 2 * Pi, "s"), "1s");
    // The tick of -2*pi reached by adding 0.4*pi twice to the first tick, -2.8*pi.
    const double step = 0.4 * Pi;
    EXPECT_EQ(XTickLabel(-7 * step + step + step, 2 * Pi, "s"), "-1s");
}

class AxesTest : public CurvesTest {
protected:
    void SetUp() override {
        CurvesTest::SetUp();
        SetWindow("-5", "5", "-5", "5");
        Form1->Edit14->SetText("3");
    }
    // Black is the colour of the text alone (the axes are dark blue, the grid grey).
    int TextPixels(int left, int top, int right, int bottom) {
        return CountIn(picture, clBlack, left, top, right, bottom);
    }
    TBitmap picture{800, 600};
};

TEST_F(AxesTest, MinusFiveToFiveIsGraduatedEveryHalfOnXAndEveryUnitOnY) {
    DrawAxesOnly(picture);
    EXPECT_EQ(AxisFontHeight, 17);
    // The axes through the origin.
    EXPECT_EQ(At(picture, 400, 10), AxisColour);
    EXPECT_EQ(At(picture, 10, 300), AxisColour);
    // x ticks every 0.5 (80 pixels a unit) from -5 to 4.5; the labelled ones reach twice
    // as high above the axis.
    for (int k = 0; k < 20; ++k) {
        const int x = 40 * k;
        EXPECT_EQ(At(picture, x, 297), AxisColour) << "tick at column " << x;
        const bool labelled = x == 80 || x == 240 || x == 560 || x == 720;
        EXPECT_EQ(At(picture, x, 294), labelled || x == 400 ? AxisColour : clWhite) << "column " << x;
    }
    EXPECT_EQ(At(picture, 780, 297), clWhite);
    // Labels -4, -2, 2, 4 under the axis; none at the other ticks (0 never).
    for (int x : {80, 240, 560, 720}) EXPECT_GT(TextPixels(x - 25, 302, x + 25, 325), 0) << "label at " << x;
    for (int x : {0, 160, 320, 400, 480, 640}) EXPECT_EQ(TextPixels(x - 12, 302, x + 12, 325), 0) << "column " << x;

    // y ticks every unit from -5 (the bottom edge) to 4; one label, -5, half cut at the
    // bottom edge.
    for (int v = -4; v <= 4; ++v) EXPECT_EQ(At(picture, 403, 60 * (5 - v)), AxisColour) << "tick at y = " << v;
    EXPECT_EQ(At(picture, 403, 30), clWhite);
    EXPECT_GT(TextPixels(404, 585, 460, 599), 0);
    for (int v = -4; v <= 4; ++v) {
        if (v == 0) continue;
        EXPECT_EQ(TextPixels(404, 60 * (5 - v) - 10, 460, 60 * (5 - v) + 10), 0) << "y = " << v;
    }

    // The unit arrows: at x = 1 pointing right, at y = 1 pointing up.
    EXPECT_EQ(At(picture, 474, 294), AxisColour);
    EXPECT_EQ(At(picture, 474, 306), AxisColour);
    EXPECT_EQ(At(picture, 394, 246), AxisColour);
    EXPECT_EQ(At(picture, 406, 246), AxisColour);
}

TEST_F(AxesTest, AWindowOfThirtyOrMoreHasNoUnitArrow) {
    SetWindow("-15", "15", "-15", "15");
    DrawAxesOnly(picture);
    const int x1 = 427;  // Round(16 / 30 * 800)
    EXPECT_EQ(At(picture, x1 - 6, 294), clWhite);
    EXPECT_EQ(At(picture, x1 - 6, 306), clWhite);
}

TEST_F(AxesTest, TheGridIsDashedLightGreyAcrossAndGreyAlongExceptThroughTheOrigin) {
    Form1->quad->SetChecked(true);
    DrawAxesOnly(picture);
    EXPECT_GT(CountIn(picture, LightGridColour, 80, 0, 80, 599), 100);
    EXPECT_LT(CountIn(picture, LightGridColour, 80, 0, 80, 599), 560);  // dash-dot-dot
    EXPECT_EQ(CountIn(picture, LightGridColour, 400, 0, 400, 599), 0);
    EXPECT_GT(CountIn(picture, GridColour, 0, 60, 799, 60), 100);
    EXPECT_EQ(CountIn(picture, GridColour, 0, 300, 799, 300), 0);

    // From thickness 4 on the grid pen is 2 wide and the vertical lines grey too.
    Form1->Edit14->SetText("4");
    Clear(picture);
    DrawAxesOnly(picture);
    EXPECT_GT(CountIn(picture, GridColour, 80, 0, 81, 599), 100);
    EXPECT_EQ(CountIn(picture, LightGridColour, 0, 0, 799, 599), 0);
}

TEST_F(AxesTest, SecondsModeGraduatesInTwoPiAndLabelsTheWholeSeconds) {
    SetWindow("-10", "10", "-5", "5");
    AbscissaInPi = 1;
    DrawAxesOnly(picture);
    // Ticks every 0.4*pi; labels -1s and 1s at x = -2*pi and 2*pi (columns 149 and 651).
    const double step = 0.4 * Pi;
    for (int k = -7; k <= 7; ++k) {
        const int x = int(std::lround((k * step + 10) / 20 * 800));
        EXPECT_EQ(At(picture, x, 297), AxisColour) << "tick " << k;
    }
    EXPECT_GT(TextPixels(149 - 25, 302, 149 + 25, 325), 0);
    EXPECT_GT(TextPixels(651 - 25, 302, 651 + 25, 325), 0);
    EXPECT_EQ(TextPixels(0, 302, 110, 325), 0);
    EXPECT_EQ(TextPixels(190, 302, 610, 325), 0);
    EXPECT_EQ(TextPixels(690, 302, 799, 325), 0);
}

TEST_F(AxesTest, HiddenAxesKeepOnlyTheXLabelsAndTheGrid) {
    Form1->axe->SetChecked(false);
    Form1->quad->SetChecked(true);
    DrawAxesOnly(picture);
    EXPECT_EQ(CountIn(picture, AxisColour, 0, 0, 799, 599), 0);
    EXPECT_GT(TextPixels(0, 300, 799, 330), 0);
    EXPECT_EQ(TextPixels(0, 0, 799, 299), 0);
    EXPECT_EQ(TextPixels(0, 331, 799, 599), 0);
    EXPECT_GT(CountIn(picture, LightGridColour, 0, 0, 799, 599), 0);
    EXPECT_GT(CountIn(picture, GridColour, 0, 0, 799, 599), 0);
}

TEST_F(AxesTest, AnOriginOutsideTheWindowPutsTheTicksOnTheEdge) {
    // Origin left of the window: no vertical axis, the y ticks and labels on the left edge.
    SetWindow("1", "11", "-5", "5");
    DrawAxesOnly(picture);
    EXPECT_EQ(At(picture, 0, 30), clWhite);
    for (int v = -4; v <= 4; ++v) EXPECT_EQ(At(picture, 2, 60 * (5 - v)), AxisColour) << "y = " << v;
    EXPECT_GT(TextPixels(4, 585, 60, 599), 0);

    // Origin below the window: the x labels sit just above the bottom edge.
    Clear(picture);
    SetWindow("-5", "5", "1", "11");
    DrawAxesOnly(picture);
    EXPECT_EQ(At(picture, 10, 599), clWhite);  // no horizontal axis
    EXPECT_GT(TextPixels(0, 570, 799, 599), 0);
    EXPECT_EQ(TextPixels(0, 0, 395, 560), 0);  // (the y labels 5 and 10 stand beside the axis)
    EXPECT_EQ(TextPixels(470, 0, 799, 560), 0);
}

}  // namespace
}  // namespace curvetest
