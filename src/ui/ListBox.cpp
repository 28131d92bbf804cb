#include "ui/ListBox.h"

#include "ui/Form.h"
#include "ui/SortOrder.h"

#include <algorithm>

namespace ui {

namespace detail {

namespace {
constexpr std::size_t kBlockMax = 1024;
}

std::size_t ItemStore::blockOf(int i) const
{
    if (last_ < blocks_.size() && i >= starts_[last_] && i < starts_[last_] + int(blocks_[last_].size())) return last_;
    auto it = std::upper_bound(starts_.begin(), starts_.end(), i);
    last_ = std::size_t(it - starts_.begin()) - 1;
    return last_;
}

const ListItem& ItemStore::at(int i) const
{
    const std::size_t b = blockOf(i);
    return blocks_[b][std::size_t(i - starts_[b])];
}

ListItem& ItemStore::at(int i)
{
    const std::size_t b = blockOf(i);
    return blocks_[b][std::size_t(i - starts_[b])];
}

void ItemStore::renumberFrom(std::size_t block)
{
    starts_.resize(blocks_.size());
    int start = block == 0 ? 0 : starts_[block - 1] + int(blocks_[block - 1].size());
    for (std::size_t b = block; b < blocks_.size(); ++b) {
        starts_[b] = start;
        start += int(blocks_[b].size());
    }
}

void ItemStore::insert(int i, ListItem item)
{
    if (i == size_) {
        // Appending fills the last block and then opens a new one: no split,
        // no renumbering, blocks stay full.
        if (blocks_.empty() || blocks_.back().size() >= kBlockMax) {
            starts_.push_back(size_);
            blocks_.emplace_back();
            // A first block stays small for the many short lists.
            blocks_.back().reserve(blocks_.size() > 1 ? kBlockMax : 16);
        }
        blocks_.back().push_back(std::move(item));
        ++size_;
        return;
    }
    if (blocks_.empty()) {
        blocks_.emplace_back();
        starts_.push_back(0);
    }
    // At the end of a block rather than the start of the next, so that
    // appending always lands in the last block.
    std::size_t b = i == size_ ? blocks_.size() - 1 : blockOf(i);
    if (i != size_ && i == starts_[b] && b > 0) --b;
    auto& block = blocks_[b];
    block.insert(block.begin() + (i - starts_[b]), std::move(item));
    ++size_;
    if (block.size() > kBlockMax) {
        std::vector<ListItem> tail(std::make_move_iterator(block.begin() + kBlockMax / 2),
                                   std::make_move_iterator(block.end()));
        block.erase(block.begin() + kBlockMax / 2, block.end());
        blocks_.insert(blocks_.begin() + std::ptrdiff_t(b) + 1, std::move(tail));
    }
    renumberFrom(b);
}

void ItemStore::erase(int i)
{
    const std::size_t b = blockOf(i);
    auto& block = blocks_[b];
    block.erase(block.begin() + (i - starts_[b]));
    --size_;
    if (block.empty()) {
        blocks_.erase(blocks_.begin() + std::ptrdiff_t(b));
        starts_.erase(starts_.begin() + std::ptrdiff_t(b));
        last_ = 0;
        if (b < blocks_.size()) renumberFrom(b);
        return;
    }
    renumberFrom(b);
}

void ItemStore::eraseIf(const std::vector<bool>& drop)
{
    std::vector<std::vector<ListItem>> kept;
    std::vector<int> starts;
    int n = 0;
    int i = 0;
    for (auto& block : blocks_) {
        for (ListItem& item : block) {
            const bool gone = std::size_t(i) < drop.size() && drop[std::size_t(i)];
            ++i;
            if (gone) continue;
            if (kept.empty() || kept.back().size() >= kBlockMax) {
                starts.push_back(n);
                kept.emplace_back();
                kept.back().reserve(kBlockMax);
            }
            kept.back().push_back(std::move(item));
            ++n;
        }
    }
    blocks_ = std::move(kept);
    starts_ = std::move(starts);
    size_ = n;
    last_ = 0;
}

void ItemStore::clear()
{
    blocks_.clear();
    starts_.clear();
    size_ = 0;
    last_ = 0;
}

} // namespace detail

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
        at = items_.partition([&text](const detail::ListItem& item) { return compareSortOrder(text, item.text) < 0; });
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
    items_.insert(index, detail::ListItem{text, 0, false});
    newIndex_ = index;
    if (listIndex_ >= index) ++listIndex_;
    notify(Prop::ItemInserted, index);
}

void ListBox::appendItems(std::span<const QString> texts)
{
    if (texts.empty()) return;
    if (ownerForm().observer()) {
        for (const QString& text : texts) insertAt(listCount(), text);
        return;
    }
    // Appending never moves ListIndex.
    for (const QString& text : texts) items_.insert(items_.size(), detail::ListItem{text, 0, false});
    newIndex_ = listCount() - 1;
}

