// The explanation window on the Qt desktop, in English and in Greek: the
// pictures land in the build folder for a look; every control lies inside.
#include "results/frmInterpretation.h"
#include "results_fixture.h"
#include "ui/qt/FormWindow.h"
#include "ui/qt/QtDesktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

using namespace results_test;

namespace {

class OnScreen : public ResultsTest {
protected:
    void render(bool greek, const QString& fileName)
    {
        file(c, QStringLiteral("Reports/2024/summary.txt"), QByteArray(1234567, 'x'));
        file(d, QStringLiteral("Reports/2024/summary.txt"), QByteArray(900, 'x'));
        g().LanguageIsGreek = greek;
        g().ShowExtendedInformation = true;
        ui::qt::QtDesktop qt;
        qt.install();
        qt.setQuitOnEnd(false);
        qt.setDialogHook([&](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w)) QTimer::singleShot(0, box, [box] { box->buttons().first()->click(); });
        });
        results::frmInterpretation& explanation = results::InterpretationWindow();
        QImage shot;
        QTimer poll;   // looks once the explanation is up, then presses OK
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!explanation.isShown()) return;
            poll.stop();
            for (int k = 0; k < 5; ++k) QApplication::processEvents();
            ui::qt::FormWindow* w = qt.window(explanation);
            shot = w->grab().toImage();
            for (ui::Control* ctl : explanation.controls()) {
                QWidget* cw = w->widgetFor(ctl);
                const bool inside = !cw || !cw->isVisible() || w->rect().contains(QRect(cw->mapTo(w, QPoint(0, 0)), cw->size()));
                EXPECT_TRUE(inside) << ctl->name().toStdString();
            }
            ui::Input::click(*explanation.cmdOK);
        });
        QTimer::singleShot(0, [&] {
            ui::Input::click(*win.cmdCompare);
            poll.start(20);
            ui::Input::gridMouseUp(*win.grdResults, rowOf(QStringLiteral("summary.txt")), 1);
            ui::Input::click(*win.cmdCancel);
        });
        win.show(ui::Modal);
        desk.install();
        ASSERT_FALSE(shot.isNull());
        const QString out = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../") + fileName);
        EXPECT_TRUE(shot.save(out)) << out.toStdString();
    }
};

TEST_F(OnScreen, English) { render(false, QStringLiteral("frmInterpretation-en.png")); }
TEST_F(OnScreen, Greek) { render(true, QStringLiteral("frmInterpretation-gr.png")); }

} // namespace
