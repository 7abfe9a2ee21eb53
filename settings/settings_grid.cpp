#include "settings/settings_grid.h"

#include <algorithm>

#include "platform/ui/grids.h"

std::string GridToString(const TStringGrid& grid) {
    std::string text;
    for (int row = 0; row <= grid.RowCount(); ++row) {
        if (row > 0) text += '|';
        for (int column = 0; column <= grid.ColCount(); ++column) {
            if (column > 0) text += ';';
            text += grid.Cell(column, row);
        }
    }
    return text;
}

void StringToGrid(TStringGrid& grid, std::string_view text) {
    int column = 0;
    int row = 0;
    size_t position = 0;
    // The next separators at or after `position`, found again only once passed, so a long
    // grid text is read in one sweep.
    size_t nextCell = text.find(';');
    size_t nextRow = text.find('|');
    while (nextCell != std::string_view::npos || nextRow != std::string_view::npos) {
        const bool cellFirst = nextCell != std::string_view::npos &&
                               (nextRow == std::string_view::npos || nextCell < nextRow);
        const size_t end = cellFirst ? nextCell : nextRow;
        grid.SetCell(column, row, std::string(text.substr(position, end - position)));
        position = end + 1;
        if (cellFirst) {
            if (grid.ColCount() < column + 1) grid.SetColCount(column + 1);
            ++column;
            nextCell = text.find(';', position);
        } else {
            if (grid.RowCount() < row + 1) grid.SetRowCount(row + 1);
            ++row;
            column = 0;
            nextRow = text.find('|', position);
        }
    }
}
