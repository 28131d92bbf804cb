#pragma once
// The entries of one structure, from loading until the file stage has
// written their rows: entry k is its folder, its own name and its seven
// value fields. Its relative path is the folder's text (relative to the
// root, with one trailing "\"; "" for the root) followed by the name; it is
// put together only where a stage needs the whole path. Every stage reaches
// the entries through this view, so names and values never fall out of
// step. A scanned file also keeps the facts the scan read, in entry order,
// until the attribute stage has taken them.
//
// The values are kept as what they are (a size, a time, four flags: some
// tens of bytes an entry); their texts, in record order Hidden, System,
// ReadOnly, Archive ("True"/"False"), Size (at least 10 digits,
// zero-padded), Date (YYYYMMDD) and Time (HHMMSS), are made only where a
// text is needed. An entry loaded from an exported structure keeps the
// texts of its file as they were written.

#include "platform/FileSystem.h"
#include "shared/basObsoleteCompleteStructureScanner.h"

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

    int count() const;
    // The relative path of entry k (its folder's text and its name).
    QString path(int k) const;
    const QString& name(int k) const;
    int folderOf(int k) const;
    // The text of folder f: relative to the root, one trailing "\"; "" for the root.
    const QString& folderText(int f) const;
    // Whether folder f's entries came in sort order from a scan.
    bool folderInSortOrder(int f) const;
    // Whether entry k is the marker of a folder without files.
    bool isMarker(int k) const;
    // The facts the scan read for entry k; null when it has none.
    const platform::FileFacts* scannedFacts(int k) const;
    // Forgets the scan's facts (the attribute stage has taken them).
    void releaseFacts() const;
    // Lets go of entry k's name once its rows are written.
    void releaseName(int k) const;
    // Where a collection of the structure puts its entries (emptied first).
    basGlobal::StructureEntrySink& sink() const;
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

    // Forgets every entry, folder, fact and value.
    void clear() const;
    void clearFields() const;
    // Appends one entry with its texts.
    void add(QString path, const FileEntryFields& fields) const;
    // Appends the values of entries already added without them.
    void appendBlankValues(int count) const;
    void appendMarkerValues() const;
    void appendFactValues(const platform::FileFacts& facts) const;
    // Takes out every entry k with remove[k] true, in one pass.
    void removeEntries(const std::vector<bool>& remove) const;
    // Frees the values and their texts (part of clear()).
    void releaseValues() const;

private:
    int m_structure;
};

// True for the entry of a folder without files ("Docs\Empty\" and the
// marker): the marker is a whole last name after a "\", so a file of the
// root is never one, and a real name holding the marker's characters is
// not one either, because logical names carry " as a private-use character.
bool IsMarkerEntry(QStringView relativePath);

// The texts of a file's facts, as the attribute stage makes them.
FileEntryFields EntryFieldsFromFacts(const platform::FileFacts& facts);

} // namespace compare
