// Quimbel's curve sampler: one point per step, the step steered so that consecutive
// points lie about one row apart (0.5 to 1.4 rows), growing on flat stretches (never
// beyond one pixel column) and shrinking on steep ones.
#include <algorithm>
#include <cmath>
#include <exception>
#include <string>
#include <vector>

#include "engine/expression_evaluator.h"
#include "engine/number_conversion.h"
#include "engine/program_variant.h"
#include "engine/text_helpers.h"
#include "plotter/curve_sampler.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/function_sampling.h"
#include "plotter/main_form.h"
#include "plotter/pixel_mapping.h"
#include "plotter/redraw_pipeline.h"
#include "platform/graphics/bitmap.h"
#include "platform/messages/parallel_work.h"
#include "variants/quimbel_drawing.h"
#include "variants/quimbel_walk.h"

namespace quimbel {
namespace {

// The vertical move between consecutive points that the step aims at, in rows.
constexpr long double SmallJump = 0.5;
constexpr long double LargeJump = 1.4;
// A larger jump starts a new segment.
constexpr long double SegmentJump = 4;
// A larger jump over a step finer than the fine step is a discontinuity.
constexpr long double DiscontinuityJump = 8;
// Points in a row whose abscissa does not advance before the walk gives up: the step
// grows on a point that does not move, so a stall that the step can get out of ends long
// before; one that remains would loop for ever.
constexpr int MaxStalledPoints = 200;
// The work of one redraw: one evaluation per pixel of the picture, and at least
// MinimumEvaluations. The nine usual curves need a fortieth of that at the size of a
// screen, with precise tracing; sin(1000*x) over -5..5 less than half.
constexpr std::int64_t MinimumEvaluations = 2000000;

struct WalkInput {
    int width;
    int height;
    double a;
    double b;
};

// Receives the points of a walk: the lines that join them, a record of them, or both.
struct WalkSink {
    PolylineWriter* writer = nullptr;
    SampledWalk* trace = nullptr;
};

bool IsFunctionDrawn(int index) {
    return !GetFunctionEdit(index)->Text().empty() && IsFunctionShown(index);
}

// One function's walk from WindowXMin to the first point not left of WindowXMax, or until
// its share of the redraw's work is spent.
void WalkOne(const WalkFrame& frame, WalkEvaluator& evaluator, const WalkSink& sink) {
    const long double xmin = frame.xmin;
    const long double xmax = frame.xmax;
    const long double xextent = xmax - xmin;
    const bool precise = frame.precise;
    const double dx = frame.dx;
    const long double fine = frame.fine;
    double step = dx;

    long double x = xmin;
    long double prev = x;
    long double prevPy = 1.0L;
    bool penUp = true;
    int stalled = 0;
    while (x < xmax) {
        if (evaluator.Spent()) {
            if (sink.trace) sink.trace->BudgetSpent = true;
            break;
        }
        const long double start = prev;
        double k = 1.0;
        int direction = 0;
        long double y = 0;
        long double py = 0;
        long double jump = 0;
        bool out = false;
        bool homed = false;
        // The search for the next point: one evaluation in normal mode; in precise mode as
        // many as it takes the step to bring the jump into 0.5 .. 1.4 rows.
        for (;;) {
            const double s0 = step;
            x = prev + step;
            y = evaluator.Value(x);
            py = frame.RowOf(y);
            jump = std::fabs(prevPy - py);
            out = frame.OffPicture(py);
            if (out && penUp && jump > HomingJump && x > xmin) {
                // Homing: the curve is off the picture and moving fast. The point ahead is
                // rejected, and the walk goes on from just past the current one.
                step /= 2;
                prev -= step;
                x = prev + step;
                jump = 3;
                homed = true;
                break;
            }
            if (jump < SmallJump && step <= dx) {
                step *= 1 + k;
                k *= direction == +1 && k <= 1 ? 1.1 : 0.7;
                direction = +1;
            }
            if (jump > LargeJump && !out && fine <= step) {
                step /= 3 * k + 1;
                k *= direction == -1 && k <= 1 ? 1.07 : 0.65;
                direction = -1;
            }
            if (!precise) break;
            if ((jump >= SmallJump && jump <= LargeJump) || (jump < SmallJump && step >= dx) ||
                (jump > LargeJump && fine > step) || out || (step < s0 && s0 - step < fine))
                break;
            // A step that no longer changes would evaluate the same point again and again.
            if (step == s0) break;
            if (evaluator.Spent()) break;
        }
        prevPy = py;
        prev = x;
        const bool accepted = !(y == UndefinedValue || out);
        bool startsSegment = false;
        if (!accepted) {
            penUp = true;
            step = dx;
            prev = prev + fine;
        } else {
            const int px = ClampedPixel((x - xmin) / xextent * frame.width);
            if (fine > step && jump > DiscontinuityJump) {
                penUp = true;
                step = px != 0 && precise ? static_cast<double>(fine) : dx;
            }
            startsSegment = penUp || jump > SegmentJump;
            if (sink.writer) {
                const TPoint point{px, ClampedPixel(py)};
                if (startsSegment)
                    sink.writer->Start(point);
                else
                    sink.writer->To(point);
            }
            penUp = false;
        }
        if (sink.trace) sink.trace->Points.push_back(SampledPoint{x, py, accepted, startsSegment});
        if (homed && x < xmax) {
            // The samples that follow home too while the curve stays off the picture and
            // moving fast: they are crossed in large steps, up to the one that does not.
            const HomingRunEnd end = CrossHomingRun(frame, evaluator, prev, x, prevPy);
            if (end.walkEnds) {
                if (sink.trace) sink.trace->BudgetSpent = evaluator.Spent();
                break;
            }
            prev = end.walkAt;
            x = end.previousX;
            prevPy = end.previousRow;
        }
        // A walk whose abscissa stands still would never reach the window's end.
        if (prev > start) {
            stalled = 0;
        } else if (++stalled >= MaxStalledPoints) {
            if (sink.trace) sink.trace->Stalled = true;
            break;
        }
    }
}

WalkFrame FrameOf(int index, const WalkInput& in) {
    WalkFrame f;
    f.index = index;
    f.a = in.a;
    f.b = in.b;
    f.xmin = WindowXMin;
    f.xmax = WindowXMax;
    f.ymax = WindowYMax;
    f.yextent = f.ymax - static_cast<long double>(WindowYMin);
    f.width = in.width;
    f.height = in.height;
    f.precise = PreciseTracing;
    f.dx = (WindowXMax - WindowXMin) / in.width;  // one pixel column
    if (f.precise) f.dx /= 4;
    f.fine = static_cast<long double>(f.dx) / (f.precise ? 131072 : 1024);
    return f;
}

// One function's walk, its strokes and its evaluations.
struct FunctionWalk {
    WalkFrame frame;
    std::vector<CurveStroke> strokes{};
    std::int64_t evaluations = 0;
    std::exception_ptr failure{};
};

// Walks w's function anew with at most `limit` evaluations.
void Walk(FunctionWalk& w, std::int64_t limit, bool keepStrokes, SampledWalk* trace) {
    w.strokes.clear();
    w.failure = nullptr;
    WalkEvaluator evaluator(w.frame, limit);
    PolylineWriter writer(w.strokes);
    try {
        WalkOne(w.frame, evaluator, WalkSink{keepStrokes ? &writer : nullptr, trace});
    } catch (...) {
        w.failure = std::current_exception();
    }
    writer.Flush();
    w.evaluations = evaluator.Evaluations();
    if (trace) trace->Evaluations += w.evaluations;
}

// The functions share the redraw's work: each may use the part of what is left that falls
// to it (they are walked from n down to f), and leaves what it does not use to the others.
// That part is never below an equal share of the whole, so the walks first run side by side
// on several threads, each with an equal share; one whose walk used up its share, where
// its part is larger, is walked again with its part. Where a function draws random numbers
// the walks run one after another, in order, so that each draws what it would alone.
void WalkAll(std::vector<FunctionWalk>& walks, std::int64_t work, bool keepStrokes, SampledWalk* trace) {
    const std::int64_t count = std::int64_t(walks.size());
    bool random = false;
    for (const FunctionWalk& w : walks) random = random || FunctionDrawsRandomNumbers(w.frame.index);
    if (random || trace || count < 2) {
        for (std::int64_t k = 0; k < count; ++k) {
            FunctionWalk& w = walks[std::size_t(k)];
            Walk(w, work / (count - k), keepStrokes, trace);
            if (w.failure) return;
            work -= w.evaluations;
        }
        return;
    }
    const std::int64_t share = work / count;
    RunInParallel(walks.size(), [&](std::size_t k) { Walk(walks[k], share, keepStrokes, nullptr); });
    for (std::int64_t k = 0; k < count; ++k) {
        FunctionWalk& w = walks[std::size_t(k)];
        const std::int64_t part = work / (count - k);
        // A walk that stayed below both limits went the same way under either.
        if (part != share && !(w.evaluations < share && w.evaluations < part)) Walk(w, part, keepStrokes, nullptr);
        if (w.failure) return;
        work -= w.evaluations;
    }
}

// Nothing is drawn on a picture without pixels or for a window without height: no point
// of any curve could land on it. The strokes are drawn from n down to f, each function's
// with its pen; a walk that failed has what it drew before its failure drawn, and the
// failure thrown.
void WalkCurves(int width, int height, int only, TCanvas* canvas, SampledWalk* trace) {
    ReadWindowFromEdits();
    const WalkInput in{width, height, ParseFloatOrZero(Form1->Edit15->Text()),
                       ParseFloatOrZero(Form1->Edit16->Text())};
    const bool emptyPicture = width <= 0 || height <= 0 || WindowYMax == WindowYMin;
    std::vector<FunctionWalk> walks;
    for (int i = FunctionCount - 1; i >= 0; --i) {
        if ((only >= 0 && i != only) || !IsFunctionDrawn(i)) continue;
        SwitchOffPreciseTracingForRandom(i);
        if (!emptyPicture) walks.push_back({FrameOf(i, in)});
    }
    WalkAll(walks, EvaluationBudget(width, height), canvas != nullptr, trace);
    std::vector<WalkedCurve> curves;
    for (const FunctionWalk& w : walks) curves.push_back({w.frame.index, &w.strokes, w.failure});
    if (canvas) {
        DrawWalkedCurves(curves, *canvas);
        return;
    }
    for (const WalkedCurve& curve : curves)
        if (curve.failure) std::rethrow_exception(curve.failure);
}

}  // namespace

std::int64_t EvaluationBudget(int width, int height) {
    return std::max(MinimumEvaluations, std::int64_t(std::max(width, 0)) * std::max(height, 0));
}

void DrawFunctionCurves(TBitmap& bitmap) {
    WalkCurves(bitmap.Width(), bitmap.Height(), -1, &bitmap.Canvas(), nullptr);
}

SampledWalk WalkFunction(int index, int width, int height) {
    SampledWalk walk;
    CompileShownFunctions();
    WalkCurves(width, height, index, nullptr, &walk);
    return walk;
}

}  // namespace quimbel
