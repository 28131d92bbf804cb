// The main window's own behaviour, headless: the start-up on no INI, on its
// values and on odd ones; the second copy; the structure choice; the language
// switch; Up one level; the path labels, first-level lists and display boxes
// over temporary folders mounted as drives; network drives; the settings
// reset when the window closes.
#include "mainwindow_fixture.h"
#include "mainwindow/MainWindowCaptions.h"
#include "platform/AtomicFile.h"
#include "platform/FakeMounter.h"
#include "platform/ServiceOverride.h"
#include "platform/WriteJournal.h"
#include "shared/basCommonDialogManager.h"
#include "shared/basTreeViewManager.h"
#include "shared/frmHiddenForm.h"
#include "shared/SettingsTable.h"
#include "shared/frmMapNetworkDrive.h"
#include "user_ini.h"

#include <QCoreApplication>
#include <QDir>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

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

// A setting as the INI spells it.
QString text(bool on) { return on ? QStringLiteral("True") : QStringLiteral("False"); }

// For a row of the settings table: a line value it accepts other than its
// default, written as the reader must tidy it; what the setting then holds;
// and an odd value, which gives the default: a word that is no boolean, a
// name in the wrong letter case, a number out of range either way or not
// whole (the rows take turns).
struct Line {
    QString value, taken, odd;
};
Line lineFor(const Setting& s)
{
    Globals probe;
    const SettingVariable variable = s.variable(probe);
    if (std::holds_alternative<bool*>(variable))
        return s.byDefault ? Line{QStringLiteral(" false "), QStringLiteral("False"), QStringLiteral("no")}
                           : Line{QStringLiteral("TRUE"), QStringLiteral("True"), QStringLiteral("1")};
    if (std::holds_alternative<QString*>(variable)) {
        if (!s.only[0]) {   // the test makes the folder; a path (no default) longer than the old 2,047-character buffer
            QString path = QStringLiteral("C:\\") + QLatin1String(s.key);
            for (int k = 0; k < 9 && !s.defaultText; ++k)
                path += u'\\' + QString(250, QChar(u'a' + k));
            return Line{QStringLiteral("  ") + path + QStringLiteral("  "), path, QStringLiteral("   ")};
        }
        // The other accepted value; its letter case counts.
        const bool first = QString::fromUtf16(s.defaultText) == QLatin1String(s.only[0]);
        const QString other = QLatin1String(s.only[first ? 1 : 0]);
        return Line{u' ' + other + u' ', other, other.left(1).toUpper() + other.mid(1)};
    }
    const QString v = QString::number(s.maximum != s.byDefault ? s.maximum : s.minimum);
    const QString odd[] = {QString::number(qint64(s.maximum) + 1), QString::number(qint64(s.minimum) - 1), v + QStringLiteral(".0")};
    return Line{u' ' + v + u' ', v, odd[std::size_t(&s - Settings().data()) % 3]};
}

// The settings a start without an INI gives, with the program's folder.
Globals defaults()
{
    Globals d;
    d.ApplicationPath = QStringLiteral("C:");
    ApplyDefaultSettings(d);
    return d;
}

TEST(SettingsTable, EveryRowFillsItsOwnVariableUnderItsOwnKey)
{
    Globals probe;
    QSet<const void*> variables;
    QSet<QString> keys;
    for (const Setting& s : Settings()) {
        variables.insert(std::visit([](auto* v) { return static_cast<const void*>(v); }, s.variable(probe)));
        keys.insert(QLatin1String(s.section) + u'/' + QLatin1String(s.key));
    }
    EXPECT_EQ(variables.size(), qsizetype(Settings().size()));
    EXPECT_EQ(keys.size(), qsizetype(Settings().size()));
    // No row lost: 32 keys of General and FileAttributes, 9 column widths;
    // Options' Apply writes 22 of them.
    EXPECT_EQ(Settings().size(), 41u);
    EXPECT_EQ(OptionsApplySettings().size(), 22u);
    // The rows are the keys of a user's file, in its order, with its defaults.
    Globals byDefault;
    byDefault.ApplicationPath = QStringLiteral("C:");
    ApplyDefaultSettings(byDefault);
    ASSERT_EQ(Settings().size(), std::size(user_ini::kIni));
    for (std::size_t k = 0; k < Settings().size(); ++k) {
        const Setting& s = Settings()[k];
        const user_ini::IniSetting& u = user_ini::kIni[k];
        EXPECT_EQ(QLatin1String(s.section) + u'/' + QLatin1String(s.key), QLatin1String(u.section) + u'/' + QLatin1String(u.key));
        EXPECT_EQ(SettingText(s, byDefault), QLatin1String(u.byDefault)) << u.key;
    }
}

