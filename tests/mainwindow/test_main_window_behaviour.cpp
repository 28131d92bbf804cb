// The main window's own behaviour, headless: the start-up on no INI, on its
// values and on odd ones; the second copy; the structure choice; the language
// switch; Up one level; the display boxes; network drives; the settings reset
// when the window closes.
#include "mainwindow_fixture.h"
#include "platform/FakeMounter.h"
#include "platform/ServiceOverride.h"
#include "shared/basCommonDialogManager.h"
#include "shared/frmHiddenForm.h"
#include "shared/frmMapNetworkDrive.h"
#include "ui/qt/HelpFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

using namespace basGlobal;
using mainwindow::frmMain;

namespace {

const QString kUpTitle = QStringLiteral("Up one level");
const QString kUpText = QStringLiteral(
    "You are already on the root directory of the current drive and as a result, you cannot go up any further.");

class StartupTest : public MainWindowFixture<frmMain> {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        main.languageChanged = [this](bool greek) { languages << greek; };
    }
    bool iniExists() const { return QFile::exists(drive.native(QStringLiteral("Quillmarsh.ini"))); }

    QList<bool> languages;
};

// ---- Start-up ---------------------------------------------------------------------

// A setting, a count or a path, as the INI spells it.
QString text(bool on) { return on ? QStringLiteral("True") : QStringLiteral("False"); }
QString text(int number) { return QString::number(number); }
QString text(const QString& value) { return value; }
#define GLOBAL(field) [](frmMain&) { return text(globals().field); }
#define BOX(control) [](frmMain& m) { return text(m.control->value()); }

