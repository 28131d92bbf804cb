// The page setup window: what it shows, and what OK, Apply and Cancel leave
// in force and in the INI file.
#include "print_fixture.h"
#include "results/frmPageSetup.h"
#include "shared/basPageSetup.h"
#include "ui/qt/QtFixture.h"

using namespace results;

namespace {

// The print tests' state: the same page setup in force and drive C:.
class PageSetup : public PrintTest {
protected:
    void open(const std::function<void(frmPageSetup&)>& script)
    {
        desk.onModal(QStringLiteral("frmPageSetup"), [script](ui::Form& f) { script(static_cast<frmPageSetup&>(f)); });
        ShowPageSetupWindow();
        EXPECT_FALSE(PageSetupWindow().isLoaded());
    }
    QString ini() { return QString::fromUtf8(testing_support::fileBytes(drive.native(QStringLiteral("Quillmarsh.ini")), {})); }
};

TEST_F(PageSetup, OpensWithTheValuesInForceOkKeepsChangesUnsavedAndApplySaves)
{
    open([](frmPageSetup& f) {
        EXPECT_TRUE(f.chkCourierNew->value());
        EXPECT_EQ(QStringList({f.lblFontSize->caption(), f.lblTopMargin->caption(), f.lblLeftMargin->caption(),
                               f.lblLinesPerPage->caption()}),
                  QStringList({"8", "0", "0", "30"}));
        for (int k = 0; k < 60; ++k) ui::Input::upDown(*f.updLinesPerPage, +1);
        ui::Input::click(*f.cmdCancel);
    });
    EXPECT_EQ(g().PageSetupLinesPerPage, 30) << "Cancel takes nothing over";
    open([](frmPageSetup& f) {
        for (int k = 0; k < 60; ++k) ui::Input::upDown(*f.updLinesPerPage, +1);   // stops at 80
        ui::Input::upDown(*f.updLeftMargin, +1);
        ui::Input::key(f, 13);   // Enter presses OK
    });
    EXPECT_EQ(g().PageSetupLinesPerPage, 80);
    EXPECT_EQ(g().PageSetupLeftMargin, 1);
    EXPECT_TRUE(ini().isEmpty());

    // Apply saves and disables Cancel until the next change.
    g().PageSetupLinesPerPage = 30, g().PageSetupLeftMargin = 0;
    open([&](frmPageSetup& f) {
        ui::Input::upDown(*f.updFontSize, +1);
        ui::Input::click(*f.chkCourierNewGreek);
        ui::Input::click(*f.cmdApply);
        EXPECT_FALSE(f.cmdCancel->enabled());
        ui::Input::upDown(*f.updTopMargin, +1);
        EXPECT_TRUE(f.cmdCancel->enabled());
        ui::Input::click(*f.cmdCancel);
    });
    EXPECT_EQ(g().PageSetupTopMargin, 0) << "the change after Apply is lost";
    EXPECT_EQ(g().PageSetupFontSize, 9);
    EXPECT_TRUE(ini().contains("[PageSetup]\r\nFontName=Courier New Greek\r\nFontSize=9\r\nTopMargin=0\r\nLeftMargin=0\r\n"
                               "LinesPerPage=30\r\n"))
        << ini().toStdString();
}

// Its words in either language, each value's range, and the font in force
// chosen: OK with nothing changed keeps that font.
TEST_F(PageSetup, ItsWordsInEitherLanguageTheRangesAndTheFontInForce)
{
    for (bool greek : {false, true}) {
        SCOPED_TRACE(greek ? "Greek" : "English");
        g().LanguageIsGreek = greek;
        g().PageSetupFontName = greek ? basPageSetup::kFontCourierNewGreek : basPageSetup::kFontCourierNew;
        g().PageSetupTopMargin = 3;
        g().PageSetupLeftMargin = 4;
        g().PageSetupLinesPerPage = 45;
        open([greek](frmPageSetup& f) {
            EXPECT_EQ(f.caption(), greek ? "Διαμόρφωση σελίδας" : "Page setup");
            const QStringList shown = {f.fraFont->caption(), f.chkCourierNew->caption(), f.chkCourierNewGreek->caption(),
                                       f.lblFontSizeTitle->caption(), f.fraMargin->caption(), f.lblTopMarginTitle->caption(),
                                       f.lblLeftMarginTitle->caption(), f.lblLinesPerPageTitle->caption(),
                                       f.cmdOK->caption(), f.cmdApply->caption(), f.cmdCancel->caption()};
            EXPECT_EQ(shown, greek ? QStringList({" Γραμματοσειρά ", "Courier New (Αγγλική)", "Courier New (Ελληνική)",
                                                  "Μέγεθος:", " Περιθώρια ", "Άνω:", "Αριστερό:", "Γραμμές/Σελίδα:", "OK",
                                                  "Εφαρμογή", "Άκυρο"})
                                   : QStringList({" Font ", "Courier New (English)", "Courier New (Greek)", "Size:",
                                                  " Margins ", "Top:", "Left:", "Lines/Page:", "OK", "Apply", "Cancel"}));
            EXPECT_EQ(QStringList({f.lblFontSizeMinMax->caption(), f.lblTopMarginMinMax->caption(),
                                   f.lblLeftMarginMinMax->caption(), f.lblLinesPerPageMinMax->caption()}),
                      QStringList({"8 - 12", "0 - 20", "0 - 30", "30 - 80"}));
            EXPECT_EQ(QStringList({f.lblFontSize->caption(), f.lblTopMargin->caption(), f.lblLeftMargin->caption(),
                                   f.lblLinesPerPage->caption()}),
                      QStringList({"8", "3", "4", "45"}));
            EXPECT_EQ(f.chkCourierNew->value(), !greek);
            EXPECT_EQ(f.chkCourierNewGreek->value(), greek);
            EXPECT_TRUE(f.cmdCancel->enabled());
            ui::Input::click(*f.cmdOK);
        });
        EXPECT_EQ(g().PageSetupFontName, greek ? basPageSetup::kFontCourierNewGreek : basPageSetup::kFontCourierNew);
        EXPECT_EQ(g().PageSetupTopMargin, 3);
        EXPECT_EQ(g().PageSetupLinesPerPage, 45);
    }
}

// The window's layout: each value's row reads title, value, arrows and range
// from left to right on one line; the two margins stand one under the other
// in their frame, the lines per page below the frame in line with them, the
// font size under the two font options.
TEST_F(PageSetup, EachValueStandsInARowOfItsOwn)
{
    frmPageSetup& f = PageSetupWindow();
    f.load();
    struct Row { ui::Label* title; ui::Label* value; ui::UpDown* arrows; ui::Label* range; };
    const Row rows[4] = {{f.lblFontSizeTitle, f.lblFontSize, f.updFontSize, f.lblFontSizeMinMax},
                         {f.lblTopMarginTitle, f.lblTopMargin, f.updTopMargin, f.lblTopMarginMinMax},
                         {f.lblLeftMarginTitle, f.lblLeftMargin, f.updLeftMargin, f.lblLeftMarginMinMax},
                         {f.lblLinesPerPageTitle, f.lblLinesPerPage, f.updLinesPerPage, f.lblLinesPerPageMinMax}};
    const auto absLeft = [](const ui::Control* c) { return c->left() + (c->container() ? c->container()->left() : 0); };
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(rows[k].value->name().toStdString());
        const Row& r = rows[k];
        EXPECT_EQ(r.value->left(), r.title->left() + r.title->width());
        EXPECT_EQ(r.arrows->left(), r.value->left() + r.value->width());
        EXPECT_EQ(r.range->left() - (r.arrows->left() + r.arrows->width()), 105);
        EXPECT_EQ(r.title->top(), r.value->top() + 30);
        EXPECT_EQ(r.range->top(), r.title->top());
        EXPECT_EQ(r.arrows->top(), r.value->top());
        EXPECT_EQ(r.value->width(), 420);
        EXPECT_EQ(r.value->alignment(), 2);
        EXPECT_EQ(r.arrows->height(), r.value->height());
        EXPECT_EQ(r.title->container(), r.value->container());
        EXPECT_EQ(r.range->container(), r.value->container());
        EXPECT_EQ(r.arrows->container(), r.value->container());
    }
    EXPECT_EQ(f.lblFontSize->container(), f.fraFont);
    EXPECT_EQ(f.defaultButton(), f.cmdOK);
    EXPECT_EQ(f.cancelButton(), f.cmdCancel);
    EXPECT_EQ(f.lblTopMargin->container(), f.fraMargin);
    EXPECT_EQ(f.lblLeftMargin->container(), f.fraMargin);
    EXPECT_EQ(f.lblLinesPerPage->container(), nullptr);
    EXPECT_EQ(f.lblLeftMargin->top() - f.lblTopMargin->top(), 420);
    EXPECT_EQ(f.lblTopMargin->left(), f.lblLeftMargin->left());
    EXPECT_EQ(f.lblTopMarginTitle->width(), f.lblLeftMarginTitle->width());
    EXPECT_EQ(f.lblLinesPerPageTitle->width(), f.lblTopMarginTitle->width());
    EXPECT_EQ(absLeft(f.lblLinesPerPageTitle), absLeft(f.lblTopMarginTitle));
    EXPECT_EQ(f.lblLinesPerPage->top() - (f.fraMargin->top() + f.fraMargin->height()), 180);
    EXPECT_EQ(f.lblFontSizeTitle->left(), f.chkCourierNew->left());
    EXPECT_EQ(f.chkCourierNewGreek->top() - f.chkCourierNew->top(), 420);
    EXPECT_EQ(f.lblFontSize->top() - f.chkCourierNewGreek->top(), 480);
    EXPECT_EQ(f.lblFontSizeTitle->width(), 1020);
    EXPECT_LE(f.lblFontSizeMinMax->left() + f.lblFontSizeMinMax->width(), f.fraFont->width());
    EXPECT_LE(f.lblTopMarginMinMax->left() + f.lblTopMarginMinMax->width(), f.fraMargin->width());
    f.unload();
}

