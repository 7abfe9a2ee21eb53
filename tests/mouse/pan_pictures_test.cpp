// What a live pan shows: each step's picture is the one a plain redraw of the step's window
// draws, and the screen shows it pixel for pixel.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include "dialogs/domains_form.h"
#include "plotter/function_rows.h"
#include "tests/mouse/mouse_fixture.h"

namespace mousetest {
namespace {

class PanPictures : public MouseTest {
protected:
    void SetUp() override {
        MouseTest::SetUp();
        if (HasFatalFailure()) return;
        for (TEdit* lower : Form6->LowerEdits) lower->SetText("-inf");
        for (TEdit* upper : Form6->UpperEdits) upper->SetText("inf");
        ReadDomainDialog();
        const char* functions[] = {"sin(x)", "1/x", "x^2/4", "tan(x)", "exp(x)/10"};
        for (int i = 0; i < FunctionCount; ++i) {
            GetFunctionEdit(i)->SetText(i < 5 ? functions[i] : "");
            Form1->ShowButtons[size_t(i)]->SetDown(i < 5);
        }
        Form1->quad->SetChecked(true);
        Form1->Edit14->SetText("3");
        RedrawGraph(image()->Bitmap());
        Application->ProcessMessages();
    }

    // The picture as the window on the screen shows it.
    Picture OnScreen() const {
        QWidget* widget = image()->Widget();
        const QImage shot = QGuiApplication::primaryScreen()->grabWindow(widget->window()->winId()).toImage();
        const QPoint origin = widget->mapTo(widget->window(), QPoint(0, 0));
        Picture pixels;
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                const QPoint at = origin + QPoint(x, y);
                pixels.push_back(shot.rect().contains(at) ? PixelToColor(shot.pixel(at)) : clInvalid);
            }
        return pixels;
    }

    static int Differences(const Picture& a, const Picture& b) {
        if (a.size() != b.size()) return -1;
        int n = 0;
        for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
        return n;
    }
};

TEST_F(PanPictures, EachStepShowsThePictureOfAPlainRedrawOfItsWindow) {
    uitest::MouseDown(image(), mbRight, 400, 300);
    int x = 400, y = 300;
    for (int step = 0; step < 4; ++step) {
        x += 37;
        y -= 11;
        uitest::MouseMove(image(), x, y);
        const Picture panned = Shown();
        ASSERT_GT(Differences(panned, Picture(panned.size(), clWhite)), 10000) << "curves and grid drawn";
        Application->ProcessMessages();
        EXPECT_EQ(Differences(OnScreen(), panned), 0) << "step " << step;

        TBitmap plain(Width, Height);
        RedrawGraph(plain);
        EXPECT_EQ(Differences(Copy(plain), panned), 0) << "step " << step;
    }
    uitest::MouseUp(image(), mbRight, x, y);
    EXPECT_EQ(WindowTexts(), (std::vector<std::string>{"-6,85", "3,15", "-5,73333333333332", "4,26666666666668"}));
}

}  // namespace
}  // namespace mousetest
