#pragma once
// The entries of one structure, from the end of loading until the folder
// stage consumes them: item k of the path list (lstFinalListBox) and value
// k of the structure's value store are one entry, its relative path and
// its seven value fields. Every stage reaches the entries through this
// view, so paths and values never fall out of step.
//
// The values are kept as what they are (a size, a time, four flags: some
// tens of bytes an entry); their texts, in record order Hidden, System,
// ReadOnly, Archive ("True"/"False"), Size (at least 10 digits,
// zero-padded), Date (YYYYMMDD) and Time (HHMMSS), are made only where a
// text is needed. An entry loaded from an exported structure keeps the
// texts of its file as they were written.

#include "platform/FileSystem.h"
#include "shared/frmHiddenForm.h"

#include <QString>

#include <array>
#include <vector>

namespace compare {

// The value fields of an entry, in record order.
enum EntryField : int { efHidden, efSystem, efReadOnly, efArchive, efSize, efDate, efTime };
inline constexpr int kEntryFields = 7;

// The seven texts of one entry, in record order.
using FileEntryFields = std::array<QString, kEntryFields>;

// The values of one entry.
struct EntryValues {
    enum Kind : quint8 {
        Blank,    // a single blank in every field (loaded, not yet collected)
        Marker,   // the empty-folder marker in every field
        Facts,    // a file's facts, below
        Texts,    // texts kept as given: `year` indexes the store's texts
    };
    qint64 size = 0;
    qint32 year = 0;
    quint8 month = 0, day = 0, hour = 0, minute = 0, second = 0;
    quint8 flags = 0;   // hidden 1, system 2, read-only 4, archive 8
    Kind kind = Blank;
};

class EntryLists {
public:
    // The entries of structure 0 (Primary) or 1 (Secondary).
    explicit EntryLists(int structure);

    ui::ListBox& paths() const { return *m_paths; }
    const QString& path(int k) const { return m_paths->list(k); }
    int count() const { return m_paths->listCount(); }
    // Entries whose values are loaded (count() once loading is done).
    int valueCount() const;
    const EntryValues& values(int k) const;
    // Field f of entry k as text.
    QString text(int f, int k) const;
    // The four attribute flags of entry k (hidden, system, read-only,
    // archive) as texts.
    std::array<QString, 4> flagTexts(int k) const;
    // Whether size, date and time of entry k read as those of entry j of
    // `other`.
    bool sameSizeDateTime(int k, const EntryLists& other, int j) const;
    // The file row of entry k: `name`, then "|" and each field.
    QString fileLine(const QString& name, int k) const;

    void clear() const;
    void clearFields() const;
    // Appends one entry with its texts.
    void add(const QString& path, const FileEntryFields& fields) const;
    // Appends the values of entries already in the path list.
    void appendBlankValues(int count) const;
    void appendMarkerValues() const;
    void appendFactValues(const platform::FileFacts& facts) const;
    // Takes out every entry k with remove[k] true, in one pass.
    void removeEntries(const std::vector<bool>& remove) const;
    // Frees the values (the folder stage has taken what it needs).
    void releaseValues() const;

private:
    int m_structure;
    ui::ListBox* m_paths;
};

// The texts of a file's facts, as the attribute stage makes them.
FileEntryFields EntryFieldsFromFacts(const platform::FileFacts& facts);

} // namespace compare