// The sheet is weighed in the font chosen in the window: a printer whose
// Greek font runs wider refuses the Greek choice and takes the English one.
TEST_F(PageSetup, TheSheetIsWeighedInTheChosenFont)
{
    struct ByFont : platform::RecordingPrinter {
        int charactersPerLine(const QString& font, double) const override
        {
            return font == basPageSetup::kFontCourierNewGreek ? 140 : 160;
        }
    } device;
    platform::ServiceOverride<platform::Printer> use(platform::setPrinter, &device);
    desk.expectMsgBoxContaining("Page setup", "a printed line of 151 characters does not fit it", ui::vbExclamationOK, ui::vbOK);
    open([](frmPageSetup& f) {
        ui::Input::click(*f.chkCourierNewGreek);
        ui::Input::click(*f.cmdOK);
        EXPECT_TRUE(f.isLoaded()) << "refused";
        ui::Input::click(*f.chkCourierNew);
        ui::Input::click(*f.cmdOK);
    });
    EXPECT_EQ(g().PageSetupFontName, basPageSetup::kFontCourierNew);
}

// Where the size asked for does not fit this paper even without a margin, a
// larger paper is named beside the smaller size; where only the margin is
// too wide, it is not.
TEST_F(PageSetup, ASizeThatDoesNotFitThePaperNamesALargerPaper)
{
    struct Sheet : platform::RecordingPrinter {
        int charactersPerLine(const QString&, double points) const override { return int(1800 / points); }
    } device;   // 150 characters at 12 points, 163 at 11, 180 at 10
    platform::ServiceOverride<platform::Printer> use(platform::setPrinter, &device);
    for (bool greek : {false, true}) {
        g().LanguageIsGreek = greek;
        const char* title = greek ? "Διαμόρφωση σελίδας" : "Page setup";
        desk.expectMsgBoxContaining(title, greek ? "το πολύ 11. Μειώστε το μέγεθος της γραμματοσειράς ή επιλέξτε "
                                                   "μεγαλύτερο χαρτί στην Επιλογή εκτυπωτή."
                                                 : "at most 11. Lower the font size or choose a larger paper in Printer setup.",
                                    ui::vbExclamationOK, ui::vbOK);
        desk.expectMsgBoxContaining(title, greek ? "το πολύ 10. Μειώστε το αριστερό περιθώριο ή το μέγεθος της γραμματοσειράς."
                                                 : "at most 10. Lower the left margin or the font size.",
                                    ui::vbExclamationOK, ui::vbOK);
        open([](frmPageSetup& f) {
            f.lblFontSize->setCaption(QStringLiteral("12"));
            ui::Input::click(*f.cmdOK);
            f.lblFontSize->setCaption(QStringLiteral("11"));
            f.lblLeftMargin->setCaption(QStringLiteral("13"));
            ui::Input::click(*f.cmdOK);
            ui::Input::click(*f.cmdCancel);
        });
    }
}

