#pragma once
// Item models that read the window model's lists and grids in place: no
// copy of the items and no widget per item, so a list or grid of 200,000
// rows costs the view only the rows on screen. Changes are collected and
// handed to the view once per turn of the event loop (a load that adds rows
// one by one resets the view once, at the next yield, not per row).

#include "ui/FlexGrid.h"
#include "ui/ListBox.h"

#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <QSet>

#include <functional>

namespace ui::qt {

// The rows of a ListBox. Selection is drawn from the model's own state
// (the view has no selection of its own), so what shows is always what the
// program reads.
class ListItemModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ListItemModel(ListBox& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Mirrors one change of the list.
    void listChanged(Prop prop, int index);
    // Brings the view's row count in step now (normally done at the next turn).
    void flush();
    // Called after every flush (the owner restores the scroll position).
    std::function<void()> afterFlush;
    // The list is going away: the view shows nothing and nothing reads it,
    // even a change already queued for the next turn.
    void detach();

private:
    void schedule();
    ListBox* list_;
    int shown_ = 0;
    bool resetPending_ = false;
    bool scheduled_ = false;
};

// The scrolling cells of a FlexGrid: model row r is grid row r + FixedRows,
// model column c is grid column c + FixedCols. The fixed row and column are
// the view's headers (headerData gives their texts).
class GridItemModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridItemModel(FlexGrid& grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void gridChanged(Prop prop, int row, int col);
    void flush();
    // Called after a flush, with the rows whose merge spans need recomputing
    // (all rows when `all`).
    std::function<void(const QSet<int>& rows, bool all)> afterFlush;
    // As ListItemModel::detach.
    void detach();

    int fixedRows() const { return fixedRows_; }
    int fixedCols() const { return fixedCols_; }

private:
    void schedule();
    FlexGrid* grid_;
    int rows_ = 0, cols_ = 0, fixedRows_ = 0, fixedCols_ = 0;
    bool resetPending_ = false;
    bool scheduled_ = false;
    int dirtyTop_ = -1, dirtyBottom_ = -1;
    QSet<int> mergeRows_;
    bool mergeAll_ = false;
};

// Qt alignment of a grid alignment value (0..8 left/centre/right by
// top/centre/bottom, 9 general: text left, numbers right).
Qt::Alignment gridAlignment(int a, const QString& text);

} // namespace ui::qt
