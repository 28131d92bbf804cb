// The export window and its run: the file format byte for byte, the file
// choice's questions, cancels and write failures that leave earlier files
// whole, names a structure file cannot carry, and the window's own commands.
#include "offline/StructureFileChoice.h"
#include "offline_fixture.h"
#include "shared/Progress.h"

#include <sys/stat.h>

using namespace offline_test;
using compare_test::kCancelTitle;

namespace {

const QString kTitle = QStringLiteral("Preparation for off line comparison");

class Export : public OfflineTest {
protected:
    // The worked example of the format, under C:\Work.
    void workedTree()
    {
        file(c, QStringLiteral("Work/notes.txt"), QByteArray(1234, 'n'), QDateTime(QDate(2002, 8, 24), QTime(14, 5, 9)));
        file(c, QStringLiteral("Work/Alpha/a.dat"), QByteArray(), QDateTime(QDate(2001, 12, 31), QTime(23, 59, 58)));
        ASSERT_EQ(::chmod(QFile::encodeName(nativeOf(c, QStringLiteral("Work/Alpha/a.dat"))).constData(), 0444), 0);
        folder(c, QStringLiteral("Work/Alpha/Empty"));
        file(c, QStringLiteral("Work/Beta/.b.txt"), QByteArray(56789, 'b'), QDateTime(QDate(2002, 1, 2), QTime(3, 4, 5)));
        g().CurrentPath = {QStringLiteral("C:\\Work"), QStringLiteral("D:\\")};
    }
};

TEST_F(Export, WritesTheFormatByteForByteWithTheHeaderOfItsOwnScanAndRefusesTheCloseBox)
{
    workedTree();
    file(d, QStringLiteral("Other/x.txt"));
    g().ShowElapsedTime = true;
    desk.onYield([&] { return ex.isLoaded() && g().StructureExportInProgress; }, [&] {
        desk.expectMsgBoxContaining(QStringLiteral("Close window"), QStringLiteral("It is impossible to close the window"),
                                    ui::vbInformationOK, ui::vbOK);
        EXPECT_FALSE(ex.unload(ui::vbFormControlMenu));
        EXPECT_TRUE(desk.timerRunning(*ex.Timer1));
        // What the window shows while it works, against its finished state below.
        EXPECT_EQ(ex.cmdCancel->caption(), QStringLiteral("Cancel"));
        EXPECT_TRUE(ex.prbProgressBar->effectivelyVisible());
        EXPECT_TRUE(ex.lblProcessInProgress->effectivelyVisible());
        desk.expectMsgBox(kTitle, QStringLiteral("The Primary structure has been exported successfully."),
                          ui::vbInformationOK, ui::vbOK);
    });
    exportWith(0, {QStringLiteral("C:\\P_C_Work.txt")}, [&] {
        EXPECT_FALSE(desk.timerRunning(*ex.Timer1));
        EXPECT_EQ(ex.lblTotalFolders[0]->caption(), QStringLiteral("Folders: 3."));
        EXPECT_EQ(ex.lblTotalFiles[0]->caption(), QStringLiteral("Files: 3."));
        // Finished: the one way out is Close, the bar and the stage are gone.
        EXPECT_EQ(ex.cmdCancel->caption(), QStringLiteral("Close"));
        EXPECT_TRUE(ex.cmdCancel->effectivelyEnabled());
        EXPECT_FALSE(ex.cmdExportStructure->effectivelyEnabled());
        EXPECT_FALSE(ex.prbProgressBar->effectivelyVisible());
        EXPECT_FALSE(ex.lblProcessInProgress->effectivelyVisible());
    });
    EXPECT_EQ(desk.fileDialogRequests().last().fileName, QStringLiteral("P_C_Work.txt"));
    EXPECT_EQ(desk.fileDialogRequests().last().initDir, QStringLiteral("C:\\"));
    const QByteArray expected =
        "38\r\nC:\\Work\\\r\n2\r\nAlpha\r\nBeta\r\n4\r\n"
        "False\r\nFalse\r\nFalse\r\nTrue\r\n0000001234\r\n20020824\r\n140509\r\nC:\\Work\\notes.txt\r\n"
        "False\r\nFalse\r\nTrue\r\nTrue\r\n0000000000\r\n20011231\r\n235958\r\nC:\\Work\\Alpha\\a.dat\r\n"
        "\"NULL\"\r\n\"NULL\"\r\n\"NULL\"\r\n\"NULL\"\r\n\"NULL\"\r\n\"NULL\"\r\n\"NULL\"\r\nC:\\Work\\Alpha\\Empty\\\"NULL\"\r\n"
        "True\r\nFalse\r\nFalse\r\nTrue\r\n0000056789\r\n20020102\r\n030405\r\nC:\\Work\\Beta\\.b.txt\r\n";
    EXPECT_EQ(read(c, QStringLiteral("P_C_Work.txt")), expected);
    EXPECT_EQ(leftovers(c), QStringList());
    EXPECT_FALSE(g().StructureExportInProgress);
    EXPECT_FALSE(g().CancelRequested) << "a finished run leaves no cancel behind";

    // The header lists the folders of the scan that gave the records. A first-level folder appears after the scan, while the facts are collected.
    desk.onYield([&] { return ex.isLoaded() && ex.lblProcessInProgress->caption().startsWith(QLatin1String("collecting")); },
                 [&] { folder(c, QStringLiteral("Work/Gamma")); });
    desk.expectMsgBox(kTitle, QStringLiteral("The Primary structure has been exported successfully."), ui::vbInformationOK, ui::vbOK);
    exportWith(0, {QStringLiteral("C:\\P.txt")});
    EXPECT_TRUE(read(c, QStringLiteral("P.txt")).startsWith("38\r\nC:\\Work\\\r\n2\r\nAlpha\r\nBeta\r\n4\r\n"));
}

TEST_F(Export, ASideWithoutContentIsNotWrittenAndItsOldFileStays)
{
    workedTree();
    file(d, QStringLiteral("S.txt"), "old");
    desk.expectMsgBox(kTitle,
                      QStringLiteral("The Primary structure has been exported successfully.\r\n\r\n"
                                     "The Secondary structure was not exported, because of lack of content."),
                      ui::vbExclamationOK, ui::vbOK);
    g().CurrentPath[1] = QStringLiteral("D:\\Nothing");
    folder(d, QStringLiteral("Nothing"));
    exportWith(2, {QStringLiteral("C:\\P.txt"), QStringLiteral("D:\\S.txt")});
    EXPECT_EQ(read(d, QStringLiteral("S.txt")), QByteArray("old"));
    EXPECT_TRUE(read(c, QStringLiteral("P.txt")).startsWith("38\r\n"));
}

TEST_F(Export, ACancelWhileCollectingOrWritingLeavesEarlierFilesWhole)
{
    workedTree();
    for (int i = 0; i < 60; ++i) file(d, QStringLiteral("Many/f%1.txt").arg(i));
    g().CurrentPath[1] = QStringLiteral("D:\\Many");
    for (const char* stage : {"collecting local structure file attributes", "exporting local structure"}) {
        file(c, QStringLiteral("P.txt"), "old P");
        file(d, QStringLiteral("S.txt"), "old S");
        int yields = 0;
        cancelWhen([&, stage] { return ex.isLoaded() && ex.lblProcessInProgress->caption() == QLatin1String(stage) && ++yields == 20; });
        exportWith(2, {QStringLiteral("C:\\P.txt"), QStringLiteral("D:\\S.txt")});
        EXPECT_FALSE(ex.isLoaded()) << stage;
        EXPECT_EQ(read(c, QStringLiteral("P.txt")), QByteArray("old P")) << stage;
        EXPECT_EQ(read(d, QStringLiteral("S.txt")), QByteArray("old S")) << stage;
        EXPECT_EQ(leftovers(c) + leftovers(d), QStringList()) << stage;
        EXPECT_FALSE(g().CancelRequested) << "every end clears the request";
        EXPECT_FALSE(g().StructureExportInProgress);
    }
}

// After a cancel the window shows no later stage before it closes.
TEST_F(Export, ACancelWhileCollectingGoesOnToNoLaterStage)
{
    workedTree();
    int yields = 0;
    cancelWhen([&] { return ex.isLoaded() && ex.lblProcessInProgress->caption() == "collecting local structure file attributes" && ++yields == 5; });
    QStringList shownAfterTheCancel;
    desk.onYield([&] { return ex.isLoaded() && g().CancelRequested; },
                 [&] { shownAfterTheCancel << ex.lblProcessInProgress->caption(); }, true);
    exportWith(2, {QStringLiteral("C:\\P.txt"), QStringLiteral("D:\\S.txt")});
    EXPECT_FALSE(ex.isLoaded());
    EXPECT_EQ(yields, 5);
    EXPECT_FALSE(shownAfterTheCancel.contains("exporting local structure")) << shownAfterTheCancel.join(u'|').toStdString();
}

TEST_F(Export, AFailedWriteIsReportedAndTheOldFileStays)
{
    workedTree();
    file(d, QStringLiteral("Keep/inside.txt"), "kept");
    file(d, QStringLiteral("x.txt"));
    g().CurrentPath[1] = QStringLiteral("D:\\");
    desk.expectMsgBoxContaining(kTitle, QStringLiteral("The Primary structure was not exported, because the file "
                                                       "'C:\\NoFolder\\P.txt' could not be written: "),
                                ui::vbExclamationOK, ui::vbOK);
    // The Secondary's target is a folder: the finished file cannot take its place.
    exportWith(2, {QStringLiteral("C:\\NoFolder\\P.txt"), QStringLiteral("D:\\Keep")});
    EXPECT_EQ(read(d, QStringLiteral("Keep/inside.txt")), QByteArray("kept"));
    EXPECT_EQ(leftovers(d), QStringList());
    QString box;
    for (const auto& e : desk.transcript())
        if (e.kind == ui::HeadlessDesktop::Entry::MessageBox && e.title == kTitle) box = e.text;
    EXPECT_TRUE(box.contains(QStringLiteral("The Secondary structure was not exported, because the file 'D:\\Keep'")))
        << box.toStdString();
}

// A Primary whose folder cannot be read is named with its cause and not
// written, the Secondary is, and the bar of each stage counts the
// Secondary's entries alone.
TEST_F(Export, ASideWhoseScanFailsIsNotWrittenAndTheBarCountsOnlyTheOther)
{
    for (int i = 0; i < 4; ++i) file(d, QStringLiteral("Other/x%1.txt").arg(i));
    g().CurrentPath = {QStringLiteral("C:\\Gone"), QStringLiteral("D:\\Other")};
    file(c, QStringLiteral("P.txt"), "old P");
    int fullest = -1;
    desk.onYield([&] { return ex.isLoaded() && ex.lblProcessInProgress->caption() == QLatin1String("exporting local structure"); },
                 [&] { fullest = std::max(fullest, int(ex.prbProgressBar->value())); }, true);
    // While the facts are collected the bar climbs a quarter for each of the four files.
    QList<double> collecting;
    desk.onYield([&] { return ex.isLoaded() && ex.lblProcessInProgress->caption().startsWith(QLatin1String("collecting")); },
                 [&] {
                     if (collecting.isEmpty() || collecting.last() != ex.prbProgressBar->value())
                         collecting << ex.prbProgressBar->value();
                 }, true);
    desk.expectMsgBox(kTitle,
                      QStringLiteral("The Primary structure was not exported, because the folder 'C:\\Gone\\' cannot be read: "
                                     "Path not found.\r\n\r\nThe Secondary structure has been exported successfully."),
                      ui::vbExclamationOK, ui::vbOK);
    exportWith(2, {QStringLiteral("C:\\P.txt"), QStringLiteral("D:\\S.txt")});
    EXPECT_EQ(read(c, QStringLiteral("P.txt")), QByteArray("old P"));
    EXPECT_TRUE(read(d, QStringLiteral("S.txt")).startsWith("36\r\nD:\\Other\\\r\n0\r\n4\r\n"));
    EXPECT_EQ(fullest, int(ex.prbProgressBar->max()));
    EXPECT_EQ(collecting, QList<double>({0, 25, 50, 75}));
}

TEST_F(Export, ANameWithALineEndIsRefusedByName)
{
    file(c, QStringLiteral("Work/bad\rname.txt"));
    g().CurrentPath[0] = QStringLiteral("C:\\Work");
    desk.expectMsgBox(kTitle,
                      QStringLiteral("The Primary structure was not exported, because the name 'C:\\Work\\bad\rname.txt' "
                                     "cannot be written in a structure file."),
                      ui::vbExclamationOK, ui::vbOK);
    exportWith(0, {QStringLiteral("C:\\P.txt")});
    EXPECT_EQ(read(c, QStringLiteral("P.txt")), QByteArray("<missing>"));
}

TEST_F(Export, TheChoiceAsksAboutMissingAndEqualNames)
{
    workedTree();
    // Both wanted, the Primary's dialog cancelled and not tried again, then No to exporting the Secondary alone.
    desk.expectMsgBox(kTitle, QStringLiteral("For the Primary structure to be exported, the definition of a file is "
                                             "mandatory.\r\n\r\nWould you like to try again?"), ui::vbQuestionYesNo, ui::vbNo);
    desk.expectMsgBoxContaining(kTitle, QStringLiteral("Would you like to export only the Secondary structure?"),
                                ui::vbQuestionYesNo, ui::vbNo);
    exportWith(2, {QString(), QStringLiteral("D:\\S.txt")}, [&] {
        EXPECT_EQ(ex.lblOutputFile[1]->toolTipText(), QStringLiteral("D:\\S.txt"));
        EXPECT_TRUE(ex.cmdExportStructure->enabled()) << "a give-up leaves the window idle";
    });
    EXPECT_EQ(read(d, QStringLiteral("S.txt")), QByteArray("<missing>"));

    // One file under two spellings.
    folder(c, QStringLiteral("Out"));
    desk.expectMsgBoxContaining(kTitle, QStringLiteral("must not be the same as the name"), ui::vbQuestionYesNo, ui::vbNo);
    exportWith(2, {QStringLiteral("C:\\Out\\x.txt"), QStringLiteral("C:\\Work\\..\\Out\\x.txt")});
    EXPECT_EQ(read(c, QStringLiteral("Out/x.txt")), QByteArray("<missing>"));
}

// Both windows ask for each side's file in their own words and language: the
// dialog's title, folder, offered name and filter, then the questions about a
// file not given, answered Yes once and No, and about the side left alone.
TEST_F(Export, EachWindowsDialogsAndQuestionsNameTheSideAndTheUseInBothLanguages)
{
    g().CurrentPath = {QStringLiteral("C:\\Work"), QStringLiteral("D:\\Beta\\Gamma")};
    struct Texts {
        bool exporting, greek;
        const char *title, *primaryDialog, *secondaryDialog, *filter, *noFile, *alone;
    };
    const Texts cases[] = {
        {true, false, "Preparation for off line comparison",
         "Define the file where the Primary structure will be exported to",
         "Define the file where the Secondary structure will be exported to", "All files|*.*",
         "For the Primary structure to be exported, the definition of a file is mandatory.\r\n\r\nWould you like to try again?",
         "You have selected the exporting of both the Primary and the Secondary structures, but you did not define the file "
         "where the Primary structure will be exported to.\r\n\r\nWould you like to export only the Secondary structure?"},
        {true, true, "Προετοιμασία για σύγκριση χωρίς σύνδεση", "Ορίστε το αρχείο στο οποίο θα εξαχθεί η Πρωτεύουσα δομή",
         "Ορίστε το αρχείο στο οποίο θα εξαχθεί η Δευτερεύουσα δομή", "Όλα τα αρχεία|*.*",
         "Για να εξαχθεί η Πρωτεύουσα δομή, πρέπει να ορίσετε οπωσδήποτε ένα αρχείο.\r\n\r\nΘέλετε να προσπαθήσετε πάλι;",
         "Έχετε ζητήσει να εξαχθεί και η Πρωτεύουσα και η Δευτερεύουσα δομή, αλλά δεν ορίσατε το αρχείο στο οποίο θα "
         "εξαχθεί η Πρωτεύουσα δομή.\r\n\r\nΘέλετε να εξαχθεί μόνον η Δευτερεύουσα δομή;"},
        {false, false, "Off line comparison", "Define the file where the Primary structure will be imported from.",
         "Define the file where the Secondary structure will be imported from.", "All files|*.*",
         "For the Primary structure to be imported, the definition of the file that contains the exported structure of "
         "the remote computer, is mandatory.\r\n\r\nWould you like to try again?",
         "You have selected the importing of both the Primary and the Secondary structures, but you did not define the "
         "file where the Primary structure will be imported from.\r\n\r\nWould you like to import only the Secondary structure?"},
        {false, true, "Σύγκριση χωρίς σύνδεση", "Ορίστε το αρχείο από το οποίο θα εισαχθεί η Πρωτεύουσα δομή.",
         "Ορίστε το αρχείο από το οποίο θα εισαχθεί η Δευτερεύουσα δομή.", "Όλα τα αρχεία|*.*",
         "Για να εισαχθεί η Πρωτεύουσα δομή, πρέπει να ορίσετε οπωσδήποτε το αρχείο το οποίο περιέχει την εξαχθείσα δομή "
         "του απομακρυσμένου υπολογιστή.\r\n\r\nΘέλετε να προσπαθήσετε πάλι;",
         "Έχετε ζητήσει να εισαχθεί και η Πρωτεύουσα και η Δευτερεύουσα δομή, αλλά δεν ορίσατε το αρχείο από το οποίο θα "
         "εισαχθεί η Πρωτεύουσα δομή.\r\n\r\nΘέλετε να εισαχθεί μόνον η Δευτερεύουσα δομή;"},
    };
    for (const Texts& t : cases) {
        SCOPED_TRACE(std::string(t.exporting ? "export" : "import") + (t.greek ? " in Greek" : ""));
        g().LanguageIsGreek = t.greek;
        offline::StructureWindow& w = t.exporting ? static_cast<offline::StructureWindow&>(ex) : im;
        const ui::FileDialogKind kind = t.exporting ? ui::FileDialogKind::Save : ui::FileDialogKind::Open;
        const QString title = QString::fromUtf8(t.title);
        const QString alone = QString::fromUtf8(t.alone);
        desk.expectMsgBox(title, QString::fromUtf8(t.noFile), ui::vbQuestionYesNo, ui::vbYes);
        desk.expectMsgBox(title, QString::fromUtf8(t.noFile), ui::vbQuestionYesNo, ui::vbNo);
        desk.expectMsgBox(title, alone, t.exporting ? ui::vbQuestionYesNo : ui::vbQuestionYesNoDefNo, ui::vbNo);
        const qsizetype before = desk.fileDialogRequests().size();
        desk.onModal(w.name(), [&](ui::Form&) {
            w.optStructureSelection[2]->setValue(true);
            desk.cancelFileDialog(kind);
            desk.cancelFileDialog(kind);
            if (t.exporting) desk.answerSave(QStringLiteral("D:\\S.txt"));
            else desk.answerOpen(QStringLiteral("D:\\S.txt"));
            ui::Input::click(*w.cmdStart);
            EXPECT_TRUE(w.cmdStart->enabled()) << "a give-up leaves the window idle";
            EXPECT_EQ(w.lblFile[0]->caption(), QString());
            EXPECT_EQ(w.lblFile[1]->toolTipText(), QStringLiteral("D:\\S.txt"));
            EXPECT_EQ(w.lblFile[1]->caption(), QStringLiteral("D:\\S.txt")) << "the chosen file is shown";
            ui::Input::click(*w.cmdCancel);
        });
        w.show(ui::Modal);
        const QList<ui::FileDialogRequest> asked = desk.fileDialogRequests().mid(before);
        ASSERT_EQ(asked.size(), 3);
        for (int k = 0; k < 3; ++k) {
            const int side = k / 2;
            SCOPED_TRACE(k);
            EXPECT_EQ(asked[k].kind, kind);
            EXPECT_EQ(asked[k].title, QString::fromUtf8(side == 0 ? t.primaryDialog : t.secondaryDialog));
            EXPECT_EQ(asked[k].initDir, side == 0 ? QStringLiteral("C:\\") : QStringLiteral("D:\\"));
            EXPECT_EQ(asked[k].fileName, !t.exporting ? QString() : side == 0 ? QStringLiteral("P_C_Work.txt") : QStringLiteral("S_D_Gamma.txt"));
            EXPECT_EQ(asked[k].filter, QString::fromUtf8(t.filter));
        }
        EXPECT_EQ(desk.pendingMsgBoxes(), 0);
    }
    EXPECT_EQ(read(d, QStringLiteral("S.txt")), QByteArray("<missing>")) << "No to the side alone writes nothing";
}

// What both windows show stands apart inside them: at load, and while a run
// shows its stage, its bar and its clock.
TEST_F(Export, EveryShownControlOfBothWindowsStandsApartInsideItAlsoDuringARun)
{
    workedTree();
    file(d, QStringLiteral("Other/x.txt"));
    g().ShowElapsedTime = true;
    QStringList whileRunning;
    int yields = 0;
    desk.onYield([&] { return ex.isLoaded() && ex.lblProcessInProgress->visible() && ++yields == 3; }, [&] {
        EXPECT_TRUE(ex.prbProgressBar->visible() && ex.lblElapsedTime->visible());
        whileRunning = misplaced(ex);
    });
    desk.expectMsgBoxContaining(kTitle, QStringLiteral("The Secondary structure has been exported successfully."),
                                ui::vbInformationOK, ui::vbOK);
    exportWith(2, {QStringLiteral("C:\\P.txt"), QStringLiteral("D:\\S.txt")});
    EXPECT_EQ(yields, 3);
    EXPECT_EQ(whileRunning, QStringList());
    ex.load();
    EXPECT_EQ(misplaced(ex), QStringList());
    ex.unload();

    yields = 0;
    desk.onYield([&] { return im.isLoaded() && g().StructureImportInProgress && ++yields == 2; }, [&] {
        EXPECT_TRUE(im.prbProgressBar->visible());
        whileRunning = misplaced(im);
    });
    importWith(2, {QStringLiteral("C:\\P.txt"), QStringLiteral("D:\\S.txt")});
    EXPECT_EQ(yields, 2);
    EXPECT_EQ(whileRunning, QStringList());
    im.load();
    EXPECT_EQ(misplaced(im), QStringList());
}

TEST_F(Export, TheWindowsOwnCommandsAndDefaultFileNames)
{
    g().ExportStructureSelection = 1;
    g().HidePathToolTips = true;
    g().CurrentPath = {QStringLiteral("C:\\"), QStringLiteral("D:\\")};
    desk.onModal(QStringLiteral("frmExportStructure"), [&](ui::Form&) {
        EXPECT_TRUE(ex.optStructureSelection[1]->value());
        EXPECT_EQ(ex.cmdCancel->caption(), QStringLiteral("Cancel"));
        EXPECT_EQ(ex.lblCurrentFullPath[0]->toolTipText(), QString());
        ex.optStructureSelection[2]->setValue(true);
        ui::Input::click(*ex.cmdApply);
        EXPECT_EQ(ex.cmdCancel->caption(), QStringLiteral("Close"));
        ex.optStructureSelection[0]->setValue(true);
        EXPECT_EQ(ex.cmdCancel->caption(), QStringLiteral("Cancel"));
        // The bar of every window: percentages rounded half to even, clamped.
        const struct { qint64 current, total; double value; const char* tip; } bars[] = {
            {0, 0, 100, " 100 % "}, {5, 3, 100, " 100 % "}, {-1, 3, 0, " 0 % "}, {1, 8, 12.5, " 12 % "},
            {5, 200, 2.5, " 2 % "}, {7, 200, 3.5, " 4 % "}, {1, 3, 100.0 / 3, " 33 % "}, {3, 8, 37.5, " 38 % "}};
        for (const auto& b : bars) {
            ex.cpUpdateProgressBar(b.current, b.total);
            EXPECT_FLOAT_EQ(float(ex.prbProgressBar->value()), float(b.value)) << b.current << "/" << b.total;
            EXPECT_EQ(ex.prbProgressBar->toolTipText(), QLatin1String(b.tip));
        }
        ex.cpDisableControls();   // the bar and the labels stay live
        EXPECT_FALSE(ex.cmdApply->enabled());
        EXPECT_TRUE(ex.prbProgressBar->enabled());
        ex.cpEnableControls();
        EXPECT_TRUE(ex.cmdApply->enabled());
        ui::Input::click(*ex.cmdCancel);
    });
    ex.show(ui::Modal);
    EXPECT_EQ(g().ExportStructureSelection, 2);
    // The default names of the files.
    EXPECT_EQ(offline::DefaultExportFileName(0, QStringLiteral("F:\\")), QStringLiteral("P_F.txt"));
    EXPECT_EQ(offline::DefaultExportFileName(1, QStringLiteral("d:\\Projects\\Alpha")), QStringLiteral("S_D_Alpha.txt"));
    EXPECT_EQ(offline::DefaultExportFileName(0, QStringLiteral("C:\\a b ")), QStringLiteral("P_C_a b .txt"));
}

// A cancel at any of the first yields of a stage ends the run there: no
// later stage is shown, nothing is written, and a cancelled scan leaves no
// totals behind.
TEST_F(Export, ACancelAtTheFirstYieldsOfEachStageEndsTheRunThere)
{
    workedTree();
    for (int i = 0; i < 30; ++i) file(d, QStringLiteral("Many/Sub%1/f.txt").arg(i % 5) + QString::number(i));
    g().CurrentPath[1] = QStringLiteral("D:\\Many");
    const char* stages[] = {"scanning local structure - no progress percentage available",
                            "collecting local structure file attributes", "exporting local structure"};
    // What the window shows at the cancel's yield and every one after it
    // (the handlers outlive each run, so what they fill does too).
    int yields = 0;
    QStringList shownAfterTheCancel, totalsAfterTheCancel;
    const auto record = [&] {
        desk.onYield([&] { return ex.isLoaded() && g().CancelRequested; },
                     [&] {
                         shownAfterTheCancel << ex.lblProcessInProgress->caption();
                         totalsAfterTheCancel << ex.lblTotalFolders[0]->caption() + ex.lblTotalFolders[1]->caption();
                     }, true);
    };
    for (const char* stage : stages) {
        for (const int at : {1, 2, 3}) {
            SCOPED_TRACE(std::string(stage) + " at yield " + std::to_string(at));
            file(c, QStringLiteral("P.txt"), "old P");
            file(d, QStringLiteral("S.txt"), "old S");
            yields = 0;
            shownAfterTheCancel.clear();
            totalsAfterTheCancel.clear();
            cancelWhen([&, stage, at] { return ex.isLoaded() && ex.lblProcessInProgress->caption() == QLatin1String(stage) && ++yields == at; });
            record();
            exportWith(2, {QStringLiteral("C:\\P.txt"), QStringLiteral("D:\\S.txt")});
            ASSERT_EQ(yields, at);
            EXPECT_FALSE(ex.isLoaded());
            shownAfterTheCancel.removeDuplicates();
            EXPECT_EQ(shownAfterTheCancel, QStringList{QString::fromLatin1(stage)});
            if (stage == stages[0]) {
                totalsAfterTheCancel.removeDuplicates();
                EXPECT_EQ(totalsAfterTheCancel, QStringList{QString()}) << "a cancelled scan counts nothing";
            }
            EXPECT_EQ(read(c, QStringLiteral("P.txt")), QByteArray("old P"));
            EXPECT_EQ(read(d, QStringLiteral("S.txt")), QByteArray("old S"));
            EXPECT_EQ(leftovers(c) + leftovers(d), QStringList());
            EXPECT_FALSE(g().CancelRequested);
            EXPECT_FALSE(g().StructureExportInProgress);
        }
    }
    // A cancel just after the last side's scan has ended: the Secondary is not counted.
    yields = 0;
    shownAfterTheCancel.clear();
    totalsAfterTheCancel.clear();
    cancelWhen([&] { return ex.isLoaded() && basGlobal::HiddenForm().lstFinalListBox[1]->listCount() == 30 && ++yields == 1; });
    record();
    exportWith(2, {QStringLiteral("C:\\P.txt"), QStringLiteral("D:\\S.txt")});
    ASSERT_EQ(yields, 1);
    shownAfterTheCancel.removeDuplicates();
    totalsAfterTheCancel.removeDuplicates();
    EXPECT_EQ(shownAfterTheCancel, QStringList{QString::fromLatin1(stages[0])});
    EXPECT_EQ(totalsAfterTheCancel, QStringList{QStringLiteral("Folders: 3.")});
}

// The choice of structures a window opens with and keeps: a saved choice
// out of range opens on the Secondary, and Apply keeps what is chosen (the
// Secondary when nothing is).
TEST_F(Export, TheChoiceOfStructuresOpensInRangeAndApplyKeepsIt)
{
    const struct { int saved, shown; } cases[] = {{0, 0}, {1, 1}, {2, 2}, {-1, 1}, {3, 1}, {7, 1}};
    for (const auto& k : cases) {
        for (offline::StructureWindow* w : {static_cast<offline::StructureWindow*>(&ex), static_cast<offline::StructureWindow*>(&im)}) {
            SCOPED_TRACE(w->name().toStdString() + " " + std::to_string(k.saved));
            basGlobal::Integer& saved = w == &ex ? g().ExportStructureSelection : g().ImportStructureSelection;
            saved = basGlobal::Integer(k.saved);
            desk.onModal(w->name(), [&](ui::Form&) {
                for (int o = 0; o < 3; ++o) EXPECT_EQ(w->optStructureSelection[o]->value(), o == k.shown) << o;
                ui::Input::click(*w->cmdApply);
                EXPECT_EQ(saved, k.shown);
                for (int o = 0; o < 3; ++o) w->optStructureSelection[o]->setValue(false);
                ui::Input::click(*w->cmdApply);
                EXPECT_EQ(saved, 1);
                ui::Input::click(*w->cmdCancel);
            });
            w->show(ui::Modal);
        }
    }
}

// Two names of one structure file: the same text (under the volume's case
// rule), one folder reached two ways, or one file under two hard links.
TEST_F(Export, TwoNamesAreOneStructureFileWhenTheyReachTheSameFile)
{
    file(c, QStringLiteral("Out/x.txt"));
    file(c, QStringLiteral("Out/y.txt"));
    ASSERT_EQ(::link(QFile::encodeName(nativeOf(c, QStringLiteral("Out/x.txt"))).constData(),
                     QFile::encodeName(nativeOf(c, QStringLiteral("Out/hard.txt"))).constData()), 0);
    folder(c, QStringLiteral("Work"));
    testing_support::mountDrives({{'C', c.path()}, {'D', d.path()}, {'E', nativeOf(c, QStringLiteral("Out"))}});
    const struct { const char *a, *b; bool caseSensitive, same; } cases[] = {
        {"C:\\Out\\x.txt", "C:\\Out\\x.txt", true, true},
        {"C:\\Out\\new.txt", "C:\\Out\\new.txt", true, true},
        {"C:\\Out\\X.TXT", "c:\\out\\x.txt", false, true},
        {"C:\\Out\\X.TXT", "C:\\Out\\x.txt", true, false},
        {"Q:\\x.txt", "Q:\\y.txt", true, false},
        {"Q:\\x.txt", "C:\\Out\\x.txt", true, false},
        {"C:\\Out\\x.txt", "Q:\\x.txt", true, false},
        {"C:\\Work\\..\\Out\\new.txt", "C:\\Out\\new.txt", true, true},
        {"E:\\x.txt", "C:\\Out\\x.txt", true, true},
        {"E:\\new.txt", "C:\\Out\\new.txt", true, true},
        {"C:\\Out\\hard.txt", "C:\\Out\\x.txt", true, true},
        {"C:\\Out\\y.txt", "C:\\Out\\x.txt", true, false},
        {"C:\\Out\\new.txt", "C:\\Out\\x.txt", true, false},
        {"C:\\No1\\x.txt", "C:\\No2\\x.txt", true, false},   // folders that are not there
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(k.a) + " " + k.b);
        g().VolumeIsCaseSensitive = k.caseSensitive;
        EXPECT_EQ(offline::SameStructureFile(QString::fromUtf8(k.a), QString::fromUtf8(k.b)), k.same);
        EXPECT_EQ(offline::SameStructureFile(QString::fromUtf8(k.b), QString::fromUtf8(k.a)), k.same);
    }
}

