#include "application/main_window_actions.h"

#include <filesystem>
#include <system_error>

#include "dialogs/areas_form.h"
#include "dialogs/derivatives_form.h"
#include "dialogs/domains_form.h"
#include "dialogs/ftp_form.h"
#include "dialogs/help_form.h"
#include "dialogs/labels_form.h"
#include "dialogs/sequences_form.h"
#include "dialogs/vertical_lines_form.h"
#include "platform/text/cp1252.h"
#include "plotter/drawing_state.h"
#include "plotter/main_window_actions.h"
#include "settings/curve_file_check.h"
#include "settings/file_replacement.h"
#include "settings/settings_file.h"
#include "settings/undo_ring.h"

namespace {

TForm* DialogWindow(TProgramDialog dialog) {
    switch (dialog) {
        case TProgramDialog::Areas: return Form2;
        case TProgramDialog::Tangents: return Form3;
        case TProgramDialog::Ftp: return Form4;
        case TProgramDialog::Sequences: return Form5;
        case TProgramDialog::Domains: return Form6;
        case TProgramDialog::Labels: return Form7;
        case TProgramDialog::Help: return Form8;
        case TProgramDialog::VerticalLines: return Form9;
    }
    return nullptr;
}

void ClearDrawing() {
    std::error_code code;
    std::filesystem::current_path(StartDirectory, code);
    if (code) throw EInOutError("Impossible d'acc\xE9" "der au dossier \"" + text::PathText(StartDirectory) + "\"");
    std::filesystem::remove(StateFileName, code);
    ApplySettingsDefaults(1);
}

}  // namespace

void InstallMainWindowActions() {
    MainWindowActions& actions = MainWindowActionTable();
    actions.ClearDrawing = ClearDrawing;
    actions.IsCurveFile = [](const std::string& file) { return IsCurveFile(file); };
    actions.NotACurveFileMessage = [](const std::string& file) { return NotACurveFileMessage(file); };
    actions.LoadCurveFile = [](const std::string& file) { LoadSettings(file, 1); };
    actions.SaveCurveFile = [](const std::string& file) { SaveSettings(file, 1); };
    actions.UndoLastChange = UndoLastChange;
    actions.RedoLastChange = RedoLastChange;
    actions.UpdateTangentsAndAreas = [] {
        UpdateTangentLabels();
        UpdateAreaLabels();
    };
    actions.ShowDialog = [](TProgramDialog dialog) {
        if (TForm* window = DialogWindow(dialog)) window->Show();
    };
}
