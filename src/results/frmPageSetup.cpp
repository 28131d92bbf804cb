#include "results/frmPageSetup.h"

#include "platform/Printer.h"
#include "results/PrintEngine.h"
#include "shared/ErrorTrap.h"
#include "shared/Messages.h"
#include "shared/Texts.h"
#include "shared/basGlobal.h"
#include "shared/basPageSetup.h"

#include <algorithm>

namespace results {

using basGlobal::globals;

namespace {

constexpr int kRowHeight = 300;
constexpr int kButtonTop = 2160;

struct Caption {
    const char* control;
    const char16_t* english;
    const char16_t* greek;
};

const Caption kCaptions[] = {
    {"fraFont", u" Font ", u" Γραμματοσειρά "},
    {"chkCourierNew", u"Courier New (English)", u"Courier New (Αγγλική)"},
    {"chkCourierNewGreek", u"Courier New (Greek)", u"Courier New (Ελληνική)"},
    {"lblFontSizeTitle", u"Size:", u"Μέγεθος:"},
    {"fraMargin", u" Margins ", u" Περιθώρια "},
    {"lblTopMarginTitle", u"Top:", u"Άνω:"},
    {"lblLeftMarginTitle", u"Left:", u"Αριστερό:"},
    {"lblLinesPerPageTitle", u"Lines/Page:", u"Γραμμές/Σελίδα:"},
    {"cmdOK", u"OK", u"OK"},
    {"cmdApply", u"Apply", u"Εφαρμογή"},
    {"cmdCancel", u"Cancel", u"Άκυρο"},
};

} // namespace

frmPageSetup::frmPageSetup() : ui::Form(QStringLiteral("frmPageSetup"))
{
    Load = [this] { Form_Load(); };
}

void frmPageSetup::build()
{
    move(left(), top(), 6600 + 2 * 60, 2700 + 400);

    fraFont = add<ui::Frame>(QStringLiteral("fraFont"));
    fraFont->move(120, 120, 2880, 1860);
    fraFont->setHelpTopic(htFraFont);
    chkCourierNew = add<ui::OptionButton>(QStringLiteral("chkCourierNew"), -1, fraFont);
    chkCourierNew->move(240, 360, 2520, kRowHeight);
    chkCourierNew->setHelpTopic(htCourierNew);
    chkCourierNewGreek = add<ui::OptionButton>(QStringLiteral("chkCourierNewGreek"), -1, fraFont);
    chkCourierNewGreek->move(240, 780, 2520, kRowHeight);
    chkCourierNewGreek->setHelpTopic(htCourierNewGreek);

    // A row: title, value label, up-down bound to it, range label.
    struct Row {
        ui::Label*& title;
        ui::Label*& value;
        ui::UpDown*& upDown;
        ui::Label*& range;
        const char* name;
        int topics[4];
    };
    auto addRow = [this](const Row& r, ui::Control* container, int left, int top, int titleWidth) {
        const QString base = QLatin1String(r.name);
        r.title = add<ui::Label>(QStringLiteral("lbl") + base + QStringLiteral("Title"), -1, container);
        r.title->move(left, top + 30, titleWidth, kRowHeight);
        r.value = add<ui::Label>(QStringLiteral("lbl") + base, -1, container);
        r.value->move(left + titleWidth, top, 420, kRowHeight);
        r.value->setAlignment(2);
        r.value->setBackColor(ui::kSysWindow);
        r.upDown = add<ui::UpDown>(QStringLiteral("upd") + base, -1, container);
        r.upDown->move(left + titleWidth + 420, top, 255, kRowHeight);
        r.upDown->setBuddy(r.value, ui::UpDown::BuddyProperty::Caption);
        r.range = add<ui::Label>(QStringLiteral("lbl") + base + QStringLiteral("MinMax"), -1, container);
        r.range->move(left + titleWidth + 780, top + 30, 780, kRowHeight);
        ui::Control* parts[4] = {r.title, r.value, r.upDown, r.range};
        for (int k = 0; k < 4; ++k) parts[k]->setHelpTopic(r.topics[k]);
    };
    addRow({lblFontSizeTitle, lblFontSize, updFontSize, lblFontSizeMinMax, "FontSize",
            {htFontSizeTitle, htFontSize, htUpdFontSize, htFontSizeMinMax}},
           fraFont, 240, 1260, 1020);

    fraMargin = add<ui::Frame>(QStringLiteral("fraMargin"));
    fraMargin->move(3120, 120, 3360, 1320);
    fraMargin->setHelpTopic(htFraMargin);
    addRow({lblTopMarginTitle, lblTopMargin, updTopMargin, lblTopMarginMinMax, "TopMargin",
            {htTopMarginTitle, htTopMargin, htUpdTopMargin, htTopMarginMinMax}},
           fraMargin, 240, 360, 1320);
    addRow({lblLeftMarginTitle, lblLeftMargin, updLeftMargin, lblLeftMarginMinMax, "LeftMargin",
            {htLeftMarginTitle, htLeftMargin, htUpdLeftMargin, htLeftMarginMinMax}},
           fraMargin, 240, 780, 1320);
    addRow({lblLinesPerPageTitle, lblLinesPerPage, updLinesPerPage, lblLinesPerPageMinMax, "LinesPerPage",
            {htLinesPerPageTitle, htLinesPerPage, htUpdLinesPerPage, htLinesPerPageMinMax}},
           nullptr, 3360, 1620, 1320);

    auto button = [this](ui::CommandButton*& slot, const char* name, int left, int topic) {
        slot = add<ui::CommandButton>(QLatin1String(name));
        slot->move(left, kButtonTop, 1260, 372);
        slot->setHelpTopic(topic);
    };
    button(cmdCancel, "cmdCancel", 2580, htPageSetupCancel);
    button(cmdApply, "cmdApply", 3900, htPageSetupApply);
    button(cmdOK, "cmdOK", 5220, htPageSetupOK);
    setDefaultButton(cmdOK);
    setCancelButton(cmdCancel);

    // Tab order: OK first, then the rows top to bottom, then Apply and Cancel.
    int tab = 0;
    for (ui::Control* c : std::initializer_list<ui::Control*>{
             cmdOK, chkCourierNew, chkCourierNewGreek, updFontSize, updTopMargin, updLeftMargin, updLinesPerPage,
             cmdApply, cmdCancel})
        c->setTabIndex(tab++);

    freeSizer1 = add<ui::FormResizer>(QStringLiteral("freeSizer1"));

    // Any change makes Cancel worth pressing again.
    auto changed = [this] { cmdCancel->setEnabled(true); };
    chkCourierNew->Click = changed;
    chkCourierNewGreek->Click = changed;
    for (ui::UpDown* u : {updFontSize, updTopMargin, updLeftMargin, updLinesPerPage})
        u->Change = changed;
    cmdApply->Click = [this] { cmdApply_Click(); };
    cmdOK->Click = [this] { cmdOK_Click(); };
    cmdCancel->Click = [this] { unload(ui::vbFormCode); };
}

void frmPageSetup::Form_Load()
{
    basGlobal::Globals& g = globals();
    basGlobal::ErrorTrap trap(this, QStringLiteral("PSFL1000"));
    trap.step([&] {
        const bool gr = g.LanguageIsGreek;
        setCaption(basGlobal::Txt(gr, u"Page setup", u"Διαμόρφωση σελίδας"));
        for (const Caption& c : kCaptions)
            ui::setCaptionOf(*control(QLatin1String(c.control)), basGlobal::Txt(gr, c.english, c.greek));
    });
    trap.step([&] { freeSizer1->setResizeFonts(g.ResizeFontEnabled); });
    trap.step([&] {
        chkCourierNew->setValue(false);
        chkCourierNewGreek->setValue(false);
        if (g.PageSetupFontName == basPageSetup::kFontCourierNew)
            chkCourierNew->setValue(true);
        if (g.PageSetupFontName == basPageSetup::kFontCourierNewGreek)
            chkCourierNewGreek->setValue(true);
    });
    struct Setting {
        ui::UpDown* upDown;
        ui::Label* value;
        ui::Label* range;
        int minimum, maximum, current;
    } settings[] = {
        {updFontSize, lblFontSize, lblFontSizeMinMax, basPageSetup::kSmallestFontSize, basPageSetup::kLargestFontSize,
         g.PageSetupFontSize},
        {updTopMargin, lblTopMargin, lblTopMarginMinMax, 0, 20, g.PageSetupTopMargin},
        {updLeftMargin, lblLeftMargin, lblLeftMarginMinMax, 0, 30, g.PageSetupLeftMargin},
        {updLinesPerPage, lblLinesPerPage, lblLinesPerPageMinMax, 30, 80, g.PageSetupLinesPerPage},
    };
    for (const Setting& s : settings) {
        trap.step([&] {
            s.upDown->setMin(s.minimum);
            s.upDown->setMax(s.maximum);
            // The up-down starts from the value shown, so its arrows step from there.
            s.upDown->setValue(std::clamp(s.current, s.minimum, s.maximum));
            s.value->setCaption(QString::number(s.current));
            s.range->setCaption(QString::number(s.minimum) + QStringLiteral(" - ") + QString::number(s.maximum));
        });
    }
    trap.step([&] { cmdCancel->setEnabled(true); });
}

void frmPageSetup::takeValuesOver()
{
    basGlobal::Globals& g = globals();
    if (chkCourierNew->value())
        g.PageSetupFontName = basPageSetup::kFontCourierNew;
    if (chkCourierNewGreek->value())
        g.PageSetupFontName = basPageSetup::kFontCourierNewGreek;
    g.PageSetupFontSize = basGlobal::Integer(lblFontSize->caption().toInt());
    g.PageSetupTopMargin = basGlobal::Integer(lblTopMargin->caption().toInt());
    g.PageSetupLeftMargin = basGlobal::Integer(lblLeftMargin->caption().toInt());
    g.PageSetupLinesPerPage = basGlobal::Integer(lblLinesPerPage->caption().toInt());
}

bool frmPageSetup::pageFitsSheet()
{
    const basGlobal::Globals& g = globals();
    const QString font = chkCourierNewGreek->value() ? basPageSetup::kFontCourierNewGreek : basPageSetup::kFontCourierNew;
    const int linesPerPage = lblLinesPerPage->caption().toInt();
    // The lines of the print it is opened for, numbered by the page count
    // these lines per page give: a page setup taken here is one the run takes.
    const PrintSource source = m_printSource ? m_printSource() : PrintSource();
    const Long pages = PrintedPagination(g.TotalLinesToPrint, linesPerPage, g.HeaderLinesPerPage).count();
    PrintedDateTimeTexts texts;
    const PrintedLineWidths lines(platform::printer(), font, source, pages, texts);
    const QString problem = PrinterPageFitProblem(platform::printer(), font, lblFontSize->caption().toInt(),
                                                  lblTopMargin->caption().toInt(), lblLeftMargin->caption().toInt(),
                                                  linesPerPage, lines, g.LanguageIsGreek);
    if (problem.isEmpty())
        return true;
    basGlobal::ShowMessageBox(this, caption(), problem, ui::vbExclamationOK);
    return false;
}

void frmPageSetup::cmdApply_Click()
{
    if (!pageFitsSheet())
        return;
    basGlobal::ErrorTrap trap(this, QStringLiteral("PSAC1000"));
    trap.step([&] { takeValuesOver(); });
    trap.step([&] { basGlobal::RaiseIfError(basPageSetup::SavePageSetup()); });
    trap.step([&] { cmdCancel->setEnabled(false); });
}

void frmPageSetup::cmdOK_Click()
{
    if (!pageFitsSheet())
        return;
    takeValuesOver();
    unload(ui::vbFormCode);
}

frmPageSetup& PageSetupWindow()
{
    static frmPageSetup* const form = new frmPageSetup;
    return *form;
}

void ShowPageSetupWindow()
{
    frmPageSetup& f = PageSetupWindow();
    f.load();
    f.show(ui::Modal);
}

} // namespace results
