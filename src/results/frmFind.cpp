#include "results/frmFind.h"

#include "results/frmCompare.h"
#include "shared/ErrorTrap.h"
#include "shared/Messages.h"
#include "shared/Texts.h"
#include "shared/VbString.h"
#include "shared/basGlobal.h"
#include "ui/FlexGrid.h"

namespace results {

using basGlobal::globals;

namespace {

constexpr ui::Color kFoundRed = 255;
constexpr int kFirstColumn = 1;
constexpr int kLastColumn = 8;

enum HelpTopic : int {
    htOK = 70020,
    htFindPrevious = 70030,
    htFindNext = 70040,
    htFindFirst = 70050,
    htFindLast = 70060,
};

struct CommandTexts {
    const char16_t* english;
    const char16_t* greek;
    const char* code;
};

CommandTexts commandTexts(frmFind::Direction d)
{
    switch (d) {
    case frmFind::Direction::First: return {u"Find first", u"Εύρεση πρώτου", "340"};
    case frmFind::Direction::Last: return {u"Find last", u"Εύρεση τελευταίου", "341"};
    case frmFind::Direction::Next: return {u"Find next", u"Εύρεση επομένου", "338"};
    case frmFind::Direction::Previous: break;
    }
    return {u"Find previous", u"Εύρεση προηγουμένου", "339"};
}

} // namespace

FoundCell FindInGrid(const ui::FlexGrid& grid, const QString& upperNeedle, int startRow, int endRow)
{
    const int step = endRow >= startRow ? 1 : -1;
    const int lastCol = std::min(kLastColumn, grid.cols() - 1);
    for (int r = startRow; r != endRow + step; r += step) {
        if (r < 1 || r >= grid.rows())
            continue;
        for (int c = kFirstColumn; c <= lastCol; ++c)
            if (vb::UCase(grid.textMatrix(r, c)).contains(upperNeedle))
                return {r, c};
    }
    return {};
}

frmFind::frmFind() : ui::Form(QStringLiteral("frmFind"))
{
    Load = [this] { Form_Load(); };
    Unload = [this](bool& cancel) { Form_Unload(cancel); };
}

void frmFind::build()
{
    move(left(), top(), 5340, 1440);
    // Tab order: the text, Next, Previous, Last, First, OK.
    txtFindString = add<ui::TextBox>(QStringLiteral("txtFindString"));
    txtFindString->move(120, 120, 3540, 315);
    txtFindString->setTabIndex(0);
    auto button = [this](ui::CommandButton*& slot, const char* name, int left, int top, int tab, int topic) {
        slot = add<ui::CommandButton>(QLatin1String(name));
        slot->move(left, top, 1440, 375);
        slot->setTabIndex(tab);
        slot->setHelpTopic(topic);
    };
    button(cmdFindFirst, "cmdFindFirst", 3780, 90, 4, htFindFirst);
    button(cmdOK, "cmdOK", 120, 600, 5, htOK);
    button(cmdFindPrevious, "cmdFindPrevious", 1340, 600, 2, htFindPrevious);
    button(cmdFindNext, "cmdFindNext", 2560, 600, 1, htFindNext);
    button(cmdFindLast, "cmdFindLast", 3780, 600, 3, htFindLast);
    cmdOK->setWidth(1100);
    cmdFindPrevious->setWidth(1100);
    cmdFindNext->setWidth(1100);
    setDefaultButton(cmdFindNext);
    setCancelButton(cmdOK);
    freeSizer1 = add<ui::FormResizer>(QStringLiteral("freeSizer1"));

    cmdFindFirst->Click = [this] { cmdFindFirst_Click(); };
    cmdFindLast->Click = [this] { cmdFindLast_Click(); };
    cmdFindNext->Click = [this] { cmdFindNext_Click(); };
    cmdFindPrevious->Click = [this] { cmdFindPrevious_Click(); };
    cmdOK->Click = [this] { unload(); };
    txtFindString->Change = [this] { txtFindString->setTag(QStringLiteral("0")); };
    txtFindString->GotFocus = [this] {
        txtFindString->setSelStart(0);
        txtFindString->setSelLength(int(txtFindString->text().size()));
    };
}

void frmFind::Form_Load()
{
    basGlobal::Globals& g = globals();
    basGlobal::ErrorTrap trap(this, QStringLiteral("337"));
    trap.step([&] {
        const bool gr = g.LanguageIsGreek;
        setCaption(basGlobal::Txt(gr, u"Find", u"Εύρεση"));
        cmdFindFirst->setCaption(basGlobal::Txt(gr, u"First", u"Πρώτο"));
        cmdFindLast->setCaption(basGlobal::Txt(gr, u"Last", u"Τελευταίο"));
        cmdFindPrevious->setCaption(basGlobal::Txt(gr, u"Previous", u"Προηγούμενο"));
        cmdFindNext->setCaption(basGlobal::Txt(gr, u"Next", u"Επόμενο"));
        cmdOK->setCaption(basGlobal::Txt(gr, u"OK", u"\u039F\u039A"));
    });
    trap.step([&] { freeSizer1->setResizeFonts(g.ResizeFontEnabled); });
    trap.step([&] { txtFindString->setText(results_ ? results_->cmdFind->tag() : QString()); });
    trap.step([&] { txtFindString->setTag(QStringLiteral("0")); });
    trap.step([&] {
        g.FoundCellRow = -1;
        g.FoundCellCol = -1;
    });
}

void frmFind::Form_Unload(bool& /*cancel*/)
{
    if (!results_ || !results_->isLoaded())
        return;
    results_->cmdFind->setTag(txtFindString->text());
    cpChangeBackgroundColor();
}

void frmFind::cpChangeBackgroundColor()
{
    const basGlobal::Globals& g = globals();
    if (g.FoundCellRow == -1 || g.FoundCellCol == -1 || !results_ || !results_->isLoaded())
        return;
    ui::FlexGrid& grid = *results_->grdResults;
    grid.setRow(g.FoundCellRow);
    grid.setCol(g.FoundCellCol);
    grid.setCellBackColor(ui::Color(g.FoundCellBackColor));
}

void frmFind::cmdFindFirst_Click() { search(Direction::First); }
void frmFind::cmdFindLast_Click() { search(Direction::Last); }
void frmFind::cmdFindNext_Click() { search(Direction::Next); }
void frmFind::cmdFindPrevious_Click() { search(Direction::Previous); }

void frmFind::search(Direction direction)
{
    basGlobal::Globals& g = globals();
    const bool gr = g.LanguageIsGreek;
    const CommandTexts texts = commandTexts(direction);
    const QString title = basGlobal::Txt(gr, texts.english, texts.greek);
    basGlobal::ErrorTrap trap(this, QLatin1String(texts.code), basGlobal::ErrorTrap::OnNo::GoOn, title);
    if (!results_ || !results_->isLoaded())
        return;
    ui::FlexGrid& grid = *results_->grdResults;

    trap.step([&] {
        if (txtFindString->text().isEmpty())
            txtFindString->setText(QStringLiteral("\\"));
    });
    const QString typed = txtFindString->text();
    const QString needle = vb::UCase(typed);
    const int lastRow = grid.rows() - 1;
    const int lastFound = txtFindString->tag().toInt();
    int start = 1, end = lastRow;
    switch (direction) {
    case Direction::First: break;
    case Direction::Last: start = lastRow; end = 1; break;
    case Direction::Next: start = lastFound + 1; break;
    case Direction::Previous:
        start = lastFound - 1 < 1 ? lastRow : lastFound - 1;
        end = 1;
        break;
    }
    FoundCell found;
    trap.step([&] {
        // Next past the last row searches nothing.
        if (direction == Direction::Next && start > end)
            return;
        found = FindInGrid(grid, needle, start, end);
    });
    if (found.row >= 0) {
        trap.step([&] { cpChangeBackgroundColor(); });
        trap.step([&] { txtFindString->setTag(QString::number(found.row)); });
        trap.step([&] {
            grid.setTopRow(found.row);
            grid.setRow(found.row);
            grid.setCol(found.col);
        });
        trap.step([&] {
            g.FoundCellRow = grid.row();
            g.FoundCellCol = grid.col();
            g.FoundCellBackColor = basGlobal::Long(grid.cellBackColor());
        });
        trap.step([&] { grid.setCellBackColor(kFoundRed); });
        return;
    }
    // Nothing found: a search that covered the whole grid says so; one that
    // went on from an earlier find reports the end of the results.
    const bool wholeGrid = direction == Direction::First || direction == Direction::Last
                           || (direction == Direction::Next && start == 1)
                           || (direction == Direction::Previous && start == lastRow);
    if (wholeGrid) {
        const QString text = gr ? QStringLiteral("Το κείμενο «") + typed + QStringLiteral("», δεν εντοπίσθηκε.")
                                : QStringLiteral("Text '") + typed + QStringLiteral("', not found.");
        basGlobal::ShowMessageBox(this, title, text, ui::vbExclamationOK);
        return;
    }
    // The two Greek texts begin differently: Next's with a Latin capital H.
    const QString text = !gr ? QStringLiteral("The results of the comparison, have been searched.")
                         : direction == Direction::Next
                             ? QStringLiteral("H έρευνα των αποτελεσμάτων της συγκρίσεως, ολοκληρώθηκε.")
                             : QStringLiteral("Η έρευνα των αποτελεσμάτων της συγκρίσεως, ολοκληρώθηκε.");
    basGlobal::ShowMessageBox(this, title, text, ui::vbInformationOK);
}

frmFind& FindWindow()
{
    static frmFind* const form = new frmFind;
    return *form;
}

} // namespace results
