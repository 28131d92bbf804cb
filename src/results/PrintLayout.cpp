#include "results/PrintLayout.h"

#include "platform/AppError.h"
#include "shared/ErrorTrap.h"
#include "shared/PathText.h"

#include <QStringList>

#include <algorithm>

namespace results {

namespace {

constexpr int kPathWidth = 75;
constexpr int kTotalsWidth = 56;
constexpr int kPageTextWidth = 19;
constexpr int kNameWidth = 43;
constexpr int kSizeWidth = 10;
constexpr int kDateWidth = 10;
constexpr int kTimeWidth = 8;
constexpr int kDateField = 6;
constexpr int kTimeField = 7;

// The first n characters of s filled with blanks behind.
QString padRight(const QString& s, int n)
{
    return s.size() >= n ? s.left(n) : s + QString(n - s.size(), u' ');
}

// The last n characters of s filled with `fill` in front.
QString padLeft(const QString& s, int n, QChar fill = u' ')
{
    return s.size() >= n ? s.right(n) : QString(n - s.size(), fill) + s;
}

QString trimmedBlanks(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == u' ') ++b;
    while (e > b && s[e - 1] == u' ') --e;
    return (b == 0 && e == s.size()) ? s : s.mid(b, e - b);
}

QString compacted(const QString& path, int width)
{
    return path.size() > width ? basGlobal::CompactPathToLength(path, width) : path;
}

// Field k of a result entry ("|"-separated, from 0); error 9 when missing.
QString entryField(const QString& entry, int k)
{
    qsizetype from = 0;
    for (int f = 0; f < k; ++f) {
        from = entry.indexOf(u'|', from);
        if (from < 0)
            basGlobal::RaiseError(platform::errSubscript);
        ++from;
    }
    const qsizetype to = entry.indexOf(u'|', from);
    return entry.mid(from, to < 0 ? -1 : to - from);
}

int digitsValue(const QString& text, int from, int count)
{
    bool ok = false;
    const int v = text.mid(from, count).toInt(&ok);
    return ok ? v : 0;
}

bool allBlanks(const QString& s)
{
    for (QChar c : s)
        if (c != u' ')
            return false;
    return true;
}

const QString& folderFiller(bool greek)
{
    static const QString english = QString(12, u'*') + QStringLiteral("FOLDER") + QString(12, u'*');
    static const QString greekText = QString(11, u'*') + QStringLiteral("ΦΑΚΕΛΛΟΣ") + QString(11, u'*');
    return greek ? greekText : english;
}

} // namespace

QString PrintedOutputText(const QString& line)
{
    qsizetype e = line.size();
    while (e > 0 && line[e - 1] == u' ') --e;
    QString out = e == line.size() ? line : line.left(e);
    // A name keeps a character that logical paths cannot hold (\ : * ? " <
    // > |) as U+F000 + the character; on paper it is the character itself.
    // A control character in a name would break the line or move what
    // follows; it is shown by its picture (CR as U+240D, LF as U+240A, ...).
    for (qsizetype k = 0; k < out.size(); ++k) {
        char16_t c = out[k].unicode();
        if (c >= 0xF000 && c < 0xF080)
            c = char16_t(c - 0xF000);
        if (c < 0x20)
            c = char16_t(0x2400 + c);
        else if (c == 0x7F)
            c = 0x2421;
        else if ((c >= 0x80 && c < 0xA0) || c == 0x2028 || c == 0x2029)
            c = 0xFFFD;   // other line ends and controls have no picture of their own
        out[k] = QChar(c);
    }
    return out;
}

// --- Pages -------------------------------------------------------------------------

Long PrintedRowsPerPage(Long linesPerPage, Long headerLines) { return std::max<Long>(1, linesPerPage - headerLines); }

PrintedPages PrintedPagination(Long rows, Long linesPerPage, Long headerLines)
{
    return PrintedPages{std::max<Long>(0, rows), PrintedRowsPerPage(linesPerPage, headerLines)};
}

