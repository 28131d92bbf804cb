// The export window (mid-run, English) and the import window (Greek) on the
// Qt desktop: every control inside the window; the pictures land in the
// build folder for a look.
#include "offline/frmExportStructure.h"
#include "offline/frmImportStructure.h"
#include "platform/Drives.h"
#include "shared/Progress.h"
#include "shared/basGlobal.h"
#include "ui/qt/FormWindow.h"
#include "ui/qt/QtDesktop.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

void render(offline::StructureWindow& win, bool greek, const QString& fileName, const std::function<void()>& fill)
{
    QTemporaryDir c;
    platform::Drive dc;
    dc.letter = QLatin1Char('C');
    dc.mountPoint = c.path();
    dc.type = platform::driveFixed;
    platform::setDrives(platform::DriveTable({dc}));
    basGlobal::resetGlobals();
    basGlobal::Globals& g = basGlobal::globals();
    g.LanguageIsGreek = greek;
    g.ApplicationTitle = QStringLiteral("Tarnwick");
    g.CurrentPath = {QStringLiteral("C:\\Projects\\Quarterly reports\\2024"), QStringLiteral("C:\\Backup")};
    g.ExportStructureSelection = g.ImportStructureSelection = 2;
    ui::qt::QtDesktop desk;
    desk.install();
    desk.setQuitOnEnd(false);
    QImage shot;
    QTimer::singleShot(0, [&] {
        fill();
        for (int k = 0; k < 5; ++k) QApplication::processEvents();
        if (ui::qt::FormWindow* w = desk.window(win)) {
            shot = w->grab().toImage();
            for (ui::Control* ctl : win.controls()) {
                QWidget* cw = w->widgetFor(ctl);
                if (!cw || !cw->isVisible()) continue;
                const QRect r(cw->mapTo(w, QPoint(0, 0)), cw->size());
                EXPECT_TRUE(QRect(QPoint(0, 0), w->size()).contains(r)) << ctl->name().toStdString();
            }
        }
        win.unload();
    });
    win.show(ui::Modal);
    ASSERT_FALSE(shot.isNull());
    const QString out = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../") + fileName);
    EXPECT_TRUE(shot.save(out)) << out.toStdString();
    ui::setDesktop(nullptr);
    platform::reloadDrives();
}

} // namespace

TEST(OfflineWindowsOnScreen, TheExportWindowWhileItRuns)
{
    offline::frmExportStructure win;
    render(win, false, QStringLiteral("frmExportStructure-en.png"), [&] {
        win.lblTotalFolders[0]->setCaption(QStringLiteral("Folders: 1,204."));
        win.lblTotalFiles[0]->setCaption(QStringLiteral("Files: 18,337."));
        win.lblOutputFile[0]->setCaption(QStringLiteral("C:\\P_C_2024.txt"));
        win.lblProcessInProgress->setVisible(true);
        win.lblProcessInProgress->setCaption(QStringLiteral("collecting local structure file attributes"));
        win.prbProgressBar->setVisible(true);
        win.cpUpdateProgressBar(40, 100);
        win.lblElapsedTime->setCaption(basGlobal::ElapsedTimeText(75));
    });
}

TEST(OfflineWindowsOnScreen, TheImportWindowInGreek)
{
    offline::frmImportStructure win;
    render(win, true, QStringLiteral("frmImportStructure-gr.png"), [&] {
        win.lblInputFile[0]->setCaption(QStringLiteral("C:\\P_C_2024.txt"));
    });
}
