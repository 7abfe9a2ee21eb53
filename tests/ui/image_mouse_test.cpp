// The image control: showing its bitmap and reporting the mouse.
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
