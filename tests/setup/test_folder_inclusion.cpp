// The folder inclusion window: its lists from disk and from exported files,
// the follow rule between the lists, the commands and the lists it leaves
// (the comparison's own tests take them from there).
#include "compare/compare_fixture.h"
#include "setup/frmFolderIncludeExclude.h"

using setup::frmFolderIncludeExclude;
using ui::Input;

namespace {

class FolderInclusion : public compare_test::CompareTest {
protected:
    void SetUp() override
    {
        CompareTest::SetUp();
        for (const char* f : {"P/root.txt", "P/Alpha/a.txt", "P/Beta/b.txt", "P/Data/d.txt", "S/root.txt",
                              "S/DATA/d.txt", "S/Gamma/g.txt"})
            file(c, QLatin1String(f));
        g().CurrentPath = {QStringLiteral("C:\\P"), QStringLiteral("C:\\S")};
        g().VolumeIsCaseSensitive = false, g().FolderIncludeExcludeEnabled = true, g().NumberOfLevelsLimit = 0;
        caller.load();
    }
    frmFolderIncludeExclude& w = setup::FolderInclusionWindow();
    QStringList items(int i) { return testing_support::listItems(*w.lstFirstLevelFolders[i]); }
    // The selected names of both lists, then whether Include and Exclude are on.
    QString selection()
    {
        QStringList out[2];
        for (int i = 0; i < 2; ++i)
            for (int k : w.lstFirstLevelFolders[i]->selectedIndexes()) out[i] << w.lstFirstLevelFolders[i]->list(k);
        const bool on = w.cmdInclude->enabled() && w.cmdExclude->enabled();
        return out[0].join(u',') + u'|' + out[1].join(u',') + (on ? u'+' : u'-');
    }
    QStringList dropped(int i) { return testing_support::listItems(*hidden().lstFoldersToIncludeExclude[i]); }
    // The window that asks, over which the please-wait notice stands.
    ui::Form caller{QStringLiteral("frmCaller")};
    bool choose(const std::function<void()>& script)
    {
        desk.onModal(QStringLiteral("frmFolderIncludeExclude"), [script](ui::Form&) { script(); });
        return setup::ChooseFirstLevelFolders(caller);
    }
};

TEST_F(FolderInclusion, LiveListsTheFollowRuleAndTheCommands)
{
    g().CancelRequested = true;   // left over from a cancelled print
    EXPECT_TRUE(choose([&] {
        EXPECT_EQ(items(0) + items(1), QStringList({"Alpha", "Beta", "Data", "DATA", "Gamma"}));
        EXPECT_EQ(w.lblFirstLevelFolders[0]->caption(), QStringLiteral("First level folders: 3."));
        EXPECT_FALSE(g().CancelRequested) << "the leftover cancel is dropped";
        EXPECT_TRUE(w.cmdAllCommon->enabled() && w.cmdAllNonCommon->enabled());
        EXPECT_EQ(selection(), QStringLiteral("|-"));
        Input::listClick(*w.lstFirstLevelFolders[0], 2);   // Data pulls DATA along
        EXPECT_EQ(selection(), QStringLiteral("Data|DATA+"));
        EXPECT_EQ(w.lstFirstLevelFolders[0]->topIndex(), 0);
        Input::listClick(*w.lstFirstLevelFolders[0], 2);
        EXPECT_EQ(selection(), QStringLiteral("|-"));
        Input::click(*w.cmdSelectAll);   // Include comes on through the reaction each item runs
        EXPECT_EQ(selection(), QStringLiteral("Alpha,Beta,Data|DATA,Gamma+"));
        Input::click(*w.cmdDeselectAll);
        EXPECT_EQ(selection(), QStringLiteral("|-"));
        Input::click(*w.cmdAllCommon);
        EXPECT_EQ(selection(), QStringLiteral("Data|DATA+"));
        Input::click(*w.cmdAllNonCommon);
        EXPECT_EQ(selection(), QStringLiteral("Alpha,Beta|Gamma+"));
        Input::listClick(*w.lstFirstLevelFolders[1], 1);   // Gamma off: nothing on the right
        Input::click(*w.cmdInclude);
    }));
    EXPECT_EQ(g().FolderSelectionState, 1);
    EXPECT_EQ(dropped(0) + dropped(1), QStringList({"Data", "DATA", "Gamma"})) << "nothing selected on the right: all dropped";
}

// Deselect all takes back the lists that had something selected, to their
// top; a list with nothing selected stays where the user scrolled it.
TEST_F(FolderInclusion, DeselectAllMovesOnlyTheListsThatHadASelection)
{
    for (int k = 0; k < 30; ++k)
        file(c, QStringLiteral("S/Many%1/x.txt").arg(k, 2, 10, QLatin1Char('0')));
    EXPECT_TRUE(choose([&] {
        ui::ListBox& left = *w.lstFirstLevelFolders[0];
        ui::ListBox& right = *w.lstFirstLevelFolders[1];
        Input::listClick(left, 0);   // Alpha, which the right has not
        Input::scrollList(right, 20);
        Input::click(*w.cmdDeselectAll);
        EXPECT_EQ(selection(), QStringLiteral("|-"));
        EXPECT_EQ(left.listIndex(), -1);
        EXPECT_EQ(right.topIndex(), 20) << "nothing was selected there";

        Input::listClick(right, 25);
        Input::scrollList(left, 1);
        Input::click(*w.cmdDeselectAll);
        EXPECT_EQ(selection(), QStringLiteral("|-"));
        EXPECT_EQ(right.topIndex(), 0);
        EXPECT_EQ(right.listIndex(), -1);
        EXPECT_EQ(left.topIndex(), 1);
        Input::click(*w.cmdCancel);
    }));
}

// Pairs chosen from both sides, the current item of each list being one of
// them: Deselect all clears both and leaves both lists at their top, however
// the two lists pull each other's items along on the way.
TEST_F(FolderInclusion, DeselectAllAfterPairsChosenOnBothSidesLeavesBothListsAtTheTop)
{
    for (int k = 0; k < 12; ++k) {
        file(c, QStringLiteral("P/F%1/x.txt").arg(k, 2, 10, QLatin1Char('0')));
        file(c, QStringLiteral("S/f%1/x.txt").arg(k, 2, 10, QLatin1Char('0')));
    }
    EXPECT_TRUE(choose([&] {
        ui::ListBox& left = *w.lstFirstLevelFolders[0];
        ui::ListBox& right = *w.lstFirstLevelFolders[1];
        const auto at = [](ui::ListBox& l, const char* name) {
            return int(testing_support::listItems(l).indexOf(QLatin1String(name)));
        };
        for (const bool rightFirst : {true, false}) {
            SCOPED_TRACE(rightFirst);
            Input::listClick(rightFirst ? right : left, at(rightFirst ? right : left, rightFirst ? "f04" : "F04"));
            Input::listClick(rightFirst ? left : right, at(rightFirst ? left : right, rightFirst ? "F11" : "f11"));
            EXPECT_EQ(selection(), QStringLiteral("F04,F11|f04,f11+"));
            Input::click(*w.cmdDeselectAll);
            EXPECT_EQ(selection(), QStringLiteral("|-"));
            EXPECT_EQ(left.topIndex(), 0);
            EXPECT_EQ(right.topIndex(), 0);
            EXPECT_EQ(left.listIndex() + right.listIndex(), -2);
        }
        Input::click(*w.cmdCancel);
    }));
}

// Each side's path and list wear its structure's tint, as the main window set
// it, the Primary's first (above, on the left).
TEST_F(FolderInclusion, EachSideWearsItsStructuresTint)
{
    g().StructureTint = {0x123456u, 0x654321u};
    EXPECT_TRUE(choose([&] {   // No: every folder takes part
        // The Primary's path above the Secondary's; its list on the left,
        // each list under its own caption.
        EXPECT_LT(w.lblCurrentFullPath[0]->top() + w.lblCurrentFullPath[0]->height(), w.lblCurrentFullPath[1]->top() + 1);
        EXPECT_LT(w.lstFirstLevelFolders[0]->left() + w.lstFirstLevelFolders[0]->width(), w.lstFirstLevelFolders[1]->left());
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(w.lblFirstLevelFolders[i]->left(), w.lstFirstLevelFolders[i]->left()) << i;
            EXPECT_LT(w.lblFirstLevelFolders[i]->top(), w.lstFirstLevelFolders[i]->top()) << i;
            EXPECT_EQ(w.lblCurrentFullPath[i]->backColor(), g().StructureTint[std::size_t(i)]) << i;
            EXPECT_EQ(w.lstFirstLevelFolders[i]->backColor(), g().StructureTint[std::size_t(i)]) << i;
        }
        Input::click(*w.cmdCancel);
    }));
}

