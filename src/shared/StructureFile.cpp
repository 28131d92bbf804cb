#include "shared/StructureFile.h"

#include "platform/AppError.h"
#include "platform/Drives.h"
#include "platform/TextDecoding.h"
#include "shared/FileFacts.h"
#include "shared/PathText.h"
#include "shared/basObsoleteCompleteStructureScanner.h"
#include "ui/SortOrder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <array>
#include <optional>
#include <span>

namespace basGlobal {

namespace {

constexpr qsizetype kChunk = 1 << 20;
constexpr QByteArrayView kMarker = "\"NULL\"";
// Comparisons and moves of the ordering between two calls of its hook.
constexpr std::size_t kOrderingStep = 4096;

QByteArrayView trimBlanks(QByteArrayView s)
{
    qsizetype a = 0, b = s.size();
    while (a < b && s[a] == ' ') ++a;
    while (b > a && s[b - 1] == ' ') --b;
    return s.sliced(a, b - a);
}

bool upperEquals(QByteArrayView s, QByteArrayView upper)
{
    if (s.size() != upper.size())
        return false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c != upper[i])
            return false;
    }
    return true;
}

// Digits of `width` (more when the value needs them), zero-padded.
void putNumber(QString& out, qint64 value, int width)
{
    const QString digits = QString::number(value);
    for (qsizetype k = digits.size(); k < width; ++k) out += u'0';
    out += digits;
}

// Lines of a file, bounded in length, split at CR LF, CR or LF.
class LineSource {
public:
    enum class Next { Line, End, TooLong };

    Long open(const QString& logicalFile)
    {
        const auto native = platform::toNative(logicalFile);
        if (!native)
            return platform::errPathNotFound;
        const QFileInfo info(*native);
        if (info.isDir())
            return platform::errPathFileAccess;
        if (!info.exists())
            return info.dir().exists() ? platform::errFileNotFound : platform::errPathNotFound;
        if (!info.isFile())
            return platform::errPathFileAccess;   // a FIFO or device is never opened
        m_file.setFileName(*native);
        if (!m_file.open(QIODevice::ReadOnly))
            return m_file.error() == QFileDevice::PermissionsError ? platform::errPermissionDenied
                                                                   : platform::errPathFileAccess;
        return 0;
    }

    // The next line, valid until the next call.
    Next next(QByteArrayView& line)
    {
        for (;;) {
            const char* d = m_buffer.constData();
            const qsizetype n = m_buffer.size();
            qsizetype i = m_scan;
            while (i < n && d[i] != '\r' && d[i] != '\n') ++i;
            if (i - m_pos > kStructureLineLimit)
                return Next::TooLong;
            if (i < n) {
                if (d[i] == '\r' && i + 1 == n && !m_eof) {
                    m_scan = i;   // CR LF may straddle the next read
                    fill();
                    continue;
                }
                line = QByteArrayView(d + m_pos, i - m_pos);
                qsizetype after = i + 1;
                if (d[i] == '\r' && after < n && d[after] == '\n') ++after;
                m_pos = m_scan = after;
                return Next::Line;
            }
            m_scan = n;
            if (!fill()) {
                if (m_pos >= m_buffer.size())
                    return Next::End;
                line = QByteArrayView(m_buffer.constData() + m_pos, m_buffer.size() - m_pos);
                m_pos = m_scan = m_buffer.size();
                return Next::Line;
            }
        }
    }

private:
    bool fill()
    {
        if (m_eof)
            return false;
        if (m_pos > 0) {
            m_buffer.remove(0, m_pos);
            m_scan -= m_pos;
            m_pos = 0;
        }
        QByteArray raw = m_file.read(kChunk);
        if (m_first) {
            m_first = false;
            if (raw.startsWith("\xEF\xBB\xBF")) {
                raw.remove(0, 3);
            } else if (raw.startsWith("\xFF\xFE") || raw.startsWith("\xFE\xFF")) {
                m_utf16.emplace(raw.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
                raw.remove(0, 2);
            }
        }
        if (raw.isEmpty()) {
            m_eof = true;
            return false;
        }
        if (m_utf16)
            raw = QString((*m_utf16)(raw)).toUtf8();
        m_buffer.append(raw);
        return true;
    }

    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qsizetype m_scan = 0;
    bool m_eof = false;
    bool m_first = true;
    std::optional<QStringDecoder> m_utf16;
};

const QString& flagTrue() { static const QString s = QStringLiteral("True"); return s; }
const QString& flagFalse() { static const QString s = QStringLiteral("False"); return s; }

QString decode(QByteArrayView line)
{
    for (const char c : line)
        if (c & 0x80)
            return platform::decodeText(line.toByteArray());
    return QString::fromLatin1(line);
}

// A relative path's components are names: none empty, "." or "..".
bool componentsAreNames(QStringView rel)
{
    if (rel.isEmpty())
        return false;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = rel.indexOf(u'\\', start);
        const QStringView part = rel.sliced(start, (end < 0 ? rel.size() : end) - start);
        if (part.isEmpty() || part == u"." || part == u"..")
            return false;
        if (end < 0)
            return true;
        start = end + 1;
    }
}

