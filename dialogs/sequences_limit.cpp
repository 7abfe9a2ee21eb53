// The limit of a sequence U(n+1) = F(Un), shown in the row's label.
#include <cmath>

#include "dialogs/analysis_rows.h"
#include "dialogs/sequence_rows.h"
#include "dialogs/sequences_staircase.h"
#include "engine/number_format.h"
#include "engine/program_variant.h"
#include "plotter/function_rows.h"

bool SequenceStops(long double u, long double v, long double prev, long double prevIn) {
    static const long double growthBound = std::exp(30.0L);
    return v == UndefinedValue || std::fabs(v - prev) < SequenceTolerance ||
           std::fabs(prevIn - u) < SequenceTolerance * SequenceTolerance || std::fabs(v) > growthBound;
}

std::string ComputeSequenceLimit(int r) {
    try {
        const SequenceSettings row = GetSequenceSettings(r);
        CompileRowFunction(row.function);
        const AnalysisParameters p = ReadAnalysisParameters();
        long double prev = UndefinedValue;
        long double prevIn = UndefinedValue;
        long double u = row.u0;
        long double v = UndefinedValue;
        bool stopped = false;
        for (int pass = 0; pass < SequenceLimitPasses; ++pass) {
            v = EvaluateInDomain(row.function, double(u), p.a, p.b);
            if (SequenceStops(u, v, prev, prevIn)) {
                stopped = true;
                break;
            }
            prev = v;
            prevIn = u;
            u = v;
        }
        // A sequence still moving after every pass (one that alternates or wanders) has no
        // limit, whatever its last term.
        if (!stopped || v == UndefinedValue || !(std::fabs(v - prev) < SequenceTolerance)) return "Pas de limite ... ";
        return "Limite =" + FormatGeneral(v, ShortDigits);
    } catch (...) {
        // U0, a or b cannot be read, or the row names no function or one whose text is
        // empty or unreadable.
        return std::string();
    }
}

int ClampToRange(int v, int hi) {
    if (v < 0) return 0;
    if (v > hi) return hi;
    return v;
}

std::string UpperFunctionLetter(int i) { return std::string(1, char('F' + i)); }
