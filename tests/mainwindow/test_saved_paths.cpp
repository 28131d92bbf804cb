// Saved and initial paths: storing into the saved-path files, the recall
// window, editing the file, and the initial paths in the INI, headless on a
// temporary drive.
#include "mainwindow_fixture.h"
#include "mainwindow/frmRecallSavedPath.h"
#include "shared/basSavedPaths.h"
#include "shared/frmTextEditor.h"

#include <sys/stat.h>

#include <utility>

using namespace basGlobal;
using mainwindow::frmMain;

namespace {

const QString kStore = QStringLiteral("Store path");
const QString kFile = QStringLiteral("PrimarySavedPaths.txt");

class SavedPathsTest : public MainWindowFixture<frmMain> {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        g().SavedPathsFileName = {QStringLiteral("C:\\") + kFile, QStringLiteral("C:\\SecondarySavedPaths.txt")};
        g().IniFileName = QStringLiteral("C:\\Quillmarsh.ini");
    }
    QByteArray bytes() const { return drive.bytes(kFile); }
    // Stores `path` answering the question with `answer` (0: no question expected).
    bool store(const QString& path, int answer)
    {
        if (answer)
            desk.expectMsgBoxContaining(kStore, QStringLiteral("Do you really want to save path '") + path + u'\'', 36, answer);
        bool aborted = false;
        return StorePath(nullptr, path, globals().SavedPathsFileName[0], alreadySaved, aborted, lastError);
    }

    bool alreadySaved = false;
    Long lastError = 0;
};

// Storing into the file as it stands (null: no file): the question answered,
// or (answer 0) a message of the style `box` that says `told`; then the file.
TEST_F(SavedPathsTest, StoringPutsANewPathFirstAndKeepsEveryOtherLineInCrLf)
{
    const struct { const char* before; const char* path; bool caseSensitive; int answer, box; const char* told, *after; } rows[] = {
        {nullptr, "C:\\One", true, ui::vbYes, 0, "", "C:\\One\r\n"},
        // LF-only and CR-only lines read like CR LF ones; blank lines stay where they were.
        {"C:\\Two\n\nC:\\Three\rC:\\Four", "C:\\Five", true, ui::vbYes, 0, "", "C:\\Five\r\nC:\\Two\r\n\r\nC:\\Three\r\nC:\\Four\r\n"},
        // A trailing blank makes another path: the comparison does not trim.
        {"C:\\Two\r\n", "C:\\Two ", true, ui::vbYes, 0, "", "C:\\Two \r\nC:\\Two\r\n"},
        {"C:\\Old\n", "C:\\Six", true, ui::vbNo, 0, "", "C:\\Old\n"},   // No leaves the file byte for byte
        {"C:\\Data\r\n", "C:\\DATA", false, 0, 64, "Path 'C:\\DATA', has already been saved in the saved paths file.", "C:\\Data\r\n"},
        {"C:\\Data\r\n", "C:\\DATA", true, ui::vbYes, 0, "", "C:\\DATA\r\nC:\\Data\r\n"},   // case tells them apart
        {"C:\\Old\r\n", "C:\\a\r\nC:\\b", true, 0, 48, "line break", "C:\\Old\r\n"},
    };
    for (const auto& r : rows) {
        QFile::remove(drive.native(kFile));
        if (r.before)
            drive.file(kFile, r.before);
        globals().VolumeIsCaseSensitive = r.caseSensitive;
        if (r.box)
            desk.expectMsgBoxContaining(kStore, QString::fromLatin1(r.told), r.box, ui::vbOK);
        EXPECT_EQ(store(QString::fromLatin1(r.path), r.answer), r.answer == ui::vbYes) << r.path;
        EXPECT_EQ(alreadySaved, r.box == 64) << r.path;
        EXPECT_EQ(lastError, 0) << r.path;
        EXPECT_EQ(bytes(), r.after) << r.path;
    }
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(drive.native()).entryList(QDir::Files | QDir::Hidden), QStringList{kFile});
}

