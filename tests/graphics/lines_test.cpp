// The line rasteriser: end points, colours, widths, caps, styles, inversion, clamping.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "graphics/pixel_helpers.h"
#include "platform/graphics/bitmap.h"

namespace {

TBitmap& Fresh(TBitmap& b, int w = 64, int h = 48) {
    b.SetSize(w, h);
    b.Canvas().Brush.Color = clWhite;
    b.Canvas().FillRect(Rect(0, 0, w, h));
    return b;
}

TEST(ColourValue, RedSitsInTheLowByte) {
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412u);
    EXPECT_EQ(GetRValue(clRed), 0xFF);
    EXPECT_EQ(ColorToPixel(RGB(44, 117, 255)), 0xFF2C75FFu);
    EXPECT_EQ(PixelToColor(0xFF2C75FFu), RGB(44, 117, 255));

    TBitmap b(4, 4);
    b.Canvas().SetPixels(1, 1, 0xFF752C);  // a COLORREF: red 44, green 117, blue 255
    EXPECT_EQ(b.Canvas().Pixels(1, 1), TColor(0xFF752C));
    EXPECT_EQ(b.Canvas().Pixels(0, 0), clWhite);
}

TEST(ThinLine, StartsOnItsFirstPointAndLeavesOutItsLast) {
    TBitmap b;
    Fresh(b);
    TCanvas& c = b.Canvas();
    c.Pen.Color = RGB(1, 2, 3);
    c.MoveTo(5, 7);
    c.LineTo(40, 20);
    EXPECT_EQ(c.Pixels(5, 7), RGB(1, 2, 3));
    EXPECT_EQ(c.Pixels(40, 20), clWhite);
    EXPECT_EQ(c.Pixels(39, 20), RGB(1, 2, 3));
    EXPECT_EQ(CountColor(b, RGB(1, 2, 3)), 35);  // one pixel per column of the major axis
    EXPECT_EQ(c.PenPos(), Point(40, 20));

    // Connected segments meet without a gap and without covering a pixel twice.
    c.Pen.Mode = pmNot;
    Fresh(b);
    c.MoveTo(10, 10);
    c.LineTo(30, 10);
    c.LineTo(30, 30);
    c.LineTo(10, 10);
    EXPECT_EQ(CountColor(b, clBlack), 20 + 20 + 20);
    EXPECT_EQ(c.Pixels(30, 10), clBlack);
}

TEST(ThinLine, SteepAndBackwardLinesHitTheirEnds) {
    TBitmap b;
    Fresh(b);
    TCanvas& c = b.Canvas();
    const TPoint ends[][2] = {{{30, 40}, {33, 2}}, {{50, 5}, {2, 9}}, {{20, 20}, {5, 35}}};
    for (const auto& e : ends) {
        Fresh(b);
        c.MoveTo(e[0].X, e[0].Y);
        c.LineTo(e[1].X, e[1].Y);
        EXPECT_EQ(c.Pixels(e[0].X, e[0].Y), clBlack);
        EXPECT_EQ(c.Pixels(e[1].X, e[1].Y), clWhite);
        const int n = std::max(std::abs(e[1].X - e[0].X), std::abs(e[1].Y - e[0].Y));
        EXPECT_EQ(CountColor(b, clBlack), n);
    }
    Fresh(b);
    c.MoveTo(8, 8);
    c.LineTo(8, 8);  // a line to the pen position draws nothing at width 1
    EXPECT_EQ(CountColor(b, clBlack), 0);
}

// Pixel i of a line of n steps along its major axis lies i steps from the start along it
// and round(i * minor / n) across, halves away from the start: every segment of a set
// that runs in all directions and partly or wholly off the bitmap.
TEST(ThinLine, EveryPixelFollowsTheRoundingRule) {
    TBitmap b;
    std::uint32_t seed = 12345;
    auto next = [&seed](int lo, int hi) {
        seed = seed * 1664525u + 1013904223u;
        return lo + int((seed >> 8) % std::uint32_t(hi - lo + 1));
    };
    for (int k = 0; k < 400; ++k) {
        const int x0 = next(-40, 100), y0 = next(-40, 90), x1 = next(-40, 100), y1 = next(-40, 90);
        Fresh(b);
        b.Canvas().MoveTo(x0, y0);
        b.Canvas().LineTo(x1, y1);
        std::vector<TColor> expected(64 * 48, clWhite);
        const int dx = x1 - x0, dy = y1 - y0;
        const int n = std::max(std::abs(dx), std::abs(dy));
        const bool xMajor = std::abs(dx) >= std::abs(dy);
        for (int i = 0; i < n; ++i) {
            const int major = (xMajor ? dx : dy) < 0 ? -i : i;
            const int across = (2 * i * std::abs(xMajor ? dy : dx) + n) / (2 * n);
            const int minor = (xMajor ? dy : dx) < 0 ? -across : across;
            const int x = x0 + (xMajor ? major : minor), y = y0 + (xMajor ? minor : major);
            if (x >= 0 && x < 64 && y >= 0 && y < 48) expected[size_t(y * 64 + x)] = clBlack;
        }
        ASSERT_EQ(Snapshot(b), expected) << "(" << x0 << ", " << y0 << ") to (" << x1 << ", " << y1 << ")";
    }
}

