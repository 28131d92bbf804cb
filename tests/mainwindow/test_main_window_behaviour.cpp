// The main window's own behaviour, headless: the start-up on no INI, on odd
// values and on display flags; the second copy; the structure choice; the
// language switch; Up one level; the display boxes; the settings reset when
// the window closes.
#include "mainwindow_fixture.h"
#include "platform/Application.h"
#include "shared/frmHiddenForm.h"
#include "ui/qt/HelpFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>

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
        // The program lives at the root of the temporary drive C:.
        platform::app().setPath(QStringLiteral("C:"));
        main.anotherCopyRunning = [] { return false; };
        main.languageChanged = [this](bool greek) { languages << greek; };
    }
    void writeIni(const QString& text) { drive.file(QStringLiteral("Quillmarsh.ini"), text.toUtf8()); }
    bool iniExists() const { return QFile::exists(drive.native(QStringLiteral("Quillmarsh.ini"))); }
    QString ini(const QString& section, const QString& key)
    {
        Integer len = 0;
        Long err = 0;
        return GetIniString(g().IniFileName, section, key, 2048, QStringLiteral("<missing>"), len, err);
    }
    void closeWindow()
    {
        EXPECT_THROW(ui::Input::closeBox(main), ui::ProgramEnd);
    }

    QList<bool> languages;
};

// ---- Start-up ---------------------------------------------------------------------

TEST_F(StartupTest, WithoutAnIniEverySettingTakesItsDefaultAndTheStartWritesLanguageAndStructure)
{
    ASSERT_FALSE(iniExists());
    main.load();

    EXPECT_TRUE(main.isShown());
    EXPECT_EQ(QStringList({g().ApplicationPath, g().IniFileName, g().HelpFileEnglish, g().HelpFileGreek, g().SavedPathsFileName[1],
                           g().ApplicationTitle, g().InitialPath[0], g().CurrentPath[0], g().CurrentPath[1], g().FileTypesPattern,
                           g().DateFormatName, g().TimeFormatName}),
              QStringList({"C:", "C:\\Quillmarsh.ini", "C:\\QuillmarshUK.hlp", "C:\\QuillmarshGR.hlp", "C:\\SecondarySavedPaths.txt",
                           "Tarnwick", "C:", "C:", "C:", "*.*", "short", "long"}));
    // Numbers, then switches in the order: Greek, differences only, fail-safe, reset on exit; common files only,
    // folder choice, options first, the four attributes, print reminder, extended information.
    EXPECT_EQ(QList<long long>({g().CurrentStructure, g().ComparisonMode, g().ExportStructureSelection, g().ImportStructureSelection,
                                g().NumberOfLevelsLimit, g().PrintDestinationIndex, g().StructureColour[0]}),
              QList<long long>({0, 0, 1, 1, 1, 0, 0x80C0FF}));
    for (bool off : {g().LanguageIsGreek, g().DifferencesOnly, g().FailSafeChecks, g().ResetSettingsOnExit}) EXPECT_FALSE(off);
    for (bool on : {g().CommonFilesOnly, g().FolderIncludeExcludeEnabled, g().ShowOptionsBeforeComparison, g().IncludeHiddenFiles,
                    g().IncludeSystemFiles, g().IncludeReadOnlyFiles, g().IncludeArchiveFiles, g().RemindToPrint,
                    g().ShowExtendedInformation})
        EXPECT_TRUE(on);
    const Long widths[] = {200, 2345, 2345, 1250, 1250, 1000, 1000, 850, 850};
    for (int i = 0; i < kGridColumns; ++i) EXPECT_EQ(g().GridColumnWidth[std::size_t(i)], widths[i]) << i;
    EXPECT_FALSE(g().PageSetupFontName.isEmpty());

    // The first start creates the INI with the language and the structure only.
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("Language")), QStringLiteral("False"));
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("StructureIndex")), QStringLiteral("0"));
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("DisplayPrimaryPathFirstLevelFolders")), QStringLiteral("<missing>"));

    // English captions, the check mark at English, the pop-up items greyed,
    // the Primary Structure selected with its colour and cursor.
    EXPECT_EQ(main.mnuFile->caption(), QStringLiteral("File"));
    EXPECT_TRUE(main.mnuToolsEnglish->checked());
    EXPECT_FALSE(main.mnuToolsGreek->checked());
    EXPECT_EQ(ui::helpFile(), QStringLiteral("C:\\QuillmarshUK.hlp"));
    EXPECT_EQ(languages, QList<bool>{false});
    for (ui::Menu* m : {main.mnuSavePathHelp, main.mnuSavePathCancel, main.mnuRecallPathHelp, main.mnuRecallPathCancel,
                        main.mnuSettingsHelp, main.mnuSettingsCancel})
        EXPECT_FALSE(m->enabled()) << m->name().toStdString();
    EXPECT_TRUE(main.optStructure[0]->value());
    EXPECT_EQ(main.optStructure[0]->backColor(), 0x80C0FFu);
    EXPECT_EQ(main.optStructure[1]->backColor(), 0xE0E0E0u);
    EXPECT_EQ(main.optStructure[1]->mousePointer(), ui::vbCustom);
    EXPECT_EQ(main.optStructure[1]->mouseIcon(), HiddenForm().imgStructureCursor[1]->picture());
    EXPECT_EQ(main.cmdRefresh->mouseIcon(), HiddenForm().imgStructureCursor[0]->picture());
    EXPECT_TRUE(main.tvwStructure[0]->hasFocus());
    EXPECT_EQ(main.lblCurrentFullPath[1]->caption(), QStringLiteral("C:\\"));
}