// A stable merge sort of `items` by `less` that asks `going` after every
// comparison and move; false when it said stop (the items are then in no
// particular order). Items already in order are left as they are.
template <class Less, class Going>
bool mergeSort(std::span<std::uint32_t> items, std::vector<std::uint32_t>& buffer, const Less& less, const Going& going)
{
    const std::size_t n = items.size();
    bool ordered = true;
    for (std::size_t k = 1; k < n && ordered; ++k) {
        ordered = !less(items[k], items[k - 1]);
        if (!going()) return false;
    }
    if (ordered)
        return true;
    buffer.resize(std::max(buffer.size(), n));
    std::span<std::uint32_t> from = items, to(buffer.data(), n);
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
            std::size_t a = lo, b = mid, out = lo;
            while (a < mid || b < hi) {
                // Equal items keep their order: the left run's first.
                to[out++] = (b == hi || (a < mid && !less(from[b], from[a]))) ? from[a++] : from[b++];
                if (!going()) return false;
            }
        }
        std::swap(from, to);
    }
    if (from.data() != items.data())
        std::copy(from.begin(), from.end(), items.begin());
    return true;
}

// The texts of the case-blind rule: each unit (or surrogate pair) upper-cased
// on its own, exactly as vb::UCase maps a whole string, so that two paths
// are the same here exactly when their upper-cased texts are equal.
void upperInto(QStringView s, std::vector<char16_t>& out)
{
    const qsizetype n = s.size();
    out.resize(std::size_t(n));
    const char16_t* p = s.utf16();
    char16_t* q = out.data();
    // Mostly ASCII: four units at a time, a lane's 0x20 bit flipped where
    // it holds a to z (no lane below 0x80 carries into the next).
    constexpr std::uint64_t lanes = 0x0001000100010001u;
    qsizetype i = 0;
    for (; i + 4 <= n; i += 4) {
        std::uint64_t w;
        std::memcpy(&w, p + i, sizeof w);
        if (w & (0xFF80 * lanes))
            break;
        const std::uint64_t fromA = w + (0x80 - u'a') * lanes, pastZ = w + (0x80 - u'z' - 1) * lanes;
        w ^= ((fromA & ~pastZ) & (0x80 * lanes)) >> 2;
        std::memcpy(q + i, &w, sizeof w);
    }
    for (; i < n; ++i) {
        const char16_t u = p[i];
        if (u < 0x80) {
            q[i] = char16_t(u - (u >= u'a' && u <= u'z' ? 32 : 0));
        } else if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            const char32_t m = QChar::toUpper(QChar::surrogateToUcs4(u, p[i + 1]));
            const bool pair = QChar::requiresSurrogates(m);
            q[i] = pair ? QChar::highSurrogate(m) : u;
            q[i + 1] = pair ? QChar::lowSurrogate(m) : p[i + 1];
            ++i;
        } else {
            const char32_t m = QChar::toUpper(char32_t(u));
            q[i] = QChar::requiresSurrogates(m) ? u : char16_t(m);
        }
    }
}

// Whether a record clashes with the records before it. The paths below the
// root are its keys, under the volume's case rule. A key is never copied:
// the tables hold the record it comes from (and, for a folder, its length)
// with 32 bits of its hash, and only a hash that matches is compared with
// the record's own path. Each folder keeps the names in it, of its files
// and of the folders below it, in a table of its own, so that the files of
// one folder, which mostly come one after another, are looked up in memory
// that was just used, and one look-up there finds the same path twice and
// a file named like a folder alike: a table of all paths would be read at
// random, at a cost in waits for memory as large as the rest of the check.
// A million files cost about 20 MB.
class ClashCheck final : public StructureRecordCheck {
public:
    // Frees the tables (a parse that ended needs them no more).
    void release() override
    {
        m_folders = {};
        m_rootFiles = {};
        m_fileSets = {};
        std::vector<std::unique_ptr<FileSlot[]>>().swap(m_blocks);
        m_free = {};
        m_block = nullptr;
        m_blockUsed = kBlockSlots;
        m_lastFolder = nullptr;
    }

    void start(const std::vector<StructureFileRecord>& records, qsizetype rootSize, bool caseSensitive) override
    {
        m_records = &records;
        m_rootSize = rootSize;
        m_caseSensitive = caseSensitive;
        m_seed = QHashSeed::globalSeed();
        m_folders.reset(64);
        m_fileSets.clear();
        m_blocks.clear();
        m_free = {};
        m_block = nullptr;
        m_blockUsed = kBlockSlots;
        resetFiles(m_rootFiles, 16);
        m_lastFolder = nullptr;
    }

