#include "plotter/main_window_hooks.h"

MainWindowHooks& LifecycleHooks() {
    static MainWindowHooks hooks;
    return hooks;
}
