// The parameter, scale, window and display commands of the left panel and of the
// "Options" menu. Every number travels as the text of its edit: it is read again at each
// use and written back in the general 15-digit format.
#include <algorithm>
#include <string>

#include "engine/number_conversion.h"
#include "engine/number_errors.h"
#include "engine/number_format.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/main_window_actions.h"
#include "plotter/main_window_hooks.h"
#include "plotter/redraw_pipeline.h"
#include "plotter/undo_snapshot.h"
#include "platform/ui/screen.h"

namespace {

constexpr char EnterKey = 13;

long double ReadNumber(const TEdit* edit) { return ParseFloatOrZero(edit->Text()); }

void WriteNumber(TEdit* edit, long double value) { edit->SetText(FormatGeneral(value, GeneralDigits)); }

// The up (or right) arrow adds the step value, the other one subtracts it.
void StepByAdding(TEdit* value, const TEdit* step, TUDBtnType button) {
    const long double v = ReadNumber(value);
    const long double s = ReadNumber(step);
    WriteNumber(value, button == btNext ? v + s : v - s);
}

// The up (or right) arrow multiplies by the step value, the other one divides by it; a
// step of 0 leaves the value as it is on division.
void StepByMultiplying(TEdit* value, const TEdit* step, TUDBtnType button) {
    long double v = ReadNumber(value);
    const long double s = ReadNumber(step);
    if (button == btNext)
        v *= s;
    else if (s != 0)
        v /= s;
    WriteNumber(value, v);
}

// Scales the range of two bounds about its centre: the up (or right) arrow zooms in (the
// range becomes 0.56 of what it was), the other one zooms out (1.9 times).
void ScaleAboutCentre(TEdit* low, TEdit* high, TUDBtnType button) {
    const long double lo = ReadNumber(low);
    const long double hi = ReadNumber(high);
    const long double centre = (lo + hi) / 2;
    const long double range = hi - lo;
    const long double factor = button == btNext ? 0.28L : 0.95L;
    WriteNumber(low, centre - range * factor);
    WriteNumber(high, centre + range * factor);
}

// A parameter moved: the tangent and area results follow it, then the picture.
void AfterParameterChange(TForm1& form) {
    RunAction(MainWindowActionTable().UpdateTangentsAndAreas);
    RedrawGraph(form.im->Bitmap());
    SaveUndoSnapshot();
}

}  // namespace

// --- Function rows ---

// Enter in a function edit shows the function if it was hidden, then draws it. The rows
// of every analysis follow the new texts (an emptied function leaves its rows without a
// result).
void TForm1::Edit1KeyPress(TObject*, char& Key) {
    if (Key != EnterKey) return;
    for (int i = 0; i < FunctionCount; ++i)
        if (GetFunctionEdit(i)->Focused() && !IsFunctionShown(i)) ToggleFunctionShown(i);
    RunAction(LifecycleHooks().RecomputeAnalysisResults);
    RedrawGraph(im->Bitmap());
    SaveUndoSnapshot();
}

// The show buttons have already changed their state.
void TForm1::sd1Click(TObject*) { RedrawGraph(im->Bitmap()); }

// Hiding the sum n also releases "Exclusif" (which draws m and n alone).
void TForm1::sd9Click(TObject*) {
    if (exc && !sd9->Down()) exc->SetDown(false);
    RedrawGraph(im->Bitmap());
}

// --- Window, thickness, font and display check boxes ---

// A click on a window, parameter, thickness, font or export-width edit, or on one of the
// display check boxes.
void TForm1::Edit10Click(TObject*) {
    if (LoadingFlag) return;
    SaveUndoSnapshot();
    RedrawGraph(im->Bitmap());
}

void TForm1::Edit10KeyPress(TObject*, char& Key) {
    if (Key == EnterKey) RedrawGraph(im->Bitmap());
}

// --- Parameters a and b ---

void TForm1::UpDown1Click(TObject*, TUDBtnType Button) {
    StepByAdding(Edit15, Edit18, Button);
    AfterParameterChange(*this);
}

void TForm1::UpDown2Click(TObject*, TUDBtnType Button) {
    StepByMultiplying(Edit15, Edit18, Button);
    AfterParameterChange(*this);
}

void TForm1::UpDown3Click(TObject*, TUDBtnType Button) {
    StepByAdding(Edit16, Edit18, Button);
    AfterParameterChange(*this);
}

void TForm1::UpDown4Click(TObject*, TUDBtnType Button) {
    StepByMultiplying(Edit16, Edit18, Button);
    AfterParameterChange(*this);
}

// --- Scales ---

