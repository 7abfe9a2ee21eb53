// Reframing, panning, widening and refreshing with the mouse on the picture, the rubber
// rectangle and the coordinate read-out, driven by real mouse events on the image.
#include "plotter/coordinate_readout.h"
#include "tests/mouse/mouse_fixture.h"

namespace mousetest {
namespace {

using Texts = std::vector<std::string>;

TEST_F(MouseTest, ARightClickWidensTheWindowFiveTimesAboutItsCentre) {
    uitest::MouseDown(image(), mbRight, 400, 300);
    uitest::MouseMove(image(), 403, 304);  // less than 5 pixels: still a click
    uitest::MouseUp(image(), mbRight, 403, 304);
    EXPECT_EQ(WindowTexts(), (Texts{"-25", "25", "-25", "25"}));
    EXPECT_EQ(Count("curves"), 1);
    EXPECT_EQ(snapshots, 1);
    EXPECT_EQ(MouseState.Mode, TMouseMode::Idle);

    SetWindow("1", "2", "0", "0.5");
    uitest::MouseDown(image(), mbRight, 10, 10);
    uitest::MouseUp(image(), mbRight, 10, 10);
    EXPECT_EQ(WindowTexts(), (Texts{"-1", "4", "-1", "1,5"}));
}

TEST_F(MouseTest, ARightDragPansByExactlyTheDraggedDistanceAfterFivePixels) {
    std::vector<bool> forcedAtRedraw;
    WatchRedrawStart([&](TBitmap&) { forcedAtRedraw.push_back(ForcedRedrawFlag); });

    uitest::MouseDown(image(), mbRight, 400, 300);
    for (auto [x, y] : {std::pair{404, 300}, {400, 304}, {404, 304}, {396, 296}})
        uitest::MouseMove(image(), x, y);
    EXPECT_EQ(WindowTexts(), (Texts{"-5", "5", "-5", "5"}));
    EXPECT_TRUE(forcedAtRedraw.empty());

    // 100 pixels right and 60 down: the picture follows the pointer.
    uitest::MouseMove(image(), 500, 360);
    EXPECT_EQ(WindowTexts(), (Texts{"-6,25", "3,75", "-4", "6"}));
    uitest::MouseMove(image(), 420, 300);
    EXPECT_EQ(WindowTexts(), (Texts{"-5,25", "4,75", "-5", "5"}));
    // Once panning, every move pans, however small.
    uitest::MouseMove(image(), 421, 300);
    EXPECT_EQ(WindowTexts(), (Texts{"-5,2625", "4,7375", "-5", "5"}));
    EXPECT_EQ(forcedAtRedraw, (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(ForcedRedrawFlag);

    // The release after a pan neither widens nor redraws, and ends the forced redraws.
    ClearJournal();
    uitest::MouseUp(image(), mbRight, 421, 300);
    EXPECT_EQ(WindowTexts(), (Texts{"-5,2625", "4,7375", "-5", "5"}));
    EXPECT_EQ(Count("curves"), 0);
    EXPECT_EQ(snapshots, 1);
    EXPECT_FALSE(ForcedRedrawFlag);
    EXPECT_EQ(MouseState.Mode, TMouseMode::Idle);
}

TEST_F(MouseTest, ALeftDragUpAndLeftReframesToTheDraggedRectangle) {
    uitest::Drag(image(), mbLeft, 700, 500, 300, 100);
    // Rows 100 and 500 of 600 are a sixth from the edges: the general format keeps 15 digits.
    EXPECT_EQ(WindowTexts(), (Texts{"-1,25", "3,75", "-3,33333333333333", "3,33333333333333"}));
    EXPECT_EQ(snapshots, 1);
    EXPECT_EQ(MouseState.Mode, TMouseMode::Idle);
    EXPECT_EQ(WindowXMin, -1.25);  // the release redrew with the new window
}

TEST_F(MouseTest, ADragOfTenByThreePixelsOnlyRefreshes) {
    const Picture before = Shown();
    uitest::MouseDown(image(), mbLeft, 400, 300);
    uitest::MouseMove(image(), 410, 303);
    EXPECT_EQ(MouseState.Mode, TMouseMode::LeftPressed);
    EXPECT_EQ(Shown(), before);  // no rectangle
    uitest::MouseUp(image(), mbLeft, 410, 303);
    EXPECT_EQ(WindowTexts(), (Texts{"-5", "5", "-5", "5"}));
    EXPECT_EQ(Count("curves"), 1);
    EXPECT_EQ(snapshots, 1);
    EXPECT_EQ(Shown(), before);

    // A middle click refreshes the same way.
    uitest::MouseDown(image(), mbMiddle, 10, 10);
    EXPECT_EQ(MouseState.Mode, TMouseMode::Idle);
    uitest::MouseUp(image(), mbMiddle, 10, 10);
    EXPECT_EQ(Count("curves"), 2);
    EXPECT_EQ(snapshots, 2);
}

// "Figer les images" keeps whatever the release leaves in the picture: the rectangle must be
// gone before the reframe's redraw starts.
TEST_F(MouseTest, TheRubberRectangleInvertsItsOutlineAndLeavesNoTrace) {
    uitest::Click(Form1->ceffa);
    Trace();
    const Picture before = Shown();
    std::vector<Picture> atRedraw;
    WatchRedrawStart([&](TBitmap& bitmap) { atRedraw.push_back(Copy(bitmap)); });

    uitest::MouseDown(image(), mbLeft, 100, 100);
    // Whatever a redraw left in the canvas, the rectangle is drawn by inversion, 1 pixel wide.
    TCanvas& canvas = image()->Canvas();
    canvas.Pen.Mode = pmCopy;
    canvas.Pen.Color = clRed;
    canvas.Pen.Width = 7;
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = clRed;
    uitest::MouseMove(image(), 300, 250);
    EXPECT_EQ(MouseState.Mode, TMouseMode::RubberBand);
    EXPECT_EQ(Now(200, 100), Inverse(At(before, 200, 100)));
    EXPECT_EQ(Now(299, 200), Inverse(At(before, 299, 200)));
    EXPECT_EQ(Now(200, 101), At(before, 200, 101));
    EXPECT_EQ(Now(200, 200), At(before, 200, 200));
    EXPECT_EQ(canvas.Pen.Color, clRed);  // the canvas is given back as it was

    uitest::MouseMove(image(), 400, 350);
    EXPECT_EQ(Now(299, 200), At(before, 299, 200));
    EXPECT_EQ(Now(399, 200), Inverse(At(before, 399, 200)));

    // Back within 4 pixels of the start: the rectangle stays where it is.
    uitest::MouseMove(image(), 102, 101);
    EXPECT_EQ(Now(399, 200), Inverse(At(before, 399, 200)));

    uitest::MouseUp(image(), mbLeft, 102, 101);
    ASSERT_EQ(atRedraw.size(), 1u);
    EXPECT_TRUE(atRedraw[0] == before) << "the rectangle stayed in the picture";
    EXPECT_EQ(WindowTexts(), (Texts{"-3,75", "0", "-0,833333333333334", "3,33333333333333"}));
}

TEST_F(MouseTest, APressAndReleaseWithoutRectangleLeavesThePictureAsItWas) {
    uitest::Click(Form1->ceffa);
    Trace();
    const Picture before = Shown();
    std::vector<Picture> atRedraw;
    WatchRedrawStart([&](TBitmap& bitmap) { atRedraw.push_back(Copy(bitmap)); });
    uitest::MouseDown(image(), mbLeft, 100, 100);
    EXPECT_EQ(Shown(), before);
    uitest::MouseUp(image(), mbLeft, 100, 100);
    ASSERT_EQ(atRedraw.size(), 1u);
    EXPECT_TRUE(atRedraw[0] == before);
}

TEST_F(MouseTest, TheReadOutShowsTheWorldPointUnderThePointer) {
    SetWindow("-0,999", "9,001", "-5", "5");
    uitest::MouseMove(image(), 80, 150);
    EXPECT_EQ(Form1->Label22->Caption(), "(1,00000E-3 ; 2,500000)");
    uitest::MouseMove(image(), 0, 600);
    EXPECT_EQ(Form1->Label22->Caption(), "(-0,999000 ; -5,000000)");
    SetWindow("-2000", "2000", "-1", "1");
    uitest::MouseMove(image(), 100, 300);
    EXPECT_EQ(Form1->Label22->Caption(), "(-1,50000E3 ; 0,00000E0)");
    // A window text the conversion refuses leaves the read-out as it was.
    Form1->Edit10->SetText("1,2,3");
    uitest::MouseMove(image(), 200, 300);
    EXPECT_EQ(Form1->Label22->Caption(), "(-1,50000E3 ; 0,00000E0)");
    EXPECT_EQ(messages.Count(), 0);
}

TEST(CoordinateFormat, SixSignificantDigitsFixedBetweenAHundredthAndAThousand) {
    EXPECT_EQ(FormatCoordinate(2.5), "2,500000");
    EXPECT_EQ(FormatCoordinate(-123.4567891), "-123,457000");
    EXPECT_EQ(FormatCoordinate(0.0123456789), "0,012346");
    EXPECT_EQ(FormatCoordinate(999.99), "999,990000");
    EXPECT_EQ(FormatCoordinate(1000), "1,00000E3");
    EXPECT_EQ(FormatCoordinate(0.01), "1,00000E-2");
    EXPECT_EQ(FormatCoordinate(-0.000123456789), "-1,23457E-4");
    EXPECT_EQ(FormatCoordinate(6.02214076e23), "6,02214E23");
    EXPECT_EQ(FormatCoordinate(0), "0,00000E0");
    EXPECT_EQ(FormatCoordinatePair(0.5, -0.5), "(0,500000 ; -0,500000)");
}

}  // namespace
}  // namespace mousetest
