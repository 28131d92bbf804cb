#include "ui/ListBox.h"

#include "ui/SortOrder.h"

#include <algorithm>

namespace ui {

ListBox::ListBox(Form& form, QString name, int index) : Control(form, ControlKind::ListBox, std::move(name), index) {}

void ListBox::checkIndex(int index) const
{
    if (index < 0 || index >= listCount()) throw UiError{381, QStringLiteral("Invalid property array index")};
}

void ListBox::addItem(const QString& text)
{
    int at = listCount();
    if (sorted_) {
        // After every item that does not sort after `text`: equal items keep
        // their order of insertion.
        auto it = std::upper_bound(items_.cbegin(), items_.cend(), text,
                                   [](const QString& t, const Item& item) { return compareSortOrder(t, item.text) < 0; });
        at = int(it - items_.cbegin());
    }
    insertAt(at, text);
}

void ListBox::addItem(const QString& text, int index)
{
    if (index < 0 || index > listCount()) throw UiError{5, QStringLiteral("Invalid procedure call or argument")};
    insertAt(index, text);
}

void ListBox::insertAt(int index, const QString& text)
{
    items_.insert(index, Item{text, 0, false});
    newIndex_ = index;
    if (listIndex_ >= index) ++listIndex_;
    notify(Prop::ItemInserted, index);
}

void ListBox::removeItem(int index)
{
    checkIndex(index);
    if (items_[index].selected) --selCount_;
    items_.removeAt(index);
    if (listIndex_ == index) listIndex_ = -1;
    else if (listIndex_ > index) --listIndex_;
    if (topIndex_ > 0 && topIndex_ >= listCount()) topIndex_ = std::max(0, listCount() - 1);
    notify(Prop::ItemRemoved, index);
}

void ListBox::clear()
{
    items_.clear();
    listIndex_ = -1;
    newIndex_ = -1;
    topIndex_ = 0;
    selCount_ = 0;
    notify(Prop::ItemsCleared);
}

const QString& ListBox::list(int index) const
{
    static const QString none;
    // Reading past the items gives "" as the original list did.
    if (index < 0 || index >= listCount()) return none;
    return items_[index].text;
}

void ListBox::setList(int index, const QString& text)
{
    checkIndex(index);
    if (items_[index].text == text) return;
    items_[index].text = text;
    notify(Prop::ItemText, index);
}

int ListBox::itemData(int index) const
{
    checkIndex(index);
    return items_[index].data;
}

void ListBox::setItemData(int index, int data)
{
    checkIndex(index);
    if (items_[index].data == data) return;
    items_[index].data = data;
    notify(Prop::ItemData, index);
}

void ListBox::setSorted(bool on)
{
    if (sorted_ == on) return;
    sorted_ = on;
    notify(Prop::Sorted);
}

void ListBox::setMultiSelect(int mode)
{
    if (mode < None || mode > Extended) raiseInvalidValue();
    if (multiSelect_ == mode) return;
    multiSelect_ = mode;
    for (Item& item : items_) item.selected = false;
    selCount_ = 0;
    notify(Prop::MultiSelect);
}

void ListBox::setListIndex(int index)
{
    if (index < -1 || index >= listCount()) raiseInvalidValue();
    if (listIndex_ == index) return;
    listIndex_ = index;
    notify(Prop::ListIndex);
    Click();
}

bool ListBox::selected(int index) const
{
    checkIndex(index);
    return multiSelect_ == None ? index == listIndex_ : items_[index].selected;
}

void ListBox::setSelected(int index, bool on)
{
    checkIndex(index);
    if (multiSelect_ == None) {
        if (on) setListIndex(index);
        else if (index == listIndex_) setListIndex(-1);
        return;
    }
    if (items_[index].selected == on) return;
    items_[index].selected = on;
    selCount_ += on ? 1 : -1;
    notify(Prop::Selected, index);
    Click();
}

int ListBox::selCount() const
{
    if (multiSelect_ == None) return listIndex_ >= 0 ? 1 : 0;
    return selCount_;
}

QList<int> ListBox::selectedIndexes() const
{
    QList<int> out;
    if (multiSelect_ == None) {
        if (listIndex_ >= 0) out.append(listIndex_);
        return out;
    }
    out.reserve(selCount_);
    for (int i = 0; i < listCount(); ++i)
        if (items_[i].selected) out.append(i);
    return out;
}

void ListBox::setTopIndex(int index)
{
    const int clamped = std::clamp(index, 0, std::max(0, listCount() - 1));
    if (topIndex_ == clamped) return;
    topIndex_ = clamped;
    notify(Prop::TopIndex);
}

void ListBox::setItemHeight(int twips)
{
    if (twips <= 0) raiseInvalidValue();
    itemHeight_ = twips;
}

int ListBox::itemFromPoint(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width()) return -1;
    const int i = topIndex_ + y / itemHeight_;
    return i < listCount() ? i : -1;
}

int ListBox::find(const QString& text) const
{
    if (sorted_) {
        auto it = std::lower_bound(items_.cbegin(), items_.cend(), text,
                                   [](const Item& item, const QString& t) { return compareSortOrder(item.text, t) < 0; });
        return it != items_.cend() && it->text == text ? int(it - items_.cbegin()) : -1;
    }
    for (int i = 0; i < listCount(); ++i)
        if (items_[i].text == text) return i;
    return -1;
}

void ListBox::clickItem(int index)
{
    checkIndex(index);
    if (multiSelect_ == None) {
        if (listIndex_ != index) {
            setListIndex(index);
            return;
        }
        Click();
        return;
    }
    items_[index].selected = !items_[index].selected;
    selCount_ += items_[index].selected ? 1 : -1;
    notify(Prop::Selected, index);
    if (listIndex_ != index) {
        listIndex_ = index;
        notify(Prop::ListIndex);
    }
    Click();
}

} // namespace ui
