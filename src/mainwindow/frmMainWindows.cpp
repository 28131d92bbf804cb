// The windows of the other subsystems as the main window opens them, and
// the hooks through which those windows reach back to the main window.
#include "mainwindow/frmMain.h"

#include "maintenance/Maintenance.h"
#include "offline/OfflineComparison.h"
#include "platform/AppError.h"
#include "platform/Printer.h"
#include "results/ResultTools.h"
#include "results/frmPageSetup.h"
#include "results/frmPrint.h"
#include "setup/frmFolderIncludeExclude.h"
#include "setup/frmOptions.h"
#include "shared/ErrorTrap.h"
#include "shared/Messages.h"
#include "shared/StructureFile.h"
#include "shared/WindowHooks.h"

namespace mainwindow {

using namespace basGlobal;

void frmMain::withHourglass(const std::function<void()>& open)
{
    setMousePointer(ui::vbHourglass);
    try {
        open();
    } catch (...) {
        setMousePointer(ui::vbDefault);
        throw;
    }
    setMousePointer(ui::vbDefault);
    BringFormToFront(*this);
    refresh();
}

void frmMain::installWindowHooks()
{
    WindowHooks& hooks = windowHooks();
    // The print window presses the main window's own buttons.
    hooks.pageSetup = [this] { cmdPageSetup->setValue(true); };
    hooks.printerSetup = [this] { cmdPrintSetup->setValue(true); };
}

void frmMain::openOptionsWindow() { setup::ShowOptionsWindow(); }

void frmMain::openImportWindow()
{
    withHourglass([] { offline::ShowImportStructureWindow(); });
}

void frmMain::openExportWindow()
{
    withHourglass([] { offline::ShowExportStructureWindow(); });
}

void frmMain::runFolderInclusion()
{
    withHourglass([this] { setup::ShowFolderInclusionWindow(*this); });
}

Long frmMain::ExportedFirstLevelFolderCount(const QString& file)
{
    StructureFileHeader header;
    StructureFileProblem problem;
    const Long e = ReadStructureFileHeader(file, header, &problem);
    if (e > 0)
        RaiseError(e);
    if (e < 0)
        RaiseError(platform::errTypeMismatch);
    return Long(header.firstLevelFolders.size());
}

void frmMain::mnuFilePageSetup_Click()
{
    withHourglass([] { results::ShowPageSetupWindow(); });
}

void frmMain::mnuFilePrintSetup_Click()
{
    // A cancelled dialog leaves the printer as it was, and is no error.
    withHourglass([] { platform::printer().setupDialog(); });
}

void frmMain::mnuHelpAbout_Click()
{
    cmdCopyright->setTag(QString());
    QString tag;
    withHourglass([&] { tag = maintenance::ShowAbout(); });
    cmdCopyright->setTag(tag);
    if (cmdCopyright->tag() != maintenance::kCheckForUpdatesTag)
        return;
    cmdCopyright->setTag(QString());
    withHourglass([] { maintenance::ShowCheckForUpdates(); });
}

void frmMain::mnuSettingsExport_Click()
{
    const std::array<ui::Color, 2> tints{lstFirstLevelFiles[0]->backColor(), lstFirstLevelFiles[1]->backColor()};
    withHourglass([&] { maintenance::ShowSettingsExport(tints); });
}

void frmMain::mnuSettingsImport_Click()
{
    const std::array<ui::Color, 2> tints{lstFirstLevelFiles[0]->backColor(), lstFirstLevelFiles[1]->backColor()};
    // An imported INI ends the program inside the call, before anything more
    // is written.
    withHourglass([&] { maintenance::ShowSettingsImport(tints); });
}

} // namespace mainwindow
