#pragma once
// The steps of the main window's life that higher layers carry out: the state file, the
// refresh of the dialogs after a load, the analysis results and the first undo snapshot.
// The main window calls them through this table, which start-up fills (see
// application/lifecycle_steps.h) and which a test may wrap to watch the order of the steps
// or make one of them fail. An empty entry does nothing.
#include <functional>
#include <utility>

struct MainWindowHooks {
    std::function<void()> LoadStateFile;
    std::function<void()> SaveStateFile;
    std::function<void()> RefreshDialogsAfterLoad;
    std::function<void()> RecomputeAnalysisResults;  // every tangent, area and sequence row
    std::function<void()> TakeFirstUndoSnapshot;
};

MainWindowHooks& LifecycleHooks();

// Runs an entry of one of the main window's tables when it is filled.
template <typename Entry, typename... Args>
void RunAction(const Entry& entry, Args&&... args) {
    if (entry) entry(std::forward<Args>(args)...);
}