TEST_F(StartupTest, WithoutAnIniEverySettingTakesItsDefaultAndTheStartWritesLanguageAndStructure)
{
    ASSERT_FALSE(iniExists());
    main.load();
    Globals byDefault = defaults();
    for (const Setting& s : Settings())
        EXPECT_EQ(SettingText(s, g()), SettingText(s, byDefault)) << s.key;
    for (ui::Control* c : main.controls())
        EXPECT_TRUE(c->kind() != ui::ControlKind::CommandButton || c->helpTopic() != 0) << c->name().toStdString();
    EXPECT_EQ(QStringList({g().ApplicationPath, g().IniFileName, g().HelpFileEnglish, g().HelpFileGreek, g().SavedPathsFileName[1],
                           g().ApplicationTitle, g().InitialPath[0], g().CurrentPath[1]}),
              QStringList({"C:", "C:\\Quillmarsh.ini", "C:\\QuillmarshUK.hlp", "C:\\QuillmarshGR.hlp", "C:\\SecondarySavedPaths.txt",
                           "Tarnwick", "C:", "C:"}));
    EXPECT_FALSE(g().PageSetupFontName.isEmpty());

    // The first start creates the INI with the language and the structure only.
    EXPECT_EQ(iniBytes(), "[General]\r\nLanguage=False\r\nStructureIndex=0\r\n");

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

    // Choosing the Secondary Structure recolours, re-cursors and is kept.
    ASSERT_TRUE(ui::Input::click(*main.optStructure[1]));
    EXPECT_EQ(main.optStructure[1]->backColor(), 0xFFFF80u);
    EXPECT_EQ(main.optStructure[1]->foreColor(), 0xFFFF80u);
    EXPECT_EQ(main.optStructure[0]->backColor(), 0xE0E0E0u);
    for (ui::CommandButton* b : {main.cmdUpOneLevel, main.cmdSavePath, main.cmdRecallSavedPath, main.cmdRefresh})
        EXPECT_EQ(b->mouseIcon(), HiddenForm().imgStructureCursor[1]->picture()) << b->name().toStdString();
    EXPECT_TRUE(main.tvwStructure[1]->hasFocus());
    EXPECT_TRUE(iniBytes().contains("StructureIndex=1\r\n"));
    ASSERT_TRUE(ui::Input::click(*main.optStructure[0]));
    EXPECT_TRUE(iniBytes().contains("StructureIndex=0\r\n"));
}

// Every line of the INI taken (true: its value; false: its odd value).
class StartupSettings : public StartupTest, public ::testing::WithParamInterface<bool> {};

TEST_P(StartupSettings, EveryLineReachesItsSettingAndAnOddValueGivesTheDefault)
{
    const bool taken = GetParam();
    QStringList sections;
    QMap<QString, QString> lines;
    for (const Setting& s : Settings()) {
        const Line line = lineFor(s);
        if (line.taken.startsWith(QStringLiteral("C:\\")))
            drive.folder(line.taken.mid(3).replace(u'\\', u'/'));
        const QString section = QLatin1String(s.section);
        if (!sections.contains(section))
            sections << section;
        lines[section] += QLatin1String(s.key) + u'=' + (taken ? line.value : line.odd) + QStringLiteral("\r\n");
    }
    QString content;
    for (const QString& section : sections)
        content += u'[' + section + QStringLiteral("]\r\n") + lines[section];
    writeIni(content);
    main.load();
    Globals byDefault = defaults();
    for (const Setting& s : Settings())
        EXPECT_EQ(SettingText(s, g()), taken ? lineFor(s).taken : SettingText(s, byDefault)) << s.key;

    // What the window shows of them at once.
    EXPECT_EQ(main.mnuFile->caption() + u' ' + text(main.mnuToolsGreek->checked()),
              taken ? QStringLiteral("Αρχείο True") : QStringLiteral("File False"));
    EXPECT_EQ(languages, QList<bool>{taken});
    EXPECT_TRUE(main.optStructure[g().CurrentStructure]->value());
    EXPECT_EQ(main.freeSizer1->resizeFonts(), g().ResizeFontEnabled);
    for (std::size_t i = 0; i <= 1; ++i) {
        EXPECT_EQ(g().CurrentPath[i], g().InitialPath[i]);
        EXPECT_EQ(main.chkDisplayFirstLevelFolders[int(i)]->value(), g().DisplayFirstLevelFolders[i] ? 1 : 0);
        EXPECT_EQ(main.chkDisplayFirstLevelFiles[int(i)]->value(), g().DisplayFirstLevelFiles[i] ? 1 : 0);
    }
    // A box the start-up ticks writes its key back in the program's spelling.
    const char* box = FindSetting(g(), &g().DisplayFirstLevelFiles[1])->key;
    EXPECT_TRUE(iniBytes().contains(QByteArray(box) + (taken ? "=True\r\n" : "=1\r\n")));
}

INSTANTIATE_TEST_SUITE_P(Startup, StartupSettings, ::testing::Bool());

