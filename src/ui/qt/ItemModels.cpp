#include "ui/qt/ItemModels.h"

#include "ui/DisplayText.h"
#include "ui/qt/QtColors.h"

#include <QApplication>
#include <QPalette>
#include <QTimer>

namespace ui::qt {

// --- ListItemModel ---------------------------------------------------------------

ListItemModel::ListItemModel(ListBox& list, QObject* parent) : QAbstractListModel(parent), list_(&list)
{
    shown_ = list_->listCount();
}

int ListItemModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shown_; }

QVariant ListItemModel::data(const QModelIndex& index, int role) const
{
    if (!list_) return {};
    const int i = index.row();
    if (!index.isValid() || i >= list_->listCount()) return {};
    const QPalette pal = QApplication::palette();
    switch (role) {
    case Qt::DisplayRole:
        return displayText(list_->list(i));
    case Qt::BackgroundRole:
        if (list_->selected(i)) return pal.color(QPalette::Highlight);
        return {};
    case Qt::ForegroundRole:
        if (list_->selected(i)) return pal.color(QPalette::HighlightedText);
        return {};
    default:
        return {};
    }
}

void ListItemModel::schedule()
{
    if (scheduled_) return;
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] { flush(); });
}

void ListItemModel::flush()
{
    scheduled_ = false;
    if (!list_) return;
    if (resetPending_ || shown_ != list_->listCount()) {
        resetPending_ = false;
        beginResetModel();
        shown_ = list_->listCount();
        endResetModel();
    }
    if (afterFlush) afterFlush();
}

void ListItemModel::detach()
{
    beginResetModel();
    list_ = nullptr;
    shown_ = 0;
    endResetModel();
    afterFlush = nullptr;
}

void ListItemModel::listChanged(Prop prop, int index)
{
    if (!list_) return;
    switch (prop) {
    case Prop::ItemInserted:
    case Prop::ItemRemoved:
    case Prop::ItemsCleared:
    case Prop::MultiSelect:
        resetPending_ = true;
        schedule();
        break;
    case Prop::ItemText:
    case Prop::Selected:
        if (!resetPending_ && index >= 0 && index < shown_) emit dataChanged(this->index(index), this->index(index));
        break;
    case Prop::ListIndex:
        // The old current item is not known: repaint what is on screen.
        if (!resetPending_ && shown_ > 0) emit dataChanged(this->index(0), this->index(shown_ - 1));
        break;
    default:
        break;
    }
}

// --- GridItemModel -------------------------------------------------------------

Qt::Alignment gridAlignment(int a, const QString& text)
{
    Qt::Alignment v = Qt::AlignVCenter;
    Qt::Alignment h = Qt::AlignLeft;
    if (a >= 0 && a <= 8) {
        h = a / 3 == 0 ? Qt::AlignLeft : (a / 3 == 1 ? Qt::AlignHCenter : Qt::AlignRight);
        v = a % 3 == 0 ? Qt::AlignTop : (a % 3 == 1 ? Qt::AlignVCenter : Qt::AlignBottom);
    } else {
        bool number = false;
        text.trimmed().toDouble(&number);
        h = number ? Qt::AlignRight : Qt::AlignLeft;
    }
    return h | v;
}

GridItemModel::GridItemModel(FlexGrid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(&grid)
{
    rows_ = grid_->rows();
    cols_ = grid_->cols();
    fixedRows_ = std::min(grid_->fixedRows(), 1);
    fixedCols_ = std::min(grid_->fixedCols(), 1);
}

int GridItemModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : std::max(0, rows_ - fixedRows_); }
int GridItemModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : std::max(0, cols_ - fixedCols_); }