// One file for both sides is asked about in the words of each window and
// language: Yes asks for both files again, No gives up. A Secondary left
// out is named as such. Apply keeps the choice in the INI file, and each
// dialog asks with its own flags (the Save dialog does not insist that the
// file exists).
TEST_F(Export, OneFileForBothSidesIsAskedAboutAndASecondaryLeftOutIsNamed)
{
    file(c, QStringLiteral("x.txt"), compare_test::workedExample());
    struct Texts { bool exporting, greek; const char *title, *same, *noSecondary, *secondaryMissing; };
    const Texts cases[] = {
        {true, false, "Preparation for off line comparison",
         "The name of the file were the the Primary structure will be exported to, must not be the same as the name of the "
         "file were the Secondary structure will be exported to.\r\n\r\nWould you like to try again?",
         "For the Secondary structure to be exported, the definition of a file is mandatory.\r\n\r\nWould you like to try again?",
         "You have selected the exporting of both the Primary and the Secondary structures, but you did not define the file "
         "where the Secondary structure will be exported to.\r\n\r\nWould you like to export only the Primary structure?"},
        {true, true, "Προετοιμασία για σύγκριση χωρίς σύνδεση",
         "Το όνομα του αρχείου στο οποίο θα εξαχθεί η Πρωτεύουσα δομή, δεν πρέπει να είναι το ίδιο με το όνομα του αρχείου "
         "στο οποίο θα εξαχθεί η Δευτερεύουσα δομή.\r\n\r\nΘέλετε να προσπαθήσετε ξανά;",
         "Για να εξαχθεί η Δευτερεύουσα δομή, πρέπει να ορίσετε οπωσδήποτε ένα αρχείο.\r\n\r\nΘέλετε να προσπαθήσετε πάλι;",
         "Έχετε ζητήσει να εξαχθεί και η Πρωτεύουσα και η Δευτερεύουσα δομή, αλλά δεν ορίσατε το αρχείο στο οποίο θα "
         "εξαχθεί η Δευτερεύουσα δομή.\r\n\r\nΘέλετε να εξαχθεί μόνον η Πρωτεύουσα δομή;"},
        {false, false, "Off line comparison",
         "The name of the file were the the Primary structure will be imported from, must not be the same as the name of "
         "the file were the Secondary structure will be imported from.\r\n\r\nWould you like to try again?",
         "For the Secondary structure to be imported, the definition of the file that contains the exported structure of "
         "the remote computer, is mandatory.\r\n\r\nWould you like to try again?",
         "You have selected the importing of both the Primary and the Secondary structures, but you did not define the "
         "file where the Secondary structure will be imported from.\r\n\r\nWould you like to import only the Primary structure?"},
        {false, true, "Σύγκριση χωρίς σύνδεση",
         "Το όνομα του αρχείου από το οποίο θα εισαχθεί η Πρωτεύουσα δομή, δεν πρέπει να είναι το ίδιο με το όνομα του "
         "αρχείου από το οποίο θα εισαχθεί η Δευτερεύουσα δομή.\r\n\r\nΘέλετε να προσπαθήσετε ξανά;",
         "Για να εισαχθεί η Δευτερεύουσα δομή, πρέπει να ορίσετε οπωσδήποτε το αρχείο το οποίο περιέχει την εξαχθείσα δομή "
         "του απομακρυσμένου υπολογιστή.\r\n\r\nΘέλετε να προσπαθήσετε πάλι;",
         "Έχετε ζητήσει να εισαχθεί και η Πρωτεύουσα και η Δευτερεύουσα δομή, αλλά δεν ορίσατε το αρχείο από το οποίο θα "
         "εισαχθεί η Δευτερεύουσα δομή.\r\n\r\nΘέλετε να εισαχθεί μόνον η Πρωτεύουσα δομή;"},
    };
    for (const Texts& t : cases) {
        SCOPED_TRACE(std::string(t.exporting ? "export" : "import") + (t.greek ? " in Greek" : ""));
        g().LanguageIsGreek = t.greek;
        g().HidePathToolTips = t.greek;
        offline::StructureWindow& w = t.exporting ? static_cast<offline::StructureWindow&>(ex) : im;
        const ui::FileDialogKind kind = t.exporting ? ui::FileDialogKind::Save : ui::FileDialogKind::Open;
        const QString x = QStringLiteral("C:\\x.txt");
        const auto answer = [&] {
            if (t.exporting) desk.answerSave(x);
            else desk.answerOpen(x);
        };
        const QString title = QString::fromUtf8(t.title);
        desk.expectMsgBox(title, QString::fromUtf8(t.same), ui::vbQuestionYesNo, ui::vbYes);
        desk.expectMsgBox(title, QString::fromUtf8(t.same), ui::vbQuestionYesNo, ui::vbNo);
        desk.expectMsgBox(title, QString::fromUtf8(t.noSecondary), ui::vbQuestionYesNo, ui::vbNo);
        desk.expectMsgBox(title, QString::fromUtf8(t.secondaryMissing), t.exporting ? ui::vbQuestionYesNo : ui::vbQuestionYesNoDefNo,
                          ui::vbNo);
        const qsizetype before = desk.fileDialogRequests().size();
        desk.onModal(w.name(), [&](ui::Form&) {
            w.optStructureSelection[2]->setValue(true);
            for (int k = 0; k < 4; ++k) answer();
            ui::Input::click(*w.cmdStart);
            EXPECT_EQ(desk.fileDialogRequests().size() - before, 4) << "Yes asks for both files again";
            EXPECT_EQ(w.lblFile[1]->caption(), x);
            EXPECT_EQ(w.lblFile[1]->toolTipText(), t.greek ? QString() : x);
            answer();
            desk.cancelFileDialog(kind);
            ui::Input::click(*w.cmdStart);
            EXPECT_EQ(w.lblFile[0]->caption(), x);
            EXPECT_EQ(w.lblFile[1]->caption(), QString());
            EXPECT_TRUE(w.cmdStart->enabled());
            ui::Input::click(*w.cmdApply);
            ui::Input::click(*w.cmdCancel);
        });
        w.show(ui::Modal);
        EXPECT_EQ(desk.pendingMsgBoxes(), 0);
        const QList<ui::FileDialogRequest> asked = desk.fileDialogRequests().mid(before);
        ASSERT_EQ(asked.size(), 6);
        for (const ui::FileDialogRequest& r : asked) EXPECT_EQ(r.flags, t.exporting ? 0x288806 : 0x281804);
        EXPECT_TRUE(read(c, QStringLiteral("Quillmarsh.ini")).contains(t.exporting ? "ExportStructure=2" : "ImportStructure=2"));
    }
    EXPECT_EQ(read(c, QStringLiteral("x.txt")), compare_test::workedExample()) << "nothing was written";

    // Yes to the Primary alone: only its file is checked and accepted.
    g().LanguageIsGreek = false;
    desk.expectMsgBoxContaining(QStringLiteral("Off line comparison"), QStringLiteral("For the Secondary structure"), ui::vbQuestionYesNo, ui::vbNo);
    desk.expectMsgBoxContaining(QStringLiteral("Off line comparison"), QStringLiteral("import only the Primary structure?"),
                                ui::vbQuestionYesNoDefNo, ui::vbYes);
    g().ImportNotAccepted = true;
    desk.onModal(QStringLiteral("frmImportStructure"), [&](ui::Form&) {
        im.optStructureSelection[2]->setValue(true);
        desk.answerOpen(QStringLiteral("C:\\x.txt"));
        desk.cancelFileDialog(ui::FileDialogKind::Open);
        ui::Input::click(*im.cmdIntegrityCheck);
        if (im.isShown()) ui::Input::click(*im.cmdCancel);
    });
    im.show(ui::Modal);
    EXPECT_FALSE(g().ImportNotAccepted);
    EXPECT_EQ(g().ImportedStructureFile, (basGlobal::Pair<QString>{QStringLiteral("C:\\x.txt"), QString()}));

    // And to the Secondary alone.
    desk.expectMsgBoxContaining(QStringLiteral("Off line comparison"), QStringLiteral("For the Primary structure"), ui::vbQuestionYesNo, ui::vbNo);
    desk.expectMsgBoxContaining(QStringLiteral("Off line comparison"), QStringLiteral("import only the Secondary structure?"),
                                ui::vbQuestionYesNoDefNo, ui::vbYes);
    g().ImportNotAccepted = true;
    desk.onModal(QStringLiteral("frmImportStructure"), [&](ui::Form&) {
        im.optStructureSelection[2]->setValue(true);
        desk.cancelFileDialog(ui::FileDialogKind::Open);
        desk.answerOpen(QStringLiteral("C:\\x.txt"));
        ui::Input::click(*im.cmdIntegrityCheck);
        if (im.isShown()) ui::Input::click(*im.cmdCancel);
    });
    im.show(ui::Modal);
    EXPECT_FALSE(g().ImportNotAccepted);
    EXPECT_EQ(g().ImportedStructureFile, (basGlobal::Pair<QString>{QString(), QStringLiteral("C:\\x.txt")}));
}

