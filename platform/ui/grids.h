#pragma once
// TStringGrid: a table of texts.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controls.h"

// A string grid is a store of cell texts with a view. ColCount and RowCount bound what is
// shown; a cell can be written and read at any column and row from 0 up to MaxIndex, also
// beyond the counts (it keeps its text when the counts change). Reading a cell never
// written gives "". A negative index or one beyond MaxIndex raises std::out_of_range.
// The view reads the cells it shows when it paints, so filling a large grid costs no more
// than storing the texts.
class TStringGrid : public TWinControl {
public:
    static constexpr int MaxIndex = 65535;

    explicit TStringGrid(TWinControl* parent);
    ~TStringGrid() override;

    int ColCount() const { return colCount_; }
    void SetColCount(int count);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int count);
    // Leading columns and rows shown as headings (not editable).
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int count);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int count);

    std::string Cell(int col, int row) const;
    void SetCell(int col, int row, std::string text);

    // Whether the user may edit the cells that are not fixed.
    bool Editing() const { return editing_; }
    void SetEditing(bool on);
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int width);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int height);

    // The cell the user edited last and its new text (after the cell is stored).
    std::function<void(TObject* Sender, int Col, int Row, const std::string& Value)> OnSetEditText;

    // For the layer and the harness: a user's edit of one cell.
    void UserEdited(int col, int row, std::string text);

private:
    void CheckIndex(int col, int row) const;
    void ModelReset();
    void CellShown(int col, int row);
    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    bool editing_ = false;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    std::vector<std::vector<std::string>> columns_;  // columns_[col][row], grown on write
    std::unique_ptr<class TGridModel> model_;
};
