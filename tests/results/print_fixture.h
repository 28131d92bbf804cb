#pragma once
// Print tests start from a results window with a grid of `n` files (present
// on both sides, Primary newer, equal sizes), drive C: on a temporary folder,
// the default page setup and a recording printer.
#include "results/ResultTools.h"
#include "results/frmCompare.h"
#include "platform/RecordingPrinter.h"
#include "platform/ServiceOverride.h"
#include "results/frmPrint.h"
#include "shared/WindowHooks.h"
#include "shared/frmHiddenForm.h"
#include "shared/shared_fixture.h"
#include "support/TempDrive.h"
#include "ui/FlexGrid.h"
#include "ui/Input.h"

#include <QFile>

class PrintTest : public SharedTest {
protected:
    void SetUp() override
    {
        SharedTest::SetUp();
        g().ApplicationTitle = QStringLiteral("Tarnwick");
        g().IniFileName = QStringLiteral("C:\\Quillmarsh.ini");
        g().PageSetupFontName = QStringLiteral("Courier New");
        g().PageSetupFontSize = 8;
        g().PageSetupLinesPerPage = 30;
        g().CurrentPath = {QStringLiteral("C:\\Left"), QStringLiteral("C:\\Right")};
        results.load();
    }
    void TearDown() override
    {
        basGlobal::windowHooks() = {};
        g().PrintingInProgress = g().ResultsNotPrinted = false;
        results::PrintWindow().unload();
        results.unload();
        SharedTest::TearDown();
    }
    static QString name(int k) { return QStringLiteral("file%1.txt").arg(k); }
    void fill(int n)
    {
        ui::FlexGrid& grid = *results.grdResults;
        grid.setCols(9);
        grid.setRows(n + 1);
        auto& out = basGlobal::HiddenForm().lstOutput;
        for (int i = 0; i < 2; ++i) out[i]->clear();
        for (int k = 1; k <= n; ++k) {
            const QString cells[9] = {"N", name(k), name(k), "1,234", "1,234", "x", "x", "x", "x"};
            for (int c = 0; c < 9; ++c) grid.setTextMatrix(k, c, cells[c]);
            out[0]->addItem(name(k) + QStringLiteral("|False|False|False|True|0000001234|20020824|130509"));
            out[1]->addItem(name(k) + QStringLiteral("|False|False|False|True|0000001234|20020823|130509"));
        }
        for (int i = 0; i < 2; ++i) results.lblTotalFiles[i]->setCaption(QStringLiteral("Files: %1.").arg(n));
        g().TotalLinesToPrint = n;
    }
    // The printed line of row k.
    static QString line(int k)
    {
        return QString(43 - name(k).size(), u' ') + name(k) + QStringLiteral(" 13:05:09 24/08/2002 ......1234|N|---------- 23/08/2002 -------- ") + name(k);
    }
    // Opens the print window over the results window with `script` inside.
    void openPrint(const std::function<void(results::frmPrint&)>& script)
    {
        desk.onModal(QStringLiteral("frmPrint"), [script](ui::Form& f) { script(static_cast<results::frmPrint&>(f)); },
                     ui::HeadlessDesktop::ModalEnd::AutoClose);
        results::ShowPrintWindow(results);
    }
    QStringList fileLines()
    {
        QFile f(drive.native(QStringLiteral("out.txt")));
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
        EXPECT_EQ(lines.takeLast(), QString()) << "every line ends with CR LF";
        return lines;
    }

    testing_support::TempDrive drive;
    platform::RecordingPrinter printer;
    platform::ServiceOverride<platform::Printer> usePrinter{platform::setPrinter, &printer};
    results::frmCompare results;
};
