#include "ui/FlexGrid.h"

#include "ui/Form.h"

#include <algorithm>

namespace ui {

namespace {
constexpr int kDefaultColWidth = 960;
constexpr int kAlignGeneral = 9;
[[noreturn]] void subscript() { throw UiError{381, QStringLiteral("Subscript out of range")}; }
} // namespace

FlexGrid::FlexGrid(Form& form, QString name, int index) : Control(form, ControlKind::FlexGrid, std::move(name), index)
{
    reshape(2, 2);
}

void FlexGrid::reshape(int rows, int cols)
{
    QList<Cell> next(qsizetype(rows) * cols);
    const int keepRows = std::min(rows, rows_);
    const int keepCols = std::min(cols, cols_);
    if (!cells_.isEmpty())
        for (int r = 0; r < keepRows; ++r)
            for (int c = 0; c < keepCols; ++c) next[r * cols + c] = std::move(cells_[r * cols_ + c]);
    cells_ = std::move(next);
    rows_ = rows;
    cols_ = cols;
    colWidths_.resize(cols, kDefaultColWidth);
    colAlign_.resize(cols, kAlignGeneral);
    fixedAlign_.resize(cols, kAlignGeneral);
    mergeRows_.resize(rows, false);
    if (row_ >= rows_) row_ = std::max(0, rows_ - 1);
    if (col_ >= cols_) col_ = std::max(0, cols_ - 1);
    if (fixedRows_ > rows_) fixedRows_ = rows_;
    if (fixedCols_ > cols_) fixedCols_ = cols_;
    topRow_ = std::clamp(topRow_, std::min(fixedRows_, std::max(0, rows_ - 1)), std::max(0, rows_ - 1));
    notify(Prop::GridShape);
}

void FlexGrid::setRows(int n)
{
    if (n < 0) raiseInvalidValue();
    if (n == rows_) return;
    reshape(n, cols_);
}

void FlexGrid::setCols(int n)
{
    if (n < 0) raiseInvalidValue();
    if (n == cols_) return;
    reshape(rows_, n);
}

void FlexGrid::setFixedRows(int n)
{
    if (n < 0 || n > rows_) raiseInvalidValue();
    if (n == fixedRows_) return;
    fixedRows_ = n;
    notify(Prop::GridShape);
}

void FlexGrid::setFixedCols(int n)
{
    if (n < 0 || n > cols_) raiseInvalidValue();
    if (n == fixedCols_) return;
    fixedCols_ = n;
    notify(Prop::GridShape);
}

bool FlexGrid::observed() const { return form().observer() != nullptr; }

void FlexGrid::checkCell(int row, int col) const
{
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) subscript();
}

const QString& FlexGrid::textMatrix(int row, int col) const
{
    checkCell(row, col);
    return cell(row, col).text;
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text)
{
    checkCell(row, col);
    Cell& c = cell(row, col);
    if (c.text == text) return;
    c.text = text;
    if (observed()) notify(Prop::CellText, row, col);
}

void FlexGrid::setRowCells(int row, int fromCol, int toCol, const QString& text, Color back)
{
    if (fromCol > toCol) return;
    checkCell(row, fromCol);
    checkCell(row, toCol);
    const bool watched = observed();
    for (int col = fromCol; col <= toCol; ++col)
        assignCell(row, col, text, back, watched);
}

void FlexGrid::setCellAt(int row, int col, const QString& text, Color back)
{
    checkCell(row, col);
    assignCell(row, col, text, back, observed());
}

void FlexGrid::assignCell(int row, int col, const QString& text, Color back, bool watched)
{
    Cell& c = cell(row, col);
    if (c.text != text) {
        c.text = text;
        if (watched) notify(Prop::CellText, row, col);
    }
    if (c.back != back) {
        c.back = back;
        if (watched) notify(Prop::CellBackColor, row, col);
    }
}

void FlexGrid::setRow(int r)
{
    if (r < 0 || r >= rows_) throw UiError{30009, QStringLiteral("Invalid Row value")};
    if (row_ == r) return;
    row_ = r;
    notify(Prop::CurrentCell, row_, col_);
}

void FlexGrid::setCol(int c)
{
    if (c < 0 || c >= cols_) throw UiError{30010, QStringLiteral("Invalid Col value")};
    if (col_ == c) return;
    col_ = c;
    notify(Prop::CurrentCell, row_, col_);
}

Color FlexGrid::cellBackColor() const { return cellBackColorAt(row_, col_); }
Color FlexGrid::cellForeColor() const { return cellForeColorAt(row_, col_); }
void FlexGrid::setCellBackColor(Color c) { setCellBackColorAt(row_, col_, c); }
void FlexGrid::setCellForeColor(Color c) { setCellForeColorAt(row_, col_, c); }

