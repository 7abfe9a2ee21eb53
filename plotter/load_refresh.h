#pragma once
// The windows brought up to date after a settings file was loaded over the current state
// ("Ouvrir", "Nouveau", undo and redo).

// The menu check marks that mirror settings rows ("Afficher la legende", the abscissae, the
// precise tracing), from the values loaded.
void CheckMarksFromSettings();

// The menu check marks that mirror settings, the labels dialog, the domain bounds, the
// results of every tangent, area and sequence row, then the picture of the main window.
void RefreshWindowsAfterLoad();
