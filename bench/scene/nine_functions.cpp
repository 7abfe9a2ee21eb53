#include "bench/scene/nine_functions.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>

#include "application/startup.h"
#include "dialogs/domains_form.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/redraw_pipeline.h"
#include "platform/ui/components.h"

const char* const SceneFunctions[9] = {"sin(x)", "cos(3x)", "x^2/4", "1/x", "tan(x)",
                                       "racine(x)", "ln(x)", "exp(x)/10", "ent(x)"};

void ShowSceneFunctions() {
    RedrawSteps().RebuildChannelSums = nullptr;
    for (int i = 0; i < FunctionCount; ++i) {
        GetFunctionEdit(i)->SetText(SceneFunctions[i]);
        Form1->ShowButtons[size_t(i)]->SetDown(true);
    }
    Form1->Edit10->SetText("-5");
    Form1->Edit11->SetText("5");
    Form1->Edit12->SetText("-5");
    Form1->Edit13->SetText("5");
    Form1->Edit14->SetText("3");
    Form1->quad->SetChecked(true);
    Form1->axe->SetChecked(true);
    // Vartelo's settings start every domain at 0: the scene shows the whole real line.
    for (TEdit* lower : Form6->LowerEdits) lower->SetText("-inf");
    for (TEdit* upper : Form6->UpperEdits) upper->SetText("inf");
    ReadDomainDialog();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int CountArgument(int argc, char** argv, int fallback) {
    int count = fallback;
    if (argc > 1) std::from_chars(argv[1], argv[1] + std::strlen(argv[1]), count);
    return std::max(count, 1);
}

void StartBenchProgram(const char* name, const ProgramDescription& program) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The application keeps the arguments for its whole life.
    static std::string storedName;
    static char* args[2] = {nullptr, nullptr};
    storedName = name;
    args[0] = storedName.data();
    Application->Initialize(1, args);
    PrepareProgram(program);
    CreateProgramWindows();
}
