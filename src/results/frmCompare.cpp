#include "results/frmCompare.h"

#include "shared/Texts.h"

#include "compare/CompareRun.h"
#include "shared/ErrorTrap.h"
#include "shared/IniAccess.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/Progress.h"
#include "shared/StructureFile.h"
#include "shared/basGlobal.h"
#include "ui/Desktop.h"

namespace results {

using namespace compare;

using basGlobal::globals;

namespace {

// Twips, client area 11652 x 7932.
constexpr int kClientWidth = 11652;
constexpr int kClientHeight = 7932;
constexpr int kLabelHeight = 252;
constexpr int kButtonTop = 7320;
constexpr int kButtonHeight = 492;
constexpr ui::Color kProcessLabelColour = 0xC00000;
constexpr ui::Color kSysInfoBackground = 0x80000018u;
constexpr ui::Color kSysHighlightText = 0x8000000Eu;
constexpr int kCtrlF = 6;
constexpr int kCtrlP = 16;


} // namespace

frmCompare::frmCompare() : ui::Form(QStringLiteral("frmCompare"))
{
    Load = [this] { Form_Load(); };
    QueryUnload = [this](bool& cancel, int mode) { Form_QueryUnload(cancel, mode); };
    Unload = [this](bool& cancel) { Form_Unload(cancel); };
    KeyPress = [this](int& key) { Form_KeyPress(key); };
}

void frmCompare::build()
{
    move(left(), top(), kClientWidth + 2 * 60, kClientHeight + 400);
    setKeyPreview(true);
    buildMenus();

    const int totalsLeft[4] = {120, 2880, 6120, 8880};
    for (int i = 0; i < 2; ++i) {
        auto* path = addTo(lblCurrentFullPath, QStringLiteral("lblCurrentFullPath"), i);
        path->move(120, i == 0 ? 120 : 840, 11412, kLabelHeight);
        path->setHelpTopic(i == 0 ? htCurrentFullPathPrimary : htCurrentFullPathSecondary);
        auto* folders = addTo(lblTotalFolders, QStringLiteral("lblTotalFolders"), i);
        folders->move(totalsLeft[2 * i], 480, 2652, kLabelHeight);
        folders->setHelpTopic(i == 0 ? htTotalFoldersPrimary : htTotalFoldersSecondary);
        auto* files = addTo(lblTotalFiles, QStringLiteral("lblTotalFiles"), i);
        files->move(totalsLeft[2 * i + 1], 480, 2652, kLabelHeight);
        files->setHelpTopic(i == 0 ? htTotalFilesPrimary : htTotalFilesSecondary);
    }

    grdResults = add<ui::FlexGrid>(QStringLiteral("grdResults"));
    grdResults->move(120, 1200, 11412, 6012);
    grdResults->setHelpTopic(htResults);

    lblProcessInProgress = add<ui::Label>(QStringLiteral("lblProcessInProgress"));
    lblProcessInProgress->move(120, 6240, 11412, kLabelHeight);
    lblProcessInProgress->setForeColor(kProcessLabelColour);
    lblProcessInProgress->setBackColor(kSysInfoBackground);
    lblProcessInProgress->setFontBold(true);
    lblProcessInProgress->setHelpTopic(htProcessInProgress);

    prbProgressBar = add<ui::ProgressBar>(QStringLiteral("prbProgressBar"));
    prbProgressBar->move(120, 6600, 11412, kLabelHeight);
    prbProgressBar->setHelpTopic(htProgressBar);

    for (int k = 0; k < 6; ++k) {
        auto* step = addTo(lblStep, QStringLiteral("lblStep"), k);
        step->move(120 + 240 * k, 6960, 252, 252);
        step->setCaption(QString::number(k + 1));
        step->setAlignment(2);
        step->setFontBold(true);
        step->setBackColor(kSysHighlightText);
    }
    prbSubProgressBar = add<ui::ProgressBar>(QStringLiteral("prbSubProgressBar"));
    prbSubProgressBar->move(1680, 6960, 9852, 252);

    lblElapsedTime = add<ui::Label>(QStringLiteral("lblElapsedTime"));
    lblElapsedTime->move(120, 7440, 1212, kLabelHeight);
    lblElapsedTime->setHelpTopic(htElapsedTime);

    // The window opens with the focus on Compare, so Enter starts the
    // comparison; the other buttons follow left to right.
    int tab = 1;
    auto button = [this, &tab](ui::CommandButton*& slot, const char* name, int left, int width, int topic) {
        slot = add<ui::CommandButton>(QLatin1String(name));
        slot->move(left, kButtonTop, width, kButtonHeight);
        slot->setHelpTopic(topic);
        slot->setTabIndex(tab++);
    };
    button(cmdCancel, "cmdCancel", 1440, 1212, htCancel);
    button(cmdDisplayOrder, "cmdDisplayOrder", 2880, 1332, htDisplayOrder);
    button(cmdReminder, "cmdReminder", 4440, 1572, htReminder);
    button(cmdFind, "cmdFind", 6240, 1212, htFind);
    // Its right button pops up the Difference menu; its help comes from there.
    button(cmdDisplayNextDifference, "cmdDisplayNextDifference", 7680, 492, 0);
    cmdDisplayNextDifference->setStyle(1);
    cmdDisplayNextDifference->setPicture(ui::Picture{QStringLiteral(":/icons/next-difference.png")});
    cmdDisplayNextDifference->setFontBold(true);
    button(cmdPrint, "cmdPrint", 8400, 1452, htPrint);
    button(cmdCompare, "cmdCompare", 10080, 1452, htCompare);
    cmdCompare->setTabIndex(0);
    setDefaultButton(cmdCompare);
    setCancelButton(cmdCancel);

    Timer1 = add<ui::Timer>(QStringLiteral("Timer1"));
    Timer1->setEnabled(false);
    Timer1->setInterval(0);
    Timer2 = add<ui::Timer>(QStringLiteral("Timer2"));
    Timer2->setEnabled(false);
    Timer2->setInterval(0);

    freeSizer1 = add<ui::FormResizer>(QStringLiteral("freeSizer1"));

    cmdCompare->Click = [this] { cmdCompare_Click(); };
    cmdCancel->Click = [this] { cmdCancel_Click(); };
    cmdDisplayOrder->Click = [this] { basGlobal::ShowOrderOfProcessing(this); };
    Timer1->Tick = [this] { Timer1_Timer(); };
    wireResultTools();
}

void frmCompare::buildMenus()
{
    int separators = 0;
    auto separator = [this, &separators](ui::Menu* parent) {
        addMenu(parent->name() + QStringLiteral("Separator") + QString::number(++separators), QStringLiteral("-"), parent);
    };
    mnuFile = addMenu(QStringLiteral("mnuFile"), QStringLiteral("File"));
    mnuFileCompare = addMenu(QStringLiteral("mnuFileCompare"), QStringLiteral("Compare"), mnuFile);
    separator(mnuFile);
    mnuFilePrint = addMenu(QStringLiteral("mnuFilePrint"), QStringLiteral("Print"), mnuFile);
    mnuFilePrint->setShortcut(QStringLiteral("^P"));
    separator(mnuFile);
    mnuFileClose = addMenu(QStringLiteral("mnuFileClose"), QStringLiteral("Close"), mnuFile);
    mnuFile->setVisible(false);

    mnuDifference = addMenu(QStringLiteral("mnuDifference"), QStringLiteral("Difference"));
    mnuDifferenceTopRow = addMenu(QStringLiteral("mnuDifferenceTopRow"), QStringLiteral("Top row"), mnuDifference);
    separator(mnuDifference);
    mnuDifferenceHelp = addMenu(QStringLiteral("mnuDifferenceHelp"), QStringLiteral("Help"), mnuDifference);
    separator(mnuDifference);
    mnuDifferenceCancel = addMenu(QStringLiteral("mnuDifferenceCancel"), QStringLiteral("Cancel"), mnuDifference);
    mnuDifference->setVisible(false);

    // Each File item presses the button of the same name.
    mnuFileCompare->Click = [this] { cmdCompare->setValue(true); };
    mnuFilePrint->Click = [this] { cmdPrint->setValue(true); };
    mnuFileClose->Click = [this] { cmdCancel->setValue(true); };
    mnuDifferenceHelp->Click = [this] { ui::desktop().showHelp(this, ui::helpFile(), htDisplayNextDifference); };
}

// --- Opening -------------------------------------------------------------------------

void frmCompare::Form_Load()
{
    basGlobal::Globals& g = globals();
    basGlobal::ErrorTrap trap(this, QStringLiteral("314"));
    trap.step([&] {
        const bool gr = g.LanguageIsGreek;
        setCaption(basGlobal::Txt(gr, u"Comparison results", u"Αποτελέσματα συγκρίσεως"));
        mnuFile->setCaption(basGlobal::Txt(gr, u"File", u"Αρχείο"));
        mnuFileCompare->setCaption(basGlobal::Txt(gr, u"Compare", u"Σύγκριση"));
        mnuFilePrint->setCaption(basGlobal::Txt(gr, u"Print", u"Εκτύπωση"));
        mnuFileClose->setCaption(basGlobal::Txt(gr, u"Close", u"Κλείσιμο"));
        cmdCancel->setCaption(basGlobal::Txt(gr, u"Cancel", u"Άκυρο"));
        cmdCompare->setCaption(basGlobal::Txt(gr, u"Compare", u"Σύγκριση"));
        cmdPrint->setCaption(basGlobal::Txt(gr, u"Print", u"Εκτύπωση"));
        cmdFind->setCaption(basGlobal::Txt(gr, u"Find", u"Εύρεση"));
        cmdReminder->setCaption(basGlobal::Txt(gr, u"Reminder", u"Υπενθύμιση"));
        cmdDisplayOrder->setCaption(basGlobal::Txt(gr, u"Order", u"Σειρά"));
        cmdDisplayNextDifference->setToolTipText(basGlobal::Txt(gr, u"Display next difference", u"Εμφάνιση επομένης διαφοράς"));
        mnuDifferenceTopRow->setCaption(basGlobal::Txt(gr, u"Top row", u"Κορυφογραμμή"));
        mnuDifferenceHelp->setCaption(basGlobal::Txt(gr, u"Help", u"Βοήθεια"));
        mnuDifferenceCancel->setCaption(basGlobal::Txt(gr, u"Cancel", u"Άκυρο"));
    });
    trap.step([&] { freeSizer1->setResizeFonts(g.ResizeFontEnabled); });
    trap.step([&] {
        g.ComparisonInProgress = false;
        g.CancelRequested = false;
        g.ResultsNotPrinted = false;
        g.CurrentDifferenceRow = 0;
    });
    for (int i = 0; i < 2; ++i) {
        QString pathText;
        trap.step([&] { lblCurrentFullPath[i]->setBackColor(structureTint(i)); });
        trap.step([&] { pathText = basGlobal::AddTrailingSeparator(g.CurrentPath[std::size_t(i)]); });
        if (g.ComparisonMode == 1 && !g.ImportedStructureFile[std::size_t(i)].isEmpty()) {
            // The root the structure had where it was exported; the file's
            // own name is not shown.
            pathText = basGlobal::AddTrailingSeparator(QString());
            trap.step([&] {
                QString root;
                const basGlobal::Long e = basGlobal::ReadStructureFileRoot(g.ImportedStructureFile[std::size_t(i)], root);
                basGlobal::RaiseIfError(e);
                pathText = root;
            });
        }
        trap.step([&] {
            lblCurrentFullPath[i]->setCaption(basGlobal::CompactPathToWidth(*lblCurrentFullPath[i], pathText));
            lblCurrentFullPath[i]->setToolTipText(g.HidePathToolTips ? QString() : pathText);
        });
        trap.step([&] {
            for (ui::Label* l : {lblTotalFolders[i], lblTotalFiles[i]}) {
                l->setBackColor(structureTint(i));
                l->setCaption(QString());
            }
        });
    }
    trap.step([&] {
        grdResults->setVisible(false);
        lblProcessInProgress->setVisible(false);
        prbProgressBar->setVisible(false);
        prbSubProgressBar->setVisible(false);
        for (ui::Label* step : lblStep) step->setVisible(false);
    });
    trap.step([&] {
        lblProcessInProgress->setCaption(QString());
        lblElapsedTime->setCaption(QString());
        prbProgressBar->setValue(0);
    });
    trap.step([&] {
        mnuFilePrint->setEnabled(false);
        cmdPrint->setEnabled(false);
        cmdFind->setEnabled(false);
        cmdDisplayNextDifference->setEnabled(false);
    });
}

// --- Closing ---------------------------------------------------------------------------

void frmCompare::Form_QueryUnload(bool& cancel, int unloadMode)
{
    basGlobal::Globals& g = globals();
    if (g.ComparisonInProgress || commandBusy_) {
        // A close from the control menu would pull the window from under the
        // run; the run's own unload goes through.
        cancel = basGlobal::ShowCannotCloseWindowMessage(this, basGlobal::Integer(unloadMode));
        if (cancel || g.ComparisonInProgress)
            return;
    }
    if (!g.ResultsNotPrinted)
        return;
    const bool gr = g.LanguageIsGreek;
    const QString title = basGlobal::Txt(gr, u"Reminder", u"Υπενθύμιση");
    const QString text = gr ? QStringLiteral("Θέλετε παράγματι να κλείσετε το τρέχον παράθυρο χωρίς να εκτυπώσετε τα ")
                                  + QStringLiteral("αποτελέσματα της συγκρίσεως;")
                            : QStringLiteral("Do you really want to close the current window without printing the results ")
                                  + QStringLiteral("of the comparison?");
    if (basGlobal::ShowMessageBox(this, title, text, ui::vbQuestionYesNoDefNo) == ui::vbNo)
        cancel = true;
}

void frmCompare::Form_Unload(bool& /*cancel*/)
{
    cpEndFlash();
    saveColumnWidths();
    // An unloaded window's controls can outlive it for a while: the rows of
    // a large comparison are not kept that long.
    if (grdResults->rows() > 1)
        grdResults->setRows(1);
}

void frmCompare::saveColumnWidths()
{
    basGlobal::Globals& g = globals();
    if (grdResults->cols() != basGlobal::kGridColumns || !g.SaveColumnWidths)
        return;
    basGlobal::ErrorTrap trap(this, QStringLiteral("318"));
    for (int c = 0; c < basGlobal::kGridColumns; ++c) {
        trap.step([&] {
            g.GridColumnWidth[std::size_t(c)] = grdResults->colWidth(c);
            basGlobal::RaiseIfError(basGlobal::WriteIniLong(g.IniFileName, QStringLiteral("GridColumnWidths"),
                                                            QString::number(c), g.GridColumnWidth[std::size_t(c)]));
        });
    }
}

// --- Commands ----------------------------------------------------------------------------

void frmCompare::cmdCompare_Click()
{
    CompareRun run(*this);
    run.execute();
}

void frmCompare::cmdCancel_Click()
{
    basGlobal::Globals& g = globals();
    if (g.ComparisonInProgress)
        g.CancelRequested = basGlobal::ConfirmCancelProcessing(this, *cmdCancel);
    else
        unload(ui::vbFormCode);
}

void frmCompare::Form_KeyPress(int& keyAscii)
{
    // The keys pass on; a disabled button ignores the press.
    if (keyAscii == kCtrlP)
        cmdPrint->setValue(true);
    else if (keyAscii == kCtrlF)
        cmdFind->setValue(true);
}

// --- Progress and clock ---------------------------------------------------------------

void frmCompare::cpUpdateProgressBar(qint64 current, qint64 total)
{
    basGlobal::UpdateProgressBar(*prbProgressBar, current, total);
}

void frmCompare::cpUpdateSubProgressBar(qint64 current, qint64 total)
{
    basGlobal::UpdateProgressBar(*prbSubProgressBar, current, total);
}

void frmCompare::Timer1_Timer() { basGlobal::TickElapsedClock(*Timer1, *lblElapsedTime); }

// --- The run's view ---------------------------------------------------------------------

ui::Color frmCompare::structureTint(int i) const { return basGlobal::StructureTintOf(i); }

void frmCompare::runBegins()
{
    mnuFileCompare->setEnabled(false);
    cmdCompare->setEnabled(false);
    lblProcessInProgress->setVisible(true);
    prbProgressBar->setVisible(true);
    if (globals().ShowElapsedTime)
        basGlobal::StartElapsedClock(*Timer1, *lblElapsedTime);
}

void frmCompare::runEnds(bool structuresDiffer)
{
    basGlobal::Globals& g = globals();
    Timer1->setEnabled(false);
    lblProcessInProgress->setVisible(false);
    prbProgressBar->setVisible(false);
    grdResults->setTopRow(1);
    grdResults->setLeftCol(1);
    grdResults->setVisible(true);
    lblProcessInProgress->setCaption(QString());
    mnuFilePrint->setEnabled(true);
    cmdPrint->setEnabled(true);
    cmdFind->setEnabled(true);
    auto focus = [this](ui::CommandButton* b) {
        if (isShown() && b->effectivelyEnabled() && b->effectivelyVisible())
            b->setFocus();
    };
    focus(cmdCancel);
    if (g.RemindToPrint) {
        g.ResultsNotPrinted = true;
        focus(cmdPrint);
    }
    g.TotalLinesToPrint = basGlobal::Long(grdResults->rows() - 1);
    cmdCancel->setCaption(basGlobal::Txt(g.LanguageIsGreek, u"Close", u"Κλείσιμο"));
    if (structuresDiffer) {
        basGlobal::ShowMessageBox(this, caption(),
                                  basGlobal::Txt(g.LanguageIsGreek, u"The structures you compared, differ.",
                                                 u"Οι δομές τις οποίες συγκρίνατε, διαφέρουν."),
                                  ui::vbInformationOK);
        cmdDisplayNextDifference->setEnabled(true);
    }
}

void frmCompare::runCancelled()
{
    Timer1->setEnabled(false);
    unload(ui::vbFormCode);
}

void frmCompare::setStageText(const QString& text) { lblProcessInProgress->setCaption(text); }
QString frmCompare::stageText() const { return lblProcessInProgress->caption(); }
double frmCompare::progressValue() const { return prbProgressBar->value(); }
void frmCompare::setProgressValue(double percent) { prbProgressBar->setValue(percent); }
void frmCompare::showSubProgressBar(bool visible) { prbSubProgressBar->setVisible(visible); }
void frmCompare::setSubProgressValue(double percent) { prbSubProgressBar->setValue(percent); }

void frmCompare::showSteps(bool visible)
{
    for (ui::Label* step : lblStep) {
        if (visible)
            step->setBackColor(0xFFFFFF);
        step->setVisible(visible);
    }
}

void frmCompare::markSteps(int count)
{
    const ui::Color own = backColor();
    for (int s = 0; s < count; ++s)
        lblStep[s]->setBackColor(own);
}

void frmCompare::yieldToUser() { basGlobal::DoEventsNow(); }
bool frmCompare::cancelRequested() const { return globals().CancelRequested; }

int frmCompare::showMessage(const QString& title, const QString& text, int style)
{
    return int(basGlobal::ShowMessageBox(this, title, text, basGlobal::Long(style)));
}

bool frmCompare::reportError(int number, const QString& description, const QString& location)
{
    return basGlobal::ReportError(this, globals().ApplicationTitle, number, description, location);
}

void frmCompare::showTotals(int structure, const QString& folders, const QString& files)
{
    lblTotalFolders[structure]->setCaption(folders);
    lblTotalFiles[structure]->setCaption(files);
}

frmCompare& CompareWindow()
{
    static frmCompare* const form = new frmCompare;
    return *form;
}

} // namespace results
