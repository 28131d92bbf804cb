#include "shared/StructureFile.h"

#include "platform/AppError.h"
#include "platform/Drives.h"
#include "platform/TextDecoding.h"
#include "shared/FileFacts.h"
#include "shared/PathText.h"
#include "shared/basObsoleteCompleteStructureScanner.h"

#include <QDir>
#include <QFileInfo>

namespace basGlobal {

namespace {

constexpr qsizetype kChunk = 1 << 16;
constexpr qint64 kLongMax = 2147483647;

bool isMarker(const QString& text)
{
    return text.trimmed().compare(EmptyFolderMarker, Qt::CaseInsensitive) == 0;
}

bool allDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// Characters [from, from + n) of an all-digit text as a number in [lo, hi].
bool digitsInRange(const QString& text, qsizetype from, qsizetype n, int lo, int hi)
{
    const int v = text.mid(from, n).toInt();
    return v >= lo && v <= hi;
}

} // namespace

// --- Value lines -------------------------------------------------------------------

bool NormaliseFlagText(const QString& text, QString& out)
{
    const QString t = text.trimmed().toUpper();
    if (t == QLatin1String("TRUE")) out = QStringLiteral("True");
    else if (t == QLatin1String("FALSE")) out = QStringLiteral("False");
    else return false;
    return true;
}

bool NormaliseSizeText(const QString& text, QString& out)
{
    const QString t = text.trimmed();
    if (!allDigits(t))
        return false;
    // Leading zeros carry no value; what is left must fit a 64-bit size.
    qsizetype first = 0;
    while (first < t.size() - 1 && t[first] == u'0') ++first;
    bool ok = false;
    const qint64 size = t.mid(first).toLongLong(&ok);
    if (!ok || size < 0)
        return false;
    out = FormatSizeText(size);
    return true;
}

bool NormaliseDateText(const QString& text, QString& out)
{
    const QString t = text.trimmed();
    if (t.size() != 8 || !allDigits(t) || !digitsInRange(t, 4, 2, 1, 12) || !digitsInRange(t, 6, 2, 1, 31))
        return false;
    out = t;
    return true;
}

bool NormaliseTimeText(const QString& text, QString& out)
{
    const QString t = text.trimmed();
    if (t.size() != 6 || !allDigits(t) || !digitsInRange(t, 0, 2, 0, 23) || !digitsInRange(t, 2, 2, 0, 59)
        || !digitsInRange(t, 4, 2, 0, 59))
        return false;
    out = t;
    return true;
}

bool ParseCountText(const QString& text, qint64& out)
{
    const QString t = text.trimmed();
    if (!allDigits(t) || t.size() > 12)
        return false;
    const qint64 v = t.toLongLong();
    if (v > kLongMax)
        return false;
    out = v;
    return true;
}

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
    case StructureFileFault::MarkerMixedIn:
        why = greek ? QStringLiteral("αναμειγνύει τον δείκτη κενού φακέλλου με τιμές αρχείου")
                    : QStringLiteral("mixes the empty folder marker with the values of a file");
        break;
    }
    return greek ? QStringLiteral("Το αρχείο δομής '") + p.file + QStringLiteral("' δεν μπορεί να χρησιμοποιηθεί: η γραμμή ")
                       + QString::number(p.line) + QLatin1Char(' ') + why + QLatin1Char('.')
                 : QStringLiteral("The structure file '") + p.file + QStringLiteral("' cannot be used: line ")
                       + QString::number(p.line) + QLatin1Char(' ') + why + QLatin1Char('.');
}

// --- Reader ----------------------------------------------------------------------------

StructureFileReader::StructureFileReader() = default;
StructureFileReader::~StructureFileReader() = default;

Long StructureFileReader::open(const QString& logicalFile)
{
    close();
    m_problem = StructureFileProblem{};
    m_problem.file = logicalFile;
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
    auto f = std::make_unique<QFile>(*native);
    if (!f->open(QIODevice::ReadOnly)) {
        return f->error() == QFileDevice::PermissionsError ? platform::errPermissionDenied
                                                            : platform::errPathFileAccess;
    }
    m_file = std::move(f);
    return 0;
}

void StructureFileReader::close()
{
    m_file.reset();
    m_buffer.clear();
    m_pos = 0;
    m_eof = false;
    m_line = 0;
    m_totalRead = false;
    m_total = 0;
    m_root.clear();
    m_rootKey.clear();
}

