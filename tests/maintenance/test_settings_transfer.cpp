// Settings export and import on real folders: what the windows offer at
// load, their enabling rules, Apply, the copies (all or nothing, never onto
// their own source), deleting the imported files, and the program's end
// after an INI import.
#include "maintenance_fixture.h"

#include "maintenance/Maintenance.h"
#include "maintenance/frmSettingsExport.h"
#include "maintenance/frmSettingsImport.h"
#include "platform/AppError.h"
#include "platform/StagedCopy.h"
#include "ui/Input.h"

#include <QFile>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <functional>

using namespace maintenance;

namespace {

const char* const kNames[3] = {"Quillmarsh.ini", "PrimarySavedPaths.txt", "SecondarySavedPaths.txt"};

class SettingsTest : public MaintenanceTest {
protected:
    void ini(const QString& section, const QString& keys) { drive.file("App/Quillmarsh.ini", ("[" + section + "]\r\n" + keys).toUtf8()); }
    // Item states as "E1" (enabled, ticked), "e0" (disabled, unticked), ...
    static QString states(const SettingsTransferWindow& w)
    {
        QString s;
        for (ui::CheckBox* c : {w.chkIniFileName, w.chkSavedPaths[0], w.chkSavedPaths[1]})
            s += QString(c->enabled() ? "E" : "e") + QString::number(c->value());
        return s;
    }
};

TEST_F(SettingsTest, ExportOffersWhatExistsWithItsStoredChoice)
{
    // files: bit k set when the application's file k exists (the INI always does).
    struct Row { int files; QString keys; QString items; bool exportEnabled; } rows[] = {
        {1, "Ini=True\r\nPrimary=True\r\nFolder=C:\\Out\\\r\n", "E1e0e0", true},
        {7, "Ini=false\r\nPrimary=TRUE\r\nFolder=C:\\Out\r\n", "E0E1E0", true},
        {7, "Ini=True\r\nPrimary=True\r\nSecondary=True\r\n", "E1E1E1", false},
        {5, "Primary=True\r\nSecondary=yes\r\nFolder=C:\\Out\r\n", "E0e0E0", false},
    };
    for (const Row& r : rows) {
        ini("ExportSettings", r.keys);
        for (int k = 1; k < 3; ++k) {
            QFile::remove(drive.native(QString("App/") + kNames[k]));
            if (r.files & (1 << k))
                drive.file(QString("App/") + kNames[k]);
        }
        frmSettingsExport w;
        w.tints = {0xC0E0FF, 0xFFFFC0};
        w.show();
        EXPECT_EQ(states(w), r.items) << r.keys.toStdString();
        EXPECT_EQ(w.cmdExport->enabled(), r.exportEnabled) << r.keys.toStdString();
        EXPECT_EQ(w.lblSavedPaths[1]->backColor(), 0xFFFFC0u);
        EXPECT_EQ(w.lblSavedPaths[0]->caption().isEmpty(), !(r.files & 2));
        w.unload();
    }
}

// Each window's words in either language, every path's tip unless tips are
// hidden, and the folder dialog's own title; a cancelled dialog changes nothing.
TEST_F(SettingsTest, EachWindowsWordsPathTipsAndFolderDialogInEitherLanguage)
{
    for (const char* n : kNames) {
        drive.file(QString("App/") + n);
        drive.file(QString("In/") + n);
    }
    drive.file("App/Quillmarsh.ini", "[ExportSettings]\r\nFolder=C:\\In\r\n[ImportSettings]\r\nFolder=C:\\In\r\n");
    struct Row {
        bool importing, greek;
        const char *caption, *frame, *folderButton, *action, *dialogTitle, *dialogText;
    };
    const Row rows[] = {
        {false, false, "Export settings", " Select the settings that will be exported ", "Export to...", "Export",
         "Select the folder that will be used for exporting", "do not alter this text"},
        {false, true, "Εξαγωγή ρυθμίσεων", " Επιλέξτε τις ρυθμίσεις οι οποίες θα εξαχθούν ", "Εξαγωγή προς...", "Εξαγωγή",
         "Επιλέξτε τον φάκελλο στον οποίο θα γίνει η εξαγωγή", "μην τροποποιήσετε αυτό το κείμενο"},
        {true, false, "Import settings", " Select the settings that will be imported ", "Import from...", "Import",
         "Select the folder that will be used for importing", "do not alter this text"},
        {true, true, "Εισαγωγή ρυθμίσεων", " Επιλέξτε τις ρυθμίσεις οι οποίες θα εισαχθούν ", "Εισαγωγή από...", "Εισαγωγή",
         "Επιλέξετε τον φάκελλο από τον οποίο θα γίνει η εισαγωγή", "μην τροποποιήσετε αυτό το κείμενο"},
    };
    const QString files[3] = {"C:\\App\\Quillmarsh.ini", "C:\\App\\PrimarySavedPaths.txt", "C:\\App\\SecondarySavedPaths.txt"};
    for (const Row& r : rows) {
        for (bool hide : {false, true}) {
            SCOPED_TRACE(std::string(r.caption) + (hide ? ", tips hidden" : ""));
            basGlobal::globals().LanguageIsGreek = r.greek;
            basGlobal::globals().HidePathToolTips = hide;
            std::unique_ptr<SettingsTransferWindow> w;
            if (r.importing) w = std::make_unique<frmSettingsImport>();
            else w = std::make_unique<frmSettingsExport>();
            w->show();
            EXPECT_EQ(w->caption(), QString::fromUtf8(r.caption));
            EXPECT_EQ(w->fraSettings->caption(), QString::fromUtf8(r.frame));
            EXPECT_EQ(w->cmdSettingsFolderExternal->caption(), QString::fromUtf8(r.folderButton));
            EXPECT_EQ(static_cast<ui::CommandButton*>(w->control(r.importing ? "cmdImport" : "cmdExport"))->caption(),
                      QString::fromUtf8(r.action));
            EXPECT_EQ(w->cmdCancel->caption(), r.greek ? "Άκυρο" : "Cancel");
            EXPECT_EQ(w->cmdApply->caption(), r.greek ? "Εφαρμογή" : "Apply");
            EXPECT_EQ(states(*w), "E0E0E0");
            ui::Label* labels[3] = {w->lblIniFileName, w->lblSavedPaths[0], w->lblSavedPaths[1]};
            for (int k = 0; k < 3; ++k) {
                EXPECT_EQ(labels[k]->caption(), files[k]);
                EXPECT_EQ(labels[k]->toolTipText(), hide ? QString() : files[k]);
            }
            EXPECT_EQ(w->lblSettingsFolderExternal->caption(), "C:\\In\\");
            EXPECT_EQ(w->lblSettingsFolderExternal->toolTipText(), hide ? QString() : "C:\\In\\");

            const qsizetype before = desk.fileDialogRequests().size();
            desk.cancelFileDialog(ui::FileDialogKind::Folder);
            ui::Input::click(*w->cmdSettingsFolderExternal);
            ASSERT_EQ(desk.fileDialogRequests().size(), before + 1);
            const ui::FileDialogRequest& asked = desk.fileDialogRequests().last();
            EXPECT_EQ(asked.kind, ui::FileDialogKind::Folder);
            EXPECT_EQ(asked.title, QString::fromUtf8(r.dialogTitle));
            EXPECT_EQ(asked.fileName, QString::fromUtf8(r.dialogText));
            EXPECT_EQ(asked.initDir, "C:\\In");
            EXPECT_EQ(w->lblSettingsFolderExternal->caption(), "C:\\In\\");
            EXPECT_EQ(states(*w), "E0E0E0");
            w->unload();
        }
    }
}

TEST_F(SettingsTest, ExportEnablingRulesAndApply)
{
    ini("ExportSettings", "Secondary=True\r\n");
    drive.file("App/PrimarySavedPaths.txt");
    frmSettingsExport w;
    w.show();
    ui::Input::click(*w.chkIniFileName);
    EXPECT_FALSE(w.cmdExport->enabled()) << "no folder yet";
    desk.answerFolder("C:\\Out\\");
    ui::Input::click(*w.cmdSettingsFolderExternal);
    EXPECT_TRUE(w.cmdExport->enabled());
    ui::Input::click(*w.chkIniFileName);
    EXPECT_FALSE(w.cmdExport->enabled()) << "nothing ticked";
    ui::Input::click(*w.chkSavedPaths[0]);
    EXPECT_TRUE(w.cmdExport->enabled());
    ui::Input::click(*w.cmdApply);
    EXPECT_EQ(w.cmdCancel->caption(), "Close");
    // The missing Secondary file's key stays as it was.
    EXPECT_EQ(read("App/Quillmarsh.ini"),
              "[ExportSettings]\r\nSecondary=True\r\nIni=False\r\nPrimary=True\r\nFolder=C:\\Out\r\n");
    w.unload();
}

// Each window keeps its choices in its own settings: its load reads them from
// its own section, its Apply sets them from the ticks; the other window's stay.
TEST_F(SettingsTest, EachWindowKeepsItsChoicesInItsOwnSettings)
{
    for (const char* n : kNames) {
        drive.file(QString("App/") + n);
        drive.file(QString("In/") + n);
    }
    drive.file("App/Quillmarsh.ini", "[ExportSettings]\r\nIni=True\r\nSecondary=True\r\nFolder=C:\\In\r\n"
                                     "[ImportSettings]\r\nPrimary=True\r\nFolder=C:\\In\r\n");
    basGlobal::Globals& g = basGlobal::globals();
    const auto choices = [&g](bool importing) {
        const bool ini = importing ? g.ImportIniFile : g.ExportIniFile;
        const basGlobal::Pair<bool>& paths = importing ? g.ImportSavedPaths : g.ExportSavedPaths;
        return QString::number(ini) + QString::number(paths[0]) + QString::number(paths[1]);
    };
    {
        frmSettingsExport w;
        w.show();
        EXPECT_EQ(choices(false) + choices(true), "101000");
        EXPECT_EQ(states(w), "E1E0E1");
        ui::Input::click(*w.chkSavedPaths[0]);
        ui::Input::click(*w.chkSavedPaths[1]);
        ui::Input::click(*w.cmdApply);
        EXPECT_EQ(choices(false) + choices(true), "110000");
        w.unload();
    }
    frmSettingsImport w;
    w.show();
    EXPECT_EQ(choices(false) + choices(true), "110010");
    EXPECT_EQ(states(w), "E0E1E0");
    ui::Input::click(*w.chkIniFileName);
    ui::Input::click(*w.chkSavedPaths[1]);
    EXPECT_EQ(w.cmdCancel->caption(), "Cancel");
    ui::Input::click(*w.cmdApply);
    EXPECT_EQ(choices(false) + choices(true), "110111");
    // Applied: nothing is left to cancel, until a tick changes again.
    EXPECT_EQ(w.cmdCancel->caption(), "Close");
    ui::Input::click(*w.chkDeleteAfterImporting);
    EXPECT_EQ(w.cmdCancel->caption(), "Cancel");
    basGlobal::globals().LanguageIsGreek = true;
    ui::Input::click(*w.cmdApply);
    EXPECT_EQ(w.cmdCancel->caption(), "Κλείσιμο");
    EXPECT_TRUE(read("App/Quillmarsh.ini").contains("DeleteAfter=True"));
    w.unload();
}

TEST_F(SettingsTest, ExportDropsAVanishedFileAndCopiesAllOrNothing)
{
    ini("ExportSettings", "Ini=True\r\nPrimary=True\r\nSecondary=True\r\nFolder=C:\\Out\r\n");
    drive.file("App/PrimarySavedPaths.txt", "primary");
    drive.file("App/SecondarySavedPaths.txt", "secondary");
    drive.file("Out/Quillmarsh.ini", "old");
    frmSettingsExport w;
    w.show();
    QFile::remove(drive.native("App/SecondarySavedPaths.txt"));
    desk.expectMsgBox("Export settings", "File 'C:\\App\\SecondarySavedPaths.txt', does not exist.", 16, ui::vbOK);
    ui::Input::click(*w.cmdExport);
    EXPECT_EQ(states(w), "E1E1e0");
    EXPECT_EQ(read("Out/Quillmarsh.ini"), "old") << "nothing copied";
    EXPECT_FALSE(QFile::exists(drive.native("Out/PrimarySavedPaths.txt")));

    ui::Input::click(*w.cmdExport);
    EXPECT_FALSE(w.isLoaded());
    EXPECT_EQ(read("Out/Quillmarsh.ini"), read("App/Quillmarsh.ini"));
    EXPECT_EQ(read("Out/PrimarySavedPaths.txt"), "primary");
}

TEST_F(SettingsTest, ExportRefusalsAndFailuresNameTheirOwnCause)
{
    ini("ExportSettings", "Ini=True\r\n");
    drive.file("File");
    drive.folder("Out/Quillmarsh.ini");
    ASSERT_TRUE(QFile::link(drive.native("App"), drive.native("Link")));   // the application's folder by another name
    // The INI file under a second name in a folder: no copy onto itself.
    drive.folder("Linked");
    ASSERT_EQ(::link(drive.nativeBytes("App/Quillmarsh.ini"), drive.nativeBytes("Linked/Quillmarsh.ini")), 0);
    const auto failed = [](const char* cause) { return QString("The settings could not be copied: ") + cause + ". No file was changed."; };
    const struct { const char* folder; QString message; } rows[] = {
        {"C:\\Link\\", "The folder where the files with the settings will be exported to, must not be the same as the folder were "
                       "these files are stored."},
        {"C:\\File\\Sub\\", failed("a part of the folder's path is a file")},
        {"C:\\Out\\", failed("a folder in the destination has the name of a file to be copied")},
        {"C:\\Linked\\", failed("a file would have been copied onto itself")},
    };
    for (const auto& r : rows) {
        frmSettingsExport w;
        w.show();
        desk.answerFolder(r.folder);
        ui::Input::click(*w.cmdSettingsFolderExternal);
        desk.expectMsgBox("Export settings", r.message, 16, ui::vbOK);
        ui::Input::click(*w.cmdExport);
        EXPECT_TRUE(w.isLoaded() && w.cmdExport->enabled()) << r.folder;
        EXPECT_FALSE(basGlobal::globals().SettingsExportInProgress);
        w.unload();
    }
    EXPECT_TRUE(QDir(drive.native("Out/Quillmarsh.ini")).isEmpty());
}

TEST_F(SettingsTest, ImportOffersWhatTheFolderHoldsAndTrashesWhatItCopied)
{
    ini("ImportSettings", "Ini=True\r\nPrimary=True\r\nSecondary=True\r\nDeleteAfter=True\r\nFolder=C:\\In\\\r\n");
    drive.file("In/PrimarySavedPaths.txt");
    for (const char* n : kNames)
        drive.file(QString("All/") + n, n);
    frmSettingsImport w;
    w.show();
    EXPECT_EQ(states(w), "e0E1e0");
    EXPECT_EQ(w.lblSettingsFolderExternal->caption(), "C:\\In\\");
    EXPECT_EQ(w.chkDeleteAfterImporting->value(), 1);
    EXPECT_TRUE(w.cmdImport->enabled());
    desk.answerFolder("C:\\Data\\");
    ui::Input::click(*w.cmdSettingsFolderExternal);
    EXPECT_EQ(states(w), "e0e0e0");
    EXPECT_FALSE(w.cmdImport->enabled());
    desk.answerFolder("C:\\All\\");
    ui::Input::click(*w.cmdSettingsFolderExternal);
    EXPECT_EQ(states(w), "E0E0E0");
    ui::Input::click(*w.chkSavedPaths[1]);
    ui::Input::click(*w.cmdImport);
    EXPECT_FALSE(w.isLoaded());
    EXPECT_EQ(read("App/SecondarySavedPaths.txt"), "SecondarySavedPaths.txt");
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].what + shell.calls[0].args.join(""), "trashC:\\All\\SecondarySavedPaths.txt");
}

