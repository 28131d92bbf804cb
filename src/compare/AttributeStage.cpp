#include "compare/AttributeStage.h"

#include "compare/CompareRun.h"
#include "compare/EntryLists.h"
#include "compare/FilterSupport.h"
#include "platform/AppError.h"
#include "shared/FileFacts.h"
#include "shared/PathText.h"
#include "shared/basObsoleteCompleteStructureScanner.h"
#include "shared/frmHiddenForm.h"

#include <algorithm>

namespace compare {

using basGlobal::HiddenForm;

namespace {

// Writes `value` as `width` digits (more when it needs them) at `out`;
// returns the position after them.
QChar* putDigits(QChar* out, int value, int width)
{
    if (value < 0)   // not a date or time part any clock gives; kept as the number reads
        return std::copy_n(QString::number(value).rightJustified(width, u'0').constData(),
                           std::max<qsizetype>(width, QString::number(value).size()), out);
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

QString flagText(bool on)
{
    static const QString yes = QStringLiteral("True"), no = QStringLiteral("False");
    return on ? yes : no;
}

} // namespace

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

FileEntryFields MarkerEntryFields()
{
    FileEntryFields f;
    f.fill(basGlobal::EmptyFolderMarker);
    return f;
}

void CollectFileAttributes(CompareRun& run)
{
    RunState& st = run.state();
    if (!st.anyLive())
        return;
    qint64 total = 0;
    for (int i = st.FirstLocalStructure; i <= st.LastLocalStructure; ++i)
        total += EntryLists(i).count();
    run.openStage(Stage::CollectingFileAttributes, total);

    const FileEntryFields marker = MarkerEntryFields();
    // Files of a tree mostly share their dates, often their times and
    // sizes: a text equal to the entry before's is that text again, shared
    // rather than formatted and allocated anew.
    FileEntryFields last;
    platform::FileFacts lastFacts;
    bool haveLast = false;
    const auto fieldsOf = [&](const platform::FileFacts& facts) -> const FileEntryFields& {
        const platform::LocalDateTime& m = facts.modified;
        const platform::LocalDateTime& p = lastFacts.modified;
        if (!haveLast) {
            last = EntryFieldsFromFacts(facts);
        } else {
            last[0] = flagText(facts.hidden);
            last[1] = flagText(facts.system);
            last[2] = flagText(facts.readOnly);
            last[3] = flagText(facts.archive);
            if (std::max<qint64>(facts.size, 0) != std::max<qint64>(lastFacts.size, 0))
                last[4] = basGlobal::FormatSizeText(facts.size < 0 ? 0 : facts.size);
            if (m.year != p.year || m.month != p.month || m.day != p.day)
                last[5] = joinDigits(m.year, 4, m.month, 2, m.day, 2);
            if (m.hour != p.hour || m.minute != p.minute || m.second != p.second)
                last[6] = joinDigits(m.hour, 2, m.minute, 2, m.second, 2);
        }
        lastFacts = facts;
        haveLast = true;
        return last;
    };
    for (int i = st.FirstLocalStructure; i <= st.LastLocalStructure; ++i) {
        const EntryLists entries(i);
        entries.clearFields();
        const basGlobal::FileFactsStore& store = basGlobal::StructureFactsStore(i);
        const QString root = basGlobal::AddTrailingSeparator(st.StructureRoot[std::size_t(i)]);
        qsizetype cursor = 0;   // the entries come in the order the scan put their facts
        const ui::ListBox& paths = entries.paths();
        const int n = paths.listCount();
        for (int k = 0; k < n; ++k) {
            run.yieldAndCancelTest();
            const QString& rel = paths.list(k);
            const FileEntryFields* fields = &marker;
            if (!IsMarkerEntry(rel)) {
                platform::FileFacts facts;
                if (const basGlobal::Long e = basGlobal::GetEntryFileFacts(store, root, rel, cursor, facts))
                    throw platform::AppError{int(e), platform::errorDescription(int(e)) + QStringLiteral(": ") + root + rel};
                fields = &fieldsOf(facts);
            }
            for (int f = 0; f < kEntryFields; ++f)
                entries.field(f).addItem((*fields)[std::size_t(f)]);
            run.advanceProgress();
        }
        // Nothing after this stage asks for a file's facts.
        basGlobal::StructureFactsStore(i).release();
    }
}

} // namespace compare
