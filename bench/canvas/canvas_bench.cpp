// Draws 9 sine-like polylines of 15,000 connected segments each, pen width 3, on a
// 1920 x 1080 bitmap: once with the canvas (our rasteriser), once with one QPainter
// drawLine call per segment on an image of the same size. Prints the median of several
// runs of each and their ratio.
#include <QImage>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/bitmap_image.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr int kCurves = 9, kSegments = 15000, kRuns = 9, kPenWidth = 3;

struct Polyline {
    std::vector<QPoint> points;  // kSegments + 1 points
    QRgb colour;
};

std::vector<Polyline> MakeCurves() {
    std::vector<Polyline> curves;
    for (int k = 0; k < kCurves; ++k) {
        Polyline p;
        p.colour = qRgb(30 * k, 255 - 25 * k, 100 + 15 * k);
        const double frequency = 0.004 + 0.003 * k, amplitude = 150 + 40 * k, phase = 0.7 * k;
        for (int i = 0; i <= kSegments; ++i) {
            const double x = double(i) * kWidth / kSegments;
            const double y = kHeight / 2.0 + amplitude * std::sin(frequency * x + phase) +
                             20.0 * std::sin(0.05 * x * (k + 1));
            p.points.emplace_back(int(std::lround(x)), int(std::lround(y)));
        }
        curves.push_back(std::move(p));
    }
    return curves;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double TimeCanvas(const std::vector<Polyline>& curves, TBitmap& bitmap) {
    TCanvas& c = bitmap.Canvas();
    c.Brush.Color = clWhite;
    c.FillRect(Rect(0, 0, kWidth, kHeight));
    const auto start = std::chrono::steady_clock::now();
    c.Pen.Width = kPenWidth;
    for (const Polyline& p : curves) {
        c.Pen.Color = RGB(qRed(p.colour), qGreen(p.colour), qBlue(p.colour));
        c.MoveTo(p.points[0].x(), p.points[0].y());
        for (size_t i = 1; i < p.points.size(); ++i) c.LineTo(p.points[i].x(), p.points[i].y());
    }
    return Seconds(std::chrono::steady_clock::now() - start);
}

double TimePainter(const std::vector<Polyline>& curves, QImage& image) {
    image.fill(Qt::white);
    const auto start = std::chrono::steady_clock::now();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const Polyline& p : curves) {
        painter.setPen(QPen(QColor(p.colour), kPenWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        for (size_t i = 1; i < p.points.size(); ++i) painter.drawLine(p.points[i - 1], p.points[i]);
    }
    painter.end();
    return Seconds(std::chrono::steady_clock::now() - start);
}

// The share of pixels on which the two pictures differ (they are not meant to agree
// pixel for pixel, only to draw the same curves).
double DifferentPixels(const QImage& a, const QImage& b) {
    long long differing = 0;
    for (int y = 0; y < kHeight; ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < kWidth; ++x) differing += (ra[x] & 0xFFFFFF) != (rb[x] & 0xFFFFFF);
    }
    return double(differing) / (double(kWidth) * kHeight);
}

}  // namespace

int main() {
    const std::vector<Polyline> curves = MakeCurves();
    TBitmap bitmap(kWidth, kHeight);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    std::vector<double> ours, painter;
    TimeCanvas(curves, bitmap);  // warm-up
    TimePainter(curves, image);
    for (int run = 0; run < kRuns; ++run) {
        ours.push_back(TimeCanvas(curves, bitmap));
        painter.push_back(TimePainter(curves, image));
    }
    const double o = Median(ours), p = Median(painter);
    const double segments = double(kCurves) * kSegments;
    std::printf("canvas lines: %d x %d connected segments, width %d, %d x %d bitmap, median of %d runs\n",
                kCurves, kSegments, kPenWidth, kWidth, kHeight, kRuns);
    std::printf("  our rasteriser (TCanvas::LineTo): %9.3f ms  (%6.1f ns per segment)\n", o * 1e3, o / segments * 1e9);
    std::printf("  QPainter::drawLine per segment  : %9.3f ms  (%6.1f ns per segment)\n", p * 1e3, p / segments * 1e9);
    std::printf("  ratio (QPainter / ours)         : %9.1f x\n", p / o);
    std::printf("  pixels that differ between the two pictures: %.3f %%\n",
                100.0 * DifferentPixels(BitmapImage(bitmap), image));
    return 0;
}