// All common and All non-common are offered only when there is such a
// folder, and a folder facing an empty list is neither.
TEST_F(FolderInclusion, CommonAndNonCommonAreOfferedOnlyWhenTheyWouldSelectSomething)
{
    for (const char* f : {"Flat/f.txt", "Same/Alpha/a.txt", "Same/beta/b.txt", "Same/data/d.txt", "Apart/Zeta/z.txt"})
        file(c, QLatin1String(f));
    const struct {
        const char *left, *right;
        bool common, nonCommon;
    } cases[] = {
        {"P", "Flat", false, false},    // the right list is empty
        {"Flat", "S", false, false},    // the left one
        {"P", "Same", true, false},     // Alpha, and Beta and Data under the case rule
        {"Apart", "S", false, true},
    };
    for (const auto& k : cases) {
        g().CurrentPath = {QStringLiteral("C:\\") + QLatin1String(k.left), QStringLiteral("C:\\") + QLatin1String(k.right)};
        EXPECT_TRUE(choose([&] {
            const std::string where = std::string(k.left) + " / " + k.right;
            EXPECT_EQ(w.cmdAllCommon->enabled(), k.common) << where;
            EXPECT_EQ(w.cmdAllNonCommon->enabled(), k.nonCommon) << where;
            for (ui::CommandButton* b : {w.cmdAllCommon, w.cmdAllNonCommon})
                if (b->enabled()) {
                    Input::click(*b);
                    EXPECT_NE(selection(), QStringLiteral("|-")) << where << " selects nothing";
                }
            Input::click(*w.cmdCancel);
        }));
    }
    g().CurrentPath = {QStringLiteral("C:\\P"), QStringLiteral("C:\\Flat")};
    EXPECT_TRUE(choose([&] {
        EXPECT_EQ(w.lblFirstLevelFolders[1]->caption(), QStringLiteral("First level folders: 0."));
        EXPECT_EQ(items(0), QStringList({"Alpha", "Beta", "Data"}));
        Input::click(*w.cmdSelectAll);
        EXPECT_EQ(selection(), QStringLiteral("Alpha,Beta,Data|+"));
        Input::click(*w.cmdCancel);
    }));
}

