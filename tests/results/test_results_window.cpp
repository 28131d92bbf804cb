// The results window itself: what it shows when it opens, its close guard
// and print reminder, the column widths it keeps and its clock.
#include "compare/compare_fixture.h"

#include "results/frmPrint.h"
#include "shared/IniAccess.h"

using namespace compare_test;

namespace {

class ResultsWindow : public CompareTest {
protected:
    void SetUp() override
    {
        CompareTest::SetUp();
        // One time for both: written a second apart they would differ.
        const QDateTime t(QDate(2024, 5, 1), QTime(12, 0, 0));
        file(c, QStringLiteral("Left/a.txt"), "x", t);
        file(c, QStringLiteral("Right/a.txt"), "x", t);
        g().CurrentPath = {QStringLiteral("C:\\Left"), QStringLiteral("C:\\Right")};
    }
    QString iniText() { return QString::fromUtf8(testing_support::fileBytes(nativeOf(c, QStringLiteral("Quillmarsh.ini")), {})); }
};

TEST_F(ResultsWindow, OpensEmptyWithBothRootsAndTheStructureTints)
{
    g().StructureTint[0] = 0x123456;
    g().CurrentPath[1] = QStringLiteral("D:");   // a drive root gets its separator
    openWindow([&] {
        EXPECT_EQ(win.lblCurrentFullPath[0]->caption(), QStringLiteral("C:\\Left\\"));
        EXPECT_EQ(win.lblCurrentFullPath[1]->caption(), QStringLiteral("D:\\"));
        EXPECT_EQ(win.lblCurrentFullPath[0]->backColor(), 0x123456u);
        EXPECT_EQ(win.lblCurrentFullPath[1]->backColor(), 0xFFFFC0u);
        EXPECT_FALSE(win.cmdPrint->enabled());
        EXPECT_FALSE(win.cmdDisplayNextDifference->enabled());
        EXPECT_FALSE(win.grdResults->visible());
        for (ui::Control* c : std::initializer_list<ui::Control*>{win.cmdCompare, win.lblTotalFiles[1], win.cmdCancel})
            ui::Input::rightClick(*c);
        ui::Input::click(*win.cmdCancel);
    });
    EXPECT_FALSE(win.isLoaded());
    EXPECT_TRUE(iniText().isEmpty()) << "closing without a comparison writes nothing";
    QList<int> topics;
    for (const auto& e : desk.entries(ui::HeadlessDesktop::Entry::Help)) topics << e.style;
    EXPECT_EQ(topics, (QList<int>{50110, 50035, 50070}));
}

// Every word of the window in either language: its caption, buttons and the
// tip of Next difference, and the two hidden menus item by item (separators
// as "-"), with Print's shortcut.
TEST_F(ResultsWindow, ItsWordsInEitherLanguage)
{
    for (bool greek : {false, true}) {
        SCOPED_TRACE(greek ? "Greek" : "English");
        g().LanguageIsGreek = greek;
        g().ResizeFontEnabled = greek;
        openWindow([&] {
            EXPECT_EQ(win.caption(), greek ? "Αποτελέσματα συγκρίσεως" : "Comparison results");
            // Its fonts follow its size only when the user asked for that.
            EXPECT_EQ(win.freeSizer1->resizeFonts(), greek);
            EXPECT_EQ(QStringList({win.cmdCancel->caption(), win.cmdDisplayOrder->caption(), win.cmdReminder->caption(),
                                   win.cmdFind->caption(), win.cmdPrint->caption(), win.cmdCompare->caption()}),
                      greek ? QStringList({"Άκυρο", "Σειρά", "Υπενθύμιση", "Εύρεση", "Εκτύπωση", "Σύγκριση"})
                            : QStringList({"Cancel", "Order", "Reminder", "Find", "Print", "Compare"}));
            EXPECT_EQ(win.cmdDisplayNextDifference->toolTipText(),
                      greek ? "Εμφάνιση επομένης διαφοράς" : "Display next difference");
            QStringList menus;
            for (ui::Menu* m : {win.mnuFile, win.mnuDifference}) {
                QStringList entries;
                for (const ui::Menu* item : m->items()) entries << item->caption();
                menus << m->caption() + u':' + entries.join(u'|');
            }
            EXPECT_EQ(menus, greek ? QStringList({"Αρχείο:Σύγκριση|-|Εκτύπωση|-|Κλείσιμο", "Difference:Κορυφογραμμή|-|Βοήθεια|-|Άκυρο"})
                                   : QStringList({"File:Compare|-|Print|-|Close", "Difference:Top row|-|Help|-|Cancel"}));
            EXPECT_EQ(win.mnuFilePrint->shortcut(), "^P");
            ui::Input::click(*win.cmdCancel);
        });
    }
    g().LanguageIsGreek = g().ResizeFontEnabled = false;
}

// The hidden menus' items press the buttons of their names; Help of the
// Difference menu shows Next difference's own topic.
TEST_F(ResultsWindow, TheHiddenMenusItemsPressTheirButtons)
{
    openWindow([&] {
        QStringList pressed;
        win.cmdCompare->Click = [&] { pressed << "Compare"; };
        win.cmdPrint->Click = [&] { pressed << "Print"; };
        win.cmdCancel->Click = [&] { pressed << "Cancel"; };
        win.mnuFileCompare->Click();
        win.cmdPrint->setEnabled(true);
        win.mnuFilePrint->Click();
        win.mnuFileClose->Click();
        EXPECT_EQ(pressed, QStringList({"Compare", "Print", "Cancel"}));
        desk.clearTranscript();
        win.mnuDifferenceHelp->Click();
        const auto help = desk.entries(ui::HeadlessDesktop::Entry::Help);
        ASSERT_EQ(help.size(), 1);
        EXPECT_EQ(help[0].style, results::frmCompare::htDisplayNextDifference);
        win.unload(ui::vbFormCode);
    });
    EXPECT_FALSE(win.isLoaded());
}

// The window has no menu bar: File answers its shortcuts and Difference
// pops up over Next difference, neither stands above the window.
TEST_F(ResultsWindow, ShowsNoMenuBarBeforeOrAfterAComparison)
{
    const auto menusInTheBar = [&] {
        QStringList shown;
        for (ui::Control* c : win.controls())
            if (c->kind() == ui::ControlKind::Menu && !static_cast<ui::Menu*>(c)->parentMenu() && c->visible()) shown << c->name();
        return shown;
    };
    compareAndClose([&] { EXPECT_EQ(menusInTheBar(), QStringList()); });
    openWindow([&] {
        EXPECT_EQ(menusInTheBar(), QStringList());
        ui::Input::click(*win.cmdCancel);
    });
}

// Before a comparison the window shows no progress of one: neither the
// file stage's steps nor its bar, and nothing to print.
TEST_F(ResultsWindow, OpensWithoutStepsOrSecondBarAndWithNothingToPrint)
{
    int printed = 0;
    for (const bool again : {false, true}) {
        openWindow([&] {
            for (ui::Label* step : win.lblStep) EXPECT_FALSE(step->visible()) << step->name().toStdString() << again;
            EXPECT_FALSE(win.prbSubProgressBar->visible()) << again;
            EXPECT_FALSE(win.prbProgressBar->visible()) << again;
            EXPECT_FALSE(win.lblProcessInProgress->visible()) << again;
            EXPECT_FALSE(win.cmdPrint->enabled()) << again;
            EXPECT_FALSE(win.mnuFilePrint->enabled()) << again;
            EXPECT_FALSE(win.cmdFind->enabled()) << again;
            win.cmdPrint->Click = [&] { ++printed; };
            ui::Input::key(win, 'P', ui::vbCtrlMask);
            if (again) {
                ui::Input::click(*win.cmdCancel);
                return;
            }
            // A run that stops inside the file stage, its steps up.
            desk.onYield([&] { return win.lblStep[0]->visible(); },
                         [&] {
                             desk.expectMsgBox(kCancelTitle, kCancelText, ui::vbQuestionYesNoDefNo, ui::vbYes);
                             ui::Input::click(*win.cmdCancel);
                         });
            ui::Input::click(*win.cmdCompare);
        });
        EXPECT_FALSE(win.isLoaded());
        if (!again) win.load();
    }
    EXPECT_EQ(printed, 0);
}

// While a run goes on, its stage and the file stage's step numbers are the
// window's bold texts, with the Next difference arrow; nothing else is bold.
TEST_F(ResultsWindow, TheStageAndTheStepNumbersStandInBoldDuringARun)
{
    QStringList bold;
    desk.onYield([&] { return win.isLoaded() && win.lblStep[0]->visible(); }, [&] {
        EXPECT_TRUE(win.lblProcessInProgress->visible());
        EXPECT_FALSE(win.lblProcessInProgress->caption().isEmpty());
        for (ui::Control* c : win.controls())
            if (c->font().bold) bold << c->name() + (c->index() >= 0 ? QString::number(c->index()) : QString());
    });
    compareAndClose();
    EXPECT_EQ(bold, (QStringList{"lblProcessInProgress", "lblStep0", "lblStep1", "lblStep2", "lblStep3", "lblStep4", "lblStep5",
                                 "cmdDisplayNextDifference"}));
}

// While a run goes on its stage and bar show and Compare is off, menu item
// too; after it the bar and stage are gone, Cancel reads Close in the
// program's language, Print and Find are on, and Next difference only when
// the structures differ (which the program then says).
TEST_F(ResultsWindow, DuringARunItsProgressShowsAndAfterItItsToolsAreOn)
{
    for (bool greek : {false, true}) {
        SCOPED_TRACE(greek ? "Greek, the structures differ" : "English, the structures equal");
        g().LanguageIsGreek = greek;
        if (greek) {
            file(c, QStringLiteral("Left/b.txt"), "only here");
            desk.expectMsgBox(QStringLiteral("Αποτελέσματα συγκρίσεως"), QStringLiteral("Οι δομές τις οποίες συγκρίνατε, διαφέρουν."),
                              ui::vbInformationOK, ui::vbOK);
        }
        if (!win.isLoaded()) win.load();
        int seen = 0;
        desk.onYield([&] { return win.isLoaded() && win.lblStep[0]->visible() && seen == 0; }, [&] {
            ++seen;
            EXPECT_TRUE(win.prbProgressBar->visible());
            EXPECT_TRUE(win.lblProcessInProgress->visible());
            EXPECT_FALSE(win.cmdCompare->enabled());
            EXPECT_FALSE(win.mnuFileCompare->enabled());
            EXPECT_FALSE(win.cmdPrint->enabled() || win.cmdFind->enabled() || win.cmdDisplayNextDifference->enabled());
        });
        compareAndClose([&] {
            EXPECT_EQ(seen, 1);
            EXPECT_EQ(desk.pendingMsgBoxes(), 0);
            EXPECT_FALSE(win.prbProgressBar->visible());
            EXPECT_FALSE(win.lblProcessInProgress->visible());
            EXPECT_EQ(win.lblProcessInProgress->caption(), QString());
            EXPECT_EQ(win.cmdCancel->caption(), greek ? "Κλείσιμο" : "Close");
            EXPECT_TRUE(win.cmdPrint->enabled() && win.mnuFilePrint->enabled() && win.cmdFind->enabled());
            EXPECT_EQ(win.cmdDisplayNextDifference->enabled(), greek);
            EXPECT_FALSE(win.cmdCompare->enabled());
            EXPECT_TRUE(win.grdResults->visible());
            EXPECT_EQ(win.grdResults->topRow(), 1);
            EXPECT_EQ(g().TotalLinesToPrint, win.grdResults->rows() - 1);
            EXPECT_EQ(win.grdResults->rows() - 1, greek ? 2 : 1);
        });
    }
    g().LanguageIsGreek = false;
}

// The window's layout: the buttons stand in one row, equally far apart, the
// last ending at the grid's right edge, Next difference square; the labels
// and bars line up with the grid; the step numbers are evenly spaced.
TEST_F(ResultsWindow, ItsControlsLineUpWithTheGrid)
{
    win.load();
    const ui::FlexGrid& grid = *win.grdResults;
    const int right = grid.left() + grid.width();
    const std::vector<ui::CommandButton*> row = {win.cmdCancel, win.cmdDisplayOrder, win.cmdReminder, win.cmdFind,
                                                 win.cmdDisplayNextDifference, win.cmdPrint, win.cmdCompare};
    for (std::size_t k = 0; k < row.size(); ++k) {
        SCOPED_TRACE(row[k]->name().toStdString());
        EXPECT_EQ(row[k]->top(), row[0]->top());
        EXPECT_EQ(row[k]->height(), row[0]->height());
        EXPECT_GT(row[k]->top(), grid.top() + grid.height());
        if (k > 0) {
            EXPECT_EQ(row[k]->left() - (row[k - 1]->left() + row[k - 1]->width()), 228);
        }
    }
    EXPECT_EQ(win.cmdCompare->left() + win.cmdCompare->width(), right);
    EXPECT_EQ(win.cmdDisplayNextDifference->width(), win.cmdDisplayNextDifference->height());
    EXPECT_EQ(win.defaultButton(), win.cmdCompare);
    EXPECT_EQ(win.cancelButton(), win.cmdCancel);
    EXPECT_EQ(win.cmdCompare->tabIndex(), 0);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(win.lblCurrentFullPath[i]->left(), grid.left());
        EXPECT_EQ(win.lblCurrentFullPath[i]->width(), grid.width());
        EXPECT_EQ(win.lblTotalFolders[i]->top(), win.lblTotalFiles[i]->top());
        EXPECT_LT(win.lblTotalFolders[i]->left() + win.lblTotalFolders[i]->width(), win.lblTotalFiles[i]->left());
    }
    EXPECT_EQ(win.lblTotalFolders[0]->left(), grid.left());
    // The Primary path, both structures' totals, the Secondary path, the grid.
    EXPECT_LT(win.lblCurrentFullPath[0]->top() + win.lblCurrentFullPath[0]->height(), win.lblTotalFolders[0]->top());
    EXPECT_EQ(win.lblTotalFolders[1]->top(), win.lblTotalFolders[0]->top());
    EXPECT_LT(win.lblTotalFolders[1]->top() + win.lblTotalFolders[1]->height(), win.lblCurrentFullPath[1]->top());
    EXPECT_LT(win.lblCurrentFullPath[1]->top() + win.lblCurrentFullPath[1]->height(), grid.top());
    using W = results::frmCompare;
    EXPECT_EQ(QList<int>({win.lblCurrentFullPath[0]->helpTopic(), win.lblCurrentFullPath[1]->helpTopic(),
                          win.lblTotalFolders[0]->helpTopic(), win.lblTotalFolders[1]->helpTopic(),
                          win.lblTotalFiles[0]->helpTopic(), win.lblTotalFiles[1]->helpTopic()}),
              QList<int>({W::htCurrentFullPathPrimary, W::htCurrentFullPathSecondary, W::htTotalFoldersPrimary,
                          W::htTotalFoldersSecondary, W::htTotalFilesPrimary, W::htTotalFilesSecondary}));
    EXPECT_EQ(win.lblTotalFiles[1]->left() + win.lblTotalFiles[1]->width(), right);
    for (ui::Control* c : std::initializer_list<ui::Control*>{win.lblProcessInProgress, win.prbProgressBar}) {
        EXPECT_EQ(c->left(), grid.left()) << c->name().toStdString();
        EXPECT_EQ(c->width(), grid.width()) << c->name().toStdString();
    }
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(win.lblStep[k]->caption(), QString::number(k + 1));
        EXPECT_EQ(win.lblStep[k]->alignment(), 2);
        EXPECT_EQ(win.lblStep[k]->left(), grid.left() + 240 * k);
        EXPECT_EQ(win.lblStep[k]->top(), win.prbSubProgressBar->top());
    }
    EXPECT_EQ(win.prbSubProgressBar->left() + win.prbSubProgressBar->width(), right);
    // The stage in dark blue on the tool tips' colour; the steps on the highlight's.
    EXPECT_EQ(win.lblProcessInProgress->foreColor(), 0xC00000u);
    EXPECT_EQ(win.lblProcessInProgress->backColor(), 0x80000018u);
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(win.lblStep[k]->backColor(), 0x8000000Eu) << k;
    EXPECT_FALSE(win.Timer1->enabled());
    EXPECT_FALSE(win.Timer2->enabled());
    EXPECT_EQ(win.cmdDisplayNextDifference->style(), 1);
    EXPECT_TRUE(win.cmdDisplayNextDifference->picture().resource.endsWith("next-difference.png"));
    EXPECT_TRUE(win.keyPreview());
    EXPECT_EQ(win.lblElapsedTime->left(), grid.left());
    EXPECT_LT(win.lblElapsedTime->left() + win.lblElapsedTime->width(), win.cmdCancel->left());
    win.unload();
}