// Opened from the print window, Page setup weighs the lines of that print as
// the run does, at the page count of its own lines per page: what it refuses
// the run would refuse, what it takes the run prints. A size of twelve
// digits, 40 ideographs, a page count of four digits.
TEST_F(PageSetup, FromThePrintWindowItRefusesWhatTheRunWouldRefuse)
{
    basGlobal::windowHooks().pageSetup = [] { ShowPageSetupWindow(); };
    const struct {
        int rows, column;
        QString cell;
        int columns, left, lines;
        const char* said;
    } cases[] = {
        {3, 3, "123,456,789,012", 170, 18, 30,
         "a left margin of 18 blanks and a printed line of 153 characters do not fit it.\r\n\r\nAt this font size a "
         "left margin of at most 17 blanks fits."},
        {3, 2, QString(40, QChar(0x6F22)), 190, 3, 30, "a left margin of 3 blanks and a printed line of 188 characters"},
        {26 * 999 + 1, 0, "N", 151, 0, 30, "a printed line of 153 characters does not fit it"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said);
        printer.columns = c.columns;
        fill(c.rows);
        results.grdResults->setTextMatrix(2, 2, QString(39, u'n') + QStringLiteral(".txt"));
        results.grdResults->setTextMatrix(2, c.column, c.cell);
        // Page setup from the print window with this left margin and these
        // lines per page; true when it took them.
        const auto setUp = [this](frmPrint& w, int left, int lines) {
            bool taken = false;
            desk.onModal(QStringLiteral("frmPageSetup"), [&](ui::Form& form) {
                auto& f = static_cast<frmPageSetup&>(form);
                f.lblLeftMargin->setCaption(QString::number(left));
                f.lblLinesPerPage->setCaption(QString::number(lines));
                ui::Input::click(*f.cmdOK);
                taken = !f.isLoaded();
                if (!taken) ui::Input::click(*f.cmdCancel);
            });
            ui::Input::click(*w.cmdPageSetup);
            return taken;
        };
        openPrint([&](frmPrint& w) {
            desk.expectMsgBoxContaining("Page setup", c.said, ui::vbExclamationOK, ui::vbOK);
            EXPECT_FALSE(setUp(w, c.left, c.lines));
            // One blank less, or one line per page more (fewer pages): taken,
            // and the run starts.
            EXPECT_TRUE(c.left > 0 ? setUp(w, c.left - 1, c.lines) : setUp(w, c.left, c.lines + 1));
            desk.onYield([] { return true; }, [this] { g().CancelRequested = true; });
            desk.resetYieldCount();
            ui::Input::click(*w.cmdPrint);
            EXPECT_GT(desk.yieldCount(), 0) << "the run started";
            ui::Input::click(*w.cmdCancel);
        });
    }
}

