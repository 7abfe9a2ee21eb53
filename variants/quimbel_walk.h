#pragma once
// The parts of Quimbel's curve walk that the sampler and the crossing of steep stretches
// off the picture share: the frame of one function's walk, and the evaluation of its rows
// against the redraw's budget of work.
#include <cstdint>

#include "plotter/function_rows.h"

namespace quimbel {

// One function's walk over one picture.
struct WalkFrame {
    int index = 0;
    double a = 0, b = 0;
    long double xmin = 0, xmax = 0;
    long double ymax = 0, yextent = 1;
    int width = 0;           // columns of the picture
    long double height = 0;  // rows of the picture
    double dx = 0;           // the base step: a pixel column, a quarter of one when precise
    long double fine = 0;    // the finest step
    bool precise = false;

    // A point more than one row above or below the picture (an undefined value is far
    // above it).
    bool OffPicture(long double row) const { return row <= -1 || row >= height + 1; }
    long double RowOf(long double value) const { return (ymax - value) / yextent * height; }
};

// Evaluates the function of a walk, counting the evaluations against a limit: once the
// limit is reached the walk ends where it stands. One value may be kept for the walk's
// next evaluation, when the crossing of a stretch off the picture already made it.
class WalkEvaluator {
public:
    WalkEvaluator(const WalkFrame& frame, std::int64_t limit) : frame_(frame), limit_(limit) {}

    // The value at x, taken as a double as the engine does.
    long double Value(long double x) {
        if (kept_) return KeptValueOr(x);
        ++evaluations_;
        return EvaluateInDomain(frame_.index, static_cast<double>(x), frame_.a, frame_.b);
    }
    // The next call of Value for exactly x returns `value` without evaluating again.
    void KeepForNext(long double x, long double value);

    bool Spent() const { return evaluations_ >= limit_; }
    std::int64_t Evaluations() const { return evaluations_; }

private:
    long double KeptValueOr(long double x);

    const WalkFrame& frame_;
    std::int64_t limit_;
    std::int64_t evaluations_ = 0;
    bool kept_ = false;
    long double keptX_ = 0, keptValue_ = 0;
};

// Off the picture with the pen up, a sample that moves by more than this many rows from
// the one before homes in: the walk advances by the fine step only, its look-ahead one
// base step further.
inline constexpr long double HomingJump = 2;

// Where a run of homing samples ends. After a homing sample the walk stands at `start`,
// the sample's look-ahead on `startRow`; sample n of the run looks ahead at
// start + n * fine + dx, and homes again while that point is off the picture and more than
// HomingJump rows away from the look-ahead before it. The run is crossed by probing it at
// growing distances (never more than a base step apart), and bisected back to the first
// sample that does not home: the curve back on the picture, or slow again.
struct HomingRunEnd {
    long double walkAt;       // where the walk stands before that sample
    long double previousX;    // where it stood after the sample before
    long double previousRow;  // the row of that sample's look-ahead
    bool walkEnds;            // every sample up to the window's end homes, or the budget is spent
};
HomingRunEnd CrossHomingRun(const WalkFrame& frame, WalkEvaluator& evaluator, long double start,
                            long double startX, long double startRow);

}  // namespace quimbel
