#include "settings/settings_table.h"

#include "plotter/program_description.h"

TSettingsTable SettingsTable;

std::int32_t SettingsCount() { return SettingsTable.Count; }

void BuildSettingsTable(int mode) {
    if (mode == 1) {
        SettingsTable.Count = 0;
        if (ActiveProgram().BuildSettingsRows) ActiveProgram().BuildSettingsRows(SettingsTable);
    } else if (mode == 2) {
        SettingsTable.Count = 0;
    }
}
