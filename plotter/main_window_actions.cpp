#include "plotter/main_window_actions.h"

MainWindowActions& MainWindowActionTable() {
    static MainWindowActions actions;
    return actions;
}