    // Record `k` (the last one read) against those before it, entered in
    // the tables (a parse ends at its first clash, so what a clashing
    // record left in them never matters).
    StructureFileFault add(std::size_t record) override
    {
        const std::uint32_t k = std::uint32_t(record);   // a file holds fewer than 2^31 records
        const StructureFileRecord& r = (*m_records)[k];
        const QStringView key = textOf(QStringView(r.path).sliced(m_rootSize), m_key);
        const std::uint32_t keyTag = tagOf(qHash(key, m_seed));
        // The record's folder ends here: a marker's own, a file's parent.
        qsizetype cut = key.size() - (r.emptyFolder ? EmptyFolderMarker.size() + 1 : 1);
        while (!r.emptyFolder && cut >= 0 && key[cut] != u'\\') --cut;
        const QStringView folder = key.first(std::max<qsizetype>(cut, 0));
        // Files mostly follow others of their folder.
        FolderSlot* seen = nullptr;
        if (cut >= 0) {
            seen = m_lastFolder && folder == QStringView(m_lastFolderKey.data(), qsizetype(m_lastFolderKey.size()))
                       ? m_lastFolder
                       : find(m_folders, tagOf(qHash(folder, m_seed)), folder);
        }
        // A file's name among the names its folder had: the same path twice,
        // or a folder's. A folder not met before has neither.
        if (!r.emptyFolder && (cut < 0 || seen->record)) {
            if (const FileSlot* same = find(cut < 0 ? m_rootFiles : m_fileSets[seen->fileSet - 1], keyTag, key); same->record)
                return same->record & kFolderEntry ? StructureFileFault::FileAndFolder : StructureFileFault::DuplicatePath;
        }
        if (cut >= 0 && !seen->record) {
            // A folder not met before, and those above it not met before:
            // each is entered among the names of the folder above it, where
            // a file of the same name would be.
            std::uint32_t aboveSet = 0;   // the root's names
            for (qsizetype at = key.indexOf(u'\\'); at >= 0 && at <= cut; at = key.indexOf(u'\\', at + 1)) {
                const QStringView above = key.first(at);
                const std::uint32_t tag = tagOf(qHash(above, m_seed));
                FolderSlot* slot = find(m_folders, tag, above);
                if (slot->record) {
                    aboveSet = slot->fileSet;
                    continue;
                }
                FileTable& names = aboveSet ? m_fileSets[aboveSet - 1] : m_rootFiles;
                FileSlot* name = find(names, tag, above);
                if (name->record)
                    return StructureFileFault::FileAndFolder;   // a folder met would have been found
                *name = FileSlot{tag, (k + 1) | kFolderEntry};
                grewFiles(names);
                resetFiles(m_fileSets.emplace_back(), 16);   // a folder holds some twenty names, often
                aboveSet = std::uint32_t(m_fileSets.size());
                *slot = FolderSlot{tag, k + 1, std::uint32_t(at), false, false, aboveSet};
                if (m_folders.grew())
                    m_lastFolder = nullptr;
            }
            seen = find(m_folders, tagOf(qHash(folder, m_seed)), folder);
        }
        if (!r.emptyFolder && cut < 0) {
            *find(m_rootFiles, keyTag, key) = FileSlot{keyTag, k + 1};
            grewFiles(m_rootFiles);
            return StructureFileFault::None;   // a file of the root
        }
        if (seen != m_lastFolder) {
            m_lastFolder = seen;
            m_lastFolderKey.assign(folder.utf16(), folder.utf16() + folder.size());
        }
        if (r.emptyFolder && seen->marker)
            return StructureFileFault::DuplicatePath;
        if (r.emptyFolder ? seen->files : seen->marker)
            return StructureFileFault::MarkerBesideFiles;
        if (r.emptyFolder) {
            seen->marker = true;
            return StructureFileFault::None;
        }
        seen->files = true;
        FileTable& files = m_fileSets[seen->fileSet - 1];
        *find(files, keyTag, key) = FileSlot{keyTag, k + 1};
        grewFiles(files);
        return StructureFileFault::None;
    }

private:
    // `record` is the record's number plus 1; 0 marks a free slot. A name
    // of a folder's files is that file's record; a name of a folder below
    // it is the record that first named that folder, marked kFolderEntry.
    struct FileSlot {
        std::uint32_t tag;
        std::uint32_t record;
    };
    static constexpr std::uint32_t kFolderEntry = std::uint32_t(1) << 31;   // beyond any record's number
    struct FolderSlot {
        std::uint32_t tag;
        std::uint32_t record;
        std::uint32_t size : 30;
        bool marker : 1;
        bool files : 1;
        std::uint32_t fileSet;   // the names in the folder: m_fileSets[fileSet - 1]
        qsizetype length(const ClashCheck&) const { return size; }
    };
    // Open addressing with linear probing from the tag's low bits; at most
    // three quarters full.
    template <class Slot>
    struct Table {
        std::vector<Slot> cells;
        std::size_t mask = 0;
        std::size_t count = 0;
        void reset(std::size_t capacity)
        {
            cells.assign(capacity, Slot{});
            mask = capacity - 1;
            count = 0;
        }
        // After a slot was filled: a larger table when it is full enough.
        bool grew()
        {
            if (++count * 4 <= cells.size() * 3)
                return false;
            std::vector<Slot> old(cells.size() * 2, Slot{});
            old.swap(cells);
            mask = cells.size() - 1;
            for (const Slot& s : old) {
                if (!s.record)
                    continue;
                std::size_t i = s.tag & mask;
                while (cells[i].record) i = (i + 1) & mask;
                cells[i] = s;
            }
            return true;
        }
    };

    // A folder's files. The tables of all folders share a few large blocks,
    // and a table that grew leaves its slots to the next folder's: tens of
    // thousands of small tables of their own would cost more in the
    // allocator, and in its untidy heap for the records, than their use.
    struct FileTable {
        FileSlot* cells = nullptr;
        std::size_t mask = 0;
        std::size_t count = 0;
    };
    static constexpr std::size_t kBlockSlots = std::size_t(1) << 15;

    FileSlot* takeSlots(std::size_t capacity)
    {
        const int shift = std::countr_zero(capacity);
        FileSlot* cells = nullptr;
        if (!m_free[std::size_t(shift)].empty()) {
            cells = m_free[std::size_t(shift)].back();
            m_free[std::size_t(shift)].pop_back();
        } else if (capacity > kBlockSlots / 4) {
            cells = m_blocks.emplace_back(std::make_unique<FileSlot[]>(capacity)).get();   // a table of its own
        } else {
            if (m_blockUsed + capacity > kBlockSlots) {
                m_block = m_blocks.emplace_back(std::make_unique<FileSlot[]>(kBlockSlots)).get();
                m_blockUsed = 0;
            }
            cells = m_block + m_blockUsed;
            m_blockUsed += capacity;
        }
        std::fill(cells, cells + capacity, FileSlot{});
        return cells;
    }

