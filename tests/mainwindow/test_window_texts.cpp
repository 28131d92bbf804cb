// Texts of the main window in both languages, as the window shows them:
// the placeholder lines of lists switched off and the message of a drive
// that is not ready.
#include "mainwindow_fixture.h"
#include "mainwindow/MainWindowCaptions.h"
#include "platform/AppError.h"
#include "ui/ListBox.h"

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

// Every menu of the bar with its items in order (separators as "-"), every
// button's tip and the structures' own words, as a start in the language
// shows them.
TEST_P(WindowTexts, EveryMenuItemInOrderAndEveryButtonTip)
{
    const bool greek = GetParam();
    writeIni(QStringLiteral("[General]\r\nLanguage=%1\r\n").arg(greek ? "True" : "False"));
    main.load();
    QStringList bar;
    for (ui::Control* c : main.controls()) {
        auto* m = dynamic_cast<ui::Menu*>(c);
        if (!m || m->parentMenu())
            continue;
        QStringList entries;
        for (const ui::Menu* item : m->items())
            entries << item->caption();
        bar << m->caption() + u':' + entries.join(u'|');
    }
    const QStringList english = {
        "File:Page setup...|Printer setup...|-|Exit",
        "Store:Recent...|Initial...|-|Help|-|Cancel",
        "Restore:Recent...|Initial|-|Help|-|Cancel",
        "Tools:Refresh|-|Up one level\tBksp|-|Map network drive...|Unmap network drive...|-|English|Greek|-|Options...|"
        "Factory settings...|-|Updated versions...|-|Start processing...\tEnter",
        "Settings:Import...|Export...|-|Help|-|Cancel",
        "Help:Hints and tips...|-|About...",
    };
    const QStringList greekBar = {
        "Αρχείο:Διαμόρφωση σελίδας...|Επιλογή εκτυπωτή...|-|Έξοδος",
        "Καταχώρηση:Πρόσφατη...|Αρχική...|-|Βοήθεια|-|Άκυρο",
        "Επαναφορά:Πρόσφατη...|Αρχική|-|Βοήθεια|-|Άκυρο",
        "Εργαλεία:Ανανέωση|-|Ένα επίπεδο επάνω\tBksp|-|Αντιστοίχηση δίσκου δικτύου...|Αποσύνδεση δίσκου δικτύου...|-|"
        "Αγγλική|Ελληνική|-|Επιλογές...|Εργοστασιακές ρυθμίσεις...|-|Ενημερωμένες εκδόσεις...|-|Έναρξη διαδικασίας...\tEnter",
        "Ρυθμίσεις:Εισαγωγή...|Εξαγωγή...|-|Βοήθεια|-|Άκυρο",
        "Βοήθεια:Χρήσιμες συμβουλές...|-|Σχετικά...",
    };
    EXPECT_EQ(bar, greek ? greekBar : english);
    EXPECT_EQ(main.mnuToolsRefresh->shortcut(), "F5");
    EXPECT_EQ(main.mnuToolsGreek->checked(), greek);
    EXPECT_EQ(main.mnuToolsEnglish->checked(), !greek);

    const std::pair<ui::Control*, QString> tips[] = {
        {main.cmdPageSetup, greek ? "Διαμόρφωση σελίδας" : "Page setup"},
        {main.cmdPrintSetup, greek ? "Επιλογή εκτυπωτή" : "Printer setup"},
        {main.cmdEndApplication, greek ? "Έξοδος" : "Exit"},
        {main.cmdRefresh, greek ? "Ανανέωση ... F5" : "Refresh ... F5"},
        {main.cmdSavePath, greek ? "Καταχώρηση διαδρομής" : "Store path"},
        {main.cmdRecallSavedPath, greek ? "Επαναφορά διαδρομής" : "Restore path"},
        {main.cmdUpOneLevel, greek ? "Ένα επίπεδο επάνω ... Bksp" : "Up one level ... Bksp"},
        {main.cmdMapNetworkDrive, greek ? "Αντιστοίχηση δίσκου δικτύου" : "Map network drive"},
        {main.cmdUnMapNetworkDrive, greek ? "Αποσύνδεση δίσκου δικτύου" : "Unmap network drive"},
        {main.cmdLanguage[1], "English / Αγγλικά"},
        {main.cmdLanguage[0], "Ελληνικά / Greek"},
        {main.cmdSettings, greek ? "Ρυθμίσεις" : "Settings"},
        {main.cmdOptions, greek ? "Επιλογές" : "Options"},
        {main.cmdHelp, greek ? "Χρήσιμες συμβουλές" : "Hints and tips"},
        {main.cmdCompare, greek ? "Σύγκριση" : "Comparison"},
        {main.optStructure[0], greek ? "Δείκτης τρεχούσης δομής" : "Current structure indicator"},
        {main.optStructure[1], greek ? "Δείκτης τρεχούσης δομής" : "Current structure indicator"},
    };
    for (const auto& [control, tip] : tips)
        EXPECT_EQ(control->toolTipText(), tip) << control->name().toStdString() << control->index();
    EXPECT_EQ(main.caption(), "Tarnwick");
    EXPECT_EQ(main.lblStructure[0]->caption(), greek ? "Πρωτεύουσα δομή" : "Primary structure");
    EXPECT_EQ(main.lblStructure[1]->caption(), greek ? "Δευτερεύουσα δομή" : "Secondary structure");
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(main.lblCurrentPath[i]->caption(), greek ? "Τρέχουσα διαδρομή" : "Current path") << i;
}

// The captions are set by name: a window without the named controls, or
// with a control that takes no caption under a menu's name, is refused with
// the error that says which, before anything else is set.
TEST(MainWindowCaptions, AWindowWithoutItsControlsIsRefusedWithItsError)
{
    ui::HeadlessDesktop desk;
    desk.install();
    basGlobal::resetGlobals();
    {
        ui::Form bare(QStringLiteral("frmBare"));
        bare.load();
        EXPECT_EQ(basGlobal::SetMainFormStructureCaptions(bare), 340);
        EXPECT_EQ(basGlobal::SetApplicationLanguage(bare, QString(), QStringLiteral("General"), QStringLiteral("Language")),
                  340);
        ui::Form odd(QStringLiteral("frmOdd"));
        odd.add<ui::ListBox>(QStringLiteral("mnuFile"));
        odd.load();
        EXPECT_EQ(basGlobal::SetApplicationLanguage(odd, QString(), QStringLiteral("General"), QStringLiteral("Language")),
                  platform::errInvalidCall);
    }
    ui::setDesktop(nullptr);
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
