// The life of the main window: creation, activation (the first one loads the state
// file), resizing, closing, and the buttons "Trace" and "X".
#include <exception>
#include <filesystem>
#include <string>

#include "engine/number_format.h"
#include "plotter/drawing_state.h"
#include "plotter/load_refresh.h"
#include "plotter/main_form.h"
#include "plotter/main_window_hooks.h"
#include "plotter/mouse_state.h"
#include "plotter/program_description.h"
#include "plotter/redraw_pipeline.h"

namespace {

// The text of the function labels: white on the dark colours (f .. i, n), black on the
// light ones (j .. m).
TColor FunctionLabelTextColour(int index) { return (index <= 3 || index == 8) ? clWhite : clBlack; }

void FillMelodyHeadings(TStringGrid& grid) {
    grid.SetCell(0, 0, "Temps");
    grid.SetCell(0, 1, "Dur\xE9" "e");
    for (int column = 1; column < grid.ColCount(); ++column) {
        grid.SetCell(column, 0, FormatGeneral(column - 1, GeneralDigits));
        grid.SetCell(column, 1, "1");
    }
    for (int row = 2; row < grid.RowCount(); ++row)
        grid.SetCell(0, row, (row % 2 == 0 ? "L" : "vol") + FormatGeneral(row / 2, GeneralDigits));
}

}  // namespace

void TForm1::FormCreate(TObject*) {
    StartDirectory = std::filesystem::current_path();
    FunctionColours = ActiveProgram().FunctionColours;
    BlackAndWhite = cnb->Checked();
    for (int i = 0; i < 9; ++i) {
        TLabel* label = FunctionLabels[size_t(i)];
        TEdit* edit = FunctionEdits[size_t(i)];
        label->Font.Bold = true;
        if (BlackAndWhite) {
            edit->Font.Color = clBlack;
            label->Font.Color = clBlack;
            label->SetColor(clBtnFace);
        } else {
            edit->Font.Color = FunctionColours[size_t(i)];
            label->SetColor(FunctionColours[size_t(i)]);
            label->Font.Color = FunctionLabelTextColour(i);
        }
    }
    ChangeMouseMode(TMouseMode::Idle);
    if (ms) FillMelodyHeadings(*ms);
}

void TForm1::FormActivate(TObject*) {
    // The redraw reads the dialogs: nothing happens before all of them exist.
    if (!FormsReady) return;
    if (LoadingFlag) {
        MainWindowHooks& hooks = LifecycleHooks();
        hooks.LoadStateFile();
        CheckMarksFromSettings();
        hooks.RefreshDialogsAfterLoad();
        FormResize(this);
        LoadingFlag = false;
        hooks.RecomputeAnalysisResults();
        hooks.TakeFirstUndoSnapshot();
    }
    RedrawGraph(im->Bitmap());
}

void TForm1::FormResize(TObject* Sender) {
    // The bitmap keeps the pixels it shares with its new size and is white elsewhere, so
    // a frozen picture ("Figer les images") survives the resize.
    im->Bitmap().SetSize(im->Width(), im->Height());
    if (!ClosingFlag && FormsReady) Button1Click(Sender);
}

void TForm1::FormCloseQuery(TObject*, bool& CanClose) {
    ShowLegend = leg->Checked() ? 1 : 0;
    // A state file that cannot be written is said once, and the user chooses: quit
    // without saving, or keep the window and its work.
    try {
        LifecycleHooks().SaveStateFile();
    } catch (const std::exception& e) {
        if (MessageDlg(std::string(e.what()) + "\n\nQuitter sans enregistrer ?", mtWarning, mbYesNo) != mrYes) {
            CanClose = false;
            return;
        }
    }
    ClosingFlag = true;
}

void TForm1::FormDestroy(TObject*) {}

void TForm1::BitBtn1Click(TObject* Sender) {
    Nouveau1Click(Sender);
    Edit1->SetFocus();
}

// "Trace": redraws the picture.
void TForm1::Button1Click(TObject*) { RedrawGraph(im->Bitmap()); }

// A change of any function text takes the unreadable-text mark off all nine edits.
void TForm1::Edit1Change(TObject*) {
    for (TEdit* edit : FunctionEdits) edit->SetColor(clWhite);
}