    void resetFiles(FileTable& t, std::size_t capacity)
    {
        t.cells = takeSlots(capacity);
        t.mask = capacity - 1;
        t.count = 0;
    }

    // After a slot was filled: a larger table when it is full enough.
    void grewFiles(FileTable& t)
    {
        if (++t.count * 4 <= (t.mask + 1) * 3)
            return;
        FileSlot* const old = t.cells;
        const std::size_t oldSize = t.mask + 1;
        t.cells = takeSlots(oldSize * 2);
        t.mask = oldSize * 2 - 1;
        for (std::size_t j = 0; j < oldSize; ++j) {
            const FileSlot& s = old[j];
            if (!s.record)
                continue;
            std::size_t i = s.tag & t.mask;
            while (t.cells[i].record) i = (i + 1) & t.mask;
            t.cells[i] = s;
        }
        m_free[std::size_t(std::countr_zero(oldSize))].push_back(old);
    }

    static std::uint32_t tagOf(std::size_t h) { return std::uint32_t(std::uint64_t(h) >> 32) ^ std::uint32_t(h); }

    // The path below the root, upper-cased on a case-blind volume (into `buffer`).
    QStringView textOf(QStringView rel, std::vector<char16_t>& buffer) const
    {
        if (m_caseSensitive)
            return rel;
        upperInto(rel, buffer);
        return QStringView(buffer.data(), rel.size());
    }

    // The slot of `key`, or the free one where it would go.
    FolderSlot* find(Table<FolderSlot>& t, std::uint32_t tag, QStringView key)
    {
        return find(t.cells.data(), t.mask, tag, key);
    }
    FileSlot* find(FileTable& t, std::uint32_t tag, QStringView key)
    {
        for (std::size_t i = tag & t.mask;; i = (i + 1) & t.mask) {
            FileSlot* s = &t.cells[i];
            if (!s->record)
                return s;
            if (s->tag != tag)
                continue;
            // A file's whole path, or the part of a path that names a folder.
            const QString& path = (*m_records)[(s->record & ~kFolderEntry) - 1].path;
            const qsizetype end = m_rootSize + key.size();
            if ((s->record & kFolderEntry) ? path.size() > end && path[end] == u'\\' : path.size() == end) {
                if (textOf(QStringView(path).sliced(m_rootSize, key.size()), m_other) == key)
                    return s;
            }
        }
    }
    template <class Slot>
    Slot* find(Slot* cells, std::size_t mask, std::uint32_t tag, QStringView key)
    {
        for (std::size_t i = tag & mask;; i = (i + 1) & mask) {
            Slot* s = &cells[i];
            if (!s->record)
                return s;
            if (s->tag == tag && s->length(*this) == key.size()
                && textOf(QStringView((*m_records)[s->record - 1].path).sliced(m_rootSize, key.size()), m_other) == key)
                return s;
        }
    }

    const std::vector<StructureFileRecord>* m_records = nullptr;
    qsizetype m_rootSize = 0;
    bool m_caseSensitive = true;
    std::size_t m_seed = 0;
    Table<FolderSlot> m_folders;
    FileTable m_rootFiles;
    std::vector<FileTable> m_fileSets;
    std::vector<std::unique_ptr<FileSlot[]>> m_blocks;
    FileSlot* m_block = nullptr;   // the block small tables are cut from
    std::size_t m_blockUsed = kBlockSlots;   // of that block
    std::array<std::vector<FileSlot*>, 64> m_free;   // slots left by tables that grew, by size
    FolderSlot* m_lastFolder = nullptr;
    std::vector<char16_t> m_lastFolderKey;
    // Upper-cased texts of the case-blind rule: the record's key, a key in a table.
    std::vector<char16_t> m_key, m_other;
};

class Parser {
public:
    Parser(ParsedStructure& out, StructureRecordCheck& check, const StructureLineHook& hook,
           const StructureLineHook& ordering)
        : m_out(out), m_check(check), m_hook(hook), m_ordering(ordering)
    {
    }

    ParseOutcome run(LineSource& source)
    {
        m_source = &source;
        QByteArrayView line;
        qint64 value = 0;
        StructureFileHeader& h = m_out.header;
        if (!read(line)) return m_outcome;
        if (!WholeNumberLine(line, 1, kStructureCountMax, &h.totalLines))
            return refuse(StructureFileFault::NotAWholeNumber);
        if (!read(line)) return m_outcome;
        if (!NonBlankLine(line))
            return refuse(StructureFileFault::BlankLine);
        if (line.contains('\0'))
            return refuse(StructureFileFault::NulCharacter);
        h.root = AddTrailingSeparator(decode(line));
        m_rootKey = ApplyCaseSensitivity(h.root, globals().VolumeIsCaseSensitive);
        if (!read(line)) return m_outcome;
        if (!WholeNumberLine(line, 0, kStructureCountMax, &value))
            return refuse(StructureFileFault::NotAWholeNumber);
        for (qint64 f = 0; f < value; ++f) {
            if (!read(line)) return m_outcome;
            if (!NonBlankLine(line))
                return refuse(StructureFileFault::BlankLine);
            if (line.contains('\0'))
                return refuse(StructureFileFault::NulCharacter);
            h.firstLevelFolders.append(decode(line));
        }
        if (!read(line)) return m_outcome;
        if (!WholeNumberLine(line, 1, kStructureCountMax, &h.recordCount))
            return refuse(StructureFileFault::NotAWholeNumber);
        m_out.headerComplete = true;
        m_out.records.reserve(std::size_t(std::min<qint64>(h.recordCount, 1 << 20)));
        m_check.start(m_out.records, h.root.size(), globals().VolumeIsCaseSensitive);
        for (qint64 n = 0; n < h.recordCount; ++n)
            if (!readRecord()) return m_outcome;
        m_check.release();
        if ((m_ordering && !m_ordering()) || !putInOrder()) {
            m_outcome = ParseOutcome::Stopped;
            return m_outcome;
        }
        return ParseOutcome::Parsed;
    }

private:
    bool read(QByteArrayView& line)
    {
        const LineSource::Next r = m_source->next(line);
        if (r == LineSource::Next::End) {
            m_line += 1;
            refuse(StructureFileFault::EndsEarly);
            return false;
        }
        ++m_line;
        if (r == LineSource::Next::TooLong) {
            refuse(StructureFileFault::LineTooLong);
            return false;
        }
        if (m_hook && !m_hook()) {
            m_outcome = ParseOutcome::Stopped;
            return false;
        }
        return true;
    }

