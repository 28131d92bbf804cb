#include "compare/EntryLists.h"

#include "shared/FileFacts.h"
#include "shared/basObsoleteCompleteStructureScanner.h"

#include <algorithm>

namespace compare {

namespace {

// What an entry's fact index holds besides an index into the facts.
constexpr qint32 kNoFacts = -1;
constexpr qint32 kMarker = -2;   // the empty-folder marker (it has no facts)

struct Entry {
    QString name;
    qint32 folder = 0;
    qint32 fact = kNoFacts;
};

struct ValueStore;

// A collection's entries straight into the store.
class ScanSink final : public basGlobal::StructureEntrySink {
public:
    explicit ScanSink(ValueStore& s) : m_store(s) {}
    void clear() override;
    void expect(std::size_t files, std::size_t folders) override;
    void beginFolder(const QString& relativePrefix) override;
    void addFile(platform::DirEntry&& file) override;
    void addMarker() override;

private:
    ValueStore& m_store;
};

struct ValueStore {
    std::vector<QString> folders;
    std::vector<bool> folderSorted;   // its entries came in sort order
    std::vector<Entry> entries;
    std::vector<platform::FileFacts> facts;   // of scanned files, in scan order
    std::vector<EntryValues> values;
    std::vector<FileEntryFields> texts;   // of the Texts entries
    ScanSink sink{*this};

