// Bitmaps, filled rectangles, outlined rectangles, ellipses and single pixels.
#include <gtest/gtest.h>

#include "graphics/pixel_helpers.h"
#include "platform/graphics/bitmap.h"

namespace {

TEST(BitmapStore, StartsWhiteAndKeepsItsPixelsWhenResized) {
    TBitmap b(30, 20);
    EXPECT_EQ(b.Width(), 30);
    EXPECT_EQ(b.Height(), 20);
    EXPECT_EQ(CountColor(b, clWhite), 600);

    b.Canvas().Brush.Color = clBlue;
    b.Canvas().FillRect(Rect(0, 0, 30, 20));
    b.SetWidth(40);  // the way a resize handler sets width, then height
    b.SetHeight(10);
    EXPECT_EQ(b.Width(), 40);
    EXPECT_EQ(b.Height(), 10);
    EXPECT_EQ(b.Canvas().Pixels(29, 9), clBlue);
    EXPECT_EQ(b.Canvas().Pixels(30, 0), clWhite);
    EXPECT_EQ(CountColor(b, clBlue), 300);
    b.SetSize(50, 25);
    EXPECT_EQ(CountColor(b, clBlue), 300);
    EXPECT_EQ(CountColor(b, clWhite), 50 * 25 - 300);

    b.SetSize(-4, 10);  // a negative size is an empty bitmap; drawing on it does nothing
    EXPECT_EQ(b.Width(), 0);
    EXPECT_TRUE(b.Empty());
    b.Canvas().MoveTo(0, 0);
    b.Canvas().LineTo(5, 5);
    b.Canvas().FillRect(Rect(0, 0, 5, 5));
    EXPECT_EQ(b.Canvas().Pixels(0, 0), clInvalid);
}

TEST(BitmapStore, APictureOfScreenSizeBehavesLikeASmallOne) {
    // Pictures of several megabytes are stored apart from small ones.
    TBitmap b(1100, 1000);
    EXPECT_EQ(CountColor(b, clWhite), 1100 * 1000);
    b.Canvas().Brush.Color = clBlue;
    b.Canvas().FillRect(Rect(0, 0, 1100, 1000));
    b.Canvas().SetPixels(1099, 999, clRed);
    b.SetSize(1200, 990);
    EXPECT_EQ(b.Canvas().Pixels(1099, 989), clBlue);
    EXPECT_EQ(b.Canvas().Pixels(1100, 0), clWhite);
    EXPECT_EQ(CountColor(b, clBlue), 1100 * 990);
    b.SetSize(1200, 1000);
    EXPECT_EQ(b.Canvas().Pixels(1099, 999), clWhite);  // cut off before: white again

    TBitmap copy;
    copy.Assign(b);
    b.Canvas().SetPixels(5, 5, clRed);
    EXPECT_EQ(copy.Canvas().Pixels(5, 5), clBlue);
    EXPECT_EQ(CountColor(copy, clBlue), 1100 * 990);
    EXPECT_EQ(CountColor(copy, clWhite), 1200 * 1000 - 1100 * 990);
}

TEST(BitmapStore, RefusesSizesThatWouldExhaustMemory) {
    TBitmap b(10, 10);
    EXPECT_THROW(b.SetSize(1000000000, 1000000000), EOutOfResources);
    EXPECT_THROW(b.SetSize(TBitmap::MaxSide + 1, 1), EOutOfResources);
    EXPECT_THROW(b.SetSize(30000, 30000), EOutOfResources);
    EXPECT_EQ(b.Width(), 10);
    EXPECT_EQ(b.Height(), 10);
}

TEST(BitmapStore, AssignCopiesAndChangesAreReported) {
    TBitmap a(8, 6), b;
    a.Canvas().SetPixels(7, 5, clRed);
    int changes = 0;
    b.OnChange = [&] { ++changes; };
    b.Assign(a);
    EXPECT_EQ(b.Width(), 8);
    EXPECT_EQ(b.Canvas().Pixels(7, 5), clRed);
    a.Canvas().SetPixels(7, 5, clBlue);
    EXPECT_EQ(b.Canvas().Pixels(7, 5), clRed);  // a copy, not shared
    const int afterAssign = changes;
    EXPECT_GE(afterAssign, 1);
    b.Canvas().MoveTo(0, 0);
    b.Canvas().LineTo(3, 3);
    b.SetSize(9, 9);
    EXPECT_EQ(changes, afterAssign + 2);
}

TEST(CanvasPixels, OutsideTheBitmap) {
    TBitmap b(5, 5);
    b.Canvas().SetPixels(-1, 0, clBlack);
    b.Canvas().SetPixels(5, 0, clBlack);
    b.Canvas().SetPixels(0, 5, clBlack);
    EXPECT_EQ(CountColor(b, clWhite), 25);
    EXPECT_EQ(b.Canvas().Pixels(-1, 0), clInvalid);
    EXPECT_EQ(b.Canvas().Pixels(0, 5), clInvalid);
    b.Canvas().SetPixels(4, 4, 0x7F123456);  // bits above the colour are ignored
    EXPECT_EQ(b.Canvas().Pixels(4, 4), TColor(0x123456));
}

TEST(FillRect, CoversLeftTopAndStopsBeforeRightBottom) {
    TBitmap b(40, 30);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clGreen;
    c.FillRect(Rect(5, 6, 15, 20));
    const Box box = BoundingBox(b);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.top, 6);
    EXPECT_EQ(box.right, 14);
    EXPECT_EQ(box.bottom, 19);
    EXPECT_EQ(CountColor(b, clGreen), 10 * 14);

