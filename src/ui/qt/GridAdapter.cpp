// Flex grids: the scrolling cells come from the model in place
// (GridItemModel), the fixed row and column are the view's headers; column
// widths, merges, the top row and the current cell follow the model.
#include "ui/Input.h"
#include "ui/qt/ControlAdapter.h"
#include "ui/qt/FormWindow.h"
#include "ui/qt/ItemModels.h"
#include "ui/qt/QtDesktop.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>

#include <utility>

namespace ui::qt {

namespace {

// Headings drawn with the grid's own narrow cell margins: the style's
// section margins would clip a heading that fits its column.
class GridHeader : public QHeaderView {
public:
    using QHeaderView::QHeaderView;
    static constexpr int kMarginPx = 2;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logical) const override
    {
        if (!rect.isValid()) return;
        QStyleOptionHeader opt;
        initStyleOption(&opt);
        opt.rect = rect;
        opt.section = logical;
        opt.text.clear();
        QVariant back = model()->headerData(logical, orientation(), Qt::BackgroundRole);
        if (back.canConvert<QBrush>()) opt.palette.setBrush(QPalette::Button, qvariant_cast<QBrush>(back));
        painter->save();
        style()->drawControl(QStyle::CE_HeaderSection, &opt, painter, this);
        const QVariant fore = model()->headerData(logical, orientation(), Qt::ForegroundRole);
        painter->setPen(fore.canConvert<QBrush>() ? qvariant_cast<QBrush>(fore).color() : palette().color(QPalette::ButtonText));
        painter->setFont(font());
        const QVariant align = model()->headerData(logical, orientation(), Qt::TextAlignmentRole);
        const Qt::Alignment a = align.isValid() ? Qt::Alignment(align.toInt()) : Qt::AlignCenter;
        painter->drawText(rect.adjusted(kMarginPx, 0, -kMarginPx, 0), int(a), model()->headerData(logical, orientation()).toString());
        painter->restore();
    }
};

class GridAdapter : public ControlAdapter {
public:
    using ControlAdapter::ControlAdapter;
    QPalette::ColorRole backRole() const override { return QPalette::Base; }
    QPalette::ColorRole foreRole() const override { return QPalette::Text; }

    void changed(const Change& c) override;
    void commonChanged(Prop p) override { model_->gridChanged(p, -1, -1); }
    void geometryChanged() override { applyLayout(); }

    std::optional<bool> key(QKeyEvent* e, int, int) override { return navigationKey(e); }
    // The header still takes the press: it starts a column drag.
    bool swallowsPress(QObject* watched, QMouseEvent*) const override
    {
        if (watched == view()->horizontalHeader()->viewport()) dragged_ = false;
        return watched == view()->viewport();
    }
    std::optional<bool> release(QObject* watched, QMouseEvent* me, int button, int shift) override;
    void detach() override { model_->detach(); }

protected:
    QWidget* make(QWidget* parent) override;

private:
    QTableView* view() const { return static_cast<QTableView*>(widget_); }
    FlexGrid& grid() const { return static_cast<FlexGrid&>(control_); }
    void applyLayout();
    void applySpans(const QSet<int>& rows, bool all);

