// The road from the main window's Compare to the results window, and the
// main window's other commands, headless: which windows open, in which
// order, for each mode and setting; every button and menu item reaching its
// command; the busy flag.
#include "mainwindow_fixture.h"
#include "platform/RecordingPrinter.h"
#include "platform/ServiceOverride.h"
#include "shared/WindowHooks.h"
#include "shared/frmHiddenForm.h"

using namespace basGlobal;
using mainwindow::frmMain;

namespace {

class RoadTest : public MainWindowFixture<frmMain> {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        for (const char* f : {"P/Alpha", "P/Beta", "S/Alpha", "S/Gamma"})
            drive.folder(QLatin1String(f));
        drive.file(QStringLiteral("P/Alpha/a.txt"), "one");
        drive.file(QStringLiteral("S/Alpha/a.txt"), "two!");
    }
    void start(const QString& settings)
    {
        writeIni(QStringLiteral("[General]\r\nPrimaryInitialPath=C:\\P\r\nSecondaryInitialPath=C:\\S\r\nRemindMeToPrint=False\r\n")
                 + settings);
        main.load();
    }
};

struct RoadCase {
    const char* settings;
    std::vector<const char*> windows;   // the windows that open in turn, each closed with its cancel button
};

class RoadOrder : public RoadTest, public ::testing::WithParamInterface<RoadCase> {};

TEST_P(RoadOrder, WindowsOpenInTheOrderOfModeAndSettings)
{
    const RoadCase& c = GetParam();
    start(QString::fromLatin1(c.settings));
    for (const char* w : c.windows)
        cancelOn(w);
    desk.clearTranscript();
    ui::Input::click(*main.cmdCompare);
    EXPECT_EQ(opened(), QStringList(c.windows.begin(), c.windows.end()));
    EXPECT_EQ(globals().FolderSelectionState, 3);
    EXPECT_EQ(main.mousePointer(), ui::vbDefault);
}

INSTANTIATE_TEST_SUITE_P(
    Road, RoadOrder,
    ::testing::Values(
        // Options first, then the folder choice (folders exist, any depth), then the results.
        RoadCase{"DisplayOptions=True\r\nNumberOfLevels=0\r\n", {"frmOptions", "frmFolderIncludeExclude", "frmCompare"}},
        // One level deep, or the choice switched off: no folder choice.
        RoadCase{"DisplayOptions=False\r\nNumberOfLevels=1\r\n", {"frmCompare"}},
        RoadCase{"DisplayOptions=False\r\nNumberOfLevels=3\r\nAbilityToExcludeFolders=False\r\n", {"frmCompare"}},
        // Off line: the import window cancelled ends the road.
        RoadCase{"DisplayOptions=False\r\nComparison=1\r\n", {"frmImportStructure"}},
        // Preparation: the export window only.
        RoadCase{"DisplayOptions=False\r\nComparison=2\r\n", {"frmExportStructure"}}));

TEST_F(RoadTest, ComparesLiveHonouringTheFolderChoiceAndRefusesASecondPress)
{
    start(QStringLiteral("DisplayOptions=False\r\nNumberOfLevels=0\r\n"));
    // A selection left from an earlier press never reaches this one.
    HiddenForm().lstFoldersToIncludeExclude[0]->addItem(QStringLiteral("Stale"));
    desk.onModal(QStringLiteral("frmFolderIncludeExclude"), [](ui::Form& f) {
        auto* list = static_cast<ui::ListBox*>(f.control(QStringLiteral("lstFirstLevelFolders"), 0));
        ui::Input::listClick(*list, 0);   // Alpha, with its twin on the other side
        ui::Input::click(*static_cast<ui::CommandButton*>(f.control(QStringLiteral("cmdInclude"))));
    });
    desk.onModal(QStringLiteral("frmCompare"), [this](ui::Form& f) {
        // Compare again from the main window while its command runs: nothing.
        main.cmdCompare_Click();
        desk.expectMsgBox(QStringLiteral("Comparison results"), QStringLiteral("The structures you compared, differ."), 64, ui::vbOK);
        ui::Input::key(f, ui::vbKeyReturn);   // Enter starts the comparison
        ui::Input::click(*static_cast<ui::CommandButton*>(f.control(QStringLiteral("cmdCancel"))));
    });
    ui::Input::click(*main.cmdCompare);
    EXPECT_EQ(opened().count(QStringLiteral("frmCompare")), 1);
    EXPECT_EQ(globals().FolderSelectionState, 1);
    EXPECT_EQ(items(*HiddenForm().lstFoldersToIncludeExclude[0]), QStringList{QStringLiteral("Beta")});
    // The close box works again once the command has ended.
    EXPECT_FALSE(main.mnuToolsStartProcessing->caption().isEmpty());
}

