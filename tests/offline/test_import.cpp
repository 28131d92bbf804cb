// The import window and its check, and the road from an export to an
// off-line comparison: the grid equals the live comparison's cell for cell.
#include "offline/OfflineComparison.h"
#include "offline_fixture.h"

#include <algorithm>

using namespace offline_test;

namespace {

const QString kTitle = QStringLiteral("Off line comparison");

class Import : public OfflineTest {};

TEST_F(Import, AFileBrokenAtALineIsNamedAndNothingIsAccepted)
{
    file(c, QStringLiteral("p.txt"), compare_test::workedExample());
    QByteArray broken = compare_test::workedExample();
    broken.replace("20020824", "2002082");   // line 12
    file(c, QStringLiteral("s.txt"), broken);
    g().ImportedStructureFile = {QStringLiteral("C:\\old.txt"), QString()};
    desk.expectMsgBox(kTitle, QStringLiteral("File 'C:\\s.txt', contains invalid data at line 12."), ui::vbCriticalOK, ui::vbOK);
    importWith(2, {QStringLiteral("C:\\p.txt"), QStringLiteral("C:\\s.txt")});
    EXPECT_FALSE(im.isLoaded());
    EXPECT_EQ(g().ImportedStructureFile[0], QStringLiteral("C:\\p.txt"));
    EXPECT_EQ(g().ImportedStructureFile[1], QString());
    EXPECT_TRUE(g().ImportNotAccepted);

    // Line 1 of every file is read first: the Secondary's is refused before the Primary's contents.
    file(c, QStringLiteral("s.txt"), "0\r\n");
    desk.expectMsgBox(kTitle, QStringLiteral("File 'C:\\s.txt', contains invalid data at line 1."), ui::vbCriticalOK, ui::vbOK);
    file(c, QStringLiteral("p.txt"), broken);
    importWith(2, {QStringLiteral("C:\\p.txt"), QStringLiteral("C:\\s.txt")});
    EXPECT_EQ(g().ImportedStructureFile[0], QString());

    // Totals beyond 32 bits are no error.
    QByteArray big = compare_test::workedExample();
    big.replace(0, 2, "2147483647");
    file(c, QStringLiteral("p.txt"), big);
    file(c, QStringLiteral("s.txt"), big);
    importWith(2, {QStringLiteral("C:\\p.txt"), QStringLiteral("C:\\s.txt")});
    EXPECT_FALSE(g().ImportNotAccepted);
}

// A refused file closes the window with its message: no Cancel is needed.
TEST_F(Import, ARefusedFileClosesTheWindowItself)
{
    file(c, QStringLiteral("p.txt"), "0\r\n");
    file(c, QStringLiteral("s.txt"), compare_test::workedExample());
    desk.expectMsgBox(kTitle, QStringLiteral("File 'C:\\p.txt', contains invalid data at line 1."), ui::vbCriticalOK, ui::vbOK);
    bool closed = false;
    desk.onModal(QStringLiteral("frmImportStructure"), [&](ui::Form&) {
        im.optStructureSelection[2]->setValue(true);
        desk.answerOpen(QStringLiteral("C:\\p.txt"));
        desk.answerOpen(QStringLiteral("C:\\s.txt"));
        ui::Input::click(*im.cmdIntegrityCheck);
        closed = !im.isLoaded();
        if (!closed) ui::Input::click(*im.cmdCancel);
    });
    im.show(ui::Modal);
    EXPECT_TRUE(closed);
    EXPECT_EQ(g().ImportedStructureFile, (basGlobal::Pair<QString>{}));
    EXPECT_FALSE(g().CancelRequested) << "a refusal leaves no cancel behind";
    EXPECT_FALSE(g().StructureImportInProgress);
}

TEST_F(Import, ACancelDuringTheCheckOrTheOrderingAcceptsNothingAndTheEntryPointReportsAcceptance)
{
    file(c, QStringLiteral("p.txt"), compare_test::workedExample());
    int lines = 0;
    cancelWhen([&] { return im.isLoaded() && g().StructureImportInProgress && ++lines == 20; });
    importWith(0, {QStringLiteral("C:\\p.txt")});
    EXPECT_FALSE(im.isLoaded());
    EXPECT_TRUE(g().ImportNotAccepted);
    EXPECT_EQ(g().ImportedStructureFile[0], QString());
    EXPECT_FALSE(g().CancelRequested);
    desk.onModal(QStringLiteral("frmImportStructure"), [&](ui::Form& f) {
        auto& w = static_cast<offline::frmImportStructure&>(f);
        w.optStructureSelection[0]->setValue(true);
        desk.answerOpen(QStringLiteral("C:\\p.txt"));
        ui::Input::click(*w.cmdIntegrityCheck);
    });
    EXPECT_TRUE(offline::ShowImportStructureWindow());
    EXPECT_EQ(g().ImportedStructureFile[0], QStringLiteral("C:\\p.txt"));
    desk.onModal(QStringLiteral("frmImportStructure"), [&](ui::Form& f) {
        ui::Input::click(*static_cast<offline::frmImportStructure&>(f).cmdCancel);
    });
    EXPECT_FALSE(offline::ShowImportStructureWindow());
    EXPECT_EQ(g().ImportedStructureFile[0], QString()) << "opening clears the names";
    offline::ImportStructureWindow().unload();

    // A cancel is heard while a file out of order is put in order.
    QByteArray content = "404\r\nC:\\R\\\r\n0\r\n50\r\n";
    for (int k = 50; k > 0; --k)
        content += "False\r\nFalse\r\nFalse\r\nTrue\r\n1\r\n20240101\r\n120000\r\nC:\\R\\f" + QByteArray::number(k) + "\r\n";
    file(c, QStringLiteral("p.txt"), content);
    int full = 0;   // the first yield with a full bar is the last line's, the next one the ordering's
    cancelWhen([&] { return im.isLoaded() && im.prbProgressBar->value() >= 100 && ++full == 2; });
    importWith(0, {QStringLiteral("C:\\p.txt")});
    EXPECT_EQ(full, 2);
    EXPECT_TRUE(g().ImportNotAccepted);
    EXPECT_EQ(g().ImportedStructureFile[0], QString());
}

// The bar runs once across every line of both files: each line read moves it
// by one line's share, and it is full at the last line, not before.
TEST_F(Import, TheBarMovesALineAtATimeAcrossBothFilesAndFillsAtTheLastLine)
{
    file(c, QStringLiteral("p.txt"), compare_test::workedExample());
    file(c, QStringLiteral("s.txt"), compare_test::workedExample());
    const qint64 total = 2 * 38;   // the count on line 1 of each file
    QList<double> seen;
    desk.onYield([&] { return im.isLoaded() && g().StructureImportInProgress && im.prbProgressBar->visible(); },
                 [&] { seen << im.prbProgressBar->value(); }, true);
    importWith(2, {QStringLiteral("C:\\p.txt"), QStringLiteral("C:\\s.txt")});
    EXPECT_FALSE(g().ImportNotAccepted);
    // The end of each file yields once more with the bar where it stands.
    seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
    ASSERT_EQ(seen.size(), total);
    for (qint64 k = 0; k < total; ++k)
        EXPECT_DOUBLE_EQ(seen[k], double(float(100.0 * double(k + 1) / double(total)))) << k;
}

// Both trees exported, checked and compared off line give the live grid.
TEST_F(Import, TheOffLineGridEqualsTheLiveOne)
{
    const QDateTime when(QDate(2023, 5, 6), QTime(7, 8, 9));
    const char* names[] = {"a b.txt", ".hidden", "α β/γ.txt", "x:y|z.txt", "deep/er/est/f", "\"NULL\"",
                           "Case/A.txt", "case/b.txt", "semi;colon", "tab\tname"};
    int k = 0;
    for (const char* n : names) {
        for (const QTemporaryDir* side : {&c, &d}) {
            if (++k % 4 == 0) continue;   // some on one side only
            const QString rel = QStringLiteral("T/") + QString::fromUtf8(n);
            file(*side, rel, QByteArray(10 + (k % 3), 'x'), when.addSecs(k % 2));
        }
    }
    folder(c, QStringLiteral("T/empty/inner"));
    folder(d, QStringLiteral("T/empty"));
    g().CurrentPath = {QStringLiteral("C:\\T"), QStringLiteral("D:\\T")};

    auto gridAfterCompare = [&] {
        QStringList cells;
        expectDifferMessage();
        compareAndClose([&] {
            for (int r = 0; r < win.grdResults->rows(); ++r)
                for (int col = 0; col < win.grdResults->cols(); ++col)
                    cells << win.grdResults->textMatrix(r, col) + QLatin1Char('|')
                                 + QString::number(win.grdResults->cellBackColorAt(r, col)) + QLatin1Char('|')
                                 + QString::number(win.grdResults->cellForeColorAt(r, col));
        });
        return cells;
    };
    const QStringList live = gridAfterCompare();
    ASSERT_GT(live.size(), 9 * 10);

    desk.expectMsgBox(QStringLiteral("Preparation for off line comparison"),
                      QStringLiteral("The Primary structure has been exported successfully.\r\n\r\n"
                                     "The Secondary structure has been exported successfully."),
                      ui::vbInformationOK, ui::vbOK);
    exportWith(2, {QStringLiteral("C:\\P.txt"), QStringLiteral("D:\\S.txt")});
    importWith(2, {QStringLiteral("C:\\P.txt"), QStringLiteral("D:\\S.txt")});
    ASSERT_FALSE(g().ImportNotAccepted);
    // The comparison reads what the check accepted, not the files again.
    ASSERT_TRUE(QFile::remove(nativeOf(c, QStringLiteral("P.txt"))));
    ASSERT_TRUE(QFile::remove(nativeOf(d, QStringLiteral("S.txt"))));
    g().ComparisonMode = 1;
    g().CurrentPath = {QStringLiteral("C:\\"), QStringLiteral("D:\\")};
    EXPECT_EQ(gridAfterCompare(), live);
}

// A file that cannot be opened is named with the cause, in either language,
// on the first pass: the window closes itself and nothing is accepted, not
// even a good Primary.
TEST_F(Import, AFileThatCannotBeOpenedIsNamedWithItsCause)
{
    file(c, QStringLiteral("p.txt"), compare_test::workedExample());
    folder(c, QStringLiteral("Folder.txt"));
    const struct { const char* file; bool greek; const char* text; } cases[] = {
        {"C:\\gone.txt", false, "The structure file 'C:\\gone.txt' cannot be opened: File not found."},
        {"C:\\No\\s.txt", false, "The structure file 'C:\\No\\s.txt' cannot be opened: Path not found."},
        {"C:\\Folder.txt", false, "The structure file 'C:\\Folder.txt' cannot be opened: Path/File access error."},
        {"C:\\gone.txt", true, "Το αρχείο δομής 'C:\\gone.txt' δεν μπορεί να ανοιχθεί: File not found."},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.text);
        g().LanguageIsGreek = k.greek;
        desk.expectMsgBox(k.greek ? QStringLiteral("Σύγκριση χωρίς σύνδεση") : kTitle, QString::fromUtf8(k.text),
                          ui::vbCriticalOK, ui::vbOK);
        bool closed = false;
        desk.onModal(QStringLiteral("frmImportStructure"), [&](ui::Form&) {
            im.optStructureSelection[2]->setValue(true);
            desk.answerOpen(QStringLiteral("C:\\p.txt"));
            desk.answerOpen(QString::fromUtf8(k.file));
            ui::Input::click(*im.cmdIntegrityCheck);
            closed = !im.isLoaded();
            if (!closed) ui::Input::click(*im.cmdCancel);
        });
        g().ImportNotAccepted = true;
        im.show(ui::Modal);
        EXPECT_TRUE(closed);
        EXPECT_EQ(g().ImportedStructureFile, (basGlobal::Pair<QString>{}));
        EXPECT_TRUE(g().ImportNotAccepted);
        EXPECT_FALSE(g().StructureImportInProgress);
    }
}

} // namespace
