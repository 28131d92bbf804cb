#include "maintenance/Maintenance.h"

#include "maintenance/frmCheckForUpdates.h"
#include "maintenance/frmSettingsExport.h"
#include "maintenance/frmSettingsImport.h"

namespace maintenance {

namespace {
std::function<void()>& exitHook()
{
    static std::function<void()> hook;
    return hook;
}
} // namespace

void SetProgramExitHook(std::function<void()> hook) { exitHook() = std::move(hook); }

QString ShowAbout()
{
    frmAbout about;
    about.show(ui::Modal);
    return about.handOverTag;
}

void ShowCheckForUpdates()
{
    frmCheckForUpdates check;
    check.show(ui::Modal);
}

void ShowSettingsExport(const std::array<ui::Color, 2>& tints)
{
    frmSettingsExport window;
    window.tints = tints;
    window.show(ui::Modal);
}

bool ShowSettingsImport(const std::array<ui::Color, 2>& tints)
{
    frmSettingsImport window;
    window.tints = tints;
    window.exitHook = exitHook();
    window.show(ui::Modal);
    return window.iniImported;
}

} // namespace maintenance
