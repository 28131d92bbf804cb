#pragma once
// A list box: plain data (one vector of items, each with an integer), fit
// for the hidden working lists of hundreds of thousands of items. No item
// limit. A sorted list inserts by binary search with the program's one sort
// order (ui/SortOrder.h); an item equal to existing ones goes after them.
//
// ListIndex is the current item (-1 none). In a single-selection list the
// selected item is the current item; in a multi-selection list each item has
// its own selected state and ListIndex is only the current (caret) item.
// Click is raised on every real change of ListIndex or of Selected(i), from
// code as from the user, synchronously and nested; a user click raises Click
// even when it changes nothing.
//
// Enabled is plain data here: the working lists use it as a flag.

#include "ui/Control.h"

#include <QList>
#include <span>
#include <vector>

namespace ui {

namespace detail {

struct ListItem {
    QString text;
    int data = 0;
    bool selected = false;
};

// The items of a list: an array cut into blocks of at most a few thousand
// items, so that inserting into a sorted list of 200,000 items moves a block,
// not the whole list. Index access finds the block by binary search (with a
// shortcut for the block used last).
class ItemStore {
public:
    int size() const { return size_; }
    const ListItem& at(int i) const;
    ListItem& at(int i);
    void insert(int i, ListItem item);
    void erase(int i);
    // Drops every item i with drop[i] true (items past its end stay), in
    // one pass that leaves the blocks full.
    void eraseIf(const std::vector<bool>& drop);
    void clear();
    // First index whose item `after(item)` holds, given that it holds for a
    // suffix of the items (binary search over blocks, then inside one).
    template <class After>
    int partition(After after) const
    {
        std::size_t lo = 0, hi = blocks_.size();
        while (lo < hi) {   // first block whose last item is "after"
            const std::size_t mid = (lo + hi) / 2;
            if (after(blocks_[mid].back())) hi = mid;
            else lo = mid + 1;
        }
        if (lo == blocks_.size()) return size_;
        const auto& b = blocks_[lo];
        std::size_t l = 0, h = b.size();
        while (l < h) {
            const std::size_t m = (l + h) / 2;
            if (after(b[m])) h = m;
            else l = m + 1;
        }
        return starts_[lo] + int(l);
    }
    template <class F>
    void forEach(F f) const
    {
        int i = 0;
        for (const auto& b : blocks_)
            for (const ListItem& item : b) f(i++, item);
    }
    template <class F>
    void forEachMutable(F f)
    {
        for (auto& b : blocks_)
            for (ListItem& item : b) f(item);
    }

private:
    std::size_t blockOf(int i) const;
    void renumberFrom(std::size_t block);

    std::vector<std::vector<ListItem>> blocks_;
    std::vector<int> starts_;
    int size_ = 0;
    mutable std::size_t last_ = 0;
};

} // namespace detail

class ListBox : public Control {
public:
    enum MultiSelectMode { None = 0, Simple = 1, Extended = 2 };

    ListBox(Form& form, QString name, int index = -1);

    // Appends, or inserts in sort order when Sorted; NewIndex tells where.
    void addItem(const QString& text);
    // Inserts at `index` (0..ListCount), whatever Sorted says.
    void addItem(const QString& text, int index);
    void removeItem(int index);
    void clear();

    // Bulk forms for the working lists of hundreds of thousands of items.
    // They leave the list as the single calls would, and notify item by item
    // only when a backend shows the list.
    //
    // Appends the texts in their order (whatever Sorted says: a sorted list
    // must be handed texts that keep it in order); NewIndex is the last one.
    void appendItems(std::span<const QString> texts);
    // The same, taking the texts over (no copies); `texts` is left empty.
    void appendItems(std::vector<QString>&& texts);
    // The same, item k carrying ItemData data[k] (0 past the vector's end),
    // as addItem and setItemData on each would leave it.
    void appendItems(std::vector<QString>&& texts, const std::vector<int>& data);
    // Appends `count` items holding `text`.
    void appendItems(const QString& text, int count);
    // Removes every item i with remove[i] true (items past the vector's end
    // stay), as removeItem from the last of them to the first would.
    void removeItems(const std::vector<bool>& remove);

    int listCount() const { return items_.size(); }
    const QString& list(int index) const;
    void setList(int index, const QString& text);
    int itemData(int index) const;
    void setItemData(int index, int data);
    int newIndex() const { return newIndex_; }

    bool sorted() const { return sorted_; }
    void setSorted(bool on);   // design time: the existing items are not reordered
    int multiSelect() const { return multiSelect_; }
    void setMultiSelect(int mode);

    int listIndex() const { return listIndex_; }
    void setListIndex(int index);   // -1..ListCount-1, else error 380
    bool selected(int index) const;
    void setSelected(int index, bool on);
    int selCount() const;
    QList<int> selectedIndexes() const;
    QString text() const { return listIndex_ >= 0 ? items_.at(listIndex_).text : QString(); }

    int topIndex() const { return topIndex_; }
    void setTopIndex(int index);   // clamped to the items
    // Height of one row in twips (the backend sets the real value).
    int itemHeight() const { return itemHeight_; }
    void setItemHeight(int twips);
    // The item under a point of the list (twips), or -1 below the last item.
    int itemFromPoint(int x, int y) const;

    // Index of the first item equal to `text` (exact), or -1; binary search
    // when sorted.
    int find(const QString& text) const;

    // A user's click on item `index` (Input::listClick): see the class note.
    void clickItem(int index);

    Event<> Click;

private:
    void checkIndex(int index) const;
    void insertAt(int index, const QString& text);

    detail::ItemStore items_;
    bool sorted_ = false;
    int multiSelect_ = None;
    int listIndex_ = -1;
    int newIndex_ = -1;
    int topIndex_ = 0;
    int itemHeight_ = 195;
    int selCount_ = 0;
};

} // namespace ui