TEST_F(StartupTest, ASecondCopyShowsItsNoticeEndsAndWritesNothing)
{
    // The first copy holds the lock of the same application folder.
    platform::InstanceLock first(platform::app().nativePath());
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

// Run only by the test below, as a copy of the program of its own: takes
// the instance lock of the folder it is given, says whether it may run, and
// holds on until its input closes.
TEST(SecondCopy, DISABLED_Child)
{
    const QString folder = qEnvironmentVariable("QM_APPLICATION_FOLDER");
    if (folder.isEmpty())
        GTEST_SKIP();
    platform::setDrives(platform::DriveTable({platform::Drive{QLatin1Char('C'), folder, {}, {}, {}, platform::driveFixed, false}}));
    platform::app().setPath(QStringLiteral("C:"));
    std::printf("\ncopy: %s\n", platform::app().previousInstance() ? "refused" : "running");
    std::fflush(stdout);
    char c = 0;
    while (std::fread(&c, 1, 1, stdin) == 1) {
    }
}

TEST(SecondCopy, IsRefusedFromTheSameFolderWhateverItsEnvironment)
{
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("app"));
    ASSERT_TRUE(QDir().mkpath(folder));
    // Each copy has a home, runtime and cache folder of its own, as two
    // sessions (or two users' shells) would give it.
    const auto start = [&](QProcess& p, const QString& home) {
        const QString h = root.filePath(home);
        QDir().mkpath(h + QStringLiteral("/run"));
        QFile::setPermissions(h + QStringLiteral("/run"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), h);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), h + QStringLiteral("/run"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), h + QStringLiteral("/cache"));
        env.insert(QStringLiteral("QM_APPLICATION_FOLDER"), folder);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=SecondCopy.DISABLED_Child"), QStringLiteral("--gtest_also_run_disabled_tests")});
        while (p.waitForReadyRead(30000) || p.canReadLine()) {
            while (p.canReadLine()) {
                const QByteArray line = p.readLine().trimmed();
                if (line.startsWith("copy: "))
                    return line.mid(6);
            }
        }
        return QByteArray("no answer");
    };
    QProcess first, second, third;
    EXPECT_EQ(start(first, QStringLiteral("anna")), "running");
    EXPECT_EQ(start(second, QStringLiteral("boris")), "refused");
    second.closeWriteChannel();
    EXPECT_TRUE(second.waitForFinished(30000));
    // Once the first copy has ended, the next one runs.
    first.closeWriteChannel();
    EXPECT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(start(third, QStringLiteral("boris")), "running");
    third.closeWriteChannel();
    EXPECT_TRUE(third.waitForFinished(30000));
}

// ---- Language -----------------------------------------------------------------------------

TEST_F(StartupTest, LanguageSwitchesBackAndForthWithCaptionsChecksHelpFileKeyAndTheWorkingWord)
{
    drive.folder(QStringLiteral("Top/Sub1"));
    writeIni(QStringLiteral("[General]\r\nPrimaryInitialPath=C:\\Top\r\nDisplayPrimaryPathFirstLevelFolders=True\r\n"));
    main.load();
    main.lstFirstLevelFiles[1]->setTag(QStringLiteral("Processing.."));
    ASSERT_TRUE(ui::Input::choose(*main.mnuToolsGreek));
    EXPECT_TRUE(main.mnuToolsGreek->checked());
    EXPECT_EQ(main.mnuTools->caption(), QStringLiteral("Εργαλεία"));
    EXPECT_EQ(main.chkDisplayFirstLevelFiles[1]->caption(), QStringLiteral("Αρχεία πρώτου επιπέδου: Σε εξέλιξη..."));
    EXPECT_EQ(main.chkDisplayFirstLevelFolders[0]->caption(), QStringLiteral("Φάκελλοι πρώτου επιπέδου: 1."));
    EXPECT_EQ(items(*main.lstFirstLevelFolders[0]), QStringList{QStringLiteral("Sub1")});   // the filled list stays
    EXPECT_EQ(ui::helpFile(), QStringLiteral("C:\\QuillmarshGR.hlp"));
    EXPECT_TRUE(iniBytes().contains("Language=True\r\n"));

    // Greek again while Greek: applied again (the list of languages below).
    ASSERT_TRUE(ui::Input::click(*main.cmdLanguage[0]));

    ASSERT_TRUE(ui::Input::choose(*main.mnuToolsEnglish));
    EXPECT_FALSE(main.mnuToolsGreek->checked());
    EXPECT_EQ(main.mnuTools->caption(), QStringLiteral("Tools"));
    EXPECT_EQ(main.chkDisplayFirstLevelFiles[1]->caption(), QStringLiteral("First level files: Processing..."));
    EXPECT_EQ(ui::helpFile(), QStringLiteral("C:\\QuillmarshUK.hlp"));
    EXPECT_TRUE(iniBytes().contains("Language=False\r\n"));
    EXPECT_EQ(languages, (QList<bool>{false, true, true, false}));
}

// The three pop-up menus of the buttons: opened by its button, a menu offers
// Help (the button's own topic) and Cancel; opened any other way, both are
// greyed, also after the button has opened it.
TEST_F(StartupTest, EachButtonsPopUpOffersHelpAndCancelOnlyWhenTheButtonOpensIt)
{
    using Entry = ui::HeadlessDesktop::Entry;
    main.load();
    struct Pop {
        ui::CommandButton* button;
        ui::Menu* menu;
        ui::Menu* help;
        ui::Menu* cancel;
    };
    for (const Pop& p : {Pop{main.cmdSavePath, main.mnuSavePath, main.mnuSavePathHelp, main.mnuSavePathCancel},
                         Pop{main.cmdRecallSavedPath, main.mnuRecallPath, main.mnuRecallPathHelp, main.mnuRecallPathCancel},
                         Pop{main.cmdSettings, main.mnuSettings, main.mnuSettingsHelp, main.mnuSettingsCancel}}) {
        SCOPED_TRACE(p.menu->name().toStdString());
        desk.clearTranscript();
        desk.answerPopup(p.menu->name(), p.help->name());
        ASSERT_TRUE(ui::Input::click(*p.button));
        const QList<Entry> help = desk.entries(Entry::Help);
        ASSERT_EQ(help.size(), 1);
        EXPECT_EQ(help[0].style, p.button->helpTopic());
        desk.answerPopup(p.menu->name(), p.cancel->name());
        ASSERT_TRUE(ui::Input::click(*p.button));
        EXPECT_EQ(desk.entries(Entry::Help).size(), 1);
        p.menu->Click();
        EXPECT_FALSE(p.help->enabled());
        EXPECT_FALSE(p.cancel->enabled());
    }
    EXPECT_EQ(desk.failures(), QStringList());
}

