// The derivatives dialog: slopes and tangent equations of known functions, the sides on
// which a function was sampled, functions without a slope, and the tangents drawn on the
// picture with their arrowheads.
#include <cstdlib>

#include "dialogs/derivatives_form.h"
#include "dialogs/tangents_drawing.h"
#include "dialogs/tangents_estimate.h"
#include "platform/ui/keys.h"
#include "tests/analysis/analysis_fixture.h"

namespace analysistest {
namespace {

class TangentsTest : public AnalysisTest {
protected:
    // Row 0 on, for function `letter` at x0.
    void TangentAt(const std::string& letter, const std::string& x0) {
        Form3->ComboBox2->SetText(letter);
        Form3->Edit1->SetText(x0);
        Form3->CheckBox1->SetChecked(true);
    }
    // The results of one redraw and the tangents drawn onto `picture` (1000 x 1000 over
    // -5..5 x -5..5: one unit is 100 pixels, the origin at (500, 500)).
    void DrawOnto(TBitmap& picture) {
        PrepareOverlays(picture);
        UpdateTangentLabels();
        DrawTangents(picture);
    }
};

TEST_F(TangentsTest, TheSquareHasSlopeTwoAtOneAndATwoSidedTangent) {
    Start();
    SetFunction(0, "x^2");
    TangentAt("f", "1");
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente : y = 2.x + -1");
    EXPECT_EQ(TangentSlopes[0], 2);
    EXPECT_EQ(TangentIntercepts[0], -1);
    EXPECT_EQ(TangentSides[0], TangentBothSides);
    EXPECT_NEAR(TangentPoints[0], 1, 1e-5);

    TBitmap picture(1000, 1000);
    DrawOnto(picture);
    // The line through (1, 1) = pixel (600, 400), 12 % of the window's width on each
    // side along the line: from (546, 507) to (654, 293).
    EXPECT_EQ(picture.Canvas().Pixels(600, 400), ColourF);
    EXPECT_GT(CountColour(picture, ColourF, 560, 300, 598, 480), 0);
    EXPECT_GT(CountColour(picture, ColourF, 602, 300, 640, 398), 0);
    EXPECT_EQ(CountColour(picture, ColourF, 0, 0, 1000, 285), 0);
    EXPECT_EQ(CountColour(picture, ColourF, 0, 515, 1000, 1000), 0);
    // An arrowhead at each end: strokes of 9 pixels, 20 degrees off the line.
    EXPECT_EQ(picture.Canvas().Pixels(648, 298), ColourF);
    EXPECT_EQ(picture.Canvas().Pixels(653, 301), ColourF);
    EXPECT_EQ(picture.Canvas().Pixels(552, 502), ColourF);
    EXPECT_EQ(CountOthers(picture, ColourF), 0);
}

TEST_F(TangentsTest, AFunctionDefinedRightOfThePointHasAOneSidedTangent) {
    Start();
    SetFunction(0, "x");
    DomainLower[0] = 0;
    TangentAt("f", "0");
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente : y = 1.x + 0");
    EXPECT_EQ(TangentSides[0], TangentRightSide);
    EXPECT_EQ(TangentPoints[0], 0.025);

    TBitmap picture(1000, 1000);
    DrawOnto(picture);
    // Centred on the last kept sample (0.025, 0.025), drawn to the right only.
    EXPECT_EQ(CountColour(picture, ColourF, 0, 0, 499, 1000), 0);
    EXPECT_GT(CountColour(picture, ColourF, 505, 0, 1000, 1000), 40);
}

TEST_F(TangentsTest, AFunctionDefinedLeftOfThePointIsDrawnToTheLeft) {
    Start();
    SetFunction(0, "2x+1");
    DomainUpper[0] = 0;
    TangentAt("f", "0");
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente : y = 2.x + 1");
    EXPECT_EQ(TangentSides[0], TangentLeftSide);
    TBitmap picture(1000, 1000);
    DrawOnto(picture);
    EXPECT_EQ(CountColour(picture, ColourF, 500, 0, 1000, 1000), 0);
    EXPECT_GT(CountColour(picture, ColourF, 0, 0, 495, 1000), 40);
}

TEST_F(TangentsTest, FunctionsWithoutASettlingSecantAreNotDerivable) {
    Start();
    SetFunction(0, "racine(x)");
    SetFunction(1, "abs(x)");
    TangentAt("f", "0");
    Form3->ComboBox4->SetText("g");
    Form3->Edit3->SetText("0");
    Form3->CheckBox2->SetChecked(true);
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente :  Fonction non derivable ... ");
    EXPECT_EQ(Form3->Label21->Caption(), "Tangente :  Fonction non derivable ... ");
    EXPECT_EQ(TangentSides[0], TangentNotDerivable);
    EXPECT_EQ(TangentSides[1], TangentNotDerivable);
    TBitmap picture(1000, 1000);
    DrawOnto(picture);
    EXPECT_EQ(CountOthers(picture, clWhite), 0);
}

// A steep function whose secant slopes settle to many digits but never within 1e-6 of
// each other still has its tangent; functions that are not derivable stay so.
TEST_F(TangentsTest, SteepFunctionsGetTheSlopeTheirSecantsSettleOn) {
    Start();
    SetFunction(0, "exp(x)");
    SetFunction(1, "x^2");
    TangentAt("f", "10");
    Form3->ComboBox4->SetText("g");
    Form3->Edit3->SetText("300");
    Form3->CheckBox2->SetChecked(true);
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente : y = 22026,5.x + -198238");
    EXPECT_EQ(TangentSides[0], TangentBothSides);
    EXPECT_NEAR(TangentSlopes[0], 22026.4658, 1e-3);
    EXPECT_EQ(Form3->Label21->Caption(), "Tangente : y = 600.x + -90000");
    // The tangent of exp at 10 is drawn: an almost vertical stretch through (10, e^10).
    SetWindow("9", "11", "22025", "22028");
    TBitmap picture(1000, 1000);
    DrawOnto(picture);
    EXPECT_GT(CountColour(picture, ColourF), 100);

    SetFunction(0, "racine(x)");
    SetFunction(1, "abs(x)");
    Form3->Edit1->SetText("0");
    Form3->Edit3->SetText("0");
    UpdateTangentLabels();
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente :  Fonction non derivable ... ");
    EXPECT_EQ(Form3->Label21->Caption(), "Tangente :  Fonction non derivable ... ");
}

TEST_F(TangentsTest, UnreadableRowsGiveTheFailureTextAndKeepTheirOtherResults) {
    Start();
    SetFunction(0, "x^2");
    TangentAt("f", "1");
    ASSERT_EQ(TangentSlopes[0], 2);
    Form3->Edit1->SetText("2*a");
    UpdateTangentLabels();
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente :  Fonction non derivable ... ");
    EXPECT_EQ(TangentSides[0], TangentNotDerivable);
    EXPECT_EQ(TangentSlopes[0], 2);  // only the side changes
    // A function combo box whose text is no letter: no function is evaluated.
    Form3->Edit1->SetText("1");
    Form3->ComboBox2->SetText("z");
    UpdateTangentLabels();
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente :  Fonction non derivable ... ");
    // An a that cannot be read.
    Form3->ComboBox2->SetText("f");
    SetParameters("x", "0");
    UpdateTangentLabels();
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente :  Fonction non derivable ... ");
}

// An abscissa typed into a text that is no number takes the row's tangent away at once,
// before Enter; the other rows keep theirs, and the next picture draws them alone.
TEST_F(TangentsTest, AnAbscissaTypedUnreadableLosesItsTangentAtOnce) {
    Start();
    SizeImage(400, 400);
    SetFunction(0, "x");
    uitest::ClickMenu(Form1->Tracerladriveena1);
    uitest::ReplaceText(Form3->Edit1, "1");
    uitest::ChooseItem(Form3->ComboBox4, 0);
    uitest::ReplaceText(Form3->Edit3, "-1");
    uitest::Click(Form3->CheckBox1);
    uitest::Click(Form3->CheckBox2);
    ASSERT_EQ(Form3->Label20->Caption(), "Tangente : y = 1.x + 0");
    ASSERT_EQ(Form3->Label21->Caption(), "Tangente : y = 1.x + 0");

    for (const char* typed : {"1,2.3", "abc"}) {
        uitest::ReplaceText(Form3->Edit1, typed);
        EXPECT_EQ(Form3->Label20->Caption(), "Tangente :  Fonction non derivable ... ") << typed;
        EXPECT_EQ(TangentSides[0], TangentNotDerivable) << typed;
        EXPECT_EQ(Form3->Label21->Caption(), "Tangente : y = 1.x + 0") << typed;
        uitest::ReplaceText(Form3->Edit1, "1");
        uitest::PressKey(Form3->Edit1, VK_RETURN);
        ASSERT_EQ(Form3->Label20->Caption(), "Tangente : y = 1.x + 0");
    }
    // The tangents lie on the line y = x (pixels where row + column = 400); only their
    // dots and arrowheads leave it. Row 0's, right of the y-axis, are gone; row 1's stay.
    TBitmap& picture = Form1->im->Bitmap();
    auto offTheLine = [&picture](int left, int right) {
        int count = 0;
        for (int x = left; x < right; ++x)
            for (int y = 0; y < 400; ++y)
                if (std::abs(x + y - 400) > 2 && picture.Canvas().Pixels(x, y) == ColourF) ++count;
        return count;
    };
    Trace();
    ASSERT_GT(offTheLine(200, 400), 0);
    uitest::ReplaceText(Form3->Edit1, "abc");
    uitest::PressKey(Form3, VK_ESCAPE);
    Trace();
    EXPECT_GT(offTheLine(0, 200), 0);
    EXPECT_EQ(offTheLine(200, 400), 0);
}

TEST_F(TangentsTest, TheEquationFollowsTheParametersAndTheDomain) {
    Start();
    SetFunction(0, "ax^2+b");
    SetParameters("3", "1");
    TangentAt("f", "a");
    // 3x^2 + 1 at x0 = 3: slope 18, ordinate at 0: 28 - 54.
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente : y = 18.x + -26");
    SetParameters("1", "0");
    Trace();
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente : y = 2.x + -1");
    // x0 beyond the domain is read as its bound.
    DomainUpper[0] = 0.5;
    Trace();
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente : y = 1.x + -0,25");
}

TEST_F(TangentsTest, HiddenFunctionsKeepTheirLabelAndDrawNothing) {
    Start();
    SetFunction(0, "x^2");
    TangentAt("f", "1");
    Form1->sd1->SetDown(false);
    TBitmap picture(1000, 1000);
    DrawOnto(picture);
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente : y = 2.x + -1");
    EXPECT_EQ(CountOthers(picture, clWhite), 0);
}

TEST_F(TangentsTest, BlackAndWhiteDrawsTheTangentInBlack) {
    Start();
    SetFunction(0, "x^2");
    TangentAt("f", "1");
    Form1->cnb->SetChecked(true);
    TBitmap picture(1000, 1000);
    DrawOnto(picture);
    EXPECT_EQ(CountColour(picture, ColourF), 0);
    EXPECT_EQ(picture.Canvas().Pixels(600, 400), clBlack);
    EXPECT_EQ(CountOthers(picture, clBlack), 0);
}

TEST_F(TangentsTest, TheDrawnTangentCentresOnItsPointWithThickerLines) {
    Start();
    SetFunction(1, "-x");
    Form1->Edit14->SetText("5");
    TangentAt("g", "2");
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente : y = -1.x + 0");
    TBitmap picture(1000, 1000);
    DrawOnto(picture);
    EXPECT_EQ(picture.Canvas().Pixels(700, 700), ColourG);
    // Thick lines: the pixels beside the line belong to it too.
    EXPECT_EQ(picture.Canvas().Pixels(740, 742), ColourG);
    EXPECT_EQ(CountColour(picture, ColourF), 0);
}

TEST_F(TangentsTest, AnUnreadableAbscissaDoesNotStopTheRestOfThePicture) {
    Start();
    int curvesDrawn = 0;
    auto curves = RedrawSteps().DrawFunctionCurves;
    RedrawSteps().DrawFunctionCurves = [&curvesDrawn, curves](TBitmap& bitmap) {
        ++curvesDrawn;
        if (curves) curves(bitmap);
    };
    SetFunction(0, "x");
    TangentAt("f", "zz");
    Trace();
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente :  Fonction non derivable ... ");
    // The curves are drawn after the tangents.
    EXPECT_EQ(curvesDrawn, 1);
    EXPECT_EQ(cursor.Current(), crDefault);
}

TEST_F(TangentsTest, TheDialogRecomputesOnItsEvents) {
    Start();
    SetFunction(0, "x^2");
    SetFunction(1, "x^3");
    Form3->Edit1->SetText("1");
    uitest::ClickMenu(Form1->Tracerladriveena1);
    uitest::Click(Form3->CheckBox1);
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente : y = 2.x + -1");
    uitest::ReplaceText(Form3->Edit1, "2");
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente : y = 2.x + -1");  // until Enter
    uitest::PressKey(Form3->Edit1, VK_RETURN);
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente : y = 4.x + -4");
    uitest::ChooseItem(Form3->ComboBox2, 1);  // g
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente : y = 12.x + -16");
    uitest::Click(Form3->CheckBox1);
    EXPECT_EQ(Form3->Label20->Caption(), "");
}

}  // namespace
}  // namespace analysistest
