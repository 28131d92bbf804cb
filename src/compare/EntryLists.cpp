#include "compare/EntryLists.h"

namespace compare {

EntryLists::EntryLists(int i)
{
    basGlobal::frmHiddenForm& h = basGlobal::HiddenForm();
    m_paths = h.lstFinalListBox[i];
    m_fields = {h.lstHidden[i], h.lstSystem[i], h.lstReadOnly[i], h.lstArchive[i], h.lstSize[i], h.lstDate[i], h.lstTime[i]};
}

std::array<ui::ListBox*, 8> EntryLists::all() const
{
    return {m_paths,     m_fields[0], m_fields[1], m_fields[2],
            m_fields[3], m_fields[4], m_fields[5], m_fields[6]};
}

void EntryLists::clear() const
{
    m_paths->clear();
    clearFields();
}

void EntryLists::clearFields() const
{
    for (ui::ListBox* list : m_fields)
        list->clear();
}

void EntryLists::add(const QString& path, const std::array<QString, kEntryFields>& fields) const
{
    m_paths->addItem(path);
    for (int f = 0; f < kEntryFields; ++f)
        m_fields[std::size_t(f)]->addItem(fields[std::size_t(f)]);
}

void EntryLists::appendFieldTexts(const QString& text, int count) const
{
    for (ui::ListBox* list : m_fields)
        list->appendItems(text, count);
}

void EntryLists::removeEntries(const std::vector<bool>& remove) const
{
    for (ui::ListBox* list : all())
        list->removeItems(remove);
}

} // namespace compare
