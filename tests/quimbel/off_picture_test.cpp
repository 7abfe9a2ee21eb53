// Quimbel's sampler off the picture: steep stretches crossed in few evaluations with the
// same picture as homing in a fine step at a time (up to the column where a curve comes
// back), and the budget of work that ends a redraw that would take too long.
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/redraw_pipeline.h"
#include "tests/quimbel/fine_homing_walk.h"
#include "tests/quimbel/quimbel_fixture.h"
#include "variants/quimbel_drawing.h"

namespace quimbeltest {
namespace {

using quimbel::WalkFunction;

class OffPictureTest : public QuimbelTest {
protected:
    void SetUp() override {
        QuimbelTest::SetUp();
        Form1->Edit14->SetText("3");
        PreciseTracing = false;
    }

    // Every shown function drawn by homing a fine step at a time, from n down to f, as the
    // sampler orders them; the columns where a curve comes back onto the picture.
    std::vector<int> DrawWithFineHomingOnly(TBitmap& bitmap) {
        ReadWindowFromEdits();
        CompileShownFunctions();
        std::vector<int> reentries;
        TCanvas& canvas = bitmap.Canvas();
        canvas.Pen.Width = LineThickness;
        canvas.Pen.Style = psSolid;
        canvas.Pen.Mode = pmCopy;
        for (int i = FunctionCount - 1; i >= 0; --i) {
            if (GetFunctionEdit(i)->Text().empty() || !IsFunctionShown(i)) continue;
            canvas.Pen.Color = FunctionColours[size_t(i)];
            fineEvaluations += DrawWithFineHoming(i, bitmap, reentries);
        }
        return reentries;
    }
    std::int64_t fineEvaluations = 0;
};

struct Scene {
    const char* function;  // nullptr: the nine functions below
    const char* xmin;
    const char* xmax;
    const char* ymin;
    const char* ymax;
    bool precise;
    int width, height;
};

const char* const NineFunctions[9] = {"sin(x)", "cos(3x)", "x^2/4", "1/x", "tan(x)",
                                      "racine(x)", "ln(x)", "exp(x)/10", "ent(x)"};

// Scenes where homing a fine step at a time finishes quickly enough for a test, among them
// long steep stretches off the picture before and after the curve, poles, undefined
// stretches, curves that turn back just inside or just outside the picture, and a line
// that is steep on every scale of a very flat window.
const Scene Scenes[] = {
    {"(x*x-4)^2*50-5,5", "-5", "5", "-5", "5", false, 800, 600},
    {"(x*x-4)^2*50-4,95", "-5", "5", "-5", "5", false, 800, 600},
    {"x^10", "-5", "5", "-5", "5", false, 800, 600},
    {"x^10", "-4", "4", "-5", "5", true, 400, 300},
    {"exp(3*x)", "-5", "5", "-5", "5", false, 800, 600},
    {"exp(x)", "-5", "5", "-5", "5", true, 800, 600},
    {"1/x", "-5", "5", "-5", "5", true, 800, 600},
    {"tan(x)", "-5", "5", "-5", "5", true, 800, 600},
    {"tan(x)", "-5", "5", "-5", "5", false, 800, 600},
    {"x", "-5", "5", "-0,000001", "0,000001", false, 800, 600},
    {"1/(x*x-1)+x^5", "-3", "3", "-5", "5", true, 600, 400},
    {nullptr, "-5", "5", "-5", "5", false, 800, 600},
    {nullptr, "-5", "5", "-5", "5", true, 800, 600},
};

TEST_F(OffPictureTest, PicturesAgreeWithFineHomingExceptWhereACurveComesBack) {
    for (const Scene& scene : Scenes) {
        const std::string name = std::string(scene.function ? scene.function : "nine functions") +
                                 (scene.precise ? ", precise" : ", normal");
        SCOPED_TRACE(name);
        if (scene.function) {
            OnlyFunction(0, scene.function);
        } else {
            for (int i = 0; i < FunctionCount; ++i) GetFunctionEdit(i)->SetText(NineFunctions[i]);
        }
        SetWindow(scene.xmin, scene.xmax, scene.ymin, scene.ymax);
        PreciseTracing = scene.precise;

        TBitmap fine(scene.width, scene.height), ours(scene.width, scene.height);
        fineEvaluations = 0;
        std::vector<int> reentries = DrawWithFineHomingOnly(fine);
        DrawCurvesOnly(ours);
        std::int64_t evaluations = 0;
        for (int i = 0; i < FunctionCount; ++i) {
            if (GetFunctionEdit(i)->Text().empty()) continue;
            const quimbel::SampledWalk walk = WalkFunction(i, scene.width, scene.height);
            EXPECT_FALSE(walk.BudgetSpent);
            evaluations += walk.Evaluations;
            const long double xmin = WindowXMin, xextent = WindowXMax - xmin;
            for (size_t n = 1; n < walk.Points.size(); ++n)
                if (walk.Points[n].Accepted && !walk.Points[n - 1].Accepted)
                    reentries.push_back(int(std::lround((walk.Points[n].X - xmin) / xextent * scene.width)));
        }
        // Never more work than homing a fine step at a time.
        EXPECT_LE(evaluations, fineEvaluations + fineEvaluations / 10 + 100);

        int differing = 0, outsideReentries = 0;
        for (int y = 0; y < scene.height; ++y)
            for (int x = 0; x < scene.width; ++x) {
                if (fine.Canvas().Pixels(x, y) == ours.Canvas().Pixels(x, y)) continue;
                ++differing;
                bool nearReentry = false;
                for (const int column : reentries) nearReentry |= std::abs(x - column) <= 2;
                if (!nearReentry) {
                    if (++outsideReentries <= 3) ADD_FAILURE() << "pixel (" << x << ", " << y << ") differs";
                }
            }
        EXPECT_EQ(outsideReentries, 0) << differing << " pixels differ in all";
    }
}

// The scenes that homing a fine step at a time takes seconds to cross at the size of a
// large screen (55 to 1000 million evaluations with precise tracing; its pictures and
// these agree to the pixel): each is crossed in a small part of the budget, and drawn from
// where the curve comes onto the picture to where it leaves it.
TEST_F(OffPictureTest, SteepStretchesOffThePictureAreCrossedInFewEvaluations) {
    struct Steep {
        const char* function;
        const char* extent;
        double enters, leaves;  // where the curve is on the picture
    };
    const double left = -std::pow(5.0, 0.1);
    for (const Steep& steep : {Steep{"exp(3*x)", "5", -5, std::log(5.0) / 3}, Steep{"exp(4*x)", "5", -5, std::log(5.0) / 4},
                               Steep{"x^10", "5", left, -left}, Steep{"exp(10*x)", "5", -5, std::log(5.0) / 10},
                               Steep{"x^2", "1E8", -1E4, 1E4}}) {
        for (const bool precise : {false, true}) {
            SCOPED_TRACE(std::string(steep.function) + (precise ? ", precise" : ", normal"));
            OnlyFunction(0, steep.function);
            SetWindow(std::string("-") + steep.extent, steep.extent, std::string("-") + steep.extent, steep.extent);
            PreciseTracing = precise;
            const quimbel::SampledWalk walk = WalkFunction(0, 1920, 1080);
            EXPECT_FALSE(walk.BudgetSpent);
            EXPECT_FALSE(walk.Stalled);
            EXPECT_LT(walk.Evaluations, 20000);
            const double column = (WindowXMax - WindowXMin) / 1920;
            for (const auto& p : walk.Points) {
                if (!p.Accepted) continue;
                EXPECT_GE(p.X, steep.enters - column);
                EXPECT_LE(p.X, steep.leaves + column);
            }
            if (steep.extent == std::string("5")) {
                ASSERT_FALSE(walk.Points.empty());
                const auto [first, last] = FirstAndLastAccepted(walk);
                ASSERT_TRUE(first && last);
                EXPECT_LE(first->X, steep.enters + 1.5 * column);
                EXPECT_GE(last->X, steep.leaves - 1.5 * column);
            }
        }
    }
}

// A curve that oscillates within every column keeps precise tracing searching point after
// point (it would take hours): the redraw ends when its work is spent, and the other
// curves still get their share.
TEST_F(OffPictureTest, ARedrawThatWouldTakeTooLongEndsWhenItsWorkIsSpent) {
    SetWindow("-1E8", "1E8", "-5", "5");
    PreciseTracing = true;
    Form1->re1->SetChecked(true);
    OnlyFunction(1, "sin(x)");
    const quimbel::SampledWalk alone = WalkFunction(1, 1920, 1080);
    EXPECT_TRUE(alone.BudgetSpent);
    EXPECT_FALSE(alone.Stalled);
    EXPECT_GE(alone.Evaluations, quimbel::EvaluationBudget(1920, 1080));
    EXPECT_LE(alone.Evaluations, quimbel::EvaluationBudget(1920, 1080) + 100);
    ASSERT_FALSE(alone.Points.empty());
    EXPECT_LT(alone.Points.back().X, WindowXMax);

    // With a line beside it, through the "Trace" button: the oscillating curve gets its
    // share and no more (g is walked before f), and the line is drawn across the picture.
    GetFunctionEdit(0)->SetText("x*4/100000000");
    SizeImage(1920, 1080);
    Trace();
    TBitmap& picture = Form1->im->Bitmap();
    const int width = picture.Width(), height = picture.Height();
    EXPECT_GT(CountIn(picture, FunctionColours[0], 0, 0, width / 10, height - 1), 0);
    EXPECT_GT(CountIn(picture, FunctionColours[0], width - width / 10, 0, width - 1, height - 1), 0);
    EXPECT_GT(CountIn(picture, FunctionColours[1], 0, 0, width / 4, height - 1), 0);
    EXPECT_FALSE(WalkFunction(0, width, height).BudgetSpent);
    EXPECT_TRUE(PreciseTracing);
}

}  // namespace
}  // namespace quimbeltest
