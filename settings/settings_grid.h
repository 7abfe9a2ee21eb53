#pragma once
// The one-line text of a string grid in a settings file: cells separated by ";", rows by
// "|", one empty column and one empty row beyond the grid included. A cell's own ";", "|"
// and "\" are written with a "\" before them, so that every cell reads back as it was;
// a "\" before any other character stands for itself, as in the files of before. One text
// of an older file reads differently: a cell that ended in "\" (such as "C:\") ran into
// the ";" or "|" after it, which now reads as part of the cell.
#include <string>
#include <string_view>

class TStringGrid;

std::string GridToString(const TStringGrid& grid);
// Fills the grid from the text. The grid never shrinks; cells the text does not reach
// keep their contents; the text after the last separator is dropped.
void StringToGrid(TStringGrid& grid, std::string_view text);
