// Quillmarsh: the main window is the start-up object. Everything the program
// does begins in its load and ends when it is closed.
#include "mainwindow/frmMain.h"
#include "shared/Messages.h"
#include "ui/Desktop.h"
#include "platform/Printer.h"
#include "ui/qt/QtDesktop.h"
#include "ui/qt/QtPrinter.h"

#include <QApplication>

#include <csignal>

int main(int argc, char** argv)
{
    // Under a file-size limit a write past it would end the program at once,
    // losing the windows and leaving its temporary files behind; ignored, the
    // write fails instead (EFBIG), and the writer reports "Disk full" and
    // puts back what it replaced, as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Quillmarsh"));
    // The program ends when its main window unloads, not when Qt sees no
    // window left (the main window may hide while a modal window is up).
    application.setQuitOnLastWindowClosed(false);

    ui::qt::QtDesktop desk;
    desk.install();
    // The system's printers, or a PDF file in the application folder when
    // there is none.
    ui::qt::QtPrinter printer;
    platform::setPrinter(&printer);
    // Long operations hand over to the screen a few times per tick of the
    // clock, not after every item.
    basGlobal::SetDoEventsInterval(basGlobal::kDoEventsIntervalMs);

    mainwindow::frmMain frmMain;
    frmMain.languageChanged = [&desk](bool greek) { desk.setGreekButtons(greek); };
    ui::qt::QtDesktop::guarded([&] { frmMain.load(); });
    if (ui::programHasEnded() || !frmMain.isLoaded())
        return 0;
    return QApplication::exec();
}
