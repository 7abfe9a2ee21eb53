#include "platform/ui/picture_copy.h"

#include <QPaintEngine>
#include <QTransform>

#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// n pixels from src to dst. The destination is only written, so its lines are not read
// into the cache first.
void StreamPixels(std::uint32_t* dst, const std::uint32_t* src, int n) {
#if defined(__SSE2__)
    int i = 0;
    for (; i < n && (reinterpret_cast<std::uintptr_t>(dst + i) & 15) != 0; ++i) dst[i] = src[i];
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 4));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 8));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 12));
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i), a);
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i + 4), b);
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i + 8), c);
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i + 12), d);
    }
    for (; i < n; ++i) dst[i] = src[i];
#else
    std::memcpy(dst, src, std::size_t(n) * sizeof *dst);
#endif
}

void EndStreaming() {
#if defined(__SSE2__)
    _mm_sfence();  // the streamed pixels are in memory before the image is shown
#endif
}

bool IsOpaqueTarget(QImage::Format format) {
    // An opaque source pixel drawn over any of these is the pixel itself.
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

// The image the painter paints on, when a copy into it is what drawImage would do.
QImage* PlainTarget(QPainter& painter) {
    QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster) return nullptr;
    QPaintDevice* device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image) return nullptr;
    auto* target = static_cast<QImage*>(device);
    if (!IsOpaqueTarget(target->format()) || target->devicePixelRatio() != 1.0 || !target->isDetached())
        return nullptr;
    if (painter.compositionMode() != QPainter::CompositionMode_SourceOver || painter.opacity() != 1.0 ||
        painter.hasClipping())
        return nullptr;
    return target;
}

}  // namespace

bool CopyOpaquePicture(QPainter& painter, const QRegion& region, const QImage& picture) {
    if (picture.format() != QImage::Format_RGB32) return false;
    QImage* target = PlainTarget(painter);
    if (!target) return false;
    const QTransform transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxTranslate) return false;
    const double dx = transform.dx(), dy = transform.dy();
    if (dx != std::trunc(dx) || dy != std::trunc(dy) || std::fabs(dx) > 1e6 || std::fabs(dy) > 1e6) return false;
    const QPoint offset{int(dx), int(dy)};

    // What may be painted, in the device's pixels: the region asked for, on the picture,
    // within the painter's system clip (the part of the window being repainted).
    QRegion allowed = (region & picture.rect()).translated(offset) & target->rect();
    const QRegion systemClip = painter.paintEngine()->systemClip();
    if (!systemClip.isEmpty()) allowed &= systemClip;
    for (const QRect& r : allowed) {
        const int width = r.width();
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const auto* src = reinterpret_cast<const std::uint32_t*>(picture.constScanLine(y - offset.y()));
            auto* dst = reinterpret_cast<std::uint32_t*>(target->scanLine(y));
            StreamPixels(dst + r.left(), src + (r.left() - offset.x()), width);
        }
    }
    EndStreaming();
    return true;
}
