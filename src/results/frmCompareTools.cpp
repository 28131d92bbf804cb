// The results window's own tools: Next difference with the flash of the
// found cell, the clicks on the grid, the Reminder and the commands that open
// Find and Print.

#include "results/frmCompare.h"

#include "compare/GridFill.h"
#include "results/ResultTools.h"
#include "shared/ErrorTrap.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/Texts.h"
#include "shared/basGlobal.h"
#include "shared/frmPleaseWait.h"
#include "ui/Desktop.h"

#include <algorithm>

namespace results {

using namespace compare;

using basGlobal::globals;

namespace {

constexpr ui::Color kFlashRed = 255;
constexpr int kFlashInterval = 50;
const QString kLastFlashTick = QStringLiteral("11");

// A colour as the decimal text of its signed 32-bit number, and back.
QString colourText(ui::Color c) { return QString::number(qint32(c)); }
ui::Color colourOf(const QString& text) { return ui::Color(qint32(text.toLongLong())); }

// A cancel request left over from an earlier operation must not reach the
// next one; none runs while these commands do.
void clearStaleCancel()
{
    basGlobal::Globals& g = globals();
    if (!g.ComparisonInProgress)
        g.CancelRequested = false;
}

} // namespace

// One command of the window from start to end: marks the window busy and
// clears a stale cancel request when it starts and when it ends.
class ToolCommand {
public:
    explicit ToolCommand(frmCompare& form) : form_(form)
    {
        form_.commandBusy_ = true;
        clearStaleCancel();
    }
    ~ToolCommand()
    {
        form_.commandBusy_ = false;
        clearStaleCancel();
    }
    ToolCommand(const ToolCommand&) = delete;
    ToolCommand& operator=(const ToolCommand&) = delete;

private:
    frmCompare& form_;
};

void frmCompare::wireResultTools()
{
    cmdDisplayNextDifference->Click = [this] { cmdDisplayNextDifference_Click(); };
    cmdDisplayNextDifference->MouseUp = [this](int b, int s, int x, int y) { cmdDisplayNextDifference_MouseUp(b, s, x, y); };
    mnuDifferenceTopRow->Click = [this] { mnuDifferenceTopRow_Click(); };
    Timer2->Tick = [this] { Timer2_Timer(); };
    grdResults->MouseUp = [this](int b, int s, int x, int y) { grdResults_MouseUp(b, s, x, y); };
    cmdReminder->Click = [this] { cmdReminder_Click(); };
    cmdFind->Click = [this] { cmdFind_Click(); };
    cmdPrint->Click = [this] { cmdPrint_Click(); };
    flashRow_ = flashCol_ = -1;
    commandBusy_ = false;
}

// --- Next difference -----------------------------------------------------------------

void frmCompare::cmdDisplayNextDifference_Click()
{
    // A running flash, or a search that is still yielding, keeps the click out.
    if (Timer2->enabled() || commandBusy_)
        return;
    ToolCommand command(*this);
    basGlobal::Globals& g = globals();
    const bool cs = g.VolumeIsCaseSensitive;
    int found = -1;
    while (found < 0) {
        const int rows = grdResults->rows();
        if (g.CurrentDifferenceRow > rows - 1) {
            const bool gr = g.LanguageIsGreek;
            const QString title = basGlobal::Txt(gr, u"Display next difference", u"Εμφάνιση επομένης διαφοράς");
            const QString text = basGlobal::Txt(gr, u"No more differences located. Do you want to display the first difference?",
                                                u"Δεν εντοπίσθηκαν άλλες διαφορές. Θέλετε να εμφανισθεί η πρώτη διαφορά;");
            if (basGlobal::ShowMessageBox(this, title, text, ui::vbQuestionYesNo) != ui::vbYes)
                return;
            g.CurrentDifferenceRow = 0;
        }
        for (int r = int(g.CurrentDifferenceRow) + 1; r < rows && found < 0; ++r) {
            basGlobal::DoEventsNow();
            // The window closed while the search yielded: nothing to show.
            if (!isLoaded())
                return;
            // The grid's own rule, so the walk stops exactly at the tinted rows.
            const unsigned differing = DifferingPairs(*grdResults, r, cs);
            for (int p = 0; p < 4 && found < 0; ++p) {
                basGlobal::DoEventsNow();
                if (!isLoaded())
                    return;
                if (differing & (1u << p))
                    found = r;
            }
        }
        if (found < 0)
            g.CurrentDifferenceRow = basGlobal::Long(rows);
    }
    g.CurrentDifferenceRow = found;
    grdResults->setTopRow(found);
    grdResults->setRow(found);
    grdResults->setCol(1);
    // The flash works on these coordinates, wherever the current cell goes.
    flashRow_ = found;
    flashCol_ = 1;
    cmdDisplayNextDifference->setTag(colourText(grdResults->cellBackColorAt(flashRow_, flashCol_)));
    Timer2->setInterval(kFlashInterval);
    Timer2->setTag(QStringLiteral("0"));
    Timer2->setEnabled(true);
}

void frmCompare::cmdDisplayNextDifference_MouseUp(int button, int /*shift*/, int /*x*/, int /*y*/)
{
    if (button == ui::vbRightButton)
        popupMenu(*mnuDifference);
}

void frmCompare::mnuDifferenceTopRow_Click()
{
    if (commandBusy_)
        return;
    globals().CurrentDifferenceRow = basGlobal::Long(grdResults->topRow() - 1);
}

void frmCompare::Timer2_Timer()
{
    Timer2->setTag(QString::number(Timer2->tag().toLongLong() + 1));
    cpFlashBackgroundColor();
}

void frmCompare::cpFlashBackgroundColor()
{
    if (flashRow_ < 0 || flashRow_ >= grdResults->rows() || flashCol_ >= grdResults->cols()) {
        Timer2->setEnabled(false);
        flashRow_ = flashCol_ = -1;
        return;
    }
    const ui::Color own = colourOf(cmdDisplayNextDifference->tag());
    const ui::Color now = grdResults->cellBackColorAt(flashRow_, flashCol_);
    grdResults->setCellBackColorAt(flashRow_, flashCol_, now != kFlashRed ? kFlashRed : own);
    if (Timer2->tag() == kLastFlashTick)
        cpEndFlash();
}

void frmCompare::cpEndFlash()
{
    if (!isLoaded())
        return;
    Timer2->setEnabled(false);
    if (flashRow_ >= 0 && flashRow_ < grdResults->rows() && flashCol_ < grdResults->cols())
        grdResults->setCellBackColorAt(flashRow_, flashCol_, colourOf(cmdDisplayNextDifference->tag()));
    flashRow_ = flashCol_ = -1;
}

// --- Grid clicks -------------------------------------------------------------------------

void frmCompare::grdResults_MouseUp(int button, int /*shift*/, int /*x*/, int /*y*/)
{
    // The right button only shows the grid's help, which the control does.
    if (button == ui::vbRightButton || commandBusy_)
        return;
    const int row = grdResults->mouseRow();
    const int col = grdResults->mouseCol();
    if (row < 0 || col < 0)
        return;   // outside the cells
    basGlobal::Globals& g = globals();
    basGlobal::ErrorTrap trap(this, QStringLiteral("319"));
    if (row == 0 || col == 0) {
        trap.step([&] {
            const int cols = std::min(grdResults->cols(), basGlobal::kGridColumns);
            for (int i = 0; i < cols; ++i) {
                g.GridColumnWidth[std::size_t(i)] = g.DefaultGridColumnWidth[std::size_t(i)];
                grdResults->setColWidth(i, g.GridColumnWidth[std::size_t(i)]);
            }
        });
        return;
    }
    ToolCommand command(*this);
    trap.step([&] { cpEndFlash(); });
    trap.step([&] { setMousePointer(ui::vbHourglass); });
    trap.step([&] { hide(); });
    trap.step([&] { basGlobal::ShowPleaseWait(*this, basGlobal::PleaseWaitReason::Interpreting); });
    // The explanation loads (the please-wait notice showing) and runs modally.
    trap.step([&] {
        ShowInterpretationWindow(*this, row);
    });
    trap.step([&] { basGlobal::PleaseWait().unload(); });
    trap.step([&] { setMousePointer(ui::vbDefault); });
    // Shown again within the modal wait it is already in: no new level.
    trap.step([&] { show(ui::Modeless); });
}

// --- Reminder ---------------------------------------------------------------------------

QString ReminderText(int comparisonMode, const QString& primaryFile, const QString& secondaryFile, bool greek)
{
    const QString files[2] = {primaryFile, secondaryFile};
    auto sentence = [&](int i) {
        QString s = i == 0 ? basGlobal::Txt(greek, u"The Primary structure, exists ", u"Η Πρωτεύουσα δομή, υπάρχει ")
                           : basGlobal::Txt(greek, u"The Secondary structure, exists ", u"Η Δευτερεύουσα δομή, υπάρχει ");
        if (comparisonMode == 0 || files[i].isEmpty())
            return s + basGlobal::Txt(greek, u"on the local computer.", u"στον τοπικό υπολογιστή.");
        if (greek)
            return s + QStringLiteral("σε απομακρυσμένο υπολογιστή και εισήχθη για σύγκριση ")
                   + QStringLiteral("χωρίς σύνδεση, από το αρχείο με όνομα «") + files[i] + QStringLiteral("».");
        return s + QStringLiteral("on a remote computer and was imported for off line ")
               + QStringLiteral("comparison, from the file called '") + files[i] + QStringLiteral("'.");
    };
    if (comparisonMode != 0 && comparisonMode != 1)
        return QString();
    return sentence(0) + QStringLiteral("\r\n\r\n") + sentence(1);
}

void frmCompare::cmdReminder_Click()
{
    if (commandBusy_)
        return;
    basGlobal::ErrorTrap trap(this, QStringLiteral("332"));
    trap.step([&] {
        const basGlobal::Globals& g = globals();
        const QString text = ReminderText(g.ComparisonMode, g.ImportedStructureFile[0], g.ImportedStructureFile[1],
                                          g.LanguageIsGreek);
        if (!text.isEmpty())
            basGlobal::ShowMessageBox(this, caption(), text, ui::vbInformationOK);
    });
}

// --- Find and Print ------------------------------------------------------------------

bool frmCompare::openToolWindow(const ui::CommandButton& button, void (*open)(frmCompare&))
{
    if (!button.enabled() || commandBusy_)
        return false;
    ToolCommand command(*this);
    cpEndFlash();
    setMousePointer(ui::vbHourglass);
    open(*this);
    if (!isLoaded())
        return false;
    setMousePointer(ui::vbDefault);
    basGlobal::BringFormToFront(*this);
    refresh();
    return true;
}

void frmCompare::cmdFind_Click() { openToolWindow(*cmdFind, ShowFindWindow); }

void frmCompare::cmdPrint_Click()
{
    if (!openToolWindow(*cmdPrint, ShowPrintWindow))
        return;
    // Printed (or no reminder due): Close is the next thing to press.
    if (!globals().ResultsNotPrinted && isShown() && cmdCancel->effectivelyEnabled() && cmdCancel->effectivelyVisible())
        cmdCancel->setFocus();
}

} // namespace results
