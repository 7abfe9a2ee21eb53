#include "dialogs/analysis_rows.h"

#include <cmath>
#include <stdexcept>

#include "dialogs/domains_form.h"
#include "engine/number_conversion.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "platform/ui/components.h"

void FillFunctionItems(TComboBox* combo, bool withZeroFunction) {
    combo->Items().Clear();
    if (withZeroFunction) combo->Items().Add("0");
    for (char letter : FunctionItemLetters) combo->Items().Add(std::string(1, letter));
}

int ComboIndexOf(const TComboBox* combo) { return combo->Items().IndexOf(combo->Text()); }

bool IsFunctionIndex(int index) { return index >= 0 && index < FunctionCount; }

namespace {

// Replaces every `letter` of the text by `replacement`, scanning only the original text.
std::string ReplaceLetter(std::string_view text, char letter, const std::string& replacement) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == letter)
            out += replacement;
        else
            out += c;
    }
    return out;
}

}  // namespace

std::string SubstituteParameters(std::string_view text) {
    const std::string withA = ReplaceLetter(text, 'a', Form1->Edit15->Text());
    return ReplaceLetter(withA, 'b', Form1->Edit16->Text());
}

double ParseParamValue(std::string_view text, int index) {
    if (!IsFunctionIndex(index)) throw std::out_of_range("function index");
    double value = ParseNumber(SubstituteParameters(text));
    const size_t i = size_t(index);
    if (DomainLower[i] > value) value = double(DomainLower[i]);
    if (DomainUpper[i] < value) value = double(DomainUpper[i]);
    return value;
}

AnalysisParameters ReadAnalysisParameters() {
    AnalysisParameters parameters;
    parameters.a = ParseNumber(Form1->Edit15->Text());
    parameters.b = ParseNumber(Form1->Edit16->Text());
    return parameters;
}

void CompileRowFunction(int index) {
    if (!CompileFunctionText(index)) throw UnreadableRowFunction();
}

long double RoundToSixDecimals(long double value) {
    if (!(value < 1e6L)) return value;
    return std::nearbyint(value * 1e6L) / 1e6L;
}

HourglassCursor::HourglassCursor() { Screen->SetCursor(crHourGlass); }

HourglassCursor::~HourglassCursor() { Screen->SetCursor(crDefault); }