// Every setting the start-up reads: its INI line's value, an odd value (out
// of range or of the wrong form), and what the window then has: the default
// without the line or with the odd value, the line's value otherwise.
struct Setting {
    const char* section;
    const char* key;
    const char* value;
    const char* odd;
    QString (*read)(frmMain&);
    const char* byDefault;
    const char* fromLine;
};
const Setting kSettings[] = {
    {"General", "Language", "true", "yes",
     [](frmMain& m) { return text(globals().LanguageIsGreek) + u' ' + m.mnuFile->caption() + u' ' + text(m.mnuToolsGreek->checked()); },
     "False File False", "True Αρχείο True"},
    {"General", "ResizeFont", "True", "yes", GLOBAL(ResizeFontEnabled), "False", "True"},
    {"General", "StructureIndex", "1", "2", [](frmMain& m) { return text(globals().CurrentStructure) + u' ' + text(m.optStructure[1]->value()); },
     "0 False", "1 True"},
    {"General", "PrimaryInitialPath", "C:\\Left", "", GLOBAL(CurrentPath[0]), "C:", "C:\\Left"},
    {"General", "SecondaryInitialPath", "C:\\Right", "   ", GLOBAL(CurrentPath[1]), "C:", "C:\\Right"},
    {"General", "DisplayPrimaryPathFirstLevelFolders", "True", "yes", BOX(chkDisplayFirstLevelFolders[0]), "0", "1"},
    {"General", "DisplaySecondaryPathFirstLevelFolders", "False", "yes", BOX(chkDisplayFirstLevelFolders[1]), "0", "0"},
    {"General", "DisplayPrimaryPathFirstLevelFiles", "False", "yes", BOX(chkDisplayFirstLevelFiles[0]), "0", "0"},
    {"General", "DisplaySecondaryPathFirstLevelFiles", "TRUE", "yes", BOX(chkDisplayFirstLevelFiles[1]), "0", "1"},
    {"General", "NoToolTipPathNames", "True", "yes", GLOBAL(HidePathToolTips), "False", "True"},
    {"General", "SortSavedPaths", "True", "yes", GLOBAL(SavedPathsSorted), "False", "True"},
    {"General", "Comparison", "2", "3", GLOBAL(ComparisonMode), "0", "2"},
    {"General", "ExportStructure", "2", "7", GLOBAL(ExportStructureSelection), "1", "2"},
    {"General", "ImportStructure", "0", "-1", GLOBAL(ImportStructureSelection), "1", "0"},
    {"General", "NumberOfLevels", "0", "3.0", GLOBAL(NumberOfLevelsLimit), "1", "0"},
    {"General", "CompareOnlyTheCommonFiles", "False", "no", GLOBAL(CommonFilesOnly), "True", "False"},
    {"General", "DisplayOnlyTheDifferences", "True", "yes", GLOBAL(DifferencesOnly), "False", "True"},
    {"General", "AbilityToExcludeFolders", "False", "no", GLOBAL(FolderIncludeExcludeEnabled), "True", "False"},
    {"General", "DisplayOptions", "False", "no", GLOBAL(ShowOptionsBeforeComparison), "True", "False"},
    {"General", "DateFormat", "long", "Long", GLOBAL(DateFormatName), "short", "long"},
    {"General", "TimeFormat", "short", "SHORT", GLOBAL(TimeFormatName), "long", "short"},
    {"General", "DisplayElapsedTime", "True", "yes", GLOBAL(ShowElapsedTime), "False", "True"},
    {"General", "SaveGridColumnWidths", "True", "yes", GLOBAL(SaveColumnWidths), "False", "True"},
    {"General", "RemindMeToPrint", "False", "no", GLOBAL(RemindToPrint), "True", "False"},
    {"General", "FailSafe", "True", "yes", GLOBAL(FailSafeChecks), "False", "True"},
    {"General", "ExtendedInformation", "False", "no", GLOBAL(ShowExtendedInformation), "True", "False"},
    {"General", "PrintDestination", "2", "3", GLOBAL(PrintDestinationIndex), "0", "2"},
    {"FileAttributes", "Pattern", "*.txt", "  ", GLOBAL(FileTypesPattern), "*.*", "*.txt"},
    {"FileAttributes", "Hidden", "FALSE", "no", GLOBAL(IncludeHiddenFiles), "True", "False"},
    {"FileAttributes", "System", "False", "no", GLOBAL(IncludeSystemFiles), "True", "False"},
    {"FileAttributes", "ReadOnly", "False", "no", GLOBAL(IncludeReadOnlyFiles), "True", "False"},
    {"FileAttributes", "Archive", "False", "no", GLOBAL(IncludeArchiveFiles), "True", "False"},
    {"GridColumnWidths", "4", "200", "150", GLOBAL(GridColumnWidth[4]), "1250", "200"},
    {"GridColumnWidths", "8", "32767", "32768", GLOBAL(GridColumnWidth[8]), "850", "32767"},
};
#undef GLOBAL
#undef BOX