TEST_F(RoadTest, AVanishedFolderIsNamedPlainlyAndStartProcessingPressesCompareOnlyWhenEnabled)
{
    start(QStringLiteral("DisplayOptions=False\r\nNumberOfLevels=0\r\n"));
    main.cmdCompare->setEnabled(false);
    main.mnuToolsStartProcessing->Click();
    EXPECT_TRUE(opened().isEmpty());
    main.cmdCompare->setEnabled(true);
    QDir(drive.native(QStringLiteral("S"))).removeRecursively();
    desk.expectMsgBox(globals().ApplicationTitle, QStringLiteral("The folder 'C:\\S\\' does not exist any more."), 48, ui::vbOK);
    main.mnuToolsStartProcessing->Click();
    EXPECT_TRUE(opened().isEmpty());
}

// While Compare runs (here: its Options window is up) the main window cannot
// be closed, in either language; Compare pressed again does nothing.
TEST_F(RoadTest, TheMainWindowStaysWhileCompareRuns)
{
    start(QStringLiteral("DisplayOptions=True\r\nNumberOfLevels=1\r\n"));
    for (bool greek : {false, true}) {
        if (greek) {
            ASSERT_TRUE(ui::Input::choose(*main.mnuToolsGreek));
        }
        desk.clearTranscript();
        desk.onModal(QStringLiteral("frmOptions"), [&](ui::Form& f) {
            desk.expectMsgBoxContaining(greek ? QStringLiteral("Κλείσιμο παραθύρου") : QStringLiteral("Close window"),
                                        greek ? QStringLiteral("δεν επιτρέπει το κλείσιμο του παραθύρου")
                                              : QStringLiteral("It is impossible to close the window"),
                                        ui::vbInformationOK, ui::vbOK);
            main.unload(ui::vbFormControlMenu);   // the window manager's close, past the modal window
            EXPECT_EQ(desk.pendingMsgBoxes(), 0);
            EXPECT_TRUE(main.isLoaded());
            main.cmdCompare_Click();
            ui::Input::click(*static_cast<ui::CommandButton*>(f.control(QStringLiteral("cmdCancel"))));
        });
        cancelOn("frmCompare");
        ui::Input::click(*main.cmdCompare);
        EXPECT_EQ(opened(), QStringList({"frmOptions", "frmCompare"}));
        EXPECT_TRUE(main.isLoaded());
    }
}

TEST_F(RoadTest, EveryButtonAndMenuItemReachesItsCommand)
{
    start(QString());
    struct Case {
        std::function<void()> press;
        const char* window;   // the modal window it opens, or "" for a message
        const char* button;
    };
    const Case cases[] = {
        {[&] { ui::Input::click(*main.cmdOptions); }, "frmOptions", "cmdCancel"},
        {[&] { main.mnuToolsOptions->Click(); }, "frmOptions", "cmdCancel"},
        {[&] { ui::Input::click(*main.cmdPageSetup); }, "frmPageSetup", "cmdCancel"},
        {[&] { main.mnuFilePageSetup->Click(); }, "frmPageSetup", "cmdCancel"},
        {[&] { ui::Input::click(*main.cmdCopyright); }, "frmAbout", "cmdOK"},
        {[&] { main.mnuHelpAbout->Click(); }, "frmAbout", "cmdOK"},
        {[&] { desk.answerPopup(QStringLiteral("mnuSettings"), QStringLiteral("mnuSettingsExport")); ui::Input::click(*main.cmdSettings); },
         "frmSettingsExport", "cmdCancel"},
        {[&] { main.mnuSettingsImport->Click(); }, "frmSettingsImport", "cmdCancel"},
    };
    for (const Case& c : cases) {
        cancelOn(c.window, c.button);
        desk.clearTranscript();
        c.press();
        EXPECT_EQ(opened(), QStringList{QLatin1String(c.window)});
        EXPECT_EQ(main.mousePointer(), ui::vbDefault);
    }
    // Options clears a cancel request left behind.
    globals().CancelRequested = true;
    cancelOn("frmOptions");
    main.mnuToolsOptions->Click();
    EXPECT_FALSE(globals().CancelRequested);

    // The three information messages.
    desk.expectMsgBoxContaining(QStringLiteral("Hints and Tips"), QStringLiteral("RIGHT mouse button"), 64, ui::vbOK);
    ui::Input::click(*main.cmdHelp);
    desk.expectMsgBoxContaining(QStringLiteral("Reset settings"), QStringLiteral("button titled 'Reset'."), 64, ui::vbOK);
    main.mnuToolsFactorySettings->Click();
    desk.expectMsgBoxContaining(QStringLiteral("Check for updated version"), QStringLiteral("'Check for updated versions'."), 64, ui::vbOK);
    main.mnuToolsUpdatedVersion->Click();
}