TEST_F(ResultsWindow, ThePrintReminderGuardsAFinishedComparison)
{
    compareAndClose([&] {
        EXPECT_TRUE(win.cmdCancel->hasFocus()) << "without the reminder the focus ends on Close";
        EXPECT_FALSE(g().ResultsNotPrinted);
    });
    win.load();
    g().RemindToPrint = true;
    const QString reminder = QStringLiteral("Do you really want to close the current window without printing the "
                                            "results of the comparison?");
    openWindow([&] {
        ui::Input::click(*win.cmdCompare);
        EXPECT_TRUE(g().ResultsNotPrinted);
        EXPECT_TRUE(win.cmdPrint->hasFocus());
        desk.expectMsgBox(QStringLiteral("Reminder"), reminder, ui::vbQuestionYesNoDefNo, ui::vbNo);
        ui::Input::closeBox(win);
        EXPECT_TRUE(win.isShown());
        desk.expectMsgBox(QStringLiteral("Reminder"), reminder, ui::vbQuestionYesNoDefNo, ui::vbYes);
        ui::Input::click(*win.cmdCancel);
    });
    EXPECT_FALSE(win.isLoaded());
    EXPECT_TRUE(g().ResultsNotPrinted) << "the answer does not change it";
}

// The reminder in Greek, with the program's own spelling.
TEST_F(ResultsWindow, ThePrintReminderSpeaksGreekToo)
{
    g().LanguageIsGreek = true;
    g().RemindToPrint = true;
    openWindow([&] {
        ui::Input::click(*win.cmdCompare);
        desk.expectMsgBox(QStringLiteral("Υπενθύμιση"),
                          QStringLiteral("Θέλετε παράγματι να κλείσετε το τρέχον παράθυρο χωρίς να εκτυπώσετε τα "
                                         "αποτελέσματα της συγκρίσεως;"),
                          ui::vbQuestionYesNoDefNo, ui::vbYes);
        ui::Input::click(*win.cmdCancel);
    });
    EXPECT_FALSE(win.isLoaded());
    g().LanguageIsGreek = false;
}

