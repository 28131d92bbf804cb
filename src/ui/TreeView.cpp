#include "ui/TreeView.h"

#include "ui/SortOrder.h"

#include <algorithm>

namespace ui {

namespace {
[[noreturn]] void elementNotFound() { throw UiError{35601, QStringLiteral("Element not found")}; }
} // namespace

// --- TreeNode ----------------------------------------------------------------

void TreeNode::setText(const QString& t)
{
    if (text_ == t) return;
    text_ = t;
    std::vector<TreeNode*>& siblings = tree_->siblingsOf(this);
    const bool keepSorted = parent_ ? parent_->sorted_ : tree_->sorted_;
    if (keepSorted) {
        std::erase(siblings, this);
        tree_->insertSorted(siblings, this);
    }
    tree_->notify(Prop::NodeText, -1, -1, this);
}

TreeNode* TreeNode::next() const
{
    const auto& s = tree_->siblingsOf(const_cast<TreeNode*>(this));
    auto it = std::find(s.begin(), s.end(), this);
    return (it != s.end() && std::next(it) != s.end()) ? *std::next(it) : nullptr;
}

TreeNode* TreeNode::previous() const
{
    const auto& s = tree_->siblingsOf(const_cast<TreeNode*>(this));
    auto it = std::find(s.begin(), s.end(), this);
    return (it != s.end() && it != s.begin()) ? *std::prev(it) : nullptr;
}

TreeNode* TreeNode::firstSibling() const { return tree_->siblingsOf(const_cast<TreeNode*>(this)).front(); }
TreeNode* TreeNode::lastSibling() const { return tree_->siblingsOf(const_cast<TreeNode*>(this)).back(); }

bool TreeNode::selected() const { return tree_->selected_ == this; }

void TreeNode::setSelected(bool on)
{
    if (on) tree_->setSelectedItem(this);
    else if (selected()) tree_->setSelectedItem(nullptr);
}

void TreeNode::setExpanded(bool on)
{
    if (expanded_ == on) return;
    if (!on) {
        for (TreeNode* n = tree_->selected_ ? tree_->selected_->parent_ : nullptr; n; n = n->parent_)
            if (n == this) {
                tree_->setSelectedItem(this);
                break;
            }
    }
    expanded_ = on;
    tree_->notify(Prop::NodeExpanded, -1, -1, this);
    if (on) tree_->Expand(this);
    else tree_->Collapse(this);
}

void TreeNode::setSorted(bool on)
{
    if (sorted_ == on) return;
    sorted_ = on;
    if (on) tree_->sortList(children_);
    tree_->notify(Prop::NodeSorted, -1, -1, this);
}

QString TreeNode::fullPath() const
{
    QString path = text_;
    for (const TreeNode* n = parent_; n; n = n->parent_) path = n->text_ + tree_->separator_ + path;
    return path;
}

void TreeNode::ensureVisible()
{
    std::vector<TreeNode*> chain;
    for (TreeNode* n = parent_; n; n = n->parent_) chain.push_back(n);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) (*it)->setExpanded(true);
}

// --- TreeView ------------------------------------------------------------------

TreeView::TreeView(Form& form, QString name, int index) : Control(form, ControlKind::TreeView, std::move(name), index) {}

TreeView::~TreeView() = default;

void TreeView::insertSorted(std::vector<TreeNode*>& list, TreeNode* n)
{
    auto it = std::upper_bound(list.begin(), list.end(), n,
                               [](const TreeNode* a, const TreeNode* b) { return compareSortOrder(a->text_, b->text_) < 0; });
    list.insert(it, n);
}

void TreeView::sortList(std::vector<TreeNode*>& list)
{
    std::stable_sort(list.begin(), list.end(),
                     [](const TreeNode* a, const TreeNode* b) { return compareSortOrder(a->text_, b->text_) < 0; });
}

std::vector<TreeNode*>& TreeView::siblingsOf(TreeNode* n) { return n->parent_ ? n->parent_->children_ : roots_; }

