#include "compare/CompareRun.h"

#include "compare/AlignmentStages.h"
#include "compare/EntryFilterStages.h"
#include "compare/LoadingStages.h"
#include "compare/frmCompare.h"
#include "mainwindow/frmMain.h"
#include "platform/AppError.h"
#include "shared/Messages.h"
#include "shared/frmHiddenForm.h"
#include "ui/HeadlessDesktop.h"

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

CompareRun::CompareRun(frmCompare& form) : m_form(form) {}

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
        } catch (const ui::HeadlessFailure&) {
            throw;
        } catch (const RunLeave&) {
            throw;
        } catch (const platform::AppError& e) {
            failed = true;
            if (basGlobal::ReportError(&m_form, g.ApplicationTitle, e.number,
                                       e.description.isEmpty() ? platform::errorDescription(e.number) : e.description,
                                       QStringLiteral("315")))
                ui::endProgram();
        } catch (const ui::UiError& e) {
            failed = true;
            if (basGlobal::ReportError(&m_form, g.ApplicationTitle, e.number, e.description, QStringLiteral("315")))
                ui::endProgram();
        } catch (const std::bad_alloc&) {
            failed = true;
            if (basGlobal::ReportError(&m_form, g.ApplicationTitle, platform::errOutOfMemory,
                                       platform::errorDescription(platform::errOutOfMemory), QStringLiteral("315")))
                ui::endProgram();
        } catch (const std::exception&) {
            failed = true;
            if (basGlobal::ReportError(&m_form, g.ApplicationTitle, platform::errInvalidCall,
                                       platform::errorDescription(platform::errInvalidCall), QStringLiteral("315")))
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
    frmCompare& f = m_form;
    mainwindow::frmMain* main = LoadedMainWindow();
    for (int i = 0; i < 2; ++i)
        m_state.sideTint[std::size_t(i)] = main ? main->lstFirstLevelFolders[i]->backColor() : mainwindow::kStructureTint[i];

    f.mnuFileCompare->setEnabled(false);
    f.cmdCompare->setEnabled(false);
    f.lblProcessInProgress->setVisible(true);
    f.prbProgressBar->setVisible(true);
    g.CancelRequested = false;
    g.ComparisonInProgress = true;
    if (g.ShowElapsedTime) {
        f.Timer1->setTag(QStringLiteral("0"));
        f.Timer1->setInterval(1000);
        f.Timer1->setEnabled(true);
        f.lblElapsedTime->setCaption(QStringLiteral("00:00:00"));
    }
    basGlobal::frmHiddenForm& h = HiddenForm();
    for (auto* lists : {&h.lstExcluded, &h.lstAlignedFoldersUnsorted, &h.lstAlignedFoldersSorted,
                        &h.lstPerLevelFilesSorted, &h.lstPerLevelFilesAndAttributes, &h.lstOutput})
        for (int i = 0; i < 2; ++i)
            (*lists)[i]->clear();
    m_state.FirstLocalStructure = 0;
    m_state.LastLocalStructure = 1;
}

void CompareRun::commonExit()
{
    basGlobal::Globals& g = globals();
    frmCompare& f = m_form;
    f.Timer1->setEnabled(false);
    // The run holds no file open past a stage: each reader closes its file
    // when the stage leaves, cancelled or not.
    g.ComparisonInProgress = false;
    if (g.CancelRequested) {
        g.CancelRequested = false;
        f.unload(ui::vbFormCode);
        return;
    }
    g.CancelRequested = false;
    f.lblProcessInProgress->setVisible(false);
    f.prbProgressBar->setVisible(false);
    f.grdResults->setTopRow(1);
    f.grdResults->setLeftCol(1);
    f.grdResults->setVisible(true);
    f.lblProcessInProgress->setCaption(QString());
    f.mnuFilePrint->setEnabled(true);
    f.cmdPrint->setEnabled(true);
    f.cmdFind->setEnabled(true);
    auto focus = [&f](ui::CommandButton* b) {
        if (f.isShown() && b->effectivelyEnabled() && b->effectivelyVisible())
            b->setFocus();
    };
    focus(f.cmdCancel);
    if (g.RemindToPrint) {
        g.ResultsNotPrinted = true;
        focus(f.cmdPrint);
    }
    g.TotalLinesToPrint = basGlobal::Long(f.grdResults->rows() - 1);
    f.cmdCancel->setCaption(g.LanguageIsGreek ? QStringLiteral("Κλείσιμο") : QStringLiteral("Close"));
    if (m_state.StructuresDiffer) {
        basGlobal::ShowMessageBox(&f, f.caption(),
                                  g.LanguageIsGreek ? QStringLiteral("Οι δομές τις οποίες συγκρίνατε, διαφέρουν.")
                                                    : QStringLiteral("The structures you compared, differ."),
                                  ui::vbInformationOK);
        f.cmdDisplayNextDifference->setEnabled(true);
    }
}

