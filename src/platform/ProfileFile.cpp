#include "platform/ProfileFile.h"

#include "platform/AtomicFile.h"

#include "platform/AppError.h"
#include "platform/Drives.h"
#include "platform/TextDecoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

QString trimBlanks(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.mid(b, e - b).toString();
}

// "[name]" -> true and the trimmed name. A header without its "]" still
// counts as a header up to the end of the line, as the Windows reader takes it.
bool parseHeader(const QString& line, QString* name)
{
    const QString t = trimBlanks(line);
    if (!t.startsWith(u'['))
        return false;
    qsizetype close = t.indexOf(u']', 1);
    if (close < 0)
        close = t.size();
    *name = trimBlanks(QStringView(t).mid(1, close - 1));
    return true;
}

// "key=value" -> true with the trimmed key and the raw text after "=".
bool parseKeyLine(const QString& line, QString* key, QStringView* rest)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return false;
    const QString k = trimBlanks(QStringView(line).left(eq));
    if (k.startsWith(u';'))
        return false; // a comment that happens to hold "="
    *key = k;
    *rest = QStringView(line).mid(eq + 1);
    return true;
}

QString cleanValue(QStringView raw)
{
    QString v = trimBlanks(raw);
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool hasLineBreakOrNul(const QString& s)
{
    return s.contains(u'\r') || s.contains(u'\n') || s.contains(QChar(0));
}

// The file's bytes cut into lines, each line's bytes kept where they are.
class ProfileText {
public:
    struct Line {
        qsizetype start = 0;       // first byte of the text
        qsizetype length = 0;      // bytes of text
        qsizetype endLength = 0;   // bytes of the line end (0 at the end of the file)
    };

    explicit ProfileText(QByteArray bytes) : m_bytes(std::move(bytes))
    {
        const auto at = [this](qsizetype i) { return static_cast<unsigned char>(m_bytes[i]); };
        if (m_bytes.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE) {
            m_unit = 2;
            m_bigEndian = false;
            m_bodyStart = 2;
        } else if (m_bytes.size() >= 2 && at(0) == 0xFE && at(1) == 0xFF) {
            m_unit = 2;
            m_bigEndian = true;
            m_bodyStart = 2;
        } else if (m_bytes.startsWith("\xEF\xBB\xBF")) {
            m_bodyStart = 3;
        }
    }

    const QByteArray& bytes() const { return m_bytes; }
    // A UTF-16 file whose last unit lacks its second byte.
    bool isCutShort() const { return m_unit == 2 && (m_bytes.size() - m_bodyStart) % 2 != 0; }

    // Calls f(line) for each line while it returns true.
    template <typename F>
    void forEachLine(F f) const
    {
        const qsizetype n = m_bytes.size();
        qsizetype start = m_bodyStart;
        qsizetype i = start;
        while (i + m_unit <= n) {
            const char16_t c = unitAt(i);
            if (c == u'\r' || c == u'\n') {
                qsizetype end = i + m_unit;
                if (c == u'\r' && end + m_unit <= n && unitAt(end) == u'\n')
                    end += m_unit;
                if (!f(Line{start, i - start, end - i}))
                    return;
                start = i = end;
            } else {
                i += m_unit;
            }
        }
        if (start < n)
            f(Line{start, n - start, 0});
    }

    // Whether the line's first character after blanks is `c` (a header's "["
    // is found without decoding the line).
    bool startsWith(const Line& line, char16_t c) const
    {
        qsizetype from = line.start;
        if (m_unit == 1 && QByteArrayView(m_bytes).sliced(from, line.length).startsWith("\xEF\xBB\xBF"))
            from += 3;   // the decoder drops a byte-order mark
        for (qsizetype i = from; i + m_unit <= line.start + line.length; i += m_unit) {
            const char16_t u = unitAt(i);
            if (u != u' ' && u != u'\t')
                return u == c;
        }
        return false;
    }

    QString text(const Line& line) const
    {
        if (m_unit == 1) {
            const QByteArrayView bytes(m_bytes.constData() + line.start, line.length);
            if (std::all_of(bytes.begin(), bytes.end(), [](char b) { return static_cast<unsigned char>(b) < 0x80; }))
                return QString::fromLatin1(bytes);
            return decodeText(QByteArray::fromRawData(bytes.data(), bytes.size()));
        }
        QString out;
        out.reserve(line.length / 2);
        for (qsizetype i = line.start; i + 2 <= line.start + line.length; i += 2)
            out += QChar(unitAt(i));
        return out;
    }

    // Text in the file's own encoding.
    QByteArray encode(const QString& text) const
    {
        if (m_unit == 1)
            return text.toUtf8();
        QByteArray out;
        out.reserve(text.size() * 2);
        for (const QChar c : text) {
            const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
            out += m_bigEndian ? hi : lo;
            out += m_bigEndian ? lo : hi;
        }
        return out;
    }

    // The line's own end; for the last line without one, the file's first
    // line end (CR LF in a file that has none).
    QByteArray lineEndOf(const Line& line) const
    {
        if (line.endLength > 0)
            return m_bytes.mid(line.start + line.length, line.endLength);
        QByteArray eol = encode(QStringLiteral("\r\n"));
        forEachLine([&](const Line& l) {
            if (l.endLength > 0)
                eol = m_bytes.mid(l.start + l.length, l.endLength);
            return false;
        });
        return eol;
    }

private:
    char16_t unitAt(qsizetype i) const
    {
        const auto b0 = static_cast<unsigned char>(m_bytes[i]);
        if (m_unit == 1)
            return b0;
        const auto b1 = static_cast<unsigned char>(m_bytes[i + 1]);
        return m_bigEndian ? char16_t((b0 << 8) | b1) : char16_t((b1 << 8) | b0);
    }

    QByteArray m_bytes;
    int m_unit = 1;            // bytes per code unit
    bool m_bigEndian = false;
    qsizetype m_bodyStart = 0; // after a byte-order mark
};

// The file a write changes: the target of a symbolic link, else the file.
QByteArray writeTarget(const QByteArray& path)
{
    return writeThroughLink(path);
}

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

} // namespace

