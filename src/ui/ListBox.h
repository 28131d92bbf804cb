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

namespace ui {

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

    int listCount() const { return int(items_.size()); }
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
    QString text() const { return listIndex_ >= 0 ? items_[listIndex_].text : QString(); }

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
    struct Item {
        QString text;
        int data = 0;
        bool selected = false;
    };
    void checkIndex(int index) const;
    void insertAt(int index, const QString& text);

    QList<Item> items_;
    bool sorted_ = false;
    int multiSelect_ = None;
    int listIndex_ = -1;
    int newIndex_ = -1;
    int topIndex_ = 0;
    int itemHeight_ = 195;
    int selCount_ = 0;
};

} // namespace ui
