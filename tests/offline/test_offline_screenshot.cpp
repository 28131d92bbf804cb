// The export window (mid-run, English) and the import window (Greek) on the
// Qt desktop: every control inside the window; the pictures land in the
// build folder for a look.
#include "offline/frmExportStructure.h"
#include "offline/frmImportStructure.h"
#include "shared/Progress.h"
#include "shared/basGlobal.h"
#include "support/OnScreen.h"
#include "support/TempDrive.h"

namespace {

void render(offline::StructureWindow& win, bool greek, const QString& fileName, const std::function<void()>& fill)
{
    testing_support::TempDrive c;
    basGlobal::resetGlobals();
    basGlobal::Globals& g = basGlobal::globals();
    g.LanguageIsGreek = greek;
    g.ApplicationTitle = QStringLiteral("Tarnwick");
    g.CurrentPath = {QStringLiteral("C:\\Projects\\Quarterly reports\\2024"), QStringLiteral("C:\\Backup")};
    g.ExportStructureSelection = g.ImportStructureSelection = 2;
    testing_support::QtDesk desk;
    QImage shot;
    QTimer::singleShot(0, [&] {
        fill();
        shot = testing_support::grabForm(desk, win);
        win.unload();
    });
    win.show(ui::Modal);
    ASSERT_FALSE(shot.isNull());
    testing_support::saveShot(shot, fileName);
    ui::setDesktop(nullptr);
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
