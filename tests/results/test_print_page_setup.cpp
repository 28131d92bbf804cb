// The page setup window: what it shows, and what OK, Apply and Cancel leave
// in force and in the INI file.
#include "print_fixture.h"
#include "results/frmPageSetup.h"
#include "shared/basPageSetup.h"

using namespace results;

namespace {

// The print tests' state: the same page setup in force and drive C:.
class PageSetup : public PrintTest {
protected:
    void open(const std::function<void(frmPageSetup&)>& script)
    {
        desk.onModal(QStringLiteral("frmPageSetup"), [script](ui::Form& f) { script(static_cast<frmPageSetup&>(f)); });
        ShowPageSetupWindow();
        EXPECT_FALSE(PageSetupWindow().isLoaded());
    }
    QString ini() { return QString::fromUtf8(testing_support::fileBytes(drive.native(QStringLiteral("Quillmarsh.ini")), {})); }
};

TEST_F(PageSetup, OpensWithTheValuesInForceOkKeepsChangesUnsavedAndApplySaves)
{
    open([](frmPageSetup& f) {
        EXPECT_TRUE(f.chkCourierNew->value());
        EXPECT_EQ(QStringList({f.lblFontSize->caption(), f.lblTopMargin->caption(), f.lblLeftMargin->caption(),
                               f.lblLinesPerPage->caption()}),
                  QStringList({"8", "0", "0", "30"}));
        for (int k = 0; k < 60; ++k) ui::Input::upDown(*f.updLinesPerPage, +1);
        ui::Input::click(*f.cmdCancel);
    });
    EXPECT_EQ(g().PageSetupLinesPerPage, 30) << "Cancel takes nothing over";
    open([](frmPageSetup& f) {
        for (int k = 0; k < 60; ++k) ui::Input::upDown(*f.updLinesPerPage, +1);   // stops at 80
        ui::Input::upDown(*f.updLeftMargin, +1);
        ui::Input::key(f, 13);   // Enter presses OK
    });
    EXPECT_EQ(g().PageSetupLinesPerPage, 80);
    EXPECT_EQ(g().PageSetupLeftMargin, 1);
    EXPECT_TRUE(ini().isEmpty());

    // Apply saves and disables Cancel until the next change.
    g().PageSetupLinesPerPage = 30, g().PageSetupLeftMargin = 0;
    open([&](frmPageSetup& f) {
        ui::Input::upDown(*f.updFontSize, +1);
        ui::Input::click(*f.chkCourierNewGreek);
        ui::Input::click(*f.cmdApply);
        EXPECT_FALSE(f.cmdCancel->enabled());
        ui::Input::upDown(*f.updTopMargin, +1);
        EXPECT_TRUE(f.cmdCancel->enabled());
        ui::Input::click(*f.cmdCancel);
    });
    EXPECT_EQ(g().PageSetupTopMargin, 0) << "the change after Apply is lost";
    EXPECT_EQ(g().PageSetupFontSize, 9);
    EXPECT_TRUE(ini().contains("[PageSetup]\r\nFontName=Courier New Greek\r\nFontSize=9\r\nTopMargin=0\r\nLeftMargin=0\r\n"
                               "LinesPerPage=30\r\n"))
        << ini().toStdString();
}

} // namespace
