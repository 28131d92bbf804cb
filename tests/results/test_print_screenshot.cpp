#include "print_fixture.h"
#include "ui/qt/FormWindow.h"
#include "ui/qt/QtDesktop.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

namespace {

class PrintOnScreen : public PrintTest {
protected:
    void render(bool greek, const QString& fileName)
    {
        fill(40);
        g().LanguageIsGreek = greek;
        ui::qt::QtDesktop qt;
        qt.install();
        qt.setQuitOnEnd(false);
        results::frmPrint& pw = results::PrintWindow();
        QImage shot;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!pw.isShown()) return;
            poll.stop();
            pw.cpUpdateProgressBar(2, 5);
            for (int k = 0; k < 5; ++k) QApplication::processEvents();
            ui::qt::FormWindow* w = qt.window(pw);
            shot = w->grab().toImage();
            ui::Input::click(*pw.cmdCancel);
        });
        poll.start(20);
        results::ShowPrintWindow(results);
        desk.install();
        ASSERT_FALSE(shot.isNull());
        const QString out = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../") + fileName);
        EXPECT_TRUE(shot.save(out)) << out.toStdString();
    }
};

TEST_F(PrintOnScreen, English) { render(false, QStringLiteral("frmPrint-en.png")); }
TEST_F(PrintOnScreen, Greek) { render(true, QStringLiteral("frmPrint-gr.png")); }

} // namespace