    c.Brush.Style = bsClear;
    c.Brush.Color = clRed;
    c.FillRect(Rect(0, 0, 40, 30));
    EXPECT_EQ(CountColor(b, clRed), 0);

    c.Brush.Style = bsSolid;
    c.Pen.Mode = pmNot;  // FillRect ignores the pen
    c.FillRect(Rect(-10, -10, 50, 50));
    EXPECT_EQ(CountColor(b, clRed), 40 * 30);
}

// Whole pictures and long runs are filled in one go; white takes a byte-wise fill. Every
// way must cover exactly the rectangle.
TEST(FillRect, WholePicturesAndLongRunsCoverExactlyTheirPixels) {
    TBitmap b(70, 30);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clBlue;
    c.FillRect(Rect(0, 0, 70, 30));
    EXPECT_EQ(CountColor(b, clBlue), 70 * 30);
    c.Brush.Color = clWhite;
    c.FillRect(Rect(3, 2, 67, 28));
    EXPECT_EQ(CountColor(b, clWhite), 64 * 26);
    EXPECT_EQ(CountColor(b, clBlue), 70 * 30 - 64 * 26);
    EXPECT_EQ(c.Pixels(2, 2), clBlue);
    EXPECT_EQ(c.Pixels(67, 27), clBlue);
    c.Brush.Color = TColor(0x808080);
    c.FillRect(Rect(0, 5, 70, 9));  // whole rows in the middle
    EXPECT_EQ(CountColor(b, TColor(0x808080)), 70 * 4);
    EXPECT_EQ(c.Pixels(10, 4), clWhite);
    EXPECT_EQ(c.Pixels(10, 9), clWhite);
}

TEST(RectangleShape, OutlineWithThePenInsideWithTheBrush) {
    TBitmap b(40, 30);
    TCanvas& c = b.Canvas();
    c.Pen.Color = clBlack;
    c.Brush.Color = clYellow;
    c.Rectangle(5, 6, 15, 20);
    const Box box = BoundingBox(b);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.top, 6);
    EXPECT_EQ(box.right, 14);
    EXPECT_EQ(box.bottom, 19);
    EXPECT_EQ(CountColor(b, clBlack), 2 * 10 + 2 * 12);
    EXPECT_EQ(CountColor(b, clYellow), 8 * 12);

    // Width 3: a band of three pixels centred on the edge pixels.
    TBitmap w(40, 30);
    w.Canvas().Pen.Width = 3;
    w.Canvas().Brush.Style = bsClear;
    w.Canvas().Rectangle(10, 10, 30, 20);
    const Box wide = BoundingBox(w);
    EXPECT_EQ(wide.left, 9);
    EXPECT_EQ(wide.top, 9);
    EXPECT_EQ(wide.right, 30);
    EXPECT_EQ(wide.bottom, 20);
    EXPECT_EQ(w.Canvas().Pixels(11, 15), clBlack);
    EXPECT_EQ(w.Canvas().Pixels(12, 15), clWhite);
    EXPECT_EQ(w.Canvas().Pixels(28, 15), clBlack);
    EXPECT_EQ(w.Canvas().Pixels(27, 15), clWhite);
}

