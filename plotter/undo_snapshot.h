#pragma once
// The undo snapshot that the main window and the dialogs take after a change. The ring of
// snapshot files is installed as the taker; while none is installed a snapshot does
// nothing, so every caller can already take its snapshots where they belong.
#include <functional>

// Takes the next undo snapshot through the installed taker (nothing when there is none).
// Never raises: a failed snapshot is silent.
void SaveUndoSnapshot();

// The routine that takes a snapshot; empty until the undo ring installs itself.
std::function<void()>& UndoSnapshotTaker();
