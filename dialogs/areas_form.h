#pragma once
// The areas and integrals dialog, Form2: up to five areas between two curves, hatched on
// the picture, with the estimate of their integrals.
#include <array>

#include "dialogs/area_rows.h"
#include "platform/ui/components.h"

class TForm2 : public TForm {
public:
    explicit TForm2(TApplication& app);

    // Row r (0 .. 4): "Entre" CheckBox(r+1), the first function ComboBox(2r+1) ("0" for
    // the zero function), "et", the second function ComboBox(2r+2), "de ", the lower bound
    // Edit(2r+1), "\xE0", the upper bound Edit(2r+2), the result Label(20+r).
    TCheckBox* CheckBox1; TCheckBox* CheckBox2; TCheckBox* CheckBox3; TCheckBox* CheckBox4; TCheckBox* CheckBox5;
    TComboBox* ComboBox1; TComboBox* ComboBox2; TComboBox* ComboBox3; TComboBox* ComboBox4; TComboBox* ComboBox5;
    TComboBox* ComboBox6; TComboBox* ComboBox7; TComboBox* ComboBox8; TComboBox* ComboBox9; TComboBox* ComboBox10;
    TEdit* Edit1; TEdit* Edit2; TEdit* Edit3; TEdit* Edit4; TEdit* Edit5;
    TEdit* Edit6; TEdit* Edit7; TEdit* Edit8; TEdit* Edit9; TEdit* Edit10;
    TLabel* Label2; TLabel* Label3; TLabel* Label4; TLabel* Label5; TLabel* Label6;        // "et"
    TLabel* Label7; TLabel* Label8; TLabel* Label9; TLabel* Label10; TLabel* Label11;      // "de "
    TLabel* Label12; TLabel* Label13; TLabel* Label14; TLabel* Label15; TLabel* Label16;   // "\xE0"
    TLabel* Label20; TLabel* Label21; TLabel* Label22; TLabel* Label23; TLabel* Label24;
    TLabel* Label1;    // "(Parametres a ou b possibles)"
    TButton* Button1;  // "Valider"

    std::array<TCheckBox*, AreaRowCount> RowBoxes{};
    std::array<TComboBox*, AreaRowCount> RowFirstFunctions{};
    std::array<TComboBox*, AreaRowCount> RowSecondFunctions{};
    std::array<TEdit*, AreaRowCount> RowLowerBounds{};
    std::array<TEdit*, AreaRowCount> RowUpperBounds{};
    std::array<TLabel*, AreaRowCount> RowResults{};

    void CheckBox1Click(TObject* Sender);
    void ComboBox1Change(TObject* Sender);
    void Edit1KeyPress(TObject* Sender, char& Key);
    void Edit1Change(TObject* Sender);
    void FormKeyPress(TObject* Sender, char& Key);
    void FormActivate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Button1Click(TObject* Sender);
};

extern TForm2* Form2;

// Recomputes the integral shown in the label of each row that is on (the empty text for
// a row that is off, and for a row without an integral: a bound, a or b that cannot be
// read, a function that is empty or unreadable). Does nothing while a settings load runs.
void UpdateAreaLabels();
