// The curve sampler of Vartelo: its pixels against a plain walk of the samples joined one
// by one, where curves start and stop, the pen lifted at poles and at jumps of more than
// 256 rows, "Exclusif", the random keyword and the domains.
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "dialogs/domains_form.h"
#include "engine/number_conversion.h"
#include "engine/program_variant.h"
#include "engine/random_source.h"
#include "engine/rounding.h"
#include "plotter/curve_sampler.h"
#include "tests/curves/curves_fixture.h"
#include "tests/support/picture_compare.h"

namespace curvetest {
namespace {

// The same walk over the samples written plainly, every accepted sample joined to the
// previous one by its own line. The real sampler merges runs of steps into longer lines;
// its pixels must equal these.
void ReferenceCurves(TBitmap& bitmap) {
    ReadWindowFromEdits();
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    TCanvas& canvas = bitmap.Canvas();
    canvas.Pen.Width = LineThickness;
    const double a = ParseFloatOrZero(Form1->Edit15->Text());
    const double b = ParseFloatOrZero(Form1->Edit16->Text());
    const long double xmin = WindowXMin, xmax = WindowXMax, ymin = WindowYMin, ymax = WindowYMax;
    for (int i = 8; i >= 0; --i) {
        canvas.Pen.Color = BlackAndWhite ? clBlack : FunctionColours[size_t(i)];
        if (GetFunctionEdit(i)->Text().empty() || !IsFunctionShown(i)) continue;
        double dx = (WindowXMax - WindowXMin) / width;
        if (PreciseTracing) dx /= 4;
        const long double fine = static_cast<long double>(dx) / (PreciseTracing ? 4096 : 128);
        double step = dx / 8;
        long double x = xmin, prev = x, prevPy = 1;
        bool penUp = true;
        while (x < xmax) {
            x = prev + step;
            const long double y = EvaluateInDomain(i, double(x), a, b);
            const long double py = (ymax - y) / (ymax - ymin) * height;
            const long double jump = std::fabs(prevPy - py);
            prevPy = py;
            prev = x;
            if (y == UndefinedValue || py <= -1 || py >= height + 1) {
                penUp = true;
                step = dx;
                prev = x + fine;
                continue;
            }
            const int px = RoundToInt((x - xmin) / (xmax - xmin) * width);
            const int row = RoundToInt(py);
            if (penUp || jump > 256) {
                canvas.MoveTo(px, row);
                canvas.LineTo(px, row);
                penUp = false;
            } else {
                canvas.LineTo(px, row);
            }
        }
    }
}

class SamplerTest : public CurvesTest {
protected:
    TColor Colour(int i) const { return FunctionColours[size_t(i)]; }
    TBitmap picture{800, 600};
};

TEST_F(SamplerTest, DrawsTheSamePixelsAsJoiningEverySampleAtEveryThickness) {
    const std::vector<std::vector<std::string>> sets = {
        {"sin(x)", "x^2/4", "1/x", "tan(x)", "racine(x)", "ent(x)", "3*sin(5x)", "x", "0"},
        {"exp(x)/10", "-x", "x/2", "2x", "cos(20x)*4", "ln(x)", "abs(x)-3", "8,1*sin(x/3)", "1/(x-1,3)"}};
    for (const auto& functions : sets) {
        for (int i = 0; i < 9; ++i) SetFunction(i, functions[size_t(i)]);
        for (bool precise : {false, true}) {
            for (const char* thickness : {"1", "2", "3", "4", "7"}) {
                PreciseTracing = precise;
                Form1->Edit14->SetText(thickness);
                SCOPED_TRACE(functions[0] + std::string(precise ? " precise" : " normal") + " thickness " + thickness);
                TBitmap drawn(640, 640), reference(640, 640);
                DrawCurvesOnly(drawn);
                ReferenceCurves(reference);
                EXPECT_TRUE(SamePixels(drawn, reference));
            }
        }
    }
}

// Texts the quick evaluation covers, so that the sampler takes its values with their bounds.
std::string QuickText(std::mt19937& rng, int depth) {
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    static const char* atoms[] = {"x", "x", "x", "a", "2", "0,5", "3", "1,5078125", "7", "0,1"};
    static const char* unary[] = {"sin", "cos", "carre", "-", ""};
    static const char* binary[] = {"+", "-", "*", "/"};
    if (depth <= 0 || pick(4) == 0) return atoms[pick(10)];
    if (pick(3) == 0) return std::string(unary[pick(5)]) + "(" + QuickText(rng, depth - 1) + ")";
    return "(" + QuickText(rng, depth - 1) + ")" + binary[pick(4)] + "(" + QuickText(rng, depth - 1) + ")";
}

TEST_F(SamplerTest, QuickValuesDrawTheSamePixelsAsExactOnesWhereverTheyFall) {
    // Windows of whole rows per unit put values exactly on the half rows where rounding
    // ties, on the rows one off the picture, and at jumps of exactly 256 rows.
    // Windows whose abscissas are not binary fractions put the samples next to the half
    // columns, on one side or the other only in the exact evaluation's rounding.
    const char* windows[][4] = {{"-5", "5", "-5", "5"}, {"0", "2", "0", "8"}, {"-1", "3", "-2", "6"},
                                {"-100", "100", "-1E-3", "1E-3"}, {"-3", "3", "-1E6", "1E6"},
                                {"-1,3", "2,9", "-2", "6"}, {"0,1", "0,7", "-5", "5"}};
    // Values on those boundaries, some exactly, some only in the exact evaluation's rounding
    // (1/3 is not the same in either, and the second falls off a half row one way or the other).
    const std::vector<std::string> fixed = {"x*0+1,5078125", "x*0+1/3+1,1744791666666667", "x*0-0,1*3+8,315625",
                                            "x*0+8,015625", "x-x-0,015625", "x*0+0,1*3-0,315625", "256/64*x/x",
                                            "(x+1)*(x-1)/(carre(x)+a)", "sin(x)/x", "1/(x-1)", "tan(x)*0+sin(40x)*3"};
    std::mt19937 rng(9122026);
    Form1->Edit15->SetText("0,5");
    for (int round = 0; round < 6; ++round) {
        for (int i = 0; i < 9; ++i) {
            const std::size_t k = std::size_t(round * 9 + i);
            SetFunction(i, k < fixed.size() ? fixed[k] : QuickText(rng, 4));
        }
        for (const auto& window : windows) {
            SetWindow(window[0], window[1], window[2], window[3]);
            PreciseTracing = round % 2 == 1;
            Form1->Edit14->SetText(round % 3 == 0 ? "1" : "3");
            SCOPED_TRACE(GetFunctionEdit(0)->Text() + " in " + window[0] + " .. " + window[1] + ", " + window[2] +
                         " .. " + window[3]);
            TBitmap drawn(512, 512), reference(512, 512);
            DrawCurvesOnly(drawn);
            ReferenceCurves(reference);
            EXPECT_TRUE(SamePixels(drawn, reference));
        }
    }
}

TEST_F(SamplerTest, QuickValuesStopAtDomainBoundsThatAreNoDoubles) {
    // Bounds like 0,1 lie between two doubles: the walk's quick values must end and start
    // the curves where the exact ones do.
    const char* functions[] = {"sin(7x)", "x", "carre(x)*3", "1/x", "cos(x)*2", "x/2-1", "tan(x)", "ln(x)", "exp(x)"};
    for (int i = 0; i < 9; ++i) SetFunction(i, functions[i]);
    uitest::ClickMenu(Form1->Limitedudomainededefinition1);
    for (int i = 0; i < 9; ++i) {
        Form6->LowerEdits[size_t(i)]->SetText(i % 2 ? "0,1" : "-0,3");
        Form6->UpperEdits[size_t(i)]->SetText(i % 3 ? "0,7" : "1,3");
    }
    uitest::Click(Form6->Button1);
    ASSERT_EQ(EvaluateInDomain(1, 0.0999, 0, 0), UndefinedValue);
    ASSERT_NE(EvaluateInDomain(1, 0.1001, 0, 0), UndefinedValue);
    for (const char* xmax : {"1", "1,1", "2"}) {
        SetWindow("0", xmax, "-3", "3");
        TBitmap drawn(700, 300), reference(700, 300);
        DrawCurvesOnly(drawn);
        ReferenceCurves(reference);
        EXPECT_TRUE(SamePixels(drawn, reference)) << xmax;
    }
}

TEST_F(SamplerTest, SquareRootStartsAtZeroAndIsThenSampledOncePerColumn) {
    OnlyFunction(0, "racine(x)");
    DrawCurvesOnly(picture);
    EXPECT_EQ(FirstColumnWith(picture, Colour(0)), 399);  // x = 0 is column 400, pen 3 wide
    // Rejected from the first sample on: about one sample per column (each one column and
    // a 128th further than the last).
    EXPECT_NEAR(EvaluateCurveSamples(800, 600), 800, 8);

    OnlyFunction(0, "sin(x)");  // never rejected: eight per column
    CompileShownFunctions();
    EXPECT_NEAR(EvaluateCurveSamples(800, 600), 6400, 1);
    PreciseTracing = true;
    EXPECT_NEAR(EvaluateCurveSamples(800, 600), 4 * 6400, 1);
}

TEST_F(SamplerTest, TheBranchesOfOneOverXAreNotJoinedAcrossThePole) {
    OnlyFunction(0, "1/x");
    DrawCurvesOnly(picture);
    EXPECT_GT(CountIn(picture, Colour(0), 0, 0, 380, 599), 0);
    EXPECT_GT(CountIn(picture, Colour(0), 420, 0, 799, 599), 0);
    EXPECT_EQ(CountIn(picture, Colour(0), 390, 100, 410, 500), 0);
}

TEST_F(SamplerTest, AJumpOfExactly256RowsIsJoinedAndALargerOneIsNot) {
    // 64 rows a unit: ent(x) steps at x = 1 (column 256) from row 448 to row 192 or 191.
    SetWindow("0", "2", "0", "8");
    TBitmap square(512, 512);
    OnlyFunction(0, "1+4*ent(x)");
    DrawCurvesOnly(square);
    EXPECT_EQ(At(square, 256, 320), Colour(0));

    TBitmap other(512, 512);
    OnlyFunction(0, "1+4.015625*ent(x)");
    DrawCurvesOnly(other);
    EXPECT_EQ(At(other, 256, 320), clWhite);
    EXPECT_EQ(At(other, 300, 191), Colour(0));
    EXPECT_EQ(At(other, 200, 448), Colour(0));
}

TEST_F(SamplerTest, TheRandomKeywordSwitchesPreciseTracingOff) {
    PreciseTracing = true;
    Form1->re1->SetChecked(true);
    SetFunction(0, "hasard(x)", false);  // hidden: no effect
    Trace();
    EXPECT_TRUE(PreciseTracing);
    EXPECT_TRUE(Form1->re1->Checked());

    SetFunction(0, "hasard(x)", true);
    Trace();
    EXPECT_FALSE(PreciseTracing);
    EXPECT_FALSE(Form1->re1->Checked());
    EXPECT_FALSE(LoadingFlag);
}

TEST_F(SamplerTest, RandomCurvesDrawTheirNumbersInTheOrderOfOneWalkAfterAnother) {
    // The curves are walked side by side, except where one draws random numbers: the
    // shared sequence must then go to the functions from n down to f, sample by sample.
    SetRandomClock([] { return 20261209u; });
    const char* texts[] = {"sin(x)", "has(x)*2", "x/3", "has(4)-2", "cos(3x)", "carre(x)/4", "has(x)-has(1)", "x",
                           "exp(x)/9"};
    for (int i = 0; i < 9; ++i) SetFunction(i, texts[i]);
    for (int round = 0; round < 3; ++round) {
        TBitmap drawn(640, 480), reference(640, 480);
        DrawCurvesOnly(drawn);
        CompileShownFunctions();  // reseeds from the same clock
        ReferenceCurves(reference);
        EXPECT_TRUE(SamePixels(drawn, reference));
    }
    SetRandomClock({});
}

TEST_F(SamplerTest, ExclusifDrawsOnlyMAndN) {
    for (int i = 0; i < 9; ++i) SetFunction(i, std::to_string(i - 4));
    Form1->exc->SetDown(true);
    DrawCurvesOnly(picture);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(CountIn(picture, Colour(i), 0, 0, 799, 599), 0) << "function " << i;
    EXPECT_GT(CountIn(picture, Colour(7), 0, 0, 799, 599), 0);
    EXPECT_GT(CountIn(picture, Colour(8), 0, 0, 799, 599), 0);

    Form1->exc->SetDown(false);
    TBitmap all(800, 600);
    DrawCurvesOnly(all);
    for (int i = 0; i < 9; ++i) EXPECT_GT(CountIn(all, Colour(i), 0, 0, 799, 599), 0) << "function " << i;
}

TEST_F(SamplerTest, ACurveStopsAtItsDomainBoundsBothIncluded) {
    OnlyFunction(0, "1");
    uitest::ClickMenu(Form1->Limitedudomainededefinition1);
    Form6->Edit1->SetText("-2");
    Form6->Edit2->SetText("2");
    uitest::Click(Form6->Button1);
    EXPECT_EQ(EvaluateInDomain(0, -2, 0, 0), 1);
    EXPECT_EQ(EvaluateInDomain(0, 2, 0, 0), 1);
    EXPECT_EQ(EvaluateInDomain(0, std::nextafter(2.0, 3.0), 0, 0), UndefinedValue);
    EXPECT_EQ(EvaluateInDomain(0, std::nextafter(-2.0, -3.0), 0, 0), UndefinedValue);
    DrawCurvesOnly(picture);
    EXPECT_NEAR(FirstColumnWith(picture, Colour(0)), 239, 1);  // x = -2 is column 240
    EXPECT_NEAR(LastColumnWith(picture, Colour(0)), 561, 1);   // x = 2 is column 560
}

}  // namespace
}  // namespace curvetest
