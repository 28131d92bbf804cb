// frmMain started by its own load on the Qt desktop from an INI file that
// opens both trees deep and shows every first-level list, in English and in
// Greek; the pictures land in the build folder for a look.
#include "mainwindow/frmMain.h"
#include "platform/Application.h"
#include "support/TempDrive.h"
#include "shared/IniAccess.h"
#include "shared/MainWindowCaptions.h"
#include "shared/Messages.h"
#include "shared/basTreeViewManager.h"
#include "ui/qt/FormWindow.h"
#include "ui/qt/QtDesktop.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <gtest/gtest.h>

using namespace basGlobal;

namespace {

void render(bool greek, const QString& fileName)
{
    testing_support::TempDrive drive;
    for (const char* f : {"Projects/Quillmarsh/src", "Projects/Quillmarsh/tests", "Projects/Archive 2023", "Photos/Holidays",
                          "Music", "Documents/Letters", "Documents/Invoices"})
        drive.folder(QLatin1String(f));
    for (int k = 0; k < 6; ++k)
        drive.file(QStringLiteral("Projects/Quillmarsh/readme-%1.txt").arg(k));
    QTemporaryDir second;
    QDir().mkpath(second.path() + QStringLiteral("/Backup/Quillmarsh/src"));
    QDir().mkpath(second.path() + QStringLiteral("/Backup/Quillmarsh/docs"));
    std::vector<platform::Drive> table = platform::drives().drives();
    platform::Drive d;
    d.letter = u'D';
    d.mountPoint = second.path();
    d.type = platform::driveRemovable;
    d.label = QStringLiteral("BACKUP");
    d.fsType = QStringLiteral("vfat");
    table.push_back(d);
    platform::setDrives(platform::DriveTable(table));

    const QString paths[2] = {QStringLiteral("C:\\Projects\\Quillmarsh"), QStringLiteral("D:\\Backup\\Quillmarsh")};
    // The program lives at the root of drive C: and starts on these settings.
    drive.file(QStringLiteral("Quillmarsh.ini"),
                (QStringLiteral("[General]\r\nLanguage=") + (greek ? QStringLiteral("True") : QStringLiteral("False"))
                 + QStringLiteral("\r\nPrimaryInitialPath=") + paths[0] + QStringLiteral("\r\nSecondaryInitialPath=")
                 + paths[1]
                 + QStringLiteral("\r\nDisplayPrimaryPathFirstLevelFolders=True\r\nDisplaySecondaryPathFirstLevelFolders=True"
                                  "\r\nDisplayPrimaryPathFirstLevelFiles=True\r\nDisplaySecondaryPathFirstLevelFiles=True\r\n"))
                    .toUtf8());
    platform::app().setPath(QStringLiteral("C:"));

    resetGlobals();
    ui::qt::QtDesktop desk;
    desk.install();
    desk.setQuitOnEnd(false);
    SetIniPathMapper([](const QString& f) { return platform::toNative(f).value_or(QString()); });
    Globals& g = globals();

    mainwindow::frmMain main;
    main.anotherCopyRunning = [] { return false; };
    main.languageChanged = [&desk](bool greekButtons) { desk.setGreekButtons(greekButtons); };
    main.load();
    ASSERT_TRUE(main.isShown());
    EXPECT_EQ(desk.greekButtons(), greek);
    EXPECT_EQ(g.CurrentPath[1], paths[1]);
    QApplication::processEvents();
    ui::qt::FormWindow* w = desk.window(main);
    ASSERT_NE(w, nullptr);
    QApplication::processEvents();
    const QImage shot = w->grab().toImage();
    const QString out = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../") + fileName);
    EXPECT_TRUE(shot.save(out)) << out.toStdString();
    EXPECT_GT(shot.width(), ui::qt::QtDesktop::px(11000));
    // Every control of the two structures is on screen and inside the window.
    for (ui::Control* c : main.controls()) {
        QWidget* cw = w->widgetFor(c);
        if (!cw || c->kind() == ui::ControlKind::Menu || c->kind() == ui::ControlKind::FormResizer)
            continue;
        EXPECT_TRUE(cw->isVisible()) << c->name().toStdString();
        EXPECT_LE(cw->geometry().right(), w->width()) << c->name().toStdString();
    }
    try {
        main.unload();
    } catch (const ui::ProgramEnd&) {
        // closing the main window ends the program
    }
    SetIniPathMapper({});
    ui::setDesktop(nullptr);
}

TEST(MainWindowScreenshot, EnglishWithBothTreesFilled) { render(false, QStringLiteral("frmMain-en.png")); }
TEST(MainWindowScreenshot, GreekWithBothTreesFilled) { render(true, QStringLiteral("frmMain-gr.png")); }

} // namespace