// From the keyboard alone: the focus starts on OK and Tab walks the Font
// frame, the Margins frame and the lines-per-page row, then Apply and
// Cancel; the arrows step the focused up-down by one, the page keys by ten,
// each stopping at its range.
TEST_F(PageSetup, TheKeyboardReachesAndStepsEveryValue)
{
    open([](frmPageSetup& f) {
        auto focused = [&f] { return f.activeControl() ? f.activeControl()->name() : QString(); };
        EXPECT_EQ(focused(), "cmdOK");
        QStringList walked;
        for (int k = 0; k < 9; ++k) {
            ui::Input::key(f, ui::vbKeyTab);
            walked << focused();
        }
        EXPECT_EQ(walked, QStringList({"chkCourierNew", "chkCourierNewGreek", "updFontSize", "updTopMargin", "updLeftMargin",
                                       "updLinesPerPage", "cmdApply", "cmdCancel", "cmdOK"}));
        ui::Input::key(f, ui::vbKeyTab, ui::vbShiftMask);
        EXPECT_EQ(focused(), "cmdCancel") << "Shift+Tab goes back";

        auto keys = [&f](ui::UpDown& u, std::initializer_list<int> codes) {
            ui::Input::focus(u);
            QStringList shown;
            for (int code : codes) {
                ui::Input::key(f, code);
                shown << static_cast<ui::Label*>(u.buddy())->caption();
            }
            return shown;
        };
        using ui::vbKeyUp, ui::vbKeyDown, ui::vbKeyPageUp, ui::vbKeyPageDown;
        EXPECT_EQ(keys(*f.updFontSize, {vbKeyUp, vbKeyPageUp, vbKeyDown, vbKeyPageDown}),
                  QStringList({"9", "12", "11", "8"}));
        EXPECT_EQ(keys(*f.updTopMargin, {vbKeyPageUp, vbKeyUp, vbKeyPageUp, vbKeyDown}), QStringList({"10", "11", "20", "19"}));
        EXPECT_EQ(keys(*f.updLeftMargin, {vbKeyDown, vbKeyUp, vbKeyPageUp, vbKeyPageUp, vbKeyPageUp, vbKeyPageDown}),
                  QStringList({"0", "1", "11", "21", "30", "20"}));
        EXPECT_EQ(keys(*f.updLinesPerPage, {vbKeyPageDown, vbKeyPageUp, vbKeyUp}), QStringList({"30", "40", "41"}));
        EXPECT_TRUE(f.cmdCancel->enabled());
        ui::Input::key(f, ui::vbKeyReturn);   // OK, the default button
    });
    EXPECT_EQ(QList<int>({g().PageSetupFontSize, g().PageSetupTopMargin, g().PageSetupLeftMargin, g().PageSetupLinesPerPage}),
              QList<int>({8, 19, 20, 41}));
}

