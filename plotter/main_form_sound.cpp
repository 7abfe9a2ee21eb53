// The handlers of the sound controls and of the melody page, and the handler that the
// program with sound binds to "Normer" and to the melody page's "Jouer" (the curve editor
// binds its own "Normer"). Their behaviour is not written yet: each handler is bound and
// does nothing.
#include "plotter/main_form.h"

void TForm1::Button2Click(TObject*) {}
void TForm1::Button5Click(TObject*) {}
void TForm1::UpDown11Click(TObject*, TUDBtnType) {}
void TForm1::UpDown12Click(TObject*, TUDBtnType) {}
void TForm1::cstClick(TObject*) {}
void TForm1::Button6Click(TObject*) {}
void TForm1::Button11Click(TObject*) {}
