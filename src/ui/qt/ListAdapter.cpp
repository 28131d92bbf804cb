// List boxes: the rows come from the model in place (ListItemModel), and the
// selection is the model's own; the view only scrolls and reports clicks.
#include "ui/Input.h"
#include "ui/qt/ControlAdapter.h"
#include "ui/qt/ItemModels.h"
#include "ui/qt/QtDesktop.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace ui::qt {

namespace {

class ListAdapter : public ControlAdapter {
public:
    using ControlAdapter::ControlAdapter;
    QPalette::ColorRole backRole() const override { return QPalette::Base; }
    QPalette::ColorRole foreRole() const override { return QPalette::Text; }

    void changed(const Change& ch) override
    {
        auto& list = static_cast<ListBox&>(control_);
        model_->listChanged(ch.prop, ch.index);
        if (ch.prop == Prop::ListIndex) syncCurrent();
        if (ch.prop == Prop::TopIndex && !applying()) {
            Applying a(applying());
            if (list.topIndex() < view()->model()->rowCount())
                view()->scrollTo(view()->model()->index(list.topIndex(), 0), QAbstractItemView::PositionAtTop);
        }
    }
    void commonChanged(Prop p) override
    {
        if (p == Prop::Font) measureRows();
        widget_->update();
    }
    void syncValue() override { measureRows(); }

    // Arrows, pages, Home and End move the model's current row; Space
    // toggles it in a multi-select list.
    std::optional<bool> key(QKeyEvent* e, int, int) override
    {
        auto* list = static_cast<ListBox*>(&control_);
        const int k = e->key();
        int target = -2;
        const int page = std::max(1, list->height() / std::max(1, list->itemHeight()) - 1);
        if (k == Qt::Key_Up) target = list->listIndex() - 1;
        else if (k == Qt::Key_Down) target = list->listIndex() + 1;
        else if (k == Qt::Key_PageUp) target = list->listIndex() - page;
        else if (k == Qt::Key_PageDown) target = list->listIndex() + page;
        else if (k == Qt::Key_Home) target = 0;
        else if (k == Qt::Key_End) target = list->listCount() - 1;
        if (target != -2) {
            // (An empty list has no row to clamp to.)
            if (list->listCount() > 0 && list->multiSelect() == ListBox::None) {
                target = std::clamp(target, 0, list->listCount() - 1);
                QtDesktop::guarded([list, target] {
                    if (Input::canTakeInput(*list)) list->setListIndex(target);
                });
                if (alive() && list->listIndex() >= 0) {
                    view()->scrollTo(view()->model()->index(list->listIndex(), 0));
                    // The view scrolled while it showed the new current row:
                    // the model's TopIndex is where it stands now.
                    reportTop();
                }
            }
            return true;
        }
        if (k == Qt::Key_Space && list->multiSelect() != ListBox::None && list->listIndex() >= 0) {
            const int i = list->listIndex();
            QtDesktop::guarded([list, i] { Input::listClick(*list, i); });
            return true;
        }
        return std::nullopt;
    }

    bool swallowsPress(QObject*, QMouseEvent*) const override { return true; }

    std::optional<bool> release(QObject* watched, QMouseEvent* me, int button, int shift) override
    {
        if (watched == widget_) return std::nullopt;
        auto* list = static_cast<ListBox*>(&control_);
        const QPoint p = me->position().toPoint();
        const QModelIndex at = view()->indexAt(p);
        if (button == vbLeftButton && at.isValid()) {
            const int i = at.row();
            QtDesktop::guarded([list, i] { Input::listClick(*list, i); });
        } else {
            QtDesktop::guarded([list, button, shift, p] {
                Input::mouseUp(*list, button, shift, QtDesktop::twips(p.x()), QtDesktop::twips(p.y()));
            });
        }
        return true;
    }

    void mouseMove(QMouseEvent* me) override
    {
        Control* c = &control_;
        const QPoint p = me->position().toPoint();
        int buttons = 0;
        if (me->buttons() & Qt::LeftButton) buttons |= vbLeftButton;
        if (me->buttons() & Qt::RightButton) buttons |= vbRightButton;
        QtDesktop::guarded([c, p, buttons] { Input::mouseMove(*c, QtDesktop::twips(p.x()), QtDesktop::twips(p.y()), buttons); });
    }

    void detach() override { model_->detach(); }

protected:
    QWidget* make(QWidget* parent) override
    {
        auto* list = static_cast<ListBox*>(&control_);
        auto* v = new QListView(parent);
        model_ = new ListItemModel(*list, v);
        v->setModel(model_);
        fitRowsToAccents(v);
        v->setUniformItemSizes(true);
        v->setSelectionMode(QAbstractItemView::NoSelection);
        v->setEditTriggers(QAbstractItemView::NoEditTriggers);
        v->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        v->viewport()->setMouseTracking(true);
        model_->afterFlush = [this, list, v] {
            if (!alive()) return;
            syncCurrent();
            measureRows();
            Applying a(applying());
            if (v->model()->rowCount() > 0) {
                const int top = std::min(list->topIndex(), v->model()->rowCount() - 1);
                v->scrollTo(v->model()->index(top, 0), QAbstractItemView::PositionAtTop);
            }
        };
        QObject::connect(v->selectionModel(), &QItemSelectionModel::currentChanged, v, [this] {
            // Also while the window sets the focus: the view picks a row then.
            if (alive()) syncCurrent();
        });
        QObject::connect(v->verticalScrollBar(), &QScrollBar::valueChanged, v, [this] {
            if (!alive() || applying()) return;
            reportTop();
        });
        return v;
    }

private:
    QListView* view() const { return static_cast<QListView*>(widget_); }
    // The model's ItemHeight is the height of the rows on screen (the
    // pages of the keys and the places of the clicks are counted in it).
    void measureRows()
    {
        QListView* v = view();
        if (!alive() || v->model()->rowCount() == 0) return;
        const int rowPx = v->sizeHintForRow(0);
        if (rowPx <= 0) return;
        Applying a(applying());
        static_cast<ListBox&>(control_).setItemHeight(QtDesktop::twips(rowPx));
    }
    // The row at the top of the view becomes the model's TopIndex.
    void reportTop()
    {
        auto* list = static_cast<ListBox*>(&control_);
        const QModelIndex top = view()->indexAt(QPoint(2, 2));
        if (!top.isValid() || top.row() == list->topIndex()) return;
        Applying a(applying());
        QtDesktop::guarded([list, &top] { Input::scrollList(*list, top.row()); });
    }
    // The view's current row, the one that carries the focus frame, is the
    // model's ListIndex. With none, no row does: a view taking the focus
    // would frame its first row, which then looks chosen when it is not.
    void syncCurrent()
    {
        QListView* v = view();
        const int i = static_cast<ListBox&>(control_).listIndex();
        const QModelIndex want = i >= 0 && i < v->model()->rowCount() ? v->model()->index(i, 0) : QModelIndex();
        if (v->currentIndex() == want) return;
        Applying a(applying());
        v->selectionModel()->setCurrentIndex(want, QItemSelectionModel::NoUpdate);
    }
    ListItemModel* model_ = nullptr;
};

} // namespace

std::unique_ptr<ControlAdapter> makeListAdapter(FormWindow& window, Control& control)
{
    return std::make_unique<ListAdapter>(window, control);
}

} // namespace ui::qt
