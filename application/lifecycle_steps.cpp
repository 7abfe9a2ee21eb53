#include "application/lifecycle_steps.h"

#include "dialogs/areas_form.h"
#include "dialogs/derivatives_form.h"
#include "dialogs/domains_form.h"
#include "dialogs/labels_form.h"
#include "dialogs/sequences_form.h"
#include "plotter/main_window_hooks.h"
#include "plotter/undo_snapshot.h"
#include "settings/settings_file.h"
#include "settings/undo_ring.h"

void LoadStateFile() { LoadSettings(StateFileName, 1); }
void SaveStateFile() { SaveSettings(StateFileName, 1); }

// The first snapshot goes to the ring itself, whatever taker is installed, and is the
// oldest state that undo leads back to. A failure is silent, as for every snapshot.
void TakeFirstUndoSnapshot() {
    try {
        TakeRingSnapshot();
    } catch (...) {
    }
    MarkFirstSnapshotOldest();
}

void RefreshDialogsAfterLoad() {
    FillLabelDialog();
    ReadDomainDialog();
}

void RecomputeAnalysisResults() {
    UpdateTangentLabels();
    UpdateAreaLabels();
    UpdateSequenceLimits();
}

void InstallLifecycleHooks() {
    MainWindowHooks& hooks = LifecycleHooks();
    hooks.LoadStateFile = LoadStateFile;
    hooks.SaveStateFile = SaveStateFile;
    hooks.RefreshDialogsAfterLoad = RefreshDialogsAfterLoad;
    hooks.RecomputeAnalysisResults = RecomputeAnalysisResults;
    hooks.TakeFirstUndoSnapshot = TakeFirstUndoSnapshot;
    // A new run starts the ring again at slot 1. A taker already installed (a test that
    // counts the snapshots) stays.
    ResetUndoRing();
    if (!UndoSnapshotTaker()) InstallUndoRing();
}
