// The comparison's filter stages over 10,000 and then 100,000 entries per
// structure, without the disk: the entries are filled directly with facts
// as a scan reads them, and the attribute stage takes those, as it does
// after a real scan. Every stage runs and removes part of the entries:
// levels (deep entries), an excluded first-level folder, file types,
// hidden files, the one-sided files and the equal pairs. Prints the time
// of each stage at both sizes and the growth factor, which stays near 10
// when no stage is quadratic. It checks nothing.
//
// Usage: filter_bench [small]   (default 10000; the large run is 10 times it)

#include "compare/AttributeStage.h"
#include "compare/CommonFilters.h"
#include "compare/CompareRun.h"
#include "compare/EntryFilters.h"
#include "compare/EntryLists.h"
#include "results/frmCompare.h"
#include "shared/FileFacts.h"
#include "shared/Messages.h"
#include "shared/basGlobal.h"
#include "shared/frmHiddenForm.h"
#include "ui/HeadlessDesktop.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

using basGlobal::globals;
using basGlobal::HiddenForm;

// Hands entries to a structure the way a scan does, through its sink: a
// folder begins where the folder of the path changes.
class ScannedEntries {
public:
    explicit ScannedEntries(const compare::EntryLists& entries) : m_sink(entries.sink()) {}
    void add(const QString& rel, const platform::FileFacts& facts)
    {
        const qsizetype cut = rel.lastIndexOf(u'\\') + 1;
        const QString folder = rel.left(cut);
        if (!m_begun || folder != m_folder) {
            m_sink.beginFolder(folder);
            m_folder = folder;
            m_begun = true;
        }
        platform::DirEntry e;
        e.name = rel.mid(cut);
        e.facts = facts;
        m_sink.addFile(std::move(e));
    }

private:
    basGlobal::StructureEntrySink& m_sink;
    QString m_folder;
    bool m_begun = false;
};

// One side's entries: about 5 % too deep, 2 % below the excluded folder,
// 5 % pictures, 5 % hidden; the Secondary lacks a tenth of the Primary's
// files and has a tenth of its own; every other common file differs.
void fill(int side, int n, compare::RunState& st)
{
    basGlobal::frmHiddenForm& h = HiddenForm();
    const compare::EntryLists entries(side);
    entries.clear();
    ScannedEntries scanned(entries);
    h.lstExcluded[side]->clear();
    const QString root = side == 0 ? QStringLiteral("C:\\Left\\") : QStringLiteral("C:\\Right\\");
    st.StructureRoot[std::size_t(side)] = root;
    st.StructureRootLength[std::size_t(side)] = root.size();
    for (int k = 0; k < n; ++k) {
        const int id = (side == 1 && k % 10 == 9) ? n + k : k;   // one tenth of its own
        QString folder = QStringLiteral("top%1\\sub%2\\").arg(id % 50, 2, 10, QLatin1Char('0')).arg(id % 97, 2, 10, QLatin1Char('0'));
        if (id % 20 == 1) folder += QStringLiteral("deep\\er\\");
        if (id % 50 == 2) folder = QStringLiteral("skipped\\") + folder;
        const QString ext = id % 20 == 3 ? QStringLiteral(".png") : QStringLiteral(".txt");
        const QString name = (id % 20 == 4 ? QStringLiteral(".hidden%1") : QStringLiteral("file%1")).arg(id) + ext;
        const QString rel = folder + name;
        platform::FileFacts f;
        f.hidden = name.startsWith(u'.');
        f.archive = true;
        f.size = 1000 + id + (side == 1 && id % 2 ? 1 : 0);
        f.modified = {2024, 5, 6, 7, 8, 9};
        scanned.add(rel, f);
        entries.appendBlankValues(1);
    }
}

struct StageTime {
    const char* name;
    std::function<void(compare::CompareRun&)> stage;
    double seconds[2] = {0, 0};
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int small = argc > 1 ? std::atoi(argv[1]) : 10000;
    ui::HeadlessDesktop desk;
    desk.install();
    basGlobal::SetDoEventsInterval(basGlobal::kDoEventsIntervalMs);

    basGlobal::Globals& g = globals();
    g.NumberOfLevelsLimit = 3;
    g.FolderSelectionState = 2;
    g.FileTypesPattern = QStringLiteral("*.txt;*.doc");
    g.IncludeHiddenFiles = false;
    g.IncludeSystemFiles = g.IncludeReadOnlyFiles = g.IncludeArchiveFiles = true;
    g.CommonFilesOnly = true;
    g.DifferencesOnly = true;
    g.FailSafeChecks = true;
    g.VolumeIsCaseSensitive = false;
    for (int i = 0; i < 2; ++i) {
        HiddenForm().lstFoldersToIncludeExclude[i]->clear();
        HiddenForm().lstFoldersToIncludeExclude[i]->addItem(QStringLiteral("skipped"));
    }

    std::vector<StageTime> stages = {
        {"filtering number of levels", compare::FilterNumberOfLevels},
        {"excluding first level folders", compare::FilterFirstLevelFolders},
        {"filtering file types", compare::FilterFileTypes},
        {"collecting file attributes", compare::CollectFileAttributes},
        {"filtering file attributes", compare::FilterFileAttributes},
        {"filtering common files + fail-safe", compare::FilterCommonFiles},
        {"filtering differences", compare::FilterDifferences},
    };

    int left[2][2] = {};
    for (int round = 0; round < 2; ++round) {
        const int n = round == 0 ? small : small * 10;
        results::frmCompare form;
        form.load();
        compare::CompareRun run(form);
        run.state().FirstLocalStructure = 0;
        run.state().LastLocalStructure = 1;
        for (int side = 0; side < 2; ++side) fill(side, n, run.state());
        for (StageTime& s : stages) {
            QElapsedTimer t;
            t.start();
            s.stage(run);
            s.seconds[round] = double(t.nsecsElapsed()) / 1e9;
        }
        for (int side = 0; side < 2; ++side) left[round][side] = compare::EntryLists(side).count();
        form.unload();
    }

    std::printf("%-38s %12s %12s %8s\n", "stage", QByteArray::number(small).constData(),
                QByteArray::number(small * 10).constData(), "growth");
    double total[2] = {0, 0};
    for (const StageTime& s : stages) {
        std::printf("%-38s %10.3f s %10.3f s %8.1f\n", s.name, s.seconds[0], s.seconds[1],
                    s.seconds[0] > 0 ? s.seconds[1] / s.seconds[0] : 0.0);
        total[0] += s.seconds[0];
        total[1] += s.seconds[1];
    }
    std::printf("%-38s %10.3f s %10.3f s %8.1f\n", "all seven", total[0], total[1], total[1] / total[0]);
    std::printf("entries left: %d / %d of %d, %d / %d of %d\n", left[0][0], left[0][1], small, left[1][0], left[1][1],
                small * 10);
    return 0;
}
