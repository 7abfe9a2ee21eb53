#include "plotter/function_sampling.h"

#include <cmath>
#include <optional>

#include "engine/program_variant.h"
#include "plotter/drawing_state.h"
#include "plotter/pixel_mapping.h"
#include "plotter/walk_values.h"

namespace {

// A vertical jump of more than this many rows between two samples lifts the pen.
constexpr long double MaxJoinedJump = 256;

// ClampedPixelNear of a row known to lie within `bound` of `py`, where that settles it
// (rounding is monotonic): false, with `last` unchanged, where it does not.
bool SettledPixel(double py, double bound, int& last, int& pixel) {
    if (py - bound > last - 0.5 && py + bound < last + 0.5) {
        pixel = last;
        return true;
    }
    const int low = ClampedPixel(py - bound);
    if (low != ClampedPixel(py + bound)) return false;
    pixel = last = low;
    return true;
}

// Walks the samples of one function from WindowXMin to the first abscissa not below
// WindowXMax, joining the accepted ones into `strokes` (nothing is drawn without them).
// The number of samples.
// Quick: the samples come from the quick evaluation where it has them. Such a sample's row
// is then known within a bound, computed here in double arithmetic; where the bound settles
// every decision the exact row would take (rejected or not, a jump that lifts the pen, the
// pixel row), the sample is done with; elsewhere the exact value decides, as in a walk
// without quick values (for a jump, with the previous sample's exact row as well).
template <bool Quick>
std::int64_t SampleFunction(const SamplerInput& in, std::vector<CurveStroke>* strokes, double dx, long double fine,
                            WalkValues& values) {
    const long double xmin = WindowXMin;
    const long double xmax = WindowXMax;
    const long double xextent = xmax - xmin;
    const long double ymax = WindowYMax;
    const long double yextent = ymax - static_cast<long double>(WindowYMin);
    const long double height = in.height;
    // The unrounded row of an exact value.
    const auto rowOf = [&](long double y) { return (ymax - y) / yextent * height; };
    // For the quick rows: the row of a value v is (ymax - v) * rowsPerUnit, within a
    // relative 2^-51 of the magnitudes of the exact computation, and moves by at most
    // |rowsPerUnit| times the value's move; the bound below adds margins for its own
    // rounding.
    const double rowsPerUnit = static_cast<double>(height / yextent);
    const double absRows = std::fabs(rowsPerUnit);
    const double ymaxDouble = WindowYMax;
    const double heightDouble = in.height;

    double step = dx / 8;

    long double x = xmin;
    long double prev = x;
    long double prevPy = 1.0L;
    bool penUp = true;
    int column = 0;   // the last rounded column and row, where the next ones usually are
    int lastRow = 0;
    // The pixel column of x, ClampedPixelNear of the exact unrounded column, from a double
    // estimate where that settles it: the estimate lies within a relative 2^-50 of the exact
    // value (three roundings of double precision, four of the 80-bit type), plus what a
    // difference x - xmin below the double range loses.
    // (Its last term is computed once: a product below the normal range of doubles costs
    // the processor a hundred times an ordinary one.)
    const auto ExactColumn = [&](long double x) { return ClampedPixelNear((x - xmin) / xextent * in.width, column); };
    const double columnsPerUnit = static_cast<double>(in.width / xextent);
    const double columnFloor = std::fabs(columnsPerUnit) * 0x1p-1000 + 0x1p-1000;
    const auto QuickColumn = [&](long double x) {
        const double c = static_cast<double>(x - xmin) * columnsPerUnit;
        const double bound = std::fabs(c) * 0x1p-50 + columnFloor;
        if (c - bound > column - 0.5 && c + bound < column + 0.5) return column;
        return ExactColumn(x);
    };
    // Quick walks: the previous sample, whether its row prevPy is exact, and its row as a
    // double within a bound.
    long double last = x;
    bool prevExact = true;
    bool rejected = false;
    double prevRow = 1, prevBound = 0;
    std::optional<PolylineWriter> writer;
    if (strokes) writer.emplace(*strokes);
    std::int64_t evaluations = 0;
    while (x < xmax) {
        x = prev + step;
        // Where the step is below the resolution of the abscissa the walk would stand
        // still: the function ends here.
        if (!(x > prev)) break;
        ++evaluations;
        if constexpr (Quick) {
            double value, bound;
            if (values.Next(prev, step, rejected, x, value, bound)) {
                const double py = (ymaxDouble - value) * rowsPerUnit;
                const double pyBound = bound * absRows * (1 + 0x1p-50) +
                                       (std::fabs(ymaxDouble) + std::fabs(value) + bound) * absRows * 0x1p-49 +
                                       0x1p-1000;
                bool settled = true, out = false;
                if (py + pyBound <= -1 || py - pyBound >= heightDouble + 1) {
                    out = true;
                } else if (!(py - pyBound > -1 && py + pyBound < heightDouble + 1)) {
                    settled = false;
                } else if (writer) {
                    bool newSegment = penUp;
                    if (!penUp) {
                        const double jump = std::fabs(prevRow - py);
                        const double jumpBound =
                            prevBound + pyBound + (std::fabs(prevRow) + std::fabs(py)) * 0x1p-50 + 0x1p-1000;
                        if (jump - jumpBound > double(MaxJoinedJump))
                            newSegment = true;
                        else if (!(jump + jumpBound <= double(MaxJoinedJump)))
                            settled = false;
                    }
                    int pixelRow = 0;
                    if (settled && SettledPixel(py, pyBound, lastRow, pixelRow)) {
                        const TPoint point{QuickColumn(x), pixelRow};
                        if (newSegment) {
                            writer->Start(point);  // a new segment
                            penUp = false;
                        } else {
                            writer->To(point);
                        }
                    } else {
                        settled = false;
                    }
                }
                if (settled) {
                    prevExact = false;
                    prevRow = py;
                    prevBound = pyBound;
                    prev = last = x;
                    rejected = out;
                    if (out) {
                        penUp = true;
                        step = dx;
                        prev = x + fine;
                    }
                    continue;
                }
            }
        }
        const long double y = values.Exact(x);
        const long double py = rowOf(y);
        if constexpr (Quick) {
            if (!prevExact && !penUp) prevPy = rowOf(values.Exact(last));
            prevExact = true;
            prevRow = static_cast<double>(py);
            prevBound = std::fabs(prevRow) * 0x1p-52 + 0x1p-1000;
            last = x;
        }
        const long double jump = std::fabs(prevPy - py);
        prevPy = py;
        prev = x;
        rejected = y == UndefinedValue || py <= -1 || py >= height + 1;
        if (rejected) {
            // Undefined, outside the domain, or off the picture: lift the pen and go on
            // one column (plus a fine step) at a time.
            penUp = true;
            step = dx;
            prev = x + fine;
            continue;
        }
        if (!writer) continue;
        const TPoint point{ExactColumn(x), ClampedPixelNear(py, lastRow)};
        if (penUp || jump > MaxJoinedJump) {
            writer->Start(point);  // a new segment
            penUp = false;
        } else {
            writer->To(point);
        }
    }
    if (writer) writer->Flush();
    return evaluations;
}

}  // namespace

