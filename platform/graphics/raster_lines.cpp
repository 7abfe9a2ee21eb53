// Line rasterisation: width-1 lines by exact integer stepping (the end point excluded, dash
// patterns applied), wider lines as the set of pixels within half the width of the segment.
#include <algorithm>
#include <cmath>
#include <climits>
#include <cstdlib>

#include "platform/graphics/raster.h"
#include "platform/graphics/raster_spans.h"

namespace raster {
namespace {

// Coordinates farther out are brought in by clipping the segment, which keeps the integer
// stepping below 2^55 and does not change anything that falls on a bitmap.
constexpr double kCoordinateLimit = 67108864.0;  // 2^26

// The on/off runs of the styled pens at width 1, in pixels.
struct Pattern {
    bool on[24] = {};
    int period = 0;
};

Pattern MakePattern(std::initializer_list<int> runs) {
    Pattern p;
    bool state = true;
    for (int run : runs) {
        for (int i = 0; i < run; ++i) p.on[p.period++] = state;
        state = !state;
    }
    return p;
}

const Pattern* PatternOf(TPenStyle style) {
    static const Pattern dash = MakePattern({18, 6});
    static const Pattern dot = MakePattern({3, 3});
    static const Pattern dashDot = MakePattern({9, 6, 3, 6});
    static const Pattern dashDotDot = MakePattern({9, 3, 3, 3, 3, 3});
    switch (style) {
        case psDash: return &dash;
        case psDot: return &dot;
        case psDashDot: return &dashDot;
        case psDashDotDot: return &dashDotDot;
        default: return nullptr;
    }
}

// Liang-Barsky clipping of the segment to the square of half side `limit`; false when the
// segment misses it. The clipped end points are rounded to whole pixels.
bool ClipToLimit(long long& x0, long long& y0, long long& x1, long long& y1, double limit) {
    const double ax = double(x0), ay = double(y0);
    const double dx = double(x1 - x0), dy = double(y1 - y0);
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {ax + limit, limit - ax, ay + limit, limit - ay};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0.0) {
            if (q[k] < 0.0) return false;
            continue;
        }
        const double r = q[k] / p[k];
        if (p[k] < 0.0) {
            if (r > t1) return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0) return false;
            t1 = std::min(t1, r);
        }
    }
    const double nx0 = std::nearbyint(ax + t0 * dx), ny0 = std::nearbyint(ay + t0 * dy);
    const double nx1 = std::nearbyint(ax + t1 * dx), ny1 = std::nearbyint(ay + t1 * dy);
    x0 = (long long)nx0;
    y0 = (long long)ny0;
    x1 = (long long)nx1;
    y1 = (long long)ny1;
    return true;
}

bool Huge(long long v) { return v > (long long)kCoordinateLimit || v < -(long long)kCoordinateLimit; }

inline void Touch(std::uint32_t* p, const Ink& ink) {
    if (ink.invert)
        *p ^= 0x00FFFFFFu;
    else
        *p = ink.pixel;
}

// Width 1: pixel i (0 <= i < n, n the length of the major axis) lies at the major
// coordinate start + i and the minor coordinate start + round(i * minor / n), halves
// rounded away from the start.
void ThinLine(const Target& t, long long x0, long long y0, long long x1, long long y1,
              TPenStyle style, const Ink& ink, std::int64_t& phase) {
    const long long dx = x1 - x0, dy = y1 - y0;
    const long long adx = std::llabs(dx), ady = std::llabs(dy);
    const long long n = std::max(adx, ady);
    if (n == 0) return;
    const Pattern* pattern = PatternOf(style);
    const std::int64_t startPhase = phase;
    phase += n;
    const bool xMajor = adx >= ady;
    const long long major0 = xMajor ? x0 : y0, minor0 = xMajor ? y0 : x0;
    const long long majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const long long minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const long long minorLen = xMajor ? ady : adx;
    const long long majorSize = xMajor ? t.width : t.height;
    const long long minorSize = xMajor ? t.height : t.width;
    // The steps whose major coordinate falls on the target.
    long long iFirst, iLast;
    if (majorStep > 0) {
        iFirst = std::max(0LL, -major0);
        iLast = std::min(n - 1, majorSize - 1 - major0);
    } else {
        iFirst = std::max(0LL, major0 - (majorSize - 1));
        iLast = std::min(n - 1, major0);
    }
    // round(i * minor / n) is the quotient of (2 i minorLen + n) / 2n, followed from step to
    // step by its remainder instead of dividing at every pixel.
    const long long twoN = 2 * n;
    const long long numerator = 2 * iFirst * minorLen + n;
    long long quotient = numerator / twoN;
    long long remainder = numerator % twoN;
    const long long quotientStep = 2 * minorLen / twoN;
    const long long remainderStep = 2 * minorLen % twoN;
    // The place in the dash pattern, followed the same way.
    int patternAt = pattern ? int((startPhase + iFirst) % pattern->period) : 0;
    for (long long i = iFirst; i <= iLast; ++i) {
        const long long minor = minor0 + minorStep * quotient;
        quotient += quotientStep;
        remainder += remainderStep;
        if (remainder >= twoN) {
            remainder -= twoN;
            ++quotient;
        }
        bool on = true;
        if (pattern) {
            on = pattern->on[patternAt];
            if (++patternAt == pattern->period) patternAt = 0;
        }
        if (!on || minor < 0 || minor >= minorSize) continue;
        const long long major = major0 + majorStep * i;
        const long long x = xMajor ? major : minor, y = xMajor ? minor : major;
        Touch(t.Row(int(y)) + x, ink);
    }
}

