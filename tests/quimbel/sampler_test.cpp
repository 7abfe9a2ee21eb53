// Quimbel's adaptive sampler: smooth curves drawn in one piece in both modes, the step
// that shrinks on steep stretches and grows on flat ones, poles and steps never joined,
// and walks that cannot advance.
#include <cmath>
#include <string>
#include <vector>

#include "engine/rounding.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/redraw_pipeline.h"
#include "tests/quimbel/quimbel_fixture.h"
#include "tests/support/picture_compare.h"
#include "variants/quimbel_drawing.h"

namespace quimbeltest {
namespace {

using quimbel::WalkFunction;

class SamplerTest : public QuimbelTest {
protected:
    void SetUp() override {
        QuimbelTest::SetUp();
        SetWindow("-5", "5", "-5", "5");
        Form1->Edit14->SetText("3");
        PreciseTracing = false;
    }
    TColor Colour(int i) const { return FunctionColours[size_t(i)]; }
    TBitmap picture{800, 600};
};

int SegmentsOf(const quimbel::SampledWalk& walk) {
    int segments = 0;
    for (const auto& p : walk.Points) segments += p.Accepted && p.StartsSegment;
    return segments;
}

// The largest distance between consecutive accepted points whose abscissae lie in lo .. hi.
long double LargestGap(const quimbel::SampledWalk& walk, long double lo, long double hi) {
    long double gap = 0;
    const quimbel::SampledPoint* last = nullptr;
    for (const auto& p : walk.Points) {
        if (!p.Accepted) continue;
        if (last && last->X >= lo && p.X <= hi) gap = std::max(gap, p.X - last->X);
        last = &p;
    }
    return gap;
}

TEST_F(SamplerTest, ASmoothCurveIsOnePieceInBothModesWithAStepThatFollowsTheSlope) {
    OnlyFunction(0, "x*x");
    for (const bool precise : {false, true}) {
        SCOPED_TRACE(precise ? "precise" : "normal");
        PreciseTracing = precise;
        Clear(picture);
        DrawCurvesOnly(picture);
        EXPECT_EQ(ConnectedPieces(picture, Colour(0)), 1);
        const quimbel::SampledWalk walk = WalkFunction(0, 800, 600);
        EXPECT_FALSE(walk.Stalled);
        EXPECT_EQ(SegmentsOf(walk), 1);
        // The parabola enters the picture at x = -sqrt(5) and leaves it at sqrt(5).
        const double column = 10.0 / 800 / (precise ? 4 : 1);
        // Steep (3 to 4 rows a column): normal mode divides the step at each point where
        // the jump is too large; precise mode searches the step (see the next test).
        if (!precise) {
            EXPECT_LE(LargestGap(walk, 1.8, 2.2), column / 2);
        }
        EXPECT_GT(LargestGap(walk, -0.3, 0.3), column);  // flat near the vertex: grown
    }
}

TEST_F(SamplerTest, PreciseTracingKeepsConsecutivePointsAboutOneRowApart) {
    OnlyFunction(0, "x*x");
    PreciseTracing = true;
    const quimbel::SampledWalk walk = WalkFunction(0, 800, 600);
    int steep = 0, inBand = 0;
    const quimbel::SampledPoint* last = nullptr;
    for (const auto& p : walk.Points) {
        if (!p.Accepted) continue;
        if (last && std::fabs(p.X) > 1) {
            ++steep;
            const long double jump = std::fabs(p.Row - last->Row);
            inBand += jump >= 0.5 && jump <= 1.4;
        }
        last = &p;
    }
    ASSERT_GT(steep, 100);
    EXPECT_GT(inBand, steep * 9 / 10);
    // On the picture, normal mode costs one evaluation a point; precise mode searches.
    SetWindow("-2", "2", "-5", "5");
    const quimbel::SampledWalk searched = WalkFunction(0, 800, 600);
    PreciseTracing = false;
    const quimbel::SampledWalk normal = WalkFunction(0, 800, 600);
    EXPECT_EQ(normal.Evaluations, std::int64_t(normal.Points.size()));
    EXPECT_GT(searched.Evaluations, std::int64_t(searched.Points.size()));
}

TEST_F(SamplerTest, TheBranchesOfAPoleAreNeverJoined) {
    OnlyFunction(0, "1/x");
    for (const bool precise : {false, true}) {
        SCOPED_TRACE(precise ? "precise" : "normal");
        PreciseTracing = precise;
        Clear(picture);
        DrawCurvesOnly(picture);
        // A line joining the branches would cross the middle rows near the pole.
        EXPECT_EQ(CountIn(picture, Colour(0), 395, 100, 405, 500), 0);
        EXPECT_GT(CountIn(picture, Colour(0), 0, 300, 399, 599), 0);  // left branch, below
        EXPECT_GT(CountIn(picture, Colour(0), 401, 0, 799, 300), 0);  // right branch, above
        const quimbel::SampledWalk walk = WalkFunction(0, 800, 600);
        bool crossed = false;
        for (const auto& p : walk.Points) {
            if (!p.Accepted || p.X <= 0) continue;
            EXPECT_TRUE(p.StartsSegment) << "the first point right of the pole opens a segment";
            crossed = true;
            break;
        }
        EXPECT_TRUE(crossed);
    }
}

TEST_F(SamplerTest, EachUnitStepOfTheIntegerPartIsASegmentOfItsOwn) {
    OnlyFunction(0, "ent(x)");
    PreciseTracing = true;
    EXPECT_EQ(SegmentsOf(WalkFunction(0, 800, 600)), 11);
    PreciseTracing = false;
    EXPECT_EQ(SegmentsOf(WalkFunction(0, 800, 600)), 11);
    Clear(picture);
    DrawCurvesOnly(picture);
    // Between the rows of 0 and 1 (300 and 240) at x = 1 (column 480): no vertical line.
    EXPECT_EQ(CountIn(picture, Colour(0), 470, 248, 490, 292), 0);
    EXPECT_GT(CountIn(picture, Colour(0), 440, 238, 520, 242), 0);
    EXPECT_GT(CountIn(picture, Colour(0), 440, 298, 470, 302), 0);
    EXPECT_GE(ConnectedPieces(picture, Colour(0)), 10);
}

TEST_F(SamplerTest, UndefinedPointsAndPointsOffThePictureAreNotDrawn) {
    OnlyFunction(0, "racine(x)");
    Clear(picture);
    DrawCurvesOnly(picture);
    EXPECT_EQ(CountIn(picture, Colour(0), 0, 0, 397, 599), 0);
    EXPECT_GT(CountIn(picture, Colour(0), 402, 0, 799, 599), 0);
    EXPECT_EQ(ConnectedPieces(picture, Colour(0)), 1);

    OnlyFunction(0, "7");  // above the picture
    Clear(picture);
    DrawCurvesOnly(picture);
    EXPECT_EQ(CountIn(picture, Colour(0), 0, 0, 799, 599), 0);
}

TEST_F(SamplerTest, FunctionsAreDrawnFromNDownToFSoThatFEndsOnTop) {
    OnlyFunction(8, "x");
    GetFunctionEdit(0)->SetText("x");
    Clear(picture);
    DrawCurvesOnly(picture);
    EXPECT_EQ(picture.Canvas().Pixels(400, 300), Colour(0));
    EXPECT_EQ(CountIn(picture, Colour(8), 0, 0, 799, 599), 0);
}

TEST_F(SamplerTest, TheRandomKeywordSwitchesPreciseTracingOff) {
    Form1->re1->SetChecked(true);
    PreciseTracing = true;
    OnlyFunction(0, "hasard(x)");
    Clear(picture);
    DrawCurvesOnly(picture);
    EXPECT_FALSE(PreciseTracing);
    EXPECT_FALSE(Form1->re1->Checked());
}

// A window one double wide on a very wide picture: the step is below the resolution of the
// abscissa, and an undefined function never grows it again.
TEST_F(SamplerTest, AWalkWhoseAbscissaNoLongerAdvancesStops) {
    SetWindow("1", "1,0000000000000002", "-5", "5");
    OnlyFunction(0, "racine(-1-x*x)");
    for (const bool precise : {false, true}) {
        SCOPED_TRACE(precise ? "precise" : "normal");
        PreciseTracing = precise;
        const quimbel::SampledWalk walk = WalkFunction(0, 8000, 600);
        EXPECT_TRUE(walk.Stalled);
        EXPECT_LT(walk.Evaluations, 10000);
    }
    // A drawable function on the same window gets its step back and reaches the end.
    OnlyFunction(0, "1");
    PreciseTracing = false;
    const quimbel::SampledWalk walk = WalkFunction(0, 8000, 600);
    EXPECT_FALSE(walk.Stalled);
    ASSERT_FALSE(walk.Points.empty());
    EXPECT_GE(walk.Points.back().X, 1.0000000000000002L);
}

TEST_F(SamplerTest, AnEmptyWindowOrPictureDrawsNothing) {
    OnlyFunction(0, "x");
    SetWindow("-5", "5", "1", "1");
    EXPECT_TRUE(WalkFunction(0, 800, 600).Points.empty());
    SetWindow("5", "-5", "-5", "5");
    EXPECT_TRUE(WalkFunction(0, 800, 600).Points.empty());
    SetWindow("-5", "5", "-5", "5");
    EXPECT_TRUE(WalkFunction(0, 0, 600).Points.empty());
}

}  // namespace
}  // namespace quimbeltest

