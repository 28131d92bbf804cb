#pragma once
// A grid of text cells with fixed rows and columns.
//
// - Row/Col name the current cell; CellBackColor/CellForeColor read and
//   write the colours of that cell. A cell whose colour was never set reads
//   kColorUnset (the grid's own colour shows); writing kColorUnset clears it.
// - TopRow is clamped to the rows that can scroll into the top line.
// - ColWidth in twips. The user can resize columns (Input::resizeColumn).
// - Merging (MergeCells non-zero): in a row with MergeRow true, adjacent
//   cells whose texts are equal character for character merge; a merge never
//   crosses from the fixed columns into the scrolling ones.
// - MouseRow/MouseCol are those of the last mouse event and stay until the
//   next one. A click outside the cells (below the last row, right of the
//   last column) gives -1; treat -1 as no action.
// - A user click on a scrolling cell makes it the current cell.

#include "ui/Control.h"

#include <QList>
#include <utility>

namespace ui {

class FlexGrid : public Control {
public:
    FlexGrid(Form& form, QString name, int index = -1);

    int rows() const { return rows_; }
    int cols() const { return cols_; }
    void setRows(int n);   // keeps the cells that remain
    void setCols(int n);
    int fixedRows() const { return fixedRows_; }
    int fixedCols() const { return fixedCols_; }
    void setFixedRows(int n);
    void setFixedCols(int n);

    const QString& textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);

    int row() const { return row_; }
    int col() const { return col_; }
    void setRow(int r);   // error 30009 "Invalid Row value" outside the grid
    void setCol(int c);   // error 30010 "Invalid Col value"
    QString text() const { return textMatrix(row_, col_); }
    void setText(const QString& t) { setTextMatrix(row_, col_, t); }

    Color cellBackColor() const;
    void setCellBackColor(Color c);
    Color cellForeColor() const;
    void setCellForeColor(Color c);
    // The same by explicit coordinates.
    Color cellBackColorAt(int row, int col) const;
    Color cellForeColorAt(int row, int col) const;
    void setCellBackColorAt(int row, int col, Color c);
    void setCellForeColorAt(int row, int col, Color c);
    // Text and back colour of one cell in one step: the same result and
    // notifications as setTextMatrix then setCellBackColorAt.
    void setCellAt(int row, int col, const QString& text, Color back);
    // setCellAt on the cells fromCol..toCol of one row, left to right, with
    // the same result and notifications.
    void setRowCells(int row, int fromCol, int toCol, const QString& text, Color back);

    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    int colAlignment(int col) const;
    void setColAlignment(int col, int a);
    int fixedAlignment(int col) const;
    void setFixedAlignment(int col, int a);
    int rowHeight() const { return rowHeight_; }
    void setRowHeight(int twips);

    int topRow() const { return topRow_; }
    void setTopRow(int r);
    int leftCol() const { return leftCol_; }
    void setLeftCol(int c);
    // Scrolling rows that fit in the visible area.
    int visibleRows() const;

    int mergeCells() const { return mergeCells_; }   // 0 never, 1 free
    void setMergeCells(int m);
    bool mergeRow(int row) const;
    void setMergeRow(int row, bool on);
    // The columns [first, last] of the merged block holding (row, col);
    // (col, col) when the cell is not merged.
    std::pair<int, int> mergedSpan(int row, int col) const;

    int mouseRow() const { return mouseRow_; }
    int mouseCol() const { return mouseCol_; }
    void setMousePosition(int row, int col);   // for Input

    Event<> Click;

private:
    struct Cell {
        QString text;
        Color back = kColorUnset;
        Color fore = kColorUnset;
    };
    void checkCell(int row, int col) const;
    // Whether a backend mirrors the grid: without one a change needs no notice.
    bool observed() const;
    void reshape(int rows, int cols);
    // Text and colour of a checked cell, each notified (when watched) only if it changed.
    void assignCell(int row, int col, const QString& text, Color back, bool watched);
    Cell& cell(int r, int c) { return cells_[r * cols_ + c]; }
    const Cell& cell(int r, int c) const { return cells_[r * cols_ + c]; }

    int rows_ = 2;
    int cols_ = 2;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    QList<Cell> cells_;
    QList<int> colWidths_;
    QList<int> colAlign_;
    QList<int> fixedAlign_;
    QList<bool> mergeRows_;
    int row_ = 1;
    int col_ = 1;
    int topRow_ = 1;
    int leftCol_ = 1;
    int rowHeight_ = 240;
    int mergeCells_ = 0;
    int mouseRow_ = -1;
    int mouseCol_ = -1;
};

} // namespace ui