QString PrintedPageFitProblem(Long fontSize, Long topMargin, Long linesPerPage, Long sheetLines, bool greek)
{
    topMargin = std::max<Long>(0, topMargin);
    if (sheetLines <= 0 || topMargin + linesPerPage <= sheetLines)
        return QString();
    const QString n = QString::number(sheetLines), size = QString::number(fontSize),
                  top = QString::number(topMargin), lines = QString::number(linesPerPage),
                  most = QString::number(sheetLines - topMargin);
    const bool margin = topMargin > 0, someFit = sheetLines > topMargin;
    if (greek)
        return QStringLiteral("Με μέγεθος γραμματοσειράς ") + size + QStringLiteral(", ένα φύλλο του εκτυπωτή χωράει ") + n
            + QStringLiteral(" γραμμές: ")
            + (margin ? QStringLiteral("άνω περιθώριο ") + top + (topMargin == 1 ? QStringLiteral(" κενής γραμμής και ") : QStringLiteral(" κενών γραμμών και ")) : QString())
            + lines + QStringLiteral(" γραμμές ανά σελίδα δεν χωρούν σε αυτό.\r\n\r\n")
            + (someFit ? (margin ? QStringLiteral("Με αυτό το άνω περιθώριο χωρούν") : QStringLiteral("Χωρούν"))
                             + QStringLiteral(" το πολύ ") + most + QStringLiteral(" γραμμές ανά σελίδα. ")
                       : QString())
            + QStringLiteral("Μειώστε τις γραμμές ανά σελίδα")
            + (margin ? QStringLiteral(", το άνω περιθώριο ή") : QStringLiteral(" ή"))
            + QStringLiteral(" το μέγεθος της γραμματοσειράς.");
    return QStringLiteral("At font size ") + size + QStringLiteral(" a sheet of the printer holds ") + n
        + QStringLiteral(" lines: ")
        + (margin ? QStringLiteral("a top margin of ") + top + (topMargin == 1 ? QStringLiteral(" blank line and ") : QStringLiteral(" blank lines and ")) : QString()) + lines
        + QStringLiteral(" lines per page do not fit it.\r\n\r\n")
        + (someFit ? (margin ? QStringLiteral("With this top margin at most ") : QStringLiteral("At most ")) + most
                         + QStringLiteral(" lines per page fit. ")
                   : QString())
        + QStringLiteral("Lower the lines per page") + (margin ? QStringLiteral(", the top margin or") : QStringLiteral(" or"))
        + QStringLiteral(" the font size.");
}

QString PrintedLineFitProblem(Long fontSize, Long leftMargin, Long lineWidth, Long sheetColumns, Long largestSize,
                              bool greek)
{
    leftMargin = std::max<Long>(0, leftMargin);
    if (sheetColumns <= 0 || leftMargin + lineWidth <= sheetColumns)
        return QString();
    const QString n = QString::number(sheetColumns), size = QString::number(fontSize),
                  left = QString::number(leftMargin), width = QString::number(lineWidth),
                  most = QString::number(sheetColumns - lineWidth), largest = QString::number(largestSize);
    const bool margin = leftMargin > 0;
    // The widest margin at this size: some, none at all, or not even a line
    // without one (the first sentence says so when there is no margin).
    // Where this size fits this paper only a margin is too wide; where it
    // does not, a larger paper is the other way out.
    const int room = sheetColumns > lineWidth ? 1 : (sheetColumns == lineWidth ? 0 : -1);
    const bool marginHelps = margin && room >= 0, smaller = largestSize > 0;
    auto blanks = [](Long n) { return n == 1 ? QStringLiteral(" blank") : QStringLiteral(" blanks"); };
    auto blanksGr = [](Long n) { return n == 1 ? QStringLiteral(" κενού") : QStringLiteral(" κενών"); };
    if (greek)
        return QStringLiteral("Με μέγεθος γραμματοσειράς ") + size + QStringLiteral(", μια γραμμή του εκτυπωτή χωράει ") + n
            + QStringLiteral(" χαρακτήρες: ")
            + (margin ? QStringLiteral("αριστερό περιθώριο ") + left + blanksGr(leftMargin) + QStringLiteral(" και ") : QString())
            + QStringLiteral("μια τυπωμένη γραμμή ") + width + QStringLiteral(" χαρακτήρων ")
            + (margin ? QStringLiteral("δεν χωρούν") : QStringLiteral("δεν χωράει")) + QStringLiteral(" σε αυτήν.\r\n\r\n")
            + (room > 0 ? QStringLiteral("Με αυτό το μέγεθος χωράει αριστερό περιθώριο το πολύ ") + most + blanksGr(sheetColumns - lineWidth) + QStringLiteral(". ")
               : !margin ? QString()
               : room == 0 ? QStringLiteral("Με αυτό το μέγεθος χωράει μόνο γραμμή χωρίς αριστερό περιθώριο. ")
                           : QStringLiteral("Με αυτό το μέγεθος δεν χωράει ούτε γραμμή χωρίς αριστερό περιθώριο. "))
            + (largestSize > 0 ? (margin ? QStringLiteral("Με αυτό το αριστερό περιθώριο το μέγεθος") : QStringLiteral("Το μέγεθος"))
                                     + QStringLiteral(" της γραμματοσειράς μπορεί να είναι το πολύ ") + largest + QStringLiteral(". ")
                               : QString())
            + (marginHelps && smaller ? QStringLiteral("Μειώστε το αριστερό περιθώριο ή το μέγεθος της γραμματοσειράς.")
               : marginHelps          ? QStringLiteral("Μειώστε το αριστερό περιθώριο.")
               : smaller              ? QStringLiteral("Μειώστε το μέγεθος της γραμματοσειράς ή επιλέξτε μεγαλύτερο χαρτί στην Επιλογή εκτυπωτή.")
                                      : QStringLiteral("Επιλέξτε μεγαλύτερο χαρτί στην Επιλογή εκτυπωτή."));
    return QStringLiteral("At font size ") + size + QStringLiteral(" a line of the printer holds ") + n
        + QStringLiteral(" characters: ")
        + (margin ? QStringLiteral("a left margin of ") + left + blanks(leftMargin) + QStringLiteral(" and ") : QString())
        + QStringLiteral("a printed line of ") + width + QStringLiteral(" characters ")
        + (margin ? QStringLiteral("do not fit it.\r\n\r\n") : QStringLiteral("does not fit it.\r\n\r\n"))
        + (room > 0 ? QStringLiteral("At this font size a left margin of at most ") + most + blanks(sheetColumns - lineWidth) + QStringLiteral(" fits. ")
           : !margin ? QString()
           : room == 0 ? QStringLiteral("At this font size only a line without a left margin fits. ")
                       : QStringLiteral("At this font size not even a line without a left margin fits. "))
        + (largestSize > 0 ? (margin ? QStringLiteral("With this left margin the font size can be at most ")
                                     : QStringLiteral("The font size can be at most "))
                                 + largest + QStringLiteral(". ")
                           : QString())
        + (marginHelps && smaller ? QStringLiteral("Lower the left margin or the font size.")
           : marginHelps          ? QStringLiteral("Lower the left margin.")
           : smaller              ? QStringLiteral("Lower the font size or choose a larger paper in Printer setup.")
                                  : QStringLiteral("Choose a larger paper in Printer setup."));
}