// Each structure stores its paths in its own file beside the program, from
// the first start on.
TEST_F(StartupTest, EachStructureStoresItsPathInItsOwnFileBesideTheProgram)
{
    drive.folder(QStringLiteral("Left"));
    drive.folder(QStringLiteral("Right"));
    writeIni(QStringLiteral("[General]\r\nPrimaryInitialPath=C:\\Left\r\nSecondaryInitialPath=C:\\Right\r\n"));
    main.load();
    for (int s : {1, 0}) {
        ASSERT_TRUE(ui::Input::click(*main.optStructure[s]));
        desk.expectMsgBox(QStringLiteral("Store path"),
                          QStringLiteral("Do you really want to save path '%1', in the saved paths file?")
                              .arg(s == 0 ? QStringLiteral("C:\\Left") : QStringLiteral("C:\\Right")),
                          36, ui::vbYes);
        main.mnuSavePathRecent->Click();
    }
    EXPECT_EQ(drive.bytes(QStringLiteral("PrimarySavedPaths.txt")), "C:\\Left\r\n");
    EXPECT_EQ(drive.bytes(QStringLiteral("SecondarySavedPaths.txt")), "C:\\Right\r\n");
    EXPECT_EQ(desk.failures(), QStringList());
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

    // A refused step is no move: a list whose display box was cleared keeps its names.
    ASSERT_TRUE(ui::Input::click(*main.chkDisplayFirstLevelFolders[1]));
    const QStringList before = items(*main.lstFirstLevelFolders[1]);
    EXPECT_TRUE(before.contains(QStringLiteral("A")));
    desk.expectMsgBox(kUpTitle, kUpText, ui::vbInformationOK, ui::vbOK);
    ASSERT_TRUE(ui::Input::click(*main.cmdUpOneLevel));
    EXPECT_EQ(items(*main.lstFirstLevelFolders[1]), before);
}

// Collapsing a folder above the selected one moves the selection to it, and
// that structure's path, label and first-level list follow; a folder that
// does not hold the selection collapses and nothing else moves.
TEST_F(StartupTest, CollapsingAFolderAboveTheSelectionMovesItsStructureThereAndNoOtherCollapseDoes)
{
    drive.folder(QStringLiteral("A/B/C"));
    drive.folder(QStringLiteral("D/E"));
    writeIni(QStringLiteral("[General]\r\nPrimaryInitialPath=C:\\A\\B\\C\r\nSecondaryInitialPath=C:\\D\\E\r\n"
                            "DisplayPrimaryPathFirstLevelFolders=True\r\nDisplaySecondaryPathFirstLevelFolders=True\r\n"));
    main.load();
    ASSERT_TRUE(ui::Input::expand(*main.tvwStructure[0], QStringLiteral("C:\\D\\")));
    ASSERT_TRUE(ui::Input::collapse(*main.tvwStructure[0], QStringLiteral("C:\\D\\")));
    EXPECT_EQ(g().CurrentPath[0], QStringLiteral("C:\\A\\B\\C"));
    EXPECT_EQ(main.tvwStructure[0]->selectedItem()->key(), QStringLiteral("C:\\A\\B\\C\\"));

    ASSERT_TRUE(ui::Input::collapse(*main.tvwStructure[0], QStringLiteral("C:\\A\\")));
    EXPECT_EQ(g().CurrentPath[0], QStringLiteral("C:\\A"));
    EXPECT_EQ(main.lblCurrentFullPath[0]->caption(), QStringLiteral("C:\\A\\"));
    EXPECT_EQ(items(*main.lstFirstLevelFolders[0]), QStringList{QStringLiteral("B")});
    EXPECT_EQ(g().CurrentPath[1], QStringLiteral("C:\\D\\E"));

    // The other tree the same way, though it is not the chosen structure.
    ASSERT_TRUE(ui::Input::collapse(*main.tvwStructure[1], QStringLiteral("C:\\")));
    EXPECT_EQ(g().CurrentPath[1], QStringLiteral("C:"));
    EXPECT_EQ(main.lblCurrentFullPath[1]->caption(), QStringLiteral("C:\\"));
    EXPECT_EQ(items(*main.lstFirstLevelFolders[1]), (QStringList{QStringLiteral("A"), QStringLiteral("D")}));
    EXPECT_EQ(g().CurrentPath[0], QStringLiteral("C:\\A"));
}

// Typing a folder's first letters in the focused tree moves there as the
// arrow keys do: the current path, its label and the first-level lists follow.
TEST_F(StartupTest, TypingInTheFocusedTreeMovesToTheFolderThatStartsWithIt)
{
    for (const char* folder : {"bin", "Users/me", "usr/local", "var"})
        drive.folder(QLatin1String(folder));
    writeIni(QStringLiteral("[General]\r\nPrimaryInitialPath=C:\\bin\r\nDisplayPrimaryPathFirstLevelFolders=True\r\n"));
    main.load();
    const QString other = g().CurrentPath[1];
    ASSERT_TRUE(main.tvwStructure[0]->hasFocus());
    ASSERT_TRUE(ui::Input::key(main, 'U'));
    EXPECT_EQ(g().CurrentPath[0], QStringLiteral("C:\\Users"));
    ASSERT_TRUE(ui::Input::key(main, 'S'));
    ASSERT_TRUE(ui::Input::key(main, 'R'));
    EXPECT_EQ(g().CurrentPath[0], QStringLiteral("C:\\usr"));
    EXPECT_EQ(main.tvwStructure[0]->selectedItem()->text(), QStringLiteral("usr"));
    EXPECT_EQ(main.lblCurrentFullPath[0]->caption(), QStringLiteral("C:\\usr\\"));
    EXPECT_EQ(items(*main.lstFirstLevelFolders[0]), QStringList{QStringLiteral("local")});
    EXPECT_EQ(g().CurrentPath[1], other);
}