TEST_F(StartupTest, OutOfRangeAndMisspeltValuesFallBackToTheirDefaults)
{
    drive.folder(QStringLiteral("Left"));
    writeIni(QStringLiteral("[General]\r\nLanguage=true\r\nStructureIndex=2\r\nComparison=3\r\nExportStructure=7\r\n"
                            "ImportStructure=-1\r\nNumberOfLevels=3.0\r\nPrintDestination=2\r\nDateFormat=Long\r\n"
                            "TimeFormat=SHORT\r\nFailSafe=yes\r\nPrimaryInitialPath=C:\\Left\r\nSecondaryInitialPath=   \r\n"
                            "[FileAttributes]\r\nPattern=  \r\nHidden=FALSE\r\n"
                            "[GridColumnWidths]\r\n4=150\r\n7=32768\r\n8=32767\r\n"));
    main.load();

    EXPECT_TRUE(g().LanguageIsGreek);
    EXPECT_EQ(g().CurrentStructure, 0);
    EXPECT_EQ(g().ComparisonMode, 0);
    EXPECT_EQ(g().ExportStructureSelection, 1);
    EXPECT_EQ(g().ImportStructureSelection, 1);
    EXPECT_EQ(g().NumberOfLevelsLimit, 1);
    EXPECT_EQ(g().PrintDestinationIndex, 2);
    EXPECT_EQ(g().DateFormatName, QStringLiteral("short"));
    EXPECT_EQ(g().TimeFormatName, QStringLiteral("long"));
    EXPECT_FALSE(g().FailSafeChecks);
    EXPECT_EQ(g().FileTypesPattern, QStringLiteral("*.*"));
    EXPECT_FALSE(g().IncludeHiddenFiles);
    EXPECT_EQ(g().GridColumnWidth[4], 1250);
    EXPECT_EQ(g().GridColumnWidth[7], 850);
    EXPECT_EQ(g().GridColumnWidth[8], 32767);
    EXPECT_EQ(g().CurrentPath[0], QStringLiteral("C:\\Left"));
    EXPECT_EQ(g().CurrentPath[1], QStringLiteral("C:"));
    // Greek on screen, and the odd values are written back corrected.
    EXPECT_EQ(main.mnuFile->caption(), QStringLiteral("Αρχείο"));
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("Language")), QStringLiteral("True"));
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("StructureIndex")), QStringLiteral("0"));
    EXPECT_EQ(languages, QList<bool>{true});
}

TEST_F(StartupTest, NumberOfLevelsZeroAndALongInitialPathAreKept)
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
    writeIni(QStringLiteral("[General]\r\nNumberOfLevels=0\r\nPrimaryInitialPath=") + deep + QStringLiteral("\r\n"));
    main.load();
    EXPECT_EQ(g().NumberOfLevelsLimit, 0);
    // A path longer than the old 2,047-character buffer is not cut short.
    EXPECT_EQ(g().CurrentPath[0], deep);
}

