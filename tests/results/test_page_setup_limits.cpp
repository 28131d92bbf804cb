// The page setup's limits from both sides: what the window shows for the
// values an INI file gives, a value outside its range giving the default,
// and arrows that stop at either end.
#include "results/frmPageSetup.h"
#include "shared/basPageSetup.h"
#include "shared/shared_fixture.h"
#include "support/TempDrive.h"
#include "ui/Input.h"

using namespace results;

namespace {

class PageSetupLimits : public SharedTest {
protected:
    void SetUp() override
    {
        SharedTest::SetUp();
        g().IniFileName = QStringLiteral("C:\\Quillmarsh.ini");
    }
    // The four values the window shows after a start-up that read `lines`.
    QStringList shownFor(const QByteArray& lines)
    {
        drive.file(QStringLiteral("Quillmarsh.ini"), "[PageSetup]\r\n" + lines);
        EXPECT_EQ(basPageSetup::LoadPageSetup(), 0);
        QStringList shown;
        open([&](frmPageSetup& f) {
            shown = {f.lblFontSize->caption(), f.lblTopMargin->caption(), f.lblLeftMargin->caption(),
                     f.lblLinesPerPage->caption()};
            ui::Input::click(*f.cmdCancel);
        });
        return shown;
    }
    void open(const std::function<void(frmPageSetup&)>& script)
    {
        desk.onModal(QStringLiteral("frmPageSetup"), [script](ui::Form& f) { script(static_cast<frmPageSetup&>(f)); });
        ShowPageSetupWindow();
    }
    testing_support::TempDrive drive;
};

TEST_F(PageSetupLimits, AValueOutsideItsRangeGivesTheDefault)
{
    const std::pair<const char*, QStringList> cases[] = {
        {"", {"8", "0", "0", "30"}},
        {"FontSize=12\r\nTopMargin=20\r\nLeftMargin=30\r\nLinesPerPage=80\r\n", {"12", "20", "30", "80"}},
        {"FontSize=9\r\nTopMargin=1\r\nLeftMargin=1\r\nLinesPerPage=31\r\n", {"9", "1", "1", "31"}},
        {"FontSize=7\r\nTopMargin=-1\r\nLeftMargin=-1\r\nLinesPerPage=29\r\n", {"8", "0", "0", "30"}},
        {"FontSize=13\r\nTopMargin=21\r\nLeftMargin=31\r\nLinesPerPage=81\r\n", {"8", "0", "0", "30"}},
        {"LinesPerPage=0\r\n", {"8", "0", "0", "30"}},
        {"LinesPerPage=-30\r\n", {"8", "0", "0", "30"}},
        {"LinesPerPage=65566\r\n", {"8", "0", "0", "30"}},
        {"LinesPerPage=40.5\r\n", {"8", "0", "0", "30"}},
    };
    for (const auto& [lines, shown] : cases) EXPECT_EQ(shownFor(lines), shown) << lines;
}

TEST_F(PageSetupLimits, TheArrowsStopAtEitherEndOfEachRange)
{
    g().PageSetupFontName = QStringLiteral("Courier New");
    g().PageSetupFontSize = 8, g().PageSetupLinesPerPage = 30;
    open([](frmPageSetup& f) {
        EXPECT_EQ(QStringList({f.lblFontSizeMinMax->caption(), f.lblTopMarginMinMax->caption(),
                               f.lblLeftMarginMinMax->caption(), f.lblLinesPerPageMinMax->caption()}),
                  QStringList({"8 - 12", "0 - 20", "0 - 30", "30 - 80"}));
        for (ui::UpDown* u : {f.updFontSize, f.updTopMargin, f.updLeftMargin, f.updLinesPerPage})
            for (int k = 0; k < 5; ++k) ui::Input::upDown(*u, -1);
        EXPECT_EQ(QStringList({f.lblFontSize->caption(), f.lblTopMargin->caption(), f.lblLeftMargin->caption(),
                               f.lblLinesPerPage->caption()}),
                  QStringList({"8", "0", "0", "30"}));
        for (ui::UpDown* u : {f.updFontSize, f.updTopMargin, f.updLeftMargin, f.updLinesPerPage})
            for (int k = 0; k < 60; ++k) ui::Input::upDown(*u, +1);
        EXPECT_EQ(QStringList({f.lblFontSize->caption(), f.lblTopMargin->caption(), f.lblLeftMargin->caption(),
                               f.lblLinesPerPage->caption()}),
                  QStringList({"12", "20", "30", "80"}));
        ui::Input::click(*f.cmdApply);
        ui::Input::click(*f.cmdOK);
    });
    EXPECT_EQ(drive.bytes(QStringLiteral("Quillmarsh.ini")),
              "[PageSetup]\r\nFontName=Courier New\r\nFontSize=12\r\nTopMargin=20\r\nLeftMargin=30\r\nLinesPerPage=80\r\n");
}

} // namespace
