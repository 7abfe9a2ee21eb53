#include "sound/channel_sums.h"

#include <algorithm>

#include "engine/number_conversion.h"
#include "engine/number_format.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"

std::array<std::string, 9> PhaseShiftTexts;

namespace {

constexpr std::size_t ShiftTextLength = 6;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsX(char c) { return c == 'x' || c == 'X'; }

// The general text of a value written out in plain decimal digits: "1,5E-7" becomes
// "0,00000015" and "2E15" "2000000000000000".
std::string PlainDecimal(long double value) {
    const std::string general = FormatGeneral(value, GeneralDigits);
    const std::size_t e = general.find('E');
    if (e == std::string::npos) return general;
    const bool negative = general[0] == '-';
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < e; ++i)
        if (general[i] != DecimalSeparator) digits += general[i];
    const bool exponentNegative = general[e + 1] == '-';
    int exponent = 0;
    for (std::size_t i = e + 1 + (exponentNegative ? 1 : 0); i < general.size(); ++i)
        exponent = exponent * 10 + (general[i] - '0');
    if (exponentNegative) exponent = -exponent;

    std::string out = negative ? "-" : "";
    if (exponent < 0) {
        out += '0';
        out += DecimalSeparator;
        out.append(std::size_t(-exponent - 1), '0');
        out += digits;
    } else {
        const std::size_t integerLength = std::size_t(exponent) + 1;
        if (digits.size() < integerLength) digits.append(integerLength - digits.size(), '0');
        out += digits.substr(0, integerLength);
        if (digits.size() > integerLength) {
            out += DecimalSeparator;
            out += digits.substr(integerLength);
        }
    }
    return out;
}

// The letters of a word read from `at` on; spaces between letters belong to the word,
// as the compiler drops every space. `end` is set past the word.
std::string ReadWord(const std::string& text, std::size_t at, std::size_t& end) {
    std::string word;
    end = at;
    while (end < text.size()) {
        std::size_t next = end;
        while (next < text.size() && text[next] == ' ') ++next;
        if (next >= text.size() || !IsLetter(text[next])) break;
        word += text[next];
        end = next + 1;
    }
    return word;
}

bool CallFollows(const std::string& text, std::size_t at) {
    while (at < text.size() && text[at] == ' ') ++at;
    return at < text.size() && text[at] == '(';
}

}  // namespace

bool ChannelsArePhaseShifted() { return Form1->cst->Checked() && Form1->rb1->Checked(); }

double ReadPhaseStep() { return ParseLocaleNumber(Form1->Edit22->Text()); }

std::string PhaseShiftText(long double shift) {
    std::string text = PlainDecimal(shift);
    const std::size_t separator = text.find(DecimalSeparator);
    if (separator == std::string::npos) return text;
    // Cut after the sixth character, but never into the integer part and never before
    // the first significant digit, so that a small shift does not become 0.
    const std::size_t significant = text.find_first_of("123456789");
    std::size_t keep = std::max(ShiftTextLength, separator);
    if (significant != std::string::npos && significant > separator) keep = std::max(keep, significant + 1);
    text.resize(std::min(text.size(), keep));
    if (text.back() == DecimalSeparator) text.pop_back();
    return text;
}

void FillPhaseShiftTexts() {
    const long double step = ReadPhaseStep();
    for (int k = 0; k < int(PhaseShiftTexts.size()); ++k) PhaseShiftTexts[size_t(k)] = PhaseShiftText(step / 1000 * (k + 1));
}

std::string ShiftExpressionArgument(const std::string& text, int index) {
    const std::string shifted = "(x+" + PhaseShiftTexts.at(size_t(index)) + ")";
    std::string result;
    std::size_t at = 0;
    while (at < text.size()) {
        if (!IsLetter(text[at])) {
            result += text[at++];
            continue;
        }
        std::size_t end;
        const std::string word = ReadWord(text, at, end);
        const bool variables = word.find_first_not_of("xXaAbB") == std::string::npos;
        if (CallFollows(text, end) || !variables || word.find_first_of("xX") == std::string::npos) {
            // A function's name, a constant, or no x: as typed.
            result.append(text, at, end - at);
        } else {
            // x, or variables side by side (xa is x*a): each x shifted, the products written
            // out so that the parentheses do not change how the word reads.
            for (std::size_t i = 0; i < word.size(); ++i) {
                if (i > 0) result += '*';
                result += IsX(word[i]) ? shifted : std::string(1, word[i]);
            }
        }
        at = end;
    }
    return result;
}

std::string BuildSumExpression(int mode) {
    if (mode == 3) FillPhaseShiftTexts();
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
    if (mode == 0) {
        Form1->Edit9->SetText(BuildSumExpression(0));
        Form1->Edit8->SetText(Form1->Edit9->Text());
        return;
    }
    std::string right;
    try {
        right = BuildSumExpression(mode + 2);
    } catch (const NumberError&) {
        return;  // a phase step that cannot be read: the channels keep their texts
    }
    Form1->Edit9->SetText(BuildSumExpression(mode));
    Form1->Edit8->SetText(right);
}