// The program tells an import that brings the INI file in by its flag: up from
// the question on, down again when the window opens anew.
TEST_F(SettingsTest, TheFlagOfAnIniImportIsDownWhenTheWindowOpensAgain)
{
    ini("ImportSettings", "Ini=True\r\nFolder=C:\\In\r\n");
    drive.file("In/Quillmarsh.ini", "[General]\r\n");
    drive.file("In/PrimarySavedPaths.txt", "imported");
    for (bool again : {false, true}) {
        frmSettingsImport w;
        w.show();
        EXPECT_FALSE(basGlobal::globals().ImportingIniFile) << again;
        if (again) {
            ui::Input::click(*w.chkIniFileName);
            ui::Input::click(*w.chkSavedPaths[0]);
            ui::Input::click(*w.cmdImport);
            EXPECT_FALSE(w.isLoaded());
            EXPECT_FALSE(basGlobal::globals().ImportingIniFile);
            EXPECT_EQ(read("App/PrimarySavedPaths.txt"), "imported");
            break;
        }
        desk.expectMsgBoxContaining("Import settings", "The application INI file is about to be imported.", 36, ui::vbNo);
        ui::Input::click(*w.cmdImport);
        EXPECT_TRUE(basGlobal::globals().ImportingIniFile);
        EXPECT_TRUE(w.isLoaded() && w.cmdImport->enabled());
        w.unload();
    }
}