QVariant GridItemModel::data(const QModelIndex& index, int role) const
{
    if (!grid_) return {};
    if (!index.isValid()) return {};
    const int r = index.row() + fixedRows_;
    const int c = index.column() + fixedCols_;
    if (r >= grid_->rows() || c >= grid_->cols()) return {};   // shrunk since the last flush
    switch (role) {
    case Qt::DisplayRole:
        return displayText(grid_->textMatrix(r, c));
    case Qt::BackgroundRole: {
        const Color back = grid_->cellBackColorAt(r, c);
        return toQColor(back == kColorUnset ? grid_->backColor() : back, QApplication::palette());
    }
    case Qt::ForegroundRole: {
        const Color fore = grid_->cellForeColorAt(r, c);
        return toQColor(fore == kColorUnset ? grid_->foreColor() : fore, QApplication::palette());
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(gridAlignment(grid_->colAlignment(c), grid_->textMatrix(r, c)));
    default:
        return {};
    }
}

QVariant GridItemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!grid_) return {};
    int r = 0, c = 0;
    if (orientation == Qt::Horizontal) {
        if (fixedRows_ == 0) return {};
        c = section + fixedCols_;
    } else {
        if (fixedCols_ == 0) return {};
        r = section + fixedRows_;
    }
    if (r >= grid_->rows() || c >= grid_->cols()) return {};
    switch (role) {
    case Qt::DisplayRole:
        return displayText(grid_->textMatrix(r, c));
    case Qt::BackgroundRole: {
        const Color back = grid_->cellBackColorAt(r, c);
        if (back == kColorUnset) return {};
        return toQColor(back, QApplication::palette());
    }
    case Qt::ForegroundRole: {
        const Color fore = grid_->cellForeColorAt(r, c);
        if (fore == kColorUnset) return {};
        return toQColor(fore, QApplication::palette());
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(gridAlignment(grid_->fixedAlignment(c), grid_->textMatrix(r, c)));
    default:
        return {};
    }
}

void GridItemModel::schedule()
{
    if (scheduled_) return;
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] { flush(); });
}

void GridItemModel::flush()
{
    scheduled_ = false;
    if (!grid_) return;
    const int fr = std::min(grid_->fixedRows(), 1);
    const int fc = std::min(grid_->fixedCols(), 1);
    if (resetPending_ || rows_ != grid_->rows() || cols_ != grid_->cols() || fr != fixedRows_ || fc != fixedCols_) {
        beginResetModel();
        rows_ = grid_->rows();
        cols_ = grid_->cols();
        fixedRows_ = fr;
        fixedCols_ = fc;
        endResetModel();
        resetPending_ = false;
        mergeAll_ = true;
    } else if (dirtyTop_ >= 0) {
        const int top = std::max(0, dirtyTop_ - fixedRows_);
        const int bottom = std::min(rowCount() - 1, dirtyBottom_ - fixedRows_);
        if (bottom >= top && columnCount() > 0) emit dataChanged(index(top, 0), index(bottom, columnCount() - 1));
        if (dirtyTop_ < fixedRows_ && columnCount() > 0) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
        if (fixedCols_ > 0 && bottom >= top) emit headerDataChanged(Qt::Vertical, top, bottom);
    }
    dirtyTop_ = dirtyBottom_ = -1;
    const QSet<int> rows = std::move(mergeRows_);
    const bool all = mergeAll_;
    mergeRows_.clear();
    mergeAll_ = false;
    if (afterFlush) afterFlush(rows, all);
}

void GridItemModel::detach()
{
    beginResetModel();
    grid_ = nullptr;
    rows_ = cols_ = fixedRows_ = fixedCols_ = 0;
    endResetModel();
    afterFlush = nullptr;
}

void GridItemModel::gridChanged(Prop prop, int row, int /*col*/)
{
    if (!grid_) return;
    switch (prop) {
    case Prop::GridShape:
        resetPending_ = true;
        schedule();
        break;
    case Prop::CellText:
        if (grid_->mergeCells() != 0 && !mergeAll_) mergeRows_.insert(row);
        [[fallthrough]];
    case Prop::CellBackColor:
    case Prop::CellForeColor:
        if (row < 0) break;
        dirtyTop_ = dirtyTop_ < 0 ? row : std::min(dirtyTop_, row);
        dirtyBottom_ = std::max(dirtyBottom_, row);
        schedule();
        break;
    case Prop::MergeRow:
        if (!mergeAll_) mergeRows_.insert(row);
        schedule();
        break;
    case Prop::MergeCells:
        mergeAll_ = true;
        mergeRows_.clear();
        schedule();
        break;
    case Prop::ColAlignment:
    case Prop::FixedAlignment:
    case Prop::BackColor:
    case Prop::ForeColor:
        dirtyTop_ = 0;
        dirtyBottom_ = grid_->rows() - 1;
        schedule();
        break;
    default:
        break;
    }
}

} // namespace ui::qt
