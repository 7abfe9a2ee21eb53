// The main window's menu and file dialogs, with the binding of the menu handlers.
#include "plotter/main_form.h"
#include "plotter/main_window_actions.h"
#include "plotter/program_description.h"

void TForm1::BuildMenu() {
    const ProgramDescription& program = ActiveProgram();
    MainMenu1 = Add<TMainMenu>("MainMenu1");
    TMenuItem& root = MainMenu1->Items();

    Fichier1 = root.Add("Fichier1", "Fichier");
    Nouveau1 = Fichier1->Add("Nouveau1", "Nouveau");
    Ouvri1 = Fichier1->Add("Ouvri1", "Ouvrir");
    Enregistrer1 = Fichier1->Add("Enregistrer1", "Enregistrer Sous");
    Fichier1->AddSeparator();
    Quitter1 = Fichier1->Add("Quitter1", "Quitter");

    // Undo and redo: a click and the shortcut (Ctrl+Z, Ctrl+Y, pressed anywhere in the
    // window) both go through the item.
    Edition1 = root.Add("Edition1", "Edition");
    Annuler1 = Edition1->Add("Annuler1", "Annuler la derniere modification");
    Annuler1->SetShortCut(ShortCut('Z', TShiftState{ssCtrl}));
    Refaire1 = Edition1->Add("Refaire1", "Refaire la derniere modification");
    Refaire1->SetShortCut(ShortCut('Y', TShiftState{ssCtrl}));

    Exporter1 = root.Add("Exporter1", "Exporter");
    Copierdanslepresspapier1 = Exporter1->Add("Copierdanslepresspapier1", "Copier dans le presse-papier");
    Copierdanslepresspapier1->SetShortCut(ShortCut('D', TShiftState{ssCtrl}));
    Envoyercommeimage1 = Exporter1->Add("Envoyercommeimage1", "Exporter comme image");
    Exporter1->AddSeparator();
    EnvoyerparFtp1 = Exporter1->Add("EnvoyerparFtp1", "Envoyer par Ftp");

    Options1 = root.Add("Options1", "Options");
    Limitedudomainededefinition1 = Options1->Add("Limitedudomainededefinition1", "Limite des domaines de definition");
    Droiteverticale1 = Options1->Add("Droiteverticale1", "Droites verticales");
    Options1->AddSeparator();
    if (program.HasAnalysisMenu) {
        Tracerladriveena1 = Options1->Add("Tracerladriveena1", "D\xE9riv\xE9" "es et tangentes ");
        Afficherlasurfaceentreaetb1 = Options1->Add("Afficherlasurfaceentreaetb1", "Surfaces et integrales ");
        un1fun1 = Options1->Add("un1fun1", "U(n+1) = F(Un)");
        Options1->AddSeparator();
    }
    Etiquette1 = Options1->Add("Etiquette1", "Etiquettes");
    leg = Options1->Add("leg", "Afficher la legende");
    abspi = Options1->Add("abspi", program.AbscissaItemCaption);
    abspi->SetChecked(program.AbscissaItemChecked);
    re1 = Options1->Add("re1", "Trac\xE9 pr\xE9" "cis (lent)");
    Options1->AddSeparator();
    Elargirlechampdezommer1 = Options1->Add("Elargirlechampdezommer1", "Elargir la fen\xEAtre (dezommer)");
    Moitiegauche1 = Options1->Add("Moitiegauche1", "Moiti\xE9 gauche");
    Moitidroite1 = Options1->Add("Moitidroite1", "Moiti\xE9 droite");

    Aide1 = root.Add("Aide1", "?");

    sd = Add<TSaveDialog>("sd");
    od = Add<TOpenDialog>("od");
    for (TOpenDialog* dialog : {static_cast<TOpenDialog*>(sd), od}) {
        dialog->SetDefaultExt("*.fct");
        dialog->SetFilter("Fichier Fonction|*.fct");
    }
    sdj = Add<TSaveDialog>("sdj");
    sdj->SetDefaultExt("*.jpg");
    sdj->SetFilter("Jpeg |*.jpg");

    Nouveau1->OnClick = [this](TObject* s) { Nouveau1Click(s); };
    Ouvri1->OnClick = [this](TObject* s) { Ouvri1Click(s); };
    Enregistrer1->OnClick = [this](TObject* s) { Enregistrer1Click(s); };
    Quitter1->OnClick = [this](TObject* s) { Quitter1Click(s); };
    Annuler1->OnClick = [](TObject*) { RunAction(MainWindowActionTable().UndoLastChange); };
    Refaire1->OnClick = [](TObject*) { RunAction(MainWindowActionTable().RedoLastChange); };
    Copierdanslepresspapier1->OnClick = [this](TObject* s) { Copierdanslepresspapier1Click(s); };
    Envoyercommeimage1->OnClick = [this](TObject* s) { Envoyercommeimage1Click(s); };
    EnvoyerparFtp1->OnClick = [this](TObject* s) { EnvoyerparFtp1Click(s); };
    Limitedudomainededefinition1->OnClick = [this](TObject* s) { Limitedudomainededefinition1Click(s); };
    Droiteverticale1->OnClick = [this](TObject* s) { Droiteverticale1Click(s); };
    if (Tracerladriveena1) {
        Tracerladriveena1->OnClick = [this](TObject* s) { Tracerladriveena1Click(s); };
        Afficherlasurfaceentreaetb1->OnClick = [this](TObject* s) { Afficherlasurfaceentreaetb1Click(s); };
        un1fun1->OnClick = [this](TObject* s) { un1fun1Click(s); };
    }
    Etiquette1->OnClick = [this](TObject* s) { Etiquette1Click(s); };
    leg->OnClick = [this](TObject* s) { legClick(s); };
    abspi->OnClick = [this](TObject* s) { abspiClick(s); };
    re1->OnClick = [this](TObject* s) { re1Click(s); };
    Elargirlechampdezommer1->OnClick = [this](TObject* s) { Elargirlechampdezommer1Click(s); };
    Moitiegauche1->OnClick = [this](TObject* s) { Moitiegauche1Click(s); };
    Moitidroite1->OnClick = [this](TObject* s) { Moitidroite1Click(s); };
    Aide1->OnClick = [this](TObject* s) { Aide1Click(s); };
}