TEST_F(StartupTest, RefreshShowsANewFolderAClearedDisplayBoxLeavesTheListUntilTheNextMoveAndTheLabelIsCompacted)
{
    drive.folder(QStringLiteral("Work"));
    const QString deep = QStringLiteral("A very long folder name/another quite long folder name/yet another long one/leaf");
    drive.folder(deep);
    const QString logical = QStringLiteral("C:\\") + QString(deep).replace(u'/', u'\\');
    writeIni(QStringLiteral("[General]\r\nPrimaryInitialPath=C:\\Work\r\nDisplayPrimaryPathFirstLevelFolders=True\r\n"
                            "SecondaryInitialPath=") + logical + QStringLiteral("\r\n"));
    main.load();
    EXPECT_EQ(g().CurrentPath[1], logical);
    EXPECT_EQ(main.chkDisplayFirstLevelFolders[0]->caption(), QStringLiteral("First level folders: 0."));
    drive.folder(QStringLiteral("Work/New"));
    ASSERT_TRUE(ui::Input::key(main, ui::vbKeyF5));
    EXPECT_EQ(g().CurrentPath[0], QStringLiteral("C:\\Work"));
    EXPECT_EQ(main.lstFirstLevelFolders[0]->list(0), QStringLiteral("New"));
    EXPECT_TRUE(main.tvwStructure[0]->hasFocus());

    ASSERT_TRUE(ui::Input::click(*main.chkDisplayFirstLevelFolders[0]));
    EXPECT_FALSE(g().DisplayFirstLevelFolders[0]);
    EXPECT_TRUE(iniBytes().contains("DisplayPrimaryPathFirstLevelFolders=False\r\n"));
    EXPECT_EQ(main.lstFirstLevelFolders[0]->list(0), QStringLiteral("New"));
    // A click in the list never leaves an item selected.
    ASSERT_TRUE(ui::Input::listClick(*main.lstFirstLevelFolders[0], 0));
    EXPECT_EQ(main.lstFirstLevelFolders[0]->listIndex(), -1);
    // The next move shows the placeholder.
    ASSERT_TRUE(ui::Input::nodeClick(*main.tvwStructure[0], main.tvwStructure[0]->selectedItem()->key()));
    EXPECT_EQ(main.lstFirstLevelFolders[0]->list(0), QStringLiteral("Folder names not displayed."));

    // The other structure's long path: compacted, the whole of it in the tool tip.
    EXPECT_EQ(main.lblCurrentFullPath[1]->toolTipText(), logical + u'\\');
    const QString shown = main.lblCurrentFullPath[1]->caption();
    EXPECT_TRUE(shown.contains(QStringLiteral("..."))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("\\leaf\\"))) << shown.toStdString();
    g().HidePathToolTips = true;
    DisplayCurrentPath(main, 1);
    EXPECT_EQ(main.lblCurrentFullPath[1]->toolTipText(), QString());
}

// A deep folder whose own name nearly fills the path label: the drive stays
// whole ("C...\" would read as a folder named "C...") and the name gives way
// at its end instead.
TEST_F(StartupTest, ThePathLabelOfADeepFolderWithALongNameKeepsTheDriveWhole)
{
    const QString first = QStringLiteral("first_level_") + QString(20, u'a');
    const QString second = QStringLiteral("second_level_") + QString(45, u'b');
    drive.folder(first + u'/' + second);
    const QString logical = QStringLiteral("C:\\") + first + u'\\' + second;
    writeIni(QStringLiteral("[General]\r\nPrimaryInitialPath=") + logical + QStringLiteral("\r\n"));
    main.load();
    ASSERT_EQ(g().CurrentPath[0], logical);
    const ui::Label& label = *main.lblCurrentFullPath[0];
    const QString shown = label.caption();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("C:\\...\\second_level_bbbb"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("b...\\"))) << shown.toStdString();
    EXPECT_LE(ui::desktop().measureTextPx(label.font(), shown), label.width() / ui::twipsPerPixel());
    EXPECT_EQ(label.toolTipText(), logical + u'\\');
}

