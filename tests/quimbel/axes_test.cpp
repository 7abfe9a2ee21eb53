// Quimbel's axes: the abscissae in multiples of pi with their labels, the denser x
// graduation, and the axes under the curves in a redraw, skipped while the picture is
// frozen unless a drag redraws.
#include <cmath>

#include "plotter/axes.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "tests/quimbel/quimbel_fixture.h"
#include "variants/quimbel_drawing.h"

namespace quimbeltest {
namespace {

constexpr double Pi = 3.141592653589793;

class AxesTest : public QuimbelTest {
protected:
    void SetUp() override {
        QuimbelTest::SetUp();
        Form1->Edit14->SetText("3");
        Form1->axe->SetChecked(true);
        Form1->quad->SetChecked(false);
        AbscissaInPi = 0;
    }
    void TearDown() override {
        AbscissaInPi = 0;
        QuimbelTest::TearDown();
    }
    TBitmap picture{800, 600};

    // Whether a tick reaches `rows` above the horizontal axis (row 300, 3 pixels thick).
    bool TickAt(int column, int rows) { return picture.Canvas().Pixels(column, 300 - rows) == AxisColour; }
    // Text pixels (black) in the label band under the axis around the column.
    int LabelPixelsAt(int column, int halfWidth) {
        return CountIn(picture, clBlack, column - halfWidth, 302, column + halfWidth, 302 + AxisFontHeight);
    }
};

int Column(double x, double xmin, double xmax) { return int(std::lround((x - xmin) / (xmax - xmin) * 800)); }

TEST_F(AxesTest, InMultiplesOfPiTheTicksFallEveryFifthOfPiAndEveryPiIsLabelled) {
    AbscissaInPi = 1;
    SetWindow("-10", "10", "-5", "5");
    Clear(picture);
    DrawAxesOnly(picture);
    for (int k = -15; k <= 15; ++k) {
        if (k == 0) continue;
        const int x = Column(k * 0.2 * Pi, -10, 10);
        SCOPED_TRACE(k);
        EXPECT_TRUE(TickAt(x, 3));
        EXPECT_FALSE(TickAt(x + 6, 3));
        const bool labelled = k % 5 == 0;
        // A labelled tick reaches twice as high; its label stands under the axis.
        EXPECT_EQ(TickAt(x, 5), labelled);
        if (labelled) {
            EXPECT_GT(LabelPixelsAt(x, 20), 0);
        } else if (std::abs(k % 5) == 2 || std::abs(k % 5) == 3) {
            EXPECT_EQ(LabelPixelsAt(x, 2), 0);  // half-way between two labels
        }
    }
    // The origin is not labelled.
    EXPECT_EQ(CountIn(picture, clBlack, 390, 302, 398, 302 + AxisFontHeight), 0);
    // The label is the multiple followed by the letter that the Symbol font shows as pi.
    EXPECT_EQ(XTickLabel(2 * Pi, quimbel::PiAxesStyle().PeriodUnit, quimbel::PiAxesStyle().UnitSuffix), "2p");
    EXPECT_EQ(quimbel::PiAxesStyle().UnitFontName, "Symbol");
}

TEST_F(AxesTest, TheXGraduationIsDenserThanVartelos) {
    // 30 units over 800 pixels at thickness 3: 18 ticks wanted give a step of 1, where
    // Vartelo's 13 give 2.
    SetWindow("-15", "15", "-5", "5");
    Clear(picture);
    DrawAxesOnly(picture);
    for (int v = -14; v <= 14; ++v) {
        if (v == 0) continue;
        SCOPED_TRACE(v);
        EXPECT_TRUE(TickAt(Column(v, -15, 15), 3));
        // Without multiples of pi the labels are plain numbers, every 5 units (period 5).
        EXPECT_EQ(TickAt(Column(v, -15, 15), 5), v % 5 == 0);
    }
    EXPECT_GT(LabelPixelsAt(Column(10, -15, 15), 20), 0);
    EXPECT_EQ(LabelPixelsAt(Column(7.5, -15, 15), 2), 0);
}

TEST_F(AxesTest, ATickLoopStopsWhereItsValueNoLongerAdvances) {
    // A window far from the origin and narrower than the resolution of its values: the
    // tick values cannot advance, so the loops must end with the axis drawn and no more
    // than a tick or two, instead of running on or filling the axis with ticks.
    const auto tickColumns = [this] {
        int columns = 0;
        for (int column = 0; column < 800; ++column) columns += TickAt(column, 3) ? 1 : 0;
        return columns;
    };
    SetWindow("1E17", "1,0000000000000002E17", "-5", "5");
    AbscissaInPi = 1;
    Clear(picture);
    DrawAxesOnly(picture);
    EXPECT_EQ(picture.Canvas().Pixels(400, 300), AxisColour);
    EXPECT_LE(tickColumns(), 3);
    SetWindow("-5", "5", "1E17", "1,0000000000000002E17");
    Clear(picture);
    DrawAxesOnly(picture);
    int tickRows = 0;  // beside the vertical axis, which stands on column 400
    for (int row = 0; row < 600; ++row) tickRows += picture.Canvas().Pixels(403, row) == AxisColour ? 1 : 0;
    EXPECT_EQ(picture.Canvas().Pixels(400, 300), AxisColour);
    EXPECT_LE(tickRows, 3);
}

TEST_F(AxesTest, TheCurvesCoverTheAxesAndTheGridWhereTheyCrossThem) {
    SizeImage(800, 600);
    SetWindow("-5", "5", "-5", "5");
    Form1->quad->SetChecked(true);
    OnlyFunction(0, "x");
    ClearJournal();
    Trace();
    TBitmap& image = Form1->im->Bitmap();
    ASSERT_EQ(image.Width(), 800);
    const TColor f = FunctionColours[0];
    EXPECT_EQ(image.Canvas().Pixels(400, 300), f);  // the origin, on both axes
    EXPECT_EQ(image.Canvas().Pixels(480, 240), f);  // the grid lines of x = 1 and y = 1
    EXPECT_EQ(image.Canvas().Pixels(400, 100), AxisColour);
    EXPECT_LT(std::find(journal.begin(), journal.end(), "axes"), std::find(journal.begin(), journal.end(), "curves"));
}

TEST_F(AxesTest, AFrozenPictureKeepsEarlierCurvesAndGetsNoAxesUnlessADragRedraws) {
    SizeImage(800, 600);
    SetWindow("-5", "5", "-5", "5");
    OnlyFunction(0, "x");
    Trace();
    Form1->ceffa->SetChecked(true);
    Form1->axe->SetChecked(false);  // an axes pass would now leave the axes out
    OnlyFunction(0, "-x");
    ClearJournal();
    Trace();
    TBitmap& image = Form1->im->Bitmap();
    const TColor f = FunctionColours[0];
    EXPECT_EQ(Count("axes"), 0);
    EXPECT_EQ(Count("curves"), 1);
    EXPECT_EQ(image.Canvas().Pixels(600, 150), f);  // y = x, drawn before
    EXPECT_EQ(image.Canvas().Pixels(600, 450), f);  // y = -x, drawn now
    EXPECT_EQ(image.Canvas().Pixels(400, 100), AxisColour);  // the earlier axes stay

    ForcedRedrawFlag = true;  // a drag redrawing live
    ClearJournal();
    Trace();
    ForcedRedrawFlag = false;
    EXPECT_EQ(Count("axes"), 1);
    EXPECT_NE(image.Canvas().Pixels(600, 150), f);
    EXPECT_EQ(image.Canvas().Pixels(600, 450), f);
    EXPECT_EQ(image.Canvas().Pixels(400, 100), clWhite);
}

}  // namespace
}  // namespace quimbeltest
