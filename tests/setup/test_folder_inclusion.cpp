// The folder inclusion window: its lists from disk and from exported files,
// the follow rule between the lists, the commands, the result and the
// comparison that honours it.
#include "setup_fixture.h"

#include "shared/frmHiddenForm.h"

using namespace setup_test;
using setup::frmFolderIncludeExclude;

namespace {

class FolderInclusion : public SetupTest {
protected:
    void SetUp() override
    {
        SetupTest::SetUp();
        for (const char* f : {"P/root.txt", "P/Alpha/a.txt", "P/Beta/b.txt", "P/Data/d.txt", "S/root.txt",
                              "S/DATA/d.txt", "S/Gamma/g.txt"})
            file(c, QLatin1String(f));
        g().CurrentPath = {QStringLiteral("C:\\P"), QStringLiteral("C:\\S")};
        g().VolumeIsCaseSensitive = false;
        g().FolderIncludeExcludeEnabled = true;
        g().NumberOfLevelsLimit = 0;
    }
    using compare_test::CompareTest::items;
    frmFolderIncludeExclude& w = setup::FolderInclusionWindow();
    QStringList items(int i) { return testing_support::listItems(*w.lstFirstLevelFolders[i]); }
    QStringList selected(int i)
    {
        QStringList out;
        for (int k = 0; k < w.lstFirstLevelFolders[i]->listCount(); ++k)
            if (w.lstFirstLevelFolders[i]->selected(k)) out << w.lstFirstLevelFolders[i]->list(k);
        return out;
    }
    QStringList dropped(int i) { return testing_support::listItems(*hidden().lstFoldersToIncludeExclude[i]); }
    bool choose(const std::function<void()>& script)
    {
        desk.onModal(QStringLiteral("frmFolderIncludeExclude"), [script](ui::Form&) { script(); });
        return setup::ChooseFirstLevelFolders(main);
    }
    void writeExport(const QString& name, const QByteArray& content) { file(c, name, content); }
};

TEST_F(FolderInclusion, LiveListsFollowRuleCommandsAndTheComparisonThatFollows)
{
    g().CancelRequested = true;   // left over from a cancelled print
    EXPECT_TRUE(choose([&] {
        EXPECT_EQ(items(0), QStringList({"Alpha", "Beta", "Data"}));
        EXPECT_EQ(items(1), QStringList({"DATA", "Gamma"}));
        EXPECT_EQ(w.lblFirstLevelFolders[0]->caption(), QStringLiteral("First level folders: 3."));
        EXPECT_EQ(w.lblCurrentFullPath[1]->toolTipText(), QStringLiteral("C:\\S\\"));
        EXPECT_EQ(w.lstFirstLevelFolders[1]->backColor(), main.lstFirstLevelFolders[1]->backColor());
        EXPECT_TRUE(w.cmdAllCommon->enabled() && w.cmdAllNonCommon->enabled());
        EXPECT_FALSE(w.cmdInclude->enabled() || w.cmdExclude->enabled());

        Input::listClick(*w.lstFirstLevelFolders[0], 2);   // Data pulls DATA along
        EXPECT_EQ(selected(1), QStringList({"DATA"}));
        EXPECT_EQ(w.lstFirstLevelFolders[0]->topIndex(), 0);
        EXPECT_TRUE(w.cmdInclude->enabled());
        Input::listClick(*w.lstFirstLevelFolders[0], 2);
        EXPECT_EQ(selected(1), QStringList());
        EXPECT_FALSE(w.cmdExclude->enabled());

        Input::click(*w.cmdSelectAll);
        EXPECT_EQ(selected(0).size() + selected(1).size(), 5);
        Input::click(*w.cmdDeselectAll);
        EXPECT_EQ(selected(0).size() + selected(1).size(), 0);
        EXPECT_FALSE(w.cmdInclude->enabled() || w.cmdExclude->enabled());
        Input::click(*w.cmdAllCommon);
        EXPECT_EQ(selected(0) + selected(1), QStringList({"Data", "DATA"}));
        Input::click(*w.cmdAllNonCommon);
        EXPECT_EQ(selected(0) + selected(1), QStringList({"Alpha", "Beta", "Gamma"}));
        Input::listClick(*w.lstFirstLevelFolders[1], 1);   // Gamma off: nothing on the right
        desk.expectMsgBox(w.caption(),
                          QStringLiteral("The Primary structure, exists on the local computer.\r\n\r\n"
                                         "The Secondary structure, exists on the local computer."),
                          ui::vbInformationOK, ui::vbOK);
        Input::click(*w.cmdReminder);
        Input::click(*w.cmdInclude);
    }));
    EXPECT_EQ(g().FolderSelectionState, 1);
    EXPECT_EQ(dropped(0), QStringList({"Data"}));
    EXPECT_EQ(dropped(1), QStringList({"DATA", "Gamma"})) << "nothing selected: every folder dropped";
    expectDifferMessage();
    compareAndClose();
    EXPECT_EQ(items(*hidden().lstExcluded[0]), QStringList({"Data\\d.txt"}));
    EXPECT_EQ(items(*hidden().lstExcluded[1]), QStringList({"DATA\\d.txt", "Gamma\\g.txt"}));
}

TEST_F(FolderInclusion, ShownOnlyWhenAllowedAndThereAreFolders)
{
    g().FolderIncludeExcludeEnabled = false;
    hidden().lstFoldersToIncludeExclude[0]->addItem(QStringLiteral("Old"));
    EXPECT_FALSE(setup::ChooseFirstLevelFolders(main));
    EXPECT_EQ(g().FolderSelectionState, 3);
    EXPECT_EQ(dropped(0), QStringList());
    g().FolderIncludeExcludeEnabled = true;
    g().NumberOfLevelsLimit = 1;
    EXPECT_FALSE(setup::ChooseFirstLevelFolders(main));
    g().NumberOfLevelsLimit = 0;
    g().CurrentPath = {QStringLiteral("C:\\P\\Alpha"), QStringLiteral("C:\\S\\Gamma")};
    EXPECT_FALSE(setup::ChooseFirstLevelFolders(main));
}

TEST_F(FolderInclusion, ExportedFilesOnEitherSideAndADamagedOne)
{
    g().ComparisonMode = 1;
    writeExport(QStringLiteral("s.txt"), compare_test::workedExample());
    const QString file = QStringLiteral("C:\\s.txt");
    for (int side = 0; side < 2; ++side) {
        g().ImportedStructureFile = {side == 0 ? file : QString(), side == 1 ? file : QString()};
        EXPECT_TRUE(choose([&] {
            EXPECT_EQ(w.caption(), side == 0 ? QStringLiteral("Folder inclusion/exclusion [Off line: Primary Structure]")
                                             : QStringLiteral("Folder inclusion/exclusion [Off line: Secondary Structure]"));
            EXPECT_EQ(g().FirstStructureToProcess, side);
            EXPECT_EQ(items(side), QStringList({"Alpha", "Beta"}));
            EXPECT_EQ(items(1 - side).size(), side == 0 ? 2 : 3);
            EXPECT_EQ(w.lblCurrentFullPath[side]->toolTipText(), QStringLiteral("D:\\Work\\"));
            EXPECT_EQ(w.cmdAllCommon->enabled(), side == 1) << "Alpha and Beta on both sides";
            if (side == 1) {
                desk.expectMsgBox(w.caption(),
                                  QStringLiteral("The Primary structure, exists on the local computer.\r\n\r\n"
                                                 "The Secondary structure, exists on a remote computer and was imported "
                                                 "for off line comparison, from the file called 'C:\\s.txt'."),
                                  ui::vbInformationOK, ui::vbOK);
                Input::click(*w.cmdReminder);
            }
            Input::click(*w.cmdCancel);
        }));
        EXPECT_EQ(g().FolderSelectionState, 3);
    }
    // A file that ends inside its folder names: one message, the names before it kept.
    writeExport(QStringLiteral("short.txt"), "9\r\nD:\\Work\\\r\n3\r\nAlpha\r\n");
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
    EXPECT_EQ(dropped(0), QStringList({"Alpha"}));
    EXPECT_EQ(dropped(1), QStringList());
}

} // namespace