// Every first-level list is for reading only: a click leaves nothing
// selected, and the item under the pointer is its tip, unless the pointer is
// below the items, a button is held, or path tips are hidden.
TEST_F(StartupTest, EveryFirstLevelListIsForReadingAndTipsTheItemUnderThePointer)
{
    for (const char* side : {"Left", "Right"}) {
        drive.folder(QString(side) + "/Sub one");
        drive.folder(QString(side) + "/Sub two");
        drive.file(QString(side) + "/first file.txt");
        drive.file(QString(side) + "/second file.txt");
    }
    writeIni(QStringLiteral("[General]\r\nPrimaryInitialPath=C:\\Left\r\nSecondaryInitialPath=C:\\Right\r\n"
                            "DisplayPrimaryPathFirstLevelFolders=True\r\nDisplaySecondaryPathFirstLevelFolders=True\r\n"
                            "DisplayPrimaryPathFirstLevelFiles=True\r\nDisplaySecondaryPathFirstLevelFiles=True\r\n"));
    main.load();
    for (int i = 0; i < 2; ++i) {
        for (ui::ListBox* list : {main.lstFirstLevelFolders[i], main.lstFirstLevelFiles[i]}) {
            SCOPED_TRACE(list->name().toStdString() + std::to_string(i));
            ASSERT_EQ(list->listCount(), 2);
            g().HidePathToolTips = false;
            ASSERT_TRUE(ui::Input::listClick(*list, 1));
            EXPECT_EQ(list->listIndex(), -1);
            const int h = list->itemHeight();
            ASSERT_TRUE(ui::Input::mouseMove(*list, 30, h + 10));
            EXPECT_EQ(list->toolTipText(), list->list(1));
            ASSERT_TRUE(ui::Input::mouseMove(*list, 30, 10));
            EXPECT_EQ(list->toolTipText(), list->list(0));
            ASSERT_TRUE(ui::Input::mouseMove(*list, 30, h + 10, ui::vbLeftButton));
            EXPECT_EQ(list->toolTipText(), list->list(0)) << "a held button changes nothing";
            ASSERT_TRUE(ui::Input::mouseMove(*list, 30, 5 * h + 10));
            EXPECT_EQ(list->toolTipText(), QString()) << "below the items";
            ASSERT_TRUE(ui::Input::mouseMove(*list, 30, 10));
            g().HidePathToolTips = true;
            ASSERT_TRUE(ui::Input::mouseMove(*list, 30, h + 10));
            EXPECT_EQ(list->toolTipText(), QString()) << "tips hidden";
        }
    }
    EXPECT_EQ(items(*main.lstFirstLevelFiles[1]), QStringList({"first file.txt", "second file.txt"}));
}

// Refresh after the selected folder went away: no error, the tree stands on
// what is left and the label says where.
TEST_F(StartupTest, RefreshAfterTheSelectedFolderWentAwayShowsWhereTheTreeStands)
{
    drive.folder(QStringLiteral("Work/Gone"));
    drive.folder(QStringLiteral("Other"));
    writeIni(QStringLiteral("[General]\r\nPrimaryInitialPath=C:\\Work\\Gone\r\nSecondaryInitialPath=C:\\Other\r\n"));
    main.load();
    ASSERT_EQ(g().CurrentPath[0], QStringLiteral("C:\\Work\\Gone"));
    ASSERT_EQ(main.lblCurrentFullPath[0]->caption(), QStringLiteral("C:\\Work\\Gone\\"));
    ASSERT_TRUE(QDir(drive.native(QStringLiteral("Work/Gone"))).removeRecursively());
    ASSERT_TRUE(ui::Input::key(main, ui::vbKeyF5));
    EXPECT_EQ(desk.pendingMsgBoxes(), 0);
    EXPECT_EQ(g().CurrentPath[0], QStringLiteral("C:\\Work"));
    EXPECT_EQ(main.lblCurrentFullPath[0]->caption(), QStringLiteral("C:\\Work\\"));
    EXPECT_EQ(main.lblCurrentFullPath[0]->toolTipText(), QStringLiteral("C:\\Work\\"));
    EXPECT_EQ(g().CurrentPath[1], QStringLiteral("C:\\Other"));
}

TEST_F(StartupTest, FirstLevelListsShowHiddenReadOnlyAndManyEntriesInOrderOrSwitchedOffOnlyTheirCount)
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

// A network drive that answers is listed like any other, with the lists'
// counts and Compare enabled; once it stops answering it is not ready, in
// the program's language.
TEST_F(StartupTest, ANetworkDriveThatAnswersIsListedAndOneThatDoesNotIsNotReady)
{
    QTemporaryDir share;
    const QString root = share.path() + QStringLiteral("/share");
    QDir().mkpath(root + QStringLiteral("/Reports/2002"));
    QDir().mkpath(root + QStringLiteral("/Reports/2003"));
    testing_support::writeFile(root + QStringLiteral("/Reports/summary.txt"), "x");
    testing_support::addDrive(u'N', root, QStringLiteral("Reports"), platform::driveRemote, QStringLiteral("nfs4"));
    writeIni(QStringLiteral("[General]\r\nLanguage=True\r\nPrimaryInitialPath=N:\\Reports\r\nSecondaryInitialPath=N:\\Reports\r\n"
                            "DisplayPrimaryPathFirstLevelFolders=True\r\nDisplayPrimaryPathFirstLevelFiles=True\r\n"));
    main.load();
    ASSERT_EQ(g().CurrentPath[0], QStringLiteral("N:\\Reports"));
    EXPECT_EQ(items(*main.lstFirstLevelFolders[0]), QStringList({"2002", "2003"}));
    EXPECT_EQ(items(*main.lstFirstLevelFiles[0]), QStringList({"summary.txt"}));
    EXPECT_EQ(main.chkDisplayFirstLevelFolders[1]->caption(), QStringLiteral("Φάκελλοι πρώτου επιπέδου: 2."));
    EXPECT_EQ(main.chkDisplayFirstLevelFiles[1]->caption(), QStringLiteral("Αρχεία πρώτου επιπέδου: 1."));
    EXPECT_TRUE(main.cmdCompare->enabled());
    EXPECT_FALSE(g().StructureDeviceNotReady[0] || g().StructureDeviceNotReady[1]);

    ASSERT_TRUE(QDir(root).removeRecursively());
    desk.expectMsgBox(QStringLiteral("Tarnwick"),
                      QStringLiteral("Δεν είναι δυνατή η πρόσβαση στο N:\\.\r\n\r\nΗ συσκευή δεν είναι έτοιμη."), 16, ui::vbOK);
    FillFirstLevelFoldersList(main, 1);
    EXPECT_TRUE(g().StructureDeviceNotReady[1]);
    EXPECT_FALSE(main.cmdCompare->enabled());
}

