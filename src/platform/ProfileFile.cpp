#include "platform/ProfileFile.h"

#include "platform/AtomicFile.h"

#include "platform/AppError.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringList>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Windows-1253 bytes 0x80..0xFF; U+FFFD where the code page has no character.
constexpr char16_t kCp1253High[128] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0xFFFD, 0x2030, 0xFFFD, 0x2039, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD,
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0xFFFD, 0x203A, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD,
    0x00A0, 0x0385, 0x0386, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0xFFFD, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x2015,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x0384, 0x00B5, 0x00B6, 0x00B7,
    0x0388, 0x0389, 0x038A, 0x00BB, 0x038C, 0x00BD, 0x038E, 0x038F,
    0x0390, 0x0391, 0x0392, 0x0393, 0x0394, 0x0395, 0x0396, 0x0397,
    0x0398, 0x0399, 0x039A, 0x039B, 0x039C, 0x039D, 0x039E, 0x039F,
    0x03A0, 0x03A1, 0xFFFD, 0x03A3, 0x03A4, 0x03A5, 0x03A6, 0x03A7,
    0x03A8, 0x03A9, 0x03AA, 0x03AB, 0x03AC, 0x03AD, 0x03AE, 0x03AF,
    0x03B0, 0x03B1, 0x03B2, 0x03B3, 0x03B4, 0x03B5, 0x03B6, 0x03B7,
    0x03B8, 0x03B9, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BE, 0x03BF,
    0x03C0, 0x03C1, 0x03C2, 0x03C3, 0x03C4, 0x03C5, 0x03C6, 0x03C7,
    0x03C8, 0x03C9, 0x03CA, 0x03CB, 0x03CC, 0x03CD, 0x03CE, 0xFFFD,
};

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

// Reads a whole file. Returns 0, -1 when it does not exist, or an error number.
int readWholeFile(const QString& nativeFile, QByteArray* out)
{
    const QByteArray path = QFile::encodeName(nativeFile);
    int fd;
    do {
        fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return -1;
        return errorFromErrno(errno);
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return errPathFileAccess;
    }
    out->clear();
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int e = errorFromErrno(errno);
            ::close(fd);
            return e;
        }
        if (n == 0)
            break;
        out->append(buf, n);
    }
    ::close(fd);
    return 0;
}

bool hasLineBreakOrNul(const QString& s)
{
    return s.contains(u'\r') || s.contains(u'\n') || s.contains(QChar(0));
}

} // namespace

QString decodeTextBytes(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8); // drops a leading BOM
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    text.clear();
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.append(b < 0x80 ? QChar(b) : QChar(kCp1253High[b - 0x80]));
    }
    return text;
}

QStringList splitTextLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
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
    const int rc = readWholeFile(nativeFile, &bytes);
    if (rc != 0) {
        if (rc > 0 && error)
            *error = rc;
        return cut(defaultValue);
    }

    const QString wantSection = section.trimmed();
    const QString wantKey = key.trimmed();
    bool seenSection = false;
    bool inSection = false;
    for (const QString& line : splitTextLines(decodeTextBytes(bytes))) {
        QString name;
        if (parseHeader(line, &name)) {
            if (inSection)
                break; // only the first matching section counts
            if (!seenSection && sameName(name, wantSection))
                seenSection = inSection = true;
            continue;
        }
        if (!inSection)
            continue;
        QStringView rest;
        if (parseKeyLine(line, &name, &rest) && sameName(name, wantKey))
            return cut(cleanValue(rest));
    }
    return cut(defaultValue);
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
    QString target = nativeFile;
    const QFileInfo info(nativeFile);
    if (info.isSymLink() && info.exists())
        target = info.canonicalFilePath();

    int mode = -1;
    QByteArray bytes;
    struct stat st {};
    const QByteArray targetPath = QFile::encodeName(target);
    if (::stat(targetPath.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return errPathFileAccess;
        // A read-only file keeps its old contents, also for root.
        if (!(st.st_mode & S_IWUSR))
            return errPathFileAccess;
        if (::access(targetPath.constData(), W_OK) != 0)
            return errorFromErrno(errno);
        mode = int(st.st_mode & 07777);
        const int rc = readWholeFile(target, &bytes);
        if (rc > 0)
            return rc;
    } else if (errno != ENOENT) {
        return errorFromErrno(errno, errno == ENOTDIR);
    }

    QStringList lines = splitTextLines(decodeTextBytes(bytes));
    const QString newLine = k + u'=' + value;

    qsizetype sectionAt = -1;  // header line of the first matching section
    qsizetype lastContent = -1; // last non-blank line inside it
    qsizetype keyAt = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString name;
        if (parseHeader(lines[i], &name)) {
            if (sectionAt >= 0)
                break;
            if (sameName(name, sec)) {
                sectionAt = i;
                lastContent = i;
            }
            continue;
        }
        if (sectionAt < 0)
            continue;
        if (!trimBlanks(lines[i]).isEmpty())
            lastContent = i;
        QStringView rest;
        if (parseKeyLine(lines[i], &name, &rest) && sameName(name, k)) {
            keyAt = i;
            break;
        }
    }

    if (keyAt >= 0) {
        QString name;
        QStringView rest;
        parseKeyLine(lines[keyAt], &name, &rest);
        lines[keyAt] = name + u'=' + value; // the file's own spelling of the key stays
    } else if (sectionAt >= 0) {
        lines.insert(lastContent + 1, newLine);
    } else {
        lines.append(u'[' + sec + u']');
        lines.append(newLine);
    }

    QByteArray out;
    for (const QString& line : lines) {
        out += line.toUtf8();
        out += "\r\n";
    }
    return writeFileAtomically(target, out, mode);
}

} // namespace platform