// From the keyboard alone: Tab walks the left list, the right list, the
// commands of the middle column and the right one row by row, then the left
// column's, and the disabled Include and Exclude are passed by until a
// selection turns them on.
TEST_F(FolderInclusion, TabWalksBothListsThenTheCommandsRowByRow)
{
    EXPECT_TRUE(choose([&] {
        const auto walk = [&] {
            Input::focus(*w.lstFirstLevelFolders[0]);
            QStringList walked;
            for (int k = 0; k < 10; ++k) {
                Input::key(w, ui::vbKeyTab);
                ui::Control* c = w.activeControl();
                walked << (c ? c->name() + (c->index() >= 0 ? QString::number(c->index()) : QString()) : QString());
            }
            return walked;
        };
        EXPECT_EQ(walk(), QStringList({"lstFirstLevelFolders1", "cmdAllCommon", "cmdAllNonCommon", "cmdSelectAll",
                                       "cmdDeselectAll", "cmdCancel", "cmdReminder", "lstFirstLevelFolders0",
                                       "lstFirstLevelFolders1", "cmdAllCommon"}));
        Input::listClick(*w.lstFirstLevelFolders[1], 0);
        EXPECT_EQ(walk(), QStringList({"lstFirstLevelFolders1", "cmdAllCommon", "cmdInclude", "cmdAllNonCommon", "cmdExclude",
                                       "cmdSelectAll", "cmdDeselectAll", "cmdCancel", "cmdReminder", "lstFirstLevelFolders0"}));
        Input::key(w, ui::vbKeyTab, ui::vbShiftMask);
        EXPECT_EQ(w.activeControl(), w.cmdReminder) << "Shift+Tab goes back";
        Input::click(*w.cmdCancel);
    }));
}

