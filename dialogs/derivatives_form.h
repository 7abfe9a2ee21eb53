#pragma once
// The derivatives and tangents dialog, Form3: up to five tangents, with their equations
// in the dialog and their stretches on the picture.
#include <array>

#include "dialogs/tangent_rows.h"
#include "platform/ui/components.h"

class TForm3 : public TForm {
public:
    explicit TForm3(TApplication& app);

    // Row r (0 .. 4): "Deriv\xE9e de" CheckBox(r+1), the function ComboBox(2r+2), "en",
    // the abscissa x0 Edit(2r+1), the result Label(20+r).
    TCheckBox* CheckBox1; TCheckBox* CheckBox2; TCheckBox* CheckBox3; TCheckBox* CheckBox4; TCheckBox* CheckBox5;
    TComboBox* ComboBox2; TComboBox* ComboBox4; TComboBox* ComboBox6; TComboBox* ComboBox8; TComboBox* ComboBox10;
    TLabel* Label2; TLabel* Label3; TLabel* Label4; TLabel* Label5; TLabel* Label6;  // "en"
    TEdit* Edit1; TEdit* Edit3; TEdit* Edit5; TEdit* Edit7; TEdit* Edit9;
    TLabel* Label20; TLabel* Label21; TLabel* Label22; TLabel* Label23; TLabel* Label24;
    TLabel* Label1;    // "(Parametres a ou b possibles)"
    TButton* Button1;  // "Valider"

    std::array<TCheckBox*, TangentRowCount> RowBoxes{};
    std::array<TComboBox*, TangentRowCount> RowFunctions{};
    std::array<TEdit*, TangentRowCount> RowAbscissae{};
    std::array<TLabel*, TangentRowCount> RowResults{};

    void CheckBox1Click(TObject* Sender);
    void ComboBox2Change(TObject* Sender);
    void Edit1KeyPress(TObject* Sender, char& Key);
    void Edit1Change(TObject* Sender);
    void FormKeyPress(TObject* Sender, char& Key);
    void FormActivate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Button1Click(TObject* Sender);

private:
    bool placed_ = false;  // centred on the main window at the first show
};

extern TForm3* Form3;

// Recomputes the tangent of each row that is on and writes its equation into the row
// (the empty text for a row that is off). Does nothing while a settings load runs.
void UpdateTangentLabels();
