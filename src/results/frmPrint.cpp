#include "results/frmPrint.h"

#include "results/frmCompare.h"
#include "results/frmPageSetup.h"
#include "platform/Printer.h"
#include "shared/ErrorTrap.h"
#include "shared/IniAccess.h"
#include "shared/Messages.h"
#include "shared/Progress.h"
#include "shared/Texts.h"
#include "shared/WindowHooks.h"
#include "shared/basGlobal.h"

#include <algorithm>

namespace results {

using basGlobal::globals;

namespace {

constexpr int kCtrlP = 16;
constexpr int kPictureButton = 612;

bool greek() { return globals().LanguageIsGreek; }

QString printerName() { return platform::printer().deviceName(); }

// The controls a run locks: all but the menus, the resizer and the progress bar.
bool lockable(const ui::Control& c)
{
    const QString name = c.name().toUpper();
    return name != u"FREESIZER1" && name != u"PRBPROGRESSBAR";
}

} // namespace

frmPrint::frmPrint() : ui::Form(QStringLiteral("frmPrint"))
{
    Load = [this] { Form_Load(); };
    QueryUnload = [this](bool& cancel, int mode) { Form_QueryUnload(cancel, mode); };
    KeyPress = [this](int& key) { Form_KeyPress(key); };
}

void frmPrint::build()
{
    m_lock.forget();
    move(left(), top(), 8532 + 2 * 60, 3372 + 400);
    setMinButton(false);
    setMaxButton(false);
    setKeyPreview(true);

    fraPrintDestination = add<ui::Frame>(QStringLiteral("fraPrintDestination"));
    fraPrintDestination->move(120, 120, 6372, 2652);
    fraPrintDestination->setHelpTopic(htFraPrintDestination);
    const int optionTopics[3] = {htPrintDestinationPrinter, htPrintDestinationFile, htPrintDestinationBoth};
    for (int i = 0; i < 3; ++i) {
        auto* o = addTo(optPrintDestination, QStringLiteral("optPrintDestination"), i, fraPrintDestination);
        o->move(240, 360 + 720 * i, 6012, 612);
        o->setHelpTopic(optionTopics[i]);
        // Any choice undoes the "Close" that Apply showed.
        o->Click = [this] { cmdCancel->setCaption(basGlobal::Txt(greek(), u"Cancel", u"Άκυρο")); };
    }

    prbProgressBar = add<ui::ProgressBar>(QStringLiteral("prbProgressBar"));
    prbProgressBar->move(120, 3000, 6372, 252);
    prbProgressBar->setHelpTopic(htPrintProgress);

    auto button = [this](ui::CommandButton*& slot, const char* name, int left, int top, int width, int topic) {
        slot = add<ui::CommandButton>(QLatin1String(name));
        slot->move(left, top, width, width == kPictureButton ? kPictureButton : 372);
        slot->setHelpTopic(topic);
    };
    button(cmdCancel, "cmdCancel", 6720, 240, 1692, htPrintCancel);
    button(cmdApply, "cmdApply", 6720, 960, 1692, htPrintApply);
    button(cmdPageSetup, "cmdPageSetup", 6720, 1680, kPictureButton, htPrintPageSetup);
    button(cmdPrintSetup, "cmdPrintSetup", 7800, 1680, kPictureButton, htPrintPrinterSetup);
    button(cmdCancelPrinting, "cmdCancelPrinting", 6720, 2640, kPictureButton, htCancelPrinting);
    button(cmdPrint, "cmdPrint", 7800, 2640, kPictureButton, htPrint);
    const std::pair<ui::CommandButton*, const char*> pictures[] = {
        {cmdPageSetup, "page-setup"}, {cmdPrintSetup, "printer-setup"},
        {cmdCancelPrinting, "cancel-printing"}, {cmdPrint, "print"}};
    for (const auto& [b, name] : pictures) {
        b->setStyle(1);
        b->setPicture(ui::Picture{QStringLiteral(":/icons/") + QLatin1String(name) + QStringLiteral(".png")});
    }
    cmdCancelPrinting->setEnabled(false);
    setDefaultButton(cmdPrint);
    setCancelButton(cmdCancel);

    int tab = 0;
    for (ui::Control* c : std::initializer_list<ui::Control*>{
             cmdPrint, fraPrintDestination, optPrintDestination[0], optPrintDestination[1], optPrintDestination[2],
             cmdApply, cmdPageSetup, cmdPrintSetup, cmdCancel, cmdCancelPrinting, prbProgressBar})
        c->setTabIndex(tab++);

    freeSizer1 = add<ui::FormResizer>(QStringLiteral("freeSizer1"));

    cmdPrint->Click = [this] { cmdPrint_Click(); };
    cmdApply->Click = [this] { cmdApply_Click(); };
    cmdCancel->Click = [this] { unload(ui::vbFormCode); };
    cmdCancelPrinting->Click = [this] {
        globals().CancelRequested = basGlobal::ConfirmCancelProcessing(this, *cmdCancelPrinting);
    };
    cmdPageSetup->Click = [this] { cmdPageSetup_Click(); };
    cmdPrintSetup->Click = [this] { cmdPrintSetup_Click(); };
}

// --- Opening -------------------------------------------------------------------------

void frmPrint::setCaptionWithPages()
{
    const QString n = QString::number(cpCalculateTotalNumberOfPagesToPrint());
    setCaption(greek() ? QStringLiteral("Εκτύπωση - Αριθμός σελίδων: ") + n + u'.'
                       : QStringLiteral("Print - Number of pages: ") + n + u'.');
}

void frmPrint::setPrinterCaptions()
{
    const QString p = printerName();
    const bool gr = greek();
    optPrintDestination[0]->setCaption(gr ? QStringLiteral("Εκτυπωτής ") + p : p + QStringLiteral(" printer"));
    optPrintDestination[2]->setCaption(gr ? QStringLiteral("και Εκτυπωτής ") + p + QStringLiteral("\r\nκαι Αρχείο απλού κειμένου...")
                                          : QStringLiteral("both ") + p + QStringLiteral(" printer\r\nand Plain text file..."));
}

void frmPrint::Form_Load()
{
    basGlobal::Globals& g = globals();
    basGlobal::ErrorTrap trap(this, QStringLiteral("PFLE1000"));
    trap.step([&] { g.HeaderLinesPerPage = 4; });
    trap.step([&] {
        const bool gr = g.LanguageIsGreek;
        setCaptionWithPages();
        fraPrintDestination->setCaption(basGlobal::Txt(gr, u" Print destination ", u" Προορισμός εκτυπώσεως "));
    });
    trap.step([&] { setPrinterCaptions(); });
    trap.step([&] {
        const bool gr = g.LanguageIsGreek;
        optPrintDestination[1]->setCaption(basGlobal::Txt(gr, u"Plain text file...", u"Αρχείο απλού κειμένου..."));
        cmdCancel->setCaption(basGlobal::Txt(gr, u"Cancel", u"Άκυρο"));
        cmdApply->setCaption(basGlobal::Txt(gr, u"Apply", u"Εφαρμογή"));
        const std::pair<ui::CommandButton*, std::pair<const char16_t*, const char16_t*>> tips[] = {
            {cmdPageSetup, {u"Page setup", u"Διαμόρφωση σελίδας"}},
            {cmdPrintSetup, {u"Printer setup", u"Επιλογή εκτυπωτή"}},
            {cmdCancelPrinting, {u"Cancel printing", u"Ακύρωση εκτυπώσεως"}},
            {cmdPrint, {u"Print ... Ctl+P", u"Εκτύπωση ... Ctl+P"}}};
        for (const auto& [b, text] : tips)
            b->setToolTipText(basGlobal::Txt(gr, text.first, text.second));
    });
    trap.step([&] { freeSizer1->setResizeFonts(g.ResizeFontEnabled); });
    trap.step([&] {
        g.PrintingInProgress = false;
        g.CancelRequested = false;
    });
    trap.step([&] { optPrintDestination[std::clamp<int>(g.PrintDestinationIndex, 0, 2)]->setValue(true); });
    trap.step([&] { prbProgressBar->setValue(0); });
    trap.step([&] {
        if (cpCalculateTotalNumberOfPagesToPrint() < 1)
            cmdPrint->setEnabled(false);
    });
}

// --- Commands ------------------------------------------------------------------------

PrintSource frmPrint::printSource() const
{
    return m_results && m_results->isLoaded() ? PrintSourceOf(*m_results) : PrintSource();
}

void frmPrint::cmdPrint_Click()
{
    m_outcome = RunPrint(*this, printSource());
}

void frmPrint::cmdApply_Click()
{
    basGlobal::Globals& g = globals();
    basGlobal::ErrorTrap trap(this, QStringLiteral("PACE1000"));
    trap.step([&] { g.PrintDestinationIndex = basGlobal::Integer(chosenDestination()); });
    trap.step([&] {
        basGlobal::RaiseIfError(
            basGlobal::WriteIniLong(g.IniFileName, QStringLiteral("General"), QStringLiteral("PrintDestination"),
                                    g.PrintDestinationIndex));
    });
    trap.step([&] { cmdCancel->setCaption(basGlobal::Txt(greek(), u"Close", u"Κλείσιμο")); });
}

void frmPrint::cmdPageSetup_Click()
{
    // Page setup weighs the lines of this print, as the run will.
    struct Opened {
        explicit Opened(std::function<PrintSource()> source) { PageSetupWindow().setPrintSource(std::move(source)); }
        ~Opened() { PageSetupWindow().setPrintSource({}); }
    } opened([this] { return printSource(); });
    if (const auto& press = basGlobal::windowHooks().pageSetup)
        press();
    setCaptionWithPages();
}

void frmPrint::cmdPrintSetup_Click()
{
    if (const auto& press = basGlobal::windowHooks().printerSetup)
        press();
    setPrinterCaptions();
}

void frmPrint::Form_KeyPress(int& keyAscii)
{
    // The key goes on to the focused control either way.
    if (keyAscii == kCtrlP && cmdPrint->enabled())
        cmdPrint->setValue(true);
}

void frmPrint::Form_QueryUnload(bool& cancel, int unloadMode)
{
    if (globals().PrintingInProgress)
        cancel = basGlobal::ShowCannotCloseWindowMessage(this, basGlobal::Integer(unloadMode));
}

int frmPrint::chosenDestination() const
{
    int chosen = 0;
    for (int i = 0; i < 3; ++i)
        if (optPrintDestination[i]->value())
            chosen = i;
    return chosen;
}

void frmPrint::showComplete()
{
    prbProgressBar->setValue(100);
}

// --- The methods the run calls -------------------------------------------------------------

basGlobal::Long frmPrint::cpCalculateTotalNumberOfPagesToPrint() const
{
    const basGlobal::Globals& g = globals();
    return PrintedPagination(g.TotalLinesToPrint, g.PageSetupLinesPerPage, g.HeaderLinesPerPage).count();
}

void frmPrint::cpDisableControls()
{
    globals().PrintingInProgress = true;
    m_lock.lock(*this, lockable);
    cmdCancelPrinting->setEnabled(true);
    setCancelButton(cmdCancelPrinting);
}

void frmPrint::cpEnableControls()
{
    cmdCancelPrinting->setEnabled(false);
    setCancelButton(cmdCancel);
    m_lock.unlock();
    globals().PrintingInProgress = false;
}

void frmPrint::cpUpdateProgressBar(basGlobal::Long current, basGlobal::Long total)
{
    basGlobal::UpdateProgressBar(*prbProgressBar, current, total);
}

// --- The window ------------------------------------------------------------

frmPrint& PrintWindow()
{
    static frmPrint* const form = new frmPrint;
    return *form;
}

} // namespace results
