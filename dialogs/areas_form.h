#pragma once
// The areas and integrals dialog, Form2: up to five areas between two curves, hatched on
// the picture, with the estimate of their integrals.
#include "platform/ui/components.h"

class TForm2 : public TForm {
public:
    explicit TForm2(TApplication& app);
};

extern TForm2* Form2;

// Recomputes the integral shown in the label of each row that is on.
void UpdateAreaLabels();
// Hatches the areas of the rows that are on (before the curves are drawn).
void DrawAreas(TBitmap& bitmap);
