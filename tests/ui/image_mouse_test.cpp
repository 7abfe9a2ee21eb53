// The image control: showing its bitmap and reporting the mouse.
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include "tests/ui/test_form.h"

namespace uitest {
namespace {

class ImageMouse : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Application->CreateForm(form);
        form->SetBounds(0, 0, 800, 600);
        form->Show();
        form->ClearLog();
        image = form->Image1;
        image->Bitmap().SetSize(image->Width(), image->Height());
        image->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState shift, int x, int y) {
            EXPECT_EQ(s, image);
            Note("down", b, shift, x, y);
        };
        image->OnMouseMove = [this](TObject*, TShiftState shift, int x, int y) { Note("move", mbLeft, shift, x, y, false); };
        image->OnMouseUp = [this](TObject*, TMouseButton b, TShiftState shift, int x, int y) { Note("up", b, shift, x, y); };
        image->OnClick = [this](TObject*) { events.push_back("click"); };
    }
    void Note(const char* what, TMouseButton b, TShiftState shift, int x, int y, bool withButton = true) {
        std::string e = std::string(what) + ":";
        if (withButton) e += b == mbLeft ? "L" : b == mbRight ? "R" : "M";
        if (shift.Contains(ssLeft)) e += "l";
        if (shift.Contains(ssRight)) e += "r";
        if (shift.Contains(ssShift)) e += "s";
        if (shift.Contains(ssCtrl)) e += "c";
        e += ":" + std::to_string(x) + "," + std::to_string(y);
        events.push_back(e);
    }
    TTestForm* form = nullptr;
    TImage* image = nullptr;
    std::vector<std::string> events;
};

TEST_F(ImageMouse, ButtonsShiftStateAndPixelCoordinates) {
    MouseDown(image, mbRight, 10, 20, TShiftState{ssCtrl});
    MouseMove(image, 15, 26);
    MouseUp(image, mbRight, 15, 26);
    MouseMove(image, 100, 5);  // no button held
    EXPECT_EQ(Joined(events), "down:Rrc:10,20 move:r:15,26 up:R:15,26 move::100,5");
}

TEST_F(ImageMouse, ALeftPressAndReleaseInsideIsAClick) {
    Drag(image, mbLeft, 10, 10, 40, 30, 10);
    EXPECT_EQ(Joined(events), "down:Ll:10,10 move:l:20,16 move:l:30,23 move:l:40,30 up:L:40,30 click");
    events.clear();
    MouseDown(image, mbLeft, 5, 5, TShiftState{ssShift});
    MouseUp(image, mbLeft, -3, 5);  // released outside: no click
    EXPECT_EQ(Joined(events), "down:Lls:5,5 up:L:-3,5");
}

TEST_F(ImageMouse, TheControlShowsItsBitmap) {
    TCanvas& canvas = image->Canvas();
    canvas.Brush.Color = clRed;
    canvas.FillRect(Rect(0, 0, 50, 40));
    canvas.Pen.Color = clBlue;
    canvas.MoveTo(60, 10);
    canvas.LineTo(90, 10);
    EXPECT_EQ(Pixel(image, 10, 10), clRed);
    EXPECT_EQ(ShownPixel(image, 10, 10), clRed);
    EXPECT_EQ(ShownPixel(image, 70, 10), clBlue);
    EXPECT_EQ(ShownPixel(image, 70, 30), clWhite);
}

// What the window's screen shows of the image at (x, y), as last painted.
TColor OnScreen(TImage* image, int x, int y) {
    const QPoint at = image->Widget()->mapTo(image->Widget()->window(), QPoint(x, y));
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(image->Widget()->window()->winId());
    const QImage shot = screen.toImage();
    if (!shot.rect().contains(at)) return clInvalid;
    return PixelToColor(shot.pixel(at));
}

// A picture drawn in many calls is painted when the pending events run, and so is every
// picture drawn after it.
TEST_F(ImageMouse, EachNewPictureReachesTheScreen) {
    TCanvas& canvas = image->Canvas();
    for (const TColor colour : {clRed, clBlue, clRed}) {
        canvas.Brush.Color = clWhite;
        canvas.FillRect(Rect(0, 0, 200, 100));
        canvas.Pen.Color = colour;
        for (int y = 0; y < 100; y += 2) {
            canvas.MoveTo(0, y);
            canvas.LineTo(200, y);
        }
        Application->ProcessMessages();
        EXPECT_EQ(OnScreen(image, 150, 40), colour);
        EXPECT_EQ(OnScreen(image, 150, 41), clWhite);
    }
    // Beyond a smaller picture, the window's background shows.
    image->Bitmap().SetSize(100, 50);
    Application->ProcessMessages();
    EXPECT_EQ(OnScreen(image, 50, 40), clRed);
    const TColor background = PixelToColor(form->Widget()->palette().color(QPalette::Window).rgb());
    EXPECT_EQ(OnScreen(image, 150, 40), background);
    EXPECT_EQ(OnScreen(image, 50, 60), background);
}

TEST_F(ImageMouse, HandlersCanRunPendingEventsWhileDragging) {
    // The live redraw of a drag lets pending events run inside the move handler.
    int nested = 0;
    image->OnMouseMove = [&](TObject*, TShiftState shift, int, int) {
        if (!shift.Contains(ssRight)) return;
        ++nested;
        Application->ProcessMessages();
    };
    Drag(image, mbRight, 0, 0, 50, 0, 10);
    EXPECT_EQ(nested, 5);
}

}  // namespace
}  // namespace uitest
