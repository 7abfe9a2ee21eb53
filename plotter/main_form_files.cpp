// The keys of the main window, the "Fichier" and "Exporter" menus and the menu items that
// show the dialogs. Their behaviour is not written yet: each handler is bound and does
// nothing.
#include "dialogs/areas_form.h"
#include "dialogs/derivatives_form.h"
#include "dialogs/domains_form.h"
#include "dialogs/labels_form.h"
#include "dialogs/sequences_form.h"
#include "dialogs/vertical_lines_form.h"
#include "plotter/main_form.h"
#include "plotter/redraw_pipeline.h"

// The arrows step the staircases drawn step by step (with or without modifier keys, also
// while a control has the focus: the form sees the key first).
void TForm1::FormKeyUp(TObject*, std::uint16_t& Key, TShiftState) {
    if (Key == VK_UP && StepCounter < MaxStepCounter) {
        ++StepCounter;
        RedrawGraph(im->Bitmap());
    } else if (Key == VK_DOWN && StepCounter > 0) {
        --StepCounter;
        RedrawGraph(im->Bitmap());
    }
}

void TForm1::Nouveau1Click(TObject*) {}
void TForm1::Ouvri1Click(TObject*) {}
void TForm1::Enregistrer1Click(TObject*) {}
void TForm1::Quitter1Click(TObject*) {}
void TForm1::Copierdanslepresspapier1Click(TObject*) {}
void TForm1::Envoyercommeimage1Click(TObject*) {}
void TForm1::EnvoyerparFtp1Click(TObject*) {}
void TForm1::Limitedudomainededefinition1Click(TObject*) { Form6->Show(); }
void TForm1::Droiteverticale1Click(TObject*) { Form9->Show(); }
void TForm1::Etiquette1Click(TObject*) { Form7->Show(); }
void TForm1::Tracerladriveena1Click(TObject*) { Form3->Show(); }
void TForm1::Afficherlasurfaceentreaetb1Click(TObject*) { Form2->Show(); }
void TForm1::un1fun1Click(TObject*) { Form5->Show(); }
void TForm1::Aide1Click(TObject*) {}