// A folder that cannot be read (here a link that leads to itself) is
// reported by the list that failed: the folders' list and the files' list
// each name their own place in the report, and show no entries.
TEST_F(StartupTest, AFolderThatCannotBeReadIsReportedByTheListThatFailed)
{
    drive.folder(QStringLiteral("Work/Sub"));
    drive.file(QStringLiteral("Work/a.txt"));
    writeIni(QStringLiteral("[General]\r\nPrimaryInitialPath=C:\\Work\r\n"
                            "DisplayPrimaryPathFirstLevelFolders=True\r\nDisplayPrimaryPathFirstLevelFiles=True\r\n"));
    main.load();
    ASSERT_EQ(items(*main.lstFirstLevelFiles[0]), QStringList{QStringLiteral("a.txt")});
    ASSERT_TRUE(QDir(drive.native(QStringLiteral("Work"))).removeRecursively());
    ASSERT_TRUE(QFile::link(drive.native(QStringLiteral("Work")), drive.native(QStringLiteral("Work"))));
    desk.expectMsgBoxContaining(QStringLiteral("Tarnwick [ 307 ]"), QStringLiteral("Error condition"), ui::vbQuestionYesNo, ui::vbNo);
    FillFirstLevelFoldersList(main, 0);
    EXPECT_EQ(desk.pendingMsgBoxes(), 0);
    EXPECT_EQ(main.lstFirstLevelFolders[0]->listCount(), 0);
    desk.expectMsgBoxContaining(QStringLiteral("Tarnwick [ 308 ]"), QStringLiteral("Error condition"), ui::vbQuestionYesNo, ui::vbNo);
    FillFirstLevelFilesList(main, 0);
    EXPECT_EQ(desk.pendingMsgBoxes(), 0);
    EXPECT_EQ(main.lstFirstLevelFiles[0]->listCount(), 0);
    EXPECT_EQ(main.chkDisplayFirstLevelFiles[0]->caption(), QStringLiteral("First level files: 0."));
    EXPECT_EQ(main.chkDisplayFirstLevelFolders[0]->caption(), QStringLiteral("First level folders: 0."));
    EXPECT_EQ(main.mousePointer(), ui::vbDefault);
}

TEST_F(StartupTest, DriveNotReadyDisablesCompareUntilBothStructuresAreReadyAgain)
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