    // The folder of an entry added by its path: the last one when the
    // texts agree (the entries of a folder come together), else a new one.
    qint32 folderFor(QStringView text)
    {
        if (folders.empty() || QStringView(folders.back()) != text) {
            folders.push_back(text.toString());
            folderSorted.push_back(false);
        } else {
            folderSorted.back() = false;
        }
        return qint32(folders.size() - 1);
    }
    // The path's own text becomes the name (no copy of an unshared path).
    void addPath(QString path)
    {
        const qsizetype cut = path.lastIndexOf(u'\\');
        Entry e;
        e.folder = folderFor(cut < 0 ? QStringView() : QStringView(path).left(cut + 1));
        e.fact = IsMarkerEntry(path) ? kMarker : kNoFacts;
        if (cut >= 0)
            path.remove(0, cut + 1);
        e.name = std::move(path);
        entries.push_back(std::move(e));
    }
};

void ScanSink::clear()
{
    std::vector<Entry>().swap(m_store.entries);
    std::vector<QString>().swap(m_store.folders);
    std::vector<bool>().swap(m_store.folderSorted);
    std::vector<platform::FileFacts>().swap(m_store.facts);
}

void ScanSink::expect(std::size_t files, std::size_t folders)
{
    m_store.entries.reserve(files + folders);
    m_store.folders.reserve(folders + 1);
    m_store.folderSorted.reserve(folders + 1);
    m_store.facts.reserve(files);
}

void ScanSink::beginFolder(const QString& relativePrefix)
{
    m_store.folders.push_back(relativePrefix);
    m_store.folderSorted.push_back(true);   // a collection lists a folder's files in sort order
}

void ScanSink::addFile(platform::DirEntry&& file)
{
    m_store.entries.push_back({std::move(file.name), qint32(m_store.folders.size() - 1), qint32(m_store.facts.size())});
    m_store.facts.push_back(file.facts);
}

void ScanSink::addMarker()
{
    m_store.entries.push_back({basGlobal::EmptyFolderMarker, qint32(m_store.folders.size() - 1), kMarker});
}

ValueStore& store(int structure)
{
    static std::array<ValueStore, 2> stores;
    return stores.at(std::size_t(structure));
}

const QString& blankText()
{
    static const QString blank = QStringLiteral(" ");
    return blank;
}

const QString& flagText(bool on)
{
    static const QString yes = QStringLiteral("True"), no = QStringLiteral("False");
    return on ? yes : no;
}

// Writes `value` as `width` digits (more when it needs them) at `out`;
// returns the position after them.
QChar* putDigits(QChar* out, int value, int width)
{
    if (value < 0) {   // not a date or time part any clock gives; kept as the number reads
        const QString text = QString::number(value).rightJustified(width, u'0');
        return std::copy(text.cbegin(), text.cend(), out);
    }
    char16_t buffer[12];
    int n = 0;
    do {
        buffer[n++] = char16_t(u'0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (n < width)
        buffer[n++] = u'0';
    while (n > 0)
        *out++ = QChar(buffer[--n]);
    return out;
}

QString joinDigits(int a, int wa, int b, int wb, int c, int wc)
{
    QChar buffer[48];
    QChar* end = putDigits(putDigits(putDigits(buffer, a, wa), b, wb), c, wc);
    return QString(buffer, end - buffer);
}

// The size as written: at least 10 digits, zero-padded; a negative size as 0.
qsizetype sizeLength(qint64 size)
{
    qsizetype n = 0;
    for (size = std::max<qint64>(size, 0); size > 0; size /= 10)
        ++n;
    return std::max<qsizetype>(n, 10);
}

bool fitsFacts(const platform::LocalDateTime& m)
{
    for (const int part : {m.month, m.day, m.hour, m.minute, m.second})
        if (part < 0 || part > 99)
            return false;
    return m.year >= 0 && m.year <= 9999;
}

QString factText(const EntryValues& v, int f)
{
    switch (f) {
    case efHidden: return flagText(v.flags & 1);
    case efSystem: return flagText(v.flags & 2);
    case efReadOnly: return flagText(v.flags & 4);
    case efArchive: return flagText(v.flags & 8);
    case efSize: return basGlobal::FormatSizeText(std::max<qint64>(v.size, 0));
    case efDate: return joinDigits(v.year, 4, v.month, 2, v.day, 2);
    default: return joinDigits(v.hour, 2, v.minute, 2, v.second, 2);
    }
}

QString valueText(const ValueStore& s, const EntryValues& v, int f)
{
    switch (v.kind) {
    case EntryValues::Blank: return blankText();
    case EntryValues::Marker: return basGlobal::EmptyFolderMarker;
    case EntryValues::Facts: return factText(v, f);
    case EntryValues::Texts: return s.texts[std::size_t(v.year)][std::size_t(f)];
    }
    return QString();
}

} // namespace

bool IsMarkerEntry(QStringView relativePath)
{
    const QString& m = basGlobal::EmptyFolderMarker;
    return relativePath.size() > m.size() && relativePath.endsWith(m)
           && relativePath[relativePath.size() - m.size() - 1] == u'\\';
}

FileEntryFields EntryFieldsFromFacts(const platform::FileFacts& facts)
{
    const platform::LocalDateTime& m = facts.modified;
    return {flagText(facts.hidden),
            flagText(facts.system),
            flagText(facts.readOnly),
            flagText(facts.archive),
            basGlobal::FormatSizeText(facts.size < 0 ? 0 : facts.size),
            joinDigits(m.year, 4, m.month, 2, m.day, 2),
            joinDigits(m.hour, 2, m.minute, 2, m.second, 2)};
}

EntryLists::EntryLists(int i) : m_structure(i) { store(i); }

int EntryLists::count() const { return int(store(m_structure).entries.size()); }

QString EntryLists::path(int k) const
{
    const ValueStore& s = store(m_structure);
    const Entry& e = s.entries[std::size_t(k)];
    const QString& folder = s.folders[std::size_t(e.folder)];
    if (folder.isEmpty())
        return e.name;
    QString path(folder.size() + e.name.size(), Qt::Uninitialized);
    std::copy_n(e.name.constData(), e.name.size(), std::copy_n(folder.constData(), folder.size(), path.data()));
    return path;
}

const QString& EntryLists::name(int k) const { return store(m_structure).entries[std::size_t(k)].name; }

int EntryLists::folderOf(int k) const { return store(m_structure).entries[std::size_t(k)].folder; }

const QString& EntryLists::folderText(int f) const { return store(m_structure).folders[std::size_t(f)]; }

bool EntryLists::folderInSortOrder(int f) const { return store(m_structure).folderSorted[std::size_t(f)]; }

bool EntryLists::isMarker(int k) const { return store(m_structure).entries[std::size_t(k)].fact == kMarker; }

const platform::FileFacts* EntryLists::scannedFacts(int k) const
{
    const ValueStore& s = store(m_structure);
    const qint32 f = s.entries[std::size_t(k)].fact;
    return f >= 0 && std::size_t(f) < s.facts.size() ? &s.facts[std::size_t(f)] : nullptr;
}

void EntryLists::releaseFacts() const { std::vector<platform::FileFacts>().swap(store(m_structure).facts); }

void EntryLists::releaseName(int k) const { store(m_structure).entries[std::size_t(k)].name = QString(); }

basGlobal::StructureEntrySink& EntryLists::sink() const { return store(m_structure).sink; }

const EntryValues& EntryLists::values(int k) const { return store(m_structure).values[std::size_t(k)]; }

int EntryLists::valueCount() const { return int(store(m_structure).values.size()); }

QString EntryLists::text(int f, int k) const
{
    const ValueStore& s = store(m_structure);
    return valueText(s, s.values[std::size_t(k)], f);
}

std::array<QString, 4> EntryLists::flagTexts(int k) const
{
    return {text(efHidden, k), text(efSystem, k), text(efReadOnly, k), text(efArchive, k)};
}

bool EntryLists::sameSizeDateTime(int k, const EntryLists& other, int j) const
{
    const EntryValues& a = store(m_structure).values[std::size_t(k)];
    const EntryValues& b = store(other.m_structure).values[std::size_t(j)];
    if (a.kind == EntryValues::Facts && b.kind == EntryValues::Facts)
        return std::max<qint64>(a.size, 0) == std::max<qint64>(b.size, 0) && a.year == b.year && a.month == b.month
               && a.day == b.day && a.hour == b.hour && a.minute == b.minute && a.second == b.second;
    if (a.kind == b.kind && a.kind != EntryValues::Texts)
        return true;
    for (const int f : {efSize, efDate, efTime})
        if (text(f, k) != other.text(f, j))
            return false;
    return true;
}

QString EntryLists::fileLine(const QString& name, int k) const
{
    const ValueStore& s = store(m_structure);
    const EntryValues& v = s.values[std::size_t(k)];
    if (v.kind != EntryValues::Facts) {
        FileEntryFields fields;
        qsizetype length = name.size() + kEntryFields;
        for (int f = 0; f < kEntryFields; ++f)
            length += (fields[std::size_t(f)] = valueText(s, v, f)).size();
        QString line;
        line.reserve(length);
        line += name;
        for (const QString& field : fields) {
            line += QLatin1Char('|');
            line += field;
        }
        return line;
    }
    // The fields go into a buffer, then name and fields into the line in
    // one allocation: this runs once for every file of both structures.
    QChar buffer[96];
    QChar* out = buffer;
    for (int f = efHidden; f <= efArchive; ++f) {
        *out++ = QLatin1Char('|');
        for (const char* t = v.flags & (1 << f) ? "True" : "False"; *t; ++t)
            *out++ = QLatin1Char(*t);
    }
    *out++ = QLatin1Char('|');
    qint64 size = std::max<qint64>(v.size, 0);
    const qsizetype digits = sizeLength(size);
    for (qsizetype d = digits - 1; d >= 0; --d, size /= 10)
        out[d] = QChar(char16_t(u'0' + size % 10));
    out += digits;
    *out++ = QLatin1Char('|');
    out = putDigits(putDigits(putDigits(out, v.year, 4), v.month, 2), v.day, 2);
    *out++ = QLatin1Char('|');
    out = putDigits(putDigits(putDigits(out, v.hour, 2), v.minute, 2), v.second, 2);
    QString line(name.size() + (out - buffer), Qt::Uninitialized);
    QChar* to = std::copy_n(name.constData(), name.size(), line.data());
    std::copy(buffer, out, to);
    return line;
}

void EntryLists::clear() const
{
    store(m_structure).sink.clear();
    releaseValues();
}

void EntryLists::clearFields() const
{
    ValueStore& s = store(m_structure);
    s.values.clear();
    s.texts.clear();
}

void EntryLists::releaseValues() const
{
    ValueStore& s = store(m_structure);
    std::vector<EntryValues>().swap(s.values);
    std::vector<FileEntryFields>().swap(s.texts);
}

void EntryLists::add(QString path, const FileEntryFields& fields) const
{
    ValueStore& s = store(m_structure);
    s.addPath(std::move(path));
    EntryValues v;
    v.kind = EntryValues::Texts;
    v.year = qint32(s.texts.size());
    s.texts.push_back(fields);
    s.values.push_back(v);
}

void EntryLists::appendBlankValues(int count) const
{
    std::vector<EntryValues>& values = store(m_structure).values;
    values.insert(values.end(), std::size_t(std::max(count, 0)), EntryValues{});
}

void EntryLists::appendMarkerValues() const
{
    EntryValues v;
    v.kind = EntryValues::Marker;
    store(m_structure).values.push_back(v);
}

void EntryLists::appendFactValues(const platform::FileFacts& facts) const
{
    ValueStore& s = store(m_structure);
    const platform::LocalDateTime& m = facts.modified;
    EntryValues v;
    if (!fitsFacts(m)) {   // kept as its texts, whatever they read
        v.kind = EntryValues::Texts;
        v.year = qint32(s.texts.size());
        s.texts.push_back(EntryFieldsFromFacts(facts));
        s.values.push_back(v);
        return;
    }
    v.kind = EntryValues::Facts;
    v.size = facts.size;
    v.year = m.year;
    v.month = quint8(m.month);
    v.day = quint8(m.day);
    v.hour = quint8(m.hour);
    v.minute = quint8(m.minute);
    v.second = quint8(m.second);
    v.flags = quint8((facts.hidden ? 1 : 0) | (facts.system ? 2 : 0) | (facts.readOnly ? 4 : 0) | (facts.archive ? 8 : 0));
    s.values.push_back(v);
}

void EntryLists::removeEntries(const std::vector<bool>& remove) const
{
    ValueStore& s = store(m_structure);
    std::size_t out = 0;
    for (std::size_t k = 0; k < s.entries.size(); ++k)
        if (k >= remove.size() || !remove[k])
            s.entries[out++] = std::move(s.entries[k]);
    s.entries.resize(out);
    std::vector<EntryValues>& values = s.values;
    out = 0;
    for (std::size_t k = 0; k < values.size(); ++k)
        if (k >= remove.size() || !remove[k])
            values[out++] = values[k];
    values.resize(out);
}

} // namespace compare