TPen CurvePen(int index) {
    return TPen{BlackAndWhite ? clBlack : FunctionColours[size_t(index)], LineThickness, psSolid, pmCopy};
}

void DrawWalkedCurves(const std::vector<WalkedCurve>& curves, TCanvas& canvas) {
    for (const WalkedCurve& curve : curves) {
        canvas.Pen = CurvePen(curve.index);
        for (const CurveStroke& stroke : *curve.strokes) {
            if (stroke.line)
                canvas.LineTo(stroke.to.X, stroke.to.Y);
            else
                canvas.MoveTo(stroke.to.X, stroke.to.Y);
        }
        if (curve.failure) std::rethrow_exception(curve.failure);
    }
    canvas.Pen = CurvePen(0);
}

std::int64_t SampleFunction(int index, bool precise, const SamplerInput& in, std::vector<CurveStroke>* strokes) {
    double dx = (WindowXMax - WindowXMin) / in.width;  // one pixel column
    if (precise) dx /= 4;
    const long double fine = static_cast<long double>(dx) / (precise ? 4096 : 128);
    WalkValues values(index, in.a, in.b, fine);
    return values.Quick() ? SampleFunction<true>(in, strokes, dx, fine, values)
                          : SampleFunction<false>(in, strokes, dx, fine, values);
}