int readRegularFile(const QString& nativeFile, qint64 maxBytes, QByteArray& out)
{
    out.clear();
    const QByteArray path = encodeNativePath(nativeFile);
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? -1 : errorFromErrno(errno);
    // Looked at before the open: opening a FIFO would wait for a writer.
    if (!S_ISREG(st.st_mode) || st.st_size > maxBytes)
        return errPathFileAccess;
    int fd;
    do {
        fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno == ENOENT ? -1 : errorFromErrno(errno);
    // It may have been swapped between the two looks.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return errPathFileAccess;
    }
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int e = errorFromErrno(errno);
            ::close(fd);
            out.clear();
            return e;
        }
        if (n == 0)
            break;
        if (out.size() + n > maxBytes) {   // grown since it was looked at
            ::close(fd);
            out.clear();
            return errPathFileAccess;
        }
        out.append(buf, n);
    }
    ::close(fd);
    return 0;
}

ProfileFileStatus checkProfileFile(const QString& nativeFile)
{
    const QByteArray path = writeTarget(encodeNativePath(nativeFile));
    const QByteArray folder = folderOf(path);
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) {
        const int err = errno;
        if (err != ENOENT)
            return {ProfileFileStatus::CannotRead, errorFromErrno(err, err == ENOTDIR)};
        if (::access(folder.constData(), W_OK | X_OK) != 0)
            return {ProfileFileStatus::CannotWrite, errorFromErrno(errno, errno == ENOENT || errno == ENOTDIR), errno};
        return {};
    }
    if (!S_ISREG(st.st_mode))
        return {ProfileFileStatus::NotAFile, errPathFileAccess};
    if (st.st_size > kMaxProfileFileSize)
        return {ProfileFileStatus::TooLarge, errPathFileAccess};
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return {ProfileFileStatus::CannotRead, errorFromErrno(errno)};
    ::close(fd);
    // A read-only file keeps its contents, also for root (see the writer).
    if (!(st.st_mode & S_IWUSR))
        return {ProfileFileStatus::CannotWrite, errPathFileAccess};
    if (::access(path.constData(), W_OK) != 0 || ::access(folder.constData(), W_OK | X_OK) != 0)
        return {ProfileFileStatus::CannotWrite, errorFromErrno(errno), errno};
    return {};
}

QString getProfileString(const QString& nativeFile, const QString& section, const QString& key,
                         const QString& defaultValue, int capacity, int* error)
{
    if (error)
        *error = 0;
    auto cut = [capacity](QString v) {
        const qsizetype room = capacity > 0 ? capacity - 1 : 0;
        if (v.size() > room) {
            v.truncate(room);
            if (!v.isEmpty() && v.back().isHighSurrogate())
                v.chop(1); // never leave half a character behind
        }
        return v;
    };

    QByteArray bytes;
    const int rc = readRegularFile(nativeFile, kMaxProfileFileSize, bytes);
    if (rc != 0) {
        if (rc > 0 && error)
            *error = rc;
        return cut(defaultValue);
    }

    const QString wantSection = section.trimmed();
    const QString wantKey = key.trimmed();
    const ProfileText file(std::move(bytes));
    bool seenSection = false;
    bool inSection = false;
    std::optional<QString> found;
    file.forEachLine([&](const ProfileText::Line& raw) {
        if (!inSection && !file.startsWith(raw, u'['))
            return true;   // outside the section only a header counts
        const QString line = file.text(raw);
        QString name;
        if (parseHeader(line, &name)) {
            if (inSection)
                return false; // only the first matching section counts
            if (!seenSection && sameName(name, wantSection))
                seenSection = inSection = true;
            return true;
        }
        QStringView rest;
        if (inSection && parseKeyLine(line, &name, &rest) && sameName(name, wantKey)) {
            found = cleanValue(rest);
            return false;
        }
        return true;
    });
    return cut(found.value_or(defaultValue));
}