bool StructureFileReader::fill()
{
    if (m_eof || !m_file)
        return false;
    if (m_pos > 0) {
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
    const QByteArray more = m_file->read(kChunk);
    if (more.isEmpty()) {
        m_eof = true;
        return false;
    }
    m_buffer.append(more);
    return true;
}

bool StructureFileReader::nextLine(QString& line)
{
    if (!m_file)
        return false;
    for (;;) {
        qsizetype end = -1;
        for (qsizetype i = m_pos; i < m_buffer.size(); ++i) {
            const char c = m_buffer.at(i);
            if (c == '\r' || c == '\n') {
                end = i;
                break;
            }
        }
        if (end >= 0) {
            // A CR at the very end of the buffer may be the first half of CR LF.
            if (m_buffer.at(end) == '\r' && end + 1 == m_buffer.size() && !m_eof) {
                const qsizetype keep = end - m_pos;
                fill();
                end = m_pos + keep;
            }
            line = platform::decodeText(m_buffer.mid(m_pos, end - m_pos));
            qsizetype next = end + 1;
            if (m_buffer.at(end) == '\r' && next < m_buffer.size() && m_buffer.at(next) == '\n')
                ++next;
            m_pos = next;
            ++m_line;
            return true;
        }
        if (!fill()) {
            if (m_pos >= m_buffer.size())
                return false;
            line = platform::decodeText(m_buffer.mid(m_pos));
            m_pos = m_buffer.size();
            ++m_line;
            return true;
        }
    }
}

bool StructureFileReader::refuse(StructureFileFault fault, qint64 line, const QString& root)
{
    m_problem.fault = fault;
    m_problem.line = line;
    m_problem.root = root;
    return false;
}

bool StructureFileReader::requireLine(QString& line)
{
    if (nextLine(line))
        return true;
    return refuse(StructureFileFault::EndsEarly, m_line + 1);
}

bool StructureFileReader::readTotalLines(qint64& total)
{
    QString line;
    if (!requireLine(line))
        return false;
    if (!ParseCountText(line, m_total))
        return refuse(StructureFileFault::NotAWholeNumber, m_line);
    m_totalRead = true;
    total = m_total;
    return true;
}

bool StructureFileReader::readHeader(StructureFileHeader& header)
{
    if (!m_totalRead && !readTotalLines(header.totalLines))
        return false;
    header.totalLines = m_total;
    QString line;
    if (!requireLine(line))
        return false;
    if (line.trimmed().isEmpty())
        return refuse(StructureFileFault::BlankLine, m_line);
    m_root = AddTrailingSeparator(line);
    m_rootKey = ApplyCaseSensitivity(m_root, globals().VolumeIsCaseSensitive);
    header.root = m_root;

    qint64 folders = 0;
    if (!requireLine(line))
        return false;
    if (!ParseCountText(line, folders))
        return refuse(StructureFileFault::NotAWholeNumber, m_line);
    header.firstLevelFolders.clear();
    for (qint64 f = 0; f < folders; ++f) {
        if (!requireLine(line))
            return false;
        if (line.trimmed().isEmpty())
            return refuse(StructureFileFault::BlankLine, m_line);
        header.firstLevelFolders.append(line);
    }
    if (!requireLine(line))
        return false;
    if (!ParseCountText(line, header.recordCount))
        return refuse(StructureFileFault::NotAWholeNumber, m_line);
    return true;
}

bool StructureFileReader::readRecord(StructureFileRecord& r)
{
    QString raw[8];
    const qint64 first = m_line + 1;
    for (QString& line : raw)
        if (!requireLine(line))
            return false;

    QString& path = raw[7];
    if (path.trimmed().isEmpty())
        return refuse(StructureFileFault::BlankLine, first + 7);
    const QString pathKey = ApplyCaseSensitivity(path, globals().VolumeIsCaseSensitive);
    if (pathKey.size() <= m_rootKey.size() || !pathKey.startsWith(m_rootKey))
        return refuse(StructureFileFault::PathOutsideRoot, first + 7, m_root);

    r.path = path;
    r.emptyFolder = path.endsWith(QLatin1Char('\\') + EmptyFolderMarker);
    QString* fields[7] = {&r.hidden, &r.system, &r.readOnly, &r.archive, &r.size, &r.date, &r.time};
    if (r.emptyFolder) {
        for (int k = 0; k < 7; ++k) {
            if (!isMarker(raw[k]))
                return refuse(StructureFileFault::MarkerMixedIn, first + k);
            *fields[k] = EmptyFolderMarker;
        }
        return true;
    }
    for (int k = 0; k < 7; ++k) {
        if (isMarker(raw[k]))
            return refuse(StructureFileFault::MarkerMixedIn, first + k);
        bool ok = false;
        StructureFileFault fault = StructureFileFault::NotAFlag;
        if (k < 4) {
            ok = NormaliseFlagText(raw[k], *fields[k]);
        } else if (k == 4) {
            ok = NormaliseSizeText(raw[k], *fields[k]);
            fault = StructureFileFault::NotASize;
        } else if (k == 5) {
            ok = NormaliseDateText(raw[k], *fields[k]);
            fault = StructureFileFault::NotADate;
        } else {
            ok = NormaliseTimeText(raw[k], *fields[k]);
            fault = StructureFileFault::NotATime;
        }
        if (!ok)
            return refuse(fault, first + k);
    }
    return true;
}

// --- One-call readers --------------------------------------------------------------

Long ReadStructureFileRoot(const QString& logicalFile, QString& root)
{
    root.clear();
    StructureFileReader reader;
    if (const Long e = reader.open(logicalFile))
        return e;
    QString line;
    if (!reader.nextLine(line) || !reader.nextLine(line))
        return platform::errInputPastEnd;
    root = AddTrailingSeparator(line);
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
