// TImage: a widget that paints its bitmap and reports the mouse in bitmap pixels.
#include "platform/ui/images.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QPainter>
#include <QWidget>

#include "platform/graphics/bitmap_image.h"
#include "platform/ui/application.h"
#include "platform/ui/key_mapping.h"
#include "platform/ui/picture_copy.h"

namespace {

bool ButtonOf(Qt::MouseButton qt, TMouseButton& button) {
    switch (qt) {
        case Qt::LeftButton: button = mbLeft; return true;
        case Qt::RightButton: button = mbRight; return true;
        case Qt::MiddleButton: button = mbMiddle; return true;
        default: return false;
    }
}

class TImageWidget : public QWidget {
public:
    TImageWidget(QWidget* parent, TImage& image) : QWidget(parent), image_(image) {
        setMouseTracking(true);
        // The widget paints all of itself, so that nothing is painted under the picture
        // first.
        setAttribute(Qt::WA_OpaquePaintEvent, true);
    }

    // Asks for a repaint, once until it has been painted: the bitmap reports every drawing
    // call, and a whole picture makes thousands of them.
    void RequestRepaint() {
        if (repaintRequested_ && isVisible()) return;
        repaintRequested_ = true;
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        repaintRequested_ = false;
        QPainter painter(this);
        const QImage& picture = BitmapImage(image_.Bitmap());
        const QRect pictureRect(QPoint(0, 0), picture.isNull() ? QSize() : picture.size());
        // Beyond the picture, the background of the window shows.
        const QRegion uncovered = event->region() - pictureRect;
        for (const QRect& r : uncovered) painter.fillRect(r, palette().brush(QPalette::Window));
        const QRegion covered = event->region() & pictureRect;
        if (covered.isEmpty() || CopyOpaquePicture(painter, covered, picture)) return;
        for (const QRect& r : covered) painter.drawImage(r.topLeft(), picture, r);
    }
    void mousePressEvent(QMouseEvent* e) override { Press(e, TShiftState{}); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { Press(e, TShiftState{ssDouble}); }
    void mouseMoveEvent(QMouseEvent* e) override {
        const QPoint p = e->position().toPoint();
        const TShiftState shift = ShiftFromQt(e->modifiers(), e->buttons());
        Application->Dispatch([&] { image_.UserMouseMove(shift, p.x(), p.y()); });
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        TMouseButton button;
        if (!ButtonOf(e->button(), button)) return;
        const QPoint p = e->position().toPoint();
        const TShiftState shift = ShiftFromQt(e->modifiers(), e->buttons());
        Application->Dispatch([&] { image_.UserMouseUp(button, shift, p.x(), p.y()); });
    }

private:
    void Press(QMouseEvent* e, TShiftState extra) {
        TMouseButton button;
        if (!ButtonOf(e->button(), button)) return;
        const QPoint p = e->position().toPoint();
        const TShiftState shift = ShiftFromQt(e->modifiers(), e->buttons()) + extra;
        Application->Dispatch([&] { image_.UserMouseDown(button, shift, p.x(), p.y()); });
    }
    TImage& image_;
    bool repaintRequested_ = false;
};

}  // namespace

TImage::TImage(TWinControl* parent) : TControl(parent, parent->OwnerForm()), bitmap_(std::make_unique<TBitmap>()) {
    auto* widget = new TImageWidget(parent->ClientWidget(), *this);
    AttachWidget(widget, 105, 105);
    bitmap_->OnChange = [widget] { widget->RequestRepaint(); };
}

TImage::~TImage() {
    if (bitmap_) bitmap_->OnChange = nullptr;
}

void TImage::UserMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) pressed_ = true;
    Application->Fire(OnMouseDown, static_cast<TObject*>(this), button, shift, x, y);
}

void TImage::UserMouseMove(TShiftState shift, int x, int y) {
    Application->Fire(OnMouseMove, static_cast<TObject*>(this), shift, x, y);
}

void TImage::UserMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    const bool click = button == mbLeft && pressed_ && x >= 0 && y >= 0 && x < Width() && y < Height();
    if (button == mbLeft) pressed_ = false;
    Application->Fire(OnMouseUp, static_cast<TObject*>(this), button, shift, x, y);
    if (click) Application->Fire(OnClick, static_cast<TObject*>(this));
}
