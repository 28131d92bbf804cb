#include "compare/LoadingStages.h"

#include "compare/CompareRun.h"
#include "compare/EntryLists.h"
#include "platform/AppError.h"
#include "shared/PathText.h"
#include "shared/StructureFile.h"
#include "shared/basObsoleteCompleteStructureScanner.h"

#include <optional>

namespace compare {

namespace {

[[noreturn]] void cannotOpen(CompareRun& run, const QString& file, basGlobal::Long error)
{
    const bool gr = run.settings().greek;
    const QString why = platform::errorDescription(int(error));
    run.inputFailure(gr ? QStringLiteral("Το αρχείο δομής '") + file + QStringLiteral("' δεν μπορεί να ανοιχθεί: ") + why + QLatin1Char('.')
                        : QStringLiteral("The structure file '") + file + QStringLiteral("' cannot be opened: ") + why + QLatin1Char('.'));
}

[[noreturn]] void damaged(CompareRun& run, const basGlobal::StructureFileReader& reader)
{
    run.inputFailure(basGlobal::StructureFileProblemText(reader.problem(), run.settings().greek));
}

} // namespace

void RunLoadingStages(CompareRun& run)
{
    if (run.settings().comparisonMode == 1) {
        SetLiveRange(run);
        ImportRemoteStructures(run);
    }
    if (run.state().anyLive()) {
        ScanLocalStructures(run);
        PrepareLocalStructures(run);
    }
}

void SetLiveRange(CompareRun& run)
{
    RunState& st = run.state();
    // The live structures are the ones not read from a file.
    const std::array<QString, 2>& files = run.settings().importedStructureFile;
    const bool imported[2] = {!files[0].isEmpty(), !files[1].isEmpty()};
    if (imported[0] && imported[1])
        st.FirstLocalStructure = st.LastLocalStructure = -1;
    else if (imported[0] || imported[1])
        st.FirstLocalStructure = st.LastLocalStructure = imported[0] ? 1 : 0;
}

void ImportRemoteStructures(CompareRun& run)
{
    const RunSettings& settings = run.settings();
    RunState& st = run.state();
    run.showStageName(Stage::ImportingRemoteStructure);
    run.view().setProgressValue(0);

    const int first = settings.firstStructureToProcess;
    const int last = settings.lastStructureToProcess;
    // First pass: the total is the sum of every file's own line count.
    st.progressTotal = 0;
    for (int i = first; i <= last; ++i) {
        const QString& file = settings.importedStructureFile[std::size_t(i)];
        basGlobal::StructureFileReader reader;
        if (const basGlobal::Long e = reader.open(file))
            cannotOpen(run, file, e);
        qint64 total = 0;
        if (!reader.readTotalLines(total))
            damaged(run, reader);
        st.progressTotal += total;
    }

    // Second pass: the records; the count runs on from one file into the next.
    st.progressCount = 0;
    for (int i = first; i <= last; ++i) {
        const QString& file = settings.importedStructureFile[std::size_t(i)];
        basGlobal::StructureFileReader reader;
        if (const basGlobal::Long e = reader.open(file))
            cannotOpen(run, file, e);
        basGlobal::StructureFileHeader header;
        if (!reader.readHeader(header))
            damaged(run, reader);
        st.progressCount += reader.linesRead();
        run.updateProgress();
        run.yieldAndCancelTest();

        st.StructureRoot[std::size_t(i)] = header.root;
        st.StructureRootLength[std::size_t(i)] = header.root.size();
        const EntryLists entries(i);
        entries.clear();

        basGlobal::StructureFileRecord record;
        for (qint64 n = 0; n < header.recordCount; ++n) {
            if (!reader.readRecord(record))
                damaged(run, reader);
            entries.add(record.path.mid(header.root.size()), {record.hidden, record.system, record.readOnly, record.archive,
                                                              record.size, record.date, record.time});
            st.progressCount += 8;
            run.updateProgress();
            run.yieldAndCancelTest();
        }
    }
}

void ScanLocalStructures(CompareRun& run)
{
    const RunSettings& settings = run.settings();
    RunState& st = run.state();
    // No total: the bar stays at 0 and the stage's name says so.
    run.view().setProgressValue(0);
    run.showStageName(Stage::ScanningLocalStructure);
    run.yieldAndCancelTest();

    // The last tree's folders are read while the first one is collected;
    // a cancel or failure of the first drops them unseen.
    std::optional<basGlobal::StructurePrefetch> ahead;
    if (st.FirstLocalStructure < st.LastLocalStructure)
        ahead.emplace(basGlobal::AddTrailingSeparator(settings.currentPath[std::size_t(st.LastLocalStructure)]));

    for (int i = st.FirstLocalStructure; i <= st.LastLocalStructure; ++i) {
        const QString root = basGlobal::AddTrailingSeparator(settings.currentPath[std::size_t(i)]);
        st.StructureRoot[std::size_t(i)] = root;
        st.StructureRootLength[std::size_t(i)] = root.size();
        const EntryLists entries(i);
        bool cancelled = false;
        basGlobal::Long error = 0;
        QString failedFolder;
        basGlobal::CollectStructureEntries(root, entries.sink(), cancelled, error, &failedFolder,
                                           i == st.LastLocalStructure && ahead ? &*ahead : nullptr, root.size());
        run.yieldAndCancelTest();
        if (error != 0) {
            const bool gr = settings.greek;
            const QString folder = failedFolder.isEmpty() ? root : failedFolder;
            const QString why = platform::errorDescription(int(error));
            run.inputFailure(gr ? QStringLiteral("Ο φάκελλος '") + folder + QStringLiteral("' δεν μπορεί να διαβασθεί: ") + why + QLatin1Char('.')
                                : QStringLiteral("The folder '") + folder + QStringLiteral("' cannot be read: ") + why + QLatin1Char('.'));
        }
    }
    run.noFilesCheck(StageMessageName(Stage::ScanningLocalStructure, settings.greek));
}

void PrepareLocalStructures(CompareRun& run)
{
    RunState& st = run.state();
    qint64 total = 0;
    for (int i = st.FirstLocalStructure; i <= st.LastLocalStructure; ++i)
        total += EntryLists(i).count();
    run.openStage(Stage::PreparingLocalStructure, total);

    for (int i = st.FirstLocalStructure; i <= st.LastLocalStructure; ++i) {
        const EntryLists entries(i);
        entries.clearFields();
        // The scan already left the root out of every path.
        run.batchedItems(entries.count(), [&](qint64 from, qint64 to) {
            entries.appendBlankValues(int(to - from));
            run.advanceProgress(to - from);
        });
    }
}

} // namespace compare
