#pragma once
// The rows of the two programs' settings tables. Both share rows 1 to 170; Vartelo adds
// the sound and melody rows 171 to 179. The programs differ in the default of the lower
// domain bounds.
#include "settings/settings_table.h"

// Rows 1 to 170, with `lowerDomainDefault` for the nine lower domain bounds.
void AddSharedSettingsRows(TSettingsTable& table, const char* lowerDomainDefault);
// Vartelo's 179 rows.
void BuildVarteloSettingsRows(TSettingsTable& table);