// Switched off, one level deep, a stale selection: the road's tests.
TEST_F(FolderInclusion, NotShownWithoutSubFoldersOnEitherSide)
{
    g().CurrentPath = {QStringLiteral("C:\\P\\Alpha"), QStringLiteral("C:\\S\\Gamma")};
    EXPECT_FALSE(setup::ChooseFirstLevelFolders(caller));
}

// Switched off, one level deep, or a mode other than the two: no window, and
// what an earlier choice left behind is dropped, so every folder takes part.
TEST_F(FolderInclusion, NotShownWhenSwitchedOffOneLevelDeepOrInAnotherMode)
{
    const std::function<void(basGlobal::Globals&)> cases[] = {
        [](basGlobal::Globals& s) { s.FolderIncludeExcludeEnabled = false; },
        [](basGlobal::Globals& s) { s.NumberOfLevelsLimit = 1; },
        [](basGlobal::Globals& s) { s.ComparisonMode = 2; },
    };
    for (const auto& change : cases) {
        g().FolderIncludeExcludeEnabled = true, g().NumberOfLevelsLimit = 0, g().ComparisonMode = 0;
        hidden().lstFoldersToIncludeExclude[0]->addItem(QStringLiteral("Stale"));
        g().FolderSelectionState = 1;
        change(g());
        desk.clearTranscript();
        EXPECT_FALSE(setup::ChooseFirstLevelFolders(caller));
        EXPECT_TRUE(desk.entries(ui::HeadlessDesktop::Entry::ModalOpen).isEmpty());
        EXPECT_EQ(dropped(0) + dropped(1), QStringList());
        EXPECT_EQ(g().FolderSelectionState, 3);
    }
    // The same settings but for the change show it.
    g().FolderIncludeExcludeEnabled = true, g().NumberOfLevelsLimit = 2, g().ComparisonMode = 0;
    EXPECT_TRUE(choose([&] { Input::click(*w.cmdCancel); }));
}

TEST_F(FolderInclusion, ExportedFilesOnEitherSideAndADamagedOne)
{
    g().ComparisonMode = 1;
    file(c, QStringLiteral("s.txt"), compare_test::workedExample());
    const QString exported = QStringLiteral("C:\\s.txt");
    for (int side = 0; side < 2; ++side) {
        g().ImportedStructureFile = {side == 0 ? exported : QString(), side == 1 ? exported : QString()};
        EXPECT_TRUE(choose([&] {
            EXPECT_EQ(w.caption(), QStringLiteral("Folder inclusion/exclusion [Off line: %1 Structure]")
                                       .arg(side == 0 ? "Primary" : "Secondary"));
            EXPECT_EQ(g().FirstStructureToProcess, side);
            EXPECT_EQ(items(side), QStringList({"Alpha", "Beta"}));
            EXPECT_EQ(items(1 - side).size(), side == 0 ? 2 : 3);
            EXPECT_EQ(w.lblCurrentFullPath[side]->toolTipText(), QStringLiteral("D:\\Work\\"));
            EXPECT_EQ(w.cmdAllCommon->enabled(), side == 1) << "Alpha and Beta on both sides";
            if (side == 1) {
                desk.expectMsgBoxContaining(w.caption(), QStringLiteral("The Secondary structure, exists on a remote computer and "
                                            "was imported for off line comparison, from the file called 'C:\\s.txt'."),
                                            ui::vbInformationOK, ui::vbOK);
                Input::click(*w.cmdReminder);
            }
            Input::click(*w.cmdCancel);
        }));
        EXPECT_EQ(g().FolderSelectionState, 3);
    }
    // A file that ends inside its folder names: one message, the names before it kept.
    file(c, QStringLiteral("short.txt"), "9\r\nD:\\Work\\\r\n3\r\nAlpha\r\n");
    g().ImportedStructureFile = {QString(), QStringLiteral("C:\\short.txt")};
    desk.expectMsgBoxContaining(QStringLiteral("Folder inclusion/exclusion [Off line: Secondary Structure]"),
                                QStringLiteral("short.txt"), ui::vbExclamationOK, ui::vbOK);
    EXPECT_TRUE(choose([&] {
        EXPECT_EQ(items(1), QStringList({"Alpha"}));
        EXPECT_TRUE(ui::Input::closeBox(w));
    }));
    EXPECT_EQ(g().FolderSelectionState, 3);
}

