// Text: cell heights, placement at the top left of the cell, background, colour, fonts.
// Checked through extents and colours of the drawn pixels, never through glyph shapes.
#include <gtest/gtest.h>

#include <chrono>

#include "graphics/gui_environment.h"
#include "graphics/pixel_helpers.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/font_qt.h"
#include "platform/graphics/fonts.h"

#include <QFontMetrics>

namespace {

class CanvasText : public ::testing::Test {
protected:
    void SetUp() override { TestGuiApplication(); }
};

TEST_F(CanvasText, PositiveHeightIsTheCellNegativeTheEm) {
    TBitmap b(10, 10);
    TCanvas& c = b.Canvas();
    for (int h : {10, 17, 34, 100}) {
        c.Font.Height = h;
        const int cell = c.TextHeight("x");
        EXPECT_LE(cell, h);
        EXPECT_GE(cell, h - 2) << h;
        EXPECT_EQ(c.TextHeight(""), cell);
    }
    // The em is smaller than the cell it sits in.
    c.Font.Height = -40;
    const int emCell = c.TextHeight("x");
    c.Font.Height = 40;
    EXPECT_GT(emCell, c.TextHeight("x"));
    c.Font.SetSize(12);
    EXPECT_EQ(c.Font.Height, -16);
    EXPECT_EQ(c.Font.Size(), 12);
}

TEST_F(CanvasText, WidthGrowsWithTheTextAndWithBold) {
    TBitmap b(10, 10);
    TCanvas& c = b.Canvas();
    c.Font.Height = 20;
    EXPECT_EQ(c.TextWidth(""), 0);
    const int one = c.TextWidth("8");
    EXPECT_GT(one, 0);
    EXPECT_EQ(c.TextWidth("888"), 3 * one);  // no kerning: advances add up
    c.Font.Bold = true;
    EXPECT_GT(c.TextWidth("Abcdefgh"), [&] {
        c.Font.Bold = false;
        const int w = c.TextWidth("Abcdefgh");
        c.Font.Bold = true;
        return w;
    }());
    // "Arial" has the metrics of the face fontconfig gives for it.
    c.Font.Bold = false;
    c.Font.Name = "Arial";
    const int arial = c.TextWidth("Quimbel 2,5E-7");
    c.Font.Name = "Liberation Sans";
    EXPECT_EQ(c.TextWidth("Quimbel 2,5E-7"), arial);
}

// Measures and writings one after the other, as the graduation makes them: each one
// meets the font and the text as they are at that moment.
TEST_F(CanvasText, EachMeasureFollowsTheFontAndTheTextOfTheMoment) {
    TBitmap b(300, 100);
    TCanvas& c = b.Canvas();
    c.Font.Height = 20;
    const int one = c.TextWidth("8");
    const int cell = c.TextHeight("8");
    EXPECT_EQ(c.TextWidth("88"), 2 * one);
    EXPECT_EQ(c.TextWidth("8"), one);
    c.Font.Height = 40;
    EXPECT_GT(c.TextWidth("8"), one);
    EXPECT_GT(c.TextHeight("8"), cell);
    c.Font.Height = 20;
    EXPECT_EQ(c.TextWidth("8"), one);
    EXPECT_EQ(c.TextHeight("8"), cell);
    c.Font.Bold = true;
    const int bold = c.TextWidth("Abcdefgh");
    c.Font.Bold = false;
    EXPECT_LT(c.TextWidth("Abcdefgh"), bold);
    c.Font.Name = "Symbol";
    const int greek = c.TextWidth("w");  // omega
    c.Font.Name = "Arial";
    EXPECT_NE(c.TextWidth("w"), greek);
    c.Font.Color = clRed;  // the colour changes no measure
    EXPECT_EQ(c.TextWidth("8"), one);

    // The pen moves by the width of the text written, whatever was measured before.
    c.TextWidth("8888");
    c.TextOut(10, 10, "88");
    EXPECT_EQ(c.PenPos().X, 10 + 2 * one);
    c.Font.Height = 40;
    c.TextOut(10, 50, "88");
    EXPECT_EQ(c.PenPos().X, 10 + c.TextWidth("88"));
    EXPECT_GT(c.PenPos().X, 10 + 2 * one);
}

TEST_F(CanvasText, SolidBrushFillsExactlyTheCellAtItsTopLeft) {
    TBitmap b(300, 120);
    TCanvas& c = b.Canvas();
    c.Font.Height = 30;
    c.Font.Color = clBlack;
    c.Brush.Color = clYellow;
    c.Brush.Style = bsSolid;
    const std::string label = "y = 2.x + -1 \xE9";
    c.TextOut(40, 25, label);
    const Box box = BoundingBox(b);
    EXPECT_EQ(box.left, 40);
    EXPECT_EQ(box.top, 25);
    EXPECT_EQ(box.right, 40 + c.TextWidth(label) - 1);
    EXPECT_EQ(box.bottom, 25 + c.TextHeight(label) - 1);
    // No antialiasing: every pixel of the cell is the brush or the font colour.
    const int cellArea = c.TextWidth(label) * c.TextHeight(label);
    EXPECT_EQ(CountColor(b, clYellow) + CountColor(b, clBlack), cellArea);
    EXPECT_GT(CountColor(b, clBlack), 50);
    EXPECT_EQ(c.PenPos(), Point(40 + c.TextWidth(label), 25));
}

TEST_F(CanvasText, ClearBrushLeavesTheBackgroundAndDrawsInsideTheCell) {
    TBitmap b(300, 120);
    TCanvas& c = b.Canvas();
    c.Brush.Color = RGB(200, 220, 240);
    c.FillRect(Rect(0, 0, 300, 120));
    c.Brush.Style = bsClear;
    c.Font.Height = 40;
    c.Font.Color = RGB(34, 0, 153);
    c.TextOut(20, 30, "Hg-4");
    const Box box = BoundingBox(b, RGB(200, 220, 240));
    ASSERT_FALSE(box.Empty());
    EXPECT_GE(box.left, 20);
    EXPECT_LE(box.left, 20 + 6);
    EXPECT_GE(box.top, 30);
    EXPECT_LE(box.top, 30 + 12);  // the capital starts below the cell top by the internal leading
    EXPECT_LT(box.bottom, 30 + c.TextHeight("Hg-4"));
    EXPECT_GT(box.bottom, 30 + c.TextHeight("Hg-4") * 3 / 4);  // the descender of g
    EXPECT_LT(box.right, 20 + c.TextWidth("Hg-4"));
    const int area = 300 * 120;
    EXPECT_EQ(CountColor(b, RGB(200, 220, 240)) + CountColor(b, RGB(34, 0, 153)), area);
}

TEST_F(CanvasText, SymbolFaceShowsGreekLetters) {
    TBitmap b(200, 60);
    TCanvas& c = b.Canvas();
    c.Brush.Style = bsClear;
    c.Font.Height = 30;
    c.Font.Name = "Symbol";
    c.TextOut(10, 10, "2p");
    EXPECT_GT(CountColor(b, clBlack), 20);
    EXPECT_GT(c.TextWidth("p"), 0);

    // The letter after the digit is drawn: its ink reaches well right of the digit's own,
    // and as far as an Arial digit's width (the pi sign is about as wide as a digit).
    TBitmap digit(200, 60);
    digit.Canvas().Brush.Style = bsClear;
    digit.Canvas().Font = c.Font;
    digit.Canvas().TextOut(10, 10, "2");
    const Box withPi = BoundingBox(b);
    const Box alone = BoundingBox(digit);
    ASSERT_FALSE(alone.Empty());
    EXPECT_GE(withPi.right - alone.right, (alone.right - alone.left) * 2 / 3);
    // In the face drawn, the sign is the letter pi itself (not a stand-in glyph).
    EXPECT_TRUE(QFontMetrics(QtFontOf(c.Font)).inFontUcs4(0x03C0));
}

TEST_F(CanvasText, OutsideAndHugeInputsAreHarmless) {
    TBitmap b(100, 50);
    TCanvas& c = b.Canvas();
    c.Font.Height = 20;
    c.TextOut(100, 0, "right of the bitmap");
    c.TextOut(-1000, 0, "left");
    c.TextOut(0, -500, "above");
    c.TextOut(INT32_MIN, INT32_MIN, "far");
    EXPECT_EQ(CountColor(b, clWhite), 100 * 50);
    EXPECT_EQ(c.PenPos().Y, INT32_MIN);

    const auto start = std::chrono::steady_clock::now();
    c.Font.Height = 1000000000;
    EXPECT_LE(c.TextHeight("x"), TCanvas::MaxFontHeight);
    c.TextOut(0, 0, "x");
    c.Font.Height = -1000000000;
    c.TextOut(0, 0, "x");
    c.Font.Height = 20;
    const std::string longText(20000, 'w');
    c.TextOut(-c.TextWidth(longText) + 50, 0, longText);  // only its tail shows
    EXPECT_LT(CountColor(b, clWhite), 100 * 50);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST_F(CanvasText, WidgetFontsFollowTheCanvasRules) {
    TBitmap b(10, 10);
    TFont font;
    font.Height = 25;
    font.Bold = true;
    b.Canvas().Font = font;
    const QFontMetrics metrics(QtFontOf(font, true));
    EXPECT_EQ(metrics.ascent() + metrics.descent(), b.Canvas().TextHeight("x"));
    font.Name = "Symbol";
    EXPECT_EQ(QtTextOf(font, "2p"), QString::fromUtf16(u"2\u03C0"));
    font.Name = "Arial";
    EXPECT_EQ(QtTextOf(font, "\xE9t\xE9"), QString::fromUtf16(u"\u00E9t\u00E9"));
}

TEST_F(CanvasText, InstalledFontsIncludeTheLabelFace) {
    const auto names = InstalledFontNames();
    EXPECT_FALSE(names.empty());
    EXPECT_NE(std::find(names.begin(), names.end(), "Liberation Sans"), names.end());
}

}  // namespace