TreeNode* TreeView::add(const QString& relative, int relationship, const QString& key, const QString& text)
{
    if (!key.isEmpty() && byKey_.contains(key))
        throw UiError{35602, QStringLiteral("Key is not unique in collection")};
    TreeNode* rel = relative.isEmpty() ? nullptr : node(relative);

    auto owned = std::make_unique<TreeNode>();
    TreeNode* n = owned.get();
    n->tree_ = this;
    n->key_ = key;
    n->text_ = text;

    std::vector<TreeNode*>* list = &roots_;
    bool sortedList = sorted_;
    std::ptrdiff_t pos = -1;   // -1: at the end
    if (rel) {
        if (relationship == tvwChild) {
            n->parent_ = rel;
            list = &rel->children_;
            sortedList = rel->sorted_;
        } else {
            n->parent_ = rel->parent_;
            list = &siblingsOf(rel);
            sortedList = rel->parent_ ? rel->parent_->sorted_ : sorted_;
            const auto at = std::find(list->begin(), list->end(), rel) - list->begin();
            if (relationship == tvwFirst) pos = 0;
            else if (relationship == tvwNext) pos = at + 1;
            else if (relationship == tvwPrevious) pos = at;
        }
    }
    if (sortedList) insertSorted(*list, n);
    else if (pos < 0) list->push_back(n);
    else list->insert(list->begin() + pos, n);

    all_.push_back(std::move(owned));
    if (!key.isEmpty()) byKey_.insert(key, n);
    notify(Prop::NodeAdded, -1, -1, n);
    return n;
}

TreeNode* TreeView::findNode(const QString& key) const { return byKey_.value(key, nullptr); }

TreeNode* TreeView::node(const QString& key) const
{
    TreeNode* n = findNode(key);
    if (!n) elementNotFound();
    return n;
}

TreeNode* TreeView::nodeAt(int oneBased) const
{
    if (oneBased < 1 || oneBased > count()) throw UiError{35600, QStringLiteral("Index out of bounds")};
    return all_[std::size_t(oneBased - 1)].get();
}

void TreeView::detach(TreeNode* n) { std::erase(siblingsOf(n), n); }

void TreeView::remove(const QString& key)
{
    TreeNode* n = node(key);
    std::vector<TreeNode*> doomed{n};
    for (std::size_t i = 0; i < doomed.size(); ++i)
        for (TreeNode* c : doomed[i]->children_) doomed.push_back(c);
    detach(n);
    for (TreeNode* d : doomed) {
        if (d == selected_) selected_ = nullptr;
        if (d == typedTo_) typedTo_ = nullptr;
        if (!d->key_.isEmpty()) byKey_.remove(d->key_);
    }
    notify(Prop::NodeRemoved, -1, -1, n);
    std::erase_if(all_, [&](const std::unique_ptr<TreeNode>& p) {
        return std::find(doomed.begin(), doomed.end(), p.get()) != doomed.end();
    });
}

void TreeView::clear()
{
    selected_ = nullptr;
    typed_.clear();
    typedTo_ = nullptr;
    roots_.clear();
    byKey_.clear();
    all_.clear();
    notify(Prop::NodesCleared);
}

void TreeView::setSelectedItem(TreeNode* n)
{
    if (detail::assign(selected_, n)) notify(Prop::NodeSelected, -1, -1, n);
}

TreeNode* TreeView::typeAhead(QChar ch, qint64 nowMs)
{
    if (typed_.isEmpty() || nowMs - typedAtMs_ >= kTypeAheadPauseMs || typedTo_ != selected_) typed_.clear();
    typed_ += ch;
    typedAtMs_ = nowMs;
    typedTo_ = selected_;

    // The nodes as the tree shows them, top to bottom.
    std::vector<TreeNode*> shown;
    std::vector<TreeNode*> stack(roots_.rbegin(), roots_.rend());
    while (!stack.empty()) {
        TreeNode* n = stack.back();
        stack.pop_back();
        shown.push_back(n);
        if (n->expanded_) stack.insert(stack.end(), n->children_.rbegin(), n->children_.rend());
    }
    if (shown.empty()) return nullptr;

    // A first letter, or the same letter again, looks from the node after
    // the selection; a longer prefix may still fit the selected node.
    const bool oneLetter = typed_.count(typed_.front()) == typed_.size();
    const QString prefix = oneLetter ? QString(typed_.front()) : typed_;
    const auto at = std::find(shown.begin(), shown.end(), selected_);
    std::size_t start = 0;
    if (at != shown.end()) start = std::size_t(at - shown.begin()) + (oneLetter ? 1 : 0);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        TreeNode* n = shown[(start + i) % shown.size()];
        if (n->text_.startsWith(prefix, Qt::CaseInsensitive)) {
            typedTo_ = n;
            return n;
        }
    }
    return nullptr;
}

void TreeView::setSorted(bool on)
{
    if (sorted_ == on) return;
    sorted_ = on;
    if (on) sortList(roots_);
    notify(Prop::NodeSorted);
}

} // namespace ui
