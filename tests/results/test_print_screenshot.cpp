// The print and page setup windows on the Qt desktop: every control inside
// its window; the pictures land in the build folder for a look.
#include "print_fixture.h"

#include "results/frmPageSetup.h"
#include "ui/qt/FormWindow.h"
#include "ui/qt/QtDesktop.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTimer>

namespace {

void shoot(ui::qt::QtDesktop& desk, ui::Form& form, const std::function<void()>& open, const QString& file)
{
    QImage shot;
    QTimer::singleShot(0, [&] {
        for (int k = 0; k < 5; ++k) QApplication::processEvents();
        if (ui::qt::FormWindow* w = desk.window(form)) {
            shot = w->grab().toImage();
            for (ui::Control* c : form.controls()) {
                QWidget* cw = w->widgetFor(c);
                if (!cw || !cw->isVisible()) continue;
                EXPECT_TRUE(QRect(QPoint(0, 0), w->size()).contains(QRect(cw->mapTo(w, QPoint(0, 0)), cw->size())))
                    << c->name().toStdString();
            }
        }
        form.unload();
    });
    open();
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("../" + file)));
}

TEST(PrintWindowsOnScreen, PrintAndPageSetup)
{
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "test_results";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        GTEST_SKIP() << "windows need a widget application object";
    basGlobal::resetGlobals();
    ui::qt::QtDesktop desk;
    desk.install();
    desk.setQuitOnEnd(false);
    platform::RecordingPrinter printer;
    printer.device = QStringLiteral("PDF file C:\\home\\user\\Quillmarsh\\PRN_Comparison_Results.pdf");
    platform::ServiceOverride<platform::Printer> use(platform::setPrinter, &printer);
    basGlobal::Globals& g = basGlobal::globals();
    g.PageSetupFontName = QStringLiteral("Courier New");
    g.PageSetupFontSize = 8;
    g.PageSetupLinesPerPage = 30;
    g.TotalLinesToPrint = 100;
    results::installPrinting();
    compare::frmCompare results;
    results.load();
    shoot(desk, results::PrintWindow(), [&] { basGlobal::windowHooks().showPrint(results); }, "frmPrint-en.png");
    g.LanguageIsGreek = true;
    shoot(desk, results::PageSetupWindow(), [] { results::ShowPageSetupWindow(); }, "frmPageSetup-gr.png");
    results.unload();
    basGlobal::windowHooks() = {};
    ui::setDesktop(nullptr);
}

} // namespace
