// The rows of the three analysis dialogs on a function whose text the user empties or
// makes unreadable: no result computed from an earlier text survives, in the rows or on
// the picture, and the rows on other functions keep theirs.
#include <string>

#include "dialogs/areas_form.h"
#include "dialogs/derivatives_form.h"
#include "dialogs/sequences_form.h"
#include "dialogs/tangents_estimate.h"
#include "platform/ui/keys.h"
#include "tests/analysis/analysis_fixture.h"

namespace analysistest {
namespace {

const std::string NotDerivable = "Tangente :  Fonction non derivable ... ";

class FunctionTextRowsTest : public AnalysisTest {
protected:
    // The user types the text of function f and presses Enter.
    void EnterF(const std::string& text) {
        uitest::ReplaceText(Form1->Edit1, text);
        uitest::PressKey(Form1->Edit1, VK_RETURN);
    }
    // f = x*x*x and g = x, with on each of them a tangent at 1, an area from 0 to 1 and a
    // sequence from 1 (rows 0 on f, rows 1 on g), switched on by clicks in the dialogs.
    void RowsOnFAndG() {
        Start();
        SizeImage(400, 400);
        uitest::ReplaceText(Form1->Edit2, "x");
        EnterF("x*x*x");

        uitest::ClickMenu(Form1->Tracerladriveena1);
        uitest::ReplaceText(Form3->Edit1, "1");
        uitest::ChooseItem(Form3->ComboBox4, 1);
        uitest::ReplaceText(Form3->Edit3, "1");
        uitest::Click(Form3->CheckBox1);
        uitest::Click(Form3->CheckBox2);

        uitest::ClickMenu(Form1->Afficherlasurfaceentreaetb1);
        uitest::ReplaceText(Form2->Edit2, "1");
        uitest::ChooseItem(Form2->ComboBox4, 1);
        uitest::ReplaceText(Form2->Edit4, "1");
        uitest::Click(Form2->CheckBox1);
        uitest::Click(Form2->CheckBox2);

        uitest::ClickMenu(Form1->un1fun1);
        uitest::ReplaceText(Form5->Edit1, "1");
        uitest::ReplaceText(Form5->Edit2, "1");
        uitest::Click(Form5->CheckBox1);
        uitest::Click(Form5->CheckBox3);
    }
    void ExpectRowsOnF() {
        EXPECT_EQ(Form3->Label20->Caption(), "Tangente : y = 3.x + -2");
        EXPECT_EQ(Form2->Label20->Caption(), "Int\xE9grale : 0,25");
        EXPECT_EQ(Form5->Label7->Caption(), "Limite =1");
    }
    void ExpectNoResultOnF() {
        EXPECT_EQ(Form3->Label20->Caption(), NotDerivable);
        EXPECT_EQ(TangentSides[0], TangentNotDerivable);
        EXPECT_EQ(Form2->Label20->Caption(), "");
        EXPECT_EQ(Form5->Label7->Caption(), "");
    }
    void ExpectRowsOnGUnchanged() {
        EXPECT_EQ(Form3->Label21->Caption(), "Tangente : y = 1.x + 0");
        EXPECT_EQ(Form2->Label21->Caption(), "Int\xE9grale : 0,5");
        EXPECT_EQ(Form5->Label8->Caption(), "Limite =1");
    }
    int PixelsOfF() { return CountColour(Form1->im->Bitmap(), ColourF); }
};

TEST_F(FunctionTextRowsTest, AnEmptiedFunctionLeavesItsRowsWithoutResultAndDrawsNothing) {
    RowsOnFAndG();
    ExpectRowsOnF();
    ExpectRowsOnGUnchanged();
    ASSERT_GT(PixelsOfF(), 0);

    EnterF("");
    ExpectNoResultOnF();
    ExpectRowsOnGUnchanged();
    // Neither the curve, nor its tangent, its hatching or its staircase.
    EXPECT_EQ(PixelsOfF(), 0);

    // The function typed again brings its results back.
    EnterF("x*x*x");
    ExpectRowsOnF();
    EXPECT_GT(PixelsOfF(), 0);
}

TEST_F(FunctionTextRowsTest, AnUnreadableFunctionLeavesItsRowsWithoutResultAndDrawsNothing) {
    RowsOnFAndG();
    EnterF("x*(");
    ExpectNoResultOnF();
    ExpectRowsOnGUnchanged();
    EXPECT_EQ(Form1->Edit1->Color(), TColor(UnreadableTextColour));
    EXPECT_EQ(PixelsOfF(), 0);
}

// A row switched on after its function was emptied while hidden has no result either.
TEST_F(FunctionTextRowsTest, ARowOnAFunctionEmptiedWhileHiddenGivesNoResult) {
    Start();
    SetFunction(0, "x*x*x");
    Trace();
    Form1->sd1->SetDown(false);
    SetFunction(0, "");
    Trace();
    Form3->Edit1->SetText("1");
    Form3->CheckBox1->SetChecked(true);
    Form2->Edit2->SetText("1");
    Form2->CheckBox1->SetChecked(true);
    Form5->Edit1->SetText("1");
    Form5->CheckBox1->SetChecked(true);
    ExpectNoResultOnF();
}

// An emptied function redrawn with "Trace" (no Enter, no row recomputed) draws no
// staircase from its earlier text.
TEST_F(FunctionTextRowsTest, AnEmptiedFunctionDrawsNoStaircaseAtTheNextRedraw) {
    Start();
    SizeImage(400, 400);
    SetFunction(0, "x/2+1");
    uitest::ClickMenu(Form1->un1fun1);
    uitest::ReplaceText(Form5->Edit1, "0");
    uitest::Click(Form5->CheckBox1);
    uitest::PressKey(Form5, VK_ESCAPE);
    Trace();
    ASSERT_GT(PixelsOfF(), 0);
    uitest::ReplaceText(Form1->Edit1, "");
    uitest::Click(Form1->Button1);
    EXPECT_EQ(PixelsOfF(), 0);
}

}  // namespace
}  // namespace analysistest
