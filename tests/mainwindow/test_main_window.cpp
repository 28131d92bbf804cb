// The main window's controls with its captions, current-path label and
// first-level lists, over temporary folders mounted as drives.
#include "mainwindow_fixture.h"
#include "platform/NetworkMount.h"
#include "platform/ServiceOverride.h"
#include "shared/MainWindowCaptions.h"
#include "shared/basCommonDialogManager.h"
#include "shared/basTreeViewManager.h"
#include "shared/frmMapNetworkDrive.h"

#include <QTemporaryDir>

using namespace basGlobal;
using mainwindow::frmMain;

namespace {

// The main window as designed, without its start-up: these tests drive the
// shared routines that fill its captions, labels and lists themselves.
class BareMainWindow : public frmMain {
public:
    BareMainWindow()
    {
        Load = [this] { freeSizer1->ResizeDone = ui::Event<>::Handler(); };
    }
};

class MainWindowTest : public MainWindowFixture<BareMainWindow> {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        g().VolumeIsCaseSensitive = true;
        g().IniFileName = QStringLiteral("C:\\Quillmarsh.ini");
        g().HelpFileEnglish = QStringLiteral("C:\\QuillmarshUK.hlp");
        g().HelpFileGreek = QStringLiteral("C:\\QuillmarshGR.hlp");
        main.load();
    }
    // Shows structure i at `path` the way every move of the window ends.
    void showStructure(int i, const QString& path)
    {
        Long err = 0;
        g().CurrentPath[i] = RestorePath(&main, path, *main.tvwStructure[i], err);
        ASSERT_EQ(err, 0);
        DisplayCurrentPath(main, Integer(i));
        FillFirstLevelFoldersList(main, Integer(i));
        FillFirstLevelFilesList(main, Integer(i));
    }
};

TEST_F(MainWindowTest, EveryNamedControlExistsWithItsPlaceTintAndHelp)
{
    for (ui::Control* c : main.controls()) {   // every button has its topic
        if (c->kind() == ui::ControlKind::CommandButton) {
            EXPECT_NE(c->helpTopic(), 0) << c->name().toStdString();
        }
    }
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(main.lstFirstLevelFolders[i]->backColor(), mainwindow::kStructureTint[i]);
        EXPECT_EQ(main.lstFirstLevelFiles[i]->backColor(), mainwindow::kStructureTint[i]);
        EXPECT_EQ(main.lblCurrentFullPath[i]->backColor(), mainwindow::kStructureTint[i]);
        EXPECT_EQ(main.optStructure[i]->backColor(), 0xE0E0E0u);
        EXPECT_NE(main.tvwStructure[i]->helpTopic(), 0);
        EXPECT_NE(main.cmdLanguage[i]->helpTopic(), 0);
    }
    // Primary on the left, Secondary on the right, never overlapping.
    EXPECT_LE(main.tvwStructure[0]->left() + main.tvwStructure[0]->width(), main.tvwStructure[1]->left());
    EXPECT_LE(main.tvwStructure[1]->left() + main.tvwStructure[1]->width(), main.width());
    EXPECT_EQ(main.defaultButton(), main.cmdCompare);
    EXPECT_TRUE(main.keyPreview());
    EXPECT_EQ(main.mnuToolsRefresh->shortcut(), QStringLiteral("F5"));
    // Right-clicking a list shows its topic from the help file in force.
    ui::setHelpFile(QStringLiteral("C:\\QuillmarshUK.hlp"));
    main.show();
    EXPECT_TRUE(ui::Input::rightClick(*main.lstFirstLevelFiles[1]));
    const auto helps = desk.entries(ui::HeadlessDesktop::Entry::Help);
    ASSERT_EQ(helps.size(), 1);
    EXPECT_EQ(helps[0].style, mainwindow::htFirstLevelFiles);
}