// --- Pieces the stages share -------------------------------------------------------------

void CompareRun::showStageName(Stage stage)
{
    m_form.lblProcessInProgress->setCaption(StageName(stage, globals().LanguageIsGreek));
}

void CompareRun::openStage(Stage stage, qint64 total)
{
    showStageName(stage);
    yieldAndCancelTest();
    m_form.prbProgressBar->setValue(0);
    m_state.progressCount = 0;
    m_state.progressTotal = total;
}

void CompareRun::yieldAndCancelTest()
{
    basGlobal::DoEventsNow();
    if (globals().CancelRequested)
        throw RunLeave{false};
}

void CompareRun::updateProgress() { m_form.cpUpdateProgressBar(m_state.progressCount, m_state.progressTotal); }

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

void CompareRun::removeEntry(int i, int k)
{
    basGlobal::frmHiddenForm& h = HiddenForm();
    h.lstExcluded[i]->addItem(h.lstFinalListBox[i]->list(k));
    for (auto* lists : {&h.lstFinalListBox, &h.lstHidden, &h.lstSystem, &h.lstReadOnly, &h.lstArchive, &h.lstSize,
                        &h.lstDate, &h.lstTime})
        (*lists)[i]->removeItem(k);
}

void CompareRun::removeEntries(int i, const std::vector<bool>& remove)
{
    basGlobal::frmHiddenForm& h = HiddenForm();
    ui::ListBox* lists[8] = {h.lstFinalListBox[i], h.lstHidden[i], h.lstSystem[i], h.lstReadOnly[i],
                             h.lstArchive[i],      h.lstSize[i],   h.lstDate[i],   h.lstTime[i]};
    const int n = lists[0]->listCount();
    bool any = false;
    for (int k = 0; k < n && k < int(remove.size()); ++k)
        any = any || remove[std::size_t(k)];
    if (!any)
        return;
    for (int k = 0; k < n && k < int(remove.size()); ++k)
        if (remove[std::size_t(k)])
            h.lstExcluded[i]->addItem(lists[0]->list(k));
    for (ui::ListBox* list : lists)
        list->removeItems(remove);
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
    basGlobal::frmHiddenForm& h = HiddenForm();
    const bool empty0 = h.lstFinalListBox[0]->listCount() == 0;
    const bool empty1 = h.lstFinalListBox[1]->listCount() == 0;
    if (!empty0 && !empty1)
        return;
    reportNoFiles(stageText, empty0 && empty1 ? 2 : (empty0 ? 0 : 1));
}

void CompareRun::reportNoFiles(const QString& stageText, int which)
{
    const bool gr = globals().LanguageIsGreek;
    const QString text = gr ? QStringLiteral("Μετά την ολοκλήρωση της διαδικασίας «") + stageText
                                  + QStringLiteral("», δεν εντοπίσθηκαν αρχεία ") + NoFilesPlace(which, gr) + QLatin1Char('.')
                            : QStringLiteral("After completing the '") + stageText
                                  + QStringLiteral("' process, no files were located ") + NoFilesPlace(which, gr)
                                  + QLatin1Char('.');
    basGlobal::ShowMessageBox(&m_form, m_form.caption(), text, ui::vbCriticalOK);
    closeAfterMessage(QString(), QString());
}

void CompareRun::failSafeFailure(const QString& checkTitle, const QString& sentences)
{
    const bool gr = globals().LanguageIsGreek;
    const QString title = (gr ? QStringLiteral("Έλεγχος αποτυχίας - ") : QStringLiteral("Fail-safe check - ")) + checkTitle;
    closeAfterMessage(title, sentences + QStringLiteral("\n\n") + ComparisonFailedText(gr));
}

void CompareRun::fatalInternalError(const QString& sentences)
{
    const bool gr = globals().LanguageIsGreek;
    closeAfterMessage(gr ? QStringLiteral("Καίριο Εσωτερικό Σφάλμα") : QStringLiteral("Fatal Internal Error"),
                      sentences + QStringLiteral("\n\n") + ComparisonFailedText(gr));
}

void CompareRun::inputFailure(const QString& sentences)
{
    closeAfterMessage(m_form.caption(), sentences + QStringLiteral("\n\n") + ComparisonFailedText(globals().LanguageIsGreek));
}

void CompareRun::closeAfterMessage(const QString& title, const QString& text)
{
    if (!text.isEmpty())
        basGlobal::ShowMessageBox(&m_form, title, text, ui::vbCriticalOK);
    // The window goes without the common exit. The close guard lets an
    // unload by the program through although the run is still marked busy;
    // the mark is cleared afterwards, so no other window sees a comparison
    // that no longer runs.
    m_form.Timer1->setEnabled(false);
    m_form.unload(ui::vbFormCode);
    globals().ComparisonInProgress = false;
    globals().CancelRequested = false;
    throw RunLeave{true};
}

} // namespace compare
