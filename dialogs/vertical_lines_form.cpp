#include "dialogs/vertical_lines_form.h"

TForm9* Form9 = nullptr;

TForm9::TForm9(TApplication& app) : TForm(app, "Form9") {
    SetCaption("Droites verticales");
    SetBorderStyle(bsToolWindow);
    SetBounds(0, 0, 260, 240);
}

// The lines are not drawn yet.
void DrawVerticalLines(TBitmap&) {}
