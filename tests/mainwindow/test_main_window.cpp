// The main window's current-path labels and first-level lists, over
// temporary folders mounted as drives.
#include "mainwindow_fixture.h"
#include "mainwindow/MainWindowCaptions.h"
#include "shared/basTreeViewManager.h"

#include <QTemporaryDir>

using namespace basGlobal;
using mainwindow::frmMain;

namespace {

using MainWindowTest = MainWindowFixture<frmMain>;

TEST_F(MainWindowTest, CurrentPathLabelIsCompactedAndItsToolTipEndsWithABackslash)
{
    const QString deep = QStringLiteral("A very long folder name/another quite long folder name/yet another long one/leaf");
    drive.folder(deep);
    const QString logical = QStringLiteral("C:\\") + QString(deep).replace(u'/', u'\\');
    writeIni(QStringLiteral("[General]\r\nSecondaryInitialPath=") + logical + QStringLiteral("\r\n"));
    main.load();
    EXPECT_EQ(g().CurrentPath[1], logical);
    EXPECT_EQ(main.lblCurrentFullPath[1]->toolTipText(), logical + u'\\');
    const QString shown = main.lblCurrentFullPath[1]->caption();
    EXPECT_TRUE(shown.contains(QStringLiteral("..."))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("\\leaf\\"))) << shown.toStdString();
    g().HidePathToolTips = true;
    DisplayCurrentPath(main, 1);
    EXPECT_EQ(main.lblCurrentFullPath[1]->toolTipText(), QString());
}

TEST_F(MainWindowTest, FirstLevelListsShowHiddenReadOnlyAndManyEntriesInOrderOrSwitchedOffOnlyTheirCount)
{
    drive.folder(QStringLiteral("Two/a"));
    drive.folder(QStringLiteral("Two/b"));
    drive.folder(QStringLiteral("Big/.hiddenFolder"));
    drive.folder(QStringLiteral("Big/Zeta"));
    drive.folder(QStringLiteral("Big/alpha"));
    drive.file(QStringLiteral("Big/.hidden"));
    drive.file(QStringLiteral("Big/readonly.txt"));
    QFile::setPermissions(drive.native(QStringLiteral("Big/readonly.txt")), QFileDevice::ReadOwner);
    for (int k = 0; k < 300; ++k)
        drive.file(QStringLiteral("Big/f%1.dat").arg(k, 3, 10, QLatin1Char('0')));
    writeIni(QStringLiteral("[General]\r\nPrimaryInitialPath=C:\\Two\r\n"));
    main.load();
    EXPECT_EQ(items(*main.lstFirstLevelFolders[0]), QStringList{QStringLiteral("Folder names not displayed.")});
    EXPECT_FALSE(main.lstFirstLevelFolders[0]->enabled());
    EXPECT_EQ(main.chkDisplayFirstLevelFolders[0]->caption(), QStringLiteral("First level folders: 2."));

    ASSERT_TRUE(ui::Input::click(*main.chkDisplayFirstLevelFolders[0]));
    ASSERT_TRUE(ui::Input::click(*main.chkDisplayFirstLevelFiles[0]));
    desk.resetYieldCount();
    ASSERT_TRUE(ui::Input::nodeClick(*main.tvwStructure[0], QStringLiteral("C:\\Big\\")));
    EXPECT_EQ(items(*main.lstFirstLevelFolders[0]),
              (QStringList{QStringLiteral(".hiddenFolder"), QStringLiteral("alpha"), QStringLiteral("Zeta")}));
    EXPECT_TRUE(main.lstFirstLevelFolders[0]->enabled());
    const QStringList files = items(*main.lstFirstLevelFiles[0]);
    ASSERT_EQ(files.size(), 302);
    EXPECT_EQ(files.first(), QStringLiteral(".hidden"));
    EXPECT_EQ(files[1], QStringLiteral("f000.dat"));
    EXPECT_EQ(files.last(), QStringLiteral("readonly.txt"));
    EXPECT_EQ(main.lstFirstLevelFiles[0]->listIndex(), -1);
    EXPECT_EQ(main.chkDisplayFirstLevelFiles[0]->caption(), QStringLiteral("First level files: 302."));
    EXPECT_EQ(main.chkDisplayFirstLevelFolders[0]->caption(), QStringLiteral("First level folders: 3."));
    EXPECT_GE(desk.yieldCount(), 305);   // the window repaints while a large folder fills
    EXPECT_EQ(main.mousePointer(), ui::vbDefault);
}