// Printer setup, by its button and by its menu item, opens the printer's own
// dialog once each, with the hourglass only while it is up; cancelled, it is
// no error.
TEST_F(RoadTest, PrinterSetupOpensThePrintersOwnDialog)
{
    struct Dialogs : platform::RecordingPrinter {
        int opened = 0;
        ui::Form* over = nullptr;
        int pointer = -1;
        bool setupDialog() override
        {
            ++opened;
            pointer = over ? over->mousePointer() : -1;
            return false;
        }
    } printer;
    platform::ServiceOverride<platform::Printer> use(platform::setPrinter, &printer);
    start(QString());
    printer.over = &main;
    ui::Input::click(*main.cmdPrintSetup);
    EXPECT_EQ(printer.opened, 1);
    EXPECT_EQ(printer.pointer, ui::vbHourglass);
    EXPECT_EQ(main.mousePointer(), ui::vbDefault);
    ASSERT_TRUE(ui::Input::choose(*main.mnuFilePrintSetup));
    EXPECT_EQ(printer.opened, 2);
    EXPECT_EQ(main.mousePointer(), ui::vbDefault);
    EXPECT_TRUE(opened().isEmpty());
    // The print window's own setup buttons press the main window's.
    basGlobal::windowHooks().printerSetup();
    EXPECT_EQ(printer.opened, 3);
    cancelOn("frmPageSetup");
    basGlobal::windowHooks().pageSetup();
    EXPECT_EQ(opened(), QStringList{QStringLiteral("frmPageSetup")});
}

// A main window minimised while Options, the folder choice or a structure
// window is up comes back when that window closes.
TEST_F(RoadTest, AMainWindowMinimisedMeanwhileComesBackWhenTheWindowOverItCloses)
{
    start(QStringLiteral("DisplayOptions=True\r\nNumberOfLevels=0\r\n"));
    QList<int> states;
    const auto minimiseAndCancel = [&](ui::Form& f) {
        states << main.windowState();
        main.setWindowState(1);
        ui::Input::click(*static_cast<ui::CommandButton*>(f.control(QStringLiteral("cmdCancel"))));
    };
    for (const char* w : {"frmOptions", "frmFolderIncludeExclude", "frmCompare"})
        desk.onModal(QLatin1String(w), minimiseAndCancel);
    ui::Input::click(*main.cmdCompare);
    EXPECT_EQ(states, (QList<int>{0, 0, 0})) << "Options, then the folder choice, gave the main window back";

    globals().ShowOptionsBeforeComparison = false;
    for (const auto& [mode, window] : {std::pair{2, "frmExportStructure"}, std::pair{1, "frmImportStructure"}}) {
        globals().ComparisonMode = basGlobal::Integer(mode);
        main.setWindowState(0);
        desk.onModal(QLatin1String(window), minimiseAndCancel);
        ui::Input::click(*main.cmdCompare);
        EXPECT_EQ(main.windowState(), 0) << window;
    }
    main.setWindowState(0);
    desk.onModal(QStringLiteral("frmOptions"), minimiseAndCancel);
    ui::Input::click(*main.cmdOptions);
    EXPECT_EQ(main.windowState(), 0) << "Options from its own button";
}