// Back from the print window the focus goes to Close only when nothing is
// left to print; results still unprinted keep it on Print.
TEST_F(ResultsWindow, BackFromPrintingTheFocusIsOnCloseOnlyWhenNothingIsLeftToPrint)
{
    g().RemindToPrint = true;
    openWindow([&] {
        ui::Input::click(*win.cmdCompare);
        ASSERT_TRUE(g().ResultsNotPrinted);
        desk.onModal(QStringLiteral("frmPrint"), [](ui::Form& f) { ui::Input::click(*static_cast<results::frmPrint&>(f).cmdCancel); });
        ui::Input::click(*win.cmdPrint);
        EXPECT_TRUE(win.cmdPrint->hasFocus()) << "nothing printed";

        desk.onModal(QStringLiteral("frmPrint"), [](ui::Form& f) {
            auto& p = static_cast<results::frmPrint&>(f);
            ui::Input::click(*p.optPrintDestination[1]);
            ui::Input::click(*p.cmdPrint);
        }, ui::HeadlessDesktop::ModalEnd::AutoClose);
        desk.answerSave(QStringLiteral("C:\\out.txt"));
        ui::Input::click(*win.cmdPrint);
        EXPECT_FALSE(g().ResultsNotPrinted);
        EXPECT_TRUE(win.cmdCancel->hasFocus()) << "printed";
        ui::Input::click(*win.cmdCancel);
    });
    EXPECT_FALSE(win.isLoaded());
}