// The counts the window shows and the header's first-level folders: every
// folder below the root once, however deep or empty, and the first-level
// names in the program's sort order; in Greek too.
TEST_F(Export, TheTotalsCountEveryFolderOnceAndTheHeaderListsTheFirstLevelInOrder)
{
    file(c, QStringLiteral("T/top.txt"));
    file(c, QStringLiteral("T/b/1.txt"));
    file(c, QStringLiteral("T/b/2.txt"));
    file(c, QStringLiteral("T/B/3.txt"));
    file(c, QStringLiteral("T/a b/4.txt"));
    file(c, QStringLiteral("T/Z/Y/X/5.txt"));
    folder(c, QStringLiteral("T/Z/Empty"));
    folder(c, QStringLiteral("T/_u"));
    file(d, QStringLiteral("Flat/only.txt"));
    g().CurrentPath = {QStringLiteral("C:\\T"), QStringLiteral("D:\\Flat")};
    g().LanguageIsGreek = true;
    desk.expectMsgBox(QStringLiteral("Προετοιμασία για σύγκριση χωρίς σύνδεση"),
                      QStringLiteral("Η Πρωτεύουσα δομή εξήχθη με επιτυχία.\r\n\r\nΗ Δευτερεύουσα δομή εξήχθη με επιτυχία."),
                      ui::vbInformationOK, ui::vbOK);
    exportWith(2, {QStringLiteral("C:\\P.txt"), QStringLiteral("D:\\S.txt")}, [&] {
        EXPECT_EQ(ex.lblTotalFolders[0]->caption(), QStringLiteral("Φάκελλοι: 8."));
        EXPECT_EQ(ex.lblTotalFiles[0]->caption(), QStringLiteral("Αρχεία: 6."));
        EXPECT_EQ(ex.lblTotalFolders[1]->caption(), QStringLiteral("Φάκελλοι: 0."));
        EXPECT_EQ(ex.lblTotalFiles[1]->caption(), QStringLiteral("Αρχεία: 1."));
    });
    const QList<QByteArray> lines = read(c, QStringLiteral("P.txt")).split('\n');
    ASSERT_GT(lines.size(), 9);
    EXPECT_EQ(lines.mid(0, 9), (QList<QByteArray>{"89\r", "C:\\T\\\r", "5\r", "a b\r", "B\r", "b\r", "Z\r", "_u\r", "10\r"}))
        << "six files and a marker for each of Z, Z\\Y, Z\\Empty and _u, which hold no file";
    EXPECT_TRUE(read(d, QStringLiteral("S.txt")).startsWith("12\r\nD:\\Flat\\\r\n0\r\n1\r\n"));
}