TEST_F(FolderInclusion, WhileExcludeCopiesCommandsAreIgnoredAndCloseIsRefused)
{
    EXPECT_TRUE(choose([&] {
        Input::listClick(*w.lstFirstLevelFolders[0], 0);
        desk.resetYieldCount();
        desk.onYieldNumber(1, [&] {
            desk.expectMsgBoxContaining(QStringLiteral("Close window"), QStringLiteral("control menu"),
                                        ui::vbInformationOK, ui::vbOK);
            Input::closeBox(w);
            Input::click(*w.cmdSelectAll);
            Input::click(*w.cmdCancel);
            EXPECT_TRUE(w.isLoaded());
        });
        Input::click(*w.cmdExclude);
    }));
    EXPECT_EQ(g().FolderSelectionState, 2);
    EXPECT_EQ(dropped(0) + dropped(1), QStringList({"Alpha"}));
}

// The reminder names where each structure lives, in either language: a side
// imported off line names its file, any other side the local computer.
TEST_F(FolderInclusion, ReminderAndCaptionForEveryMixOfImportedSides)
{
    file(c, QStringLiteral("p.txt"), compare_test::workedExample());
    file(c, QStringLiteral("s.txt"), compare_test::workedExample());
    const QString local = QStringLiteral("on the local computer.");
    const QString remote = QStringLiteral("on a remote computer and was imported for off line comparison, from the file called '%1'.");
    const struct {
        int mode;
        const char *primary, *secondary;
        QString caption, reminder;
    } cases[] = {
        {0, "C:\\p.txt", "C:\\s.txt", QString(), local + u'|' + local},   // mode 0 reads no file
        {1, "", "", QString(), local + u'|' + local},
        {1, "C:\\p.txt", "C:\\s.txt", QStringLiteral(" [Off line: Both structures]"),
         remote.arg("C:\\p.txt") + u'|' + remote.arg("C:\\s.txt")},
        {1, "C:\\p.txt", "", QStringLiteral(" [Off line: Primary Structure]"), remote.arg("C:\\p.txt") + u'|' + local},
    };
    for (const auto& k : cases) {
        g().ComparisonMode = basGlobal::Integer(k.mode);
        g().ImportedStructureFile = {QLatin1String(k.primary), QLatin1String(k.secondary)};
        const QString caption = QStringLiteral("Folder inclusion/exclusion") + k.caption;
        const QStringList sides = k.reminder.split(u'|');
        desk.expectMsgBox(caption,
                          QStringLiteral("The Primary structure, exists ") + sides[0]
                              + QStringLiteral("\r\n\r\nThe Secondary structure, exists ") + sides[1],
                          ui::vbInformationOK, ui::vbOK);
        EXPECT_TRUE(choose([&] {
            EXPECT_EQ(w.caption(), caption);
            const QStringList imported = {"Alpha", "Beta"};
            EXPECT_EQ(items(0), *k.primary && k.mode == 1 ? imported : QStringList({"Alpha", "Beta", "Data"})) << k.mode;
            EXPECT_EQ(items(1), *k.secondary && k.mode == 1 ? imported : QStringList({"DATA", "Gamma"})) << k.mode;
            Input::click(*w.cmdReminder);
            Input::click(*w.cmdCancel);
        }));
    }
    EXPECT_EQ(g().FirstStructureToProcess * 10 + g().LastStructureToProcess, 0) << "only the Primary imported";

    g().LanguageIsGreek = true;
    g().ImportedStructureFile = {QStringLiteral("C:\\p.txt"), QStringLiteral("C:\\s.txt")};
    const QString greekCaption = QStringLiteral("Συμμετοχή/Αποκλεισμός φακέλλων [Χωρίς σύνδεση: Και οι δύο δομές]");
    desk.expectMsgBox(greekCaption,
                      QStringLiteral("Η Πρωτεύουσα δομή, υπάρχει σε απομακρυσμένο υπολογιστή και εισήχθη για σύγκριση χωρίς "
                                     "σύνδεση, από το αρχείο με όνομα «C:\\p.txt».\r\n\r\nΗ Δευτερεύουσα δομή, υπάρχει σε "
                                     "απομακρυσμένο υπολογιστή και εισήχθη για σύγκριση χωρίς σύνδεση, από το αρχείο με "
                                     "όνομα «C:\\s.txt»."),
                      ui::vbInformationOK, ui::vbOK);
    EXPECT_TRUE(choose([&] {
        EXPECT_EQ(w.caption(), greekCaption);
        EXPECT_EQ(g().FirstStructureToProcess * 10 + g().LastStructureToProcess, 1);
        EXPECT_EQ(w.lblFirstLevelFolders[1]->caption(), QStringLiteral("Φάκελλοι πρώτου επιπέδου: 2."));
        QStringList captions;
        for (ui::CommandButton* b : {w.cmdSelectAll, w.cmdDeselectAll, w.cmdAllCommon, w.cmdAllNonCommon, w.cmdInclude,
                                     w.cmdExclude, w.cmdReminder, w.cmdCancel})
            captions << b->caption();
        EXPECT_EQ(captions.join(u'/'), QStringLiteral("Επιλογή όλων/Ακύρωση επιλογών/Όλους τους κοινούς/Όλους τους μή "
                                                      "κοινούς/Συμμετοχή/Αποκλεισμός/Υπενθύμιση/Όχι"));
        Input::click(*w.cmdReminder);
        Input::click(*w.cmdCancel);
    }));
    g().LanguageIsGreek = false;
    g().ImportedStructureFile = {QString(), QStringLiteral("C:\\s.txt")};
    desk.expectMsgBox(QStringLiteral("Folder inclusion/exclusion [Off line: Secondary Structure]"),
                      QStringLiteral("The Primary structure, exists ") + local
                          + QStringLiteral("\r\n\r\nThe Secondary structure, exists ") + remote.arg("C:\\s.txt"),
                      ui::vbInformationOK, ui::vbOK);
    EXPECT_TRUE(choose([&] {
        Input::click(*w.cmdReminder);
        Input::click(*w.cmdCancel);
    }));
    EXPECT_EQ(g().FirstStructureToProcess * 10 + g().LastStructureToProcess, 11);
}

