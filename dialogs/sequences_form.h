#pragma once
// The sequences dialog, Form5: up to three sequences U(n+1) = F(Un), their limits and
// their staircases on the picture.
#include <array>
#include <cstdint>

#include "dialogs/sequence_rows.h"
#include "platform/ui/components.h"
#include "plotter/drawing_state.h"

class TForm5 : public TForm {
public:
    explicit TForm5(TApplication& app);

    // Row r (0 .. 2): "Tracer la suite recurrente  U(n+1)=" CheckBox(2r+1), the function
    // ComboBox(2r+2), "( Un )", "Avec  U0=", U0 Edit(r+1), "Pas \xE0 pas (avec les fl\xE8ches)"
    // CheckBox(2r+2), the limit Label(7+r).
    TCheckBox* CheckBox1; TCheckBox* CheckBox2; TCheckBox* CheckBox3;
    TCheckBox* CheckBox4; TCheckBox* CheckBox5; TCheckBox* CheckBox6;
    TComboBox* ComboBox2; TComboBox* ComboBox4; TComboBox* ComboBox6;
    TLabel* Label1; TLabel* Label2; TLabel* Label3;  // "( Un )"
    TLabel* Label4; TLabel* Label5; TLabel* Label6;  // "Avec  U0="
    TEdit* Edit1; TEdit* Edit2; TEdit* Edit3;
    TLabel* Label7; TLabel* Label8; TLabel* Label9;
    TLabel* Label11;   // "(Parametres a ou b possibles)"
    TLabel* Label10;   // "Utiliser les fleches pour controler n"
    TButton* Button1;  // "Valider"
    TButton* Button2;  // "Initiatilise n"

    std::array<TCheckBox*, SequenceRowCount> RowBoxes{};
    std::array<TComboBox*, SequenceRowCount> RowFunctions{};
    std::array<TEdit*, SequenceRowCount> RowFirstTerms{};
    std::array<TCheckBox*, SequenceRowCount> RowStepBoxes{};
    std::array<TLabel*, SequenceRowCount> RowResults{};

    void CheckBox1Click(TObject* Sender);
    void Edit1Change(TObject* Sender);
    void FormKeyUp(TObject* Sender, std::uint16_t& Key, TShiftState Shift);
    void FormShow(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
};

extern TForm5* Form5;

// Writes the limit of each row that is on into its label (the empty text for a row that
// is off). Does nothing while a settings load runs.
void UpdateSequenceLimits();
