#include "dialogs/domains_form.h"

#include <cmath>

#include "plotter/undo_snapshot.h"
#include "engine/number_conversion.h"
#include "engine/text_helpers.h"
#include "plotter/form_building.h"
#include "platform/ui/keys.h"

TForm6* Form6 = nullptr;

namespace {

constexpr int RowTop = 12;
constexpr int RowPitch = 30;

}  // namespace

TForm6::TForm6(TApplication& app) : TForm(app, "Form6") {
    using namespace form_building;
    SetCaption("Domaines de d\xE9" "finition");
    SetBorderStyle(bsDialog);
    SetBounds(0, 0, 470, RowTop + 9 * RowPitch + 80);
    SetKeyPreview(true);
    Font.Bold = true;  // the buttons; labels and edits are plain

    TLabel** rowLabels[9] = {&Label11, &Label12, &Label13, &Label14, &Label15, &Label16, &Label17, &Label18, &Label19};
    TLabel** toLabels[9] = {&Label1, &Label2, &Label3, &Label4, &Label5, &Label6, &Label7, &Label8, &Label9};
    TEdit** edits[18] = {&Edit1,  &Edit2,  &Edit3,  &Edit4,  &Edit5,  &Edit6,  &Edit7,  &Edit8,  &Edit9,
                         &Edit10, &Edit11, &Edit12, &Edit13, &Edit14, &Edit15, &Edit16, &Edit17, &Edit18};
    TButton** rowButtons[9] = {&Button2, &Button3, &Button4, &Button5, &Button6,
                               &Button7, &Button8, &Button9, &Button10};
    for (int k = 0; k < 9; ++k) {
        const int top = RowTop + k * RowPitch;
        TLabel* rowLabel = AddLabel(this, "Label" + std::to_string(11 + k),
                                    "Limite du domaine de " + FunctionLetter(k) + " :    de", 8, top, 190);
        TEdit* lower = AddEdit(this, "Edit" + std::to_string(2 * k + 1), "-inf", 200, top, 70);
        TLabel* to = AddLabel(this, "Label" + std::to_string(k + 1), "\xE0 ", 276, top, 16);
        TEdit* upper = AddEdit(this, "Edit" + std::to_string(2 * k + 2), "inf", 294, top, 70);
        for (TControl* plain : {static_cast<TControl*>(rowLabel), static_cast<TControl*>(lower),
                                static_cast<TControl*>(to), static_cast<TControl*>(upper)})
            plain->Font.Bold = false;
        *rowLabels[k] = rowLabel;
        *toLabels[k] = to;
        *edits[2 * k] = lower;
        *edits[2 * k + 1] = upper;
        LowerEdits[size_t(k)] = lower;
        UpperEdits[size_t(k)] = upper;
        *rowButtons[k] = AddButton(this, "Button" + std::to_string(k + 2), "-inf;inf", 374, top - 2, 80);
    }
    const int bottom = RowTop + 9 * RowPitch;
    Label10 = AddLabel(this, "Label10", "(-inf et inf pour les infinis)", 8, bottom + 6, 220);
    Label10->Font.Bold = false;
    Button1 = AddButton(this, "Button1", "Valider", 374, bottom + 4, 80);

    for (TEdit* edit : LowerEdits) edit->OnKeyPress = [this](TObject* s, char& key) { Edit1KeyPress(s, key); };
    for (TEdit* edit : UpperEdits) edit->OnKeyPress = [this](TObject* s, char& key) { Edit1KeyPress(s, key); };
    OnKeyUp = [this](TObject* s, std::uint16_t& key, TShiftState shift) { FormKeyUp(s, key, shift); };
    OnShow = [this](TObject* s) { FormShow(s); };
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    Button2->OnClick = [this](TObject* s) { Button2Click(s); };
    Button3->OnClick = [this](TObject* s) { Button3Click(s); };
    Button4->OnClick = [this](TObject* s) { Button4Click(s); };
    Button5->OnClick = [this](TObject* s) { Button5Click(s); };
    Button6->OnClick = [this](TObject* s) { Button6Click(s); };
    Button7->OnClick = [this](TObject* s) { Button7Click(s); };
    Button8->OnClick = [this](TObject* s) { Button8Click(s); };
    Button9->OnClick = [this](TObject* s) { Button9Click(s); };
    Button10->OnClick = [this](TObject* s) { Button10Click(s); };
}

// "Valider": the typed bounds take effect.
void TForm6::Button1Click(TObject*) {
    ReadDomainDialog();
    Hide();
}

// Enter in any bound confirms like "Valider".
void TForm6::Edit1KeyPress(TObject*, char& Key) {
    if (Key != '\r') return;
    ReadDomainDialog();
    Hide();
}

// Esc leaves without reading: the bounds keep their values until the next confirmation.
void TForm6::FormKeyUp(TObject*, std::uint16_t& Key, TShiftState) {
    if (Key == VK_ESCAPE) Hide();
}

void TForm6::FormShow(TObject*) { SaveUndoSnapshot(); }

void TForm6::ResetRow(int row) {
    LowerEdits[size_t(row)]->SetText("-inf");
    UpperEdits[size_t(row)]->SetText("inf");
}

void TForm6::Button2Click(TObject*) { ResetRow(0); }
void TForm6::Button3Click(TObject*) { ResetRow(1); }
void TForm6::Button4Click(TObject*) { ResetRow(2); }
void TForm6::Button5Click(TObject*) { ResetRow(3); }
void TForm6::Button6Click(TObject*) { ResetRow(4); }
void TForm6::Button7Click(TObject*) { ResetRow(5); }
void TForm6::Button8Click(TObject*) { ResetRow(6); }
void TForm6::Button9Click(TObject*) { ResetRow(7); }
void TForm6::Button10Click(TObject*) { ResetRow(8); }

long double ParseDomainBound(std::string_view text) {
    // The whole text decides: " inf" (with a space) is not infinite.
    const std::string folded = FoldAccentsUpper(text);
    if (folded == "INF") return DomainInfinity;
    if (folded == "-INF") return -DomainInfinity;
    // Texts the conversion refuses ("-", "1,2,3", "1E400") read as 0 like any other
    // text that is not a number, so that reading the dialog never fails.
    try {
        return ParseFloatOrZero(text);
    } catch (const NumberError&) {
        return 0;
    }
}

void ReadDomainDialog() {
    if (!Form6) return;
    for (size_t k = 0; k < 9; ++k) {
        DomainLower[k] = ParseDomainBound(Form6->LowerEdits[k]->Text());
        DomainUpper[k] = ParseDomainBound(Form6->UpperEdits[k]->Text());
    }
}