// On a case-sensitive volume Data and DATA are two folders. A click in
// either list pulls the same name in the other along, and scrolls both so
// the item stands third from the top.
TEST_F(FolderInclusion, CaseSensitiveNamesFollowFromEitherListAndScrollIntoView)
{
    g().VolumeIsCaseSensitive = true;
    for (int k = 0; k < 12; ++k)
        for (const char* side : {"P", "S"}) file(c, QStringLiteral("%1/F%2/x.txt").arg(side).arg(k, 2, 10, QLatin1Char('0')));
    EXPECT_TRUE(choose([&] {
        ui::ListBox& left = *w.lstFirstLevelFolders[0];
        ui::ListBox& right = *w.lstFirstLevelFolders[1];
        EXPECT_EQ(w.lblFirstLevelFolders[0]->caption() + w.lblFirstLevelFolders[1]->caption(),
                  QStringLiteral("First level folders: 15.First level folders: 14."));
        Input::listClick(left, 2);
        EXPECT_EQ(selection(), QStringLiteral("Data|+")) << "DATA is another folder here";
        Input::listClick(left, 2);
        Input::listClick(right, 10);   // F09, twelfth on the left
        EXPECT_EQ(selection(), QStringLiteral("F09|F09+"));
        EXPECT_EQ(right.topIndex(), 8);
        EXPECT_EQ(left.topIndex(), 10);
        Input::scrollList(left, 0);
        Input::listClick(right, 10);
        EXPECT_EQ(selection(), QStringLiteral("|-"));
        EXPECT_EQ(left.topIndex(), 10);
        Input::listClick(right, 1);   // F00: the lists scroll no higher than their top
        EXPECT_EQ(right.topIndex(), 0);
        EXPECT_EQ(left.topIndex(), 1);
        Input::click(*w.cmdAllCommon);
        EXPECT_EQ(left.selCount() * 100 + right.selCount(), 1212);
        Input::click(*w.cmdDeselectAll);
        Input::click(*w.cmdAllNonCommon);
        EXPECT_EQ(selection(), QStringLiteral("Alpha,Beta,Data|DATA,Gamma+"));
        Input::click(*w.cmdCancel);
    }));
}

