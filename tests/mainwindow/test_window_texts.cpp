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

using Layout = MainWindowFixture<frmMain>;

// The window's layout: the tool bar's picture buttons in their groups, each
// square, side by side a little apart, the groups further apart, Compare at
// the right margin; each structure in a column of its own, the two columns
// alike and the window as wide as both with its margins.
TEST_F(Layout, ToolBarGroupsAndTwoEqualColumns)
{
    main.load();
    const std::vector<std::vector<ui::CommandButton*>> groups = {
        {main.cmdPageSetup, main.cmdPrintSetup},
        {main.cmdUpOneLevel, main.cmdSavePath, main.cmdRecallSavedPath, main.cmdRefresh},
        {main.cmdMapNetworkDrive, main.cmdUnMapNetworkDrive},
        {main.cmdOptions, main.cmdSettings},
        {main.cmdLanguage[0], main.cmdLanguage[1]},
        {main.cmdHelp, main.cmdCopyright, main.cmdEndApplication}};
    const ui::CommandButton* previous = nullptr;
    for (const auto& group : groups) {
        for (std::size_t k = 0; k < group.size(); ++k) {
            const ui::CommandButton* b = group[k];
            SCOPED_TRACE(b->name().toStdString() + std::to_string(b->index()));
            EXPECT_EQ(b->top(), 120);
            EXPECT_EQ(b->width(), 480);
            EXPECT_EQ(b->height(), 480);
            EXPECT_EQ(b->style(), 1);
            EXPECT_FALSE(b->picture().resource.isEmpty());
            if (!previous) {
                EXPECT_EQ(b->left(), 120);
            } else {
                EXPECT_EQ(b->left() - (previous->left() + previous->width()), k == 0 ? 240 : 60);
            }
            previous = b;
        }
    }
    EXPECT_EQ(main.cmdLanguage[0]->index(), 0);
    EXPECT_EQ(main.cmdLanguage[1]->index(), 1);
    EXPECT_TRUE(main.cmdLanguage[0]->picture().resource.endsWith("greek.png"));
    EXPECT_TRUE(main.cmdLanguage[1]->picture().resource.endsWith("english.png"));
    for (ui::CommandButton* b : {main.cmdPageSetup, main.cmdRefresh, main.cmdHelp, main.cmdEndApplication})
        EXPECT_EQ(b->index(), -1) << b->name().toStdString();

    const int columns = main.tvwStructure[0]->width() * 2 + (main.tvwStructure[1]->left() - (main.tvwStructure[0]->left() + main.tvwStructure[0]->width()));
    EXPECT_EQ(main.tvwStructure[0]->left(), 120);
    EXPECT_EQ(main.tvwStructure[1]->left() - (main.tvwStructure[0]->left() + main.tvwStructure[0]->width()), 240);
    EXPECT_EQ(main.width(), columns + 2 * 120 + 2 * 60);
    EXPECT_EQ(main.width(), 12120) << "the designed width";
    EXPECT_EQ(main.cmdCompare->left() + main.cmdCompare->width(), main.tvwStructure[1]->left() + main.tvwStructure[1]->width());
    EXPECT_EQ(main.cmdCompare->width(), 1800);
    EXPECT_EQ(main.cmdCompare->top(), 120);
    EXPECT_EQ(main.cmdCompare->style(), 1);
    EXPECT_GT(main.cmdCompare->left(), main.cmdEndApplication->left() + main.cmdEndApplication->width());
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const int x = main.tvwStructure[i]->left(), w = main.tvwStructure[i]->width();
        const std::vector<ui::Control*> column = {main.optStructure[i], main.lblCurrentPath[i], main.lblCurrentFullPath[i],
                                                  main.tvwStructure[i], main.chkDisplayFirstLevelFolders[i],
                                                  main.lstFirstLevelFolders[i], main.chkDisplayFirstLevelFiles[i],
                                                  main.lstFirstLevelFiles[i]};
        for (std::size_t k = 0; k < column.size(); ++k) {
            EXPECT_EQ(column[k]->left(), x) << column[k]->name().toStdString();
            if (k > 0) {
                EXPECT_EQ(column[k]->width(), w) << column[k]->name().toStdString();
                EXPECT_GE(column[k]->top(), column[k - 1]->top() + column[k - 1]->height()) << column[k]->name().toStdString();
            }
        }
        EXPECT_EQ(main.lblStructure[i]->left() + main.lblStructure[i]->width(), x + w);
        EXPECT_GT(main.lblStructure[i]->left(), main.optStructure[i]->left() + main.optStructure[i]->width());
        EXPECT_TRUE(main.lblStructure[i]->font().bold);
        EXPECT_EQ(main.lblCurrentFullPath[i]->backColor(), main.lstFirstLevelFiles[i]->backColor());
        EXPECT_EQ(main.lstFirstLevelFolders[i]->backColor(), g().StructureTint[std::size_t(i)]);
        EXPECT_EQ(main.lstFirstLevelFolders[i]->top() - main.tvwStructure[i]->top(), main.lstFirstLevelFolders[1 - i]->top() - main.tvwStructure[1 - i]->top());
    }
    EXPECT_NE(g().StructureTint[0], g().StructureTint[1]);
    EXPECT_EQ(main.defaultButton(), main.cmdCompare);
}


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
