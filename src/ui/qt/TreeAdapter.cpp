// Tree views: one item per node the model holds, each tree with its own map
// from nodes to items; expansion, clicks and keyboard moves go to the model,
// and the view then shows the model's selection.
#include "ui/DisplayText.h"
#include "ui/Form.h"
#include "ui/Input.h"
#include "ui/qt/ControlAdapter.h"
#include "ui/qt/FormWindow.h"
#include "ui/qt/QtDesktop.h"

#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTreeWidget>

#include <algorithm>

namespace ui::qt {

namespace {

TreeNode* nodeOf(QTreeWidgetItem* item)
{
    return item ? reinterpret_cast<TreeNode*>(item->data(0, Qt::UserRole).value<quintptr>()) : nullptr;
}

// The names' column is as wide as the widest shown name, so that deep names
// can be scrolled to, and never narrower than the view, so that the
// highlight spans the row.
class NameTree : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;

protected:
    bool viewportEvent(QEvent* e) override
    {
        if (e->type() == QEvent::Resize) header()->setMinimumSectionSize(viewport()->width());
        return QTreeWidget::viewportEvent(e);
    }
};

class TreeAdapter : public ControlAdapter {
public:
    using ControlAdapter::ControlAdapter;
    QPalette::ColorRole backRole() const override { return QPalette::Base; }
    QPalette::ColorRole foreRole() const override { return QPalette::Text; }

    void changed(const Change& c) override;
    void commonChanged(Prop p) override
    {
        // Rows are measured when laid out: a new font needs new heights, or
        // accents above capitals are cut off.
        if (p == Prop::Font) view()->doItemsLayout();
    }

    std::optional<bool> key(QKeyEvent* e, int code, int shift) override;
    bool swallowsPress(QObject*, QMouseEvent* e) const override { return e->button() == Qt::RightButton; }

protected:
    QWidget* make(QWidget* parent) override;

private:
    QTreeWidget* view() const { return static_cast<QTreeWidget*>(widget_); }
    QTreeWidgetItem* itemFor(const TreeNode* n);
    void showSelection();
    void expandNode(TreeNode* n, bool on);