// The hidden lists always name the folders to drop: Include the ones left
// unselected, Exclude the selected ones; whatever was there before goes.
TEST_F(FolderInclusion, IncludeAndExcludeDropTheRightNamesOnBothSides)
{
    for (const bool include : {true, false}) {
        hidden().lstFoldersToIncludeExclude[1]->addItem(QStringLiteral("Stale"));
        EXPECT_TRUE(choose([&] {
            Input::listClick(*w.lstFirstLevelFolders[0], 0);   // Alpha
            Input::listClick(*w.lstFirstLevelFolders[1], 1);   // Gamma
            EXPECT_EQ(selection(), QStringLiteral("Alpha|Gamma+"));
            Input::click(include ? *w.cmdInclude : *w.cmdExclude);
        }));
        EXPECT_FALSE(w.isLoaded());
        EXPECT_EQ(g().FolderSelectionState, include ? 1 : 2);
        EXPECT_EQ(dropped(0), include ? QStringList({"Beta", "Data"}) : QStringList({"Alpha"}));
        EXPECT_EQ(dropped(1), include ? QStringList({"DATA"}) : QStringList({"Gamma"}));
    }
}

// The paths as labels with their full text as tool tip, and the name under
// the mouse as the list's tool tip; none of them when path tool tips are off.
TEST_F(FolderInclusion, PathsAndTheFolderUnderTheMouseAsToolTips)
{
    for (const bool hide : {false, true}) {
        g().HidePathToolTips = hide;
        EXPECT_TRUE(choose([&] {
            ui::ListBox& left = *w.lstFirstLevelFolders[0];
            EXPECT_EQ(w.lblCurrentFullPath[0]->caption() + w.lblCurrentFullPath[1]->caption(), QStringLiteral("C:\\P\\C:\\S\\"));
            EXPECT_EQ(w.lblCurrentFullPath[1]->toolTipText(), hide ? QString() : QStringLiteral("C:\\S\\"));
            Input::mouseMove(left, 100, left.itemHeight() + 10);
            EXPECT_EQ(left.toolTipText(), hide ? QString() : QStringLiteral("Beta"));
            Input::mouseMove(left, 100, 3 * left.itemHeight() + 10);   // below the last folder
            EXPECT_EQ(left.toolTipText(), QString());
            Input::mouseMove(*w.lstFirstLevelFolders[1], 100, 10);
            EXPECT_EQ(w.lstFirstLevelFolders[1]->toolTipText(), hide ? QString() : QStringLiteral("DATA"));
            Input::click(*w.cmdCancel);
        }));
    }
}

// A side that cannot be read is reported and listed empty; the other is listed.
TEST_F(FolderInclusion, AnUnreadableSideIsReportedAndTheOtherListed)
{
    g().ComparisonMode = 1;
    g().ImportedStructureFile = {QStringLiteral("C:\\missing.txt"), QString()};
    desk.expectMsgBoxContaining(basGlobal::ErrorReportCaption(QStringLiteral("Tarnwick"), QStringLiteral("320")),
                                QStringLiteral("Error condition"), ui::vbQuestionYesNo, ui::vbNo);
    EXPECT_TRUE(choose([&] {
        EXPECT_EQ(items(0), QStringList());
        EXPECT_EQ(items(1), QStringList({"DATA", "Gamma"}));
        EXPECT_EQ(w.lblFirstLevelFolders[0]->caption(), QStringLiteral("First level folders: 0."));
        EXPECT_FALSE(w.cmdAllCommon->enabled() || w.cmdAllNonCommon->enabled());
        Input::click(*w.cmdCancel);
    }));
}

