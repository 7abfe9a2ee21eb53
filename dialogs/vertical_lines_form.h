#pragma once
// The vertical lines dialog, Form9: up to six lines x = c over the full height of the
// picture. The lines live only in the dialog: each redraw reads its boxes and edits.
#include <array>

#include "platform/ui/components.h"

class TForm9 : public TForm {
public:
    explicit TForm9(TApplication& app);

    TLabel* Label1;  // "Droites verticales a afficher"
    // Line k: the box "x=" CheckBox(k+1) and its abscissa Edit(k+1).
    TCheckBox* CheckBox1; TCheckBox* CheckBox2; TCheckBox* CheckBox3;
    TCheckBox* CheckBox4; TCheckBox* CheckBox5; TCheckBox* CheckBox6;
    TEdit* Edit1; TEdit* Edit2; TEdit* Edit3; TEdit* Edit4; TEdit* Edit5; TEdit* Edit6;
    TButton* Button1;  // "Valider"

    std::array<TCheckBox*, 6> LineBoxes{};
    std::array<TEdit*, 6> LineEdits{};

    void Edit1KeyPress(TObject* Sender, char& Key);
    void Button1Click(TObject* Sender);
};

extern TForm9* Form9;

inline constexpr int VerticalLineCount = 6;
// The colour of the lines (a light green), black in black and white.
inline constexpr TColor VerticalLineColour = 0x8FEF8F;

// Whether line k (0 .. 5) is on.
bool IsVerticalLineChecked(int k);
// The abscissa of line k: its edit's text by the tolerant conversion; a text that is not
// a number gives 0. Never raises.
double GetVerticalLineX(int k);

// Draws the lines that are on (the first overlay of a redraw).
void DrawVerticalLines(TBitmap& bitmap);
