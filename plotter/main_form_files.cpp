// The keys of the main window, the "Fichier" and "Exporter" menus and the menu items that
// show the dialogs. Their behaviour is not written yet: each handler is bound and does
// nothing.
#include "plotter/main_form.h"

void TForm1::FormKeyUp(TObject*, std::uint16_t&, TShiftState) {}
void TForm1::Nouveau1Click(TObject*) {}
void TForm1::Ouvri1Click(TObject*) {}
void TForm1::Enregistrer1Click(TObject*) {}
void TForm1::Quitter1Click(TObject*) {}
void TForm1::Copierdanslepresspapier1Click(TObject*) {}
void TForm1::Envoyercommeimage1Click(TObject*) {}
void TForm1::EnvoyerparFtp1Click(TObject*) {}
void TForm1::Limitedudomainededefinition1Click(TObject*) {}
void TForm1::Droiteverticale1Click(TObject*) {}
void TForm1::Etiquette1Click(TObject*) {}
void TForm1::Tracerladriveena1Click(TObject*) {}
void TForm1::Afficherlasurfaceentreaetb1Click(TObject*) {}
void TForm1::un1fun1Click(TObject*) {}
void TForm1::Aide1Click(TObject*) {}