TEST_F(MainWindowTest, LanguageSwitchTranslatesTheWorkingWordAndKeepsFilledLists)
{
    drive.folder(QStringLiteral("Top/Sub1"));
    g().DisplayFirstLevelFolders[0] = true;
    main.chkDisplayFirstLevelFolders[0]->setValue(1);
    ASSERT_EQ(SetApplicationLanguage(main, g().IniFileName), 0);
    showStructure(0, QStringLiteral("C:\\Top"));
    EXPECT_EQ(items(*main.lstFirstLevelFolders[0]), QStringList{QStringLiteral("Sub1")});
    main.lstFirstLevelFiles[1]->setTag(QStringLiteral("Processing.."));
    g().LanguageIsGreek = true;
    ASSERT_EQ(SetApplicationLanguage(main, g().IniFileName), 0);
    EXPECT_EQ(main.chkDisplayFirstLevelFiles[1]->caption(), QStringLiteral("Αρχεία πρώτου επιπέδου: Σε εξέλιξη..."));
    EXPECT_EQ(main.chkDisplayFirstLevelFolders[0]->caption(), QStringLiteral("Φάκελλοι πρώτου επιπέδου: 1."));
    EXPECT_EQ(items(*main.lstFirstLevelFolders[0]), QStringList{QStringLiteral("Sub1")});
}

TEST_F(MainWindowTest, CurrentPathLabelIsCompactedAndItsToolTipEndsWithABackslash)
{
    const QString deep = QStringLiteral("A very long folder name/another quite long folder name/yet another long one/leaf");
    drive.folder(deep);
    ASSERT_EQ(SetApplicationLanguage(main, g().IniFileName), 0);
    const QString logical = QStringLiteral("C:\\") + QString(deep).replace(u'/', u'\\');
    showStructure(1, logical);
    EXPECT_EQ(g().CurrentPath[1], logical);
    EXPECT_EQ(main.lblCurrentFullPath[1]->toolTipText(), logical + u'\\');
    const QString shown = main.lblCurrentFullPath[1]->caption();
    EXPECT_TRUE(shown.contains(QStringLiteral("..."))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("\\leaf\\"))) << shown.toStdString();
    g().HidePathToolTips = true;
    DisplayCurrentPath(main, 1);
    EXPECT_EQ(main.lblCurrentFullPath[1]->toolTipText(), QString());
}

TEST_F(MainWindowTest, FirstLevelListsShowHiddenReadOnlyAndManyEntriesInOrder)
{
    drive.folder(QStringLiteral("Big/.hiddenFolder"));
    drive.folder(QStringLiteral("Big/Zeta"));
    drive.folder(QStringLiteral("Big/alpha"));
    drive.file(QStringLiteral("Big/.hidden"));
    drive.file(QStringLiteral("Big/readonly.txt"));
    QFile::setPermissions(drive.native(QStringLiteral("Big/readonly.txt")), QFileDevice::ReadOwner);
    for (int k = 0; k < 300; ++k)
        drive.file(QStringLiteral("Big/f%1.dat").arg(k, 3, 10, QLatin1Char('0')));
    for (int i = 0; i < 2; ++i) {
        g().DisplayFirstLevelFolders[i] = g().DisplayFirstLevelFiles[i] = true;
        main.chkDisplayFirstLevelFolders[i]->setValue(1);
        main.chkDisplayFirstLevelFiles[i]->setValue(1);
    }
    ASSERT_EQ(SetApplicationLanguage(main, g().IniFileName), 0);
    desk.resetYieldCount();
    showStructure(0, QStringLiteral("C:\\Big"));
    EXPECT_EQ(items(*main.lstFirstLevelFolders[0]),
              (QStringList{QStringLiteral(".hiddenFolder"), QStringLiteral("alpha"), QStringLiteral("Zeta")}));
    const QStringList files = items(*main.lstFirstLevelFiles[0]);
    ASSERT_EQ(files.size(), 302);
    EXPECT_EQ(files.first(), QStringLiteral(".hidden"));
    EXPECT_EQ(files[1], QStringLiteral("f000.dat"));
    EXPECT_EQ(files.last(), QStringLiteral("readonly.txt"));
    EXPECT_EQ(main.lstFirstLevelFiles[0]->listIndex(), -1);
    EXPECT_TRUE(main.lstFirstLevelFiles[0]->enabled());
    EXPECT_EQ(main.chkDisplayFirstLevelFiles[0]->caption(), QStringLiteral("First level files: 302."));
    EXPECT_EQ(main.chkDisplayFirstLevelFolders[0]->caption(), QStringLiteral("First level folders: 3."));
    EXPECT_GE(desk.yieldCount(), 305);   // the window repaints while a large folder fills
    EXPECT_EQ(main.mousePointer(), ui::vbDefault);
}