TEST_F(SettingsTest, IniImportEndsTheProgramOnceWithoutWritingAfterwards)
{
    ini("ImportSettings", "Ini=True\r\nFolder=C:\\In\r\n");
    drive.file("In/Quillmarsh.ini", "[General]\r\nLanguage=True\r\n");
    int calls = 0;
    QByteArray atExit;
    SetProgramExitHook([&] {
        ++calls;
        atExit = read("App/Quillmarsh.ini");
    });
    // No to the question first: nothing happens.
    desk.expectMsgBoxContaining("Import settings", "The application INI file is about to be imported.", 36, ui::vbNo);
    desk.expectMsgBoxContaining("Import settings", "The application INI file is about to be imported.", 36, ui::vbYes);
    desk.expectMsgBoxContaining("Import settings", "The application will shut down after you click 'OK'.", 48, ui::vbOK);
    desk.onModal("frmSettingsImport", [&](ui::Form& f) {
        auto& w = static_cast<frmSettingsImport&>(f);
        ui::Input::click(*w.cmdImport);
        EXPECT_TRUE(w.cmdImport->enabled());
        EXPECT_EQ(read("App/Quillmarsh.ini").left(16), "[ImportSettings]");
        ui::Input::click(*w.cmdImport);
    });
    EXPECT_TRUE(ShowSettingsImport({0, 0}));
    SetProgramExitHook({});
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(atExit, "[General]\r\nLanguage=True\r\n");
    EXPECT_EQ(read("App/Quillmarsh.ini"), atExit) << "nothing written after the end began";
}

