// The main, set-up, update and settings windows on the Qt desktop, in English and in
// Greek: every visible control lies inside its window, and the pictures land
// in the build folder for a look.
// Beyond the pictures: the update check's text read as plain text, and a
// tree's highlight after Refresh on the other tree, which only the real
// window can get wrong.
#include "mainwindow_fixture.h"
#include "maintenance/maintenance_fixture.h"
#include "support/LoopbackServer.h"
#include "support/OnScreen.h"

#include "maintenance/VersionInformation.h"
#include "maintenance/frmCheckForUpdates.h"
#include "maintenance/frmSettingsExport.h"
#include "maintenance/frmSettingsImport.h"
#include "setup/frmFolderIncludeExclude.h"
#include "setup/frmOptions.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>

namespace {

QString lang(bool greek) { return greek ? QStringLiteral("gr") : QStringLiteral("en"); }

// Keeps the picture of a shown form as `name`.png.
void keep(const QImage& shot, const ui::Form&, const QString& name)
{
    ASSERT_FALSE(shot.isNull()) << name.toStdString();
    testing_support::saveShot(shot, name + QStringLiteral(".png"));
}

void keepModal(ui::qt::QtDesktop& desk, ui::Form& form, const QString& name, const std::function<void()>& fill = {})
{
    QImage shot;
    QTimer::singleShot(0, [&] {
        if (fill) fill();
        shot = testing_support::grabForm(desk, form);
        form.unload();
    });
    form.show(ui::Modal);
    keep(shot, form, name);
}

// Every visible control of a shown form lies inside its container, and no
// caption of a choice is cut.
void expectLaidOut(ui::qt::QtDesktop& desk, ui::Form& form)
{
    for (ui::Control* ctl : form.controls()) {
        QWidget* cw = desk.window(form)->widgetFor(ctl);
        if (!cw || !cw->isVisible()) continue;
        EXPECT_TRUE(QRect(QPoint(0, 0), cw->parentWidget()->size()).contains(cw->geometry()))
            << form.name().toStdString() << "." << ctl->name().toStdString();
        const bool choice = qobject_cast<QCheckBox*>(cw) || qobject_cast<QRadioButton*>(cw);
        EXPECT_TRUE(!choice || cw->sizeHint().width() <= cw->width())
            << "caption cut: " << form.name().toStdString() << "." << ctl->name().toStdString();
    }
}

// A test's fixture, set up and torn down around one part of this test.
template <class Fixture>
struct Part : Fixture {
    Part() { this->SetUp(); }
    ~Part() override { this->TearDown(); }
    void TestBody() override {}
};

// The main window over a drive C: with a project tree and a removable drive
// D: with its backup, started by its own load from an INI file that opens
// both trees deep and shows every first-level list.
struct MainWindowOnScreen : MainWindowFixture<mainwindow::frmMain, ui::qt::QtDesktop> {
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

    // The window, then the set-up windows over it.
    void render(bool greek)
    {
        start(greek);
        ASSERT_TRUE(main.isShown());
        ui::qt::FormWindow* w = window();
        ASSERT_NE(w, nullptr);
        keep(testing_support::grabForm(desk, main), main, QStringLiteral("frmMain-") + lang(greek));
        EXPECT_GT(w->width(), ui::qt::QtDesktop::px(11000));
        // Both set-up windows: every visible control inside its frame too, and
        // no caption of a choice cut.
        setup::frmOptions options;
        setup::frmFolderIncludeExclude inclusion;
        for (ui::Form* form : std::initializer_list<ui::Form*>{&options, &inclusion}) {
            form->load();   // its load yields: the timer below must not fire inside it
            keepModal(desk, *form, form->name() + u'-' + lang(greek), [&] { expectLaidOut(desk, *form); });
        }
    }

    const QString paths[2] = {QStringLiteral("C:\\Projects\\Quillmarsh"), QStringLiteral("D:\\Backup\\Quillmarsh")};
    QTemporaryDir second;
};

// The update check after a newer version.
struct MaintenanceOnScreen : MaintenanceTest {
    void render(bool greek)
    {
        using namespace maintenance;
        LoopbackServer server;
        const UpdateCheckSettings saved = updateCheckSettings();
        updateCheckSettings().addressTemplate = server.base + "/|VersionInfo.aui";
        testing_support::QtDesk qt(greek);
        g().LanguageIsGreek = greek;
        server.answer(LoopbackServer::ok(kVersionFileMarker.toUtf8() + "|2003.0001.0000|2|<b>Faster</b> comparison.\r\n"
                                         "Fixed printing.|<b>Ταχύτερη</b> σύγκριση.\r\nΔιορθώσεις εκτύπωσης.|"
                                         "http://a.test/1|http://b.test/2"));
        frmCheckForUpdates check;
        check.show();
        ui::Input::click(*check.cmdCheck);
        // Text from the server is never read as markup.
        auto* result = qobject_cast<QLabel*>(qt.window(check)->widgetFor(check.lblResultDescription));
        EXPECT_TRUE(result && result->textFormat() == Qt::PlainText && result->isEnabled());
        EXPECT_FALSE(qt.window(check)->widgetFor(check.cmdCheck)->isEnabled());
        keep(testing_support::grabForm(qt, check), check, QStringLiteral("maintenance-update-") + lang(greek));
        check.unload();
        updateCheckSettings() = saved;
        desk.install();
    }
};

// The settings export and import windows, every item offered.
struct SettingsTransferOnScreen : MaintenanceTest {
    void render(bool greek)
    {
        testing_support::QtDesk qt(greek);
        basGlobal::globals().LanguageIsGreek = greek;
        for (const char* name : {"Quillmarsh.ini", "PrimarySavedPaths.txt", "SecondarySavedPaths.txt"}) {
            drive.file(QStringLiteral("App/") + QLatin1String(name), "[ImportSettings]\r\nFolder=C:\\In\\\r\n");
            drive.file(QStringLiteral("In/") + QLatin1String(name));
        }
        maintenance::frmSettingsExport exporting;
        maintenance::frmSettingsImport importing;
        for (ui::Form* form : std::initializer_list<ui::Form*>{&exporting, &importing}) {
            form->load();
            keepModal(qt, *form, form->name() + u'-' + lang(greek), [&] { expectLaidOut(qt, *form); });
        }
        desk.install();
    }
};

TEST(Screenshots, EveryWindowInBothLanguages)
{
    for (const bool greek : {false, true}) {
        SCOPED_TRACE(greek ? "Greek" : "English");
        Part<MainWindowOnScreen>().render(greek);
        Part<MaintenanceOnScreen>().render(greek);
        Part<SettingsTransferOnScreen>().render(greek);
    }
}

TEST_F(MainWindowOnScreen, RefreshOnOneStructureLeavesTheOtherTreesHighlightWorking)
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