int writeProfileString(const QString& nativeFile, const QString& section, const QString& key,
                       const QString& value)
{
    const QString sec = trimBlanks(section);
    const QString k = trimBlanks(key);
    if (sec.isEmpty() || k.isEmpty() || hasLineBreakOrNul(sec) || hasLineBreakOrNul(k)
        || hasLineBreakOrNul(value) || sec.contains(u']') || k.contains(u'=')
        || k.startsWith(u'[') || k.startsWith(u';'))
        return errInvalidCall;
    if (nativeFile.isEmpty())
        return errBadFileName;

    // Write through a symbolic link to the file it names.
    const QByteArray targetPath = writeTarget(encodeNativePath(nativeFile));
    const QString target = decodeNativePath(targetPath);

    int mode = -1;
    QByteArray bytes;
    struct stat st {};
    if (::stat(targetPath.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return errPathFileAccess;
        // A read-only file keeps its old contents, also for root.
        if (!(st.st_mode & S_IWUSR))
            return errPathFileAccess;
        if (::access(targetPath.constData(), W_OK) != 0)
            return errorFromErrno(errno);
        mode = int(st.st_mode & 07777);
        const int rc = readRegularFile(target, kMaxProfileFileSize, bytes);
        if (rc > 0)
            return rc;
    } else if (errno != ENOENT) {
        return errorFromErrno(errno, errno == ENOTDIR);
    }

    const ProfileText file(std::move(bytes));
    std::optional<ProfileText::Line> sectionAt;   // header line of the first matching section
    std::optional<ProfileText::Line> lastContent; // last non-blank line inside it
    std::optional<ProfileText::Line> keyAt;
    std::optional<ProfileText::Line> lastLine;
    QString keySpelling;
    bool sectionEnded = false;
    file.forEachLine([&](const ProfileText::Line& raw) {
        lastLine = raw;
        if (keyAt || sectionEnded)
            return true;   // only the file's last line is still wanted
        const QString line = file.text(raw);
        QString name;
        if (parseHeader(line, &name)) {
            if (sectionAt)
                sectionEnded = true;   // only the first matching section counts
            else if (sameName(name, sec))
                sectionAt = lastContent = raw;
            return true;
        }
        if (!sectionAt)
            return true;
        if (!trimBlanks(line).isEmpty())
            lastContent = raw;
        QStringView rest;
        if (parseKeyLine(line, &name, &rest) && sameName(name, k)) {
            keyAt = raw;
            keySpelling = name; // the file's own spelling of the key stays
        }
        return true;
    });

    const QByteArray& old = file.bytes();
    QByteArray out;
    out.reserve(old.size() + k.size() + value.size() + sec.size() + 16);
    if (keyAt) {
        out += QByteArrayView(old).first(keyAt->start);
        out += file.encode(keySpelling + u'=' + value);
        out += QByteArrayView(old).sliced(keyAt->start + keyAt->length);
    } else {
        // The new lines go after `after` (the section's last line with text,
        // else the file's last line) and end as it does.
        const std::optional<ProfileText::Line> after = sectionAt ? lastContent : lastLine;
        const qsizetype at = after ? after->start + after->length + after->endLength : old.size();
        const QByteArray eol = after ? file.lineEndOf(*after) : file.encode(QStringLiteral("\r\n"));
        out += QByteArrayView(old).first(at);
        if (file.isCutShort() && at == old.size())
            out += '\0';   // a UTF-16 file cut in the middle of a unit: what follows stays readable
        if (after && after->endLength == 0)
            out += eol;   // the file's last line had no line end
        if (!sectionAt)
            out += file.encode(u'[' + sec + u']') + eol;
        out += file.encode(k + u'=' + value) + eol;
        out += QByteArrayView(old).sliced(at);
    }
    return writeFileAtomically(target, out, mode);
}

} // namespace platform