TEST_F(SettingsTest, ARefusedOrFailedImportChangesTrashesAndEndsNothing)
{
    // An INI the start would refuse; then a copy that fails half way.
    for (const bool tooLarge : {true, false}) {
        ini("ImportSettings", "Ini=True\r\nSecondary=True\r\nDeleteAfter=True\r\nFolder=C:\\In\r\n");
        const QByteArray appIni = read("App/Quillmarsh.ini");
        drive.file("In/Quillmarsh.ini", tooLarge ? QByteArray(5 * 1024 * 1024, 'x') : QByteArray("[General]\r\n"));
        drive.file("In/SecondarySavedPaths.txt", "secondary");
        int calls = 0;
        SetProgramExitHook([&] { ++calls; });
        frmSettingsImport w;
        w.show();
        if (tooLarge) {
            desk.expectMsgBox("Import settings",
                              "The file 'C:\\In\\Quillmarsh.ini' cannot be imported as the application INI file: it is larger "
                              "than 4 MB. No file was changed.",
                              16, ui::vbOK);
        } else {
            drive.folder("App/SecondarySavedPaths.txt");   // in the way of the second copy
            desk.expectMsgBoxContaining("Import settings", "The application INI file is about to be imported.", 36, ui::vbYes);
            desk.expectMsgBoxContaining("Import settings", "The settings could not be copied", 16, ui::vbOK);
        }
        ui::Input::click(*w.cmdImport);
        SetProgramExitHook({});
        EXPECT_EQ(calls, 0);
        EXPECT_TRUE(shell.calls.empty()) << "no source sent to the trash";
        EXPECT_EQ(read("App/Quillmarsh.ini"), appIni) << "all or nothing";
        EXPECT_TRUE(w.isLoaded() && w.cmdImport->enabled());
        EXPECT_FALSE(basGlobal::globals().SettingsImportInProgress);
        EXPECT_EQ(QDir(drive.native("App")).entryList(QDir::Files | QDir::Hidden).size(), 1) << "nothing else copied, no temporary left";
        desk.answerFolder("C:\\App\\");
        ui::Input::click(*w.cmdSettingsFolderExternal);
        desk.expectMsgBoxContaining("Import settings", "must not be the same as the folder were these files will be stored.", 16, ui::vbOK);
        ui::Input::click(*w.cmdImport);
        w.unload();
    }
}

