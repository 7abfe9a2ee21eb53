#include "dialogs/areas_form.h"

#include <algorithm>
#include <string>

#include "dialogs/analysis_rows.h"
#include "dialogs/areas_integral.h"
#include "plotter/drawing_state.h"
#include "plotter/form_building.h"
#include "plotter/undo_snapshot.h"
#include "platform/ui/keys.h"

TForm2* Form2 = nullptr;

namespace {

constexpr int RowTop = 12;
constexpr int RowPitch = 30;

std::string Numbered(const char* name, int number) { return name + std::to_string(number); }

}  // namespace

TForm2::TForm2(TApplication& app) : TForm(app, "Form2") {
    using namespace form_building;
    SetCaption("Tracer et estimer les surfaces entre courbes");
    SetBorderStyle(bsSizeToolWin);
    SetBounds(0, 0, 640, RowTop + AreaRowCount * RowPitch + 74);
    SetKeyPreview(true);

    TCheckBox** boxes[AreaRowCount] = {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5};
    TComboBox** combos[2 * AreaRowCount] = {&ComboBox1, &ComboBox2, &ComboBox3, &ComboBox4, &ComboBox5,
                                            &ComboBox6, &ComboBox7, &ComboBox8, &ComboBox9, &ComboBox10};
    TEdit** edits[2 * AreaRowCount] = {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5,
                                       &Edit6, &Edit7, &Edit8, &Edit9, &Edit10};
    TLabel** andLabels[AreaRowCount] = {&Label2, &Label3, &Label4, &Label5, &Label6};
    TLabel** fromLabels[AreaRowCount] = {&Label7, &Label8, &Label9, &Label10, &Label11};
    TLabel** toLabels[AreaRowCount] = {&Label12, &Label13, &Label14, &Label15, &Label16};
    TLabel** results[AreaRowCount] = {&Label20, &Label21, &Label22, &Label23, &Label24};
    for (int r = 0; r < AreaRowCount; ++r) {
        const int top = RowTop + r * RowPitch;
        TCheckBox* box = AddCheckBox(this, Numbered("CheckBox", r + 1), "Entre", false, 8, top + 1, 60);
        auto* first = Add<TComboBox>(Numbered("ComboBox", 2 * r + 1));
        first->SetBounds(70, top, 44, EditHeight);
        FillFunctionItems(first, true);
        first->SetText("0");
        *andLabels[r] = AddLabel(this, Numbered("Label", r + 2), "et", 118, top, 18);
        auto* second = Add<TComboBox>(Numbered("ComboBox", 2 * r + 2));
        second->SetBounds(138, top, 44, EditHeight);
        FillFunctionItems(second, false);
        second->SetText("f");
        *fromLabels[r] = AddLabel(this, Numbered("Label", r + 7), "de ", 188, top, 22);
        TEdit* lower = AddEdit(this, Numbered("Edit", 2 * r + 1), "0", 212, top, 80);
        *toLabels[r] = AddLabel(this, Numbered("Label", r + 12), "\xE0", 296, top, 14);
        TEdit* upper = AddEdit(this, Numbered("Edit", 2 * r + 2), "0", 312, top, 80);
        TLabel* result = AddLabel(this, Numbered("Label", 20 + r), "", 400, top, 230);
        result->SetAutoSize(false);

        *boxes[r] = box;
        *combos[2 * r] = first;
        *combos[2 * r + 1] = second;
        *edits[2 * r] = lower;
        *edits[2 * r + 1] = upper;
        *results[r] = result;
        RowBoxes[size_t(r)] = box;
        RowFirstFunctions[size_t(r)] = first;
        RowSecondFunctions[size_t(r)] = second;
        RowLowerBounds[size_t(r)] = lower;
        RowUpperBounds[size_t(r)] = upper;
        RowResults[size_t(r)] = result;

        box->OnClick = [this](TObject* s) { CheckBox1Click(s); };
        for (TComboBox* combo : {first, second}) combo->OnChange = [this](TObject* s) { ComboBox1Change(s); };
        for (TEdit* edit : {lower, upper}) {
            edit->OnKeyPress = [this](TObject* s, char& key) { Edit1KeyPress(s, key); };
            edit->OnChange = [this](TObject* s) { Edit1Change(s); };
        }
    }
    const int bottom = RowTop + AreaRowCount * RowPitch;
    Label1 = AddLabel(this, "Label1", "(Parametres a ou b possibles)", 8, bottom + 8, 220);
    Button1 = AddButton(this, "Button1", "Valider", 520, bottom + 6, 100);
    Button1->Font.Bold = true;

    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    OnKeyPress = [this](TObject* s, char& key) { FormKeyPress(s, key); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TForm2::CheckBox1Click(TObject*) { UpdateAreaLabels(); }

void TForm2::ComboBox1Change(TObject*) { UpdateAreaLabels(); }

// Enter in a bound recomputes the integrals.
void TForm2::Edit1KeyPress(TObject*, char& Key) {
    if (Key == '\r') UpdateAreaLabels();
}

// A bound typed into a text that is no number: the row's integral is gone at once; the
// other rows keep theirs. A readable bound waits for Enter.
void TForm2::Edit1Change(TObject* Sender) {
    const int r = std::max(RowOfSender(RowLowerBounds, Sender), RowOfSender(RowUpperBounds, Sender));
    if (LoadingFlag || r < 0 || !IsAreaChecked(r) || RowReads(GetAreaSettings, r)) return;
    RowResults[size_t(r)]->SetCaption("");
}

// Esc hides the dialog; the main window redraws when it is active again.
void TForm2::FormKeyPress(TObject*, char& Key) {
    if (Key == char(VK_ESCAPE)) Hide();
}

void TForm2::FormActivate(TObject*) { UpdateAreaLabels(); }

// The snapshot keeps the state from before the user's edits, so that one undo brings it
// back.
void TForm2::FormShow(TObject*) { SaveUndoSnapshot(); }

void TForm2::Button1Click(TObject*) { Hide(); }

bool AreaRowsExist() { return Form2 != nullptr; }

bool IsAreaChecked(int r) { return Form2->RowBoxes.at(size_t(r))->Checked(); }

AreaSettings GetAreaSettings(int r) {
    AreaSettings settings;
    settings.firstItem = ComboIndexOf(Form2->RowFirstFunctions.at(size_t(r)));
    settings.second = ComboIndexOf(Form2->RowSecondFunctions.at(size_t(r)));
    settings.lower = ParseParamValue(Form2->RowLowerBounds.at(size_t(r))->Text(), settings.second);
    settings.upper = ParseParamValue(Form2->RowUpperBounds.at(size_t(r))->Text(), settings.second);
    return settings;
}

namespace {

// The label of a row that is on: the integral, or nothing when the row has none (no
// function to integrate, a function whose text is empty or unreadable, a bound, a or b
// that cannot be read).
std::string AreaLabelText(int r) {
    try {
        return "Int\xE9grale : " + ComputeArea(GetAreaSettings(r));
    } catch (...) {
        return "";
    }
}

}  // namespace

void UpdateAreaLabels() {
    if (LoadingFlag || !Form2) return;
    for (int r = 0; r < AreaRowCount; ++r)
        Form2->RowResults[size_t(r)]->SetCaption(IsAreaChecked(r) ? AreaLabelText(r) : std::string());
}