TEST_F(MainWindowTest, DriveNotReadyDisablesCompareUntilBothStructuresAreReadyAgain)
{
    QTemporaryDir removable;
    const QString media = removable.path() + QStringLiteral("/media");
    QDir().mkpath(media + QStringLiteral("/Photos"));
    testing_support::addDrive(u'E', media);
    writeIni(QStringLiteral("[General]\r\nPrimaryInitialPath=E:\\Photos\r\n"));
    main.load();
    EXPECT_TRUE(main.cmdCompare->enabled());

    // The medium goes away while the tree still shows the folder.
    ASSERT_TRUE(QDir(media).removeRecursively());
    desk.expectMsgBox(QStringLiteral("Tarnwick"), QStringLiteral("E:\\ is not accessible.\r\n\r\nThe device is not ready."),
                      16, ui::vbOK);
    DisplayCurrentPath(main, 0);
    FillFirstLevelFoldersList(main, 0);
    FillFirstLevelFilesList(main, 0);   // no second message
    EXPECT_FALSE(main.cmdCompare->enabled());
    EXPECT_FALSE(main.mnuToolsStartProcessing->enabled());
    EXPECT_TRUE(g().StructureDeviceNotReady[0]);
    EXPECT_EQ(main.chkDisplayFirstLevelFolders[0]->caption(), QStringLiteral("First level folders: 0."));
    EXPECT_EQ(main.chkDisplayFirstLevelFiles[0]->caption(), QStringLiteral("First level files: 0."));

    // The other structure's fill does not enable Compare while E: is not ready.
    FillFirstLevelFoldersList(main, 1);
    EXPECT_FALSE(main.cmdCompare->enabled());
    // Back again.
    QDir().mkpath(media + QStringLiteral("/Photos"));
    FillFirstLevelFoldersList(main, 0);
    EXPECT_TRUE(main.cmdCompare->enabled());
    EXPECT_TRUE(main.mnuToolsStartProcessing->enabled());

    // A drive that is gone altogether is named by its letter.
    g().CurrentPath[0] = QStringLiteral("q:\\Gone");
    desk.expectMsgBox(QStringLiteral("Tarnwick"), QStringLiteral("Q:\\ is not accessible.\r\n\r\nThe device is not ready."), 16, ui::vbOK);
    FillFirstLevelFoldersList(main, 0);
    EXPECT_FALSE(main.cmdCompare->enabled());
}

TEST_F(MainWindowTest, AFillAskedForDuringAFillWaitsForIt)
{
    drive.folder(QStringLiteral("One"));
    drive.folder(QStringLiteral("Two"));
    for (int k = 0; k < 20; ++k)
        drive.folder(QStringLiteral("One/d%1").arg(k));
    drive.folder(QStringLiteral("Two/only"));
    writeIni(QStringLiteral("[General]\r\nPrimaryInitialPath=C:\\Two\r\nSecondaryInitialPath=C:\\Two\r\n"
                            "DisplayPrimaryPathFirstLevelFolders=True\r\nDisplaySecondaryPathFirstLevelFolders=True\r\n"));
    main.load();
    Long err = 0;
    ASSERT_TRUE(SelectPathInTreeView(QStringLiteral("C:\\One"), *main.tvwStructure[0], err));
    DisplayCurrentPath(main, 0);

    // A click on the other tree, handled during the fill's yield.
    QString tagDuringNested;
    desk.onYieldNumber(3, [&] {
        Long e = 0;
        SelectPathInTreeView(QStringLiteral("C:\\One"), *main.tvwStructure[1], e);
        DisplayCurrentPath(main, 1);
        FillFirstLevelFoldersList(main, 1);
        tagDuringNested = main.lstFirstLevelFolders[1]->tag();
    });
    desk.resetYieldCount();
    FillFirstLevelFoldersList(main, 0);
    EXPECT_EQ(tagDuringNested, QStringLiteral("1"));   // not started inside the running fill
    EXPECT_EQ(main.lstFirstLevelFolders[0]->listCount(), 20);
    EXPECT_EQ(main.lstFirstLevelFolders[1]->listCount(), 20);   // ran once the first had finished
    EXPECT_EQ(main.lstFirstLevelFolders[1]->tag(), QStringLiteral("20"));
}

} // namespace
