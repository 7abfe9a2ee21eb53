// The parameter, scale, window and display commands of the left panel and of the
// "Options" menu. Their behaviour is not written yet: each handler is bound and does
// nothing.
#include "plotter/main_form.h"

void TForm1::Edit1KeyPress(TObject*, char&) {}
void TForm1::sd1Click(TObject*) {}
void TForm1::sd9Click(TObject*) {}
void TForm1::Edit10Click(TObject*) {}
void TForm1::Edit10KeyPress(TObject*, char&) {}
void TForm1::UpDown1Click(TObject*, TUDBtnType) {}
void TForm1::UpDown2Click(TObject*, TUDBtnType) {}
void TForm1::UpDown3Click(TObject*, TUDBtnType) {}
void TForm1::UpDown4Click(TObject*, TUDBtnType) {}
void TForm1::UpDown5Click(TObject*, TUDBtnType) {}
void TForm1::UpDown6Click(TObject*, TUDBtnType) {}
void TForm1::UpDown8Click(TObject*, TUDBtnType) {}
void TForm1::UpDown9Click(TObject*, TUDBtnType) {}
void TForm1::UpDown10Click(TObject*, TUDBtnType) {}
void TForm1::Edit20KeyUp(TObject*, std::uint16_t&, TShiftState) {}
void TForm1::Button3Click(TObject*) {}
void TForm1::Button4Click(TObject*) {}
void TForm1::legClick(TObject*) {}
void TForm1::abspiClick(TObject*) {}
void TForm1::re1Click(TObject*) {}
void TForm1::Elargirlechampdezommer1Click(TObject*) {}
void TForm1::Moitiegauche1Click(TObject*) {}
void TForm1::Moitidroite1Click(TObject*) {}
void TForm1::rb2Click(TObject*) {}
