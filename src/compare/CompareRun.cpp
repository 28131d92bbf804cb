#include "compare/CompareRun.h"

#include "compare/AlignmentStages.h"
#include "compare/EntryFilterStages.h"
#include "compare/EntryLists.h"
#include "compare/LoadingStages.h"
#include "platform/AppError.h"
#include "shared/FileFacts.h"
#include "shared/Messages.h"
#include "shared/frmHiddenForm.h"

#include <malloc.h>

#include <new>
#include <stdexcept>

namespace compare {

using basGlobal::globals;
using basGlobal::HiddenForm;

namespace {

struct StageNames {
    const char16_t* english;
    const char16_t* greek;
};

StageNames names(Stage s)
{
    switch (s) {
    case Stage::ImportingRemoteStructure: return {u"importing remote structure", u"εισαγωγή απομακρυσμένης δομής"};
    case Stage::ScanningLocalStructure:
        return {u"scanning local structure - no progress percentage available",
                u"σάρωση τοπικής δομής - δεν μπορεί να εμφανισθεί η ποσοστιαία πρόοδος"};
    case Stage::PreparingLocalStructure: return {u"preparing local structure", u"προετοιμασία τοπικής δομής"};
    case Stage::FilteringNumberOfLevels: return {u"filtering number of levels", u"διαλογή αριθμού επιπέδων"};
    case Stage::IncludingFirstLevelFolders:
        return {u"including first level folders", u"συμμετοχή φακέλλων πρώτου επιπέδου"};
    case Stage::ExcludingFirstLevelFolders:
        return {u"excluding first level folders", u"αποκλεισμός φακέλλων πρώτου επιπέδου"};
    case Stage::FilteringFileTypes: return {u"filtering file types", u"διαλογή τύπων αρχείων"};
    case Stage::CollectingFileAttributes:
        return {u"collecting local structure file attributes", u"συλλογή ιδιοτήτων αρχείων τοπικής δομής"};
    case Stage::FilteringFileAttributes: return {u"filtering file attributes", u"διαλογή ιδιοτήτων αρχείων"};
    case Stage::FilteringCommonFiles: return {u"filtering common files", u"διαλογή κοινών αρχείων"};
    case Stage::FilteringDifferences: return {u"filtering differences", u"διαλογή διαφορών"};
    case Stage::CollectingFolders: return {u"collecting folders", u"συλλογή φακέλλων"};
    case Stage::AligningPrimaryFolders:
        return {u"aligning primary structure folders", u"ευθυγράμμιση φακέλλων πρωτευούσης δομής"};
    case Stage::AligningSecondaryFolders:
        return {u"aligning secondary structure folders", u"ευθυγράμμιση φακέλλων δευτερευούσης δομής"};
    case Stage::FailSafeCheck: return {u"fail-safe check", u"έλεγχος αποτυχίας"};
    case Stage::AligningFiles:
        return {u"aligning files - this process might take some time",
                u"ευθυγράμμιση αρχείων - η διαδικασία μπορεί να είναι χρονοβόρος"};
    case Stage::InitializingGrid: return {u"initializing grid", u"δημιουργία πίνακα"};
    case Stage::PopulatingGrid: return {u"populating grid", u"εμπλουτισμός πίνακα"};
    case Stage::FinalProcessing: return {u"final processing", u"τελική επεξεργασία"};
    }
    return {u"", u""};
}

} // namespace

QString StageName(Stage stage, bool greek)
{
    const StageNames n = names(stage);
    return QString::fromUtf16(greek ? n.greek : n.english);
}

QString StageMessageName(Stage stage, bool greek)
{
    if (stage == Stage::ScanningLocalStructure)
        return greek ? QStringLiteral("σάρωση τοπικής δομής") : QStringLiteral("scanning local structure");
    return StageName(stage, greek);
}

QString ComparisonFailedText(bool greek)
{
    return greek ? QStringLiteral("Η διαδικασία της συγκρίσεως απέτυχε.") : QStringLiteral("The comparison process failed.");
}

RunSettings RunSettings::fromGlobals()
{
    const basGlobal::Globals& g = globals();
    RunSettings s;
    s.greek = g.LanguageIsGreek;
    s.caseSensitive = g.VolumeIsCaseSensitive;
    s.failSafeChecks = g.FailSafeChecks;
    s.comparisonMode = g.ComparisonMode;
    s.currentPath = {g.CurrentPath[0], g.CurrentPath[1]};
    s.importedStructureFile = {g.ImportedStructureFile[0], g.ImportedStructureFile[1]};
    s.firstStructureToProcess = g.FirstStructureToProcess;
    s.lastStructureToProcess = g.LastStructureToProcess;
    s.levelsLimit = g.NumberOfLevelsLimit;
    s.folderSelectionState = g.FolderSelectionState;
    s.fileTypesPattern = g.FileTypesPattern;
    s.includeAttributes = {g.IncludeHiddenFiles, g.IncludeSystemFiles, g.IncludeReadOnlyFiles, g.IncludeArchiveFiles};
    s.commonFilesOnly = g.CommonFilesOnly;
    s.differencesOnly = g.DifferencesOnly;
    s.dateFormatName = g.DateFormatName;
    s.timeFormatName = g.TimeFormatName;
    for (int c = 0; c < basGlobal::kGridColumns; ++c)
        s.gridColumnWidth[std::size_t(c)] = g.GridColumnWidth[std::size_t(c)];
    return s;
}

void ReturnFreeMemory()
{
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

CompareRun::CompareRun(RunView& view) : m_view(view), m_settings(RunSettings::fromGlobals()) {}

// --- The run ----------------------------------------------------------------------------

void CompareRun::execute()
{
    basGlobal::Globals& g = globals();
    bool failed = false;
    try {
        try {
            setUp();
            RunLoadingStages(*this);
            RunEntryFilterStages(*this);
            RunAlignmentAndGridStages(*this);
        } catch (const ui::Abandon&) {
            throw;
        } catch (const RunLeave&) {
            throw;
        } catch (const platform::AppError& e) {
            failed = true;
            if (m_view.reportError(e.number, e.description.isEmpty() ? platform::errorDescription(e.number) : e.description,
                                   QStringLiteral("315")))
                ui::endProgram();
        } catch (const ui::UiError& e) {
            failed = true;
            if (m_view.reportError(e.number, e.description, QStringLiteral("315")))
                ui::endProgram();
        } catch (const std::bad_alloc&) {
            failed = true;
            if (m_view.reportError(platform::errOutOfMemory, platform::errorDescription(platform::errOutOfMemory),
                                   QStringLiteral("315")))
                ui::endProgram();
        } catch (const std::exception&) {
            failed = true;
            if (m_view.reportError(platform::errInvalidCall, platform::errorDescription(platform::errInvalidCall),
                                   QStringLiteral("315")))
                ui::endProgram();
        }
        // After a failed step the run cannot give a sound result: it ends
        // the way a cancel does.
        if (failed)
            g.CancelRequested = true;
        commonExit();
    } catch (const RunLeave& leave) {
        if (!leave.windowUnloaded)
            commonExit();
    }
}

void CompareRun::setUp()
{
    basGlobal::Globals& g = globals();
    for (int i = 0; i < 2; ++i)
        m_state.sideTint[std::size_t(i)] = basGlobal::StructureTintOf(i);
    m_view.runBegins();
    g.CancelRequested = false;
    g.ComparisonInProgress = true;
    basGlobal::frmHiddenForm& h = HiddenForm();
    for (auto* lists : {&h.lstExcluded, &h.lstAlignedFoldersUnsorted, &h.lstAlignedFoldersSorted,
                        &h.lstPerLevelFilesSorted, &h.lstPerLevelFilesAndAttributes, &h.lstOutput})
        for (int i = 0; i < 2; ++i)
            (*lists)[i]->clear();
    // What the last run left (its rows, its closed window's grid) goes back
    // to the system before this run grows.
    ReturnFreeMemory();
    m_state.FirstLocalStructure = 0;
    m_state.LastLocalStructure = 1;
}

void CompareRun::commonExit()
{
    basGlobal::Globals& g = globals();
    // The run holds no file open past a stage: each reader closes its file
    // when the stage leaves, cancelled or not.
    g.ComparisonInProgress = false;
    releaseWork();
    const bool cancelled = g.CancelRequested;
    g.CancelRequested = false;
    if (cancelled)
        m_view.runCancelled();
    else
        m_view.runEnds(m_state.StructuresDiffer);
}

void CompareRun::releaseWork()
{
    // A run left early keeps no facts; the next run starts from a trimmed heap.
    for (int i = 0; i < 2; ++i)
        EntryLists(i).releaseFacts();
    ReturnFreeMemory();
}

// --- Pieces the stages share -------------------------------------------------------------

void CompareRun::showStageName(Stage stage)
{
    m_view.setStageText(StageName(stage, m_settings.greek));
}

void CompareRun::openStage(Stage stage, qint64 total)
{
    showStageName(stage);
    yieldAndCancelTest();
    m_view.setProgressValue(0);
    m_state.progressCount = 0;
    m_state.progressTotal = total;
}

void CompareRun::yieldAndCancelTest()
{
    m_view.yieldToUser();
    if (m_view.cancelRequested())
        throw RunLeave{false};
}

void CompareRun::updateProgress() { m_view.showProgress(m_state.progressCount, m_state.progressTotal); }

void CompareRun::advanceProgress()
{
    ++m_state.progressCount;
    updateProgress();
}

void CompareRun::advanceProgress(qint64 n)
{
    if (n <= 0)
        return;
    m_state.progressCount += n;
    updateProgress();
}

void CompareRun::removeEntries(int i, const std::vector<bool>& remove)
{
    const EntryLists entries(i);
    const int n = std::min(entries.count(), int(remove.size()));
    bool any = false;
    for (int k = 0; k < n && !any; ++k)
        any = remove[std::size_t(k)];
    if (!any)
        return;
    ui::ListBox& excluded = *HiddenForm().lstExcluded[i];
    for (int k = 0; k < n; ++k)
        if (remove[std::size_t(k)])
            excluded.addItem(entries.path(k));
    entries.removeEntries(remove);
}

QString CompareRun::NoFilesPlace(int which, bool greek)
{
    switch (which) {
    case 0: return greek ? QStringLiteral("στην Πρωτεύουσα Δομή") : QStringLiteral("in the Primary Structure");
    case 1: return greek ? QStringLiteral("στην Δευτερεύουσα Δομή") : QStringLiteral("in the Secondary Structure");
    default:
        return greek ? QStringLiteral("ούτε στην Πρωτεύουσα ούτε στην Δευτερεύουσα Δομή")
                     : QStringLiteral("in both the Primary and the Secondary Structure");
    }
}

void CompareRun::noFilesCheck(const QString& stageText)
{
    const bool empty0 = EntryLists(0).count() == 0;
    const bool empty1 = EntryLists(1).count() == 0;
    if (!empty0 && !empty1)
        return;
    reportNoFiles(stageText, empty0 && empty1 ? 2 : (empty0 ? 0 : 1));
}

void CompareRun::reportNoFiles(const QString& stageText, int which)
{
    const bool gr = m_settings.greek;
    const QString text = gr ? QStringLiteral("Μετά την ολοκλήρωση της διαδικασίας «") + stageText
                                  + QStringLiteral("», δεν εντοπίσθηκαν αρχεία ") + NoFilesPlace(which, gr) + QLatin1Char('.')
                            : QStringLiteral("After completing the '") + stageText
                                  + QStringLiteral("' process, no files were located ") + NoFilesPlace(which, gr)
                                  + QLatin1Char('.');
    m_view.showMessage(m_view.title(), text, ui::vbCriticalOK);
    closeAfterMessage(QString(), QString());
}

void CompareRun::failSafeFailure(const QString& checkTitle, const QString& sentences)
{
    const bool gr = m_settings.greek;
    const QString title = (gr ? QStringLiteral("Έλεγχος αποτυχίας - ") : QStringLiteral("Fail-safe check - ")) + checkTitle;
    closeAfterMessage(title, sentences + QStringLiteral("\r\n\r\n") + ComparisonFailedText(gr));
}

void CompareRun::inputFailure(const QString& sentences)
{
    closeAfterMessage(m_view.title(), sentences + QStringLiteral("\r\n\r\n") + ComparisonFailedText(m_settings.greek));
}

void CompareRun::closeAfterMessage(const QString& title, const QString& text)
{
    if (!text.isEmpty())
        m_view.showMessage(title, text, ui::vbCriticalOK);
    // The window goes without the common exit. The close guard lets an
    // unload by the program through although the run is still marked busy;
    // the mark is cleared afterwards, so no other window sees a comparison
    // that no longer runs.
    m_view.runCancelled();
    releaseWork();
    globals().ComparisonInProgress = false;
    globals().CancelRequested = false;
    throw RunLeave{true};
}

} // namespace compare
