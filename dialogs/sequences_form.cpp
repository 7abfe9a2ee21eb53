#include "dialogs/sequences_form.h"

#include <string>

#include "dialogs/analysis_rows.h"
#include "dialogs/sequences_staircase.h"
#include "plotter/drawing_state.h"
#include "plotter/form_building.h"
#include "plotter/undo_snapshot.h"
#include "platform/ui/keys.h"

TForm5* Form5 = nullptr;

namespace {

constexpr int RowTop = 12;
constexpr int RowPitch = 54;

std::string Numbered(const char* name, int number) { return name + std::to_string(number); }

}  // namespace

TForm5::TForm5(TApplication& app) : TForm(app, "Form5") {
    using namespace form_building;
    SetCaption("U(n+1) = F (Un)");
    SetBorderStyle(bsToolWindow);
    SetBounds(0, 0, 700, RowTop + SequenceRowCount * RowPitch + 80);
    SetKeyPreview(true);

    TCheckBox** boxes[2 * SequenceRowCount] = {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5, &CheckBox6};
    TComboBox** combos[SequenceRowCount] = {&ComboBox2, &ComboBox4, &ComboBox6};
    TLabel** termLabels[SequenceRowCount] = {&Label1, &Label2, &Label3};
    TLabel** firstLabels[SequenceRowCount] = {&Label4, &Label5, &Label6};
    TEdit** edits[SequenceRowCount] = {&Edit1, &Edit2, &Edit3};
    TLabel** results[SequenceRowCount] = {&Label7, &Label8, &Label9};
    static const char* const defaultFunctions[SequenceRowCount] = {"f", "g", "h"};
    for (int r = 0; r < SequenceRowCount; ++r) {
        const int top = RowTop + r * RowPitch;
        TCheckBox* box =
            AddCheckBox(this, Numbered("CheckBox", 2 * r + 1), "Tracer la suite recurrente  U(n+1)=", false, 8, top + 1, 230);
        auto* combo = Add<TComboBox>(Numbered("ComboBox", 2 * r + 2));
        combo->SetBounds(240, top, 44, EditHeight);
        FillFunctionItems(combo, false);
        combo->SetText(defaultFunctions[r]);
        *termLabels[r] = AddLabel(this, Numbered("Label", r + 1), "( Un )", 288, top, 44);
        *firstLabels[r] = AddLabel(this, Numbered("Label", r + 4), "Avec  U0=", 336, top, 68);
        TEdit* edit = AddEdit(this, Numbered("Edit", r + 1), "0", 406, top, 80);
        TCheckBox* stepBox = AddCheckBox(this, Numbered("CheckBox", 2 * r + 2),
                                         "Pas \xE0 pas (avec les fl\xE8" "ches)", true, 494, top + 1, 196);
        TLabel* result = AddLabel(this, Numbered("Label", 7 + r), "", 40, top + 26, 640);
        result->SetAutoSize(false);

        *boxes[2 * r] = box;
        *boxes[2 * r + 1] = stepBox;
        *combos[r] = combo;
        *edits[r] = edit;
        *results[r] = result;
        RowBoxes[size_t(r)] = box;
        RowFunctions[size_t(r)] = combo;
        RowFirstTerms[size_t(r)] = edit;
        RowStepBoxes[size_t(r)] = stepBox;
        RowResults[size_t(r)] = result;

        // Only the boxes that switch a row on recompute the limits.
        box->OnClick = [this](TObject* s) { CheckBox1Click(s); };
        edit->OnChange = [this](TObject* s) { Edit1Change(s); };
    }
    const int bottom = RowTop + SequenceRowCount * RowPitch;
    Label11 = AddLabel(this, "Label11", "(Parametres a ou b possibles)", 8, bottom + 4, 220);
    Label10 = AddLabel(this, "Label10", "Utiliser les fleches pour controler n", 8, bottom + 26, 260);
    Button2 = AddButton(this, "Button2", "Initiatilise n", 460, bottom + 4, 110);
    Button1 = AddButton(this, "Button1", "Valider", 580, bottom + 4, 100);
    Button1->Font.Bold = true;

    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    Button2->OnClick = [this](TObject* s) { Button2Click(s); };
    OnKeyUp = [this](TObject* s, std::uint16_t& key, TShiftState shift) { FormKeyUp(s, key, shift); };
    OnShow = [this](TObject* s) { FormShow(s); };

    // A new run of the program starts at the first step.
    StepCounter = 0;
}

void TForm5::CheckBox1Click(TObject*) { UpdateSequenceLimits(); }

// A first term typed into a text that is no number: the row's limit is gone at once; the
// other rows keep theirs. A readable first term leaves the limit until a row is switched.
void TForm5::Edit1Change(TObject* Sender) {
    const int r = RowOfSender(RowFirstTerms, Sender);
    if (LoadingFlag || r < 0 || !IsSequenceChecked(r) || RowReads(GetSequenceSettings, r)) return;
    RowResults[size_t(r)]->SetCaption("");
}

// Esc hides the dialog; the main window redraws when it is active again.
void TForm5::FormKeyUp(TObject*, std::uint16_t& Key, TShiftState) {
    if (Key == VK_ESCAPE) Hide();
}

// The snapshot keeps the state from before the user's edits, so that one undo brings it
// back.
void TForm5::FormShow(TObject*) { SaveUndoSnapshot(); }

void TForm5::Button1Click(TObject*) { Hide(); }

// "Initiatilise n": the step-by-step staircases start again from their first step at the
// next redraw.
void TForm5::Button2Click(TObject*) { StepCounter = 0; }

bool SequenceRowsExist() { return Form5 != nullptr; }

bool IsSequenceChecked(int r) { return Form5->RowBoxes.at(size_t(r))->Checked(); }

SequenceSettings GetSequenceSettings(int r) {
    SequenceSettings settings;
    settings.function = ComboIndexOf(Form5->RowFunctions.at(size_t(r)));
    settings.u0 = ParseParamValue(Form5->RowFirstTerms.at(size_t(r))->Text(), settings.function);
    settings.stepByStep = Form5->RowStepBoxes.at(size_t(r))->Checked();
    return settings;
}

void UpdateSequenceLimits() {
    if (LoadingFlag || !Form5) return;
    for (int r = 0; r < SequenceRowCount; ++r)
        Form5->RowResults[size_t(r)]->SetCaption(IsSequenceChecked(r) ? ComputeSequenceLimit(r) : std::string());
}
