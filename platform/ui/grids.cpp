// TStringGrid: a store of cell texts shown by a table view that reads cells on demand.
#include "platform/ui/grids.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QHeaderView>
#include <QTableView>

#include <algorithm>
#include <stdexcept>

#include "platform/ui/application.h"
#include "platform/ui/qt_text.h"

// The view's window on the grid: it reads the cells it shows and passes edits back.
class TGridModel : public QAbstractTableModel {
public:
    explicit TGridModel(TStringGrid& grid) : grid_(grid) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : grid_.RowCount();
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : grid_.ColCount();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return ToQString(grid_.Cell(index.column(), index.row()));
        if (role == Qt::BackgroundRole && IsFixed(index)) return QBrush(QColorOf(clBtnFace));
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = Qt::ItemIsEnabled;
        if (!IsFixed(index)) {
            f |= Qt::ItemIsSelectable;
            if (grid_.Editing()) f |= Qt::ItemIsEditable;
        }
        return f;
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid() || role != Qt::EditRole || IsFixed(index) || !grid_.Editing()) return false;
        const int col = index.column();
        const int row = index.row();
        const std::string text = FromQString(value.toString());
        Application->Dispatch([&] { grid_.UserEdited(col, row, text); });
        return true;
    }
    void Reset() {
        beginResetModel();
        endResetModel();
    }
    void CellChanged(int col, int row) {
        const QModelIndex i = index(row, col);
        emit dataChanged(i, i);
    }

private:
    bool IsFixed(const QModelIndex& index) const {
        return index.column() < grid_.FixedCols() || index.row() < grid_.FixedRows();
    }
    TStringGrid& grid_;
};

TStringGrid::TStringGrid(TWinControl* parent) : TWinControl(parent, parent->OwnerForm()) {
    auto* view = new QTableView(parent->ClientWidget());
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    model_ = std::make_unique<TGridModel>(*this);
    view->setModel(model_.get());
    AttachWidget(view, 320, 120);
    SetColor(clWindow);
    SetDefaultColWidth(defaultColWidth_);
    SetDefaultRowHeight(defaultRowHeight_);
}

TStringGrid::~TStringGrid() {
    // The view goes first: it must not read the model while it is destroyed.
    if (auto* view = static_cast<QTableView*>(Widget())) view->setModel(nullptr);
}

void TStringGrid::CheckIndex(int col, int row) const {
    if (col < 0 || row < 0 || col > MaxIndex || row > MaxIndex)
        throw std::out_of_range("Indice de grille hors limites (" + std::to_string(col) + ", " + std::to_string(row) +
                                ")");
}

std::string TStringGrid::Cell(int col, int row) const {
    CheckIndex(col, row);
    if (size_t(col) >= columns_.size()) return {};
    const auto& column = columns_[size_t(col)];
    return size_t(row) < column.size() ? column[size_t(row)] : std::string();
}

void TStringGrid::SetCell(int col, int row, std::string text) {
    CheckIndex(col, row);
    if (size_t(col) >= columns_.size()) {
        if (text.empty()) return;
        columns_.resize(size_t(col) + 1);
    }
    auto& column = columns_[size_t(col)];
    if (size_t(row) >= column.size()) {
        if (text.empty()) return;
        column.resize(std::max(size_t(row) + 1, size_t(rowCount_)));
    }
    column[size_t(row)] = std::move(text);
    CellShown(col, row);
}

void TStringGrid::CellShown(int col, int row) {
    if (col < colCount_ && row < rowCount_ && Widget()->isVisible()) model_->CellChanged(col, row);
}

void TStringGrid::SetColCount(int count) {
    count = std::clamp(count, 1, MaxIndex + 1);
    if (count == colCount_) return;
    colCount_ = count;
    ModelReset();
}

void TStringGrid::SetRowCount(int count) {
    count = std::clamp(count, 1, MaxIndex + 1);
    if (count == rowCount_) return;
    rowCount_ = count;
    ModelReset();
}

void TStringGrid::SetFixedCols(int count) {
    fixedCols_ = std::clamp(count, 0, colCount_);
    ModelReset();
}

void TStringGrid::SetFixedRows(int count) {
    fixedRows_ = std::clamp(count, 0, rowCount_);
    ModelReset();
}

void TStringGrid::SetEditing(bool on) {
    editing_ = on;
    ModelReset();
}

void TStringGrid::SetDefaultColWidth(int width) {
    defaultColWidth_ = std::max(width, 0);
    auto* header = static_cast<QTableView*>(Widget())->horizontalHeader();
    header->setMinimumSectionSize(0);
    header->setDefaultSectionSize(defaultColWidth_);
}

void TStringGrid::SetDefaultRowHeight(int height) {
    defaultRowHeight_ = std::max(height, 0);
    auto* header = static_cast<QTableView*>(Widget())->verticalHeader();
    header->setMinimumSectionSize(0);
    header->setDefaultSectionSize(defaultRowHeight_);
}

void TStringGrid::ModelReset() { model_->Reset(); }

void TStringGrid::UserEdited(int col, int row, std::string text) {
    SetCell(col, row, text);
    Application->Fire(OnSetEditText, static_cast<TObject*>(this), col, row, Cell(col, row));
}
