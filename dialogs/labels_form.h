#pragma once
// The movable labels dialog, Form7: twelve texts written on the picture and moved with
// the mouse.
#include "platform/ui/components.h"

class TForm7 : public TForm {
public:
    explicit TForm7(TApplication& app);
};

extern TForm7* Form7;

// Writes label `index` (0 .. 11), or every label for -1.
void DrawLabels(TBitmap& bitmap, int index);
// Fills the dialog's edits from the label arrays.
void FillLabelDialog();
