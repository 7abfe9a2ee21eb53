#pragma once
// The movable labels dialog, Form7: twelve texts written on the picture and moved with
// the mouse, their sizes, the font face of the labels and the legend, and the import of
// the shown functions as labels.
#include <array>

#include "platform/ui/components.h"
#include "plotter/movable_labels.h"

class TForm7 : public TForm {
public:
    explicit TForm7(TApplication& app);

    // Row names "E.1" .. "E.12" (Label1, then Label3 .. Label13) and the headings.
    TLabel* Label1; TLabel* Label3; TLabel* Label4; TLabel* Label5; TLabel* Label6; TLabel* Label7;
    TLabel* Label8; TLabel* Label9; TLabel* Label10; TLabel* Label11; TLabel* Label12; TLabel* Label13;
    TLabel* Label14;  // "Texte des ettiquettes"
    TLabel* Label15;  // "Taille  (en%)"
    TLabel* Label2;   // "Police de caract\xE8re", shown in the chosen face
    // Texts of E.1 .. E.12 and their sizes in percent.
    TEdit* Edit1; TEdit* Edit2; TEdit* Edit3; TEdit* Edit4; TEdit* Edit5; TEdit* Edit6;
    TEdit* Edit7; TEdit* Edit8; TEdit* Edit9; TEdit* Edit10; TEdit* Edit11; TEdit* Edit12;
    TEdit* Edit13; TEdit* Edit14; TEdit* Edit15; TEdit* Edit16; TEdit* Edit17; TEdit* Edit18;
    TEdit* Edit19; TEdit* Edit20; TEdit* Edit21; TEdit* Edit22; TEdit* Edit23; TEdit* Edit24;
    std::array<TEdit*, LabelCount> TextEdits{};
    std::array<TEdit*, LabelCount> SizeEdits{};
    TComboBox* cpol;  // font face of the labels and the legend
    TMemo* Memo1;     // help
    TButton* Button3;  // "Valider"
    TButton* Button4;  // "X"
    TButton* Button2;  // "Tous m\xEAme taille (celle de E1)"
    TButton* Button1;  // "Importer les fonctions"
    TEdit* Edit25;     // prefix of an imported label
    TCheckBox* cpre; TCheckBox* cnm; TCheckBox* cfor;  // "prefixe", "nom", "formule"
    TButton* Button5;  // "y="
    TButton* Button6;  // "f(x)="

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormKeyPress(TObject* Sender, char& Key);
    void Edit1Change(TObject* Sender);
    void cpolChange(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button6Click(TObject* Sender);

private:
    void BuildRows();
    void BuildTools();
    void BindHandlers();
};

extern TForm7* Form7;

extern bool FillingLabelDialog;  // set while FillLabelDialog writes the dialog's edits

// Dialog to labels: texts and sizes from the dialog's edits (a size text that is not a
// number counts as 0); an empty label is parked at the left edge, near the bottom of the
// window, E.12 1.1 label heights above it and each earlier label 1.1 heights higher.
void ReadLabelsFromDialog();

// Labels to dialog: the texts and the sizes (general format, 15 digits). The dialog's
// change handlers do nothing meanwhile.
void FillLabelDialog();

// "Importer les fonctions": each shown, non-empty function becomes a label from E.4 on,
// made of its letter, the prefix and its text as the dialog's options say; then the dialog
// is filled again.
void ImportFunctionLabels();
