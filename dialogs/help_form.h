#pragma once
// The help window, Form8: the functions of the expression language, the mouse gestures
// and the program's description, on three pages.
#include <string>
#include <vector>

#include "engine/program_variant.h"
#include "platform/ui/components.h"

class TForm8 : public TForm {
public:
    explicit TForm8(TApplication& app);

    TPageControl* PageControl1;
    TTabSheet* TabSheet1;  // "Fonctions disponibles"
    TMemo* Memo1;          // operators, variables, functions and constants
    TTabSheet* TabSheet2;  // "Manipulation souris"
    TMemo* Memo2;          // the mouse gestures on the picture
    TTabSheet* TabSheet3;  // "A propos"
    TLabel* Label1;        // the program's name, bold Arial
    TImage* Image1;        // a small drawing of curves
    TMemo* Memo3;          // what the program is for
};

extern TForm8* Form8;

// The lines of the functions page for a program: every keyword its compiler accepts
// (the waveforms only in Vartelo), with the operators, variables and constants.
std::vector<std::string> HelpFunctionLines(ProgramKind program);

// Draws the picture of the "A propos" page: axes and a few curves.
void DrawHelpPicture(TBitmap& bitmap);