TEST_F(SavedPathsTest, WhatTheFileGainsWhileTheQuestionIsUpIsKept)
{
    drive.file(kFile, "C:\\Old\r\n");
    ui::MeanwhileDesktop aside;
    aside.install();
    aside.meanwhile = [&] { drive.file(kFile, "C:\\Meanwhile\r\nC:\\Old\r\n"); };
    aside.expectMsgBoxContaining(kStore, QStringLiteral("Do you really want to save path 'C:\\New'"), 36, ui::vbYes);
    bool aborted = false;
    EXPECT_TRUE(StorePath(nullptr, QStringLiteral("C:\\New"), g().SavedPathsFileName[0], alreadySaved, aborted, lastError));
    EXPECT_EQ(bytes(), "C:\\New\r\nC:\\Meanwhile\r\nC:\\Old\r\n");
    // The very path stored meanwhile is not stored twice.
    aside.meanwhile = [&] { drive.file(kFile, "C:\\Other\r\n" + bytes()); };
    aside.expectMsgBoxContaining(kStore, QStringLiteral("Do you really want to save path 'C:\\Other'"), 36, ui::vbYes);
    aside.expectMsgBoxContaining(kStore, QStringLiteral("has already been saved"), 64, ui::vbOK);
    EXPECT_FALSE(StorePath(nullptr, QStringLiteral("C:\\Other"), g().SavedPathsFileName[0], alreadySaved, aborted, lastError));
    EXPECT_TRUE(alreadySaved && !aborted && lastError == 0);
    EXPECT_EQ(bytes(), "C:\\Other\r\nC:\\New\r\nC:\\Meanwhile\r\nC:\\Old\r\n");
    EXPECT_EQ(aside.pendingMsgBoxes(), 0);
    desk.install();
}

// A folder the user cannot write: the old file stays whole.
TEST_F(SavedPathsTest, AStoreThatCannotWriteFailsCleanly)
{
    drive.file(kFile, "C:\\Old\r\n");
    ::chmod(drive.nativeBytes().constData(), 0555);
    desk.allowMsgBox(kStore, QStringLiteral("Do you really want to save path 'C:\\New', in the saved paths file?"), 36, ui::vbYes);
    const int rc = testing_support::runUnprivileged([&] { return store(QStringLiteral("C:\\New"), 0) ? 0 : int(lastError); });
    ::chmod(drive.nativeBytes().constData(), 0700);
    EXPECT_EQ(rc, 70);
    EXPECT_EQ(bytes(), "C:\\Old\r\n");
}

TEST_F(SavedPathsTest, InitialPathIsSetOnceAndReadWithoutALengthCap)
{
    const QString title = QStringLiteral("Set initial path");
    const QString key = QStringLiteral("PrimaryInitialPath");
    const QString path = QStringLiteral("C:\\") + QString(40000, u'x');
    bool already = false, aborted = false;
    Long e = 0;
    desk.expectMsgBoxContaining(title, QStringLiteral("Do you really want to set '"), 36, ui::vbNo);
    EXPECT_FALSE(SetInitialPath(nullptr, path, globals().IniFileName, already, aborted, e, key));
    EXPECT_TRUE(aborted);
    EXPECT_FALSE(QFile::exists(drive.native(QStringLiteral("Quillmarsh.ini"))));
    desk.expectMsgBoxContaining(title, QStringLiteral("Do you really want to set '"), 36, ui::vbYes);
    EXPECT_TRUE(SetInitialPath(nullptr, path, globals().IniFileName, already, aborted, e, key));
    EXPECT_EQ(GetInitialPath(globals().IniFileName, key, QStringLiteral("C:"), e), path);
    desk.expectMsgBoxContaining(title, QStringLiteral("has already been set as the initial path of the application."), 64, ui::vbOK);
    EXPECT_FALSE(SetInitialPath(nullptr, path, globals().IniFileName, already, aborted, e, key));
    EXPECT_TRUE(already);
}

// The path already set is recognised under the volume's case rule only.
TEST_F(SavedPathsTest, AnInitialPathIsTheSameOneUnderTheVolumesCaseRule)
{
    const QString title = QStringLiteral("Set initial path");
    const QString key = QStringLiteral("SecondaryInitialPath");
    drive.file(QStringLiteral("Quillmarsh.ini"), "[General]\r\nSecondaryInitialPath=C:\\Work\\Docs\r\n");
    bool already = false, aborted = false;
    Long e = 0;
    globals().VolumeIsCaseSensitive = false;
    desk.expectMsgBox(title, QStringLiteral("Path 'c:\\WORK\\docs', has already been set as the initial path of the application."),
                      64, ui::vbOK);
    EXPECT_FALSE(SetInitialPath(nullptr, QStringLiteral("c:\\WORK\\docs"), globals().IniFileName, already, aborted, e, key));
    EXPECT_TRUE(already);
    globals().VolumeIsCaseSensitive = true;
    globals().LanguageIsGreek = true;
    desk.expectMsgBox(QStringLiteral("Ορισμός αρχικής διαδρομής"),
                      QStringLiteral("Θέλετε πράγματι να ορίσετε την διαδρομή «c:\\WORK\\docs», ως αρχική διαδρομή της εφαρμογής;"),
                      36, ui::vbYes);
    EXPECT_TRUE(SetInitialPath(nullptr, QStringLiteral("c:\\WORK\\docs"), globals().IniFileName, already, aborted, e, key));
    EXPECT_FALSE(already);
    EXPECT_EQ(bytes(), "<missing>");
    EXPECT_EQ(drive.bytes(QStringLiteral("Quillmarsh.ini")), "[General]\r\nSecondaryInitialPath=c:\\WORK\\docs\r\n");
}

