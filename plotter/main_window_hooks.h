#pragma once
// The steps of the main window's life that higher layers carry out: the state file, the
// refresh of the dialogs after a load, the analysis results and the first undo snapshot.
// The main window calls them through this table, which start-up fills (see
// application/lifecycle_steps.h) and which a test may wrap to watch the order of the steps
// or make one of them fail. An empty entry does nothing.
#include <functional>

<<<<<<< HEAD
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

=======
>>>>>>> 64fe6bd (Start-up, the redraw steps' installation and the life-cycle steps move to an application library above the dialogs and the settings)
struct MainWindowHooks {
    std::function<void()> LoadStateFile;
    std::function<void()> SaveStateFile;
    std::function<void()> RefreshDialogsAfterLoad;
    std::function<void()> RecomputeAnalysisResults;
    std::function<void()> TakeFirstUndoSnapshot;
};

MainWindowHooks& LifecycleHooks();