TEST_F(StartupTest, AFillAskedForDuringAFillWaitsForIt)
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
    EXPECT_TRUE(main.tvwStructure[1]->hasFocus());
    // The letter lasts across runs: it is in the user's drive map.
    ASSERT_EQ(platform::UserDriveMap::load().size(), 1u);
    EXPECT_EQ(platform::UserDriveMap::load()[0].letter, QChar(u'E'));

    desk.onModal(QStringLiteral("frmDisconnectNetworkDrive"), [](ui::Form& f) {
        auto& dlg = static_cast<frmDisconnectNetworkDrive&>(f);
        ASSERT_EQ(dlg.lstDrives->listCount(), 1);
        EXPECT_TRUE(dlg.lstDrives->list(0).startsWith(QStringLiteral("E:")));
        EXPECT_EQ(dlg.lstDrives->list(0), QStringLiteral("E:   C:\\Shared"));   // the folder as every path is shown
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
    using platform::MountResult;
    const struct { MountResult result; const char* address; Long code; } failures[] = {
        {MountResult::noTool, "smb://server/share", 1222}, {MountResult::failed, "\\\\server\\share", 1208},
        {MountResult::timedOut, "sftp://host/folder", 170}};
    for (const auto& f : failures) {
        mounter.result = f.result;
        answer(QString::fromLatin1(f.address));
        Long e = -1;
        EXPECT_FALSE(ShowMapNetworkDriveDialog(&main, e));
        EXPECT_EQ(e, f.code) << f.address;
    }
    EXPECT_EQ(mounter.mounted, (QStringList{QStringLiteral("smb://server/share"), QStringLiteral("smb://server/share"),
                                            QStringLiteral("sftp://host/folder")}));
    EXPECT_TRUE(platform::UserDriveMap::load().empty());
    // The main window reports a failure with the name of its code.
    answer(QStringLiteral("smb://server/share"));
    desk.expectMsgBoxContaining(QStringLiteral("Tarnwick [ MND1000-WN_FUNCTION_BUSY ]"), QStringLiteral("170"), 36, ui::vbNo);
    main.mnuToolsMapNetworkDrive->Click();
}

// ---- Closing --------------------------------------------------------------------------------

// Reset on exit, closed three ways: answered Yes, the INI goes over an older
// backup and the next start runs on defaults; No keeps it; with the INI
// gone there is nothing to ask.
struct ResetCase {
    int answer;
    void (*close)(frmMain&);
};
class ResetOnExit : public StartupTest, public ::testing::WithParamInterface<ResetCase> {};

TEST_P(ResetOnExit, MovesTheIniOverTheBackupOnlyWhenAnsweredYes)
{
    const ResetCase& c = GetParam();
    writeIni(QStringLiteral("[General]\r\nNumberOfLevels=7\r\n"));
    drive.file(QStringLiteral("Quillmarsh.bak"), "old backup");
    main.load();
    g().ResetSettingsOnExit = true;
    const QString title = QStringLiteral("Reset settings");
    if (c.answer)
        desk.expectMsgBox(title, QStringLiteral("You have asked to reset all of the settings to their initial values.\r\n\r\n"
                                                "Do you really want this to happen?"), ui::vbQuestionYesNoDefNo, c.answer);
    else
        ASSERT_TRUE(QFile::remove(drive.native(QStringLiteral("Quillmarsh.ini"))));
    if (c.answer == ui::vbYes)
        desk.expectMsgBox(title, QStringLiteral("The current settings of the application, have been saved in 'C:\\Quillmarsh.bak'."),
                          ui::vbInformationOK, ui::vbOK);
    EXPECT_THROW(c.close(main), ui::ProgramEnd);
    EXPECT_EQ(iniExists(), c.answer == ui::vbNo);
    EXPECT_EQ(drive.bytes(QStringLiteral("Quillmarsh.bak")).contains("NumberOfLevels=7"), c.answer == ui::vbYes);
}

INSTANTIATE_TEST_SUITE_P(Reset, ResetOnExit,
                         ::testing::Values(ResetCase{ui::vbYes, [](frmMain& m) { ui::Input::closeBox(m); }},
                                           ResetCase{ui::vbNo, [](frmMain& m) { ui::Input::choose(*m.mnuFileExit); }},
                                           ResetCase{0, [](frmMain& m) { ui::Input::click(*m.cmdEndApplication); }}));

// In Greek the question and where the settings went, in its own words.
TEST_F(StartupTest, AResetOnExitInGreekSaysWhereTheSettingsWent)
{
    writeIni(QStringLiteral("[General]\r\nLanguage=True\r\nNumberOfLevels=7\r\n"));
    main.load();
    g().ResetSettingsOnExit = true;
    const QString title = QStringLiteral("Επαναφορά ρυθμίσεων");
    desk.expectMsgBox(title, QStringLiteral("Έχετε ζητήσει την επαναφορά όλων των ρυθμίσεων στις αρχικές τους τιμές.\r\n\r\n"
                                            "Θέλετε πράγματι να συμβεί αυτό;"),
                      ui::vbQuestionYesNoDefNo, ui::vbYes);
    desk.expectMsgBox(title, QStringLiteral("Οι τρέχουσες ρυθμίσεις της εφαρμογής, έχουν αποθηκευθεί στο αρχείο «C:\\Quillmarsh.bak»."),
                      ui::vbInformationOK, ui::vbOK);
    EXPECT_THROW(ui::Input::closeBox(main), ui::ProgramEnd);
    EXPECT_FALSE(iniExists());
    EXPECT_TRUE(drive.bytes(QStringLiteral("Quillmarsh.bak")).contains("NumberOfLevels=7"));
}

// A folder of the backup's name takes the settings into it; the message
// names the file there, not the folder.
TEST_F(StartupTest, AResetOnExitIntoAFolderOfTheBackupsNameSaysWhereTheFileWent)
{
    writeIni(QStringLiteral("[General]\r\nNumberOfLevels=7\r\n"));
    drive.folder(QStringLiteral("Quillmarsh.bak"));
    main.load();
    g().ResetSettingsOnExit = true;
    const QString title = QStringLiteral("Reset settings");
    desk.expectMsgBox(title, QStringLiteral("You have asked to reset all of the settings to their initial values.\r\n\r\n"
                                            "Do you really want this to happen?"), ui::vbQuestionYesNoDefNo, ui::vbYes);
    desk.expectMsgBox(title, QStringLiteral("The current settings of the application, have been saved in "
                                            "'C:\\Quillmarsh.bak\\Quillmarsh.ini'."),
                      ui::vbInformationOK, ui::vbOK);
    EXPECT_THROW(ui::Input::closeBox(main), ui::ProgramEnd);
    EXPECT_FALSE(iniExists());
    EXPECT_TRUE(drive.bytes(QStringLiteral("Quillmarsh.bak/Quillmarsh.ini")).contains("NumberOfLevels=7"));
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

TEST_F(StartupTest, AWriteThatAKilledRunLeftHalfDoneIsSettledAtTheStart)
{
    // The run was killed with an exported structure complete under its temporary name.
    drive.folder(QStringLiteral("Out"));
    const pid_t pid = ::fork();
    if (pid == 0) {
        platform::journal::setStepHook([](const char* step) {
            if (qstrcmp(step, "file complete") == 0)
                ::_exit(0);
        });
        platform::startWriteJournal(drive.native());
        platform::writeFileAtomically(drive.native(QStringLiteral("Out/Structure.txt")), "complete");
        ::_exit(1);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(QDir(drive.native(QStringLiteral("Out"))).entryList(QDir::Files | QDir::Hidden).size(), 1);
    main.load();
    EXPECT_TRUE(QDir(drive.native(QStringLiteral("Out"))).entryList(QDir::Files | QDir::Hidden).isEmpty());
    platform::stopWriteJournal();
}

} // namespace