    ParseOutcome refuse(StructureFileFault fault, qint64 line = 0, const QString& root = QString())
    {
        m_out.problem.fault = fault;
        m_out.problem.line = line > 0 ? line : m_line;
        m_out.problem.root = root;
        m_outcome = ParseOutcome::Refused;
        return m_outcome;
    }

    bool readRecord()
    {
        static const std::array<StructureFileFault, 7> faults = {
            StructureFileFault::NotAFlag, StructureFileFault::NotAFlag, StructureFileFault::NotAFlag,
            StructureFileFault::NotAFlag, StructureFileFault::NotASize, StructureFileFault::NotADate,
            StructureFileFault::NotATime};
        StructureFileRecord r;
        QString* fields[7] = {&r.hidden, &r.system, &r.readOnly, &r.archive, &r.size, &r.date, &r.time};
        bool marker[7];
        const qint64 first = m_line + 1;
        QByteArrayView line;
        for (int k = 0; k < 7; ++k) {
            if (!read(line)) return false;
            marker[k] = MarkerLine(line);
            if (marker[k]) continue;
            if (k < 4) {
                *fields[k] = FlagLineText(line);
            } else {
                // Files mostly share sizes, dates and times with the record before.
                const std::size_t v = std::size_t(k - 4);
                if (line != m_lastValue[v]) {
                    m_lastValue[v] = line.toByteArray();
                    m_lastText[v] = k == 4 ? SizeLineText(line) : k == 5 ? DateLineText(line) : TimeLineText(line);
                }
                *fields[k] = m_lastText[v];
            }
            if (fields[k]->isEmpty()) {
                refuse(faults[std::size_t(k)]);
                return false;
            }
        }
        if (!read(line)) return false;
        if (!NonBlankLine(line)) {
            refuse(StructureFileFault::BlankLine);
            return false;
        }
        if (line.contains('\0')) {
            refuse(StructureFileFault::NulCharacter);
            return false;
        }
        r.path = decode(line);
        const QString& root = m_out.header.root;
        const bool caseSensitive = globals().VolumeIsCaseSensitive;
        if (r.path.size() <= root.size()
            || !(caseSensitive ? r.path.startsWith(root)
                               : ApplyCaseSensitivity(r.path.first(root.size()), false) == m_rootKey)) {
            refuse(StructureFileFault::PathOutsideRoot, 0, root);
            return false;
        }
        const QStringView rel = QStringView(r.path).sliced(root.size());
        r.emptyFolder = rel.endsWith(EmptyFolderMarker) && rel.size() > EmptyFolderMarker.size()
                        && rel[rel.size() - EmptyFolderMarker.size() - 1] == u'\\';
        const QStringView named = r.emptyFolder ? rel.chopped(EmptyFolderMarker.size() + 1) : rel;
        if (!componentsAreNames(named)) {
            refuse(StructureFileFault::BadRecordPath);
            return false;
        }
        for (int k = 0; k < 7; ++k) {
            if (marker[k] != r.emptyFolder) {
                refuse(StructureFileFault::MarkerMixedIn, first + k);
                return false;
            }
            if (marker[k]) *fields[k] = EmptyFolderMarker;
        }
        m_out.records.push_back(std::move(r));
        if (const StructureFileFault fault = m_check.add(m_out.records.size() - 1); fault != StructureFileFault::None) {
            m_out.records.pop_back();
            refuse(fault);
            return false;
        }
        return true;
    }