TEST_F(StartupTest, ADisplayFlagTrueChecksItsBoxFillsItsListAndIsWrittenBackInTheProgramsSpelling)
{
    drive.file(QStringLiteral("b.txt"));
    drive.file(QStringLiteral("a.txt"));
    writeIni(QStringLiteral("[General]\r\nDisplaySecondaryPathFirstLevelFiles=TRUE\r\nStructureIndex=1\r\n"));
    main.load();

    EXPECT_TRUE(g().DisplayFirstLevelFiles[1]);
    EXPECT_EQ(main.chkDisplayFirstLevelFiles[1]->value(), 1);
    EXPECT_EQ(main.chkDisplayFirstLevelFiles[0]->value(), 0);
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("DisplaySecondaryPathFirstLevelFiles")), QStringLiteral("True"));
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("DisplayPrimaryPathFirstLevelFiles")), QStringLiteral("<missing>"));
    // The list shows the files in order, the other side only its placeholder.
    const ui::ListBox& files = *main.lstFirstLevelFiles[1];
    ASSERT_GE(files.listCount(), 3);   // a.txt, b.txt and the INI itself
    EXPECT_EQ(files.list(0), QStringLiteral("a.txt"));
    EXPECT_EQ(main.lstFirstLevelFiles[0]->list(0), QStringLiteral("File names not displayed."));
    // The Secondary Structure comes up selected (its colours: the choice's own test).
    EXPECT_TRUE(g().CurrentStructure == 1 && main.optStructure[1]->value());
}

TEST_F(StartupTest, ASecondCopyShowsItsNoticeEndsAndWritesNothing)
{
    main.anotherCopyRunning = [] { return true; };
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

TEST_F(StartupTest, LanguageSwitchesBackAndForthWithCaptionsChecksHelpFileAndKey)
{
    main.load();
    ASSERT_TRUE(ui::Input::choose(*main.mnuToolsGreek));
    EXPECT_TRUE(g().LanguageIsGreek);
    EXPECT_TRUE(main.mnuToolsGreek->checked());
    EXPECT_FALSE(main.mnuToolsEnglish->checked());
    EXPECT_EQ(main.mnuTools->caption(), QStringLiteral("Εργαλεία"));
    EXPECT_EQ(main.lblStructure[0]->caption(), QStringLiteral("Πρωτεύουσα δομή"));
    EXPECT_EQ(main.cmdUpOneLevel->toolTipText(), QStringLiteral("Ένα επίπεδο επάνω ... Bksp"));
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
    EXPECT_EQ(main.caption(), QStringLiteral("Tarnwick"));
    EXPECT_EQ(ui::helpFile(), QStringLiteral("C:\\QuillmarshUK.hlp"));
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("Language")), QStringLiteral("False"));
    EXPECT_EQ(languages, (QList<bool>{false, true, true, false}));
}

TEST_F(StartupTest, ARightClickOnALanguageButtonShowsItsHelpAndSwitchesNothing)
{
    main.load();
    ASSERT_TRUE(ui::Input::rightClick(*main.cmdLanguage[0]));
    EXPECT_FALSE(g().LanguageIsGreek);
    const auto helps = desk.entries(ui::HeadlessDesktop::Entry::Help);
    ASSERT_EQ(helps.size(), 1);
    EXPECT_EQ(helps[0].title, QStringLiteral("C:\\QuillmarshUK.hlp"));
    EXPECT_EQ(helps[0].style, main.cmdLanguage[0]->helpTopic());
}

// ---- Navigation ---------------------------------------------------------------------------

TEST_F(StartupTest, UpOneLevelClimbsToTheDriveAndThereSaysItCannotGoFurther)
{
    drive.folder(QStringLiteral("A/B"));
    writeIni(QStringLiteral("[General]\r\nPrimaryInitialPath=C:\\A\\B\r\nDisplayPrimaryPathFirstLevelFolders=True\r\n"));
    main.load();
    ASSERT_EQ(g().CurrentPath[0], QStringLiteral("C:\\A\\B"));

    // Backspace with Shift held goes up too.
    ASSERT_TRUE(ui::Input::key(main, ui::vbKeyBack, ui::vbShiftMask));
    EXPECT_EQ(g().CurrentPath[0], QStringLiteral("C:\\A"));
    EXPECT_EQ(main.lblCurrentFullPath[0]->caption(), QStringLiteral("C:\\A\\"));
    EXPECT_EQ(main.lstFirstLevelFolders[0]->list(0), QStringLiteral("B"));

    ASSERT_TRUE(ui::Input::choose(*main.mnuToolsUpOneLevel));
    EXPECT_EQ(g().CurrentPath[0], QStringLiteral("C:"));
    EXPECT_EQ(main.tvwStructure[0]->selectedItem()->key(), QStringLiteral("C:\\"));

    desk.expectMsgBox(kUpTitle, kUpText, ui::vbInformationOK, ui::vbOK);
    ASSERT_TRUE(ui::Input::click(*main.cmdUpOneLevel));
    EXPECT_EQ(g().CurrentPath[0], QStringLiteral("C:"));
    EXPECT_EQ(main.tvwStructure[0]->selectedItem()->key(), QStringLiteral("C:\\"));
    // The Secondary Structure stayed where it was.
    EXPECT_EQ(g().CurrentPath[1], QStringLiteral("C:"));
}

