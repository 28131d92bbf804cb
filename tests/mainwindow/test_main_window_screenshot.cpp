// frmMain started by its own load on the Qt desktop from an INI file that
// opens both trees deep and shows every first-level list, in English and in
// Greek, normal and maximised; the pictures land in the build folder for a
// look. Also what only the real window can get wrong: a tree's highlight
// after Refresh on the other tree.
#include "mainwindow_fixture.h"
#include "support/OnScreen.h"
#include "ui/qt/FormWindow.h"
#include "ui/qt/QtDesktop.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTreeWidget>

using namespace basGlobal;

namespace {

// The main window on screen over a drive C: with a project tree and a
// removable drive D: with its backup.
class MainWindowScreenshot : public MainWindowFixture<mainwindow::frmMain, ui::qt::QtDesktop> {
protected:
    void start(bool greek)
    {
        for (const char* f : {"Projects/Quillmarsh/src", "Projects/Quillmarsh/tests", "Projects/Archive 2023", "Photos/Holidays",
                              "Music", "Documents/Letters", "Documents/Invoices"})
            drive.folder(QLatin1String(f));
        for (int k = 0; k < 6; ++k)
            drive.file(QStringLiteral("Projects/Quillmarsh/readme-%1.txt").arg(k));
        // Names with a character Windows forbids (kept as a private-use
        // character inside) and with accents over capitals.
        drive.file(QStringLiteral("Projects/Quillmarsh/What? Notes: 1.txt"));
        drive.folder(QStringLiteral("Projects/Quillmarsh/Äpfel und Öl"));
        QDir().mkpath(second.path() + QStringLiteral("/Backup/Quillmarsh/src"));
        QDir().mkpath(second.path() + QStringLiteral("/Backup/Quillmarsh/docs"));
        testing_support::addDrive(u'D', second.path(), QStringLiteral("BACKUP"), platform::driveRemovable, QStringLiteral("vfat"));
        writeIni(QStringLiteral("[General]\r\nLanguage=") + (greek ? QStringLiteral("True") : QStringLiteral("False"))
                 + QStringLiteral("\r\nPrimaryInitialPath=") + paths[0] + QStringLiteral("\r\nSecondaryInitialPath=") + paths[1]
                 + QStringLiteral("\r\nDisplayPrimaryPathFirstLevelFolders=True\r\nDisplaySecondaryPathFirstLevelFolders=True"
                                  "\r\nDisplayPrimaryPathFirstLevelFiles=True\r\nDisplaySecondaryPathFirstLevelFiles=True\r\n"));
        desk.setQuitOnEnd(false);
        main.languageChanged = [this](bool greekButtons) { desk.setGreekButtons(greekButtons); };
        main.load();
        QApplication::processEvents();
    }
    ui::qt::FormWindow* window() const { return desk.window(main); }
    QTreeWidget* tree(int i) const { return static_cast<QTreeWidget*>(window()->widgetFor(main.tvwStructure[i])); }

    void render(bool greek, const QString& name)
    {
        start(greek);
        ASSERT_TRUE(main.isShown());
        EXPECT_EQ(desk.greekButtons(), greek);
        EXPECT_EQ(globals().CurrentPath[1], paths[1]);
        ui::qt::FormWindow* w = window();
        ASSERT_NE(w, nullptr);
        for (bool maximised : {false, true}) {
            if (maximised) {
                w->resize(1600, 1000);
                QApplication::processEvents();
            }
            testing_support::saveShot(w->grab().toImage(), name + (maximised ? QStringLiteral("-max.png") : QStringLiteral(".png")));
            EXPECT_GT(w->width(), ui::qt::QtDesktop::px(11000));
            // Every control of the two structures is on screen and inside the window.
            for (ui::Control* c : main.controls()) {
                QWidget* cw = w->widgetFor(c);
                if (!cw || c->kind() == ui::ControlKind::Menu || c->kind() == ui::ControlKind::FormResizer)
                    continue;
                EXPECT_TRUE(cw->isVisible()) << c->name().toStdString();
                EXPECT_LE(cw->geometry().right(), w->width()) << c->name().toStdString();
            }
        }
    }

    const QString paths[2] = {QStringLiteral("C:\\Projects\\Quillmarsh"), QStringLiteral("D:\\Backup\\Quillmarsh")};
    QTemporaryDir second;
};

TEST_F(MainWindowScreenshot, EnglishWithBothTreesFilled) { render(false, QStringLiteral("frmMain-en")); }
TEST_F(MainWindowScreenshot, GreekWithBothTreesFilled) { render(true, QStringLiteral("frmMain-gr")); }

TEST_F(MainWindowScreenshot, RefreshOnOneStructureLeavesTheOtherTreesHighlightWorking)
{
    start(false);
    for (int refreshed : {0, 1}) {
        const int other = 1 - refreshed;
        testing_support::clickTreeItem(tree(refreshed), tree(refreshed)->currentItem());
        QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
        QApplication::sendEvent(tree(refreshed), &f5);
        QApplication::processEvents();

        QTreeWidget* view = tree(other);
        QTreeWidgetItem* target = view->currentItem()->parent();
        ASSERT_NE(target, nullptr);
        testing_support::clickTreeItem(view, target);
        ASSERT_EQ(view->currentItem(), target) << "after F5 on structure " << refreshed;
        EXPECT_TRUE(target->isSelected());
        // Down moves on from there, not back to the drive.
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(view, &down);
        ASSERT_NE(view->currentItem(), nullptr);
        EXPECT_NE(view->currentItem()->text(0), QStringLiteral("C:"));
        EXPECT_EQ(view->currentItem(), view->itemBelow(target));
    }
}

} // namespace