TEST_F(StartupTest, WithoutAnIniEverySettingTakesItsDefaultAndTheStartWritesLanguageAndStructure)
{
    ASSERT_FALSE(iniExists());
    main.load();

    EXPECT_TRUE(main.isShown());
    for (const Setting& s : kSettings)
        EXPECT_EQ(s.read(main), QString::fromUtf8(s.byDefault)) << s.key;
    for (ui::Control* c : main.controls()) {
        if (c->kind() == ui::ControlKind::CommandButton) {
            EXPECT_NE(c->helpTopic(), 0) << c->name().toStdString();
        }
    }
    EXPECT_EQ(QStringList({g().ApplicationPath, g().IniFileName, g().HelpFileEnglish, g().HelpFileGreek, g().SavedPathsFileName[1],
                           g().ApplicationTitle, g().InitialPath[0], g().CurrentPath[1]}),
              QStringList({"C:", "C:\\Quillmarsh.ini", "C:\\QuillmarshUK.hlp", "C:\\QuillmarshGR.hlp", "C:\\SecondarySavedPaths.txt",
                           "Tarnwick", "C:", "C:"}));
    const Long widths[] = {200, 2345, 2345, 1250, 1250, 1000, 1000, 850, 850};
    for (int i = 0; i < kGridColumns; ++i) EXPECT_EQ(g().GridColumnWidth[std::size_t(i)], widths[i]) << i;
    EXPECT_FALSE(g().PageSetupFontName.isEmpty());

    // The first start creates the INI with the language and the structure only.
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("Language")), QStringLiteral("False"));
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("StructureIndex")), QStringLiteral("0"));
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("DisplayPrimaryPathFirstLevelFolders")), QStringLiteral("<missing>"));

    // The check mark at English, the pop-up items greyed, the Primary
    // Structure selected with its colour and cursor.
    EXPECT_TRUE(main.mnuToolsEnglish->checked());
    EXPECT_EQ(ui::helpFile(), QStringLiteral("C:\\QuillmarshUK.hlp"));
    EXPECT_EQ(languages, QList<bool>{false});
    for (ui::Menu* m : {main.mnuSavePathHelp, main.mnuSavePathCancel, main.mnuRecallPathHelp, main.mnuRecallPathCancel,
                        main.mnuSettingsHelp, main.mnuSettingsCancel})
        EXPECT_FALSE(m->enabled()) << m->name().toStdString();
    EXPECT_EQ(main.optStructure[0]->backColor(), 0x80C0FFu);
    EXPECT_EQ(main.optStructure[1]->backColor(), 0xE0E0E0u);
    EXPECT_EQ(main.optStructure[1]->mousePointer(), ui::vbCustom);
    EXPECT_EQ(main.optStructure[1]->mouseIcon(), HiddenForm().imgStructureCursor[1]->picture());
    EXPECT_EQ(main.cmdRefresh->mouseIcon(), HiddenForm().imgStructureCursor[0]->picture());
    EXPECT_TRUE(main.tvwStructure[0]->hasFocus());
    EXPECT_EQ(main.lblCurrentFullPath[1]->caption(), QStringLiteral("C:\\"));
}

// Every line of the INI taken (true: its value; false: its odd value).
class StartupSettings : public StartupTest, public ::testing::WithParamInterface<bool> {};

TEST_P(StartupSettings, EveryLineReachesItsSettingAndAnOddValueGivesTheDefault)
{
    const bool taken = GetParam();
    drive.folder(QStringLiteral("Left"));
    drive.folder(QStringLiteral("Right"));
    QString text;
    for (const char* section : {"General", "FileAttributes", "GridColumnWidths"}) {
        text += QStringLiteral("[%1]\r\n").arg(QLatin1String(section));
        for (const Setting& s : kSettings)
            if (qstrcmp(s.section, section) == 0)
                text += QLatin1String(s.key) + u'=' + QLatin1String(taken ? s.value : s.odd) + QStringLiteral("\r\n");
    }
    writeIni(text);
    main.load();
    for (const Setting& s : kSettings)
        EXPECT_EQ(s.read(main), QString::fromUtf8(taken ? s.fromLine : s.byDefault)) << s.key;
    // A box the start-up ticks writes its key back in the program's spelling.
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("DisplaySecondaryPathFirstLevelFiles")),
              taken ? QStringLiteral("True") : QStringLiteral("yes"));
    EXPECT_EQ(languages, QList<bool>{taken});
}

INSTANTIATE_TEST_SUITE_P(Startup, StartupSettings, ::testing::Bool());

TEST_F(StartupTest, ALongInitialPathIsKept)
{
    QString deep = QStringLiteral("C:");
    QString rel;
    for (int k = 0; k < 12; ++k) {
        const QString part = QString(200, QChar(u'a' + k));
        rel += (rel.isEmpty() ? QString() : QStringLiteral("/")) + part;
        deep += u'\\' + part;
    }
    ASSERT_GT(deep.size(), 2048);
    drive.folder(rel);
    writeIni(QStringLiteral("[General]\r\nPrimaryInitialPath=") + deep + QStringLiteral("\r\n"));
    main.load();
    // A path longer than the old 2,047-character buffer is not cut short.
    EXPECT_EQ(g().CurrentPath[0], deep);
}

