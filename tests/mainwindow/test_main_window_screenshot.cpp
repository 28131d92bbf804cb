// frmMain rendered by the Qt desktop with both trees filled, in English and
// in Greek; the pictures land in the build folder for a look.
#include "mainwindow/frmMain.h"
#include "platform/TempDrive.h"
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
        drive.mkdir(QLatin1String(f));
    for (int k = 0; k < 6; ++k)
        drive.write(QStringLiteral("Projects/Quillmarsh/readme-%1.txt").arg(k));
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

    resetGlobals();
    ui::qt::QtDesktop desk;
    desk.install();
    desk.setGreekButtons(greek);
    SetIniPathMapper([](const QString& f) { return platform::toNative(f).value_or(QString()); });
    Globals& g = globals();
    g.LanguageIsGreek = greek;
    g.VolumeIsCaseSensitive = true;
    g.IniFileName = QStringLiteral("C:\\Quillmarsh.ini");
    for (int i = 0; i < 2; ++i)
        g.DisplayFirstLevelFolders[i] = g.DisplayFirstLevelFiles[i] = true;

    mainwindow::frmMain main;
    main.load();
    for (int i = 0; i < 2; ++i) {
        main.chkDisplayFirstLevelFolders[i]->setValue(1);
        main.chkDisplayFirstLevelFiles[i]->setValue(1);
    }
    ASSERT_EQ(SetApplicationLanguage(main, g.IniFileName), 0);
    main.optStructure[0]->setValue(true);
    main.optStructure[0]->setBackColor(mainwindow::kStructureSelectorColour[0]);
    main.optStructure[0]->setForeColor(mainwindow::kStructureSelectorColour[0]);
    main.show();
    const QString paths[2] = {QStringLiteral("C:\\Projects\\Quillmarsh"), QStringLiteral("D:\\Backup\\Quillmarsh")};
    for (int i = 0; i < 2; ++i) {
        Long err = 0;
        g.CurrentPath[i] = RestorePath(&main, paths[i], *main.tvwStructure[i], err);
        DisplayCurrentPath(main, Integer(i));
        FillFirstLevelFoldersList(main, Integer(i));
        FillFirstLevelFilesList(main, Integer(i));
    }
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
    main.unload();
    SetIniPathMapper({});
    ui::setDesktop(nullptr);
}

TEST(MainWindowScreenshot, EnglishWithBothTreesFilled) { render(false, QStringLiteral("frmMain-en.png")); }
TEST(MainWindowScreenshot, GreekWithBothTreesFilled) { render(true, QStringLiteral("frmMain-gr.png")); }

} // namespace