TEST(WideLine, CoversExactlyItsWidthAndEndsInRoundCaps) {
    TBitmap b;
    TCanvas& c = b.Canvas();
    for (int width : {2, 3, 4, 7}) {
        Fresh(b, 80, 60);
        c.Pen.Width = width;
        c.MoveTo(20, 30);
        c.LineTo(60, 30);
        int rows = 0;
        for (int y = 0; y < 60; ++y) rows += c.Pixels(40, y) == clBlack;
        EXPECT_EQ(rows, width) << "width " << width;
        const Box box = BoundingBox(b);
        EXPECT_EQ(box.bottom - box.top + 1, width);
    }
    // Vertical: the same number of columns.
    Fresh(b, 80, 60);
    c.Pen.Width = 3;
    c.MoveTo(40, 5);
    c.LineTo(40, 50);
    const Box v = BoundingBox(b);
    EXPECT_EQ(v.right - v.left + 1, 3);
    EXPECT_EQ(v.top, 4);  // the cap includes the end points
    EXPECT_EQ(v.bottom, 51);

    // Width 5: the cap is round, its corners stay empty.
    Fresh(b, 80, 60);
    c.Pen.Width = 5;
    c.MoveTo(20, 30);
    c.LineTo(60, 30);
    EXPECT_EQ(c.Pixels(62, 30), clBlack);
    EXPECT_EQ(c.Pixels(62, 31), clBlack);
    EXPECT_EQ(c.Pixels(62, 32), clWhite);
    EXPECT_EQ(c.Pixels(61, 32), clBlack);
    EXPECT_EQ(c.Pixels(63, 30), clWhite);
    EXPECT_EQ(c.Pixels(18, 30), clBlack);
    EXPECT_EQ(c.Pixels(18, 28), clWhite);

    // A wide pen dots a point with a line to itself (the curve sampler opens segments so).
    Fresh(b, 80, 60);
    c.Pen.Width = 3;
    c.MoveTo(10, 10);
    c.LineTo(10, 10);
    const Box dot = BoundingBox(b);
    EXPECT_EQ(dot.left, 9);
    EXPECT_EQ(dot.right, 11);
    EXPECT_EQ(dot.top, 9);
    EXPECT_EQ(dot.bottom, 11);
}

TEST(WideLine, ADotOverAnythingDrawnSinceIsPaintedAgain) {
    TBitmap b;
    Fresh(b, 40, 40);
    TCanvas& c = b.Canvas();
    c.Pen.Width = 3;
    c.MoveTo(5, 20);
    c.LineTo(20, 20);
    c.SetPixels(21, 20, clWhite);  // changes the picture under the round end
    c.LineTo(20, 20);
    EXPECT_EQ(c.Pixels(21, 20), clBlack);
    c.Brush.Color = clWhite;
    c.FillRect(Rect(0, 0, 40, 40));
    c.LineTo(20, 20);
    EXPECT_EQ(CountColor(b, clBlack), 9);
    c.Pen.Color = clRed;  // another colour paints the dot again too
    c.LineTo(20, 20);
    EXPECT_EQ(CountColor(b, clRed), 9);
}