    // The exporter's order: the root's files, then each folder (sorted by
    // path) with its files (sorted by name) or its one marker record. The
    // folders are sorted once, the records grouped by folder and each group
    // sorted by name: few comparisons, each on nearby data. The hook is
    // asked every kOrderingStep steps, so that the window is repainted and
    // a cancel heard; false when it said stop (the records are left as read,
    // or, when it said so while the last moves were freed, in order).
    bool putInOrder()
    {
        auto& v = m_out.records;
        const std::size_t n = v.size();
        const qsizetype cut = m_out.header.root.size();
        std::size_t steps = 0;
        auto going = [&] { return ++steps % kOrderingStep != 0 || !m_ordering || m_ordering(); };
        // Parts of a path as strings without copies, for the program's one comparator.
        auto text = [](QStringView part) { return QString::fromRawData(part.data(), part.size()); };

        // Each record's folder (as a number) and name; their memory is
        // touched step by step, not all before the first step.
        std::vector<std::uint32_t> folderOf;
        std::vector<QStringView> names;
        folderOf.reserve(n);
        names.reserve(n);
        std::vector<QStringView> folders;
        QHash<QStringView, std::uint32_t> ids;
        bool ordered = true;
        for (std::size_t k = 0; k < n; ++k) {
            const QStringView rel = QStringView(v[k].path).sliced(cut);
            const qsizetype slash = rel.lastIndexOf(u'\\');
            const QStringView folder = slash < 0 ? rel.first(0) : rel.first(slash);
            names.push_back(rel.sliced(slash + 1));
            if (k > 0 && folder == folders[folderOf[k - 1]]) {
                folderOf.push_back(folderOf[k - 1]);
            } else {
                auto it = ids.constFind(folder);
                if (it == ids.cend()) {
                    it = ids.insert(folder, std::uint32_t(folders.size()));
                    folders.push_back(folder);
                }
                folderOf.push_back(*it);
            }
            if (ordered && k > 0) {
                const int byFolder = folderOf[k] == folderOf[k - 1] ? 0 : ui::compareSortOrder(text(folders[folderOf[k - 1]]), text(folder));
                ordered = byFolder < 0 || (byFolder == 0 && ui::compareSortOrder(text(names[k - 1]), text(names[k])) <= 0);
            }
            if (!going()) return false;
        }
        if (ordered)
            return true;
        if (m_ordering && !m_ordering())
            return false;

        // The folders in order, then the records grouped by their folder's rank.
        std::vector<std::uint32_t> buffer;
        std::vector<std::uint32_t> folderOrder(folders.size());
        for (std::size_t f = 0; f < folders.size(); ++f) folderOrder[f] = std::uint32_t(f);
        if (!mergeSort(folderOrder, buffer, [&](std::uint32_t a, std::uint32_t b) {
                return ui::compareSortOrder(text(folders[a]), text(folders[b])) < 0;
            }, going))
            return false;
        std::vector<std::size_t> start(folders.size() + 1, 0);
        std::vector<std::uint32_t> rank(folders.size());
        for (std::size_t r = 0; r < folderOrder.size(); ++r) {
            rank[folderOrder[r]] = std::uint32_t(r);
            if (!going()) return false;
        }
        for (std::size_t k = 0; k < n; ++k) {
            ++start[rank[folderOf[k]] + 1];
            if (!going()) return false;
        }
        for (std::size_t r = 0; r < folders.size(); ++r) start[r + 1] += start[r];
        std::vector<std::uint32_t> place(n);
        std::vector<std::size_t> next(start.begin(), start.end() - 1);
        for (std::size_t k = 0; k < n; ++k) {
            place[next[rank[folderOf[k]]]++] = std::uint32_t(k);
            if (!going()) return false;
        }

        // Each folder's records by name.
        const auto byName = [&](std::uint32_t a, std::uint32_t b) {
            return ui::compareSortOrder(text(names[a]), text(names[b])) < 0;
        };
        for (std::size_t r = 0; r < folders.size(); ++r)
            if (!mergeSort(std::span(place).subspan(start[r], start[r + 1] - start[r]), buffer, byName, going))
                return false;

        // The records themselves, moved to their places: the longest step,
        // heard like the others (a stop puts back what was moved).
        std::vector<StructureFileRecord> sorted;
        sorted.reserve(n);
        for (const std::uint32_t k : place) {
            sorted.push_back(std::move(v[k]));
            if (!going()) {
                for (std::size_t j = 0; j < sorted.size(); ++j) v[place[j]] = std::move(sorted[j]);
                return false;
            }
        }
        v.swap(sorted);
        // The records left behind, emptied by their moves, freed in steps too.
        while (!sorted.empty()) {
            sorted.pop_back();
            if (!going()) return false;
        }
        std::vector<StructureFileRecord>().swap(sorted);   // its memory, given back
        return !m_ordering || m_ordering();
    }

    ParsedStructure& m_out;
    // What a record says against the records before it: the same path twice
    // would give the comparison a row without a partner, and a file that is
    // also a folder, or an empty folder with files, has no place in a tree.
    StructureRecordCheck& m_check;
    const StructureLineHook& m_hook;
    const StructureLineHook& m_ordering;
    LineSource* m_source = nullptr;
    qint64 m_line = 0;
    QString m_rootKey;
    std::array<QByteArray, 3> m_lastValue;
    std::array<QString, 3> m_lastText;
    ParseOutcome m_outcome = ParseOutcome::Refused;
};

struct Accepted {
    QString key;
    std::shared_ptr<const ParsedStructure> parsed;
};
std::array<Accepted, 2>& acceptedStore()
{
    static std::array<Accepted, 2> store;
    return store;
}

// The file's own name on this machine, so a drive remounted elsewhere (or a
// test's fresh drive) never finds another file's parse.
QString acceptedKey(const QString& logicalFile)
{
    const auto native = platform::toNative(logicalFile);
    return native ? QFileInfo(*native).absoluteFilePath() : logicalFile;
}

} // namespace

// --- Line rules ------------------------------------------------------------------

bool WholeNumberLine(QByteArrayView line, qint64 lo, qint64 hi, qint64* value)
{
    qsizetype i = 0;
    bool negative = false;
    if (!line.isEmpty() && (line[0] == '+' || line[0] == '-')) {
        negative = line[0] == '-';
        i = 1;
    }
    if (i == line.size())
        return false;
    qint64 v = 0;
    for (; i < line.size(); ++i) {
        const char c = line[i];
        if (c < '0' || c > '9')
            return false;
        if (v > (std::numeric_limits<qint64>::max() - (c - '0')) / 10)
            return false;   // beyond any range a line may ask for
        v = v * 10 + (c - '0');
    }
    if (negative) v = -v;
    if (v < lo || v > hi)
        return false;
    if (value) *value = v;
    return true;
}

bool NonBlankLine(QByteArrayView line) { return !trimBlanks(line).isEmpty(); }