// What the system said when a copy failed, in the words of each language; a
// folder on a drive that is not there is "not found". Nothing changes.
int g_linkErrno = 0;

TEST_F(SettingsTest, EachSystemFailureOfAnExportIsNamedInEitherLanguage)
{
    ini("ExportSettings", "Ini=True\r\nFolder=C:\\Out\r\n");
    drive.file("Out/Quillmarsh.ini", "old");
    const QString loop = platform::errorDescription(platform::errorFromErrno(ELOOP));
    ASSERT_FALSE(loop.isEmpty());
    const struct { int err; const char* folder; QString english; QString greek; } rows[] = {
        {EROFS, "C:\\Out\\", "the disk can only be read", "ο δίσκος επιτρέπει μόνο ανάγνωση"},
        {ENOENT, "C:\\Out\\", "a file or folder was not found", "ένα αρχείο ή φάκελλος δεν βρέθηκε"},
        {ENOSPC, "C:\\Out\\", "the disk is full", "ο δίσκος είναι πλήρης"},
        {EDQUOT, "C:\\Out\\", "the disk is full", "ο δίσκος είναι πλήρης"},
        {ENAMETOOLONG, "C:\\Out\\", "a file name is not valid", "ένα όνομα αρχείου δεν είναι έγκυρο"},
        {EACCES, "C:\\Out\\", "access was denied", "η πρόσβαση δεν επετράπη"},
        {ELOOP, "C:\\Out\\", loop, loop},
        {0, "Q:\\Out\\", "a file or folder was not found", "ένα αρχείο ή φάκελλος δεν βρέθηκε"},
    };
    platform::setLinkCall([](const char*, const char*) {
        errno = g_linkErrno;
        return -1;
    });
    for (const auto& r : rows) {
        for (bool greek : {false, true}) {
            SCOPED_TRACE(std::to_string(r.err) + (greek ? " in Greek" : ""));
            basGlobal::globals().LanguageIsGreek = greek;
            g_linkErrno = r.err;
            frmSettingsExport w;
            w.show();
            desk.answerFolder(r.folder);
            ui::Input::click(*w.cmdSettingsFolderExternal);
            desk.expectMsgBox(greek ? "Εξαγωγή ρυθμίσεων" : "Export settings",
                              greek ? "Δεν κατέστη δυνατή η αντιγραφή των ρυθμίσεων: " + r.greek + ". Κανένα αρχείο δεν άλλαξε."
                                    : "The settings could not be copied: " + r.english + ". No file was changed.",
                              16, ui::vbOK);
            ui::Input::click(*w.cmdExport);
            EXPECT_EQ(desk.pendingMsgBoxes(), 0);
            EXPECT_TRUE(w.isLoaded() && w.cmdExport->enabled());
            EXPECT_EQ(states(w), "E1e0e0");
            EXPECT_EQ(w.cmdCancel->caption(), greek ? "Άκυρο" : "Cancel");
            EXPECT_FALSE(basGlobal::globals().SettingsExportInProgress);
            w.unload();
        }
    }
    platform::setLinkCall(nullptr);
    EXPECT_EQ(read("Out/Quillmarsh.ini"), "old");
    EXPECT_EQ(QDir(drive.native("Out")).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary left";
}

// A file to import that went away after the window showed it is dropped for
// good: the user is told (the Greek words as the program has always had
// them), nothing is copied, trashed or ended, and Import waits for a tick.
TEST_F(SettingsTest, ImportDropsASourceThatVanishedInEitherLanguage)
{
    for (bool greek : {false, true}) {
        SCOPED_TRACE(greek ? "Greek" : "English");
        basGlobal::globals().LanguageIsGreek = greek;
        ini("ImportSettings", "Primary=True\r\nSecondary=True\r\nDeleteAfter=True\r\nFolder=C:\\In\r\n");
        drive.file("App/SecondarySavedPaths.txt", "old secondary");
        drive.file("In/PrimarySavedPaths.txt", "new primary");
        drive.file("In/SecondarySavedPaths.txt", "new secondary");
        int calls = 0;
        SetProgramExitHook([&] { ++calls; });
        frmSettingsImport w;
        w.show();
        EXPECT_EQ(states(w), "e0E1E1");
        QFile::remove(drive.native("In/SecondarySavedPaths.txt"));
        desk.expectMsgBox(greek ? "Εισαγωγή ρυθμίσεων" : "Import settings",
                          greek ? "Το αρχείο «'C:\\In\\SecondarySavedPaths.txt», δεν υπάρχει."
                                : "File 'C:\\In\\SecondarySavedPaths.txt', does not exist.",
                          16, ui::vbOK);
        ui::Input::click(*w.cmdImport);
        EXPECT_EQ(desk.pendingMsgBoxes(), 0);
        EXPECT_EQ(states(w), "e0E1e0");
        EXPECT_EQ(w.lblSavedPaths[1]->caption(), "");
        EXPECT_EQ(w.lblSavedPaths[1]->toolTipText(), "");
        EXPECT_TRUE(w.isLoaded() && w.cmdImport->enabled()) << "the Primary file is still ticked";
        EXPECT_FALSE(basGlobal::globals().SettingsImportInProgress);
        EXPECT_FALSE(QFile::exists(drive.native("App/PrimarySavedPaths.txt"))) << "nothing copied";
        EXPECT_EQ(read("App/SecondarySavedPaths.txt"), "old secondary");
        EXPECT_TRUE(shell.calls.empty());
        // The last ticked item gone as well: Import has nothing left to do.
        QFile::remove(drive.native("In/PrimarySavedPaths.txt"));
        desk.expectMsgBoxContaining(greek ? "Εισαγωγή ρυθμίσεων" : "Import settings", "PrimarySavedPaths.txt", 16, ui::vbOK);
        ui::Input::click(*w.cmdImport);
        EXPECT_EQ(states(w), "e0e0e0");
        EXPECT_FALSE(w.cmdImport->enabled());
        EXPECT_TRUE(w.isLoaded());
        SetProgramExitHook({});
        EXPECT_EQ(calls, 0);
        w.unload();
    }
}

// Each window's layout: the three items one under the other in the frame,
// each label indented under its check box; the folder row below them; the
// three buttons in a row under the frame, Cancel at its left edge and the
// action at its right; the import's Delete box between frame and buttons.
TEST_F(SettingsTest, EachWindowsItemsFolderRowAndButtonsStandInPlace)
{
    for (bool importing : {false, true}) {
        SCOPED_TRACE(importing ? "import" : "export");
        std::unique_ptr<SettingsTransferWindow> w;
        if (importing) w = std::make_unique<frmSettingsImport>();
        else w = std::make_unique<frmSettingsExport>();
        w->show();
        ui::CommandButton* action = static_cast<ui::CommandButton*>(w->control(importing ? "cmdImport" : "cmdExport"));
        ui::CheckBox* checks[3] = {w->chkIniFileName, w->chkSavedPaths[0], w->chkSavedPaths[1]};
        ui::Label* labels[3] = {w->lblIniFileName, w->lblSavedPaths[0], w->lblSavedPaths[1]};
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(checks[k]->container(), w->fraSettings);
            EXPECT_EQ(labels[k]->container(), w->fraSettings);
            EXPECT_EQ(checks[k]->top() - checks[0]->top(), 600 * k);
            EXPECT_EQ(labels[k]->top() - checks[k]->top(), 270);
            EXPECT_EQ(labels[k]->left() - checks[k]->left(), 240);
            EXPECT_EQ(labels[k]->left() + labels[k]->width(), checks[k]->left() + checks[k]->width());
            EXPECT_EQ(checks[k]->left(), 240);
            EXPECT_EQ(checks[k]->left() * 2 + checks[k]->width(), w->fraSettings->width());
        }
        EXPECT_EQ(checks[0]->top(), 300);
        EXPECT_EQ(w->fraSettings->width(), 6960);
        EXPECT_EQ(w->width(), w->fraSettings->width() + 360);
        EXPECT_EQ(w->chkSavedPaths[0]->index(), 0);
        EXPECT_EQ(w->chkSavedPaths[1]->index(), 1);
        EXPECT_EQ(w->chkIniFileName->index(), -1);
        EXPECT_GT(w->cmdSettingsFolderExternal->top(), labels[2]->top() + labels[2]->height());
        EXPECT_EQ(w->cmdSettingsFolderExternal->left(), checks[0]->left());
        EXPECT_EQ(w->lblSettingsFolderExternal->left(), w->cmdSettingsFolderExternal->left() + w->cmdSettingsFolderExternal->width() + 120);
        EXPECT_EQ(w->lblSettingsFolderExternal->left() + w->lblSettingsFolderExternal->width() + 240, w->fraSettings->width());
        EXPECT_FALSE(w->lblAuxiliary1->visible());
        EXPECT_FALSE(w->lblAuxiliary2->visible());
        const std::vector<ui::CommandButton*> row = {w->cmdCancel, w->cmdApply, action};
        for (std::size_t k = 0; k < row.size(); ++k) {
            EXPECT_EQ(row[k]->top(), importing ? 3240 : 2880) << k;
            EXPECT_EQ(row[k]->width(), 1500) << k;
            EXPECT_EQ(row[k]->height(), 375) << k;
        }
        EXPECT_EQ(w->cmdCancel->left(), w->fraSettings->left());
        EXPECT_EQ(action->left() + action->width(), w->fraSettings->left() + w->fraSettings->width());
        EXPECT_EQ(action->left() - (w->cmdApply->left() + w->cmdApply->width()), 120);
        EXPECT_EQ(action->tabIndex(), 0);
        EXPECT_EQ(w->defaultButton(), action);
        EXPECT_EQ(w->cancelButton(), w->cmdCancel);
        if (importing) {
            auto* del = static_cast<frmSettingsImport*>(w.get())->chkDeleteAfterImporting;
            EXPECT_GE(del->top(), w->fraSettings->top() + w->fraSettings->height());
            EXPECT_LT(del->top() + del->height(), w->cmdCancel->top());
        } else {
            EXPECT_EQ(w->cmdCancel->top() - (w->fraSettings->top() + w->fraSettings->height()), 120);
        }
        EXPECT_EQ(w->height(), w->cmdCancel->top() + 375 + 600);
        w->unload();
    }
}

