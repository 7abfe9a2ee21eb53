#pragma once
// What the three analysis dialogs share: the derivatives and tangents dialog (Form3), the
// areas and integrals dialog (Form2) and the sequences dialog (Form5). Each row of them
// names functions through combo boxes whose items are the letters f .. n, takes numbers in
// edits in which the letters a and b stand for the main window's parameters, and shows its
// result in a label. No copy of a row is kept: every reading takes the components' texts.
#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

class TComboBox;
class TObject;

// The letters of the nine functions, in the order of the function index (0 = f).
inline constexpr std::string_view FunctionItemLetters = "fghijklmn";

// Fills a function combo box: "f" .. "n", preceded by "0" (the zero function) for the
// first combo box of an area row.
void FillFunctionItems(TComboBox* combo, bool withZeroFunction);

// The index of the first item equal to the combo box's text (exact, case-sensitive), or
// -1 when no item equals it.
int ComboIndexOf(const TComboBox* combo);

// Whether the index names one of the nine functions.
bool IsFunctionIndex(int index);

// The text with every "a" replaced by the text of the parameter a (Form1.Edit15), then
// every "b" by the text of b (Form1.Edit16). Each letter is replaced once, where it stands
// in the text: a parameter text that holds its own letter is inserted as it is, and the
// conversion then refuses it (instead of substituting forever).
std::string SubstituteParameters(std::string_view text);

// A typed value of a row: parameters substituted, then the strict conversion (a number,
// not an expression: "-a" with a = 3 gives -3, "2*a" raises), then clamped into the domain
// of function `index`. Raises NumberError for a text that is not a number and
// std::out_of_range for an index that names no function.
double ParseParamValue(std::string_view text, int index);

// The parameters a and b of the main window, read with the strict conversion (raises).
struct AnalysisParameters {
    double a = 0;
    double b = 0;
};
AnalysisParameters ReadAnalysisParameters();

// A row names a function whose text is empty or cannot be read: the row has no result.
struct UnreadableRowFunction : std::runtime_error {
    UnreadableRowFunction() : std::runtime_error("no function to evaluate") {}
};

// Compiles the current text of function `index` into its engine slot. An empty or
// unreadable text leaves the slot undefined and raises UnreadableRowFunction, so that no
// row shows a result computed from an earlier text of the function.
void CompileRowFunction(int index);

// The value rounded to 6 decimals when it is below 10^6 (a signed test, so that large
// negative values are rounded too), else unchanged. Rounding is to nearest, ties to even,
// in floating point, so that no value is too large for it.
long double RoundToSixDecimals(long double value);

// The hourglass cursor while an analysis overlay is drawn, the default cursor afterwards
// (also when a drawing fault ends the redraw).
class HourglassCursor {
public:
    HourglassCursor();
    ~HourglassCursor();
    HourglassCursor(const HourglassCursor&) = delete;
    HourglassCursor& operator=(const HourglassCursor&) = delete;
};

// The row whose component among `components` sent an event, or -1.
template <typename Component, std::size_t N>
int RowOfSender(const std::array<Component*, N>& components, const TObject* Sender) {
    for (std::size_t r = 0; r < N; ++r)
        if (components[r] == Sender) return int(r);
    return -1;
}

// Whether row r reads now: `read` (the dialog's reading of a row) does not raise.
template <typename Read>
bool RowReads(Read read, int r) {
    try {
        read(r);
        return true;
    } catch (...) {
        return false;
    }
}