void ListBox::appendItems(std::vector<QString>&& texts)
{
    if (texts.empty()) return;
    if (ownerForm().observer()) {
        appendItems(std::span<const QString>(texts));
    } else {
        for (QString& text : texts) items_.insert(items_.size(), detail::ListItem{std::move(text), 0, false});
        newIndex_ = listCount() - 1;
    }
    texts.clear();
}

void ListBox::appendItems(std::vector<QString>&& texts, const std::vector<int>& data)
{
    if (texts.empty()) return;
    const auto dataOf = [&](std::size_t k) { return k < data.size() ? data[k] : 0; };
    if (ownerForm().observer()) {
        for (std::size_t k = 0; k < texts.size(); ++k) {
            insertAt(listCount(), texts[k]);
            setItemData(listCount() - 1, dataOf(k));
        }
    } else {
        for (std::size_t k = 0; k < texts.size(); ++k)
            items_.insert(items_.size(), detail::ListItem{std::move(texts[k]), dataOf(k), false});
        newIndex_ = listCount() - 1;
    }
    texts.clear();
}

void ListBox::appendItems(const QString& text, int count)
{
    if (count <= 0) return;
    if (ownerForm().observer()) {
        for (int k = 0; k < count; ++k) insertAt(listCount(), text);
        return;
    }
    for (int k = 0; k < count; ++k) items_.insert(items_.size(), detail::ListItem{text, 0, false});
    newIndex_ = listCount() - 1;
}

void ListBox::removeItems(const std::vector<bool>& remove)
{
    const int n = std::min(listCount(), int(remove.size()));
    int last = -1;
    for (int k = 0; k < n; ++k)
        if (remove[std::size_t(k)]) last = k;
    if (last < 0) return;
    if (ownerForm().observer()) {
        for (int k = last; k >= 0; --k)
            if (remove[std::size_t(k)]) removeItem(k);
        return;
    }
    int before = 0;   // removed items before ListIndex
    bool currentGone = false;
    for (int k = 0; k < n; ++k) {
        if (!remove[std::size_t(k)]) continue;
        if (items_.at(k).selected) --selCount_;
        if (k < listIndex_) ++before;
        else if (k == listIndex_) currentGone = true;
    }
    items_.eraseIf(remove);
    if (currentGone) listIndex_ = -1;
    else if (listIndex_ >= 0) listIndex_ -= before;
    if (topIndex_ > 0 && topIndex_ >= listCount()) topIndex_ = std::max(0, listCount() - 1);
}

void ListBox::removeItem(int index)
{
    checkIndex(index);
    if (items_.at(index).selected) --selCount_;
    items_.erase(index);
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
    return items_.at(index).text;
}

void ListBox::setList(int index, const QString& text)
{
    checkIndex(index);
    if (items_.at(index).text == text) return;
    items_.at(index).text = text;
    notify(Prop::ItemText, index);
}

int ListBox::itemData(int index) const
{
    checkIndex(index);
    return items_.at(index).data;
}

void ListBox::setItemData(int index, int data)
{
    checkIndex(index);
    if (items_.at(index).data == data) return;
    items_.at(index).data = data;
    notify(Prop::ItemData, index);
}

void ListBox::setSorted(bool on)
{
    if (detail::assign(sorted_, on)) notify(Prop::Sorted);
}

void ListBox::setMultiSelect(int mode)
{
    if (mode < None || mode > Extended) raiseInvalidValue();
    if (multiSelect_ == mode) return;
    multiSelect_ = mode;
    items_.forEachMutable([](detail::ListItem& item) { item.selected = false; });
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
    return multiSelect_ == None ? index == listIndex_ : items_.at(index).selected;
}

void ListBox::setSelected(int index, bool on)
{
    checkIndex(index);
    if (multiSelect_ == None) {
        if (on) setListIndex(index);
        else if (index == listIndex_) setListIndex(-1);
        return;
    }
    if (items_.at(index).selected == on) return;
    items_.at(index).selected = on;
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
    items_.forEach([&out](int i, const detail::ListItem& item) {
        if (item.selected) out.append(i);
    });
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
        const int at = items_.partition([&text](const detail::ListItem& item) { return compareSortOrder(item.text, text) >= 0; });
        return at < listCount() && items_.at(at).text == text ? at : -1;
    }
    int found = -1;
    items_.forEach([&](int i, const detail::ListItem& item) {
        if (found < 0 && item.text == text) found = i;
    });
    return found;
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
    items_.at(index).selected = !items_.at(index).selected;
    selCount_ += items_.at(index).selected ? 1 : -1;
    notify(Prop::Selected, index);
    if (listIndex_ != index) {
        listIndex_ = index;
        notify(Prop::ListIndex);
    }
    Click();
}

} // namespace ui
