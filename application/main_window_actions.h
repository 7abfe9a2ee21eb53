#pragma once
// Fills the main window's table of actions (plotter/main_window_actions.h) with the
// settings files, the undo ring, the analysis rows and the dialogs of the programs.
void InstallMainWindowActions();
