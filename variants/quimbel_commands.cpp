#include "variants/quimbel_commands.h"

#include "engine/number_conversion.h"
#include "engine/number_format.h"
#include "plotter/main_form.h"
#include "plotter/redraw_pipeline.h"
#include "plotter/undo_snapshot.h"

namespace quimbel {

void ScaleOrdinatesToAbscissae() {
    const long double xmin = ParseFloatOrZero(Form1->Edit10->Text());
    const long double xmax = ParseFloatOrZero(Form1->Edit11->Text());
    const long double ymin = ParseFloatOrZero(Form1->Edit12->Text());
    const long double ymax = ParseFloatOrZero(Form1->Edit13->Text());
    const int width = Form1->im->Width();
    const int height = Form1->im->Height();
    // Without width there is no scale to copy: the bounds would become infinite or not
    // numbers at all.
    if (width > 0) {
        const long double centre = (ymin + ymax) / 2;
        const long double half = (xmax - xmin) / 2 * height / width;
        Form1->Edit12->SetText(FormatGeneral(centre - half, GeneralDigits));
        Form1->Edit13->SetText(FormatGeneral(centre + half, GeneralDigits));
    }
    RedrawGraph(Form1->im->Bitmap());
    SaveUndoSnapshot();
}

void CentreOnOrigin() {
    Form1->Edit10->SetText("-10");
    Form1->Edit11->SetText("10");
    Form1->Edit12->SetText("-10");
    Form1->Edit13->SetText("10");
    ScaleOrdinatesToAbscissae();
    SaveUndoSnapshot();
}

}  // namespace quimbel
