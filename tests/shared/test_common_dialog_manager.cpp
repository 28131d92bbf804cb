// File dialogs, opening with the associated program, shell copy, move and
// delete, and the list-box helpers.
#include "platform/AppError.h"
#include "platform/Drives.h"
#include "platform/FakeShell.h"
#include "support/TempDrive.h"
#include "shared/basCommonDialogManager.h"
#include "shared/frmMapNetworkDrive.h"
#include "shared/shared_fixture.h"
#include "ui/ListBox.h"
#include "ui/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace basGlobal;

namespace {

class DialogTest : public SharedTest {
protected:
    void SetUp() override
    {
        SharedTest::SetUp();
        form.setBuilder([this](uitest::TestForm& f) {
            dlg = f.add<ui::CommonDialog>(QStringLiteral("dlgDialog"));
            list = f.add<ui::ListBox>(QStringLiteral("lstItems"));
        });
        form.load();
    }
    void TearDown() override
    {
        platform::setShell(nullptr);
        form.unload();
        SharedTest::TearDown();
    }
    QByteArray read(const QString& relative) const { return drive.bytes(relative); }
    testing_support::TempDrive drive;
    uitest::TestForm form{QStringLiteral("frmCaller")};
    ui::CommonDialog* dlg = nullptr;
    ui::ListBox* list = nullptr;
};

TEST_F(DialogTest, CancelGivesEmptyChoicesComeBackAndOpeningTakesOnlyFilesAndWebAddresses)
{
    Long err = -1;
    for (const auto kind : {ui::FileDialogKind::Folder, ui::FileDialogKind::Open, ui::FileDialogKind::Save}) {
        desk.cancelFileDialog(kind);
        EXPECT_EQ(kind == ui::FileDialogKind::Folder ? ShowFolderSelectionDialog(&form, *dlg, "C:\\", "Folder", "do not alter this text", "*.*", err)
                  : kind == ui::FileDialogKind::Open ? ShowOpenFileDialog(&form, *dlg, "C:\\", "Open", "", "Text|*.txt", err)
                                                     : ShowSaveFileDialog(&form, *dlg, "C:\\", "Save", "out", "txt", "Text|*.txt", err), QString());
        EXPECT_EQ(err, 0);
    }

    desk.answerFolder(QStringLiteral("C:"));
    EXPECT_EQ(ShowFolderSelectionDialog(&form, *dlg, "C:\\", "Folder", "", "*.*", err), QStringLiteral("C:\\"));
    desk.answerSave(QStringLiteral("C:\\out.txt"));
    EXPECT_EQ(ShowSaveFileDialog(&form, *dlg, "C:\\Docs", "Save", "out", "txt", "Text|*.txt", err), QStringLiteral("C:\\out.txt"));
    const ui::FileDialogRequest& last = desk.fileDialogRequests().last();
    EXPECT_EQ(last.flags, kSaveDialogFlags);
    EXPECT_EQ(last.defaultExt, QStringLiteral("txt"));
    EXPECT_EQ(last.initDir, QStringLiteral("C:\\Docs"));
    EXPECT_EQ(desk.fileDialogRequests().first().flags, kFolderDialogFlags);

    // Opening refuses anything but existing files and web addresses.
    platform::FakeShell fake;
    platform::setShell(&fake);
    drive.file(QStringLiteral("doc.txt"));
    bool noAssoc = true;
    EXPECT_TRUE(OpenWithAssociatedApplication(&form, QStringLiteral("C:\\doc.txt"), noAssoc, err));
    EXPECT_TRUE(OpenWithAssociatedApplication(&form, QStringLiteral("https://example.org/get"), noAssoc, err));
    ASSERT_EQ(fake.calls.size(), 2u);

    desk.expectMsgBox(QStringLiteral("Open with associated application"),
                      QStringLiteral("While trying to launch the 'Open with associated application' process, the "
                                     "following error occured: 'No association'."),
                      64, ui::vbOK);
    EXPECT_FALSE(OpenWithAssociatedApplication(&form, QStringLiteral("file:///etc/passwd"), noAssoc, err));
    EXPECT_TRUE(noAssoc);
    EXPECT_EQ(err, 0);
    g().LanguageIsGreek = true;
    desk.expectMsgBoxContaining(QStringLiteral("Άνοιγμα μέσω συσχετισμένης εφαρμογής"), QStringLiteral("«Το αρχείο δεν βρέθηκε»."), 64, ui::vbOK);
    EXPECT_FALSE(OpenWithAssociatedApplication(&form, QStringLiteral("C:\\missing.txt"), noAssoc, err));
    EXPECT_FALSE(noAssoc);
    EXPECT_FALSE(OpenWithAssociatedApplication(&form, QStringLiteral("C:\\"), noAssoc, err, false));   // a folder
    EXPECT_EQ(fake.calls.size(), 2u);   // none of these reached the shell

    fake.results.push_back(31);
    g().LanguageIsGreek = false;
    EXPECT_FALSE(OpenWithAssociatedApplication(&form, QStringLiteral("C:\\doc.txt"), noAssoc, err, false));
    EXPECT_TRUE(noAssoc);
}

// The caller's window, minimised meanwhile, is back on the screen after each
// dialog or file operation, whether it was answered, cancelled or failed.
TEST_F(DialogTest, TheCallersWindowIsRestoredAfterEachDialogAndFileOperation)
{
    Long err = -1;
    bool flag = false;
    platform::FakeShell fake;
    platform::setShell(&fake);
    drive.file(QStringLiteral("doc.txt"));
    const std::vector<std::function<void()>> calls = {
        [&] {
            desk.cancelFileDialog(ui::FileDialogKind::Folder);
            ShowFolderSelectionDialog(&form, *dlg, "C:\\", "Folder", "", "*.*", err);
        },
        [&] {
            desk.answerOpen(QStringLiteral("C:\\doc.txt"));
            ShowOpenFileDialog(&form, *dlg, "C:\\", "Open", "", "Text|*.txt", err);
        },
        [&] {
            desk.cancelFileDialog(ui::FileDialogKind::Save);
            ShowSaveFileDialog(&form, *dlg, "C:\\", "Save", "out", "txt", "Text|*.txt", err);
        },
        [&] { OpenWithAssociatedApplication(&form, QStringLiteral("C:\\doc.txt"), flag, err); },
        [&] { CopyOrMoveFile(&form, true, QStringLiteral("C:\\doc.txt"), QStringLiteral("C:\\nowhere\\"), flag, err); },
        [&] { DeleteFileOrFolder(&form, QStringLiteral("C:\\never.txt"), flag, err, false); },
    };
    for (std::size_t k = 0; k < calls.size(); ++k) {
        form.setWindowState(1);
        calls[k]();
        EXPECT_EQ(form.windowState(), 0) << k;
    }
}

TEST_F(DialogTest, DeleteWithUndoGoesToTheTrashAndCopyAndMoveKeepEveryOtherFile)
{
    QTemporaryDir data;
    const testing_support::EnvGuard home("XDG_DATA_HOME", QFile::encodeName(data.path()));
    drive.file(QStringLiteral("old.txt"), "keep me");
    bool aborted = true;
    Long result = -1;
    EXPECT_TRUE(DeleteFileOrFolder(&form, QStringLiteral("C:\\old.txt"), aborted, result));
    EXPECT_FALSE(aborted);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(QFile::exists(drive.native(QStringLiteral("old.txt"))));
    EXPECT_FALSE(QDir(data.path() + QStringLiteral("/Trash/files")).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(DeleteFileOrFolder(&form, QStringLiteral("C:\\never.txt"), aborted, result, false));
    EXPECT_NE(result, 0);

    // Copy and move keep every other file.
    drive.file(QStringLiteral("src/a.ini"), "new");
    drive.file(QStringLiteral("dst/a.ini"), "old");
    drive.file(QStringLiteral("dst/a.bak"), "backup");
    drive.file(QStringLiteral("dst/other.txt"), "other");
    // Into a folder where the name exists: the user is asked; No changes nothing.
    desk.expectMsgBoxContaining(QStringLiteral("Confirm replace"), QStringLiteral("'C:\\dst\\a.ini' exists already."), 292, ui::vbNo);
    EXPECT_FALSE(CopyOrMoveFile(&form, true, QStringLiteral("C:\\src\\a.ini"), QStringLiteral("C:\\dst"), aborted, result));
    EXPECT_TRUE(aborted);
    EXPECT_EQ(read(QStringLiteral("dst/a.ini")), QByteArray("old"));
    // Rename on collision.
    EXPECT_TRUE(CopyOrMoveFile(&form, true, QStringLiteral("C:\\src\\a.ini"), QStringLiteral("C:\\dst\\"), aborted, result,
                               true, true));
    EXPECT_EQ(read(QStringLiteral("dst/a (2).ini")), QByteArray("new"));
    // A copy under another name replaces only its target.
    EXPECT_TRUE(CopyOrMoveFile(&form, true, QStringLiteral("C:\\src\\a.ini"), QStringLiteral("C:\\dst\\other.txt"), aborted,
                               result, true));
    EXPECT_EQ(read(QStringLiteral("dst/other.txt")), QByteArray("new"));
    EXPECT_EQ(read(QStringLiteral("dst/a.ini")), QByteArray("old"));
    EXPECT_EQ(QDir(drive.native(QStringLiteral("dst"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 4);
    // A move to the backup name, replacing the older backup without a question.
    EXPECT_TRUE(CopyOrMoveFile(&form, false, QStringLiteral("C:\\dst\\a.ini"), QStringLiteral("C:\\dst\\a.bak"), aborted,
                               result, true, false, true, false));
    EXPECT_EQ(read(QStringLiteral("dst/a.bak")), QByteArray("old"));
    EXPECT_FALSE(QFile::exists(drive.native(QStringLiteral("dst/a.ini"))));
    EXPECT_EQ(read(QStringLiteral("src/a.ini")), QByteArray("new"));
}

// Another program may take the chosen letter while the window is open: the
// user is told in the current language and chooses again among the letters
// still free.
TEST_F(DialogTest, ALetterTakenWhileTheMapWindowIsOpenIsRefusedAndTheFreeLettersComeAgain)
{
    QTemporaryDir config;
    const testing_support::EnvGuard home("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    drive.folder(QStringLiteral("Shared"));
    const QString title = QStringLiteral("Map network drive");
    desk.expectMsgBox(title, QStringLiteral("The letter D: is already in use."), ui::vbExclamationOK, ui::vbOK);
    desk.expectMsgBox(title, QStringLiteral("Το γράμμα E: χρησιμοποιείται ήδη."), ui::vbExclamationOK, ui::vbOK);
    desk.onModal(QStringLiteral("frmMapNetworkDrive"), [&](ui::Form& f) {
        auto& dlg = static_cast<frmMapNetworkDrive&>(f);
        ui::Input::type(*dlg.txtFolder, QStringLiteral("C:\\Shared"));
        for (const char16_t taken : {u'D', u'E'}) {
            ASSERT_EQ(dlg.cboDrive->text(), QString(QChar(taken)) + u':');
            ASSERT_EQ(platform::UserDriveMap::map(QChar(taken), drive.native(QStringLiteral("Shared"))), 0);
            g().LanguageIsGreek = taken == u'E';
            ui::Input::click(*dlg.cmdOK);
        }
        EXPECT_EQ(dlg.cboDrive->text(), QStringLiteral("F:"));
        ui::Input::click(*dlg.cmdOK);
    });
    Long err = -1;
    EXPECT_TRUE(ShowMapNetworkDriveDialog(&form, err));
    EXPECT_EQ(err, 0);
    QString letters;
    for (const platform::UserMapping& m : platform::UserDriveMap::load()) letters += m.letter;
    EXPECT_EQ(letters, QStringLiteral("DEF"));
}

// The map window refuses what it cannot map, in the language of the
// moment: no folder, a folder that is not there, no letter left. Browse
// puts the chosen folder in without its separator; a cancelled Browse
// changes nothing.
TEST_F(DialogTest, TheMapWindowRefusesNoFolderAMissingFolderAndNoLetterLeft)
{
    QTemporaryDir config;
    const testing_support::EnvGuard home("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    drive.folder(QStringLiteral("Shared"));
    const QString title = QStringLiteral("Map network drive");
    desk.expectMsgBox(title, QStringLiteral("Please type a folder or a network address."), ui::vbExclamationOK, ui::vbOK);
    desk.expectMsgBox(title, QStringLiteral("Παρακαλώ πληκτρολογήστε έναν φάκελλο ή μία διεύθυνση δικτύου."), ui::vbExclamationOK, ui::vbOK);
    desk.expectMsgBox(title, QStringLiteral("The folder 'C:\\Nope' does not exist."), ui::vbExclamationOK, ui::vbOK);
    desk.onModal(QStringLiteral("frmMapNetworkDrive"), [&](ui::Form& f) {
        auto& dlg = static_cast<frmMapNetworkDrive&>(f);
        ui::Input::type(*dlg.txtFolder, QStringLiteral("   "));
        ui::Input::click(*dlg.cmdOK);
        g().LanguageIsGreek = true;
        ui::Input::click(*dlg.cmdOK);
        g().LanguageIsGreek = false;
        dlg.txtFolder->setText(QStringLiteral("C:\\Nope"));
        ui::Input::click(*dlg.cmdOK);
        desk.cancelFileDialog(ui::FileDialogKind::Folder);
        ui::Input::click(*dlg.cmdBrowse);
        EXPECT_EQ(dlg.txtFolder->text(), QStringLiteral("C:\\Nope"));
        desk.answerFolder(QStringLiteral("C:\\Shared\\"));
        ui::Input::click(*dlg.cmdBrowse);
        EXPECT_EQ(dlg.txtFolder->text(), QStringLiteral("C:\\Shared"));
        EXPECT_EQ(desk.fileDialogRequests().last().title, title);
        EXPECT_TRUE(dlg.isLoaded());
        ui::Input::click(*dlg.cmdCancel);
    });
    Long err = -1;
    EXPECT_FALSE(ShowMapNetworkDriveDialog(&form, err));
    EXPECT_EQ(err, 0);
    EXPECT_TRUE(platform::UserDriveMap::load().empty());

    // Every letter from D: to Y: taken leaves Z:; then none is left.
    for (char16_t l = u'D'; l < u'Z'; ++l) testing_support::addDrive(QChar(l), drive.native());
    desk.onModal(QStringLiteral("frmMapNetworkDrive"), [&](ui::Form& f) {
        auto& dlg = static_cast<frmMapNetworkDrive&>(f);
        EXPECT_EQ(dlg.cboDrive->listCount(), 1);
        EXPECT_EQ(dlg.cboDrive->text(), QStringLiteral("Z:"));
        ui::Input::click(*dlg.cmdCancel);
    });
    EXPECT_FALSE(ShowMapNetworkDriveDialog(&form, err));
    testing_support::addDrive(u'Z', drive.native());
    desk.expectMsgBox(title, QStringLiteral("There is no free drive letter left."), ui::vbExclamationOK, ui::vbOK);
    desk.onModal(QStringLiteral("frmMapNetworkDrive"), [&](ui::Form& f) {
        auto& dlg = static_cast<frmMapNetworkDrive&>(f);
        EXPECT_EQ(dlg.cboDrive->listCount(), 0);
        ui::Input::type(*dlg.txtFolder, QStringLiteral("C:\\Shared"));
        ui::Input::click(*dlg.cmdOK);
        ui::Input::click(*dlg.cmdCancel);
    });
    EXPECT_FALSE(ShowMapNetworkDriveDialog(&form, err));
    EXPECT_TRUE(platform::UserDriveMap::load().empty());
}

// Only a letter that went away is news for the caller (it refreshes its
// trees); a letter removed meanwhile by another program is a failure.
TEST_F(DialogTest, TheUnmapWindowSaysWhetherALetterWentAway)
{
    QTemporaryDir config;
    const testing_support::EnvGuard home("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    Long err = -1;
    desk.expectMsgBox(QStringLiteral("Unmap network drive"), QStringLiteral("No drive letter is mapped."),
                      ui::vbInformationOK, ui::vbOK);
    EXPECT_FALSE(ShowDisconnectNetworkDriveDialog(&form, err));
    EXPECT_EQ(err, 0);

    drive.folder(QStringLiteral("Shared"));
    ASSERT_EQ(platform::UserDriveMap::map(u'G', drive.native(QStringLiteral("Shared"))), 0);
    ASSERT_EQ(platform::UserDriveMap::map(u'H', drive.native(QStringLiteral("Shared"))), 0);
    // The first letter listed is chosen each time.
    const auto answer = [&](bool cancel, bool goneMeanwhile) {
        desk.onModal(QStringLiteral("frmDisconnectNetworkDrive"), [=](ui::Form& f) {
            auto& dlg = static_cast<frmDisconnectNetworkDrive&>(f);
            ui::Input::listClick(*dlg.lstDrives, 0);
            if (goneMeanwhile)
                platform::UserDriveMap::unmap(u'G');
            ui::Input::click(cancel ? *dlg.cmdCancel : *dlg.cmdOK);
        });
    };
    answer(true, false);
    EXPECT_FALSE(ShowDisconnectNetworkDriveDialog(&form, err));
    EXPECT_EQ(err, 0);
    answer(false, true);
    EXPECT_FALSE(ShowDisconnectNetworkDriveDialog(&form, err));
    EXPECT_EQ(err, kNetExtendedError);
    // A failure while either window is up is the caller's error, never a
    // letter that came or went.
    for (const bool map : {false, true}) {
        desk.onModal(map ? QStringLiteral("frmMapNetworkDrive") : QStringLiteral("frmDisconnectNetworkDrive"),
                     [](ui::Form&) { throw platform::AppError{platform::errOutOfMemory, QString()}; });
        err = -1;
        EXPECT_FALSE(map ? ShowMapNetworkDriveDialog(&form, err) : ShowDisconnectNetworkDriveDialog(&form, err)) << map;
        EXPECT_EQ(err, platform::errOutOfMemory) << map;
    }
    EXPECT_EQ(platform::UserDriveMap::load().size(), 1u);
    answer(false, false);
    EXPECT_TRUE(ShowDisconnectNetworkDriveDialog(&form, err));
    EXPECT_EQ(err, 0);
    EXPECT_TRUE(platform::UserDriveMap::load().empty());
}

// A letter mapped or unmapped through the windows comes or goes in the
// drive table at once; the other letters stay.
TEST_F(DialogTest, MappedLettersComeAndGoInTheDriveTableOneByOne)
{
    QTemporaryDir config;
    const testing_support::EnvGuard home("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    drive.folder(QStringLiteral("One"));
    drive.folder(QStringLiteral("Two"));
    Long err = -1;
    for (const char* folder : {"C:\\One", "C:\\Two"}) {
        desk.onModal(QStringLiteral("frmMapNetworkDrive"), [&](ui::Form& f) {
            auto& dlg = static_cast<frmMapNetworkDrive&>(f);
            ui::Input::type(*dlg.txtFolder, QLatin1String(folder));
            ui::Input::click(*dlg.cmdOK);
        });
        EXPECT_TRUE(ShowMapNetworkDriveDialog(&form, err));
    }
    EXPECT_EQ(platform::drives().roots(), (QStringList{"C:\\", "D:\\", "E:\\"}));
    EXPECT_EQ(platform::drives().toNative(QStringLiteral("E:\\")), drive.native(QStringLiteral("Two")));
    desk.onModal(QStringLiteral("frmDisconnectNetworkDrive"), [&](ui::Form& f) {
        auto& dlg = static_cast<frmDisconnectNetworkDrive&>(f);
        ui::Input::listClick(*dlg.lstDrives, 0);
        ui::Input::click(*dlg.cmdOK);
    });
    EXPECT_TRUE(ShowDisconnectNetworkDriveDialog(&form, err));
    EXPECT_EQ(err, 0);
    EXPECT_EQ(platform::drives().roots(), (QStringList{"C:\\", "E:\\"}));
}

// The unmap window in each language: every mapped letter with its folder
// as the program shows paths, and a press of Disconnect before a choice is
// answered under the window's own title.
TEST_F(DialogTest, TheUnmapWindowListsEachLetterWithItsFolderAndAsksForAChoice)
{
    QTemporaryDir config;
    const testing_support::EnvGuard home("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    drive.folder(QStringLiteral("Shared"));
    ASSERT_EQ(platform::UserDriveMap::map(u'G', drive.native(QStringLiteral("Shared"))), 0);
    const struct {
        bool greek;
        const char *title, *label, *ok, *cancel, *choose;
    } rows[] = {
        {false, "Unmap network drive", "Mapped drives:", "Disconnect", "Cancel", "Please choose the drive to disconnect."},
        {true, "Αποσύνδεση δίσκου δικτύου", "Αντιστοιχισμένοι δίσκοι:", "Αποσύνδεση", "Άκυρο",
         "Παρακαλώ επιλέξτε τον δίσκο προς αποσύνδεση."},
    };
    for (const auto& r : rows) {
        g().LanguageIsGreek = r.greek;
        desk.expectMsgBox(QString::fromUtf8(r.title), QString::fromUtf8(r.choose), ui::vbExclamationOK, ui::vbOK);
        desk.onModal(QStringLiteral("frmDisconnectNetworkDrive"), [&](ui::Form& f) {
            auto& dlg = static_cast<frmDisconnectNetworkDrive&>(f);
            EXPECT_EQ(dlg.caption(), QString::fromUtf8(r.title));
            EXPECT_EQ(dlg.lblDrives->caption(), QString::fromUtf8(r.label));
            EXPECT_EQ(dlg.cmdOK->caption(), QString::fromUtf8(r.ok));
            EXPECT_EQ(dlg.cmdCancel->caption(), QString::fromUtf8(r.cancel));
            EXPECT_EQ(testing_support::listItems(*dlg.lstDrives), QStringList{QStringLiteral("G:   C:\\Shared")});
            ui::Input::click(*dlg.cmdOK);
            EXPECT_TRUE(dlg.isShown()) << "nothing chosen, nothing disconnected";
            ui::Input::click(*dlg.cmdCancel);
        });
        Long err = -1;
        EXPECT_FALSE(ShowDisconnectNetworkDriveDialog(&form, err));
        EXPECT_EQ(err, 0);
    }
    EXPECT_EQ(platform::UserDriveMap::load().size(), 1u);
}

TEST_F(DialogTest, ListToolTipFollowsTheItemUnderTheMouseAndSelectedItemsFillTheGivenArray)
{
    for (const char* s : {"  first  ", "second", "third"})
        list->addItem(QLatin1String(s));
    ShowListBoxItemToolTip(*list, 0, 0, 10.f, 20.f);
    EXPECT_EQ(list->toolTipText(), QStringLiteral("first"));
    ShowListBoxItemToolTip(*list, 0, 0, 10.f, float(list->itemHeight() * 2 + 5));
    EXPECT_EQ(list->toolTipText(), QStringLiteral("third"));
    ShowListBoxItemToolTip(*list, 1, 0, 10.f, 20.f);   // a button held: unchanged
    EXPECT_EQ(list->toolTipText(), QStringLiteral("third"));
    ShowListBoxItemToolTip(*list, 0, 0, 10.f, float(list->itemHeight() * 3 + 5));
    EXPECT_EQ(list->toolTipText(), QString());
    // A list of paths shows its tips unless path tips are turned off.
    ShowPathListItemToolTip(*list, 0, 0, 10, list->itemHeight() + 5);
    EXPECT_EQ(list->toolTipText(), QStringLiteral("second"));
    g().HidePathToolTips = true;
    ShowPathListItemToolTip(*list, 0, 0, 10, 20);
    EXPECT_EQ(list->toolTipText(), QString());
    g().HidePathToolTips = false;

    // The selected items fill the given array.
    list->setMultiSelect(ui::ListBox::Simple);
    list->addItem(QStringLiteral("d"));
    list->setSelected(1, true);
    list->setSelected(3, true);
    std::vector<Long> idx(list->selCount(), -1);
    GetListBoxSelectedItems(*list, Long(idx.size()), idx);
    EXPECT_EQ(idx, (std::vector<Long>{1, 3}));
    std::vector<Long> tooShort(1);
    EXPECT_THROW(GetListBoxSelectedItems(*list, 2, tooShort), platform::AppError);
}

} // namespace
