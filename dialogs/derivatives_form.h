#pragma once
// The derivatives and tangents dialog, Form3: up to five tangents, with their equations
// in the dialog and their stretches on the picture.
#include "platform/ui/components.h"

class TForm3 : public TForm {
public:
    explicit TForm3(TApplication& app);
};

extern TForm3* Form3;

// Recomputes the tangent of each row that is on and writes its equation into the row.
void UpdateTangentLabels();
// Draws the tangents computed by the last UpdateTangentLabels.
void DrawTangents(TBitmap& bitmap);