// The pixels of a pen's round end: for each row offset k from the centre row, the span of
// column offsets whose sample points lie within width/2 of the centre. Odd widths sample
// at pixel centres, even widths at the pixels' corners (x + 0.5, y + 0.5), so that a
// horizontal line of width w covers exactly w rows. Recomputed when the width changes.
struct Disc {
    int width = 0;
    int kFirst = 0, kLast = -1;
    int left[TCanvas::MaxPenWidth + 1] = {};
    int right[TCanvas::MaxPenWidth + 1] = {};
};

const Disc& DiscOf(int width) {
    static thread_local Disc disc;
    if (disc.width == width) return disc;
    const double r = width / 2.0;
    const double o = (width % 2 == 0) ? 0.5 : 0.0;
    disc.width = width;
    disc.kFirst = (width % 2 == 0) ? -width / 2 : -(width - 1) / 2;
    disc.kLast = (width % 2 == 0) ? width / 2 - 1 : (width - 1) / 2;
    for (int k = disc.kFirst; k <= disc.kLast; ++k) {
        const double dy = k + o;
        const double h = std::sqrt(std::max(0.0, r * r - dy * dy));
        disc.left[k - disc.kFirst] = int(std::ceil(-o - h));
        disc.right[k - disc.kFirst] = int(std::floor(-o + h));
    }
    return disc;
}

// Wider: the pixels whose sample points lie within width/2 of the segment. Row by row the
// capsule is convex, so its trace is one interval: the union of the traces of the two end
// discs (from the table) and of the band between them.
void WideLine(const Target& t, long long ax, long long ay, long long bx, long long by, int width,
              const Ink& ink) {
    const Disc& disc = DiscOf(width);
    const double r = width / 2.0;
    const double o = (width % 2 == 0) ? 0.5 : 0.0;
    const long long yFirst = std::max(std::min(ay, by) + disc.kFirst, 0LL);
    const long long yLast = std::min(std::max(ay, by) + disc.kLast, (long long)t.height - 1);
    if (yFirst > yLast) return;
    const double dx = double(bx - ax), dy = double(by - ay);
    const double len = std::sqrt(dx * dx + dy * dy);
    const bool band = len > 0.0 && dy != 0.0;  // horizontal bands add nothing to the discs' rows
    const bool vertical = dx == 0.0;
    const double nx = band ? -dy / len : 0.0, ny = band ? dx / len : 0.0;
    const double slope = band ? dx / dy : 0.0;
    const double inverseNy = band && !vertical ? 1.0 / ny : 0.0;
    for (long long y = yFirst; y <= yLast; ++y) {
        long long xs = LLONG_MAX, xe = LLONG_MIN;
        if (const long long k = y - ay; k >= disc.kFirst && k <= disc.kLast) {
            xs = ax + disc.left[k - disc.kFirst];
            xe = ax + disc.right[k - disc.kFirst];
        }
        if (const long long k = y - by; k >= disc.kFirst && k <= disc.kLast) {
            xs = std::min(xs, bx + disc.left[k - disc.kFirst]);
            xe = std::max(xe, bx + disc.right[k - disc.kFirst]);
        }
        if (dy == 0.0 && len > 0.0 && xs <= xe) {
            // A horizontal segment: its rows are the discs' rows, filled between the two ends.
            xs = std::min(xs, std::min(ax, bx));
            xe = std::max(xe, std::max(ax, bx));
        } else if (band) {
            const double Y = double(y) + o - double(ay);
            double lo, hi;
            bool hit = false;
            if (vertical) {
                const double tt = Y / dy;
                if (tt >= 0.0 && tt <= 1.0) {
                    lo = double(ax) - r;
                    hi = double(ax) + r;
                    hit = true;
                }
            } else {
                // Points A + t (B - A) + s n with 0 <= t <= 1 and |s| <= r on this row:
                // t = (Y - s ny) / dy, so s runs between (Y - dy) / ny and Y / ny.
                double s0 = (Y - dy) * inverseNy, s1 = Y * inverseNy;
                if (s0 > s1) std::swap(s0, s1);
                s0 = std::max(s0, -r);
                s1 = std::min(s1, r);
                if (s0 <= s1) {
                    const double xa = double(ax) + (Y - s0 * ny) * slope + s0 * nx;
                    const double xb = double(ax) + (Y - s1 * ny) * slope + s1 * nx;
                    lo = std::min(xa, xb);
                    hi = std::max(xa, xb);
                    hit = true;
                }
            }
            if (hit) {
                xs = std::min(xs, (long long)std::ceil(lo - o));
                xe = std::max(xe, (long long)std::floor(hi - o));
            }
        }
        if (xs > xe) continue;
        PaintClippedSpan(t.Row(int(y)), xs, xe, t.width, ink);
    }
}

}  // namespace

void Line(const Target& target, int x0, int y0, int x1, int y1, int width, TPenStyle style,
          const Ink& ink, std::int64_t& phase) {
    if (style == psClear || target.width <= 0 || target.height <= 0) return;
    long long ax = x0, ay = y0, bx = x1, by = y1;
    if (Huge(ax) || Huge(ay) || Huge(bx) || Huge(by)) {
        const long long n = std::max(std::llabs(bx - ax), std::llabs(by - ay));
        if (!ClipToLimit(ax, ay, bx, by, kCoordinateLimit)) {
            phase += n;
            return;
        }
    }
    if (width < 2)
        ThinLine(target, ax, ay, bx, by, style, ink, phase);
    else
        WideLine(target, ax, ay, bx, by, width, ink);
}

}  // namespace raster
