// The start-up on a settings file that cannot be used: one message that
// names the file and the cause, then the window, the file left as it was;
// and the temporary files of writes that a killed copy left behind.
#include "mainwindow/frmMain.h"
#include "platform/Application.h"
#include "support/TempDrive.h"
#include "shared/IniAccess.h"
#include "shared/Messages.h"
#include "shared/qstring_print.h"
#include "ui/HeadlessDesktop.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <utime.h>

#include <gtest/gtest.h>

using namespace basGlobal;
using mainwindow::frmMain;

namespace {

class BadIniStartup : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGlobals();
        desk.install();
        SetDoEventsInterval(0);
        SetIniPathMapper([](const QString& f) { return platform::toNative(f).value_or(QString()); });
        platform::app().setPath(QStringLiteral("C:"));
        main.anotherCopyRunning = [] { return false; };
    }
    void TearDown() override
    {
        try {
            main.unload();
        } catch (const ui::ProgramEnd&) {
            // closing the main window ends the program
        }
        EXPECT_EQ(desk.pendingMsgBoxes(), 0);
        EXPECT_TRUE(desk.failures().isEmpty()) << desk.failures().join('\n').toStdString();
        CheckIniFile(QStringLiteral("C:\\Quillmarsh.ini"));   // no refusal outlives the test
        SetIniPathMapper({});
        ui::setDesktop(nullptr);
    }
    QString iniPath() const { return drive.native(QStringLiteral("Quillmarsh.ini")); }

    testing_support::TempDrive drive;
    ui::HeadlessDesktop desk;
    frmMain main;
};

} // namespace

TEST_F(BadIniStartup, AFolderInPlaceOfTheIniGivesOneMessageAndTheWindowStartsOnDefaults)
{
    drive.folder(QStringLiteral("Quillmarsh.ini"));
    desk.expectMsgBoxContaining(QStringLiteral("Tarnwick"),
                                QStringLiteral("The settings file 'C:\\Quillmarsh.ini' cannot be used: it is not a file."),
                                ui::vbExclamationOK, ui::vbOK);
    main.load();
    EXPECT_TRUE(main.isShown());
    EXPECT_EQ(desk.entries(ui::HeadlessDesktop::Entry::MessageBox).size(), 1);
    EXPECT_TRUE(globals().CommonFilesOnly);
    EXPECT_TRUE(QDir(iniPath()).isEmpty());
}

TEST_F(BadIniStartup, AReadOnlyIniIsReadNamedOnceAndNotChanged)
{
    const QByteArray text = "[General]\r\nLanguage=True\r\nStructureIndex=1\r\n";
    drive.file(QStringLiteral("Quillmarsh.ini"), text);
    ASSERT_TRUE(QFile::setPermissions(iniPath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    desk.expectMsgBoxContaining(QStringLiteral("Tarnwick"),
                                QStringLiteral("Το αρχείο ρυθμίσεων 'C:\\Quillmarsh.ini' δεν μπορεί να γραφεί"),
                                ui::vbExclamationOK, ui::vbOK);
    main.load();
    EXPECT_TRUE(globals().LanguageIsGreek);
    EXPECT_EQ(globals().CurrentStructure, 1);
    main.optStructure[0]->setValue(true);   // a write that is not kept, and not reported again
    QFile f(iniPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), text);
}

TEST_F(BadIniStartup, TemporariesOfKilledWritesAreRemovedAndOthersKept)
{
    const QString stale = QStringLiteral(".Quillmarsh.ini.qmtmp-AbC123");
    const QString young = QStringLiteral(".Quillmarsh.ini.qmtmp-XyZ789");
    const QString foreign = QStringLiteral(".Other.ini.qmtmp-AbC123");
    for (const QString& name : {stale, young, foreign})
        drive.file(name, QByteArray(1000, 'x'));
    const struct utimbuf old = {::time(nullptr) - 3600, ::time(nullptr) - 3600};
    for (const QString& name : {stale, foreign})
        ASSERT_EQ(::utime(QFile::encodeName(drive.native(name)).constData(), &old), 0);
    main.load();
    EXPECT_FALSE(QFile::exists(drive.native(stale)));
    EXPECT_TRUE(QFile::exists(drive.native(young)));   // a write of a running copy, maybe
    EXPECT_TRUE(QFile::exists(drive.native(foreign)));
}
