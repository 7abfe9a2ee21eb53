// Highlighting and dragging a movable label with the mouse, and what every release puts
// back: the idle mode, the end of the forced redraws, the snapshot.
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

#include "dialogs/labels_form.h"
#include "tests/mouse/mouse_fixture.h"

namespace mousetest {
namespace {

using Texts = std::vector<std::string>;

class LabelMouseTest : public MouseTest {
protected:
    // E.1 "Bonjour" with its top-left corner at (-2, 3): pixel (240, 120).
    void PlaceLabel() {
        Form7->Edit1->SetText("Bonjour");
        LabelX[0] = -2;
        LabelY[0] = 3;
        Trace();
        ClearJournal();
    }
    int HighlightPixels() {
        int count = 0;
        for (int y = 120; y < int(LabelHitBottom[0]); ++y)
            for (int x = 240; x < int(LabelHitRight[0]); ++x) count += Now(x, y) == LabelHighlightColour;
        return count;
    }
};

TEST_F(LabelMouseTest, PointingAtALabelHighlightsItAndLeavingItTakesTheHighlightOff) {
    PlaceLabel();
    EXPECT_EQ(LabelHitBottom[0], 120 + AxisFontHeight);
    EXPECT_GT(LabelHitRight[0], 260);
    EXPECT_EQ(HighlightPixels(), 0);

    uitest::MouseMove(image(), 245, 125);
    EXPECT_EQ(LabelHighlighted[0], 1);
    EXPECT_EQ(Count("curves"), 1);
    EXPECT_GT(HighlightPixels(), 20);
    uitest::MouseMove(image(), 246, 126);  // still inside: nothing to redraw
    EXPECT_EQ(Count("curves"), 1);

    uitest::MouseMove(image(), 240, 125);  // the edges are outside
    EXPECT_EQ(LabelHighlighted[0], 0);
    EXPECT_EQ(Count("curves"), 2);
    EXPECT_EQ(HighlightPixels(), 0);
    EXPECT_EQ(snapshots, 0);
}

TEST_F(LabelMouseTest, AnyButtonDragsAHighlightedLabelInWorldCoordinates) {
    PlaceLabel();
    uitest::MouseMove(image(), 245, 125);
    std::vector<bool> forcedAtRedraw;
    WatchRedrawStart([&](TBitmap&) { forcedAtRedraw.push_back(ForcedRedrawFlag); });

    uitest::MouseDown(image(), mbMiddle, 245, 125);
    EXPECT_EQ(DraggedLabel, 0);
    EXPECT_EQ(MouseState.Mode, TMouseMode::Idle);
    // 50 pixels right and 30 down: 0.625 and -0.5 in world units.
    uitest::MouseMove(image(), 295, 155);
    EXPECT_DOUBLE_EQ(LabelX[0], -1.375);
    EXPECT_DOUBLE_EQ(LabelY[0], 2.5);
    EXPECT_EQ(LabelHitBottom[0], 150 + AxisFontHeight);
    EXPECT_EQ(forcedAtRedraw, (std::vector<bool>{true}));
    EXPECT_TRUE(ForcedRedrawFlag);
    EXPECT_EQ(WindowTexts(), (Texts{"-5", "5", "-5", "5"}));

    ClearJournal();
    uitest::MouseUp(image(), mbMiddle, 295, 155);
    EXPECT_EQ(DraggedLabel, -1);
    EXPECT_EQ(LabelHighlighted[0], 0);
    EXPECT_FALSE(ForcedRedrawFlag);
    EXPECT_EQ(snapshots, 0);
    EXPECT_TRUE(journal.empty());
    EXPECT_DOUBLE_EQ(LabelX[0], -1.375);

    // A left drag grabs it too, and a drag that starts on a label is no reframing.
    uitest::MouseMove(image(), 300, 160);
    ASSERT_EQ(LabelHighlighted[0], 1);
    uitest::Drag(image(), mbLeft, 300, 160, 380, 240);
    EXPECT_DOUBLE_EQ(LabelX[0], -0.375);
    EXPECT_DOUBLE_EQ(LabelY[0], 1.166666666666667);
    EXPECT_EQ(WindowTexts(), (Texts{"-5", "5", "-5", "5"}));
    EXPECT_EQ(snapshots, 0);
}

// With "Figer les images" checked, a redraw after the drag must keep the picture again.
TEST_F(MouseTest, EveryReleaseEndsTheForcedRedrawsAlsoInsideALiveRedraw) {
    uitest::Click(Form1->ceffa);
    snapshots = 0;  // the check box takes its own snapshot
    uitest::MouseDown(image(), mbRight, 400, 300);
    // The release is already waiting when the move's live redraw lets messages run.
    QCoreApplication::postEvent(image()->Widget(),
                                new QMouseEvent(QEvent::MouseButtonRelease, QPointF(500, 300), QPointF(500, 300),
                                                Qt::RightButton, Qt::NoButton, Qt::NoModifier));
    std::vector<bool> forcedAtRedraw;
    WatchRedrawStart([&](TBitmap&) { forcedAtRedraw.push_back(ForcedRedrawFlag); });
    uitest::MouseMove(image(), 500, 300);
    EXPECT_EQ(WindowTexts(), (Texts{"-6,25", "3,75", "-5", "5"}));
    EXPECT_EQ(forcedAtRedraw, (std::vector<bool>{true}));  // the last frame is still drawn
    EXPECT_EQ(MouseState.Mode, TMouseMode::Idle);
    EXPECT_EQ(snapshots, 1);
    EXPECT_FALSE(ForcedRedrawFlag);

    plottest::Mark(image()->Bitmap(), 20, 20, clRed);
    Trace();
    EXPECT_TRUE(plottest::HasMark(image()->Bitmap(), 20, 20, clRed));
    uitest::MouseUp(image(), mbRight, 500, 300);  // the harness lets go of the button too
}

TEST_F(MouseTest, AReleaseWhoseWindowTextIsRefusedReportsItAndFreesTheMouse) {
    uitest::MouseDown(image(), mbLeft, 100, 100);
    uitest::MouseMove(image(), 300, 250);
    ASSERT_EQ(MouseState.Mode, TMouseMode::RubberBand);
    Form1->Edit11->SetText("1,2,3");
    uitest::MouseUp(image(), mbLeft, 300, 250);
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_NE(messages.Last().Text.find("1,2,3"), std::string::npos);
    EXPECT_EQ(MouseState.Mode, TMouseMode::Idle);
    EXPECT_FALSE(ForcedRedrawFlag);

    // A right click with the bad text: reported, and the mouse is idle again.
    uitest::MouseDown(image(), mbRight, 400, 300);
    uitest::MouseUp(image(), mbRight, 400, 300);
    EXPECT_EQ(messages.Count(), 2);
    EXPECT_EQ(MouseState.Mode, TMouseMode::Idle);

    Form1->Edit11->SetText("5");
    uitest::MouseDown(image(), mbRight, 400, 300);
    uitest::MouseUp(image(), mbRight, 400, 300);
    EXPECT_EQ(WindowTexts(), (Texts{"-25", "25", "-25", "25"}));
    EXPECT_EQ(messages.Count(), 2);
}

TEST_F(MouseTest, APressIsIgnoredWhileAnotherGestureIsUnderWay) {
    uitest::MouseDown(image(), mbRight, 400, 300);
    uitest::MouseDown(image(), mbLeft, 100, 100);
    EXPECT_EQ(MouseState.Mode, TMouseMode::RightPressed);
    uitest::MouseUp(image(), mbLeft, 100, 100);
    uitest::MouseUp(image(), mbRight, 400, 300);
    EXPECT_EQ(MouseState.Mode, TMouseMode::Idle);
}

}  // namespace
}  // namespace mousetest
