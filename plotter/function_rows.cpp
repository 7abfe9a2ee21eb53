#include "plotter/function_rows.h"

#include <stdexcept>

#include "engine/compiled_slots.h"
#include "engine/expression_compiler.h"
#include "engine/expression_evaluator.h"
#include "engine/program_variant.h"
#include "plotter/function_domains.h"
#include "plotter/main_form.h"

namespace {

size_t CheckedIndex(TFunctionIndex index) {
    if (index < 0 || index >= FunctionCount) throw std::out_of_range("function index");
    return size_t(index);
}

}  // namespace

TLabel* GetFunctionLabel(TFunctionIndex index) { return Form1->FunctionLabels[CheckedIndex(index)]; }

TEdit* GetFunctionEdit(TFunctionIndex index) { return Form1->FunctionEdits[CheckedIndex(index)]; }

bool IsFunctionShown(TFunctionIndex index) { return Form1->ShowButtons[CheckedIndex(index)]->Down(); }

void ToggleFunctionShown(TFunctionIndex index) {
    TSpeedButton* button = Form1->ShowButtons[CheckedIndex(index)];
    button->SetDown(!button->Down());
}

long double EvaluateInDomain(TFunctionIndex index, double x, double a, double b) {
    const size_t i = CheckedIndex(index);
    if (DomainLower[i] > x || DomainUpper[i] < x) return UndefinedValue;
    return EvaluateFunction(index, x, a, b);
}

bool CompileFunctionText(TFunctionIndex index) {
    const std::string text = GetFunctionEdit(index)->Text();
    if (text.empty()) {
        DiscardCompiledSlot(index);
        return false;
    }
    return PrepareFunction(text, index);
}

void CompileShownFunctions() {
    for (int i = 0; i < FunctionCount; ++i)
        if (GetFunctionEdit(i)->Text().empty() || IsFunctionShown(i)) CompileFunctionText(i);
}
