// The areas dialog: integrals of known curves, undefined samples, rows that cannot be
// read, and the hatching between the curves with its edges, period, phase and colours.
#include <string>

#include "dialogs/areas_form.h"
#include "dialogs/areas_hatching.h"
#include "engine/number_conversion.h"
#include "platform/ui/keys.h"
#include "tests/analysis/analysis_fixture.h"

namespace analysistest {
namespace {

class AreasTest : public AnalysisTest {
protected:
    // Row r on: "Entre" first "et" second "de " lower "\xE0" upper.
    void AreaRow(int r, const std::string& first, const std::string& second, const std::string& lower,
                 const std::string& upper) {
        Form2->RowFirstFunctions[size_t(r)]->SetText(first);
        Form2->RowSecondFunctions[size_t(r)]->SetText(second);
        Form2->RowLowerBounds[size_t(r)]->SetText(lower);
        Form2->RowUpperBounds[size_t(r)]->SetText(upper);
        Form2->RowBoxes[size_t(r)]->SetChecked(true);
        UpdateAreaLabels();
    }
    std::string Result(int r) const { return Form2->RowResults[size_t(r)]->Caption(); }
    // 1000 x 1000 over -5..5 x -5..5: one unit is 100 pixels, the origin at (500, 500).
    void HatchOnto(TBitmap& picture) {
        PrepareOverlays(picture);
        DrawAreas(picture);
    }
    static bool Marked(TBitmap& picture, int x, int y, TColor colour) { return picture.Canvas().Pixels(x, y) == colour; }
};

TEST_F(AreasTest, TheAreaUnderTheDiagonalFromZeroToOneIsAHalf) {
    Start();
    SetFunction(0, "x");
    AreaRow(0, "0", "f", "0", "1");
    EXPECT_EQ(Result(0), "Int\xE9grale : 0,5");

    TBitmap picture(1000, 1000);
    HatchOnto(picture);
    // Column x = 0.5 (pixel 550) between the x-axis (row 500) and the line (row 450):
    // a mark every 10 rows where row + column is a multiple of 10.
    for (int row = 450; row <= 500; row += 10) EXPECT_TRUE(Marked(picture, 550, row, ColourF)) << row;
    EXPECT_FALSE(Marked(picture, 550, 455, ColourF));
    // The next column's marks are one row higher: strokes rising to the right.
    EXPECT_TRUE(Marked(picture, 551, 449, ColourF));
    EXPECT_FALSE(Marked(picture, 551, 450, ColourF));
    // The edge at the upper bound closes the triangle.
    for (int row = 401; row <= 500; ++row) EXPECT_TRUE(Marked(picture, 600, row, ColourF)) << row;
    // Nothing outside the triangle's box, nothing of another colour.
    EXPECT_EQ(CountColour(picture, ColourF, 0, 0, 500, 1000), 0);
    EXPECT_EQ(CountColour(picture, ColourF, 602, 0, 1000, 1000), 0);
    EXPECT_EQ(CountColour(picture, ColourF, 0, 0, 1000, 400), 0);
    EXPECT_EQ(CountColour(picture, ColourF, 0, 502, 1000, 1000), 0);
    EXPECT_EQ(CountOthers(picture, ColourF), 0);
}

TEST_F(AreasTest, ExchangedBoundsChangeTheSignAndHatchNothing) {
    Start();
    SetFunction(0, "x");
    AreaRow(0, "0", "f", "1", "0");
    EXPECT_EQ(Result(0), "Int\xE9grale : -0,5");
    TBitmap picture(1000, 1000);
    HatchOnto(picture);
    EXPECT_EQ(CountOthers(picture, clWhite), 0);
}

TEST_F(AreasTest, IntegralsOfKnownCurvesAndParameters) {
    Start();
    SetFunction(0, "x^2");
    SetFunction(1, "sin(x)");
    SetFunction(2, "ax+b");
    SetParameters("2", "3");
    AreaRow(0, "0", "f", "0", "1");
    AreaRow(1, "0", "g", "0", "pi");  // not a number: no integral
    AreaRow(2, "0", "h", "-b", "a");  // from -3 to 2 of 2x + 3
    AreaRow(3, "f", "h", "0", "1");   // (2x + 3) - x^2 from 0 to 1
    EXPECT_EQ(Result(0), "Int\xE9grale : 0,333333");
    EXPECT_EQ(Result(1), "");
    EXPECT_EQ(Result(2), "Int\xE9grale : 10");
    EXPECT_EQ(Result(3), "Int\xE9grale : 3,666667");
    Form2->Edit4->SetText("3.14159265358979");
    UpdateAreaLabels();
    EXPECT_EQ(Result(1), "Int\xE9grale : 1,999998");
}

TEST_F(AreasTest, ACurveBelowTheFirstGivesANegativeIntegralAndIsStillHatched) {
    Start();
    SetFunction(0, "x");
    SetFunction(1, "x-1");
    AreaRow(0, "f", "g", "0", "1");
    EXPECT_EQ(Result(0), "Int\xE9grale : -1");
    TBitmap picture(1000, 1000);
    HatchOnto(picture);
    // At x = 0.5, f is at row 450 and g at row 550; the band between them is hatched in
    // g's colour.
    EXPECT_TRUE(Marked(picture, 550, 450, ColourG));
    EXPECT_TRUE(Marked(picture, 550, 500, ColourG));
    EXPECT_TRUE(Marked(picture, 550, 550, ColourG));
    EXPECT_FALSE(Marked(picture, 550, 560, ColourG));
    EXPECT_EQ(CountColour(picture, ColourF), 0);
}

TEST_F(AreasTest, UndefinedSamplesAreLeftOutOfTheIntegralAndTheHatching) {
    Start();
    SetFunction(0, "racine(x)");
    AreaRow(0, "0", "f", "-1", "1");
    const std::string text = Result(0);
    ASSERT_EQ(text.rfind("Int\xE9grale : ", 0), 0u) << text;
    EXPECT_NEAR(ParseNumber(text.substr(12)), 2.0 / 3.0, 1e-3);
    TBitmap picture(1000, 1000);
    HatchOnto(picture);
    EXPECT_EQ(CountColour(picture, ColourF, 0, 0, 500, 1000), 0);
    EXPECT_GT(CountColour(picture, ColourF, 500, 0, 1000, 1000), 0);
}

TEST_F(AreasTest, TheZeroFunctionIsChosenByZeroOrByAnyTextThatIsNoLetter) {
    Start();
    SetFunction(0, "x+1");
    AreaRow(0, "0", "f", "0", "2");
    AreaRow(1, "z", "f", "0", "2");
    EXPECT_EQ(Result(0), "Int\xE9grale : 4");
    EXPECT_EQ(Result(1), "Int\xE9grale : 4");
    // A second combo box that names no function has nothing to integrate.
    AreaRow(2, "0", "q", "0", "2");
    EXPECT_EQ(Result(2), "");
}

TEST_F(AreasTest, ARowThatCannotBeReadLosesItsIntegralAndTheRowsAfterItAreComputed) {
    Start();
    SetFunction(0, "x");
    AreaRow(0, "0", "f", "0", "1");
    AreaRow(1, "0", "f", "0", "2");
    ASSERT_EQ(Result(1), "Int\xE9grale : 2");
    Form2->Edit2->SetText("1+");
    Form2->Edit4->SetText("4");
    UpdateAreaLabels();
    EXPECT_EQ(Result(0), "");
    EXPECT_EQ(Result(1), "Int\xE9grale : 8");
    // Its hatching is left out; the next row is hatched.
    TBitmap picture(1000, 1000);
    HatchOnto(picture);
    EXPECT_GT(CountColour(picture, ColourF, 700, 0, 900, 1000), 0);
    EXPECT_EQ(cursor.Current(), crDefault);
}

// A bound typed into a text that is no number takes the row's integral away at once,
// before Enter; the other rows keep theirs.
TEST_F(AreasTest, ABoundTypedUnreadableLosesItsIntegralAtOnce) {
    Start();
    SetFunction(0, "x");
    uitest::ClickMenu(Form1->Afficherlasurfaceentreaetb1);
    uitest::ReplaceText(Form2->Edit2, "1");
    uitest::ChooseItem(Form2->ComboBox4, 0);
    uitest::ReplaceText(Form2->Edit4, "2");
    uitest::Click(Form2->CheckBox1);
    uitest::Click(Form2->CheckBox2);
    ASSERT_EQ(Result(0), "Int\xE9grale : 0,5");
    ASSERT_EQ(Result(1), "Int\xE9grale : 2");

    for (const char* typed : {"1,2.3", "abc"}) {
        for (TEdit* bound : {Form2->Edit1, Form2->Edit2}) {
            uitest::ReplaceText(bound, typed);
            EXPECT_EQ(Result(0), "") << typed;
            EXPECT_EQ(Result(1), "Int\xE9grale : 2") << typed;
            uitest::PressKey(bound, VK_RETURN);
            EXPECT_EQ(Result(0), "") << typed;
            EXPECT_EQ(Result(1), "Int\xE9grale : 2") << typed;
            uitest::ReplaceText(bound, bound == Form2->Edit1 ? "0" : "1");
            uitest::PressKey(bound, VK_RETURN);
            ASSERT_EQ(Result(0), "Int\xE9grale : 0,5");
        }
    }
}

TEST_F(AreasTest, TheHatchingStartsAtTheWindowsLeftEdgeWithoutAnEdgeLine) {
    Start();
    SetFunction(0, "x");
    AreaRow(0, "0", "f", "-10", "1");
    EXPECT_EQ(Result(0), "Int\xE9grale : -49,5");
    TBitmap picture(1000, 1000);
    HatchOnto(picture);
    // Column 0 (x = -5) holds marks only, every 10 rows, not a line.
    EXPECT_TRUE(Marked(picture, 0, 510, ColourF));
    EXPECT_FALSE(Marked(picture, 0, 505, ColourF));
    EXPECT_TRUE(Marked(picture, 599, 401, ColourF));  // up to the upper bound
}

TEST_F(AreasTest, ThickLinesWidenThePeriodAndTheMarks) {
    Start();
    Form1->Edit14->SetText("6");  // period 15, each mark 6 pixels thick
    SetFunction(0, "x");
    AreaRow(0, "0", "f", "0", "3");
    TBitmap picture(1000, 1000);
    HatchOnto(picture);
    // Column 550, from row 447: the first row whose row + 550 is a multiple of 15 is 455.
    for (int row = 455; row <= 460; ++row) EXPECT_TRUE(Marked(picture, 550, row, ColourF)) << row;
    for (int row = 461; row <= 469; ++row) EXPECT_FALSE(Marked(picture, 550, row, ColourF)) << row;
    EXPECT_TRUE(Marked(picture, 550, 470, ColourF));
}

TEST_F(AreasTest, FurtherRowsShiftTheirStrokesByThePhaseStep) {
    Start();
    SetFunction(0, "x");
    AreaRow(0, "0", "f", "0", "1");
    AreaRow(1, "0", "f", "0", "1");
    AreaRow(4, "0", "f", "0", "1");
    TBitmap picture(1000, 1000);
    HatchOnto(picture);
    // Column 550: row 0's marks at 450, 460 ..., row 1's two rows above them (458, 468
    // ...), row 4's eight rows above them (452, 462 ...).
    EXPECT_TRUE(Marked(picture, 550, 460, ColourF));
    EXPECT_TRUE(Marked(picture, 550, 458, ColourF));
    EXPECT_TRUE(Marked(picture, 550, 452, ColourF));
    EXPECT_FALSE(Marked(picture, 550, 455, ColourF));
    EXPECT_FALSE(Marked(picture, 550, 454, ColourF));
}

TEST_F(AreasTest, HiddenFunctionsKeepTheirIntegralAndAreNotHatched) {
    Start();
    SetFunction(0, "x");
    SetFunction(1, "1");
    AreaRow(0, "0", "f", "0", "1");
    AreaRow(1, "g", "f", "0", "1");
    Form1->sd1->SetDown(false);
    Form1->sd2->SetDown(false);
    UpdateAreaLabels();
    EXPECT_EQ(Result(0), "Int\xE9grale : 0,5");
    EXPECT_EQ(Result(1), "Int\xE9grale : -0,5");
    TBitmap picture(1000, 1000);
    HatchOnto(picture);
    EXPECT_EQ(CountOthers(picture, clWhite), 0);
    // With f shown again, the row with the hidden g stays bare.
    Form1->sd1->SetDown(true);
    Form2->CheckBox1->SetChecked(false);
    HatchOnto(picture);
    EXPECT_EQ(CountOthers(picture, clWhite), 0);
}

TEST_F(AreasTest, BlackAndWhiteHatchesInBlack) {
    Start();
    SetFunction(0, "x");
    AreaRow(0, "0", "f", "0", "1");
    Form1->cnb->SetChecked(true);
    TBitmap picture(1000, 1000);
    HatchOnto(picture);
    EXPECT_TRUE(Marked(picture, 550, 460, clBlack));
    EXPECT_EQ(CountOthers(picture, clBlack), 0);
}

TEST_F(AreasTest, CurvesFarOffThePictureAreHatchedOnlyWhereTheyShow) {
    Start();
    SetFunction(0, "1000000000000x");
    AreaRow(0, "0", "f", "0", "1");
    TBitmap picture(1000, 1000);
    HatchOnto(picture);
    // Up to the top of the picture (row 0 is never marked).
    EXPECT_TRUE(Marked(picture, 550, 10, ColourF));
    EXPECT_TRUE(Marked(picture, 550, 490, ColourF));
    EXPECT_FALSE(Marked(picture, 550, 0, ColourF));
}

TEST_F(AreasTest, AColumnNarrowerThanThePrecisionOfXEndsTheHatching) {
    Start();
    SetWindow("1000000000000000", "1000000000000000,125", "0", "2");
    SetFunction(0, "1");
    AreaRow(0, "0", "f", "0", "2000000000000000");
    // 8000 columns of 1/64000: adding one to 10^15 leaves it as it is.
    TBitmap picture(8000, 10);
    HatchOnto(picture);
    EXPECT_EQ(cursor.Current(), crDefault);
}

TEST_F(AreasTest, TheDialogRecomputesOnItsEvents) {
    Start();
    SetFunction(0, "x");
    SetFunction(1, "2x");
    Form2->Edit2->SetText("1");
    uitest::ClickMenu(Form1->Afficherlasurfaceentreaetb1);
    uitest::Click(Form2->CheckBox1);
    EXPECT_EQ(Result(0), "Int\xE9grale : 0,5");
    uitest::ReplaceText(Form2->Edit2, "2");
    EXPECT_EQ(Result(0), "Int\xE9grale : 0,5");  // until Enter
    uitest::PressKey(Form2->Edit2, VK_RETURN);
    EXPECT_EQ(Result(0), "Int\xE9grale : 2");
    uitest::ChooseItem(Form2->ComboBox2, 1);  // g
    EXPECT_EQ(Result(0), "Int\xE9grale : 4");
    uitest::ChooseItem(Form2->ComboBox1, 1);  // between f and g
    EXPECT_EQ(Result(0), "Int\xE9grale : 2");
    uitest::Click(Form2->CheckBox1);
    EXPECT_EQ(Result(0), "");
}

}  // namespace
}  // namespace analysistest

namespace analysistest {
namespace {

// Extreme thickness texts neither overflow the hatch period nor make a mark thicker than
// the canvas would draw a pen: each hatching stays bounded by the picture.
TEST_F(AreasTest, ExtremeThicknessesHatchWithBoundedMarks) {
    Start();
    SetFunction(0, "1");
    AreaRow(0, "0", "f", "-1", "1");
    for (const char* thickness : {"2147483647", "-2147483648", "0", "-16"}) {
        Form1->Edit14->SetText(thickness);
        TBitmap picture(200, 200);
        ReadWindowFromEdits();
        CompileShownFunctions();
        DrawAreas(picture);
        EXPECT_GT(CountColour(picture, ColourF), 0) << thickness;
        EXPECT_EQ(CountOthers(picture, ColourF), 0) << thickness;
    }
}

}  // namespace
}  // namespace analysistest
