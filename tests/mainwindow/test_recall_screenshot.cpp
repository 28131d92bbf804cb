// The recall window on the Qt desktop in both languages; the pictures land in
// the build folder for a look.
#include "mainwindow/frmRecallSavedPath.h"
#include "support/OnScreen.h"
#include "support/TempDrive.h"
#include "ui/Input.h"

TEST(RecallScreenshot, BothLanguages)
{
    for (const bool greek : {false, true}) {
        testing_support::TempDrive drive;
        drive.file(QStringLiteral("PrimarySavedPaths.txt"),
                   "C:\\Projects\\Quillmarsh\r\nC:\\Photos\\Holidays 2025\r\nD:\\Backup\\Quillmarsh\\src\r\n");
        basGlobal::resetGlobals();
        basGlobal::globals().LanguageIsGreek = greek;
        basGlobal::globals().SavedPathsFileName[0] = QStringLiteral("C:\\PrimarySavedPaths.txt");
        testing_support::QtDesk desk(greek);
        mainwindow::frmRecallSavedPath recall(0xC0E0FF);
        recall.show(ui::Modeless);
        ui::Input::listClick(*recall.lstSavedPaths[0], 1);
        testing_support::saveShot(testing_support::grabForm(desk, recall),
                                  greek ? QStringLiteral("recall-gr.png") : QStringLiteral("recall-en.png"));
        recall.unload();
        ui::setDesktop(nullptr);
    }
}