// ---- Through the main window ----------------------------------------------------------

class RecallTest : public SavedPathsTest {
protected:
    void SetUp() override
    {
        SavedPathsTest::SetUp();
        for (const char* f : {"Alpha", "Beta", "Gamma"})
            drive.folder(QLatin1String(f));
        drive.file(kFile, "C:\\Gamma\r\n\r\nC:\\Alpha\r\n  \r\nC:\\Beta\r\n");
        main.load();
    }
    static mainwindow::frmRecallSavedPath* recallOf(ui::Form& f) { return dynamic_cast<mainwindow::frmRecallSavedPath*>(&f); }
    // Recalls the first path the window lists.
    void recallFirst()
    {
        desk.onModal(QStringLiteral("frmRecallSavedPath"), [](ui::Form& f) {
            ui::Input::listClick(*recallOf(f)->lstSavedPaths[0], 0);
            ui::Input::click(*recallOf(f)->cmdRecall);
        });
        main.mnuRecallPathRecent->Click();
    }
};

using mainwindow::frmRecallSavedPath;

TEST_F(RecallTest, RecallingMovesTheStructureAndTheSortChoiceLivesInViewMemoryAndIni)
{
    // The window comes up in file order, the sorted list lying exactly over it;
    // ticking the box only changes the view; Restore keeps it in memory.
    desk.onModal(QStringLiteral("frmRecallSavedPath"), [&](ui::Form& f) {
        frmRecallSavedPath& r = *recallOf(f);
        EXPECT_EQ(items(*r.lstSavedPaths[0]), (QStringList{"C:\\Gamma", "C:\\Alpha", "C:\\Beta"}));
        EXPECT_EQ(items(*r.lstSavedPaths[1]), (QStringList{"C:\\Alpha", "C:\\Beta", "C:\\Gamma"}));
        EXPECT_EQ(r.lstSavedPaths[1]->top(), r.lstSavedPaths[0]->top());
        EXPECT_TRUE(r.lstSavedPaths[0]->visible());
        EXPECT_FALSE(r.lstSavedPaths[1]->visible());
        EXPECT_EQ(r.lstSavedPaths[0]->backColor(), main.lstFirstLevelFolders[0]->backColor());
        EXPECT_FALSE(r.cmdRecall->enabled());
        r.chkSortSavedPaths->setValue(1);
        EXPECT_TRUE(r.lstSavedPaths[1]->visible());
        ui::Input::listClick(*r.lstSavedPaths[1], 1);
        EXPECT_TRUE(r.cmdRecall->enabled());
        ui::Input::click(*r.cmdRecall);
    });
    main.mnuRecallPathRecent->Click();
    EXPECT_EQ(globals().CurrentPath[0], QStringLiteral("C:\\Beta"));
    EXPECT_TRUE(globals().SavedPathsSorted);
    EXPECT_FALSE(iniBytes().contains("SortSavedPaths"));

    // Reopened: sorted. Declining to edit the file keeps the lists and the
    // choice. Untick and Apply writes the INI and Cancel reads Close; a click
    // on the box makes it Cancel again. Cancel moves nothing.
    desk.onModal(QStringLiteral("frmRecallSavedPath"), [&](ui::Form& f) {
        frmRecallSavedPath& r = *recallOf(f);
        EXPECT_EQ(r.chkSortSavedPaths->value(), 1);
        ui::Input::listClick(*r.lstSavedPaths[1], 0);
        desk.expectMsgBoxContaining(QStringLiteral("Edit saved paths"), QStringLiteral("The application is suspended"), 36, ui::vbNo);
        ui::Input::click(*r.cmdEdit);
        EXPECT_TRUE(r.cmdRecall->enabled());
        EXPECT_EQ(r.lstSavedPaths[1]->listCount(), 3);
        r.chkSortSavedPaths->setValue(0);
        ui::Input::click(*r.cmdApply);
        EXPECT_EQ(r.cmdCancel->caption(), QStringLiteral("Close"));
        r.chkSortSavedPaths->setValue(1);
        EXPECT_EQ(r.cmdCancel->caption(), QStringLiteral("Cancel"));
        ui::Input::click(*r.cmdCancel);
    });
    main.mnuRecallPathRecent->Click();
    EXPECT_FALSE(globals().SavedPathsSorted);
    EXPECT_TRUE(iniBytes().contains("SortSavedPaths=False"));
    EXPECT_EQ(globals().CurrentPath[0], QStringLiteral("C:\\Beta"));
}

