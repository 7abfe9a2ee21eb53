#pragma once
// The steps of the main window's life that other subsystems carry out: the state file,
// the refresh of the dialogs after a load, the analysis results and the first undo
// snapshot. Each is a named function; the main window calls it through a table of hooks,
// which start-up fills with these functions and which a test may wrap to watch the order
// of the steps or make one of them fail.
#include <functional>

// Loads the state file "Quimbel.ini" of the start directory with the full settings table.
void LoadStateFile();
// Saves the state file "Quimbel.ini" into the start directory.
void SaveStateFile();
// Refills the labels dialog from the label arrays and reads the domains dialog into
// DomainLower and DomainUpper.
void RefreshDialogsAfterLoad();
// Recomputes the results of every tangent, area and sequence row.
void RecomputeAnalysisResults();
// Takes the first undo snapshot and makes it the oldest reachable one.
void TakeFirstUndoSnapshot();

struct MainWindowHooks {
    std::function<void()> LoadStateFile;
    std::function<void()> SaveStateFile;
    std::function<void()> RefreshDialogsAfterLoad;
    std::function<void()> RecomputeAnalysisResults;
    std::function<void()> TakeFirstUndoSnapshot;
};

MainWindowHooks& LifecycleHooks();
// Fills the table with the functions above.
void InstallLifecycleHooks();
