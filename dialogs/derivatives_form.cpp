#include "dialogs/derivatives_form.h"

#include <string>

#include "dialogs/analysis_rows.h"
#include "dialogs/tangents_estimate.h"
#include "plotter/drawing_state.h"
#include "plotter/form_building.h"
#include "plotter/main_form.h"
#include "plotter/undo_snapshot.h"
#include "platform/ui/keys.h"

TForm3* Form3 = nullptr;

namespace {

constexpr int RowTop = 12;
constexpr int RowPitch = 30;

}  // namespace

TForm3::TForm3(TApplication& app) : TForm(app, "Form3") {
    using namespace form_building;
    SetCaption("Tracer et estimer les surfaces entre courbes");
    SetBorderStyle(bsSizeToolWin);
    SetBounds(0, 0, 560, RowTop + TangentRowCount * RowPitch + 74);
    SetKeyPreview(true);

    TCheckBox** boxes[TangentRowCount] = {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5};
    TComboBox** combos[TangentRowCount] = {&ComboBox2, &ComboBox4, &ComboBox6, &ComboBox8, &ComboBox10};
    TLabel** inLabels[TangentRowCount] = {&Label2, &Label3, &Label4, &Label5, &Label6};
    TEdit** edits[TangentRowCount] = {&Edit1, &Edit3, &Edit5, &Edit7, &Edit9};
    TLabel** results[TangentRowCount] = {&Label20, &Label21, &Label22, &Label23, &Label24};
    for (int r = 0; r < TangentRowCount; ++r) {
        const int top = RowTop + r * RowPitch;
        TCheckBox* box = AddCheckBox(this, "CheckBox" + std::to_string(r + 1), "Deriv\xE9" "e de", false, 8, top + 1, 92);
        auto* combo = Add<TComboBox>("ComboBox" + std::to_string(2 * r + 2));
        combo->SetBounds(102, top, 44, EditHeight);
        FillFunctionItems(combo, false);
        combo->SetText("f");
        TLabel* in = AddLabel(this, "Label" + std::to_string(r + 2), "en", 152, top, 20);
        TEdit* edit = AddEdit(this, "Edit" + std::to_string(2 * r + 1), "0", 174, top, 90);
        TLabel* result = AddLabel(this, "Label" + std::to_string(20 + r), "", 272, top, 280);
        result->SetAutoSize(false);
        *boxes[r] = box;
        *combos[r] = combo;
        *inLabels[r] = in;
        *edits[r] = edit;
        *results[r] = result;
        RowBoxes[size_t(r)] = box;
        RowFunctions[size_t(r)] = combo;
        RowAbscissae[size_t(r)] = edit;
        RowResults[size_t(r)] = result;

        box->OnClick = [this](TObject* s) { CheckBox1Click(s); };
        combo->OnChange = [this](TObject* s) { ComboBox2Change(s); };
        edit->OnKeyPress = [this](TObject* s, char& key) { Edit1KeyPress(s, key); };
        edit->OnChange = [this](TObject* s) { Edit1Change(s); };
    }
    const int bottom = RowTop + TangentRowCount * RowPitch;
    Label1 = AddLabel(this, "Label1", "(Parametres a ou b possibles)", 8, bottom + 8, 220);
    Button1 = AddButton(this, "Button1", "Valider", 440, bottom + 6, 100);
    Button1->Font.Bold = true;

    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    OnKeyPress = [this](TObject* s, char& key) { FormKeyPress(s, key); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };

    // A new run of the program starts without results.
    ResetTangentResults();
}

void TForm3::CheckBox1Click(TObject*) { UpdateTangentLabels(); }

void TForm3::ComboBox2Change(TObject*) { UpdateTangentLabels(); }

// Enter in an abscissa recomputes the results.
void TForm3::Edit1KeyPress(TObject*, char& Key) {
    if (Key == '\r') UpdateTangentLabels();
}

// An abscissa typed into a text that is no number: the row's tangent is gone at once (its
// label and its drawing); the other rows keep theirs. A readable abscissa waits for Enter.
void TForm3::Edit1Change(TObject* Sender) {
    const int r = RowOfSender(RowAbscissae, Sender);
    if (LoadingFlag || r < 0 || !IsTangentChecked(r) || RowReads(GetTangentSettings, r)) return;
    TangentSides[size_t(r)] = TangentNotDerivable;
    RowResults[size_t(r)]->SetCaption(std::string("Tangente : ") + NotDerivableText);
}

// Esc hides the dialog; the main window redraws when it is active again.
void TForm3::FormKeyPress(TObject*, char& Key) {
    if (Key == char(VK_ESCAPE)) Hide();
}

void TForm3::FormActivate(TObject*) { UpdateTangentLabels(); }

// The snapshot keeps the state from before the user's edits, so that one undo brings it
// back.
void TForm3::FormShow(TObject*) {
    if (!placed_ && Form1) {
        placed_ = true;
        SetBounds(Form1->Left() + (Form1->Width() - Width()) / 2, Form1->Top() + (Form1->Height() - Height()) / 2,
                  Width(), Height());
    }
    SaveUndoSnapshot();
}

void TForm3::Button1Click(TObject*) { Hide(); }

bool TangentRowsExist() { return Form3 != nullptr; }

int TangentRowFunction(int r) { return ComboIndexOf(Form3->RowFunctions.at(size_t(r))); }

bool IsTangentChecked(int r) { return Form3->RowBoxes.at(size_t(r))->Checked(); }

TangentSettings GetTangentSettings(int r) {
    TangentSettings settings;
    settings.function = ComboIndexOf(Form3->RowFunctions.at(size_t(r)));
    settings.x0 = ParseParamValue(Form3->RowAbscissae.at(size_t(r))->Text(), settings.function);
    return settings;
}

void UpdateTangentLabels() {
    if (LoadingFlag || !Form3) return;
    try {
        for (int r = 0; r < TangentRowCount; ++r) {
            TLabel* label = Form3->RowResults[size_t(r)];
            label->SetCaption(IsTangentChecked(r) ? "Tangente : " + ComputeTangent(r) : std::string());
        }
    } catch (...) {
        // A label that cannot be written keeps its text; the redraw goes on.
    }
}
