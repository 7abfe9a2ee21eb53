#pragma once
// Quimbel's settings table: rows 1 to 170 of the shared table (no sound or melody rows),
// the functions defined on the whole real line by default.
struct TSettingsTable;

void BuildQuimbelSettingsRows(TSettingsTable& table);