// Both windows as designed: each control's place, size and help topic, in
// twips, and the window's own size.
TEST_F(Export, BothWindowsLayTheirControlsOutAsDesigned)
{
    struct Place { const char* name; int left, top, width, height, topic; };
    const Place exportPlaces[] = {
        {"lblCurrentFullPath0", 120, 120, 7560, 252, 20010}, {"lblTotalFolders0", 120, 420, 3720, 252, 20020},
        {"lblTotalFiles0", 3960, 420, 3720, 252, 20030},     {"lblOutputFile0", 120, 720, 7560, 252, 20040},
        {"lblCurrentFullPath1", 120, 1140, 7560, 252, 20015}, {"lblTotalFolders1", 120, 1440, 3720, 252, 20025},
        {"lblTotalFiles1", 3960, 1440, 3720, 252, 20035},    {"lblOutputFile1", 120, 1740, 7560, 252, 20045},
        {"lblProcessInProgress", 120, 3240, 7560, 252, 20050}, {"fraStructureSelection", 120, 2100, 7560, 1020, 20070},
        {"optStructureSelection0", 240, 260, 7200, 240, 20080}, {"optStructureSelection1", 240, 500, 7200, 240, 20090},
        {"optStructureSelection2", 240, 740, 7200, 240, 20100}, {"prbProgressBar", 120, 3540, 7560, 252, 20060},
        {"lblElapsedTime", 120, 4004, 1212, 252, 20110},      {"cmdCancel", 2004, 3920, 1812, 420, 20120},
        {"cmdApply", 3936, 3920, 1812, 420, 20130},           {"cmdExportStructure", 5868, 3920, 1812, 420, 20140},
    };
    const Place importPlaces[] = {
        {"lblInputFile0", 120, 120, 7560, 252, 30010},          {"lblInputFile1", 120, 480, 7560, 252, 30015},
        {"fraStructureSelection", 120, 900, 7560, 1020, 30020}, {"optStructureSelection0", 240, 260, 7200, 240, 30030},
        {"optStructureSelection1", 240, 500, 7200, 240, 30040}, {"optStructureSelection2", 240, 740, 7200, 240, 30050},
        {"prbProgressBar", 120, 2040, 7560, 252, 30060},        {"lblElapsedTime", 120, 2504, 1212, 252, 30070},
        {"cmdCancel", 2004, 2420, 1812, 420, 30080},            {"cmdApply", 3936, 2420, 1812, 420, 30090},
        {"cmdIntegrityCheck", 5868, 2420, 1812, 420, 30100},
    };
    const auto placesOf = [](ui::Form& f) {
        QStringList out;
        f.load();
        out << QStringLiteral("%1 %2x%3").arg(f.name()).arg(f.width()).arg(f.height());
        for (const ui::Control* c : f.controls()) {
            if (c->kind() == ui::ControlKind::Timer || c->kind() == ui::ControlKind::FormResizer) continue;
            out << QStringLiteral("%1%2 %3,%4 %5x%6 %7")
                       .arg(c->name(), c->index() >= 0 ? QString::number(c->index()) : QString())
                       .arg(c->left()).arg(c->top()).arg(c->width()).arg(c->height()).arg(c->helpTopic());
        }
        f.unload();
        return out;
    };
    const auto designed = [](const QString& form, int width, int height, const auto& places) {
        QStringList out{QStringLiteral("%1 %2x%3").arg(form).arg(width).arg(height)};
        for (const Place& p : places)
            out << QStringLiteral("%1 %2,%3 %4x%5 %6").arg(QLatin1String(p.name)).arg(p.left).arg(p.top).arg(p.width).arg(p.height).arg(p.topic);
        return out;
    };
    EXPECT_EQ(placesOf(ex), designed(QStringLiteral("frmExportStructure"), 7920, 4860, exportPlaces));
    EXPECT_EQ(placesOf(im), designed(QStringLiteral("frmImportStructure"), 7920, 3360, importPlaces));
}