TEST_F(StartupTest, ASecondCopyShowsItsNoticeEndsAndWritesNothing)
{
    // The first copy holds the lock of the same application folder.
    QTemporaryDir locks;
    platform::app().setLockFolder(locks.path());
    platform::InstanceLock first(platform::app().nativePath(), locks.path());
    ASSERT_EQ(first.tryLock(), platform::InstanceLock::Taken);
    main.anotherCopyRunning = nullptr;
    desk.expectMsgBox(QStringLiteral("Tarnwick"),
                      QStringLiteral("The application is already active and cannot have more than one instances (on the "
                                     "same computer) at the same time."),
                      ui::vbCriticalOK, ui::vbOK);
    EXPECT_THROW(main.load(), ui::ProgramEnd);
    EXPECT_EQ(platform::app().title(), QStringLiteral("...duplicate instance"));
    EXPECT_FALSE(iniExists());
    EXPECT_FALSE(main.isShown());
    const auto boxes = desk.entries(ui::HeadlessDesktop::Entry::MessageBox);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].form, QString());   // the plain system box, without an owner
}

// ---- Structure choice and language -----------------------------------------------------

TEST_F(StartupTest, ChoosingTheSecondaryStructureRecolorsRecursorsAndIsKept)
{
    main.load();
    ASSERT_TRUE(ui::Input::click(*main.optStructure[1]));
    EXPECT_EQ(g().CurrentStructure, 1);
    EXPECT_EQ(main.optStructure[1]->backColor(), 0xFFFF80u);
    EXPECT_EQ(main.optStructure[1]->foreColor(), 0xFFFF80u);
    EXPECT_EQ(main.optStructure[0]->backColor(), 0xE0E0E0u);
    for (ui::CommandButton* b : {main.cmdUpOneLevel, main.cmdSavePath, main.cmdRecallSavedPath, main.cmdRefresh})
        EXPECT_EQ(b->mouseIcon(), HiddenForm().imgStructureCursor[1]->picture()) << b->name().toStdString();
    EXPECT_TRUE(main.tvwStructure[1]->hasFocus());
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("StructureIndex")), QStringLiteral("1"));

    ASSERT_TRUE(ui::Input::click(*main.optStructure[0]));
    EXPECT_EQ(main.optStructure[0]->backColor(), 0x80C0FFu);
    EXPECT_EQ(main.optStructure[1]->backColor(), 0xE0E0E0u);
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("StructureIndex")), QStringLiteral("0"));
}

TEST_F(StartupTest, LanguageSwitchesBackAndForthWithCaptionsChecksHelpFileKeyAndTheWorkingWord)
{
    drive.folder(QStringLiteral("Top/Sub1"));
    writeIni(QStringLiteral("[General]\r\nPrimaryInitialPath=C:\\Top\r\nDisplayPrimaryPathFirstLevelFolders=True\r\n"));
    main.load();
    main.lstFirstLevelFiles[1]->setTag(QStringLiteral("Processing.."));
    ASSERT_TRUE(ui::Input::choose(*main.mnuToolsGreek));
    EXPECT_TRUE(g().LanguageIsGreek);
    EXPECT_TRUE(main.mnuToolsGreek->checked());
    EXPECT_FALSE(main.mnuToolsEnglish->checked());
    EXPECT_EQ(main.mnuTools->caption(), QStringLiteral("Εργαλεία"));
    EXPECT_EQ(main.lblStructure[0]->caption(), QStringLiteral("Πρωτεύουσα δομή"));
    EXPECT_EQ(main.cmdUpOneLevel->toolTipText(), QStringLiteral("Ένα επίπεδο επάνω ... Bksp"));
    EXPECT_EQ(main.chkDisplayFirstLevelFiles[1]->caption(), QStringLiteral("Αρχεία πρώτου επιπέδου: Σε εξέλιξη..."));
    EXPECT_EQ(main.chkDisplayFirstLevelFolders[0]->caption(), QStringLiteral("Φάκελλοι πρώτου επιπέδου: 1."));
    EXPECT_EQ(items(*main.lstFirstLevelFolders[0]), QStringList{QStringLiteral("Sub1")});   // the filled list stays
    EXPECT_EQ(ui::helpFile(), QStringLiteral("C:\\QuillmarshGR.hlp"));
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("Language")), QStringLiteral("True"));

    // Greek again while Greek: the same captions, the key written again.
    ASSERT_TRUE(ui::Input::click(*main.cmdLanguage[0]));
    EXPECT_EQ(main.mnuTools->caption(), QStringLiteral("Εργαλεία"));

    ASSERT_TRUE(ui::Input::choose(*main.mnuToolsEnglish));
    EXPECT_FALSE(g().LanguageIsGreek);
    EXPECT_TRUE(main.mnuToolsEnglish->checked());
    EXPECT_FALSE(main.mnuToolsGreek->checked());
    EXPECT_EQ(main.mnuTools->caption(), QStringLiteral("Tools"));
    EXPECT_EQ(main.lblStructure[1]->caption(), QStringLiteral("Secondary structure"));
    EXPECT_EQ(main.chkDisplayFirstLevelFiles[1]->caption(), QStringLiteral("First level files: Processing..."));
    EXPECT_EQ(ui::helpFile(), QStringLiteral("C:\\QuillmarshUK.hlp"));
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("Language")), QStringLiteral("False"));
    EXPECT_EQ(languages, (QList<bool>{false, true, true, false}));
}

