#pragma once
// What the main window's menus and commands ask of the layers above it: the settings
// files, the undo ring, the analysis rows and the dialogs. Start-up fills the table
// (application/main_window_actions.h); an entry left empty does nothing.
#include <functional>
#include <string>

#include "plotter/main_window_hooks.h"

// The dialogs that the main window's menus show.
enum class TProgramDialog { Areas, Tangents, Ftp, Sequences, Domains, Labels, Help, VerticalLines };

struct MainWindowActions {
    // "Nouveau", once confirmed: the state file goes and every setting takes its default,
    // also when the old state file cannot be deleted.
    std::function<void()> ClearDrawing;
    std::function<bool(const std::string&)> IsCurveFile;           // what "Ouvrir" accepts
    std::function<std::string(const std::string&)> NotACurveFileMessage;
    std::function<void(const std::string&)> LoadCurveFile;
    std::function<void(const std::string&)> SaveCurveFile;
    std::function<void()> UndoLastChange;                          // "Annuler", Ctrl+Z
    std::function<void()> RedoLastChange;                          // "Refaire", Ctrl+Y
    std::function<void()> UpdateTangentsAndAreas;                  // a or b moved
    std::function<void(TProgramDialog)> ShowDialog;
};

MainWindowActions& MainWindowActionTable();
