#include "bench/scene/qt_reference_plotter.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QVector>
#include <cmath>

#include "bench/scene/nine_functions.h"
#include "engine/vector_state.h"

namespace {

// The scene's functions in double precision, undefined as NaN.
double SceneValue(int i, double x) {
    switch (i) {
        case 0: return std::sin(x);
        case 1: return std::cos(3 * x);
        case 2: return x * x / 4;
        case 3: return x == 0 ? NAN : 1 / x;
        case 4: return std::tan(x);
        case 5: return x < 0 ? NAN : std::sqrt(x);
        case 6: return x <= 0 ? NAN : std::log(x);
        case 7: return std::exp(x) / 10;
        default: return std::floor(x);
    }
}

const QRgb SceneColours[9] = {0xFF2C75FF, 0xFFA66D27, 0xFF3A9D23, 0xFFB666D2, 0xFF1EA0A0,
                              0xFF960018, 0xFF9D907A, 0xFFDC4E46, 0xFFE7A234};

}  // namespace

struct QtReferencePlotter::Impl {
    QImage image{SceneWidth, SceneHeight, QImage::Format_RGB32};
    QVector<QPointF> points;
    bool clearsVectorState = false;
};

QtReferencePlotter::QtReferencePlotter(bool clearsVectorState) : impl_(new Impl) {
    impl_->points.reserve(SceneWidth + 1);
    impl_->clearsVectorState = clearsVectorState;
}

QtReferencePlotter::~QtReferencePlotter() { delete impl_; }

void QtReferencePlotter::Draw(double dx, double dy) {
    QImage& image = impl_->image;
    image.fill(Qt::white);
    QPainter painter(&image);
    const double xmin = -5 + dx, xmax = 5 + dx, ymin = -5 + dy, ymax = 5 + dy;
    const double w = SceneWidth, h = SceneHeight;
    for (int i = 0; i < 9; ++i) {
        painter.setPen(QPen(QColor::fromRgb(SceneColours[i]), 3));
        QVector<QPointF>& points = impl_->points;
        points.clear();
        auto flush = [&] {
            if (points.size() > 1) painter.drawPolyline(points.constData(), int(points.size()));
            points.clear();
        };
        if (impl_->clearsVectorState) ClearUpperVectorHalves();
        for (int c = 0; c <= SceneWidth; ++c) {
            const double x = xmin + (xmax - xmin) * c / w;
            const double y = SceneValue(i, x);
            const double row = (ymax - y) / (ymax - ymin) * h;
            if (!std::isfinite(row) || row < -h || row > 2 * h) {
                flush();
                continue;
            }
            points.append(QPointF(c, row));
        }
        flush();
    }
}

unsigned QtReferencePlotter::Checksum() const {
    unsigned sum = 0;
    const QImage& image = impl_->image;
    for (int y = 0; y < image.height(); y += 97) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); x += 13) sum = sum * 31 + row[x];
    }
    return sum;
}