// Off line the count that decides comes from an imported side's file: a file
// without first-level folders facing a folder without any shows nothing.
TEST_F(FolderInclusion, OffLineTheImportedHeaderDecidesWhetherToAsk)
{
    file(c, QStringLiteral("none.txt"), "5\r\nD:\\Work\\\r\n0\r\n");
    file(c, QStringLiteral("Flat/f.txt"));
    g().ComparisonMode = 1;
    g().CurrentPath = {QStringLiteral("C:\\P"), QStringLiteral("C:\\Flat")};
    g().ImportedStructureFile = {QStringLiteral("C:\\none.txt"), QString()};
    EXPECT_FALSE(setup::ChooseFirstLevelFolders(caller)) << "the Primary's folders on disk do not count";
    g().ComparisonMode = 0;
    EXPECT_TRUE(choose([&] {
        EXPECT_EQ(items(0).size(), 3);
        Input::click(*w.cmdCancel);
    }));
    file(c, QStringLiteral("s.txt"), compare_test::workedExample());
    g().ComparisonMode = 1;
    g().CurrentPath = {QStringLiteral("C:\\Flat"), QStringLiteral("C:\\Flat")};
    g().ImportedStructureFile = {QString(), QStringLiteral("C:\\s.txt")};
    EXPECT_TRUE(choose([&] {
        EXPECT_EQ(items(1), QStringList({"Alpha", "Beta"}));
        Input::click(*w.cmdCancel);
    }));
    // Names out of order in a file are listed in order.
    file(c, QStringLiteral("unordered.txt"),
         compare_test::workedExample().replace("2\r\nAlpha\r\nBeta\r\n", "2\r\nBeta\r\nAlpha\r\n"));
    g().ImportedStructureFile = {QString(), QStringLiteral("C:\\unordered.txt")};
    EXPECT_TRUE(choose([&] {
        EXPECT_EQ(items(1), QStringList({"Alpha", "Beta"}));
        Input::click(*w.cmdCancel);
    }));
}

// A right click asks for each control's own topic, the Primary side's first;
// the please-wait notice stands while the lists load; a scroll guard left on
// by an earlier run does not stop the follow rule.
TEST_F(FolderInclusion, HelpTopicsThePleaseWaitNoticeAndAStaleScrollGuard)
{
    g().FolderListScrollGuard = true;
    QStringList asked, order;
    EXPECT_TRUE(choose([&] {
        using Entry = ui::HeadlessDesktop::Entry;
        for (const Entry& e : desk.transcript())
            if (e.kind == Entry::FormShown || e.kind == Entry::FormUnloaded || e.kind == Entry::ModalOpen)
                order << (e.kind == Entry::FormShown ? "shown " : e.kind == Entry::FormUnloaded ? "gone " : "modal ") + e.form;
        for (ui::Control* c : w.controls()) {
            if (!c->visible() || !Input::canTakeInput(*c)) continue;
            desk.clearTranscript();
            Input::rightClick(*c);
            for (const auto& e : desk.entries(ui::HeadlessDesktop::Entry::Help))
                asked << c->name() + (c->index() >= 0 ? QString::number(c->index()) : QString()) + u'=' + QString::number(e.style);
        }
        Input::listClick(*w.lstFirstLevelFolders[0], 2);
        EXPECT_EQ(selection(), QStringLiteral("Data|DATA+"));
        Input::listClick(*w.lstFirstLevelFolders[1], 0);   // the first item pulls its pair along too
        EXPECT_EQ(selection(), QStringLiteral("|-"));
        Input::click(*w.cmdCancel);
    }));
    EXPECT_EQ(asked, QStringList({"lblCurrentFullPath0=40010", "lstFirstLevelFolders0=40020", "lblCurrentFullPath1=40015",
                                  "lstFirstLevelFolders1=40025", "cmdSelectAll=40030", "cmdAllCommon=40055",
                                  "cmdDeselectAll=40040", "cmdAllNonCommon=40050", "cmdReminder=40060", "cmdCancel=40070"}));
    EXPECT_EQ(w.cmdInclude->helpTopic(), setup::htInclude);
    EXPECT_EQ(w.cmdExclude->helpTopic(), setup::htExclude);
    EXPECT_EQ(order, QStringList({"shown frmPleaseWait", "gone frmPleaseWait", "shown frmFolderIncludeExclude",
                                  "modal frmFolderIncludeExclude"}));
}

} // namespace
