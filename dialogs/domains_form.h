#pragma once
// The domains dialog, Form6: an interval of x for each function, outside which it is
// undefined. "inf" and "-inf" (in any case) stand for the infinities.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ui/components.h"
#include "plotter/function_domains.h"
#include "plotter/function_rows.h"

class TForm6 : public TForm {
public:
    explicit TForm6(TApplication& app);

    // Row k (function f .. n): "Limite du domaine de <letter> :    de", the lower bound
    // Edit(2k+1), "\xE0 ", the upper bound Edit(2k+2), the button "-inf;inf" Button(k+2).
    TLabel* Label11; TLabel* Label12; TLabel* Label13; TLabel* Label14; TLabel* Label15;
    TLabel* Label16; TLabel* Label17; TLabel* Label18; TLabel* Label19;
    TLabel* Label1; TLabel* Label2; TLabel* Label3; TLabel* Label4; TLabel* Label5;
    TLabel* Label6; TLabel* Label7; TLabel* Label8; TLabel* Label9;
    TEdit* Edit1; TEdit* Edit2; TEdit* Edit3; TEdit* Edit4; TEdit* Edit5; TEdit* Edit6;
    TEdit* Edit7; TEdit* Edit8; TEdit* Edit9; TEdit* Edit10; TEdit* Edit11; TEdit* Edit12;
    TEdit* Edit13; TEdit* Edit14; TEdit* Edit15; TEdit* Edit16; TEdit* Edit17; TEdit* Edit18;
    TButton* Button2; TButton* Button3; TButton* Button4; TButton* Button5; TButton* Button6;
    TButton* Button7; TButton* Button8; TButton* Button9; TButton* Button10;
    TLabel* Label10;   // "(-inf et inf pour les infinis)"
    TButton* Button1;  // "Valider"

    // The bound edits of each function (f .. n).
    std::array<TEdit*, 9> LowerEdits{};
    std::array<TEdit*, 9> UpperEdits{};

    void Button1Click(TObject* Sender);
    void Edit1KeyPress(TObject* Sender, char& Key);
    void FormKeyUp(TObject* Sender, std::uint16_t& Key, TShiftState Shift);
    void FormShow(TObject* Sender);
    // "-inf;inf" of rows f .. n: the row's bounds back to the infinities (read at the
    // next confirmation).
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button6Click(TObject* Sender);
    void Button7Click(TObject* Sender);
    void Button8Click(TObject* Sender);
    void Button9Click(TObject* Sender);
    void Button10Click(TObject* Sender);

private:
    void ResetRow(int row);
};

extern TForm6* Form6;

// A typed bound: "inf" or "-inf" in any case (the whole text) for the infinities, else
// the tolerant number conversion; a text that is not a number gives 0. Never raises.
long double ParseDomainBound(std::string_view text);
// Reads the dialog's bounds into DomainLower and DomainUpper.
void ReadDomainDialog();
