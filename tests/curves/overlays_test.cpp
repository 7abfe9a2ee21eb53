// The domains dialog, the vertical lines dialog and the legend: reading the bounds, the
// dialogs' keys and buttons, the lines' columns and colours, the legend's lines, and
// black and white.
#include "dialogs/domains_form.h"
#include "dialogs/legend.h"
#include "dialogs/vertical_lines_form.h"
#include "platform/ui/keys.h"
#include "plotter/undo_snapshot.h"
#include "tests/curves/curves_fixture.h"

namespace curvetest {
namespace {

TEST(DomainBoundTest, InfinitiesInAnyCaseNumbersAndEverythingElseAsZero) {
    EXPECT_EQ(ParseDomainBound("inf"), DomainInfinity);
    EXPECT_EQ(ParseDomainBound("Inf"), DomainInfinity);
    EXPECT_EQ(ParseDomainBound("INF"), DomainInfinity);
    EXPECT_EQ(ParseDomainBound("-inf"), -DomainInfinity);
    EXPECT_EQ(ParseDomainBound("-INF"), -DomainInfinity);
    EXPECT_GT(DomainInfinity, 3.77e260L);
    EXPECT_LT(DomainInfinity, 3.78e260L);
    EXPECT_EQ(ParseDomainBound(" inf"), 0);
    EXPECT_EQ(ParseDomainBound("infini"), 0);
    EXPECT_EQ(ParseDomainBound("2.5"), 2.5);
    EXPECT_EQ(ParseDomainBound("-3,25"), -3.25);
    EXPECT_EQ(ParseDomainBound(""), 0);
    // Texts the number conversion refuses read as 0 too, instead of failing.
    EXPECT_EQ(ParseDomainBound("-"), 0);
    EXPECT_EQ(ParseDomainBound("1,2,3"), 0);
    EXPECT_EQ(ParseDomainBound("1E400"), 0);
}

class DialogsTest : public CurvesTest {
protected:
    void SetUp() override {
        CurvesTest::SetUp();
        UndoSnapshotTaker() = [this] { ++snapshots; };
    }
    void TearDown() override {
        UndoSnapshotTaker() = nullptr;
        CurvesTest::TearDown();
    }
    int snapshots = 0;
};

TEST_F(DialogsTest, ShowingTheDomainsDialogTakesASnapshotAndValiderReadsTheBounds) {
    uitest::ClickMenu(Form1->Limitedudomainededefinition1);
    EXPECT_TRUE(Form6->Visible());
    EXPECT_EQ(snapshots, 1);
    uitest::ReplaceText(Form6->Edit3, "-1");
    uitest::ReplaceText(Form6->Edit4, "3.5");
    EXPECT_EQ(DomainLower[1], -DomainInfinity);  // nothing read yet
    uitest::Click(Form6->Button1);
    EXPECT_FALSE(Form6->Visible());
    EXPECT_EQ(DomainLower[1], -1);
    EXPECT_EQ(DomainUpper[1], 3.5);
    EXPECT_EQ(DomainLower[0], -DomainInfinity);
    EXPECT_EQ(DomainUpper[8], DomainInfinity);
}

TEST_F(DialogsTest, EnterConfirmsAndEscLeavesWithoutReading) {
    uitest::ClickMenu(Form1->Limitedudomainededefinition1);
    uitest::ReplaceText(Form6->Edit5, "0");
    uitest::PressKey(Form6->Edit5, VK_RETURN);
    EXPECT_FALSE(Form6->Visible());
    EXPECT_EQ(DomainLower[2], 0);

    uitest::ClickMenu(Form1->Limitedudomainededefinition1);
    uitest::ReplaceText(Form6->Edit5, "7");
    uitest::PressKey(Form6->Edit5, VK_ESCAPE);
    EXPECT_FALSE(Form6->Visible());
    EXPECT_EQ(DomainLower[2], 0);
    EXPECT_EQ(Form6->Edit5->Text(), "7");
}

TEST_F(DialogsTest, EachInfinityButtonResetsOnlyItsOwnRowUntilTheNextConfirmation) {
    uitest::ClickMenu(Form1->Limitedudomainededefinition1);
    for (TEdit* edit : Form6->LowerEdits) edit->SetText("1");
    for (TEdit* edit : Form6->UpperEdits) edit->SetText("2");
    uitest::Click(Form6->Button1);
    uitest::ClickMenu(Form1->Limitedudomainededefinition1);
    uitest::Click(Form6->Button4);  // row h
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(Form6->LowerEdits[size_t(k)]->Text(), k == 2 ? "-inf" : "1");
        EXPECT_EQ(Form6->UpperEdits[size_t(k)]->Text(), k == 2 ? "inf" : "2");
    }
    EXPECT_EQ(DomainLower[2], 1);
    uitest::Click(Form6->Button1);
    EXPECT_EQ(DomainLower[2], -DomainInfinity);
    EXPECT_EQ(DomainUpper[2], DomainInfinity);
    EXPECT_EQ(DomainLower[3], 1);
}

TEST_F(DialogsTest, TheVerticalLinesDialogHidesOnEnterOrValiderWithoutASnapshot) {
    uitest::ClickMenu(Form1->Droiteverticale1);
    EXPECT_TRUE(Form9->Visible());
    EXPECT_EQ(snapshots, 0);
    uitest::PressKey(Form9->Edit2, VK_RETURN);
    EXPECT_FALSE(Form9->Visible());
    uitest::ClickMenu(Form1->Droiteverticale1);
    uitest::Click(Form9->Button1);
    EXPECT_FALSE(Form9->Visible());
}

class OverlaysTest : public CurvesTest {
protected:
    TBitmap picture{800, 600};
    void Prepare() {
        BlackAndWhite = Form1->cnb->Checked();
        ReadWindowFromEdits();
        AxisFontHeight = ComputeAxisFontHeight(picture.Width(), picture.Height());
    }
};

TEST_F(OverlaysTest, VerticalLinesStandAtTheirExactColumnsInTheirColour) {
    Form9->CheckBox1->SetChecked(true);
    Form9->Edit1->SetText("1.5");  // column Round(6.5 / 10 * 800) = 520
    Form9->CheckBox2->SetChecked(true);
    Form9->Edit2->SetText("pi");   // not a number: x = 0, column 400
    Form9->Edit3->SetText("-3");   // not checked
    Prepare();
    DrawVerticalLines(picture);
    for (int x : {519, 520, 521, 399, 400, 401}) {
        EXPECT_EQ(At(picture, x, 0), VerticalLineColour) << x;
        EXPECT_EQ(At(picture, x, 599), VerticalLineColour) << x;
    }
    EXPECT_EQ(At(picture, 518, 300), clWhite);
    EXPECT_EQ(At(picture, 522, 300), clWhite);
    EXPECT_EQ(CountIn(picture, VerticalLineColour, 150, 0, 170, 599), 0);

    Form1->cnb->SetChecked(true);
    Prepare();
    DrawVerticalLines(picture);
    EXPECT_EQ(At(picture, 520, 300), clBlack);
}

TEST_F(OverlaysTest, TheLegendListsTheShownFunctionsInTheirColoursAtTheBottomRight) {
    SetFunction(0, "x^2");
    SetFunction(1, "");
    SetFunction(2, "sin(x)");
    SetFunction(3, "cos(x)", false);
    Prepare();
    picture.Canvas().Brush.Color = clBlack;
    picture.Canvas().FillRect(TRect{0, 0, 800, 600});
    DrawLegend(picture);
    const int h = AxisFontHeight;  // 17
    const TColor f = FunctionColours[0], hColour = FunctionColours[2];
    // f's line above h's line, the last one h + 2 pixels above the bottom edge.
    const int hTop = 600 - (h + 2), fTop = 600 - 2 * (h + 2);
    EXPECT_GT(CountIn(picture, f, 600, fTop, 799, hTop - 1), 0);
    EXPECT_EQ(CountIn(picture, f, 0, hTop, 799, 599), 0);
    EXPECT_GT(CountIn(picture, hColour, 600, hTop, 799, 599), 0);
    EXPECT_EQ(CountIn(picture, hColour, 0, 0, 799, hTop - 1), 0);
    EXPECT_EQ(CountIn(picture, FunctionColours[3], 0, 0, 799, 599), 0);
    // Opaque white cells, the widest reaching the right edge; nothing above or left.
    EXPECT_GT(CountIn(picture, clWhite, 799, fTop, 799, 599), 0);
    EXPECT_EQ(CountIn(picture, clWhite, 0, 0, 799, fTop - 1), 0);
    EXPECT_EQ(CountIn(picture, clWhite, 0, 0, 500, 599), 0);
}

TEST_F(OverlaysTest, BlackAndWhiteGivesOnlyBlackOnWhite) {
    SetFunction(0, "sin(x)");
    SetFunction(1, "1/x");
    SetFunction(6, "x^2/4");
    Form1->quad->SetChecked(true);
    Form1->leg->SetChecked(true);
    Form9->CheckBox1->SetChecked(true);
    Form9->Edit1->SetText("2");
    Form1->cnb->SetChecked(true);
    RedrawGraph(picture);
    EXPECT_EQ(CountIn(picture, clBlack, 0, 0, 799, 599) + CountIn(picture, clWhite, 0, 0, 799, 599), 800 * 600);
    EXPECT_GT(CountIn(picture, clBlack, 0, 0, 799, 599), 5000);
}

}  // namespace
}  // namespace curvetest