TEST_F(MainWindowTest, ListSwitchedOffShowsItsPlaceholderButStillCounts)
{
    drive.folder(QStringLiteral("Two/a"));
    drive.folder(QStringLiteral("Two/b"));
    drive.folder(QStringLiteral("Empty"));
    ASSERT_EQ(SetApplicationLanguage(main, g().IniFileName), 0);
    showStructure(0, QStringLiteral("C:\\Two"));
    EXPECT_EQ(items(*main.lstFirstLevelFolders[0]), QStringList{QStringLiteral("Folder names not displayed.")});
    EXPECT_FALSE(main.lstFirstLevelFolders[0]->enabled());
    EXPECT_EQ(main.chkDisplayFirstLevelFolders[0]->caption(), QStringLiteral("First level folders: 2."));
    g().DisplayFirstLevelFolders[0] = true;
    showStructure(0, QStringLiteral("C:\\Empty"));
    EXPECT_TRUE(main.lstFirstLevelFolders[0]->enabled());
    EXPECT_EQ(main.lstFirstLevelFolders[0]->listCount(), 0);
    EXPECT_EQ(main.chkDisplayFirstLevelFolders[0]->caption(), QStringLiteral("First level folders: 0."));
}

TEST_F(MainWindowTest, DriveNotReadyDisablesCompareUntilBothStructuresAreReadyAgain)
{
    QTemporaryDir removable;
    const QString media = removable.path() + QStringLiteral("/media");
    QDir().mkpath(media + QStringLiteral("/Photos"));
    testing_support::addDrive(u'E', media);
    ASSERT_EQ(SetApplicationLanguage(main, g().IniFileName), 0);
    showStructure(0, QStringLiteral("E:\\Photos"));
    showStructure(1, QStringLiteral("C:"));
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

    // In Greek, for a drive that is gone altogether.
    g().LanguageIsGreek = true;
    ASSERT_EQ(SetApplicationLanguage(main, g().IniFileName), 0);
    g().CurrentPath[0] = QStringLiteral("q:\\Gone");
    desk.expectMsgBox(QStringLiteral("Tarnwick"),
                      QStringLiteral("Δεν είναι δυνατή η πρόσβαση στο Q:\\.\r\n\r\nΗ συσκευή δεν είναι έτοιμη."), 16, ui::vbOK);
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
    g().DisplayFirstLevelFolders[0] = g().DisplayFirstLevelFolders[1] = true;
    main.chkDisplayFirstLevelFolders[0]->setValue(1);
    main.chkDisplayFirstLevelFolders[1]->setValue(1);
    ASSERT_EQ(SetApplicationLanguage(main, g().IniFileName), 0);
    showStructure(1, QStringLiteral("C:\\Two"));
    showStructure(0, QStringLiteral("C:\\Two"));
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

TEST_F(MainWindowTest, MappedFolderAppearsInTheTreeAndGoesAwayWhenUnmapped)
{
    QTemporaryDir config;
    const testing_support::EnvGuard home("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    drive.folder(QStringLiteral("Shared/Inside"));
    ASSERT_EQ(SetApplicationLanguage(main, g().IniFileName), 0);
    showStructure(0, QStringLiteral("C:"));

    desk.onModal(QStringLiteral("frmMapNetworkDrive"), [](ui::Form& f) {
        auto& dlg = static_cast<basGlobal::frmMapNetworkDrive&>(f);
        EXPECT_EQ(dlg.cboDrive->text(), QStringLiteral("D:"));
        ui::Input::type(*dlg.txtFolder, QStringLiteral("C:\\Nope"));
        ui::Input::click(*dlg.cmdOK);   // refused with a message, the window stays
        ui::Input::comboChoose(*dlg.cboDrive, 1);
        dlg.txtFolder->setText(QStringLiteral("C:\\Shared"));
        ui::Input::click(*dlg.cmdOK);
    });
    desk.expectMsgBox(QStringLiteral("Map network drive"), QStringLiteral("The folder 'C:\\Nope' does not exist."), 48, ui::vbOK);
    Long err = -1;
    EXPECT_TRUE(ShowMapNetworkDriveDialog(&main, err));
    EXPECT_EQ(err, 0);
    ASSERT_EQ(ReloadTreeView(*main.tvwStructure[0]), 0);
    ui::TreeNode* e = main.tvwStructure[0]->findNode(QStringLiteral("E:\\"));
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(e->children(), 1);
    EXPECT_EQ(e->child()->text(), QStringLiteral("Inside"));
    EXPECT_EQ(GetSelectedNodePath(*main.tvwStructure[0], err), QStringLiteral("C:"));
    // The letter lasts across runs: it is in the user's drive map.
    ASSERT_EQ(platform::UserDriveMap::load().size(), 1u);
    EXPECT_EQ(platform::UserDriveMap::load()[0].letter, QChar(u'E'));

    desk.onModal(QStringLiteral("frmDisconnectNetworkDrive"), [](ui::Form& f) {
        auto& dlg = static_cast<basGlobal::frmDisconnectNetworkDrive&>(f);
        ASSERT_EQ(dlg.lstDrives->listCount(), 1);
        EXPECT_TRUE(dlg.lstDrives->list(0).startsWith(QStringLiteral("E:")));
        ui::Input::listClick(*dlg.lstDrives, 0);
        ui::Input::click(*dlg.cmdOK);
    });
    EXPECT_TRUE(ShowDisconnectNetworkDriveDialog(&main, err));
    EXPECT_EQ(err, 0);
    ASSERT_EQ(ReloadTreeView(*main.tvwStructure[0]), 0);
    EXPECT_EQ(main.tvwStructure[0]->findNode(QStringLiteral("E:\\")), nullptr);
    EXPECT_TRUE(platform::UserDriveMap::load().empty());

    // Nothing mapped: the user is told, and it is no error.
    desk.expectMsgBox(QStringLiteral("Unmap network drive"), QStringLiteral("No drive letter is mapped."), 64, ui::vbOK);
    EXPECT_FALSE(ShowDisconnectNetworkDriveDialog(&main, err));
    EXPECT_EQ(err, 0);
}

TEST_F(MainWindowTest, MapCancelledOrFailingGivesTheNetworkCodes)
{
    QTemporaryDir config;
    const testing_support::EnvGuard home("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    Long err = -1;
    desk.onModal(QStringLiteral("frmMapNetworkDrive"), [](ui::Form& f) {
        ui::Input::click(*static_cast<basGlobal::frmMapNetworkDrive&>(f).cmdCancel);
    });
    EXPECT_FALSE(ShowMapNetworkDriveDialog(&main, err));
    EXPECT_EQ(err, 0);

    platform::FakeMounter mounter;
    platform::ServiceOverride<platform::NetworkMounter> use(platform::setNetworkMounter, &mounter);
    auto mapAddress = [&](const QString& address) {
        desk.onModal(QStringLiteral("frmMapNetworkDrive"), [address](ui::Form& f) {
            auto& dlg = static_cast<basGlobal::frmMapNetworkDrive&>(f);
            dlg.txtFolder->setText(address);
            ui::Input::click(*dlg.cmdOK);
        });
        Long e = -1;
        EXPECT_FALSE(ShowMapNetworkDriveDialog(&main, e));
        return e;
    };
    mounter.result = platform::MountResult::noTool;
    EXPECT_EQ(mapAddress(QStringLiteral("smb://server/share")), 1222);
    mounter.result = platform::MountResult::failed;
    EXPECT_EQ(mapAddress(QStringLiteral("\\\\server\\share")), 1208);
    mounter.result = platform::MountResult::timedOut;
    EXPECT_EQ(mapAddress(QStringLiteral("sftp://host/folder")), 170);
    EXPECT_EQ(mounter.mounted, (QStringList{QStringLiteral("smb://server/share"), QStringLiteral("smb://server/share"),
                                            QStringLiteral("sftp://host/folder")}));
    EXPECT_TRUE(platform::UserDriveMap::load().empty());

    EXPECT_EQ(NetworkErrorName(170, false), QStringLiteral("WN_FUNCTION_BUSY"));
    EXPECT_EQ(NetworkErrorName(170, true), QString());
    EXPECT_EQ(NetworkErrorName(1208, true), QStringLiteral("WN_EXTENDED_ERROR"));
    EXPECT_EQ(NetworkErrorName(1222, false), QStringLiteral("WN_NO_NETWORK"));
    EXPECT_EQ(NetworkErrorName(8, true), QStringLiteral("WN_OUT_OF_MEMORY"));
    EXPECT_EQ(NetworkErrorName(5, false), QString());
}

} // namespace