// The same in the real window: Qt's own Tab reaches every up-down, which
// shows its focus, and the keys it gets step it.
class PageSetupOnScreen : public qttest::QtDesktopTest {};

TEST_F(PageSetupOnScreen, TabReachesEachUpDownAndItsKeysStepIt)
{
    basGlobal::Globals& g = basGlobal::globals();
    g.PageSetupFontName = basPageSetup::kFontCourierNew;
    g.PageSetupFontSize = 8, g.PageSetupTopMargin = 0, g.PageSetupLeftMargin = 0, g.PageSetupLinesPerPage = 30;
    g.LanguageIsGreek = true;
    frmPageSetup& f = PageSetupWindow();
    QStringList walked, shown;
    bool framed = false;
    later(0, [&] {
        qttest::FormWindow* w = desk.window(f);
        w->activateWindow();
        QApplication::processEvents();
        auto focused = [&] { return f.activeControl() && QApplication::focusWidget() == w->widgetFor(f.activeControl())
                                        ? f.activeControl()->name() : QStringLiteral("(elsewhere)"); };
        walked << focused();
        for (int k = 0; k < 9; ++k) {
            sendKey(QApplication::focusWidget(), Qt::Key_Tab);
            walked << focused();
            if (f.activeControl() == f.updTopMargin) {
                // The arrows drawn inside a frame of the highlight colour.
                const QImage shot = QApplication::focusWidget()->grab().toImage();
                framed = shot.pixelColor(0, 0) == QApplication::focusWidget()->palette().color(QPalette::Highlight);
                for (int key : {Qt::Key_Up, Qt::Key_PageUp, Qt::Key_Down}) {
                    sendKey(QApplication::focusWidget(), key);
                    shown << f.lblTopMargin->caption();
                }
            }
        }
        sendKey(QApplication::focusWidget(), Qt::Key_Return);
    });
    ShowPageSetupWindow();
    EXPECT_EQ(walked, QStringList({"cmdOK", "chkCourierNew", "chkCourierNewGreek", "updFontSize", "updTopMargin", "updLeftMargin",
                                   "updLinesPerPage", "cmdApply", "cmdCancel", "cmdOK"}));
    EXPECT_EQ(shown, QStringList({"1", "11", "10"}));
    EXPECT_TRUE(framed) << "the focused up-down shows it";
    EXPECT_EQ(g.PageSetupTopMargin, 10) << "Enter pressed OK";
}

} // namespace
