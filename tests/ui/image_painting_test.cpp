// The image control on the window's screen: every pixel of its picture where it belongs,
// whatever the picture's size, and nothing of it outside the control.
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include "tests/ui/test_form.h"

namespace uitest {
namespace {

class ImagePainting : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Application->CreateForm(form);
        form->SetBounds(0, 0, 700, 500);
        form->Show();
        Application->ProcessMessages();
        image = form->Image1;
    }

    // A colour that differs from its neighbours' in both directions, so that a picture
    // shifted or cut by a pixel shows it.
    static TColor PatternColour(int x, int y) { return TColor((x * 37 ^ y * 101 ^ x * y * 7) & 0xFFFFFF); }

    void DrawPattern(int width, int height) {
        image->Bitmap().SetSize(width, height);
        TCanvas& canvas = image->Canvas();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) canvas.SetPixels(x, y, PatternColour(x, y));
    }

    // The window as the screen shows it, and where the control's top left lies in it.
    QImage WindowShot() const {
        return QGuiApplication::primaryScreen()->grabWindow(image->Widget()->window()->winId()).toImage();
    }
    QPoint Origin() const { return image->Widget()->mapTo(image->Widget()->window(), QPoint(0, 0)); }

    // The pixels of the rectangle of the control whose shown colour is not the pattern's.
    int PatternMisses(const QImage& shot, int width, int height) const {
        const QPoint origin = Origin();
        int misses = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const QPoint at = origin + QPoint(x, y);
                if (!shot.rect().contains(at) || PixelToColor(shot.pixel(at)) != PatternColour(x, y)) ++misses;
            }
        return misses;
    }

    TTestForm* form = nullptr;
    TImage* image = nullptr;
};

TEST_F(ImagePainting, EveryPixelOfASmallerPictureIsShownInPlace) {
    // Widths of no round size, so that the ends of the rows are copied on their own too.
    for (const int cut : {7, 16, 33}) {
        const int width = image->Width() - cut, height = image->Height() - 5;
        ASSERT_GT(width, 100);
        DrawPattern(width, height);
        Application->ProcessMessages();
        const QImage shot = WindowShot();
        EXPECT_EQ(PatternMisses(shot, width, height), 0) << "picture " << width << " x " << height;
        // Right of and below the picture, the window's background.
        const TColor background = PixelToColor(form->Widget()->palette().color(QPalette::Window).rgb());
        EXPECT_EQ(PixelToColor(shot.pixel(Origin() + QPoint(width, 3))), background);
        EXPECT_EQ(PixelToColor(shot.pixel(Origin() + QPoint(image->Width() - 1, height))), background);
    }
}

TEST_F(ImagePainting, APictureLargerThanTheControlShowsOnlyWhatTheControlCovers) {
    // The control inside its page, with the page's background around it.
    image->SetAlign(alNone);
    image->SetBounds(10, 10, 301, 203);
    Application->ProcessMessages();
    const int width = image->Width(), height = image->Height();
    ASSERT_EQ(width, 301);
    DrawPattern(width + 40, height + 30);
    Application->ProcessMessages();
    QImage shot = WindowShot();
    EXPECT_EQ(PatternMisses(shot, width, height), 0);

    // A picture all red: the pixels just beyond the control keep what the window shows there.
    const QPoint right = Origin() + QPoint(width, height / 2), below = Origin() + QPoint(width / 2, height);
    const QRgb rightBefore = shot.pixel(right), belowBefore = shot.pixel(below);
    TCanvas& canvas = image->Canvas();
    canvas.Brush.Color = clRed;
    canvas.FillRect(Rect(0, 0, width + 40, height + 30));
    Application->ProcessMessages();
    shot = WindowShot();
    EXPECT_EQ(PixelToColor(shot.pixel(Origin() + QPoint(width - 1, height - 1))), clRed);
    EXPECT_EQ(shot.pixel(right), rightBefore);
    EXPECT_EQ(shot.pixel(below), belowBefore);
}

TEST_F(ImagePainting, APictureRenderedElsewhereIsTheSame) {
    // Rendering the control into another image (a screenshot of it) paints the same pixels.
    const int width = image->Width() - 9, height = image->Height() - 4;
    DrawPattern(width, height);
    Application->ProcessMessages();
    const QImage grabbed = image->Widget()->grab().toImage();
    int misses = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (PixelToColor(grabbed.pixel(x, y)) != PatternColour(x, y)) ++misses;
    EXPECT_EQ(misses, 0);
}

}  // namespace
}  // namespace uitest