// --- Header ------------------------------------------------------------------------

QString PrintedPathsLine(const QString& primaryPath, const QString& secondaryPath)
{
    const QString left = padRight(compacted(primaryPath, kPathWidth), kPathWidth);
    const QString right = padLeft(compacted(secondaryPath, kPathWidth).left(kPathWidth), kPathWidth);
    return left + u'-' + right;
}

QString PrintedRuleLine()
{
    return QString(kPrintedLineWidth, u'-');
}

QString PrintedPageText(Long page, Long pages, bool greek)
{
    const QString text = greek ? QStringLiteral("Σελίδα ") + QString::number(page) + QStringLiteral(" από ")
                                     + QString::number(pages) + u'.'
                               : QStringLiteral(" Page ") + QString::number(page) + QStringLiteral(" of ")
                                     + QString::number(pages) + QStringLiteral(".  ");
    if (text.size() >= kPageTextWidth)
        return text;   // four-digit numbers widen the line
    return padRight(QString((kPageTextWidth - text.size()) / 2, u' ') + text, kPageTextWidth);
}

QString PrintedTotalsLine(const QString& primaryTotals, const QString& secondaryTotals, bool primaryLive,
                          bool secondaryLive, Long page, Long pages, bool greek)
{
    auto marker = [greek](bool live) {
        return greek ? (live ? QStringLiteral("Τ") : QStringLiteral("Α")) : (live ? QStringLiteral("L") : QStringLiteral("R"));
    };
    const QString gap(9, u' ');
    return padRight(primaryTotals, kTotalsWidth) + marker(primaryLive) + gap + PrintedPageText(page, pages, greek) + gap
           + marker(secondaryLive) + padLeft(secondaryTotals, kTotalsWidth);
}

std::array<QString, kPrintedHeaderLines> PrintedPageHeader::lines(Long page, Long pages) const
{
    return {PrintedPathsLine(paths[0], paths[1]), PrintedRuleLine(),
            PrintedTotalsLine(totals[0], totals[1], live[0], live[1], page, pages, greek), PrintedRuleLine()};
}

// --- Values --------------------------------------------------------------------------

QString PlainSizeDigits(const QString& groupedSize)
{
    QString digits;
    digits.reserve(groupedSize.size());
    for (QChar c : groupedSize)
        if (c >= u'0' && c <= u'9')
            digits += c;
    if (digits.isEmpty())
        basGlobal::RaiseError(platform::errTypeMismatch);
    qsizetype zeros = 0;
    while (zeros < digits.size() - 1 && digits[zeros] == u'0') ++zeros;
    return digits.mid(zeros);
}

