#pragma once
// The drawing routines of Quimbel: the curve sampler with an adaptive step and the axes
// graduated in multiples of pi.
#include <cstdint>
#include <vector>

class TBitmap;
struct AxesStyle;

namespace quimbel {

// Draws the shown, non-empty functions from n down to f (f ends on top). Each function is
// walked with a step that adapts to the curve: it grows while consecutive points move by
// less than half a row (never beyond one pixel column) and shrinks while they move by more
// than 1.4 rows, so that the points stay about one row apart. A point where the function
// is undefined, outside its domain, or more than one pixel above or below the picture lifts
// the pen; a jump of more than 8 rows over a step finer than the fine step is a
// discontinuity, and any jump of more than 4 rows starts a new segment. With precise
// tracing the step is searched point by point instead of steered. A shown function that
// uses the random keyword turns precise tracing off. The functions must have been
// compiled by CompileShownFunctions.
// A steep stretch off the picture is crossed in few evaluations, with the picture of homing
// in a fine step at a time (up to the last bits of the abscissa where the curve comes
// back, which the fine steps accumulate). A redraw evaluates the functions at most
// EvaluationBudget times in all, each function taking at most its share of what the ones
// walked before left (they are walked from n down to f); a walk that would need more (a
// curve that oscillates across the picture many times in every column, say) ends where its
// share runs out, and what it drew so far stays.
void DrawFunctionCurves(TBitmap& bitmap);

// The evaluations one redraw may make for a picture of the size.
std::int64_t EvaluationBudget(int width, int height);

// Axes, grid and graduations, the abscissae counted in multiples of pi (written with the
// pi sign) while "Abscisses en multiple de pi" is checked, with a denser x graduation
// than Vartelo's.
void DrawAxesAndGrid(TBitmap& bitmap);
const AxesStyle& PiAxesStyle();

// One point of a function's walk, as the sampler reached it.
struct SampledPoint {
    long double X;       // where the walk stands after the point
    long double Row;     // unrounded row of the evaluated point (for a homing sample, the
                         // point one step ahead of X)
    bool Accepted;       // drawn (not undefined, in the domain, on the picture)
    bool StartsSegment;  // an accepted point that opens a new segment
};

// The walk of function `index` over a picture of the size, drawing nothing; the points in
// order and the number of evaluations made. The window, the parameters and the function
// are read and compiled as a redraw does; the walk has the whole budget of a redraw.
// Index -1: the walks of every drawn function, from n down to f, one after another, sharing
// the budget as a redraw's walks do.
struct SampledWalk {
    std::vector<SampledPoint> Points;
    std::int64_t Evaluations = 0;
    bool Stalled = false;      // the walk stopped because its abscissa no longer advanced
    bool BudgetSpent = false;  // the walk stopped because its share of the work ran out
};
SampledWalk WalkFunction(int index, int width, int height);

}  // namespace quimbel