// ---- Navigation ---------------------------------------------------------------------------

TEST_F(StartupTest, UpOneLevelClimbsTheChosenStructureToItsDriveAndThereSaysItCannotGoFurther)
{
    drive.folder(QStringLiteral("A/B"));
    writeIni(QStringLiteral("[General]\r\nStructureIndex=1\r\nPrimaryInitialPath=C:\\A\\B\r\nSecondaryInitialPath=C:\\A\\B\r\n"
                            "DisplaySecondaryPathFirstLevelFolders=True\r\n"));
    main.load();
    // A click in the other tree moves that tree but does not choose it.
    ASSERT_TRUE(ui::Input::nodeClick(*main.tvwStructure[0], QStringLiteral("C:\\A\\")));
    EXPECT_EQ(g().CurrentPath[0], QStringLiteral("C:\\A"));

    // Backspace with Shift held goes up too.
    ASSERT_TRUE(ui::Input::key(main, ui::vbKeyBack, ui::vbShiftMask));
    EXPECT_EQ(g().CurrentPath[1], QStringLiteral("C:\\A"));
    EXPECT_EQ(main.lblCurrentFullPath[1]->caption(), QStringLiteral("C:\\A\\"));
    EXPECT_EQ(main.lstFirstLevelFolders[1]->list(0), QStringLiteral("B"));

    ASSERT_TRUE(ui::Input::choose(*main.mnuToolsUpOneLevel));
    EXPECT_EQ(g().CurrentPath[1], QStringLiteral("C:"));
    EXPECT_EQ(main.tvwStructure[1]->selectedItem()->key(), QStringLiteral("C:\\"));

    desk.expectMsgBox(kUpTitle, kUpText, ui::vbInformationOK, ui::vbOK);
    ASSERT_TRUE(ui::Input::click(*main.cmdUpOneLevel));
    desk.expectMsgBox(kUpTitle, kUpText, ui::vbInformationOK, ui::vbOK);
    ASSERT_TRUE(ui::Input::key(main, ui::vbKeyBack, ui::vbCtrlMask | ui::vbAltMask));
    EXPECT_EQ(g().CurrentPath[1], QStringLiteral("C:"));
    EXPECT_EQ(g().CurrentPath[0], QStringLiteral("C:\\A"));
}