    GridItemModel* model_ = nullptr;
    // A column border was dragged since the last press on the headings: the
    // release ends the drag and is no click on the heading row.
    mutable bool dragged_ = false;
};

QWidget* GridAdapter::make(QWidget* parent)
{
    auto* v = new QTableView(parent);
    widget_ = v;
    v->setHorizontalHeader(new GridHeader(Qt::Horizontal, v));
    v->setVerticalHeader(new GridHeader(Qt::Vertical, v));
    model_ = new GridItemModel(grid(), v);
    v->setModel(model_);
    v->setSelectionMode(QAbstractItemView::NoSelection);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setAutoScroll(false);
    v->setWordWrap(false);
    v->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    v->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    v->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    v->horizontalHeader()->setMinimumSectionSize(0);
    v->horizontalHeader()->setHighlightSections(false);
    v->verticalHeader()->setHighlightSections(false);
    for (QHeaderView* h : {v->horizontalHeader(), v->verticalHeader()}) window_.watch(h->viewport(), &control_);
    model_->afterFlush = [this](const QSet<int>& rows, bool all) {
        if (!alive()) return;
        if (all) applyLayout();
        applySpans(rows, all);
    };
    applyLayout();
    applySpans({}, true);
    FlexGrid* g = &grid();
    QObject::connect(v->horizontalHeader(), &QHeaderView::sectionResized, v, [this, g](int logical, int, int size) {
        if (!alive() || applying()) return;
        const int col = logical + model_->fixedCols();
        dragged_ = true;
        QtDesktop::guarded([g, col, size] { Input::resizeColumn(*g, col, QtDesktop::twips(size)); });
        if (alive()) applyLayout();
    });
    QObject::connect(v->verticalScrollBar(), &QScrollBar::valueChanged, v, [this, g](int value) {
        if (!alive() || applying()) return;
        Applying a(applying());
        const int top = value + model_->fixedRows();
        QtDesktop::guarded([g, top] { Input::scrollGrid(*g, top); });
    });
    return v;
}

void GridAdapter::applyLayout()
{
    if (!model_) return;
    FlexGrid& g = grid();
    QTableView* v = view();
    Applying a(applying());
    const int fr = model_->fixedRows(), fc = model_->fixedCols();
    v->horizontalHeader()->setVisible(fr > 0);
    v->verticalHeader()->setVisible(fc > 0);
    const int rowPx = std::max(1, QtDesktop::px(g.rowHeight()));
    v->verticalHeader()->setDefaultSectionSize(rowPx);
    v->verticalHeader()->setMinimumSectionSize(1);
    v->horizontalHeader()->setFixedHeight(rowPx);
    if (fc > 0) v->verticalHeader()->setFixedWidth(QtDesktop::px(g.colWidth(0)));
    for (int c = fc; c < g.cols() && c - fc < model_->columnCount(); ++c)
        v->horizontalHeader()->resizeSection(c - fc, QtDesktop::px(g.colWidth(c)));
    if (model_->rowCount() > 0) v->verticalScrollBar()->setValue(g.topRow() - fr);
    if (g.row() >= fr && g.col() >= fc && g.row() - fr < model_->rowCount() && g.col() - fc < model_->columnCount())
        v->setCurrentIndex(model_->index(g.row() - fr, g.col() - fc));
}

void GridAdapter::applySpans(const QSet<int>& rows, bool all)
{
    FlexGrid& g = grid();
    QTableView* v = view();
    const int fr = model_->fixedRows(), fc = model_->fixedCols();
    auto spanRow = [&](int r) {
        if (r < fr || r >= g.rows()) return;
        const int mr = r - fr;
        if (!all)
            for (int c = 0; c < model_->columnCount(); ++c)
                if (v->columnSpan(mr, c) > 1) v->setSpan(mr, c, 1, 1);
        if (g.mergeCells() == 0 || !g.mergeRow(r)) return;
        for (int c = fc; c < g.cols();) {
            const auto span = g.mergedSpan(r, c);
            if (span.second > span.first) v->setSpan(mr, span.first - fc, 1, span.second - span.first + 1);
            c = span.second + 1;
        }
    };
    if (all) {
        v->clearSpans();
        if (g.mergeCells() == 0) return;
        for (int r = fr; r < g.rows(); ++r)
            if (g.mergeRow(r)) spanRow(r);
        return;
    }
    for (int r : rows) spanRow(r);
}

void GridAdapter::changed(const Change& c)
{
    model_->gridChanged(c.prop, c.index, c.index2);
    FlexGrid& g = grid();
    switch (c.prop) {
    case Prop::ColWidth:
    case Prop::RowHeight:
        applyLayout();
        break;
    case Prop::TopRow: {
        Applying a(applying());
        if (model_->rowCount() > 0) view()->verticalScrollBar()->setValue(g.topRow() - model_->fixedRows());
        break;
    }
    case Prop::CurrentCell: {
        Applying a(applying());
        const int r = g.row() - model_->fixedRows(), col = g.col() - model_->fixedCols();
        if (r >= 0 && col >= 0 && r < model_->rowCount() && col < model_->columnCount()) view()->setCurrentIndex(model_->index(r, col));
        break;
    }
    default:
        break;
    }
}

std::optional<bool> GridAdapter::release(QObject* watched, QMouseEvent* me, int button, int shift)
{
    QTableView* v = view();
    const QPoint p = me->position().toPoint();
    int row = -1, col = -1;
    if (watched == v->viewport()) {
        const int r = v->rowAt(p.y()), cc = v->columnAt(p.x());
        row = r < 0 ? -1 : r + model_->fixedRows();
        col = cc < 0 ? -1 : cc + model_->fixedCols();
    } else if (watched == v->horizontalHeader()->viewport()) {
        if (std::exchange(dragged_, false)) return false;
        const int cc = v->horizontalHeader()->logicalIndexAt(p);
        row = 0;
        col = cc < 0 ? -1 : cc + model_->fixedCols();
    } else if (watched == v->verticalHeader()->viewport()) {
        const int r = v->verticalHeader()->logicalIndexAt(p);
        row = r < 0 ? -1 : r + model_->fixedRows();
        col = 0;
    }
    if (row < 0) col = -1;
    if (col < 0) row = -1;
    FlexGrid* g = &grid();
    QtDesktop::guarded([g, row, col, button, shift] { Input::gridMouseUp(*g, row, col, button, shift); });
    return false;
}

} // namespace

std::unique_ptr<ControlAdapter> makeGridAdapter(FormWindow& window, Control& control)
{
    return std::make_unique<GridAdapter>(window, control);
}

} // namespace ui::qt