TEST_F(ResultsWindow, ColumnWidthsAreWrittenOnCloseOnlyWhenAskedFor)
{
    auto layOutGrid = [&] {
        // What the grid stage leaves: nine columns with the widths in force.
        win.grdResults->setCols(basGlobal::kGridColumns);
        for (int col = 0; col < basGlobal::kGridColumns; ++col) win.grdResults->setColWidth(col, 1000 + col);
        ui::Input::resizeColumn(*win.grdResults, 3, 1777);
    };
    compareAndClose(layOutGrid);
    EXPECT_TRUE(iniText().isEmpty());

    g().SaveColumnWidths = true;
    win.load();
    openWindow([&] { ui::Input::click(*win.cmdCancel); });
    EXPECT_TRUE(iniText().isEmpty()) << "no comparison, no nine columns";
    win.load();
    compareAndClose(layOutGrid);
    EXPECT_TRUE(iniText().contains(QStringLiteral("3=1777\r\n4=1004")));
    EXPECT_EQ(g().GridColumnWidth[3], 1777);
}

// The widths go to a section of their own, one key per column numbered
// from 0, whatever the file held before.
TEST_F(ResultsWindow, ColumnWidthsHaveTheirOwnSectionKeyedByColumnNumber)
{
    testing_support::writeFile(nativeOf(c, QStringLiteral("Quillmarsh.ini")),
                               "[General]\r\nLanguage=False\r\n[PageSetup]\r\nFontSize=9\r\n");
    g().SaveColumnWidths = true;
    compareAndClose([&] {
        win.grdResults->setCols(basGlobal::kGridColumns);
        for (int col = 0; col < basGlobal::kGridColumns; ++col) win.grdResults->setColWidth(col, 300 + col);
        ui::Input::resizeColumn(*win.grdResults, 8, 2468);
    });
    EXPECT_EQ(iniText(), QStringLiteral("[General]\r\nLanguage=False\r\n[PageSetup]\r\nFontSize=9\r\n"
                                        "[GridColumnWidths]\r\n0=300\r\n1=301\r\n2=302\r\n3=303\r\n4=304\r\n"
                                        "5=305\r\n6=306\r\n7=307\r\n8=2468\r\n"));
}