    QHash<const TreeNode*, QTreeWidgetItem*> items_;
};

// Arrows, pages, Home and End move through the view's items; a typed
// character finds a node in the model (the view's own search would move
// only the view). A letter, digit or space goes the way of every key, through
// the form (Input::key); a character no key code gives (a Greek letter, "_",
// a capital under Caps Lock) is typed as itself. The keypad's "+", "-" and
// "*" stay the view's: they expand and collapse.
std::optional<bool> TreeAdapter::key(QKeyEvent* e, int code, int shift)
{
    if (const std::optional<bool> moved = navigationKey(e)) return moved;
    const int k = e->key();
    if ((e->modifiers() & Qt::KeypadModifier) && (k == Qt::Key_Plus || k == Qt::Key_Minus || k == Qt::Key_Asterisk))
        return std::nullopt;
    const QString text = e->text();
    if (text.isEmpty() || !text.at(0).isPrint() || (shift & (vbCtrlMask | vbAltMask))) return std::nullopt;
    const bool byCode = (code >= 'A' && code <= 'Z' && text.at(0).unicode() == ((shift & vbShiftMask) ? code : code + 32))
                        || (code >= '0' && code <= '9' && !(shift & vbShiftMask) && text.at(0).unicode() == code)
                        || (code == vbKeySpace && text == QStringLiteral(" "));
    if (byCode) return std::nullopt;
    auto* tree = static_cast<TreeView*>(&control_);
    QtDesktop::guarded([tree, text] {
        if (Input::canTakeInput(*tree) && tree->hasFocus()) Input::type(*tree, text);
    });
    return true;
}

QTreeWidgetItem* TreeAdapter::itemFor(const TreeNode* n)
{
    if (!n) return nullptr;
    if (QTreeWidgetItem* it = items_.value(n)) return it;
    auto& tree = static_cast<TreeView&>(control_);
    QTreeWidgetItem* parentItem = n->parent() ? itemFor(n->parent()) : nullptr;
    const auto& siblings = n->parent() ? n->parent()->childNodes() : tree.roots();
    const int at = int(std::find(siblings.begin(), siblings.end(), n) - siblings.begin());
    auto* item = new QTreeWidgetItem();
    item->setText(0, displayText(n->text()));
    item->setData(0, Qt::UserRole, QVariant::fromValue<quintptr>(quintptr(n)));
    // Siblings already shown that come before this node in the model.
    int pos = 0;
    for (int i = 0; i < at; ++i)
        if (items_.contains(siblings[std::size_t(i)])) ++pos;
    if (parentItem) parentItem->insertChild(pos, item);
    else view()->insertTopLevelItem(pos, item);
    items_.insert(n, item);
    return item;
}

void TreeAdapter::showSelection()
{
    if (!alive()) return;
    auto& tree = static_cast<TreeView&>(control_);
    Applying a(applying());
    view()->setCurrentItem(tree.selectedItem() ? items_.value(tree.selectedItem()) : nullptr);
    if (!tree.selectedItem()) view()->clearSelection();
}

// Nodes without a key cannot be named to Input: their expansion goes to the
// model directly, after the same check Input makes.
void TreeAdapter::expandNode(TreeNode* n, bool on)
{
    auto& tree = static_cast<TreeView&>(control_);
    if (!n->key().isEmpty()) {
        if (on) Input::expand(tree, n->key());
        else Input::collapse(tree, n->key());
    } else if (Input::canTakeInput(tree)) {
        n->setExpanded(on);
    }
}

QWidget* TreeAdapter::make(QWidget* parent)
{
    auto* tree = static_cast<TreeView*>(&control_);
    auto* v = new NameTree(parent);
    widget_ = v;   // itemFor() works on the view
    v->setHeaderHidden(true);
    v->setColumnCount(1);
    fitRowsToAccents(v);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->header()->setStretchLastSection(false);
    v->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    v->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    {
        Applying a(applying());
        std::vector<const TreeNode*> stack;
        for (auto it = tree->roots().rbegin(); it != tree->roots().rend(); ++it) stack.push_back(*it);
        std::vector<const TreeNode*> order;
        while (!stack.empty()) {
            const TreeNode* n = stack.back();
            stack.pop_back();
            order.push_back(n);
            for (auto it = n->childNodes().rbegin(); it != n->childNodes().rend(); ++it) stack.push_back(*it);
        }
        for (const TreeNode* n : order) itemFor(n);
        for (const TreeNode* n : order) items_.value(n)->setExpanded(n->expanded());
        if (tree->selectedItem()) v->setCurrentItem(items_.value(tree->selectedItem()));
    }
    auto expansion = [this](QTreeWidgetItem* item, bool on) {
        if (!alive() || applying()) return;
        TreeNode* n = nodeOf(item);
        QtDesktop::guarded([&] { expandNode(n, on); });
        if (alive()) {
            Applying a(applying());
            if (items_.value(n) == item) item->setExpanded(n->expanded());
            showSelection();
        }
    };
    QObject::connect(v, &QTreeWidget::itemExpanded, v, [expansion](QTreeWidgetItem* item) { expansion(item, true); });
    QObject::connect(v, &QTreeWidget::itemCollapsed, v, [expansion](QTreeWidgetItem* item) { expansion(item, false); });
    QObject::connect(v, &QTreeWidget::itemClicked, v, [this, tree](QTreeWidgetItem* item, int) {
        if (!alive() || applying()) return;
        TreeNode* n = nodeOf(item);
        if (n->key().isEmpty()) {
            QtDesktop::guarded([&] {
                if (!Input::canTakeInput(*tree)) return;
                if (tree->form().activeControl() != tree) Input::focus(*tree);
                tree->setSelectedItem(n);
                tree->NodeClick(n);
            });
        } else {
            const QString key = n->key();
            QtDesktop::guarded([tree, key] { Input::nodeClick(*tree, key); });
        }
        showSelection();
    });
    QObject::connect(v, &QTreeWidget::currentItemChanged, v, [this, tree](QTreeWidgetItem* item, QTreeWidgetItem*) {
        if (!alive() || applying() || !window_.keyNavigation() || !item) return;
        TreeNode* n = nodeOf(item);
        if (!n->key().isEmpty()) {
            const QString key = n->key();
            QtDesktop::guarded([tree, key] { Input::nodeKey(*tree, key); });
        }
        showSelection();
    });
    return v;
}

void TreeAdapter::changed(const Change& c)
{
    auto& tree = static_cast<TreeView&>(control_);
    const auto* n = static_cast<const TreeNode*>(c.item);
    Applying a(applying());
    switch (c.prop) {
    case Prop::NodeAdded:
        itemFor(n);
        if (n->parent()) itemFor(n->parent())->setExpanded(n->parent()->expanded());
        break;
    case Prop::NodeRemoved: {
        QTreeWidgetItem* item = items_.value(n);
        if (!item) break;
        std::vector<QTreeWidgetItem*> stack{item};
        while (!stack.empty()) {
            QTreeWidgetItem* it = stack.back();
            stack.pop_back();
            items_.remove(nodeOf(it));
            for (int i = 0; i < it->childCount(); ++i) stack.push_back(it->child(i));
        }
        delete item;
        // The view hands the highlight of a node that goes to a neighbour;
        // what shows is the model's selection.
        showSelection();
        break;
    }
    case Prop::NodesCleared:
        items_.clear();
        view()->clear();
        break;
    case Prop::NodeText:
    case Prop::NodeSorted: {
        // Re-seat the children in the model's order (a sorted parent may
        // have moved the node).
        const TreeNode* parent = c.prop == Prop::NodeText ? (n ? n->parent() : nullptr) : n;
        if (c.prop == Prop::NodeText && n)
            if (QTreeWidgetItem* it = items_.value(n)) it->setText(0, displayText(n->text()));
        const auto& kids = parent ? parent->childNodes() : tree.roots();
        QTreeWidgetItem* pi = parent ? items_.value(parent) : nullptr;
        QList<QTreeWidgetItem*> wanted;
        for (const TreeNode* k : kids)
            if (QTreeWidgetItem* it = items_.value(k)) wanted.append(it);
        QList<QTreeWidgetItem*> current;
        const int count = pi ? pi->childCount() : view()->topLevelItemCount();
        for (int i = 0; i < count; ++i) current.append(pi ? pi->child(i) : view()->topLevelItem(i));
        if (current != wanted) {
            QList<bool> expanded;
            for (QTreeWidgetItem* it : wanted) expanded.append(it->isExpanded());
            if (pi) pi->takeChildren();
            else while (view()->topLevelItemCount()) view()->takeTopLevelItem(0);
            if (pi) pi->addChildren(wanted);
            else view()->addTopLevelItems(wanted);
            for (int i = 0; i < wanted.size(); ++i) wanted[i]->setExpanded(expanded[i]);
            showSelection();   // the taken items took the highlight with them
        }
        break;
    }
    case Prop::NodeExpanded:
        if (QTreeWidgetItem* it = items_.value(n)) it->setExpanded(n->expanded());
        break;
    case Prop::NodeSelected:
        view()->setCurrentItem(tree.selectedItem() ? items_.value(tree.selectedItem()) : nullptr);
        if (!tree.selectedItem()) view()->clearSelection();
        break;
    default:
        break;
    }
}

} // namespace

std::unique_ptr<ControlAdapter> makeTreeAdapter(FormWindow& window, Control& control)
{
    return std::make_unique<TreeAdapter>(window, control);
}

} // namespace ui::qt
