#pragma once
// The legend of the picture: one line "f(x)=<text>" per shown function, in the function's
// colour on white, in a column flush with the bottom right corner.
#include <string>

class TBitmap;

// The face of the legend's font: the face chosen for the movable labels.
std::string LegendFontName();

// Draws the legend of the shown, non-empty functions (the redraw calls it last, when
// "Afficher la legende" is checked).
void DrawLegend(TBitmap& bitmap);