// Whatever changed on either side while Options was up shows in both
// structures' folder and file lists once it closes.
TEST_F(RoadTest, BackFromOptionsBothStructuresListWhatTheirFoldersHoldNow)
{
    start(QStringLiteral("DisplayPrimaryPathFirstLevelFolders=True\r\nDisplaySecondaryPathFirstLevelFolders=True\r\n"
                         "DisplayPrimaryPathFirstLevelFiles=True\r\nDisplaySecondaryPathFirstLevelFiles=True\r\n"));
    ASSERT_EQ(items(*main.lstFirstLevelFolders[0]), (QStringList{"Alpha", "Beta"}));
    ASSERT_EQ(items(*main.lstFirstLevelFolders[1]), (QStringList{"Alpha", "Gamma"}));
    ASSERT_TRUE(items(*main.lstFirstLevelFiles[0]).isEmpty() && items(*main.lstFirstLevelFiles[1]).isEmpty());
    desk.onModal(QStringLiteral("frmOptions"), [&](ui::Form& f) {
        drive.folder(QStringLiteral("P/Delta"));
        drive.folder(QStringLiteral("S/Epsilon"));
        drive.file(QStringLiteral("P/p.txt"), "p");
        drive.file(QStringLiteral("S/s.txt"), "s");
        ui::Input::click(*static_cast<ui::CommandButton*>(f.control(QStringLiteral("cmdCancel"))));
    });
    ui::Input::click(*main.cmdOptions);
    EXPECT_EQ(items(*main.lstFirstLevelFolders[0]), (QStringList{"Alpha", "Beta", "Delta"}));
    EXPECT_EQ(items(*main.lstFirstLevelFolders[1]), (QStringList{"Alpha", "Epsilon", "Gamma"}));
    EXPECT_EQ(items(*main.lstFirstLevelFiles[0]), QStringList{"p.txt"});
    EXPECT_EQ(items(*main.lstFirstLevelFiles[1]), QStringList{"s.txt"});
}

TEST_F(RoadTest, AboutHandsTheUpdateCheckOverOnce)
{
    start(QString());
    desk.onModal(QStringLiteral("frmAbout"), [](ui::Form& f) {
        ui::Input::click(*static_cast<ui::CommandButton*>(f.control(QStringLiteral("cmdCheckForUpdates"))));
    });
    desk.onModal(QStringLiteral("frmCheckForUpdates"), [](ui::Form& f) { f.unload(); });
    main.mnuHelpAbout->Click();
    EXPECT_EQ(opened(), (QStringList{QStringLiteral("frmAbout"), QStringLiteral("frmCheckForUpdates")}));
    EXPECT_TRUE(main.cmdCopyright->tag().isEmpty());   // not handed over again by the next About
}

// Off line with the Primary Structure from a file: its line 3 plus the live
// Secondary's sub-folders decide whether the folder choice opens.
TEST_F(RoadTest, OffLineCountsTheFilesFoldersAndTheLiveSide)
{
    const struct {
        const char* firstLevel;   // the file's first-level folders
        const char* secondary;    // the live Secondary's current folder
        const char* expected;
    } cases[] = {
        {"1\r\nAlpha\r\n", "C:\\S\\Alpha", "frmImportStructure,frmFolderIncludeExclude,frmCompare"},
        {"0\r\n", "C:\\S", "frmImportStructure,frmFolderIncludeExclude,frmCompare"},
        {"0\r\n", "C:\\S\\Alpha", "frmImportStructure,frmCompare"},
    };
    start(QStringLiteral("DisplayOptions=False\r\nComparison=1\r\nNumberOfLevels=0\r\n"));
    for (const auto& c : cases) {
        const QByteArray folders(c.firstLevel);
        const int f = folders.startsWith('1') ? 1 : 0;
        drive.file(QStringLiteral("x.txt"), QByteArray::number(4 + f + 8) + "\r\nC:\\X\\\r\n" + folders
                                                 + "1\r\nFalse\r\nFalse\r\nFalse\r\nTrue\r\n0000000003\r\n20240101\r\n"
                                                   "120000\r\nC:\\X\\f.txt\r\n");
        globals().CurrentPath[1] = QLatin1String(c.secondary);
        desk.onModal(QStringLiteral("frmImportStructure"), [](ui::Form& w) {
            globals().ImportedStructureFile[0] = QStringLiteral("C:\\x.txt");
            globals().ImportNotAccepted = false;
            w.unload();
        });
        if (QByteArray(c.expected).contains("frmFolderIncludeExclude"))
            cancelOn("frmFolderIncludeExclude");
        cancelOn("frmCompare");
        desk.clearTranscript();
        ui::Input::click(*main.cmdCompare);
        EXPECT_EQ(opened().join(u','), QString::fromLatin1(c.expected)) << c.firstLevel << c.secondary;
        EXPECT_EQ(globals().FirstStructureToProcess, 0);
        EXPECT_EQ(globals().LastStructureToProcess, 0);
    }
}

} // namespace