QString PrintedDateTimeTexts::shortDate(const QString& yyyymmdd)
{
    if (auto it = m_dates.constFind(yyyymmdd); it != m_dates.cend())
        return *it;
    basGlobal::Long err = 0;
    const QString text = basGlobal::FormatDateText(QStringLiteral("short"), false,
                                                   basGlobal::Integer(digitsValue(yyyymmdd, 0, 4)),
                                                   basGlobal::Integer(digitsValue(yyyymmdd, 4, 2)),
                                                   basGlobal::Integer(digitsValue(yyyymmdd, 6, 2)), err);
    basGlobal::RaiseIfError(err);
    m_dates.insert(yyyymmdd, text);
    return text;
}

QString PrintedDateTimeTexts::longTime(const QString& hhmmss)
{
    if (auto it = m_times.constFind(hhmmss); it != m_times.cend())
        return *it;
    basGlobal::Long err = 0;
    const QString text = basGlobal::FormatTimeText(QStringLiteral("long"), false,
                                                   basGlobal::Integer(digitsValue(hhmmss, 0, 2)),
                                                   basGlobal::Integer(digitsValue(hhmmss, 2, 2)),
                                                   basGlobal::Integer(digitsValue(hhmmss, 4, 2)), err);
    basGlobal::RaiseIfError(err);
    m_times.insert(hhmmss, text);
    return text;
}

// --- Result line ---------------------------------------------------------------------

PrintedResultLine::PrintedResultLine(const std::array<QString, 9>& cells, const std::array<QString, 2>& entries,
                                     bool greek, PrintedDateTimeTexts& texts)
    : m_entries(entries), m_greek(greek), m_texts(texts)
{
    for (std::size_t c = 0; c < cells.size(); ++c)
        m_cells[c] = trimmedBlanks(cells[c]);
}

void PrintedResultLine::buildNames()
{
    m_name[0] = padLeft(compacted(m_cells[1], kNameWidth).left(kNameWidth), kNameWidth);
    m_name[1] = padRight(compacted(m_cells[2], kNameWidth), kNameWidth);
}

void PrintedResultLine::buildSizes()
{
    for (std::size_t s = 0; s < 2; ++s) {
        const QString& cell = m_cells[3 + s];
        if (cell.isEmpty()) {
            m_size[s] = QString(kSizeWidth, u' ');
            continue;
        }
        // More than ten digits are kept whole rather than cut to a wrong number.
        const QString digits = PlainSizeDigits(cell);
        m_size[s] = digits.size() > kSizeWidth ? digits : padLeft(digits, kSizeWidth, u'.');
    }
}

void PrintedResultLine::buildDates()
{
    for (int i = 0; i < 2; ++i) {
        const std::size_t s = std::size_t(i);
        m_date[s] = m_cells[5 + s].isEmpty()
                        ? QString(kDateWidth, u' ')
                        : padLeft(m_texts.shortDate(entryField(m_entries[s], kDateField)), kDateWidth);
    }
}

void PrintedResultLine::buildTimes()
{
    for (int i = 0; i < 2; ++i) {
        const std::size_t s = std::size_t(i);
        m_time[s] = m_cells[7 + s].isEmpty()
                        ? QString(kTimeWidth, u' ')
                        : padLeft(m_texts.longTime(entryField(m_entries[s], kTimeField)), kTimeWidth);
    }
}

QString PrintedResultLine::line() const
{
    // A Secondary value equal to the Primary one reads as dashes; two blank
    // values stay blank.
    auto dashed = [](const QString& secondary, const QString& primary) {
        return secondary == primary && !allBlanks(secondary) ? QString(secondary.size(), u'-') : secondary;
    };
    const QString size1 = dashed(m_size[1], m_size[0]);
    const QString date1 = dashed(m_date[1], m_date[0]);
    const QString time1 = dashed(m_time[1], m_time[0]);

    auto isFolder = [](const QString& name) { return name.endsWith(u'\\'); };
    const QString block0 = isFolder(m_cells[1]) ? folderFiller(m_greek)
                                                : m_time[0] + u' ' + m_date[0] + u' ' + m_size[0];
    const QString block1 = isFolder(m_cells[2]) ? folderFiller(m_greek) : size1 + u' ' + date1 + u' ' + time1;
    const QString marker = m_cells[0].isEmpty() ? QStringLiteral(" ") : m_cells[0];

    QString out;
    out.reserve(kPrintedLineWidth + 8);
    out += m_name[0];
    out += u' ';
    out += block0;
    out += u'|';
    out += marker;
    out += u'|';
    out += block1;
    out += u' ';
    out += m_name[1];
    return out;
}

QString PrintedResultLine::build(const std::array<QString, 9>& cells, const std::array<QString, 2>& entries, bool greek,
                                 PrintedDateTimeTexts& texts)
{
    PrintedResultLine l(cells, entries, greek, texts);
    l.buildNames();
    l.buildSizes();
    l.buildDates();
    l.buildTimes();
    return l.line();
}

} // namespace results