TEST_F(StartupTest, RefreshShowsANewFolderAndAClearedDisplayBoxWritesItsKeyAndLeavesTheListUntilTheNextMove)
{
    drive.folder(QStringLiteral("Work"));
    writeIni(QStringLiteral("[General]\r\nPrimaryInitialPath=C:\\Work\r\nDisplayPrimaryPathFirstLevelFolders=True\r\n"));
    main.load();
    EXPECT_EQ(main.chkDisplayFirstLevelFolders[0]->caption(), QStringLiteral("First level folders: 0."));
    drive.folder(QStringLiteral("Work/New"));
    ASSERT_TRUE(ui::Input::key(main, ui::vbKeyF5));
    EXPECT_EQ(g().CurrentPath[0], QStringLiteral("C:\\Work"));
    EXPECT_EQ(main.lstFirstLevelFolders[0]->list(0), QStringLiteral("New"));
    EXPECT_TRUE(main.tvwStructure[0]->hasFocus());

    ASSERT_TRUE(ui::Input::click(*main.chkDisplayFirstLevelFolders[0]));
    EXPECT_FALSE(g().DisplayFirstLevelFolders[0]);
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("DisplayPrimaryPathFirstLevelFolders")), QStringLiteral("False"));
    EXPECT_EQ(main.lstFirstLevelFolders[0]->list(0), QStringLiteral("New"));
    // A click in the list never leaves an item selected.
    ASSERT_TRUE(ui::Input::listClick(*main.lstFirstLevelFolders[0], 0));
    EXPECT_EQ(main.lstFirstLevelFolders[0]->listIndex(), -1);
    // The next move shows the placeholder.
    ASSERT_TRUE(ui::Input::nodeClick(*main.tvwStructure[0], main.tvwStructure[0]->selectedItem()->key()));
    EXPECT_EQ(main.lstFirstLevelFolders[0]->list(0), QStringLiteral("Folder names not displayed."));
}

// ---- Network drives ---------------------------------------------------------------------