// ---- What the copies meet on other disks, and meanwhile ---------------------------------

TEST_F(SettingsTest, AnIniReplacedWhileTheQuestionIsUpIsCheckedAgainAndRefused)
{
    ini("ImportSettings", "Ini=True\r\nPrimary=True\r\nFolder=C:\\In\r\n");
    const QByteArray appIni = read("App/Quillmarsh.ini");
    drive.file("App/PrimarySavedPaths.txt", "old primary");
    drive.file("In/Quillmarsh.ini", "[General]\r\n");
    drive.file("In/PrimarySavedPaths.txt", "new primary");
    ui::MeanwhileDesktop aside;
    aside.install();
    int calls = 0;
    SetProgramExitHook([&] { ++calls; });
    frmSettingsImport w;
    w.show();
    aside.meanwhile = [&] { drive.file("In/Quillmarsh.ini", QByteArray(5 * 1024 * 1024, 'x')); };
    aside.expectMsgBoxContaining("Import settings", "The application INI file is about to be imported.", 36, ui::vbYes);
    aside.expectMsgBox("Import settings",
                       "The file 'C:\\In\\Quillmarsh.ini' cannot be imported as the application INI file: it is larger "
                       "than 4 MB. No file was changed.",
                       16, ui::vbOK);
    ui::Input::click(*w.cmdImport);
    SetProgramExitHook({});
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(aside.pendingMsgBoxes(), 0);
    EXPECT_EQ(read("App/Quillmarsh.ini"), appIni);
    EXPECT_EQ(read("App/PrimarySavedPaths.txt"), "old primary") << "all or nothing";
    EXPECT_EQ(QDir(drive.native("App")).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no temporary left";
    EXPECT_TRUE(w.isLoaded() && w.cmdImport->enabled());
    w.unload();
    desk.install();
}

// What takes a file's place while the question is up and is no file at all
// (a socket cannot even be opened) is never read, and the refusal says what
// is wrong with it.
TEST_F(SettingsTest, AFileReplacedByWhatIsNotAFileIsRefusedAsNoFile)
{
    const struct { const char* what; const char* file; std::function<int(const char*)> make; } rows[] = {
        {"the INI, by a FIFO", "Quillmarsh.ini", [](const char* p) { return ::mkfifo(p, 0600); }},
        {"the INI, by a link to /dev/zero", "Quillmarsh.ini", [](const char* p) { return ::symlink("/dev/zero", p); }},
        {"the INI, by a folder", "Quillmarsh.ini", [](const char* p) { return ::mkdir(p, 0700); }},
        {"the saved paths, by a FIFO", "PrimarySavedPaths.txt", [](const char* p) { return ::mkfifo(p, 0600); }},
        {"the INI, by a socket", "Quillmarsh.ini", testing_support::makeSocket},
        {"the saved paths, by a socket", "PrimarySavedPaths.txt", testing_support::makeSocket},
    };
    for (const auto& r : rows) {
        ini("ImportSettings", "Ini=True\r\nPrimary=True\r\nFolder=C:\\In\r\n");
        const QByteArray appIni = read("App/Quillmarsh.ini");
        drive.file("App/PrimarySavedPaths.txt", "old primary");
        drive.file("In/Quillmarsh.ini", "[General]\r\n");
        drive.file("In/PrimarySavedPaths.txt", "new primary");
        ui::MeanwhileDesktop aside;
        aside.install();
        int calls = 0;
        SetProgramExitHook([&] { ++calls; });
        frmSettingsImport w;
        w.show();
        const QByteArray source = drive.nativeBytes(QString("In/") + r.file);
        aside.meanwhile = [&] {
            ASSERT_EQ(::unlink(source.constData()), 0);
            ASSERT_EQ(r.make(source.constData()), 0) << r.what;
        };
        aside.expectMsgBoxContaining("Import settings", "The application INI file is about to be imported.", 36, ui::vbYes);
        aside.expectMsgBox("Import settings",
                           QString("The settings could not be copied: 'C:\\In\\%1' is not a file. No file was changed.").arg(r.file),
                           16, ui::vbOK);
        ui::Input::click(*w.cmdImport);
        SetProgramExitHook({});
        EXPECT_EQ(calls, 0) << r.what;
        EXPECT_EQ(aside.pendingMsgBoxes(), 0) << r.what;
        EXPECT_EQ(read("App/Quillmarsh.ini"), appIni) << r.what;
        EXPECT_EQ(read("App/PrimarySavedPaths.txt"), "old primary") << r.what;
        EXPECT_EQ(QDir(drive.native("App")).entryList(QDir::Files | QDir::Hidden).size(), 2) << r.what << ": no temporary left";
        EXPECT_TRUE(w.isLoaded() && w.cmdImport->enabled()) << r.what;
        w.unload();
        desk.install();
        ::unlink(source.constData());
        ::rmdir(source.constData());
    }
}

// The refusal in Greek.
TEST_F(SettingsTest, AnIniReplacedByAFolderIsRefusedAsNoFileInGreek)
{
    ini("ImportSettings", "Ini=True\r\nFolder=C:\\In\r\n");
    basGlobal::globals().LanguageIsGreek = true;
    drive.file("In/Quillmarsh.ini", "[General]\r\n");
    ui::MeanwhileDesktop aside;
    aside.install();
    frmSettingsImport w;
    w.show();
    aside.meanwhile = [&] {
        QFile::remove(drive.native("In/Quillmarsh.ini"));
        drive.folder("In/Quillmarsh.ini");
    };
    aside.expectMsgBoxContaining("Εισαγωγή ρυθμίσεων", "Θέλετε πράγματι να συνεχίσετε;", 36, ui::vbYes);
    aside.expectMsgBox("Εισαγωγή ρυθμίσεων",
                       "Δεν κατέστη δυνατή η αντιγραφή των ρυθμίσεων: το «C:\\In\\Quillmarsh.ini» δεν είναι αρχείο. "
                       "Κανένα αρχείο δεν άλλαξε.",
                       16, ui::vbOK);
    ui::Input::click(*w.cmdImport);
    EXPECT_EQ(aside.pendingMsgBoxes(), 0);
    w.unload();
    desk.install();
}

// A disk that makes no hard links (FAT, exFAT on a stick): the old files are
// kept aside by renaming them, and the copies work every time.
TEST_F(SettingsTest, ExportTwiceAndImportOntoAnExistingIniWhereNoHardLinkCanBeMade)
{
    platform::setLinkCall([](const char*, const char*) {
        errno = EPERM;
        return -1;
    });
    drive.file("App/PrimarySavedPaths.txt", "primary");
    for (const char* settings : {"[ExportSettings]\r\nIni=True\r\nPrimary=True\r\nFolder=C:\\Stick\r\n",
                                 "[ExportSettings]\r\nIni=True\r\nPrimary=True\r\nFolder=C:\\Stick\r\n;again\r\n"}) {
        drive.file("App/Quillmarsh.ini", settings);
        frmSettingsExport w;
        w.show();
        ui::Input::click(*w.cmdExport);
        EXPECT_FALSE(w.isLoaded()) << settings;
        EXPECT_EQ(read("Stick/Quillmarsh.ini"), settings);
        EXPECT_EQ(read("Stick/PrimarySavedPaths.txt"), "primary");
        EXPECT_EQ(QDir(drive.native("Stick")).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no second name left";
    }

    ini("ImportSettings", "Ini=True\r\nFolder=C:\\Stick\r\n");
    desk.expectMsgBoxContaining("Import settings", "The application INI file is about to be imported.", 36, ui::vbYes);
    desk.expectMsgBoxContaining("Import settings", "The application will shut down after you click 'OK'.", 48, ui::vbOK);
    frmSettingsImport w;
    w.exitHook = [] {};
    w.show();
    ui::Input::click(*w.cmdImport);
    platform::setLinkCall(nullptr);
    EXPECT_TRUE(w.iniImported);
    EXPECT_EQ(read("App/Quillmarsh.ini"), read("Stick/Quillmarsh.ini"));
    EXPECT_EQ(QDir(drive.native("App")).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no second name left";
}

// A folder that is a symbolic link to nothing (a stick not plugged in) is
// not made where the link points: the message says what is in the way.
TEST_F(SettingsTest, ExportToADanglingLinkNamesTheLink)
{
    ini("ExportSettings", "Ini=True\r\n");
    ASSERT_TRUE(QFile::link(drive.native("Gone/Settings"), drive.native("Stick")));
    const auto failed = [](const char* cause) { return QString("The settings could not be copied: ") + cause + ". No file was changed."; };
    const struct { const char* folder; QString message; } rows[] = {
        {"C:\\Stick\\", failed("a part of the folder's path is a symbolic link to something that does not exist")},
        {"C:\\Stick\\Sub\\", failed("a part of the folder's path is a symbolic link to something that does not exist")},
    };
    for (const auto& r : rows) {
        frmSettingsExport w;
        w.show();
        desk.answerFolder(r.folder);
        ui::Input::click(*w.cmdSettingsFolderExternal);
        desk.expectMsgBox("Export settings", r.message, 16, ui::vbOK);
        ui::Input::click(*w.cmdExport);
        EXPECT_TRUE(w.isLoaded() && w.cmdExport->enabled()) << r.folder;
        w.unload();
    }
    EXPECT_FALSE(QFileInfo::exists(drive.native("Gone"))) << "nothing made where the link points";
    // The Greek words of the same cause.
    basGlobal::globals().LanguageIsGreek = true;
    frmSettingsExport w;
    w.show();
    desk.answerFolder("C:\\Stick\\");
    ui::Input::click(*w.cmdSettingsFolderExternal);
    desk.expectMsgBoxContaining("Εξαγωγή ρυθμίσεων", "συμβολικός σύνδεσμος προς κάτι που δεν υπάρχει", 16, ui::vbOK);
    ui::Input::click(*w.cmdExport);
    w.unload();
}

} // namespace