Color FlexGrid::cellBackColorAt(int row, int col) const
{
    checkCell(row, col);
    return cell(row, col).back;
}

Color FlexGrid::cellForeColorAt(int row, int col) const
{
    checkCell(row, col);
    return cell(row, col).fore;
}

void FlexGrid::setCellBackColorAt(int row, int col, Color c)
{
    checkCell(row, col);
    Cell& target = cell(row, col);
    if (target.back == c) return;
    target.back = c;
    if (observed()) notify(Prop::CellBackColor, row, col);
}

void FlexGrid::setCellForeColorAt(int row, int col, Color c)
{
    checkCell(row, col);
    if (cell(row, col).fore == c) return;
    cell(row, col).fore = c;
    notify(Prop::CellForeColor, row, col);
}

// The per-column properties: a column outside the grid is error 381.
template <class List>
static auto& columnSlot(List& columns, int col)
{
    if (col < 0 || col >= int(columns.size())) subscript();
    return columns[col];
}

int FlexGrid::colWidth(int col) const { return columnSlot(colWidths_, col); }

void FlexGrid::setColWidth(int col, int twips)
{
    int& slot = columnSlot(colWidths_, col);
    if (twips < 0) raiseInvalidValue();
    if (detail::assign(slot, twips)) notify(Prop::ColWidth, -1, col);
}

int FlexGrid::colAlignment(int col) const { return columnSlot(colAlign_, col); }

void FlexGrid::setColAlignment(int col, int a)
{
    if (detail::assign(columnSlot(colAlign_, col), a)) notify(Prop::ColAlignment, -1, col);
}

int FlexGrid::fixedAlignment(int col) const { return columnSlot(fixedAlign_, col); }

void FlexGrid::setFixedAlignment(int col, int a)
{
    if (detail::assign(columnSlot(fixedAlign_, col), a)) notify(Prop::FixedAlignment, -1, col);
}

void FlexGrid::setRowHeight(int twips)
{
    if (twips <= 0) raiseInvalidValue();
    if (rowHeight_ == twips) return;
    rowHeight_ = twips;
    notify(Prop::RowHeight);
}

int FlexGrid::visibleRows() const
{
    return std::max(1, (height() - fixedRows_ * rowHeight_) / rowHeight_);
}

void FlexGrid::setTopRow(int r)
{
    // As far as it can: the last rows fill the view, never beyond.
    const int lowest = std::min(fixedRows_, std::max(0, rows_ - 1));
    const int highest = std::max(lowest, rows_ - visibleRows());
    const int clamped = std::clamp(r, lowest, highest);
    if (topRow_ == clamped) return;
    topRow_ = clamped;
    notify(Prop::TopRow);
}

void FlexGrid::setLeftCol(int c)
{
    const int lowest = std::min(fixedCols_, std::max(0, cols_ - 1));
    const int clamped = std::clamp(c, lowest, std::max(lowest, cols_ - 1));
    if (leftCol_ == clamped) return;
    leftCol_ = clamped;
    notify(Prop::LeftCol);
}

void FlexGrid::setMergeCells(int m)
{
    if (m < 0 || m > 4) raiseInvalidValue();
    if (mergeCells_ == m) return;
    mergeCells_ = m;
    notify(Prop::MergeCells);
}

bool FlexGrid::mergeRow(int row) const
{
    if (row < 0 || row >= rows_) subscript();
    return mergeRows_[row];
}

void FlexGrid::setMergeRow(int row, bool on)
{
    if (row < 0 || row >= rows_) subscript();
    if (mergeRows_[row] == on) return;
    mergeRows_[row] = on;
    notify(Prop::MergeRow, row);
}

std::pair<int, int> FlexGrid::mergedSpan(int row, int col) const
{
    checkCell(row, col);
    if (mergeCells_ == 0 || !mergeRows_[row]) return {col, col};
    const int regionFirst = col < fixedCols_ ? 0 : fixedCols_;
    const int regionLast = col < fixedCols_ ? fixedCols_ - 1 : cols_ - 1;
    const QString& t = cell(row, col).text;
    int first = col;
    while (first > regionFirst && cell(row, first - 1).text == t) --first;
    int last = col;
    while (last < regionLast && cell(row, last + 1).text == t) ++last;
    return {first, last};
}

void FlexGrid::setMousePosition(int row, int col)
{
    mouseRow_ = (row >= 0 && row < rows_) ? row : -1;
    mouseCol_ = (col >= 0 && col < cols_) ? col : -1;
}

} // namespace ui
