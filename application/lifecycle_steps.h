#pragma once
// What the main window's life-cycle hooks do in the programs: each step is a named function
// that InstallLifecycleHooks puts into the main window's table.

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

// Fills the main window's table with the functions above and starts the undo ring again.
void InstallLifecycleHooks();