TEST_F(ResultsWindow, TheClockCountsWhenAskedForAndTheControlMenuCannotCloseARun)
{
    desk.onYieldNumber(2, [&] {
        desk.advanceStepwise(3000);
        desk.expectMsgBox(QStringLiteral("Close window"),
                          QStringLiteral("It is impossible to close the window using the control menu, because the "
                                         "process that is currently in progress is not allowing this to happen."),
                          ui::vbInformationOK, ui::vbOK);
        ui::Input::closeBox(win);
        EXPECT_TRUE(win.isLoaded()) << "the control menu cannot close a running comparison";
    });
    compareAndClose([&] { EXPECT_EQ(win.lblElapsedTime->caption(), QString()); });
    win.load();
    g().ShowElapsedTime = true;
    desk.onYieldNumber(desk.yieldCount() + 2, [&] {
        EXPECT_EQ(win.lblElapsedTime->caption(), QStringLiteral("00:00:00"));
        desk.advanceStepwise(3000);
    });
    compareAndClose([&] {
        EXPECT_EQ(win.lblElapsedTime->caption(), QStringLiteral("00:00:03"));
        EXPECT_FALSE(desk.timerRunning(*win.Timer1)) << "the clock stops with the run";
    });
}

TEST_F(ResultsWindow, CtrlPAndCtrlFDoNothingBeforeAComparisonAndPathTipsCanBeHidden)
{
    int presses = 0;
    g().HidePathToolTips = true;
    openWindow([&] {
        EXPECT_EQ(win.lblCurrentFullPath[0]->toolTipText(), QString());
        win.cmdPrint->Click = [&] { ++presses; };
        win.cmdFind->Click = [&] { ++presses; };
        ui::Input::key(win, 'P', ui::vbCtrlMask);
        ui::Input::key(win, 'F', ui::vbCtrlMask);
        EXPECT_EQ(presses, 0);
        ui::Input::click(*win.cmdCompare);
        ui::Input::key(win, 'P', ui::vbCtrlMask);
        ui::Input::key(win, 'F', ui::vbCtrlMask);
        EXPECT_EQ(presses, 2);
        ui::Input::click(*win.cmdCancel);
    });
}

} // namespace
