#include "dialogs/labels_form.h"

TForm7* Form7 = nullptr;

TForm7::TForm7(TApplication& app) : TForm(app, "Form7") {
    SetCaption("Ajouter des ettiquette mobiles");
    SetBorderStyle(bsDialog);
    SetBounds(0, 0, 520, 420);
    SetKeyPreview(true);
}

// The labels are not kept nor drawn yet.
void DrawLabels(TBitmap&, int) {}
void FillLabelDialog() {}
