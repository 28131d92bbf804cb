// The explanation window on the Qt desktop, in English and in Greek, for a
// file that differs in size: the pictures land in the build folder for a
// look, and every control must lie inside the window.
#include "results/frmInterpretation.h"
#include "results_fixture.h"
#include "ui/qt/FormWindow.h"
#include "ui/qt/QtDesktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace {

void render(bool greek, const QString& fileName)
{
    QTemporaryDir c;
    ASSERT_TRUE(c.isValid());
    platform::Drive dc;
    dc.letter = QLatin1Char('C');
    dc.mountPoint = c.path();
    dc.type = platform::driveFixed;
    platform::setDrives(platform::DriveTable({dc}));
    for (auto [rel, size] : {std::pair{"Primary/Reports/2024/summary.txt", 1234567}, {"Secondary/Reports/2024/summary.txt", 900}}) {
        QDir().mkpath(QFileInfo(c.path() + QLatin1Char('/') + QLatin1String(rel)).absolutePath());
        QFile f(c.path() + QLatin1Char('/') + QLatin1String(rel));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(size));
    }
    basGlobal::resetGlobals();
    ui::qt::QtDesktop desk;
    desk.install();
    desk.setQuitOnEnd(false);
    desk.setGreekButtons(greek);
    results::installResultTools();
    basGlobal::Globals& g = basGlobal::globals();
    g.LanguageIsGreek = greek;
    g.ApplicationTitle = QStringLiteral("Tarnwick");
    g.VolumeIsCaseSensitive = true;
    g.ShowExtendedInformation = true;
    g.FileTypesPattern = QStringLiteral("*.*");
    g.IncludeHiddenFiles = g.IncludeSystemFiles = g.IncludeReadOnlyFiles = g.IncludeArchiveFiles = true;
    g.LastStructureToProcess = 1;
    g.CurrentPath = {QStringLiteral("C:\\Primary"), QStringLiteral("C:\\Secondary")};
    g.DateFormatName = QStringLiteral("short");
    g.TimeFormatName = QStringLiteral("long");
    const int widths[9] = {200, 2345, 2345, 1250, 1250, 1000, 1000, 850, 850};
    for (int k = 0; k < 9; ++k) g.DefaultGridColumnWidth[std::size_t(k)] = g.GridColumnWidth[std::size_t(k)] = widths[k];

    compare_test::QuietMain main;
    main.load();
    compare::frmCompare win;
    QImage shot;
    desk.setDialogHook([&](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) QTimer::singleShot(0, box, [box] { box->buttons().first()->click(); });
    });
    QTimer::singleShot(0, [&] {
        ui::Input::click(*win.cmdCompare);
        results::frmInterpretation& explanation = results::InterpretationWindow();
        // Once the explanation is up (the please-wait notice has gone): look, then OK.
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!explanation.isShown()) return;
            poll.stop();
            for (int k = 0; k < 5; ++k) QApplication::processEvents();
            if (ui::qt::FormWindow* w = desk.window(explanation)) {
                shot = w->grab().toImage();
                for (ui::Control* ctl : explanation.controls()) {
                    QWidget* cw = w->widgetFor(ctl);
                    if (!cw || !cw->isVisible()) continue;
                    const QRect r(cw->mapTo(w, QPoint(0, 0)), cw->size());
                    EXPECT_TRUE(QRect(QPoint(0, 0), w->size()).contains(r)) << ctl->name().toStdString();
                }
            }
            ui::Input::click(*explanation.cmdOK);
        });
        poll.start();
        ui::Input::gridMouseUp(*win.grdResults, 3, 1);   // the file row, below its two folder rows
        ui::Input::click(*win.cmdCancel);
    });
    win.show(ui::Modal);
    main.unload();
    ASSERT_FALSE(shot.isNull());
    const QString out = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../") + fileName);
    EXPECT_TRUE(shot.save(out)) << out.toStdString();
    basGlobal::windowHooks() = basGlobal::WindowHooks();
    ui::setDesktop(nullptr);
    platform::reloadDrives();
}

} // namespace

TEST(ExplanationOnScreen, English) { render(false, QStringLiteral("frmInterpretation-en.png")); }
TEST(ExplanationOnScreen, Greek) { render(true, QStringLiteral("frmInterpretation-gr.png")); }
