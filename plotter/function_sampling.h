#pragma once
// The walk of one function's curve across the picture: its samples, and the canvas calls
// that join them. Several functions' walks can run at once on different threads: a walk only
// evaluates its own function and writes its own strokes.
#include <cstdint>
#include <exception>
#include <vector>

#include "platform/graphics/canvas.h"

// One call of the canvas that draws a curve: a move of the pen, or a line to the point.
struct CurveStroke {
    bool line;
    TPoint to;
};

// Joins the points of a curve with lines, written down as strokes for the canvas (the walks
// of several functions run at once; their strokes are drawn afterwards, in order).
// Consecutive steps along the same row, along the same column in the same direction, or by
// one pixel along the same diagonal are drawn as one line: the pixels are the same (a line
// of width 1 leaves out its end point, which the next step of the run starts from; wider
// lines are round-capped, and connected collinear capsules cover their hull), and a curve
// makes far fewer calls.
class PolylineWriter {
public:
    explicit PolylineWriter(std::vector<CurveStroke>& strokes) : strokes_(strokes) {}

    // Opens a new segment with the single point p.
    void Start(TPoint p) {
        Flush();
        strokes_.push_back({false, p});
        strokes_.push_back({true, p});
        end_ = p;
    }

    // Continues the segment to p.
    void To(TPoint p) {
        // A line to where the pen stands would only paint the end of the last line
        // again, which nothing has covered since.
        if (p == end_) return;
        const TPoint direction = RunDirection(end_, p);
        if (pending_ && direction == direction_) {
            end_ = p;
            return;
        }
        Flush();
        if (direction == TPoint{0, 0}) {
            strokes_.push_back({true, p});
        } else {
            pending_ = true;
            direction_ = direction;
        }
        end_ = p;
    }

    // Draws the run that is waiting, if any; the pen then stands at the last point.
    void Flush() {
        if (!pending_) return;
        strokes_.push_back({true, end_});
        pending_ = false;
    }

private:
    // The direction of a run the step from `from` to `to` can belong to: (+-1, 0) along a
    // row, (0, +-1) along a column, the step itself for one pixel along a diagonal, and
    // (0, 0) for any other step.
    static TPoint RunDirection(TPoint from, TPoint to) {
        const int dx = to.X - from.X;
        const int dy = to.Y - from.Y;
        if (dy == 0) return TPoint{dx > 0 ? 1 : -1, 0};
        if (dx == 0) return TPoint{0, dy > 0 ? 1 : -1};
        if ((dx == 1 || dx == -1) && (dy == 1 || dy == -1)) return TPoint{dx, dy};
        return TPoint{0, 0};
    }

    std::vector<CurveStroke>& strokes_;
    TPoint end_{};
    bool pending_ = false;
    TPoint direction_{};
};

// The picture a walk is made for, and the parameters a and b.
struct SamplerInput {
    int width;
    int height;
    double a;
    double b;
};

// Walks function `index` from WindowXMin to the first abscissa not below WindowXMax, eight
// samples per pixel column (32 where `precise`) until the first rejected sample and one
// (four) after it, and writes the lines joining the accepted samples into `strokes` (none
// where it is null). The number of evaluations.
std::int64_t SampleFunction(int index, bool precise, const SamplerInput& in, std::vector<CurveStroke>* strokes);

// The pen of function `index`'s curve.
TPen CurvePen(int index);

// A function's walked curve, and what ended its walk early, if anything.
struct WalkedCurve {
    int index;
    const std::vector<CurveStroke>* strokes;
    std::exception_ptr failure;
};

// Draws the curves in the order given (from n down to f), each with its pen. A curve whose
// walk failed is drawn as far as it went, and its failure thrown. The canvas's pen is left
// as drawing them one by one leaves it: f's, or that of the curve that failed.
void DrawWalkedCurves(const std::vector<WalkedCurve>& curves, TCanvas& canvas);
