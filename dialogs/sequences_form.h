#pragma once
// The sequences dialog, Form5: up to three sequences U(n+1) = F(Un), their limits and
// their staircases on the picture.
#include "platform/ui/components.h"

class TForm5 : public TForm {
public:
    explicit TForm5(TApplication& app);
};

extern TForm5* Form5;

// Draws the staircases of the rows that are on.
void DrawSequences(TBitmap& bitmap);
