#include "dialogs/ftp_form.h"

TForm4* Form4 = nullptr;

TForm4::TForm4(TApplication& app) : TForm(app, "Form4") {
    SetCaption("Envoie par ftp");
    SetBorderStyle(bsToolWindow);
    SetClientSize(420, 236);
    SetKeyPreview(true);
}