bool MarkerLine(QByteArrayView line) { return upperEquals(trimBlanks(line), kMarker); }

QString FlagLineText(QByteArrayView line)
{
    const QByteArrayView t = trimBlanks(line);
    if (upperEquals(t, "TRUE")) return flagTrue();
    if (upperEquals(t, "FALSE")) return flagFalse();
    return QString();
}

QString SizeLineText(QByteArrayView line)
{
    qint64 size = 0;
    if (!WholeNumberLine(line, 0, std::numeric_limits<qint64>::max(), &size))
        return QString();
    return FormatSizeText(size);
}

namespace {

// Parts of `widths` characters each, each whole-number text within its range.
QString partsText(QByteArrayView line, std::initializer_list<std::array<int, 3>> parts)
{
    const QByteArrayView t = trimBlanks(line);
    qsizetype width = 0;
    for (const auto& p : parts) width += p[0];
    if (t.size() != width)
        return QString();
    QString out;
    out.reserve(width);
    qsizetype at = 0;
    for (const auto& p : parts) {
        qint64 v = 0;
        if (!WholeNumberLine(t.sliced(at, p[0]), p[1], p[2], &v))
            return QString();
        putNumber(out, v, p[0]);
        at += p[0];
    }
    return out;
}

} // namespace

QString DateLineText(QByteArrayView line) { return partsText(line, {{4, 0, 9999}, {2, 1, 12}, {2, 1, 31}}); }
QString TimeLineText(QByteArrayView line) { return partsText(line, {{2, 0, 23}, {2, 0, 59}, {2, 0, 59}}); }

// --- Messages ------------------------------------------------------------------------

QString StructureFileProblemText(const StructureFileProblem& p, bool greek)
{
    QString why;
    switch (p.fault) {
    case StructureFileFault::None:
        return QString();
    case StructureFileFault::EndsEarly:
        why = greek ? QStringLiteral("λείπει: το αρχείο τελειώνει πριν από τις γραμμές που αναγγέλλει η αρχή του")
                    : QStringLiteral("is missing: the file ends before the lines that its header announces");
        break;
    case StructureFileFault::LineTooLong:
        why = greek ? QStringLiteral("είναι μακρύτερη από κάθε έγκυρη γραμμή") : QStringLiteral("is longer than any valid line");
        break;
    case StructureFileFault::NotAWholeNumber:
        why = greek ? QStringLiteral("δεν περιέχει ακέραιο αριθμό") : QStringLiteral("does not hold a whole number");
        break;
    case StructureFileFault::BlankLine:
        why = greek ? QStringLiteral("είναι κενή") : QStringLiteral("is blank");
        break;
    case StructureFileFault::NotAFlag:
        why = greek ? QStringLiteral("δεν είναι True ή False") : QStringLiteral("is neither True nor False");
        break;
    case StructureFileFault::NotASize:
        why = greek ? QStringLiteral("δεν περιέχει μέγεθος σε bytes") : QStringLiteral("does not hold a size in bytes");
        break;
    case StructureFileFault::NotADate:
        why = greek ? QStringLiteral("δεν περιέχει χρονολογία της μορφής YYYYMMDD")
                    : QStringLiteral("does not hold a date as YYYYMMDD");
        break;
    case StructureFileFault::NotATime:
        why = greek ? QStringLiteral("δεν περιέχει ώρα της μορφής HHMMSS")
                    : QStringLiteral("does not hold a time as HHMMSS");
        break;
    case StructureFileFault::PathOutsideRoot:
        why = greek ? QStringLiteral("περιέχει διαδρομή η οποία δεν αρχίζει με τον φάκελλο '") + p.root + QStringLiteral("'")
                    : QStringLiteral("holds a path that does not begin with the folder '") + p.root + QStringLiteral("'");
        break;
    case StructureFileFault::BadRecordPath:
        why = greek ? QStringLiteral("περιέχει διαδρομή με κενό, \".\" ή \"..\" τμήμα, ή αρχείο χωρίς όνομα")
                    : QStringLiteral("holds a path with an empty, \".\" or \"..\" part, or a file without a name");
        break;
    case StructureFileFault::MarkerMixedIn:
        why = greek ? QStringLiteral("αναμειγνύει τον δείκτη κενού φακέλλου με τιμές αρχείου")
                    : QStringLiteral("mixes the empty folder marker with the values of a file");
        break;
    case StructureFileFault::DuplicatePath:
        why = greek ? QStringLiteral("περιέχει διαδρομή την οποία έχει ήδη προηγούμενη εγγραφή")
                    : QStringLiteral("holds a path that an earlier record already holds");
        break;
    case StructureFileFault::FileAndFolder:
        why = greek ? QStringLiteral("περιέχει διαδρομή η οποία είναι και αρχείο και φάκελλος")
                    : QStringLiteral("holds a path that is both a file and a folder");
        break;
    case StructureFileFault::MarkerBesideFiles:
        why = greek ? QStringLiteral("δηλώνει ως κενό έναν φάκελλο ο οποίος περιέχει αρχεία")
                    : QStringLiteral("marks a folder as empty that holds files");
        break;
    case StructureFileFault::NulCharacter:
        why = greek ? QStringLiteral("περιέχει τον χαρακτήρα NUL") : QStringLiteral("holds a NUL character");
        break;
    }
    return greek ? QStringLiteral("Το αρχείο δομής '") + p.file + QStringLiteral("' δεν μπορεί να χρησιμοποιηθεί: η γραμμή ")
                       + QString::number(p.line) + QLatin1Char(' ') + why + QLatin1Char('.')
                 : QStringLiteral("The structure file '") + p.file + QStringLiteral("' cannot be used: line ")
                       + QString::number(p.line) + QLatin1Char(' ') + why + QLatin1Char('.');
}

