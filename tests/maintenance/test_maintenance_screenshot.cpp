// The four maintenance windows on the Qt desktop, in English and in Greek,
// the update check after a newer version; the pictures land in the build
// folder for a look.
#include "support/LoopbackServer.h"
#include "maintenance_fixture.h"

#include "maintenance/VersionInformation.h"
#include "maintenance/frmAbout.h"
#include "maintenance/frmCheckForUpdates.h"
#include "maintenance/frmSettingsExport.h"
#include "maintenance/frmSettingsImport.h"
#include "ui/Input.h"
#include "support/OnScreen.h"

#include <QLabel>

using namespace maintenance;

namespace {

void shoot(ui::qt::QtDesktop& desk, ui::Form& form, const QString& name)
{
    form.show();
    testing_support::saveShot(testing_support::grabForm(desk, form), name + ".png");
    form.unload();
}

TEST_F(MaintenanceTest, Screenshots)
{
    LoopbackServer server;
    const UpdateCheckSettings saved = updateCheckSettings();
    updateCheckSettings().addressTemplate = server.base + "/|VersionInfo.aui";
    for (const bool greek : {false, true}) {
        testing_support::QtDesk qt(greek);
        basGlobal::globals().LanguageIsGreek = greek;
        drive.file("App/Quillmarsh.ini", "[ExportSettings]\r\nIni=True\r\nFolder=C:\\Backup\\Settings\r\n"
                                         "[ImportSettings]\r\nPrimary=True\r\nFolder=C:\\Backup\\Settings\r\n");
        for (const char* n : {"App/PrimarySavedPaths.txt", "Backup/Settings/PrimarySavedPaths.txt",
                              "Backup/Settings/Quillmarsh.ini"})
            drive.file(n);
        const QString lang = greek ? "gr" : "en";
        frmAbout about;
        shoot(qt, about, "maintenance-about-" + lang);
        frmSettingsExport exportWindow;
        frmSettingsImport importWindow;
        exportWindow.tints = importWindow.tints = {0xC0E0FF, 0xFFFFC0};
        shoot(qt, exportWindow, "maintenance-export-" + lang);
        shoot(qt, importWindow, "maintenance-import-" + lang);
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
        shoot(qt, check, "maintenance-update-" + lang);
    }
    updateCheckSettings() = saved;
    desk.install();
}

} // namespace
