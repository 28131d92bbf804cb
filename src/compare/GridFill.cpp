#include "compare/GridFill.h"

#include "compare/FolderAlignment.h"
#include "platform/AppError.h"
#include "shared/FileFacts.h"
#include "shared/PathText.h"
#include "shared/DigitGrouping.h"
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

void InitializeGrid(CompareRun& run)
{
    const RunSettings& settings = run.settings();
    ui::FlexGrid& grid = run.view().grid();
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
    // The data rows are written once each, whole, by the populating stage.
    run.state().progressTotal = n;
    run.advanceProgress(n);
}

GridTotals PopulateGrid(CompareRun& run)
{
    ui::FlexGrid& grid = run.view().grid();
    basGlobal::frmHiddenForm& h = HiddenForm();
    const RunSettings& settings = run.settings();
    const RunState& st = run.state();
    const bool cs = settings.caseSensitive;
    const int n = h.lstOutput[0]->listCount();
    run.openStage(Stage::PopulatingGrid, n);
    GridTotals totals;
    StampFormatter stamps(settings.dateFormatName, settings.timeFormatName);
    const shared::RegionalFormats& formats = shared::regionalFormats();
    const shared::DigitGrouping sizes([&formats](qint64 v) { return formats.groupedNumber(v); });
    const QString blank = QStringLiteral(" ");
    static const int equalBlanks[6] = {5, 5, 3, 3, 5, 5};
    static const int unequalBlanks[6] = {4, 3, 4, 3, 4, 3};
    const QString blankTexts[6] = {QString(), blanks(1), blanks(2), blanks(3), blanks(4), blanks(5)};
    const QString newer = settings.greek ? QStringLiteral("Ν") : QStringLiteral("N");
    const QString older = settings.greek ? QStringLiteral("Π") : QStringLiteral("O");
    const ui::ListBox* out[2] = {h.lstOutput[0], h.lstOutput[1]};

    // The last size of each side, with its text: equal sizes share one.
    std::array<QStringView, 2> lastSizeField;
    std::array<QString, 2> lastSizeText;
    const auto sizeCell = [&](int i, QStringView field) -> const QString& {
        if (lastSizeText[std::size_t(i)].isNull() || field != lastSizeField[std::size_t(i)]) {
            const int other = 1 - i;
            if (!lastSizeText[std::size_t(other)].isNull() && field == lastSizeField[std::size_t(other)]) {
                lastSizeText[std::size_t(i)] = lastSizeText[std::size_t(other)];
            } else {
                bool ok = false;
                const qint64 v = field.trimmed().toLongLong(&ok);
                lastSizeText[std::size_t(i)] = sizes.format(ok ? v : 0);
            }
        }
        lastSizeField[std::size_t(i)] = field;
        return lastSizeText[std::size_t(i)];
    };

    // Each row in one pass: the texts as populating writes them, the
    // colours, merging and marker of the finished grid, then the folder
    // rows' blanks; the cells are written once.
    std::array<QString, 8> cells;
    std::array<ui::Color, 9> colours;
    std::array<FileRowView, 2> files;
    run.batchedItems(n, [&](qint64 from, qint64 to) {
        for (int r = int(from) + 1; r <= int(to); ++r) {
            const int k = r - 1;
            bool entry[2] = {false, false};
            files[0].complete = files[1].complete = false;
            for (int i = 0; i < 2; ++i) {
                const std::size_t name = std::size_t(i), rest = std::size_t(2 + i);
                cells[name] = cells[rest] = cells[rest + 2] = cells[rest + 4] = blank;
                if (k >= out[i]->listCount() || out[i]->itemData(k) == acInserted) continue;
                entry[i] = true;
                const QString& text = out[i]->list(k);
                if (isFolderText(text)) {
                    ++totals.folders[std::size_t(i)];
                    cells[name] = text;
                    continue;
                }
                ++totals.files[std::size_t(i)];
                const FileRowView& row = files[std::size_t(i)] = viewFileRow(text);
                // Equal names share their text.
                cells[name] = i == 1 && entry[0] && row.name == cells[0] ? cells[0] : row.name.toString();
                cells[rest] = sizeCell(i, row.fields[4]);
                cells[rest + 2] = stamps.date(row.fields[5]);
                cells[rest + 4] = stamps.time(row.fields[6]);
            }
            // A side without an entry shows blanks, which a name of blanks
            // reads like: such a row is told by its codes, never by its
            // texts, and it does not merge.
            const bool oneSided = !entry[0] || !entry[1];
            const unsigned differing = DifferingPairs(cells, oneSided, cs);
            const ui::Color shade = r % 2 == 0 ? st.white : st.grey;
            colours.fill(shade);
            colours[0] = ui::kColorUnset;
            for (int p = 0; p < 4; ++p) {
                const std::size_t c = std::size_t(1 + 2 * p);
                if (differing & (1u << p)) {
                    totals.differ = true;
                    colours[c] = st.sideTint[0];
                    colours[c + 1] = st.sideTint[1];
                }
                if (isFolderText(cells[c - 1]) || isFolderText(cells[c]))
                    std::fill(colours.begin() + 1, colours.end(), st.green);
            }
            const bool sameName = !oneSided && sameUnderCaseRule(cells[0], cells[1], cs);
            const bool folderRow = isFolderText(cells[0]) || isFolderText(cells[1]);
            const QString* marker = &blankTexts[0];
            if (sameName && !folderRow) {
                int order = 0;
                if (files[0].complete && files[1].complete) {
                    order = compareStamps(files[0].fields[5], files[0].fields[6], files[1].fields[5], files[1].fields[6]);
                } else {
                    const auto [pd, pt] = stampOf(out[0]->list(k));
                    const auto [sd, sdt] = stampOf(out[1]->list(k));
                    order = compareStamps(pd, pt, sd, sdt);
                }
                if (order > 0) marker = &newer;
                else if (order < 0) marker = &older;
            }
            if (folderRow) {
                const int* pattern = sameName ? equalBlanks : unequalBlanks;
                for (int c = 0; c < 6; ++c) cells[std::size_t(2 + c)] = blankTexts[pattern[c]];
            }
            grid.setCellAt(r, 0, *marker, colours[0]);
            for (int c = 1; c < basGlobal::kGridColumns; ++c)
                grid.setCellAt(r, c, cells[std::size_t(c - 1)], colours[std::size_t(c)]);
            grid.setMergeRow(r, !oneSided);
        }
        run.advanceProgress(to - from);
    });
    return totals;
}

void FinalProcessing(CompareRun& run, const GridTotals& totals)
{
    RunState& st = run.state();
    const bool gr = run.settings().greek;
    const qint64 steps = qint64(run.view().grid().rows() - 1) * 4;
    run.openStage(Stage::FinalProcessing, steps);
    st.StructuresDiffer = totals.differ;
    const QString folders = gr ? QStringLiteral("Φάκελλοι") : QStringLiteral("Folders");
    const QString files = gr ? QStringLiteral("Αρχεία") : QStringLiteral("Files");
    const shared::RegionalFormats& fmt = shared::regionalFormats();
    for (int i = 0; i < 2; ++i) {
        run.view().showTotals(i, folders + QStringLiteral(": ") + fmt.groupedNumber(totals.folders[std::size_t(i)]) + QLatin1Char('.'),
                              files + QStringLiteral(": ") + fmt.groupedNumber(totals.files[std::size_t(i)]) + QLatin1Char('.'));
        globals().ComparedPath[std::size_t(i)] = st.StructureRoot[std::size_t(i)];
    }
    run.advanceProgress(steps);
}

} // namespace compare