void TForm1::UpDown5Click(TObject*, TUDBtnType Button) {
    ScaleAboutCentre(Edit12, Edit13, Button);
    if (!LoadingFlag) RedrawGraph(im->Bitmap());
    SaveUndoSnapshot();
}

void TForm1::UpDown8Click(TObject*, TUDBtnType Button) {
    ScaleAboutCentre(Edit10, Edit11, Button);
    if (!LoadingFlag) RedrawGraph(im->Bitmap());
    SaveUndoSnapshot();
}

// Thickness and font percentage: the up-down has already written its edit; the screen's
// font height follows both.
void TForm1::UpDown6Click(TObject*, TUDBtnType) {
    if (LoadingFlag) return;
    AxisFontHeight = ComputeAxisFontHeight(im->Width(), im->Height());
    RedrawGraph(im->Bitmap());
}

// --- "Centrer" and the zoom ---

// Centres the window on the origin, x spread by the zoom (at most -10 .. 10) and y from
// -2,5 to 2,5. The zoom is read with the strict locale conversion; a zoom of 0 is refused
// with the division error before any edit changes. No redraw: its callers redraw.
void TForm1::Button3Click(TObject*) {
    if (!Edit20) return;  // the program without the zoom has its own "Centrer"
    const long double zoom = ParseLocaleNumber(Edit20->Text());
    if (zoom == 0) throw FloatZeroDivideError();
    const long double left = std::max(-5 / zoom, -10.0L);
    const long double right = std::min(5 / zoom, 10.0L);
    WriteNumber(Edit10, left);
    WriteNumber(Edit11, right);
    WriteNumber(Edit12, -2.5L);
    WriteNumber(Edit13, 2.5L);
    SaveUndoSnapshot();
}

void TForm1::UpDown9Click(TObject* Sender, TUDBtnType Button) {
    StepByAdding(Edit20, Edit18, Button);
    Button3Click(Sender);
    RedrawGraph(im->Bitmap());
}

void TForm1::UpDown10Click(TObject* Sender, TUDBtnType Button) {
    StepByMultiplying(Edit20, Edit18, Button);
    Button3Click(Sender);
    RedrawGraph(im->Bitmap());
}

void TForm1::Edit20KeyUp(TObject* Sender, std::uint16_t& Key, TShiftState) {
    if (Key != VK_RETURN) return;
    Button3Click(Sender);
    RedrawGraph(im->Bitmap());
}

// "Id.": the export width becomes the width of the picture on screen.
void TForm1::Button4Click(TObject*) { Edit17->SetText(FormatGeneral(im->Width(), GeneralDigits)); }

// --- Display options of the "Options" menu (menu items don't check themselves) ---

void TForm1::legClick(TObject*) {
    leg->SetChecked(!leg->Checked());
    ShowLegend = leg->Checked() ? 1 : 0;
    if (!LoadingFlag) RedrawGraph(im->Bitmap());
}

void TForm1::abspiClick(TObject*) {
    abspi->SetChecked(!abspi->Checked());
    AbscissaInPi = abspi->Checked() ? 1 : 0;
    if (!LoadingFlag) RedrawGraph(im->Bitmap());
}

void TForm1::re1Click(TObject*) {
    re1->SetChecked(!re1->Checked());
    PreciseTracing = re1->Checked();
    if (!LoadingFlag) RedrawGraph(im->Bitmap());
}

// --- The window on the world and on the screen ---

// Moves each bound out by twice the range: five times as wide and high, same centre.
void TForm1::Elargirlechampdezommer1Click(TObject*) {
    const auto widen = [](TEdit* low, TEdit* high) {
        const long double lo = ReadNumber(low);
        const long double hi = ReadNumber(high);
        const long double range = hi - lo;
        WriteNumber(low, lo - 2 * range);
        WriteNumber(high, hi + 2 * range);
    };
    widen(Edit10, Edit11);
    widen(Edit12, Edit13);
    RedrawGraph(im->Bitmap());
}

// The main window takes the left or the right half of the screen (less a task bar's
// height at the bottom).
void TForm1::Moitiegauche1Click(TObject*) {
    SetBounds(0, 0, Screen->Width() / 2, Screen->Height() - 32);
    RedrawGraph(im->Bitmap());
}

void TForm1::Moitidroite1Click(TObject*) {
    SetBounds(Screen->Width() / 2, 0, Screen->Width() / 2, Screen->Height() - 32);
    RedrawGraph(im->Bitmap());
}

// "Dephasage" and "j(x)+k()+l(x)": the channel sums change with them.
void TForm1::rb2Click(TObject*) { RedrawGraph(im->Bitmap()); }
