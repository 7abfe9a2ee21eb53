#include "variants/quimbel_settings.h"

#include "settings/program_settings_rows.h"

// The lower domain bounds default to "-inf": a reset leaves every function defined on the
// whole real line.
void BuildQuimbelSettingsRows(TSettingsTable& table) { AddSharedSettingsRows(table, "-inf"); }