TEST_F(StartupTest, AMappedFolderShowsInBothTreesAndGoesAwayWhenUnmappedAndAFailureGivesItsNetworkCode)
{
    QTemporaryDir config;
    const testing_support::EnvGuard home("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    drive.folder(QStringLiteral("Shared/Inside"));
    writeIni(QStringLiteral("[General]\r\nStructureIndex=1\r\n"));
    main.load();
    desk.onModal(QStringLiteral("frmMapNetworkDrive"), [](ui::Form& f) {
        auto& dlg = static_cast<frmMapNetworkDrive&>(f);
        EXPECT_EQ(dlg.cboDrive->text(), QStringLiteral("D:"));
        ui::Input::type(*dlg.txtFolder, QStringLiteral("C:\\Nope"));
        ui::Input::click(*dlg.cmdOK);   // refused with a message, the window stays
        ui::Input::comboChoose(*dlg.cboDrive, 1);
        dlg.txtFolder->setText(QStringLiteral("C:\\Shared"));
        ui::Input::click(*dlg.cmdOK);
    });
    desk.expectMsgBox(QStringLiteral("Map network drive"), QStringLiteral("The folder 'C:\\Nope' does not exist."), 48, ui::vbOK);
    ASSERT_TRUE(ui::Input::click(*main.cmdMapNetworkDrive));
    for (int i = 0; i <= 1; ++i) {
        const ui::TreeNode* e = main.tvwStructure[i]->findNode(QStringLiteral("E:\\"));
        ASSERT_NE(e, nullptr) << i;
        ASSERT_EQ(e->children(), 1);
        EXPECT_EQ(e->child()->text(), QStringLiteral("Inside"));
    }
    EXPECT_EQ(g().CurrentPath[0], QStringLiteral("C:"));
    EXPECT_EQ(g().CurrentStructure, 1);
    EXPECT_TRUE(main.tvwStructure[1]->hasFocus());
    // The letter lasts across runs: it is in the user's drive map.
    ASSERT_EQ(platform::UserDriveMap::load().size(), 1u);
    EXPECT_EQ(platform::UserDriveMap::load()[0].letter, QChar(u'E'));

    desk.onModal(QStringLiteral("frmDisconnectNetworkDrive"), [](ui::Form& f) {
        auto& dlg = static_cast<frmDisconnectNetworkDrive&>(f);
        ASSERT_EQ(dlg.lstDrives->listCount(), 1);
        EXPECT_TRUE(dlg.lstDrives->list(0).startsWith(QStringLiteral("E:")));
        ui::Input::listClick(*dlg.lstDrives, 0);
        ui::Input::click(*dlg.cmdOK);
    });
    ASSERT_TRUE(ui::Input::click(*main.cmdUnMapNetworkDrive));
    for (int i = 0; i <= 1; ++i)
        EXPECT_EQ(main.tvwStructure[i]->findNode(QStringLiteral("E:\\")), nullptr);
    EXPECT_TRUE(platform::UserDriveMap::load().empty());
    // Nothing mapped: the user is told, and it is no error.
    desk.expectMsgBox(QStringLiteral("Unmap network drive"), QStringLiteral("No drive letter is mapped."), 64, ui::vbOK);
    ASSERT_TRUE(ui::Input::click(*main.cmdUnMapNetworkDrive));

    // Cancelled, or refused by the mounter.
    Long err = -1;
    desk.onModal(QStringLiteral("frmMapNetworkDrive"), [](ui::Form& f) { ui::Input::click(*static_cast<frmMapNetworkDrive&>(f).cmdCancel); });
    EXPECT_FALSE(ShowMapNetworkDriveDialog(&main, err));
    EXPECT_EQ(err, 0);

    platform::FakeMounter mounter;
    platform::ServiceOverride<platform::NetworkMounter> use(platform::setNetworkMounter, &mounter);
    auto answer = [&](const QString& address) {
        desk.onModal(QStringLiteral("frmMapNetworkDrive"), [address](ui::Form& f) {
            auto& dlg = static_cast<frmMapNetworkDrive&>(f);
            dlg.txtFolder->setText(address);
            ui::Input::click(*dlg.cmdOK);
        });
    };
    auto mapAddress = [&](const QString& address) {
        answer(address);
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
    // The main window reports a failure with the name of its code.
    answer(QStringLiteral("smb://server/share"));
    desk.expectMsgBoxContaining(QStringLiteral("Tarnwick [ MND1000-WN_FUNCTION_BUSY ]"), QStringLiteral("170"), 36, ui::vbNo);
    main.mnuToolsMapNetworkDrive->Click();

    EXPECT_EQ(NetworkErrorName(170, false), QStringLiteral("WN_FUNCTION_BUSY"));
    EXPECT_EQ(NetworkErrorName(170, true), QString());
    EXPECT_EQ(NetworkErrorName(1208, true), QStringLiteral("WN_EXTENDED_ERROR"));
    EXPECT_EQ(NetworkErrorName(1222, false), QStringLiteral("WN_NO_NETWORK"));
    EXPECT_EQ(NetworkErrorName(8, true), QStringLiteral("WN_OUT_OF_MEMORY"));
    EXPECT_EQ(NetworkErrorName(5, false), QString());
}

// ---- Closing --------------------------------------------------------------------------------

const QString kResetQuestion = QStringLiteral(
    "You have asked to reset all of the settings to their initial values.\r\n\r\nDo you really want this to happen?");

TEST_F(StartupTest, ResetAnsweredYesMovesTheIniOverAnOlderBackupAndTheNextStartRunsOnDefaults)
{
    writeIni(QStringLiteral("[General]\r\nNumberOfLevels=7\r\n"));
    drive.file(QStringLiteral("Quillmarsh.bak"), "old backup");
    main.load();
    ASSERT_EQ(g().NumberOfLevelsLimit, 7);
    g().ResetSettingsOnExit = true;
    desk.expectMsgBox(QStringLiteral("Reset settings"), kResetQuestion, ui::vbQuestionYesNoDefNo, ui::vbYes);
    desk.expectMsgBox(QStringLiteral("Reset settings"),
                      QStringLiteral("The current settings of the application, have been saved in 'C:\\Quillmarsh.bak'."),
                      ui::vbInformationOK, ui::vbOK);
    EXPECT_THROW(ui::Input::closeBox(main), ui::ProgramEnd);
    EXPECT_FALSE(iniExists());
    EXPECT_TRUE(drive.bytes(QStringLiteral("Quillmarsh.bak")).contains("NumberOfLevels=7"));
}

TEST_F(StartupTest, ResetAnsweredNoKeepsTheIniAndStillCloses)
{
    main.load();
    g().ResetSettingsOnExit = true;
    desk.expectMsgBox(QStringLiteral("Reset settings"), kResetQuestion, ui::vbQuestionYesNoDefNo, ui::vbNo);
    EXPECT_THROW(ui::Input::choose(*main.mnuFileExit), ui::ProgramEnd);
    EXPECT_TRUE(iniExists());
    EXPECT_FALSE(QFile::exists(drive.native(QStringLiteral("Quillmarsh.bak"))));
}

TEST_F(StartupTest, ResetWithTheIniGoneAsksNothingAndTheEndButtonCloses)
{
    main.load();
    g().ResetSettingsOnExit = true;
    ASSERT_TRUE(QFile::remove(drive.native(QStringLiteral("Quillmarsh.ini"))));
    EXPECT_THROW(ui::Input::click(*main.cmdEndApplication), ui::ProgramEnd);
    EXPECT_FALSE(iniExists());
}

// ---- A settings file that cannot be used ----------------------------------------------

TEST_F(StartupTest, AFolderInPlaceOfTheIniGivesOneMessageAndTheWindowStartsOnDefaults)
{
    drive.folder(QStringLiteral("Quillmarsh.ini"));
    desk.expectMsgBoxContaining(QStringLiteral("Tarnwick"),
                                QStringLiteral("The settings file 'C:\\Quillmarsh.ini' cannot be used: it is not a file."),
                                ui::vbExclamationOK, ui::vbOK);
    main.load();
    EXPECT_TRUE(main.isShown() && g().CommonFilesOnly);
    EXPECT_TRUE(QDir(drive.native(QStringLiteral("Quillmarsh.ini"))).isEmpty());
    CheckIniFile(g().IniFileName + QStringLiteral(".gone"));   // no refusal outlives the test
}

TEST_F(StartupTest, TemporariesThatKilledWritesLeftAreRemovedAndOthersKept)
{
    const QString stale = QStringLiteral(".Quillmarsh.ini.qmtmp-AbC123"), young = QStringLiteral(".Quillmarsh.ini.qmtmp-XyZ789"),
                  foreign = QStringLiteral(".Other.ini.qmtmp-AbC123"), saved = QStringLiteral(".PrimarySavedPaths.txt.qmtmp-AbC123"),
                  notOurs = QStringLiteral(".Quillmarsh.ini.other-AbC123");
    const QDateTime old = QDateTime::currentDateTime().addSecs(-3600);
    for (const QString& name : {stale, young, foreign, saved, notOurs}) {
        drive.file(name, QByteArray(1000, 'x'));
        QFile f(drive.native(name));
        ASSERT_TRUE(name == young || (f.open(QIODevice::ReadWrite) && f.setFileTime(old, QFileDevice::FileModificationTime)));
    }
    main.load();
    EXPECT_FALSE(QFile::exists(drive.native(stale)) || QFile::exists(drive.native(saved)));
    EXPECT_TRUE(QFile::exists(drive.native(young)));   // a write of a running copy, maybe
    EXPECT_TRUE(QFile::exists(drive.native(foreign)) && QFile::exists(drive.native(notOurs)));
}

// ---- Help files ------------------------------------------------------------------------------

TEST(MainWindowHelpFiles, EveryControlWithHelpHasATopicInBothLanguages)
{
    // The copies the build puts beside the program.
    const QString folder = QCoreApplication::applicationDirPath() + u'/';
    for (const char* name : {"QuillmarshUK.hlp", "QuillmarshGR.hlp"}) {
        const ui::qt::HelpFile help = ui::qt::HelpFile::load(folder + QLatin1String(name));
        for (int topic = mainwindow::htCompare; topic <= mainwindow::htStructureTree; ++topic) {
            EXPECT_TRUE(help.contains(topic)) << name << " " << topic;
            EXPECT_GE(help.topic(topic).size(), 40) << name << " " << topic;
        }
    }
}

} // namespace
