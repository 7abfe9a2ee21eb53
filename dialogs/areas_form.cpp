#include "dialogs/areas_form.h"

TForm2* Form2 = nullptr;

TForm2::TForm2(TApplication& app) : TForm(app, "Form2") {
    SetCaption("Tracer et estimer les surfaces entre courbes");
    SetBorderStyle(bsSizeToolWin);
    SetBounds(0, 0, 560, 260);
    SetKeyPreview(true);
}

// The rows, their integrals and their hatching are not written yet.
void UpdateAreaLabels() {}
void DrawAreas(TBitmap&) {}
