// The recall window on the Qt desktop in both languages; the pictures land in
// the build folder for a look.
#include "mainwindow/frmRecallSavedPath.h"
#include "platform/Application.h"
#include "shared/IniAccess.h"
#include "shared/Messages.h"
#include "support/TempDrive.h"
#include "ui/qt/FormWindow.h"
#include "ui/qt/QtDesktop.h"
#include "ui/Input.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

using namespace basGlobal;

namespace {

TEST(RecallScreenshot, BothLanguages)
{
    for (const bool greek : {false, true}) {
        testing_support::TempDrive drive;
        drive.file(QStringLiteral("PrimarySavedPaths.txt"),
                   "C:\\Projects\\Quillmarsh\r\nC:\\Photos\\Holidays 2025\r\nD:\\Backup\\Quillmarsh\\src\r\n"
                   "C:\\Documents\\Letters\r\nC:\\Music\r\n");
        resetGlobals();
        Globals& g = globals();
        g.LanguageIsGreek = greek;
        g.SavedPathsFileName[0] = QStringLiteral("C:\\PrimarySavedPaths.txt");
        ui::qt::QtDesktop desk;
        desk.install();
        desk.setQuitOnEnd(false);
        mainwindow::frmRecallSavedPath recall(0xC0E0FF);
        recall.show(ui::Modeless);
        ui::Input::listClick(*recall.lstSavedPaths[0], 1);
        QApplication::processEvents();
        ui::qt::FormWindow* w = desk.window(recall);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(recall.cmdRecall->enabled());
        const QImage shot = w->grab().toImage();
        const QString out = QDir(QCoreApplication::applicationDirPath())
                                .absoluteFilePath(greek ? QStringLiteral("../recall-gr.png") : QStringLiteral("../recall-en.png"));
        EXPECT_TRUE(shot.save(out)) << out.toStdString();
        recall.unload();
        ui::setDesktop(nullptr);
    }
}

} // namespace