TEST_F(StartupTest, UpOneLevelActsOnTheChosenStructureAndSpeaksGreek)
{
    drive.folder(QStringLiteral("A/B"));
    writeIni(QStringLiteral("[General]\r\nLanguage=True\r\nStructureIndex=1\r\nPrimaryInitialPath=C:\\A\\B\r\n"
                            "SecondaryInitialPath=C:\\A\r\n"));
    main.load();
    ASSERT_TRUE(ui::Input::nodeClick(*main.tvwStructure[0], QStringLiteral("C:\\A\\")));
    EXPECT_EQ(g().CurrentPath[0], QStringLiteral("C:\\A"));
    ASSERT_TRUE(ui::Input::key(main, ui::vbKeyBack));
    EXPECT_EQ(g().CurrentPath[1], QStringLiteral("C:"));
    EXPECT_EQ(g().CurrentPath[0], QStringLiteral("C:\\A"));
    desk.expectMsgBoxContaining(QStringLiteral("Ένα επίπεδο επάνω"), QStringLiteral("Βρίσκεστε ήδη στο πρώτο επίπεδο"),
                                ui::vbInformationOK, ui::vbOK);
    ASSERT_TRUE(ui::Input::key(main, ui::vbKeyBack, ui::vbCtrlMask | ui::vbAltMask));
}

TEST_F(StartupTest, RefreshShowsANewFolderAndKeepsTheSelection)
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
}

TEST_F(StartupTest, ClearingADisplayBoxWritesItsKeyAtOnceAndLeavesTheListUntilTheNextMove)
{
    drive.folder(QStringLiteral("Sub"));
    writeIni(QStringLiteral("[General]\r\nDisplayPrimaryPathFirstLevelFolders=True\r\n"));
    main.load();
    ASSERT_EQ(main.lstFirstLevelFolders[0]->list(0), QStringLiteral("Sub"));
    ASSERT_TRUE(ui::Input::click(*main.chkDisplayFirstLevelFolders[0]));
    EXPECT_FALSE(g().DisplayFirstLevelFolders[0]);
    EXPECT_EQ(ini(QStringLiteral("General"), QStringLiteral("DisplayPrimaryPathFirstLevelFolders")), QStringLiteral("False"));
    EXPECT_EQ(main.lstFirstLevelFolders[0]->list(0), QStringLiteral("Sub"));
    // A click in the list never leaves an item selected.
    ASSERT_TRUE(ui::Input::listClick(*main.lstFirstLevelFolders[0], 0));
    EXPECT_EQ(main.lstFirstLevelFolders[0]->listIndex(), -1);
    // The next move shows the placeholder.
    ASSERT_TRUE(ui::Input::nodeClick(*main.tvwStructure[0], main.tvwStructure[0]->selectedItem()->key()));
    EXPECT_EQ(main.lstFirstLevelFolders[0]->list(0), QStringLiteral("Folder names not displayed."));
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
    closeWindow();
    EXPECT_FALSE(iniExists());
    QFile bak(drive.native(QStringLiteral("Quillmarsh.bak")));
    ASSERT_TRUE(bak.open(QIODevice::ReadOnly));
    EXPECT_TRUE(bak.readAll().contains("NumberOfLevels=7"));
}

TEST_F(StartupTest, ResetAnsweredNoKeepsTheIniAndStillCloses)
{
    main.load();
    g().ResetSettingsOnExit = true;
    desk.expectMsgBox(QStringLiteral("Reset settings"), kResetQuestion, ui::vbQuestionYesNoDefNo, ui::vbNo);
    EXPECT_THROW(ui::Input::choose(*main.mnuFileExit), ui::ProgramEnd);
    EXPECT_TRUE(ui::programHasEnded());
    EXPECT_TRUE(iniExists());
    EXPECT_FALSE(QFile::exists(drive.native(QStringLiteral("Quillmarsh.bak"))));
}

TEST_F(StartupTest, ResetWithTheIniGoneAsksNothingAndTheEndButtonCloses)
{
    main.load();
    g().ResetSettingsOnExit = true;
    ASSERT_TRUE(QFile::remove(drive.native(QStringLiteral("Quillmarsh.ini"))));
    EXPECT_THROW(ui::Input::click(*main.cmdEndApplication), ui::ProgramEnd);
    EXPECT_TRUE(ui::programHasEnded());
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
