#include "dialogs/tangents_estimate.h"

#include <algorithm>
#include <cmath>

#include "dialogs/analysis_rows.h"
#include "engine/number_format.h"
#include "engine/program_variant.h"
#include "plotter/function_rows.h"

std::array<double, TangentRowCount> TangentSlopes{};
std::array<double, TangentRowCount> TangentIntercepts{};
std::array<double, TangentRowCount> TangentPoints{};
std::array<std::int32_t, TangentRowCount> TangentSides{};

void ResetTangentResults() {
    TangentSlopes.fill(0);
    TangentIntercepts.fill(0);
    TangentPoints.fill(0);
    TangentSides.fill(0);
}

namespace {

constexpr int MaxPasses = 101;
constexpr double FirstStep = 0.1;
// The step halves at each sample; below this the secants have not settled.
constexpr double SmallestStep = 1e-12;
// Two successive secant slopes closer than this give the slope.
constexpr double SlopeTolerance = 1e-6;
// Where the secants gave up, the closest pair of successive slopes still gives the slope
// when they agree within this share of it: a steep function (exp at 10) has slopes that
// settle to many digits but never within the absolute tolerance, because of the rounding
// of its values.
constexpr double RelativeSlopeTolerance = 1e-6;

struct SlopeEstimate {
    bool defined = false;
    double slope = 0;
    double point = 0;  // abscissa of the last kept sample
    std::int32_t side = TangentRightSide;
};

// The closest pair of successive slopes met so far.
struct ClosestPair {
    bool found = false;
    double difference = 0;  // |s - ps|
    SlopeEstimate estimate;  // as the loop would have ended on this pair
};

// Samples at x0 + 0.1, x0 - 0.05, x0 + 0.025, ... (undefined samples skipped) and takes
// the slope of the secant through the last two kept samples until two successive slopes
// agree within SlopeTolerance. When they never do, the pair of successive slopes that came
// closest gives the slope, provided they agree within RelativeSlopeTolerance of it.
SlopeEstimate EstimateSlope(int function, double x0, const AnalysisParameters& p) {
    SlopeEstimate estimate;
    ClosestPair closest;
    double h = FirstStep;
    bool havePrevious = false;
    double px = 0;
    long double py = 0;
    bool havePreviousSlope = false;
    double previousSlope = 0;
    for (int pass = 0; pass < MaxPasses; ++pass) {
        const double x1 = x0 + h;
        const long double y1 = EvaluateInDomain(function, x1, p.a, p.b);
        if (y1 != UndefinedValue) {
            if (havePrevious && px != x1) {
                estimate.slope = double((py - y1) / (static_cast<long double>(px) - x1));
                estimate.defined = true;
                // Once samples were kept on both sides of x0, the tangent is two-sided.
                if (estimate.side != TangentBothSides) {
                    if ((x1 - x0) * (px - x0) < 0)
                        estimate.side = TangentBothSides;
                    else
                        estimate.side = (x1 - x0 >= 0) ? TangentRightSide : TangentLeftSide;
                }
                if (havePreviousSlope) {
                    const double difference = std::fabs(estimate.slope - previousSlope);
                    if (difference < SlopeTolerance) break;
                    if (std::isfinite(difference) && (!closest.found || difference < closest.difference)) {
                        closest.found = true;
                        closest.difference = difference;
                        closest.estimate = estimate;
                        closest.estimate.point = px;
                    }
                }
                previousSlope = estimate.slope;
                havePreviousSlope = true;
            }
            px = x1;
            py = y1;
            havePrevious = true;
        }
        if (std::fabs(h) < SmallestStep) {
            estimate.defined = false;
            break;
        }
        h = -h / 2;
    }
    estimate.point = px;
    if (!estimate.defined && closest.found &&
        closest.difference < RelativeSlopeTolerance * std::max(1.0, std::fabs(closest.estimate.slope)))
        return closest.estimate;
    return estimate;
}

}  // namespace

std::string ComputeTangent(int r) {
    try {
        const TangentSettings row = GetTangentSettings(r);
        CompileRowFunction(row.function);
        const AnalysisParameters parameters = ReadAnalysisParameters();
        const SlopeEstimate estimate = EstimateSlope(row.function, row.x0, parameters);
        if (estimate.defined) {
            long double y0 = EvaluateInDomain(row.function, row.x0, parameters.a, parameters.b);
            if (y0 == UndefinedValue) y0 = EvaluateInDomain(row.function, estimate.point, parameters.a, parameters.b);
            if (y0 != UndefinedValue) {
                const double slope = double(RoundToSixDecimals(estimate.slope));
                const double intercept =
                    double(RoundToSixDecimals(double(y0 - static_cast<long double>(estimate.slope) * row.x0)));
                // An ordinate beyond the range of a double has no tangent to show.
                if (std::isfinite(slope) && std::isfinite(intercept)) {
                    TangentPoints[size_t(r)] = estimate.point;
                    TangentSides[size_t(r)] = estimate.side;
                    TangentSlopes[size_t(r)] = slope;
                    TangentIntercepts[size_t(r)] = intercept;
                    return "y = " + FormatGeneral(slope, ShortDigits) + ".x + " + FormatGeneral(intercept, ShortDigits);
                }
            }
        }
    } catch (...) {
        // An abscissa, a or b that cannot be read, or a combo box that names no function.
    }
    if (r >= 0 && r < TangentRowCount) TangentSides[size_t(r)] = TangentNotDerivable;
    return NotDerivableText;
}
