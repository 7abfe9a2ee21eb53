#include "plotter/main_window_hooks.h"

#include "dialogs/areas_form.h"
#include "dialogs/derivatives_form.h"
#include "dialogs/domains_form.h"
#include "dialogs/labels_form.h"

// The settings file and the undo ring are not part of the program yet: a first start and
// a closing keep every setting as the windows were built.
void LoadStateFile() {}
void SaveStateFile() {}
void TakeFirstUndoSnapshot() {}

void RefreshDialogsAfterLoad() {
    FillLabelDialog();
    ReadDomainDialog();
}

void RecomputeAnalysisResults() {
    UpdateTangentLabels();
    UpdateAreaLabels();
}

MainWindowHooks& LifecycleHooks() {
    static MainWindowHooks hooks;
    return hooks;
}

void InstallLifecycleHooks() {
    MainWindowHooks& hooks = LifecycleHooks();
    hooks.LoadStateFile = LoadStateFile;
    hooks.SaveStateFile = SaveStateFile;
    hooks.RefreshDialogsAfterLoad = RefreshDialogsAfterLoad;
    hooks.RecomputeAnalysisResults = RecomputeAnalysisResults;
    hooks.TakeFirstUndoSnapshot = TakeFirstUndoSnapshot;
}
