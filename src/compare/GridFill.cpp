#include "compare/GridFill.h"

#include "compare/FolderAlignment.h"
#include "platform/AppError.h"
#include "shared/FileFacts.h"
#include "shared/PathText.h"
#include "shared/RegionalFormats.h"
#include "shared/frmHiddenForm.h"
#include "ui/FlexGrid.h"

#include <QHash>

#include <algorithm>

namespace compare {

using basGlobal::globals;
using basGlobal::HiddenForm;

namespace {

constexpr int kCentreCentre = 4;

bool sameUnderCaseRule(const QString& a, const QString& b, bool cs)
{
    // Blanks, sizes, dates and times are mostly shared texts: the same data
    // needs no comparison.
    if (a.size() == b.size() && (a.constData() == b.constData() || a == b)) return true;
    return !cs && basGlobal::ApplyCaseSensitivity(a, false) == basGlobal::ApplyCaseSensitivity(b, false);
}

bool isFolderText(const QString& t) { return !t.isEmpty() && t.back() == u'\\'; }

int wholeNumber(const QString& text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
}

// The value of a field of exactly `length` ASCII digits, else -1.
int digitsValue(QStringView field, qsizetype length)
{
    if (field.size() != length) return -1;
    int v = 0;
    for (QChar c : field) {
        const char16_t u = c.unicode();
        if (u < u'0' || u > u'9') return -1;
        v = v * 10 + int(u - u'0');
    }
    return v;
}

// Date and time texts repeat a great deal in a tree; each is formatted once.
// A well-formed field (all digits) is looked up by its number, without a
// copy of its text; any other goes the long way.
class StampFormatter {
public:
    StampFormatter(const QString& dateFormatName, const QString& timeFormatName)
        : dateFormat_(dateFormatName), timeFormat_(timeFormatName)
    {
    }
    QString date(QStringView field)
    {
        const int v = digitsValue(field, 8);
        if (v < 0) return date(field.toString());
        if (auto it = dateNumbers_.constFind(v); it != dateNumbers_.constEnd()) return it.value();
        const QString t = date(field.toString());
        dateNumbers_.insert(v, t);
        return t;
    }
    QString time(QStringView field)
    {
        const int v = digitsValue(field, 6);
        if (v < 0) return time(field.toString());
        if (auto it = timeNumbers_.constFind(v); it != timeNumbers_.constEnd()) return it.value();
        const QString t = time(field.toString());
        timeNumbers_.insert(v, t);
        return t;
    }
    QString date(const QString& field)
    {
        if (auto it = dates_.constFind(field); it != dates_.constEnd()) return it.value();
        basGlobal::Long error = 0;
        const QString t = basGlobal::FormatFileDateText(dateFormat_, field, error);
        if (error != 0) throw platform::makeError(error);
        dates_.insert(field, t);
        return t;
    }
    QString time(const QString& field)
    {
        if (auto it = times_.constFind(field); it != times_.constEnd()) return it.value();
        basGlobal::Long error = 0;
        const QString t = basGlobal::FormatTimeText(timeFormat_, false,
                                                    basGlobal::Integer(wholeNumber(field.left(2))),
                                                    basGlobal::Integer(wholeNumber(field.mid(2, 2))),
                                                    basGlobal::Integer(wholeNumber(field.right(2))), error);
        if (error != 0) throw platform::makeError(error);
        times_.insert(field, t);
        return t;
    }

private:
    QString dateFormat_;
    QString timeFormat_;
    QHash<QString, QString> dates_;
    QHash<QString, QString> times_;
    QHash<int, QString> dateNumbers_;
    QHash<int, QString> timeNumbers_;
};

// A file row of lstOutput read from the right, as views into its text.
struct FileRowView {
    QStringView name;
    std::array<QStringView, 7> fields;
    bool complete = false;   // false: fewer than seven fields, all in the name
};

FileRowView viewFileRow(const QString& text)
{
    FileRowView r;
    const QStringView all(text);
    const QChar* const data = text.constData();
    // One pass from the right over the short fields to the seventh "|".
    qsizetype end = text.size();
    qsizetype p = end;
    int f = 6;
    while (f >= 0 && p > 0) {
        if (data[--p] != u'|') continue;
        r.fields[std::size_t(f--)] = all.mid(p + 1, end - p - 1);
        end = p;
    }
    r.name = all.left(end);
    r.complete = f < 0;
    return r;
}

QString sizeText(QStringView sizeField, const shared::RegionalFormats& formats)
{
    bool ok = false;
    const qint64 n = sizeField.trimmed().toLongLong(&ok);
    return formats.groupedNumber(ok ? n : 0);
}

QString blanks(int n) { return QString(n, QLatin1Char(' ')); }

// The date and time fields of a file row: the last two "|"-fields.
std::pair<QStringView, QStringView> stampOf(const QString& row)
{
    const qsizetype t = row.lastIndexOf(QLatin1Char('|'));
    const qsizetype d = t > 0 ? row.lastIndexOf(QLatin1Char('|'), t - 1) : -1;
    if (t < 0 || d < 0) return {};
    return {QStringView(row).mid(d + 1, t - d - 1), QStringView(row).mid(t + 1)};
}

// Which of two files was written later (1 the first, -1 the second): the
// dates by their value (a year may have more than four digits), then the
// times, which are always HHMMSS.
int compareStamps(QStringView date0, QStringView time0, QStringView date1, QStringView time1)
{
    const int order = basGlobal::CompareFileDateFields(date0, date1);
    return order != 0 ? order : time0.compare(time1);
}

// Whether output row k of structure i stands for an entry of its own (not
// a row inserted to face the other structure's).
bool hasEntry(const basGlobal::frmHiddenForm& h, int i, int k)
{
    const ui::ListBox& out = *h.lstOutput[i];
    return k < out.listCount() && out.itemData(k) != acInserted;
}

} // namespace

unsigned DifferingPairs(const std::array<QString, 8>& cells, bool oneSided, bool caseSensitive)
{
    unsigned pairs = oneSided ? 1u : 0u;
    for (int p = 0; p < 4; ++p)
        if (!sameUnderCaseRule(cells[std::size_t(2 * p)], cells[std::size_t(2 * p + 1)], caseSensitive))
            pairs |= 1u << p;
    return pairs;
}

unsigned DifferingPairs(const ui::FlexGrid& grid, int r, bool caseSensitive)
{
    std::array<QString, 8> cells;
    for (int c = 1; c < basGlobal::kGridColumns; ++c)
        cells[std::size_t(c - 1)] = grid.textMatrix(r, c);
    return DifferingPairs(cells, !grid.mergeRow(r), caseSensitive);
}

ResultFields ParseResultRow(const QString& text, int code)
{
    ResultFields r;
    if (code == acInserted) {
        r.kind = isFolderText(text) ? ResultFields::Folder : ResultFields::Inserted;
        r.name = r.kind == ResultFields::Folder || !text.endsWith(QLatin1Char('|')) ? text : text.left(text.size() - 1);
        return r;
    }
    if (isFolderText(text)) {
        r.kind = ResultFields::Folder;
        r.name = text;
        return r;
    }
    r.kind = ResultFields::File;
    qsizetype end = text.size();
    for (int f = 6; f >= 0; --f) {
        const qsizetype bar = end > 0 ? text.lastIndexOf(QLatin1Char('|'), end - 1) : -1;
        if (bar < 0) {   // fewer than seven fields: what there is stays in the name
            r.name = text.left(end);
            return r;
        }
        r.fields[std::size_t(f)] = text.mid(bar + 1, end - bar - 1);
        end = bar;
    }
    r.name = text.left(end);
    return r;
}

QString GridSizeText(const QString& sizeField)
{
    bool ok = false;
    const qint64 n = sizeField.trimmed().toLongLong(&ok);
    return shared::regionalFormats().groupedNumber(ok ? n : 0);
}

void InitializeGrid(CompareRun& run)
{
    const RunSettings& settings = run.settings();
    ui::FlexGrid& grid = run.view().grid();
    const RunState& st = run.state();
    run.view().showProgress(100, 100);
    run.openStage(Stage::InitializingGrid);
    const int n = HiddenForm().lstOutput[0]->listCount();
    grid.setCols(basGlobal::kGridColumns);
    grid.setRows(n + 1);
    grid.setFixedRows(1);
    grid.setFixedCols(1);
    grid.setMergeCells(1);
    grid.setMergeRow(0, false);
    for (int c = 0; c < basGlobal::kGridColumns; ++c) grid.setColWidth(c, settings.gridColumnWidth[std::size_t(c)]);
    const bool gr = settings.greek;
    const QString headings[4] = {gr ? QStringLiteral("Όνομα") : QStringLiteral("Name"),
                                 gr ? QStringLiteral("Μέγεθος") : QStringLiteral("Size"),
                                 gr ? QStringLiteral("Χρονολογία") : QStringLiteral("Date"),
                                 gr ? QStringLiteral("Ώρα") : QStringLiteral("Time")};
    grid.setTextMatrix(0, 0, QString());
    for (int c = 1; c < basGlobal::kGridColumns; ++c) grid.setTextMatrix(0, c, headings[(c - 1) / 2]);
    for (int c = 0; c < basGlobal::kGridColumns; ++c) {
        run.yieldAndCancelTest();
        grid.setFixedAlignment(c, kCentreCentre);
    }
    for (int c = 0; c < basGlobal::kGridColumns; ++c) grid.setColAlignment(c, kCentreCentre);
    run.state().progressTotal = qint64(n) * 8;
    run.state().progressCount = 0;
    const QString blank = QStringLiteral(" ");
    // A row is a step of its own (its merging) and then one per data cell;
    // between hand-overs the cells of a row are set together.
    constexpr int kRowSteps = basGlobal::kGridColumns;
    run.batchedItems(qint64(n) * kRowSteps, [&](qint64 from, qint64 to) {
        for (qint64 j = from; j < to;) {
            const int r = int(j / kRowSteps) + 1;
            const int first = int(j % kRowSteps);
            if (first == 0) {
                grid.setMergeRow(r, true);
                ++j;
                continue;
            }
            const int last = int(std::min<qint64>(to - j + first - 1, kRowSteps - 1));
            grid.setRowCells(r, first, last, blank, r % 2 == 0 ? st.white : st.grey);
            for (int c = first; c <= last; ++c) StepProgress(run);
            j += last - first + 1;
        }
    });
}

GridTotals PopulateGrid(CompareRun& run)
{
    ui::FlexGrid& grid = run.view().grid();
    basGlobal::frmHiddenForm& h = HiddenForm();
    const int n = h.lstOutput[0]->listCount();
    run.openStage(Stage::PopulatingGrid, n);
    GridTotals totals;
    StampFormatter stamps(run.settings().dateFormatName, run.settings().timeFormatName);
    const shared::RegionalFormats& formats = shared::regionalFormats();
    totals.stampOrder.assign(std::size_t(n) + 1, GridTotals::kStampUnknown);
    std::array<FileRowView, 2> files;
    for (int r = 1; r <= n; ++r) {
        run.yieldAndCancelTest();
        files[0].complete = files[1].complete = false;
        for (int i = 0; i < 2; ++i) {
            run.yieldAndCancelTest();
            const ui::ListBox& out = *h.lstOutput[i];
            if (r - 1 >= out.listCount()) continue;
            const int code = out.itemData(r - 1);
            if (code == acInserted) continue;
            // Read as ParseResultRow does, without a copy of any field.
            const QString& text = out.list(r - 1);
            if (isFolderText(text)) {
                ++totals.folders[std::size_t(i)];
                grid.setTextMatrix(r, 1 + i, text);
                continue;
            }
            ++totals.files[std::size_t(i)];
            const FileRowView& row = files[std::size_t(i)] = viewFileRow(text);
            grid.setTextMatrix(r, 1 + i, row.name.toString());
            grid.setTextMatrix(r, 3 + i, sizeText(row.fields[4], formats));
            grid.setTextMatrix(r, 5 + i, stamps.date(row.fields[5]));
            grid.setTextMatrix(r, 7 + i, stamps.time(row.fields[6]));
        }
        if (files[0].complete && files[1].complete) {
            int order = compareStamps(files[0].fields[5], files[0].fields[6], files[1].fields[5], files[1].fields[6]);
            totals.stampOrder[std::size_t(r)] = static_cast<signed char>(order > 0 ? 1 : order < 0 ? -1 : 0);
        }
        StepProgress(run);
    }
    return totals;
}

void FinalProcessing(CompareRun& run, const GridTotals& totals)
{
    basGlobal::Globals& g = globals();
    RunState& st = run.state();
    ui::FlexGrid& grid = run.view().grid();
    basGlobal::frmHiddenForm& h = HiddenForm();
    const bool gr = run.settings().greek;
    const bool cs = run.settings().caseSensitive;
    run.openStage(Stage::FinalProcessing, qint64(grid.rows() - 1) * 4);
    st.StructuresDiffer = false;
    static const int equalBlanks[6] = {5, 5, 3, 3, 5, 5};
    static const int unequalBlanks[6] = {4, 3, 4, 3, 4, 3};
    const QString blankTexts[6] = {QString(), blanks(1), blanks(2), blanks(3), blanks(4), blanks(5)};
    const QString newer = gr ? QStringLiteral("Ν") : QStringLiteral("N");
    const QString older = gr ? QStringLiteral("Π") : QStringLiteral("O");
    for (int r = 1; r < grid.rows(); ++r) {
        run.yieldAndCancelTest();
        // A side without an entry shows blanks, which a name of blanks reads
        // like: such a row is told by its codes, never by its texts, and it
        // does not merge.
        const bool oneSided = !hasEntry(h, 0, r - 1) || !hasEntry(h, 1, r - 1);
        if (oneSided) grid.setMergeRow(r, false);
        std::array<QString, 8> cells;
        for (int c = 1; c < basGlobal::kGridColumns; ++c) cells[std::size_t(c - 1)] = grid.textMatrix(r, c);
        const unsigned differing = DifferingPairs(cells, oneSided, cs);
        for (int c = 1; c < basGlobal::kGridColumns; c += 2) {
            run.yieldAndCancelTest();
            const QString& a = cells[std::size_t(c - 1)];
            const QString& b = cells[std::size_t(c)];
            if (differing & (1u << (c / 2))) {
                st.StructuresDiffer = true;
                grid.setCellBackColorAt(r, c, st.sideTint[0]);
                grid.setCellBackColorAt(r, c + 1, st.sideTint[1]);
            }
            if (isFolderText(a) || isFolderText(b)) {
                for (int col = 1; col < basGlobal::kGridColumns; ++col) {
                    run.yieldAndCancelTest();
                    grid.setCellBackColorAt(r, col, st.green);
                }
            }
            StepProgress(run);
        }
        const QString& a = grid.textMatrix(r, 1);
        const QString& b = grid.textMatrix(r, 2);
        const bool sameName = !oneSided && sameUnderCaseRule(a, b, cs);
        const bool folderRow = isFolderText(a) || isFolderText(b);
        if (sameName && !folderRow) {
            int order = std::size_t(r) < totals.stampOrder.size() ? totals.stampOrder[std::size_t(r)]
                                                                   : GridTotals::kStampUnknown;
            if (order == GridTotals::kStampUnknown) {
                const auto [pd, pt] = stampOf(h.lstOutput[0]->list(r - 1));
                const auto [sd, st2] = stampOf(h.lstOutput[1]->list(r - 1));
                order = compareStamps(pd, pt, sd, st2);
            }
            if (order > 0) grid.setTextMatrix(r, 0, newer);
            else if (order < 0) grid.setTextMatrix(r, 0, older);
        }
        if (folderRow) {
            const int* pattern = sameName ? equalBlanks : unequalBlanks;
            for (int k = 0; k < 6; ++k) grid.setTextMatrix(r, 3 + k, blankTexts[pattern[k]]);
        }
    }
    const QString folders = gr ? QStringLiteral("Φάκελλοι") : QStringLiteral("Folders");
    const QString files = gr ? QStringLiteral("Αρχεία") : QStringLiteral("Files");
    const shared::RegionalFormats& fmt = shared::regionalFormats();
    for (int i = 0; i < 2; ++i) {
        run.view().showTotals(i, folders + QStringLiteral(": ") + fmt.groupedNumber(totals.folders[std::size_t(i)]) + QLatin1Char('.'),
                              files + QStringLiteral(": ") + fmt.groupedNumber(totals.files[std::size_t(i)]) + QLatin1Char('.'));
        g.ComparedPath[std::size_t(i)] = st.StructureRoot[std::size_t(i)];
    }
}

} // namespace compare
