#include "dialogs/areas_integral.h"

#include <cmath>

#include "dialogs/analysis_rows.h"
#include "dialogs/area_rows.h"
#include "engine/number_errors.h"
#include "engine/number_format.h"
#include "engine/program_variant.h"
#include "plotter/function_rows.h"

std::string ComputeArea(const AreaSettings& row) {
    const int first = row.firstItem - 1;  // below 0: the zero function
    if (first >= 0) CompileRowFunction(first);
    CompileRowFunction(row.second);

    long double area = 0;
    const double step = (row.upper - row.lower) / AreaTrapezoids;
    const AnalysisParameters p = ReadAnalysisParameters();
    long double previousFirst = UndefinedValue;
    long double previousSecond = UndefinedValue;
    for (int i = 0; i <= AreaTrapezoids; ++i) {
        const double x = i * step + row.lower;
        const long double f1 = first < 0 ? 0.0L : EvaluateInDomain(first, x, p.a, p.b);
        const long double f2 = EvaluateInDomain(row.second, x, p.a, p.b);
        if (previousFirst != UndefinedValue && f1 != UndefinedValue && previousSecond != UndefinedValue &&
            f2 != UndefinedValue)
            area += (previousSecond + f2 - previousFirst - f1) / 2 * step;
        previousSecond = f2;
        previousFirst = f1;
    }
    if (!std::isfinite(area)) throw FloatOverflowError();
    return FormatGeneral(RoundToSixDecimals(area), GeneralDigits);
}
