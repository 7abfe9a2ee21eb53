#include "dialogs/help_form.h"

TForm8* Form8 = nullptr;

TForm8::TForm8(TApplication& app) : TForm(app, "Form8") {
    SetCaption("Aide");
    SetBounds(0, 0, 520, 480);
}
