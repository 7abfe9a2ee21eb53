// The handlers of the sound controls and of the melody page. The sound itself lives with
// the program that has it: its description names the routines, and a program without
// sound leaves them out (its handlers then do nothing). "Normer" runs the melody player
// here; the curve editor binds its own "Normer".
#include "engine/number_conversion.h"
#include "engine/number_format.h"
#include "plotter/main_form.h"
#include "plotter/program_description.h"
#include "plotter/redraw_pipeline.h"

namespace {

void Run(void (*routine)()) {
    if (routine) routine();
}

}  // namespace

void TForm1::Button2Click(TObject*) { Run(ActiveProgram().PlayMelody); }
void TForm1::Button5Click(TObject*) { Run(ActiveProgram().PlayChannels); }
void TForm1::Button6Click(TObject*) { Run(ActiveProgram().ChangeScale); }
void TForm1::Button11Click(TObject*) { Run(ActiveProgram().ChordToFunctions); }

// The phase step "ms" plus or minus the step value "val".
void TForm1::UpDown11Click(TObject*, TUDBtnType Button) {
    const long double shift = ParseFloatOrZero(Edit22->Text());
    const long double step = ParseFloatOrZero(Edit18->Text());
    Edit22->SetText(FormatGeneral(Button == btNext ? shift + step : shift - step, GeneralDigits));
    RedrawGraph(im->Bitmap());
}

// The phase step times or divided by the step value (left alone when dividing by 0).
void TForm1::UpDown12Click(TObject*, TUDBtnType Button) {
    long double shift = ParseFloatOrZero(Edit22->Text());
    const long double step = ParseFloatOrZero(Edit18->Text());
    if (Button == btNext)
        shift *= step;
    else if (step != 0)
        shift /= step;
    Edit22->SetText(FormatGeneral(shift, GeneralDigits));
    RedrawGraph(im->Bitmap());
}

// "Stereo": the channel sums change with it.
void TForm1::cstClick(TObject*) { RedrawGraph(im->Bitmap()); }
