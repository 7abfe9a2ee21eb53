// The keys of the main window, the "Fichier" and "Exporter" menus and the menu items that
// show the dialogs.
#include <filesystem>
#include <system_error>

#include "plotter/drawing_export.h"
#include "plotter/drawing_state.h"
#include "plotter/load_refresh.h"
#include "plotter/main_form.h"
#include "plotter/main_window_actions.h"
#include "plotter/redraw_pipeline.h"
#include "plotter/undo_snapshot.h"

// Ctrl+A plays the two sound channels (Ctrl+Z and Ctrl+Y are the shortcuts of "Annuler"
// and "Refaire", served when pressed). The arrows step the staircases drawn step by step
// (with or without modifier keys, also while a control has the focus: the form sees the
// key first).
void TForm1::FormKeyUp(TObject* Sender, std::uint16_t& Key, TShiftState Shift) {
    if (Shift.Contains(ssCtrl) && Key == 'A' && Button5 != nullptr) Button5Click(Sender);
    if (Key == VK_UP && StepCounter < MaxStepCounter) {
        ++StepCounter;
        RedrawGraph(im->Bitmap());
    } else if (Key == VK_DOWN && StepCounter > 0) {
        --StepCounter;
        RedrawGraph(im->Bitmap());
    }
}

// "Nouveau": once confirmed, the state file goes and every setting takes its default,
// also when the old state file cannot be deleted; the windows are refreshed as after an
// undo.
void TForm1::Nouveau1Click(TObject*) {
    if (MessageDlg("Confirmez vous l'effacement de ce qui est en cours ?", mtConfirmation, mbYesNo) != mrYes) return;
    RunAction(MainWindowActionTable().ClearDrawing);
    RefreshWindowsAfterLoad();
    SaveUndoSnapshot();
}

// "Ouvrir": a name that does not exist does nothing; a file that is not a curve file is
// refused with one message, and nothing changes. The windows are refreshed as after an
// undo.
void TForm1::Ouvri1Click(TObject*) {
    if (!od->Execute()) return;
    std::error_code code;
    if (!std::filesystem::exists(od->FileName(), code)) return;
    const MainWindowActions& actions = MainWindowActionTable();
    if (actions.IsCurveFile && !actions.IsCurveFile(od->FileName())) {
        MessageDlg(actions.NotACurveFileMessage(od->FileName()), mtError, TMsgDlgButtons{mbOK});
        return;
    }
    RunAction(actions.LoadCurveFile, od->FileName());
    RefreshWindowsAfterLoad();
    SaveUndoSnapshot();
}

// "Enregistrer Sous".
void TForm1::Enregistrer1Click(TObject*) {
    if (!sd->Execute()) return;
    ShowLegend = leg->Checked() ? 1 : 0;
    RunAction(MainWindowActionTable().SaveCurveFile, sd->FileName());
    RedrawGraph(im->Bitmap());
}

// "Quitter": ends the program at once, without writing the state file (only closing the
// main window writes it).
void TForm1::Quitter1Click(TObject*) {
    ClosingFlag = true;
    Application->Terminate();
}
// "Copier dans le presse-papier" (Ctrl+D); also called by "Exporter comme image" and by
// the FTP dialog, which then read the clipboard's bitmap.
void TForm1::Copierdanslepresspapier1Click(TObject*) { CopyDrawingToClipboard(*this); }
// "Exporter comme image": nothing happens when the dialog is cancelled.
void TForm1::Envoyercommeimage1Click(TObject*) {
    if (!sdj->Execute()) return;
    WriteClipboardDrawingAsJpeg(*this, sdj->FileName());
}
void TForm1::EnvoyerparFtp1Click(TObject*) { RunAction(MainWindowActionTable().ShowDialog, TProgramDialog::Ftp); }
void TForm1::Limitedudomainededefinition1Click(TObject*) { RunAction(MainWindowActionTable().ShowDialog, TProgramDialog::Domains); }
void TForm1::Droiteverticale1Click(TObject*) { RunAction(MainWindowActionTable().ShowDialog, TProgramDialog::VerticalLines); }
void TForm1::Etiquette1Click(TObject*) { RunAction(MainWindowActionTable().ShowDialog, TProgramDialog::Labels); }
void TForm1::Tracerladriveena1Click(TObject*) { RunAction(MainWindowActionTable().ShowDialog, TProgramDialog::Tangents); }
void TForm1::Afficherlasurfaceentreaetb1Click(TObject*) { RunAction(MainWindowActionTable().ShowDialog, TProgramDialog::Areas); }
void TForm1::un1fun1Click(TObject*) { RunAction(MainWindowActionTable().ShowDialog, TProgramDialog::Sequences); }
void TForm1::Aide1Click(TObject*) { RunAction(MainWindowActionTable().ShowDialog, TProgramDialog::Help); }