TEST(StyledLine, DashDotDotAtWidthOne) {
    TBitmap b;
    Fresh(b, 100, 10);
    TCanvas& c = b.Canvas();
    c.Pen.Style = psDashDotDot;
    c.MoveTo(0, 5);
    c.LineTo(96, 5);
    std::string row;
    for (int x = 0; x < 24; ++x) row += c.Pixels(x, 5) == clBlack ? '#' : '.';
    EXPECT_EQ(row, "#########...###...###...");
    for (int x = 24; x < 96; ++x) EXPECT_EQ(c.Pixels(x, 5), c.Pixels(x % 24, 5)) << x;

    // The pattern runs on across connected LineTo calls.
    Fresh(b, 100, 10);
    c.MoveTo(0, 5);
    c.LineTo(10, 5);
    c.LineTo(24, 5);
    std::string joined;
    for (int x = 0; x < 24; ++x) joined += c.Pixels(x, 5) == clBlack ? '#' : '.';
    EXPECT_EQ(joined, row);

    // A line that starts off the bitmap has used up the pattern of its pixels off it.
    Fresh(b, 100, 10);
    c.MoveTo(-7, 5);
    c.LineTo(90, 5);
    std::string shifted, expected;
    for (int x = 0; x < 80; ++x) {
        shifted += c.Pixels(x, 5) == clBlack ? '#' : '.';
        expected += row[size_t((x + 7) % 24)];
    }
    EXPECT_EQ(shifted, expected);

    // Wider styled pens draw solid.
    Fresh(b, 100, 10);
    c.Pen.Width = 2;
    c.MoveTo(0, 5);
    c.LineTo(50, 5);
    for (int x = 0; x < 50; ++x) ASSERT_EQ(c.Pixels(x, 5), clBlack) << x;

    Fresh(b, 100, 10);
    c.Pen.Width = 1;
    c.Pen.Style = psClear;
    c.MoveTo(0, 5);
    c.LineTo(50, 5);
    EXPECT_EQ(CountColor(b, clWhite), 1000);
    EXPECT_EQ(c.PenPos(), Point(50, 5));
}

TEST(InvertingPen, TwiceRestoresThePicture) {
    TBitmap b;
    Fresh(b, 60, 40);
    TCanvas& c = b.Canvas();
    c.Pen.Color = RGB(200, 30, 90);
    c.Pen.Width = 4;
    c.MoveTo(0, 0);
    c.LineTo(59, 39);
    c.SetPixels(30, 5, RGB(10, 20, 30));
    const auto before = Snapshot(b);

    c.Pen.Mode = pmNot;
    c.Pen.Color = clRed;  // the colour plays no part in inversion
    for (int width : {1, 3}) {
        c.Pen.Width = width;
        c.MoveTo(5, 35);
        c.LineTo(55, 2);
        c.LineTo(30, 5);
        EXPECT_NE(Snapshot(b), before);
        EXPECT_EQ(c.Pixels(5, 35), PixelToColor(~ColorToPixel(before[35 * 60 + 5]) | 0xFF000000u));
        c.MoveTo(5, 35);
        c.LineTo(55, 2);
        c.LineTo(30, 5);
        EXPECT_EQ(Snapshot(b), before) << "width " << width;
    }
}

TEST(DrawingLimits, HugeInputsFinishQuickly) {
    TBitmap b;
    Fresh(b, 200, 100);
    TCanvas& c = b.Canvas();
    const auto start = std::chrono::steady_clock::now();
    c.MoveTo(-2000000000, 50);
    c.LineTo(2000000000, 50);  // crosses the whole bitmap
    for (int x = 0; x < 200; ++x) ASSERT_EQ(c.Pixels(x, 50), clBlack) << x;
    c.MoveTo(INT32_MIN, INT32_MIN);
    c.LineTo(INT32_MAX, INT32_MAX);
    c.Pen.Width = 1000000000;
    c.LineTo(0, 0);
    c.Pen.Width = -5;  // below 1 draws at width 1
    Fresh(b, 200, 100);
    c.MoveTo(10, 10);
    c.LineTo(20, 10);
    EXPECT_EQ(CountColor(b, clBlack), 10);
    c.Pen.Width = INT32_MAX;
    c.MoveTo(INT32_MIN, 0);
    c.LineTo(INT32_MAX, 99);
    EXPECT_EQ(CountColor(b, clBlack), 200 * 100);
    c.Ellipse(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
    c.Rectangle(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
    c.FillRect(Rect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(DrawingLimits, FarEndPointsKeepTheSlopeOnTheBitmap) {
    TBitmap b;
    Fresh(b, 100, 100);
    TCanvas& c = b.Canvas();
    // y = x / 2 through the origin, with the far end 2^30 pixels out.
    c.MoveTo(0, 0);
    c.LineTo(1 << 30, 1 << 29);
    for (int x = 0; x < 100; x += 10) EXPECT_EQ(c.Pixels(x, x / 2), clBlack) << x;
}

}  // namespace
