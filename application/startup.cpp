#include "application/startup.h"

#include "application/lifecycle_steps.h"
#include "application/main_window_actions.h"
#include "application/redraw_steps.h"
#include "dialogs/areas_form.h"
#include "dialogs/derivatives_form.h"
#include "dialogs/domains_form.h"
#include "dialogs/ftp_form.h"
#include "dialogs/help_form.h"
#include "dialogs/labels_form.h"
#include "dialogs/sequences_form.h"
#include "dialogs/vertical_lines_form.h"
#include "engine/expression_compiler.h"
#include "engine/program_variant.h"
#include "ftp/socket_window.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/program_description.h"

namespace {

// The engine reports a function text it cannot read: its edit turns light pink until a
// function text changes. Slots without an edit (9, 10) have nothing to mark.
void MarkUnreadableText(int slot) {
    if (Form1 && slot >= 0 && slot < FunctionCount) GetFunctionEdit(slot)->SetColor(UnreadableTextColour);
}

}  // namespace

void PrepareProgram(const ProgramDescription& program) {
    ResetDrawingState();
    InstallProgram(program);
    SelectProgram(program.Kind);
    ResetDomainBounds();
    InstallRedrawSteps(program);
    InstallLifecycleHooks();
    InstallMainWindowActions();
    SetUnreadableTextMarker(MarkUnreadableText);
}

void CreateProgramWindows() {
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Application->CreateForm(Form3);
    Application->CreateForm(Form4);
    Application->CreateForm(Form5);
    Application->CreateForm(Form6);
    Application->CreateForm(Form7);
    Application->CreateForm(Form8);
    Application->CreateForm(Form9);
    FormsReady = true;
}

void ForgetProgramWindows() {
    FormsReady = false;
    SetUnreadableTextMarker(nullptr);
    Form1 = nullptr;
    Form2 = nullptr;
    Form3 = nullptr;
    Form4 = nullptr;
    Form5 = nullptr;
    Form6 = nullptr;
    Form7 = nullptr;
    Form8 = nullptr;
    Form9 = nullptr;
}

int RunApplication(const ProgramDescription& program, int argc, char** argv) {
    Application->Initialize(argc, argv);
    // The socket layer's waits (the blocking FTP calls among them) run the application's
    // own message processing and give up once the application is ending.
    SetApplicationMessagePump([] { Application->ProcessMessages(); });
    SetApplicationTerminatedQuery([] { return Application->Terminated(); });
    PrepareProgram(program);
    CreateProgramWindows();
    Application->Run();
    ForgetProgramWindows();
    return 0;
}