// Its words in either language; each list tips the path under the pointer
// (none below the paths, none while a button is held, none when path tips
// are hidden).
TEST_F(RecallTest, ItsWordsInEitherLanguageAndEachListTipsThePathUnderThePointer)
{
    for (bool greek : {false, true}) {
        SCOPED_TRACE(greek ? "Greek" : "English");
        globals().LanguageIsGreek = greek;
        globals().HidePathToolTips = false;
        desk.onModal(QStringLiteral("frmRecallSavedPath"), [&](ui::Form& f) {
            frmRecallSavedPath& r = *recallOf(f);
            EXPECT_EQ(r.caption(), greek ? "Επαναφορά αποθηκευμένης διαδρομής" : "Restore saved path");
            EXPECT_EQ(QStringList({r.cmdRecall->caption(), r.cmdCancel->caption(), r.cmdEdit->caption(), r.cmdApply->caption(),
                                   r.chkSortSavedPaths->caption()}),
                      greek ? QStringList({"Επαναφορά διαδρομής", "Άκυρο", "Επεξεργασία διαδρομών...", "Εφαρμογή",
                                           "Ταξινόμηση αποθηκευμένων διαδρομών"})
                            : QStringList({"Restore path", "Cancel", "Edit paths...", "Apply", "Sort saved paths"}));
            for (int k = 0; k < 2; ++k) {
                ui::ListBox& list = *r.lstSavedPaths[k];
                r.chkSortSavedPaths->setValue(k);
                const int h = list.itemHeight();
                globals().HidePathToolTips = false;
                ASSERT_TRUE(ui::Input::mouseMove(list, 30, 2 * h + 10));
                EXPECT_EQ(list.toolTipText(), k == 0 ? "C:\\Beta" : "C:\\Gamma") << k;
                ASSERT_TRUE(ui::Input::mouseMove(list, 30, 10, ui::vbLeftButton));
                EXPECT_EQ(list.toolTipText(), k == 0 ? "C:\\Beta" : "C:\\Gamma") << k;
                ASSERT_TRUE(ui::Input::mouseMove(list, 30, 10));
                EXPECT_EQ(list.toolTipText(), k == 0 ? "C:\\Gamma" : "C:\\Alpha") << k;
                ASSERT_TRUE(ui::Input::mouseMove(list, 30, 7 * h));
                EXPECT_EQ(list.toolTipText(), "") << k;
                ASSERT_TRUE(ui::Input::mouseMove(list, 30, 10));
                globals().HidePathToolTips = true;
                ASSERT_TRUE(ui::Input::mouseMove(list, 30, h + 10));
                EXPECT_EQ(list.toolTipText(), "") << k;
            }
            ui::Input::click(*r.cmdCancel);
        });
        main.mnuRecallPathRecent->Click();
    }
    globals().LanguageIsGreek = false;
    globals().HidePathToolTips = false;
}

// The keys of the window: Esc leaves it as Cancel does, the chosen path
// untouched, also after Apply; Enter restores the chosen path.
TEST_F(RecallTest, EscLeavesWithoutMovingAndEnterRestoresTheChosenPath)
{
    const QString before = globals().CurrentPath[0];
    for (bool applied : {false, true}) {
        desk.onModal(QStringLiteral("frmRecallSavedPath"), [&](ui::Form& f) {
            frmRecallSavedPath& r = *recallOf(f);
            ui::Input::listClick(*r.lstSavedPaths[0], 1);
            if (applied) ui::Input::click(*r.cmdApply);
            ui::Input::key(r, ui::vbKeyEscape);
            EXPECT_FALSE(r.isLoaded()) << applied;
        }, ui::HeadlessDesktop::ModalEnd::AutoClose);
        main.mnuRecallPathRecent->Click();
        EXPECT_EQ(globals().CurrentPath[0], before);
    }
    desk.onModal(QStringLiteral("frmRecallSavedPath"), [&](ui::Form& f) {
        frmRecallSavedPath& r = *recallOf(f);
        ui::Input::listClick(*r.lstSavedPaths[0], 1);
        ui::Input::key(r, ui::vbKeyReturn);
        EXPECT_FALSE(r.isLoaded());
    }, ui::HeadlessDesktop::ModalEnd::AutoClose);
    main.mnuRecallPathRecent->Click();
    EXPECT_EQ(globals().CurrentPath[0], QStringLiteral("C:\\Alpha"));
}

