#pragma once
// The vertical lines dialog, Form9: up to six lines x = c over the full height of the
// picture.
#include "platform/ui/components.h"

class TForm9 : public TForm {
public:
    explicit TForm9(TApplication& app);
};

extern TForm9* Form9;

// Draws the lines that are on (the first overlay of a redraw).
void DrawVerticalLines(TBitmap& bitmap);
