// The results window on the Qt desktop after a real comparison, in English
// and in Greek: the grid must show its rows with their tints and green
// folder rows, and every control must lie inside the window. The pictures
// land in the build folder for a look.
#include "compare/compare_fixture.h"
#include "support/OnScreen.h"

using namespace compare_test;

namespace {

void render(bool greek, const QString& fileName)
{
    testing_support::TempDrive c;
    auto write = [&](const QString& rel, int size) { c.file(rel, QByteArray(size, 'x')); };
    for (int k = 0; k < 30; ++k) {
        const QString name = QStringLiteral("Reports/%1/report-%2.txt").arg(2020 + k % 4).arg(k);
        write(QStringLiteral("Primary/") + name, 100 + k);
        if (k % 7 != 3) write(QStringLiteral("Secondary/") + name, 100 + k + (k % 5 == 0 ? 1 : 0));
    }
    write(QStringLiteral("Primary/readme.txt"), 10);
    write(QStringLiteral("Secondary/readme.txt"), 10);
    c.folder(QStringLiteral("Secondary/Empty"));

    basGlobal::resetGlobals();
    testing_support::QtDesk desk(greek);
    basGlobal::Globals& g = basGlobal::globals();
    g.LanguageIsGreek = greek;
    g.ApplicationTitle = QStringLiteral("Tarnwick");
    g.VolumeIsCaseSensitive = true;
    g.IniFileName = QStringLiteral("C:\\Quillmarsh.ini");
    g.FileTypesPattern = QStringLiteral("*.*");
    g.IncludeHiddenFiles = g.IncludeSystemFiles = g.IncludeReadOnlyFiles = g.IncludeArchiveFiles = true;
    g.FailSafeChecks = true;
    g.FirstStructureToProcess = 0;
    g.LastStructureToProcess = 1;
    g.CurrentPath = {QStringLiteral("C:\\Primary"), QStringLiteral("C:\\Secondary")};
    // What the start-up reads from a new INI file.
    g.DateFormatName = QStringLiteral("short");
    g.TimeFormatName = QStringLiteral("long");
    const int widths[9] = {200, 2345, 2345, 1250, 1250, 1000, 1000, 850, 850};
    for (int k = 0; k < 9; ++k) g.GridColumnWidth[std::size_t(k)] = widths[k];

    results::frmCompare win;
    QImage shot;
    int boxes = 0;
    desk.answerBoxesWithFirstButton(&boxes);   // the "differ" notice
    QTimer::singleShot(0, [&] {
        ui::Input::click(*win.cmdCompare);
        shot = testing_support::grabForm(desk, win);
        ui::Input::click(*win.cmdCancel);   // captioned Close after the run
    });
    win.show(ui::Modal);
    EXPECT_EQ(boxes, 1) << "the structures differ";
    EXPECT_FALSE(win.isLoaded());
    ASSERT_FALSE(shot.isNull());
    testing_support::saveShot(shot, fileName);
    // The grid's folder rows are green and the differing cells carry a side's tint.
    bool green = false, tint = false;
    for (int y = 0; y < shot.height(); y += 2)
        for (int x = 0; x < shot.width(); x += 2) {
            const QRgb p = shot.pixel(x, y);
            green = green || p == qRgb(0, 255, 0);
            tint = tint || p == qRgb(0xFF, 0xE0, 0xC0) || p == qRgb(0xC0, 0xFF, 0xFF);
        }
    EXPECT_TRUE(green) << "green folder rows";
    EXPECT_TRUE(tint) << "tinted differing cells";
    ui::setDesktop(nullptr);
}

} // namespace

TEST(ResultsWindowOnScreen, RendersAFinishedComparisonInEnglish)
{
    render(false, QStringLiteral("frmCompare-en.png"));
}

TEST(ResultsWindowOnScreen, RendersAFinishedComparisonInGreek)
{
    render(true, QStringLiteral("frmCompare-gr.png"));
}
