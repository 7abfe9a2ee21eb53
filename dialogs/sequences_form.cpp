#include "dialogs/sequences_form.h"

TForm5* Form5 = nullptr;

TForm5::TForm5(TApplication& app) : TForm(app, "Form5") {
    SetCaption("U(n+1) = F (Un)");
    SetBorderStyle(bsToolWindow);
    SetBounds(0, 0, 560, 220);
    SetKeyPreview(true);
}

// The sequences are not drawn yet.
void DrawSequences(TBitmap&) {}
