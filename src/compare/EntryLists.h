#pragma once
// The eight working lists of one structure as one typed view: item k of all
// eight is one entry (its relative path and seven value texts), from the end
// of loading until the folder stage consumes them. Every stage reaches the
// lists through this view, so the eight never fall out of step.

#include "shared/frmHiddenForm.h"

#include <QString>

#include <array>
#include <vector>

namespace compare {

// The value fields of an entry, in record order (list order after the path).
enum EntryField : int { efHidden, efSystem, efReadOnly, efArchive, efSize, efDate, efTime };
inline constexpr int kEntryFields = 7;

class EntryLists {
public:
    // The lists of structure 0 (Primary) or 1 (Secondary).
    explicit EntryLists(int structure);

    ui::ListBox& paths() const { return *m_paths; }
    ui::ListBox& field(int f) const { return *m_fields[std::size_t(f)]; }
    const QString& path(int k) const { return m_paths->list(k); }
    const QString& text(int f, int k) const { return m_fields[std::size_t(f)]->list(k); }
    int count() const { return m_paths->listCount(); }

    // The eight lists, path first.
    std::array<ui::ListBox*, 8> all() const;

    void clear() const;
    void clearFields() const;
    // Appends one entry.
    void add(const QString& path, const std::array<QString, kEntryFields>& fields) const;
    // Appends `count` entries' worth of the same text to every value list.
    void appendFieldTexts(const QString& text, int count) const;
    // Takes out every entry k with remove[k] true, in one pass per list.
    void removeEntries(const std::vector<bool>& remove) const;

private:
    ui::ListBox* m_paths;
    std::array<ui::ListBox*, kEntryFields> m_fields;
};

} // namespace compare