namespace quimbeltest {
namespace {

// Off the picture with the pen up and moving by more than 2 rows a sample, the walk homes
// in on the curve: it finds where the curve comes onto the picture (and where it leaves
// it) to within a column, and the stretch off the picture costs a few evaluations a column.
// The picture of a walk's points, each accepted one joined to the one before by its own line.
void DrawPointByPoint(const quimbel::SampledWalk& walk, TBitmap& bitmap) {
    ReadWindowFromEdits();
    TCanvas& canvas = bitmap.Canvas();
    canvas.Pen.Width = LineThickness;
    canvas.Pen.Color = clBlack;
    const long double xmin = WindowXMin, xextent = WindowXMax - xmin;
    for (const auto& p : walk.Points) {
        if (!p.Accepted) continue;
        const int px = RoundToInt((p.X - xmin) / xextent * bitmap.Width()), row = RoundToInt(p.Row);
        if (p.StartsSegment) canvas.MoveTo(px, row);
        canvas.LineTo(px, row);
    }
}

TEST_F(SamplerTest, CurvesWalkedSideBySideAreThoseOfWalksOneAfterAnotherAlsoWhereTheWorkRunsOut) {
    uitest::Click(Form1->cnb);  // black and white: one colour for every curve
    const std::vector<std::vector<std::string>> scenes = {
        {"sin(x)", "cos(3x)", "x^2/4", "1/x", "tan(x)", "racine(x)", "ln(x)", "exp(x)/10", "ent(x)"},
        // Over -20 .. 20 with precise tracing, the first walked needs little, the two after it
        // more than an equal share of the work, and the second more than the first left it.
        {"", "", "", "", "", "", "cos(997x)", "sin(1000x)", "x/2"}};
    for (const auto& scene : scenes) {
        for (const bool precise : {false, true}) {
            for (const char* thickness : {"1", "3"}) {
                PreciseTracing = precise;
                Form1->Edit14->SetText(thickness);
                const bool heavy = scene[8] == "x/2";
                if (heavy && (!precise || thickness[0] == '1')) continue;
                SetWindow(heavy ? "-20" : "-5", heavy ? "20" : "5", "-5", "5");
                for (int i = 0; i < 9; ++i) {
                    GetFunctionEdit(i)->SetText(scene[size_t(i)]);
                    Form1->ShowButtons[size_t(i)]->SetDown(true);
                }
                SCOPED_TRACE(scene[8] + (precise ? " precise " : " normal ") + thickness);
                TBitmap drawn(900, 500), reference(900, 500);
                DrawCurvesOnly(drawn);
                const quimbel::SampledWalk walks = WalkFunction(-1, 900, 500);
                DrawPointByPoint(walks, reference);
                EXPECT_TRUE(SamePixels(drawn, reference));
                if (heavy && precise) {
                    EXPECT_TRUE(walks.BudgetSpent);
                    EXPECT_GE(walks.Evaluations, quimbel::EvaluationBudget(900, 500));
                }
            }
        }
    }
}

TEST_F(SamplerTest, ASteepCurveOffThePictureIsCrossedByHoming) {
    const double edge = std::pow(5.0, 0.1);  // x^10 comes down through the top edge at -edge
    const double column = 10.0 / 800;
    for (const bool precise : {false, true}) {
        SCOPED_TRACE(precise ? "precise" : "normal");
        PreciseTracing = precise;
        OnlyFunction(0, "x^10");
        const quimbel::SampledWalk walk = WalkFunction(0, 800, 600);
        EXPECT_FALSE(walk.Stalled);
        EXPECT_FALSE(walk.BudgetSpent);
        EXPECT_LT(walk.Evaluations, (precise ? 10 : 3) * 800);
        const auto [first, last] = FirstAndLastAccepted(walk);
        ASSERT_TRUE(first && last);
        EXPECT_NEAR(static_cast<double>(first->X), -edge, column);
        EXPECT_NEAR(static_cast<double>(last->X), edge, column);
        Clear(picture);
        DrawCurvesOnly(picture);
        EXPECT_GT(CountIn(picture, Colour(0), 0, 0, 799, 2), 0);  // at the top edge
        EXPECT_EQ(CountIn(picture, Colour(0), 0, 0, 400 - 100, 599), 0);
        EXPECT_EQ(CountIn(picture, Colour(0), 400 + 100, 0, 799, 599), 0);
    }
}

}  // namespace
}  // namespace quimbeltest
