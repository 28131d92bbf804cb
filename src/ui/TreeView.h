#pragma once
// A tree view with keyed nodes. Nodes(1..Count) is the order of addition.
//
// - Adding a node whose key exists raises 35602 "Key is not unique in
//   collection"; a missing key (node(), a relative of add()) raises 35601
//   "Element not found".
// - Setting a node's Selected from code raises no NodeClick.
// - A user click (Input::nodeClick) selects the node and raises NodeClick,
//   also when the node was already selected. Keyboard navigation
//   (Input::nodeKey) selects the next node and raises NodeClick too: the
//   program must follow what the user sees selected.
// - Expanding or collapsing from code or by the user raises Expand/Collapse
//   on a real change. Collapsing a node whose subtree holds the selected
//   node first moves the selection to it (no NodeClick), then raises
//   Collapse.
// - A node with Sorted keeps its children in the program's sort order;
//   root nodes keep their order of addition unless the tree is Sorted.
// - Typing in the focused tree (Input::key, Input::type) moves the selection
//   to the next shown node whose text starts with what was typed, as the
//   arrow keys move it (NodeClick): characters typed less than
//   kTypeAheadPauseMs apart make one prefix, a pause starts anew, the same
//   letter typed again goes on to the next node that starts with it.

#include "ui/Control.h"

#include <QHash>
#include <memory>
#include <vector>

namespace ui {

class TreeView;

class TreeNode {
public:
    const QString& key() const { return key_; }
    const QString& text() const { return text_; }
    void setText(const QString& t);
    TreeNode* parent() const { return parent_; }
    int children() const { return int(children_.size()); }
    TreeNode* child() const { return children_.empty() ? nullptr : children_.front(); }
    TreeNode* next() const;
    TreeNode* previous() const;
    TreeNode* firstSibling() const;
    TreeNode* lastSibling() const;
    const std::vector<TreeNode*>& childNodes() const { return children_; }
    bool selected() const;
    void setSelected(bool on);
    bool expanded() const { return expanded_; }
    void setExpanded(bool on);
    bool sorted() const { return sorted_; }
    void setSorted(bool on);   // sorts the children now and keeps them sorted
    // Texts from the root down, joined by the tree's path separator.
    QString fullPath() const;
    // Expands every ancestor.
    void ensureVisible();
    QString tag;
    TreeView& tree() const { return *tree_; }

private:
    friend class TreeView;
    TreeView* tree_ = nullptr;
    TreeNode* parent_ = nullptr;
    std::vector<TreeNode*> children_;
    QString key_;
    QString text_;
    bool expanded_ = false;
    bool sorted_ = false;
};

class TreeView : public Control {
public:
    enum Relationship { tvwFirst = 0, tvwLast = 1, tvwNext = 2, tvwPrevious = 3, tvwChild = 4 };

    TreeView(Form& form, QString name, int index = -1);
    ~TreeView() override;

    // Adds a node: at the root (relative empty) or relative to the node with
    // key `relative`. An empty key is allowed and not indexed.
    TreeNode* add(const QString& relative, int relationship, const QString& key, const QString& text);
    TreeNode* node(const QString& key) const;          // 35601 when missing
    TreeNode* findNode(const QString& key) const;      // nullptr when missing
    TreeNode* nodeAt(int oneBased) const;              // Nodes(i), 1..Count; 35601 otherwise
    int count() const { return int(all_.size()); }
    void remove(const QString& key);                   // the node and its subtree
    void clear();
    const std::vector<TreeNode*>& roots() const { return roots_; }

    TreeNode* selectedItem() const { return selected_; }
    void setSelectedItem(TreeNode* n);   // no NodeClick
    bool sorted() const { return sorted_; }
    void setSorted(bool on);
    const QString& pathSeparator() const { return separator_; }
    void setPathSeparator(const QString& s) { separator_ = s; }

    // Type-ahead: the node that typing `ch` at `nowMs` (milliseconds on the
    // desktop's clock) leads to, among the shown nodes (every ancestor
    // expanded) in the order the tree shows them, from the selection on and
    // round again; nullptr when none starts with what was typed. Selects
    // nothing itself.
    static constexpr qint64 kTypeAheadPauseMs = 1000;
    TreeNode* typeAhead(QChar ch, qint64 nowMs);

    Event<TreeNode*> NodeClick;
    Event<TreeNode*> Expand;
    Event<TreeNode*> Collapse;

private:
    friend class TreeNode;
    void insertSorted(std::vector<TreeNode*>& list, TreeNode* n);
    void sortList(std::vector<TreeNode*>& list);
    std::vector<TreeNode*>& siblingsOf(TreeNode* n);
    void detach(TreeNode* n);

    std::vector<std::unique_ptr<TreeNode>> all_;
    std::vector<TreeNode*> roots_;
    QHash<QString, TreeNode*> byKey_;
    TreeNode* selected_ = nullptr;
    bool sorted_ = false;
    QString separator_ = QStringLiteral("\\");
    // What was typed so far, when, and the node it led to (a selection moved
    // otherwise starts a new search).
    QString typed_;
    qint64 typedAtMs_ = 0;
    const TreeNode* typedTo_ = nullptr;
};

} // namespace ui
