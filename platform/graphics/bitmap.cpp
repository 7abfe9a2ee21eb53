// Bitmap storage: an RGB32 image that is always initialised (white where nothing was drawn).
#include "platform/graphics/bitmap.h"

#include <QImage>
#include <QPainter>

#include "platform/graphics/bitmap_image.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFFu;

void CheckSize(long long width, long long height) {
    if (width > TBitmap::MaxSide || height > TBitmap::MaxSide || width * height > TBitmap::MaxPixels)
        throw EOutOfResources("Ressources syst\xE8me insuffisantes");
}

// A white image of the size with the pixels of the old one where both overlap.
QImage Resized(const QImage& old, int width, int height) {
    if (width <= 0 || height <= 0) return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) throw EOutOfResources("Ressources syst\xE8me insuffisantes");
    image.fill(kWhite);
    if (!old.isNull()) {
        const int w = std::min(width, old.width());
        const int h = std::min(height, old.height());
        for (int y = 0; y < h; ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(old.constScanLine(y));
            auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
            std::copy(src, src + w, dst);
        }
    }
    return image;
}

}  // namespace

TBitmap::TBitmap() : impl_(std::make_unique<Impl>()), canvas_(std::make_unique<TCanvas>(*this)) {}

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::~TBitmap() = default;

int TBitmap::Width() const { return impl_->image.isNull() ? 0 : impl_->image.width(); }
int TBitmap::Height() const { return impl_->image.isNull() ? 0 : impl_->image.height(); }

void TBitmap::SetWidth(int width) { SetSize(width, Height()); }
void TBitmap::SetHeight(int height) { SetSize(Width(), height); }

void TBitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == Width() && height == Height()) return;
    CheckSize(width, height);
    impl_->image = Resized(impl_->image, width, height);
    BitmapChanged(*this);
}

void TBitmap::Assign(const TBitmap& source) {
    if (&source == this) return;
    impl_->image = source.impl_->image.copy();
    BitmapChanged(*this);
}

void SetBitmapImage(TBitmap& bitmap, const QImage& image) {
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
        bitmap.GetImpl().image = QImage();
    } else {
        CheckSize(image.width(), image.height());
        QImage converted = image.convertToFormat(QImage::Format_RGB32);
        if (image.hasAlphaChannel()) {
            // Transparent parts of a foreign image show as white, as on a fresh bitmap.
            QImage flat(image.size(), QImage::Format_RGB32);
            flat.fill(kWhite);
            QPainter painter(&flat);
            painter.drawImage(0, 0, image);
            painter.end();
            converted = flat;
        }
        if (converted.isNull()) throw EOutOfResources("Ressources syst\xE8me insuffisantes");
        bitmap.GetImpl().image = converted;
    }
    BitmapChanged(bitmap);
}

void BitmapChanged(TBitmap& bitmap) {
    ++bitmap.GetImpl().changes;
    if (bitmap.OnChange) bitmap.OnChange();
}