// A window opened again shows no file of its last run, each side's label in
// that side's tint.
TEST_F(Export, AWindowOpenedAgainShowsNoFileOfItsLastRun)
{
    for (offline::StructureWindow* w : {static_cast<offline::StructureWindow*>(&ex), static_cast<offline::StructureWindow*>(&im)}) {
        SCOPED_TRACE(w->name().toStdString());
        desk.onModal(w->name(), [&](ui::Form&) {
            w->optStructureSelection[0]->setValue(true);
            for (int i = 0; i < 2; ++i) {
                w->lblFile[i]->setCaption(QStringLiteral("C:\\old.txt"));
                w->lblFile[i]->setToolTipText(QStringLiteral("C:\\old.txt"));
                w->lblFile[i]->setBackColor(0);
            }
            ui::Input::click(*w->cmdApply);
            EXPECT_EQ(w->cmdCancel->caption(), QStringLiteral("Close"));
            ui::Input::click(*w->cmdCancel);
        });
        w->show(ui::Modal);
        desk.onModal(w->name(), [&](ui::Form&) {
            EXPECT_EQ(w->cmdCancel->caption(), QStringLiteral("Cancel")) << "nothing applied yet";
            EXPECT_EQ(w->defaultButton(), w->cmdStart) << "Enter starts";
            EXPECT_EQ(w->cancelButton(), w->cmdCancel) << "Escape cancels";
            for (int i = 0; i < 2; ++i) {
                EXPECT_EQ(w->lblFile[i]->caption(), QString()) << i;
                EXPECT_EQ(w->lblFile[i]->toolTipText(), QString()) << i;
                EXPECT_EQ(w->lblFile[i]->backColor(), i == 0 ? 0xC0E0FFu : 0xFFFFC0u) << i;
            }
            ui::Input::click(*w->cmdCancel);
        });
        w->show(ui::Modal);
    }
}

} // namespace
