#include "settings/settings_grid.h"

#include "platform/ui/grids.h"

namespace {

constexpr char Escape = '\\';

bool IsEscaped(char c) { return c == ';' || c == '|' || c == Escape; }

void AppendCell(std::string& text, const std::string& cell) {
    for (char c : cell) {
        if (IsEscaped(c)) text += Escape;
        text += c;
    }
}

}  // namespace

std::string GridToString(const TStringGrid& grid) {
    std::string text;
    for (int row = 0; row <= grid.RowCount(); ++row) {
        if (row > 0) text += '|';
        for (int column = 0; column <= grid.ColCount(); ++column) {
            if (column > 0) text += ';';
            AppendCell(text, grid.Cell(column, row));
        }
    }
    return text;
}

void StringToGrid(TStringGrid& grid, std::string_view text) {
    int column = 0;
    int row = 0;
    std::string cell;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == Escape && i + 1 < text.size() && IsEscaped(text[i + 1])) {
            cell += text[++i];
        } else if (c == ';') {
            grid.SetCell(column, row, std::move(cell));
            cell.clear();
            if (grid.ColCount() < column + 1) grid.SetColCount(column + 1);
            ++column;
        } else if (c == '|') {
            grid.SetCell(column, row, std::move(cell));
            cell.clear();
            if (grid.RowCount() < row + 1) grid.SetRowCount(row + 1);
            ++row;
            column = 0;
        } else {
            cell += c;
        }
    }
}
