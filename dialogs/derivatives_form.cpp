#include "dialogs/derivatives_form.h"

TForm3* Form3 = nullptr;

TForm3::TForm3(TApplication& app) : TForm(app, "Form3") {
    SetCaption("Tracer et estimer les surfaces entre courbes");
    SetBorderStyle(bsSizeToolWin);
    SetBounds(0, 0, 520, 260);
    SetKeyPreview(true);
}

// The tangents are not computed nor drawn yet.
void UpdateTangentLabels() {}
void DrawTangents(TBitmap&) {}
