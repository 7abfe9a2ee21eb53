// The components of the program with sound: the sound controls below the left panel of
// the first page and the whole melody page (second page), with their bindings.
#include "plotter/form_building.h"
#include "plotter/main_form.h"

using namespace form_building;

void TForm1::BuildSoundControls(TWinControl* parent, int top) {
    auto* sound = parent->Add<TPanel>("PanelSound");
    sound->SetBounds(4, top, 330, 104);

    Button5 = AddButton(sound, "Button5", "Jouer", 4, 4, 70);
    AddLabel(sound, "LabelDuration", "Dur\xE9" "e", 84, 6, 40);
    Edit21 = AddEdit(sound, "Edit21", "3", 124, 6, 50);
    AddLabel(sound, "LabelSeconds", "s", 176, 6, 12);
    cst = AddCheckBox(sound, "cst", "Stereo", true, 200, 6, 120);

    auto* channels = sound->Add<TPanel>("PanelChannels");
    channels->SetBounds(4, 34, 180, 64);
    rb1 = channels->Add<TRadioButton>("rb1");
    rb1->SetCaption("Dephasage");
    rb1->SetBounds(4, 4, 170, 19);
    rb1->SetChecked(true);
    rb2 = channels->Add<TRadioButton>("rb2");
    rb2->SetCaption("j(x)+k()+l(x)");
    rb2->SetBounds(4, 28, 170, 19);

    Edit22 = AddEdit(sound, "Edit22", "3", 196, 38, 50);
    AddLabel(sound, "LabelMilliseconds", "ms", 248, 38, 20);
    UpDown11 = AddUpDown(sound, "UpDown11", "", 272, 38);
    UpDown12 = AddUpDown(sound, "UpDown12", "", 292, 38);
}

void TForm1::BuildMelodyPage(TWinControl* page) {
    auto* controls = page->Add<TPanel>("PanelMelody");
    controls->SetAlign(alRight);
    controls->SetWidth(270);

    auto* scales = page->Add<TGroupBox>("GroupBoxScales");
    scales->SetCaption("D\xE9" "finition des gammes de notes");
    scales->SetAlign(alTop);
    scales->SetHeight(300);
    sg = scales->Add<TStringGrid>("sg");
    sg->SetAlign(alClient);
    sg->SetColCount(16);
    sg->SetRowCount(50);
    sg->SetFixedCols(0);
    sg->SetFixedRows(0);
    sg->SetEditing(true);

    auto* melody = page->Add<TGroupBox>("GroupBoxMelody");
    melody->SetCaption("Construction d'une suite d'harmonies");
    melody->SetAlign(alClient);
    ms = melody->Add<TStringGrid>("ms");
    ms->SetAlign(alClient);
    ms->SetColCount(1000);
    ms->SetRowCount(24);
    ms->SetFixedCols(1);
    ms->SetFixedRows(0);
    ms->SetEditing(true);

    int top = 8;
    AddLabel(controls, "LabelTempo", "Tempo", 8, top, 60);
    Edit26 = AddEdit(controls, "Edit26", "90", 80, top, 80);
    top += RowHeight;
    AddLabel(controls, "LabelTonic", "Tonique", 8, top, 60);
    Edit27 = AddEdit(controls, "Edit27", "264", 80, top, 80);
    top += RowHeight;
    AddLabel(controls, "LabelStart", "Debut", 8, top, 60);
    Edit25 = AddEdit(controls, "Edit25", "0", 80, top, 80);
    Button10 = AddButton(controls, "Button10", "Jouer", 170, top - 24, 80);
    top += RowHeight + 8;

    auto* scaleChoice = controls->Add<TGroupBox>("GroupBoxScaleChoice");
    scaleChoice->SetCaption("Choix de gamme");
    scaleChoice->SetBounds(4, top, 260, 56);
    Edit23 = AddEdit(scaleChoice, "Edit23", "A", 8, 22, 40);
    Edit24 = AddEdit(scaleChoice, "Edit24", "B", 56, 22, 40);
    Button6 = AddButton(scaleChoice, "Button6", "Changement", 110, 20, 100);
    top += 64;

    auto* chord = controls->Add<TGroupBox>("GroupBoxChord");
    chord->SetCaption("Voir harmonie du temps");
    chord->SetBounds(4, top, 260, 56);
    Edit28 = AddEdit(chord, "Edit28", "0", 8, 22, 60);
    Button11 = AddButton(chord, "Button11", "> Fonctions", 110, 20, 100);
    top += 64;

    auto* column = controls->Add<TGroupBox>("GroupBoxColumn");
    column->SetCaption("Colonne s\xE9lectionn\xE9" "e");
    column->SetBounds(4, top, 260, 56);
    Button7 = AddButton(column, "Button7", "Supprimer", 6, 22, 78);
    Button8 = AddButton(column, "Button8", "Ins\xE9rer", 90, 22, 78);
    Button9 = AddButton(column, "Button9", "Dupliquer", 174, 22, 78);
    top += 64;

    Label33 = AddLabel(controls, "Label33", "Ajouter > pour augmenter d'une octave et < pour diminuer (A1=Do4)", 8, top, 256);
    Label33->SetHeight(40);
}

void TForm1::BindSoundHandlers() {
    Edit20->OnKeyUp = [this](TObject* s, std::uint16_t& key, TShiftState shift) { Edit20KeyUp(s, key, shift); };
    UpDown9->OnClick = [this](TObject* s, TUDBtnType b) { UpDown9Click(s, b); };
    UpDown10->OnClick = [this](TObject* s, TUDBtnType b) { UpDown10Click(s, b); };

    Button5->OnClick = [this](TObject* s) { Button5Click(s); };
    UpDown11->OnClick = [this](TObject* s, TUDBtnType b) { UpDown11Click(s, b); };
    UpDown12->OnClick = [this](TObject* s, TUDBtnType b) { UpDown12Click(s, b); };
    cst->OnClick = [this](TObject* s) { cstClick(s); };
    rb1->OnClick = [this](TObject* s) { rb2Click(s); };
    rb2->OnClick = [this](TObject* s) { rb2Click(s); };

    // The melody page: "Jouer" runs the melody player (the handler "Normer" runs in this
    // program too), "Changement" moves the notes to the other scale.
    Button10->OnClick = [this](TObject* s) { Button2Click(s); };
    Button6->OnClick = [this](TObject* s) { Button6Click(s); };
    Button11->OnClick = [this](TObject* s) { Button11Click(s); };
}
