#include "sound/channel_sums.h"

#include "engine/number_conversion.h"
#include "engine/number_format.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"

std::array<std::string, 9> PhaseShiftTexts;

namespace {

bool IsExponentLetter(char c) { return c == 'e' || c == 'E'; }

}  // namespace

void FillPhaseShiftTexts() {
    const long double step = ParseLocaleNumber(Form1->Edit22->Text());
    for (int k = 0; k < int(PhaseShiftTexts.size()); ++k)
        PhaseShiftTexts[size_t(k)] = FormatGeneral(step / 1000 * (k + 1), GeneralDigits).substr(0, 6);
}

std::string ShiftExpressionArgument(std::string text, int index) {
    const std::string shifted = "(x+" + PhaseShiftTexts.at(size_t(index)) + ")";
    std::size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if ((c == 'x' || c == 'X') && (at == 0 || !IsExponentLetter(text[at - 1]))) {
            text.replace(at, 1, shifted);
            at += shifted.size();
        } else {
            ++at;
        }
    }
    return text;
}

std::string BuildSumExpression(int mode) {
    FillPhaseShiftTexts();
    int first = 0, last = 6;
    if (mode == 2) last = 3;
    if (mode == 4) first = 4;
    std::string result;
    for (int c = first; c <= last; ++c) {
        if (!IsFunctionShown(c)) continue;
        const std::string text = GetFunctionEdit(c)->Text();
        const std::string term = mode == 3 ? ShiftExpressionArgument(text, c) : text;
        if (result.empty())
            result = term;
        else if (!text.empty())
            result += "+(" + term + ")";
    }
    return result;
}

void RebuildChannelSums() {
    const int mode = !Form1->cst->Checked() ? 0 : Form1->rb1->Checked() ? 1 : 2;
    Form1->Edit9->SetText(BuildSumExpression(mode));
    if (mode == 1 || mode == 2)
        Form1->Edit8->SetText(BuildSumExpression(mode + 2));
    else
        Form1->Edit8->SetText(Form1->Edit9->Text());
}