TEST_F(RecallTest, AFileOverTheBoundIsNamedByStoreRestoreAndTheEditorAndKept)
{
    const QByteArray big = "C:\\Alpha\r\n" + QByteArray(16 * 1024 * 1024, 'x');
    drive.file(kFile, big);
    const QString tooLarge = QStringLiteral(
        "The file 'C:\\PrimarySavedPaths.txt' cannot be read, because it is larger than 16 MB, the most that a file "
        "with saved paths may be.");
    desk.expectMsgBox(kStore, tooLarge, ui::vbExclamationOK, ui::vbOK);
    EXPECT_FALSE(store(QStringLiteral("C:\\New"), 0));
    EXPECT_TRUE(lastError == 0 && !alreadySaved);
    EXPECT_EQ(bytes().size(), big.size());
    desk.expectMsgBox(QStringLiteral("Restore saved path"), tooLarge, ui::vbExclamationOK, ui::vbOK);
    desk.onModal(QStringLiteral("frmRecallSavedPath"), [&](ui::Form& f) {
        frmRecallSavedPath& r = *recallOf(f);
        EXPECT_EQ(r.lstSavedPaths[0]->listCount(), 0);
        desk.expectMsgBoxContaining(QStringLiteral("Edit saved paths"), QStringLiteral("The application is suspended"), 36, ui::vbYes);
        desk.expectMsgBox(QStringLiteral("Edit saved paths"), tooLarge, ui::vbExclamationOK, ui::vbOK);
        desk.expectMsgBox(QStringLiteral("Restore saved path"), tooLarge, ui::vbExclamationOK, ui::vbOK);
        ui::Input::click(*r.cmdEdit);
        EXPECT_EQ(r.lstSavedPaths[0]->listCount(), 0);
        ui::Input::click(*r.cmdCancel);
    });
    main.mnuRecallPathRecent->Click();
    EXPECT_EQ(bytes(), big);
}

TEST_F(RecallTest, StoreAndRestoreInitialThePopUpMenusHelpRuleAndAFailedRestore)
{
    // From the menu bar the pop-up items are greyed; from the button they are live.
    main.mnuSavePath->Click();
    EXPECT_FALSE(main.mnuSavePathHelp->enabled());
    desk.answerPopup(QStringLiteral("mnuSavePath"), QStringLiteral("mnuSavePathInitial"));
    desk.expectMsgBoxContaining(QStringLiteral("Set initial path"), QStringLiteral("Do you really want to set 'C:'"), 36, ui::vbYes);
    ui::Input::click(*main.cmdSavePath);
    EXPECT_FALSE(globals().SavePathMenuFromButton);
    EXPECT_TRUE(iniBytes().contains("PrimaryInitialPath=C:\r\n"));

    // Move away, then Restore > Initial brings the structure back, no question.
    recallFirst();
    EXPECT_EQ(globals().CurrentPath[0], QStringLiteral("C:\\Gamma"));
    main.mnuRecallPathInitial->Click();
    EXPECT_EQ(globals().CurrentPath[0], QStringLiteral("C:"));

    // Again, with a failure on the way answered No: the current path, its
    // label and the lists still show where the tree stands.
    globals().InitialPath[0] = QStringLiteral("C:\\Beta");
    recallFirst();
    main.chkDisplayFirstLevelFolders[0]->setValue(1);
    // Two drives with one letter: the tree refilled from them fails on the second.
    main.tvwStructure[0]->clear();
    testing_support::addDrive(QLatin1Char('C'), drive.native());
    desk.expectMsgBoxContaining(QStringLiteral("Tarnwick [ 310 ]"), QStringLiteral("35602"), 36, ui::vbNo);
    main.mnuRecallPathInitial->Click();
    EXPECT_EQ(globals().CurrentPath[0], QStringLiteral("C:"));
    EXPECT_EQ(main.lblCurrentFullPath[0]->caption(), QStringLiteral("C:\\"));
    EXPECT_EQ(main.lstFirstLevelFolders[0]->listCount(), 3);
}

} // namespace
