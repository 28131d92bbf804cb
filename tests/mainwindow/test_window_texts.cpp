// Texts of the main window in both languages, as the window shows them:
// the placeholder lines of lists switched off and the message of a drive
// that is not ready.
#include "mainwindow_fixture.h"
#include "mainwindow/MainWindowCaptions.h"

#include <QDir>
#include <QTemporaryDir>

using mainwindow::frmMain;

namespace {

class WindowTexts : public MainWindowFixture<frmMain>, public ::testing::WithParamInterface<bool> {};

TEST_P(WindowTexts, ListsSwitchedOffSayWhatTheyDoNotShow)
{
    const bool greek = GetParam();
    drive.folder(QStringLiteral("Work/Sub"));
    drive.file(QStringLiteral("Work/a.txt"));
    writeIni(QStringLiteral("[General]\r\nLanguage=%1\r\nPrimaryInitialPath=C:\\Work\r\nSecondaryInitialPath=C:\\Work\r\n")
                 .arg(greek ? "True" : "False"));
    main.load();
    const QString folders = greek ? QStringLiteral("Δεν εμφανίζονται ονόματα φακέλλων.") : QStringLiteral("Folder names not displayed.");
    const QString files = greek ? QStringLiteral("Δεν εμφανίζονται ονόματα αρχείων.") : QStringLiteral("File names not displayed.");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(items(*main.lstFirstLevelFolders[i]), QStringList{folders}) << i;
        EXPECT_EQ(items(*main.lstFirstLevelFiles[i]), QStringList{files}) << i;
    }
    // Switched on, then off: the next move shows the placeholder again.
    const QString work = main.tvwStructure[1]->selectedItem()->key();
    ASSERT_TRUE(ui::Input::click(*main.chkDisplayFirstLevelFiles[1]));
    ASSERT_TRUE(ui::Input::nodeClick(*main.tvwStructure[1], work));
    EXPECT_EQ(items(*main.lstFirstLevelFiles[1]), QStringList{QStringLiteral("a.txt")});
    ASSERT_TRUE(ui::Input::click(*main.chkDisplayFirstLevelFiles[1]));
    ASSERT_TRUE(ui::Input::nodeClick(*main.tvwStructure[1], work));
    EXPECT_EQ(items(*main.lstFirstLevelFiles[1]), QStringList{files});
}

INSTANTIATE_TEST_SUITE_P(Languages, WindowTexts, ::testing::Bool());

using NotReady = MainWindowFixture<frmMain>;

TEST_F(NotReady, ADriveThatIsNotReadyIsNamedInGreekToo)
{
    QTemporaryDir removable;
    const QString media = removable.path() + QStringLiteral("/media");
    QDir().mkpath(media + QStringLiteral("/Photos"));
    testing_support::addDrive(u'E', media);
    writeIni(QStringLiteral("[General]\r\nLanguage=True\r\nPrimaryInitialPath=E:\\Photos\r\n"));
    main.load();
    ASSERT_TRUE(QDir(media).removeRecursively());
    desk.expectMsgBox(QStringLiteral("Tarnwick"),
                      QStringLiteral("Δεν είναι δυνατή η πρόσβαση στο E:\\.\r\n\r\nΗ συσκευή δεν είναι έτοιμη."), 16, ui::vbOK);
    basGlobal::FillFirstLevelFoldersList(main, 0);
    EXPECT_FALSE(main.cmdCompare->enabled());
}

} // namespace
