#include "plotter/main_window_hooks.h"

#include "plotter/main_window_actions.h"

MainWindowHooks& LifecycleHooks() {
    static MainWindowHooks hooks;
    return hooks;
}

MainWindowActions& MainWindowActionTable() {
    static MainWindowActions actions;
    return actions;
}