TEST(RectangleShape, InvertingRubberBandComesAndGoes) {
    TBitmap b(50, 40);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clAqua;
    c.FillRect(Rect(0, 0, 25, 40));
    const auto before = Snapshot(b);
    c.Brush.Style = bsClear;
    c.Pen.Mode = pmNot;
    c.Rectangle(10, 5, 40, 30);
    EXPECT_EQ(c.Pixels(10, 5), clRed);     // corners inverted once, not twice (aqua -> red)
    EXPECT_EQ(c.Pixels(39, 29), clBlack);
    EXPECT_EQ(c.Pixels(12, 5), clRed);      // aqua inverted
    EXPECT_EQ(c.Pixels(20, 20), clAqua);    // inside untouched
    c.Rectangle(10, 5, 40, 30);
    EXPECT_EQ(Snapshot(b), before);
    c.Rectangle(20, 20, 21, 21);  // the band of a press without a move: a single point
    EXPECT_EQ(CountColor(b, clRed) + CountColor(b, clBlack), 1);
}

TEST(EllipseShape, InscribedInItsRectangle) {
    TBitmap b(60, 50);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clRed;
    c.Ellipse(10, 10, 41, 31);
    Box box = BoundingBox(b);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 10);
    EXPECT_EQ(box.right, 40);
    EXPECT_EQ(box.bottom, 30);
    EXPECT_EQ(c.Pixels(25, 20), clRed);
    EXPECT_EQ(c.Pixels(10, 20), clBlack);
    EXPECT_EQ(c.Pixels(25, 10), clBlack);
    EXPECT_EQ(c.Pixels(10, 10), clWhite);  // corners of the box stay out
    // Symmetric about its centre.
    for (int y = 10; y <= 30; ++y)
        for (int x = 10; x <= 40; ++x) ASSERT_EQ(c.Pixels(x, y), c.Pixels(50 - x, 40 - y)) << x << "," << y;

    // The dots of the overlays: an ellipse of radius t around a point with a pen of width t.
    for (int t : {1, 3, 6}) {
        TBitmap d(40, 40);
        d.Canvas().Pen.Width = t;
        d.Canvas().Brush.Color = clBlack;
        d.Canvas().Ellipse(20 - t, 20 - t, 20 + t, 20 + t);
        const Box dot = BoundingBox(d);
        EXPECT_FALSE(dot.Empty());
        EXPECT_EQ(dot.right - dot.left, dot.bottom - dot.top) << t;
        EXPECT_LE(dot.left, 20 - t);
        EXPECT_GE(dot.right, 20 + t - 1);
        EXPECT_LE(dot.right - dot.left + 1, 2 * t + t);
        EXPECT_EQ(d.Canvas().Pixels(20, 20), clBlack);
        EXPECT_EQ(d.Canvas().Pixels(19, 19), clBlack);
    }

    // Clear pen: only the brush; clear brush: only the outline; inverting twice restores.
    TBitmap e(30, 30);
    e.Canvas().Pen.Style = psClear;
    e.Canvas().Brush.Color = clBlue;
    e.Canvas().Ellipse(5, 5, 25, 25);
    EXPECT_EQ(CountColor(e, clBlack), 0);
    EXPECT_GT(CountColor(e, clBlue), 250);
    const auto before = Snapshot(e);
    e.Canvas().Pen.Style = psSolid;
    e.Canvas().Pen.Mode = pmNot;
    e.Canvas().Pen.Width = 2;
    e.Canvas().Brush.Style = bsClear;
    e.Canvas().Ellipse(3, 8, 28, 20);
    EXPECT_NE(Snapshot(e), before);
    e.Canvas().Ellipse(3, 8, 28, 20);
    EXPECT_EQ(Snapshot(e), before);
}

}  // namespace