QString InvalidStructureDataText(const QString& file, qint64 line, bool greek)
{
    return greek ? QStringLiteral("Το αρχείο '") + file + QStringLiteral("', περιέχει εσφαλμένα δεδομένα στην γραμμή ")
                       + QString::number(line) + QLatin1Char('.')
                 : QStringLiteral("File '") + file + QStringLiteral("', contains invalid data at line ")
                       + QString::number(line) + QLatin1Char('.');
}

// --- Parsing ----------------------------------------------------------------------

ParseOutcome ParseStructureFile(const QString& logicalFile, ParsedStructure& out, Long& openError,
                                const StructureLineHook& afterEachLine, const StructureLineHook& whileOrdering)
{
    ClashCheck check;
    return ParseStructureFile(logicalFile, out, openError, check, afterEachLine, whileOrdering);
}

ParseOutcome ParseStructureFile(const QString& logicalFile, ParsedStructure& out, Long& openError,
                                StructureRecordCheck& check, const StructureLineHook& afterEachLine,
                                const StructureLineHook& whileOrdering)
{
    out = ParsedStructure{};
    out.problem.file = logicalFile;
    LineSource source;
    openError = source.open(logicalFile);
    if (openError != 0)
        return ParseOutcome::CannotOpen;
    Parser parser(out, check, afterEachLine, whileOrdering);
    return parser.run(source);
}

Long ReadStructureFileTotal(const QString& logicalFile, qint64& total, StructureFileProblem& problem)
{
    problem = StructureFileProblem{};
    problem.file = logicalFile;
    problem.line = 1;
    LineSource source;
    if (const Long e = source.open(logicalFile))
        return e;
    QByteArrayView line;
    const LineSource::Next r = source.next(line);
    if (r == LineSource::Next::End)
        problem.fault = StructureFileFault::EndsEarly;
    else if (r == LineSource::Next::TooLong)
        problem.fault = StructureFileFault::LineTooLong;
    else if (!WholeNumberLine(line, 1, kStructureCountMax, &total))
        problem.fault = StructureFileFault::NotAWholeNumber;
    return problem.fault == StructureFileFault::None ? 0 : -1;
}

// --- Accepted structures ----------------------------------------------------------

void AcceptStructure(int side, const QString& logicalFile, std::shared_ptr<const ParsedStructure> parsed)
{
    acceptedStore()[std::size_t(side)] = Accepted{acceptedKey(logicalFile), std::move(parsed)};
}

std::shared_ptr<const ParsedStructure> AcceptedStructure(const QString& logicalFile)
{
    const QString key = acceptedKey(logicalFile);
    for (const Accepted& a : acceptedStore())
        if (a.parsed && a.key == key)
            return a.parsed;
    return nullptr;
}

void ForgetAcceptedStructures() { acceptedStore() = {}; }

// --- Reader ---------------------------------------------------------------------------

Long StructureFileReader::open(const QString& logicalFile)
{
    close();
    m_problem.file = logicalFile;
    m_parsed = AcceptedStructure(logicalFile);
    if (m_parsed)
        return 0;
    auto parsed = std::make_shared<ParsedStructure>();
    Long error = 0;
    if (ParseStructureFile(logicalFile, *parsed, error) == ParseOutcome::CannotOpen)
        return error;
    m_parsed = std::move(parsed);
    return 0;
}

void StructureFileReader::close()
{
    m_parsed.reset();
    m_next = 0;
    m_line = 0;
    m_problem = StructureFileProblem{};
}

bool StructureFileReader::failAt(qint64 line)
{
    if (!m_parsed)
        return false;
    const StructureFileProblem& p = m_parsed->problem;
    if (p.fault == StructureFileFault::None || p.line > line)
        return false;
    m_problem.line = p.line;
    m_problem.fault = p.fault;
    m_problem.root = p.root;
    return true;
}

bool StructureFileReader::readTotalLines(qint64& total)
{
    if (!m_parsed || failAt(1))
        return false;
    total = m_parsed->header.totalLines;
    m_line = std::max<qint64>(m_line, 1);
    return true;
}

bool StructureFileReader::readHeader(StructureFileHeader& header)
{
    if (!m_parsed)
        return false;
    if (!m_parsed->headerComplete) {
        failAt(m_parsed->problem.line);
        return false;
    }
    header = m_parsed->header;
    m_line = m_parsed->headerLines();
    m_next = 0;
    return true;
}

bool StructureFileReader::readRecord(StructureFileRecord& record)
{
    if (!m_parsed)
        return false;
    if (m_next >= m_parsed->records.size()) {
        failAt(std::numeric_limits<qint64>::max());
        return false;
    }
    record = m_parsed->records[m_next++];
    m_line += 8;
    return true;
}

// --- One-call readers --------------------------------------------------------------

Long ReadStructureFileRoot(const QString& logicalFile, QString& root)
{
    root.clear();
    StructureFileReader reader;
    if (const Long e = reader.open(logicalFile))
        return e;
    StructureFileHeader header;
    if (reader.readHeader(header))
        root = header.root;
    return 0;
}

Long ReadStructureFileHeader(const QString& logicalFile, StructureFileHeader& header, StructureFileProblem* problem)
{
    StructureFileReader reader;
    if (const Long e = reader.open(logicalFile))
        return e;
    const bool ok = reader.readHeader(header);
    if (problem)
        *problem = reader.problem();
    return ok ? 0 : -1;
}

} // namespace basGlobal
