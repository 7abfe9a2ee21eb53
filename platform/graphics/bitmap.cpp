// Bitmap storage: an RGB32 image that is always initialised (white where nothing was drawn).
#include "platform/graphics/bitmap.h"

#include <QImage>
#include <QPainter>

#include <sys/mman.h>

#include <cstdlib>

#include "platform/graphics/bitmap_image.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFFu;

void CheckSize(long long width, long long height) {
    if (width > TBitmap::MaxSide || height > TBitmap::MaxSide || width * height > TBitmap::MaxPixels)
        throw EOutOfResources("Ressources syst\xE8me insuffisantes");
}

void FreePixels(void* pixels) { std::free(pixels); }

// An uninitialised image of the size. A large one lies in memory the system may back with
// huge pages: a column of the picture then crosses a few pages instead of one per row.
QImage NewImage(int width, int height) {
    constexpr std::size_t hugePage = std::size_t(2) << 20;
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    if (bytes < 2 * hugePage) return QImage(width, height, QImage::Format_RGB32);
    const std::size_t rounded = (bytes + hugePage - 1) / hugePage * hugePage;
    void* pixels = std::aligned_alloc(hugePage, rounded);
    if (!pixels) return QImage();
#ifdef MADV_HUGEPAGE
    madvise(pixels, rounded, MADV_HUGEPAGE);
#endif
    return QImage(static_cast<uchar*>(pixels), width, height, qsizetype(width) * 4, QImage::Format_RGB32, FreePixels,
                  pixels);
}

// A white image of the size with the pixels of the old one where both overlap.
QImage Resized(const QImage& old, int width, int height) {
    if (width <= 0 || height <= 0) return QImage();
    QImage image = NewImage(width, height);
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
