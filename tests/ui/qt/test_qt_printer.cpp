#include "ui/qt/QtPrinter.h"

#include "platform/AppError.h"
#include "platform/Drives.h"
#include "support/TempDrive.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

using ui::qt::QtPrinter;

namespace {
// The error the disk gives every positioned write while it is not 0.
int failingDisk = 0;
} // namespace

// Every positioned write of this test program comes here, so that a test
// can have the disk fail as a worn or full one does.
extern "C" ssize_t pwrite(int fd, const void* buf, size_t count, off_t offset)
{
    if (failingDisk != 0) {
        errno = failingDisk;
        return -1;
    }
    return ::syscall(SYS_pwrite64, fd, buf, count, offset);
}

// Without a system printer the printer is a PDF file: pages and Greek text
// read back whole, and a PDF that cannot be written whole keeps the one before.
TEST(QtPrinter, WritesAPdfWithoutASystemPrinterAndAFailedOneKeepsThePreviousOne)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "a system printer is installed; the PDF stand-in is not used";
    QTemporaryDir dir;
    const QString pdf = dir.path() + "/PRN_Comparison_Results.pdf";
    QtPrinter p(pdf);
    EXPECT_TRUE(p.printsToPdf());
    EXPECT_TRUE(p.deviceName().startsWith("PDF file "));
    EXPECT_TRUE(p.deviceName().endsWith("PRN_Comparison_Results.pdf"));
    p.setOrientation(platform::orientLandscape);
    p.setFontName("Courier New Greek");
    p.setFontSize(8);
    EXPECT_EQ(p.printLine("Quillmarsh   first page   |col|"), platform::errNone);
    EXPECT_EQ(p.newPage(), platform::errNone);
    EXPECT_EQ(p.printLine(QString::fromUtf8("Δεύτερη σελίδα   second page")), platform::errNone);
    EXPECT_EQ(p.endDoc(), platform::errNone);
    if (const QString pdftotext = QStandardPaths::findExecutable("pdftotext"); !pdftotext.isEmpty()) {
        QProcess run;
        run.start(pdftotext, {"-layout", pdf, "-"});
        ASSERT_TRUE(run.waitForFinished(20000));
        const QString text = QString::fromUtf8(run.readAllStandardOutput());
        EXPECT_TRUE(text.contains("Quillmarsh   first page   |col|")) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8("Δεύτερη σελίδα"))) << text.toStdString();
        EXPECT_EQ(text.count('\f'), 2);   // one page break after each page
    }

    const auto print = [&p](int lines) {
        int rc = 0;
        for (int i = 0; i < lines && rc == 0; ++i)
            rc = i % 50 == 49 ? p.newPage() : p.printLine(QString("line %1 ").arg(i).repeated(8));
        return rc ? rc : p.endDoc();
    };
    ASSERT_EQ(print(10), platform::errNone);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    // A full disk, as far as this process can tell: writes past 2 KB fail.
    struct rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 2048;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const int rc = print(400);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(rc, platform::errNone);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"PRN_Comparison_Results.pdf"});
    EXPECT_EQ(print(3), platform::errNone) << "the next print works again";
}

// The PDF stand-in is named by its path as the program names paths (its
// drive's letter), and by the path it has where no drive holds it.
TEST(QtPrinter, ThePdfStandInIsNamedByItsPathOnItsDrive)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "a system printer is installed; the PDF stand-in is not used";
    testing_support::TempDrive drive;
    EXPECT_EQ(QtPrinter(drive.native("Results.pdf")).deviceName(), "PDF file C:\\Results.pdf");
    const QString nowhere = QStringLiteral("/nonexistent-%1/Results.pdf").arg(::getpid());
    if (platform::toLogical(nowhere).isEmpty()) {
        EXPECT_EQ(QtPrinter(nowhere).deviceName(), "PDF file " + nowhere);
    }
}

// The PDF stand-in heads the list of printers. The setup dialog (never in
// the middle of a document) changes nothing when cancelled, and accepted
// with a file, prints to that file from then on.
TEST(QtPrinter, ThePdfStandInHeadsThePrintersAndTheSetupDialogChoosesAnother)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "a system printer is installed; the PDF stand-in is not used";
    // (A window of an earlier test still waiting for its deletion, hidden,
    // may be the active one: the dialog over it would go with it.)
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    testing_support::TempDrive drive;
    QtPrinter p(drive.native("First.pdf"));
    EXPECT_EQ(p.printers(), QStringList{"PDF file C:\\First.pdf"});

    int dialogs = 0;
    QString title;
    QString answerFile;   // empty: cancel
    const auto answer = [&] {
        QTimer::singleShot(0, qApp, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            ++dialogs;
            title = dialog->windowTitle();
            if (answerFile.isEmpty()) {
                dialog->reject();
                return;
            }
            for (QLineEdit* e : dialog->findChildren<QLineEdit*>())
                if (e->objectName() == "filename") e->setText(answerFile);
            dialog->accept();
        });
    };
    ASSERT_EQ(p.printLine("a line"), platform::errNone);
    answer();
    EXPECT_FALSE(p.setupDialog()) << "in the middle of a document";
    QApplication::processEvents();
    EXPECT_EQ(dialogs, 0);
    ASSERT_EQ(p.endDoc(), platform::errNone);
    answer();
    EXPECT_FALSE(p.setupDialog());
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(title, "Printer setup");
    EXPECT_EQ(p.deviceName(), "PDF file C:\\First.pdf");
    answerFile = drive.native("Second.pdf");
    answer();
    EXPECT_TRUE(p.setupDialog());
    EXPECT_EQ(dialogs, 2);
    EXPECT_TRUE(p.printsToPdf());
    EXPECT_EQ(p.deviceName(), "PDF file C:\\Second.pdf");
    ASSERT_EQ(p.printLine("to the second"), platform::errNone);
    ASSERT_EQ(p.endDoc(), platform::errNone);
    EXPECT_TRUE(QFile::exists(drive.native("Second.pdf")));
}

// Lines beyond the foot of a sheet go on the next sheet, none lost.
TEST(QtPrinter, LinesBeyondTheFootOfASheetGoOnTheNextSheet)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "a system printer is installed; the PDF stand-in is not used";
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext is needed to read the sheets back";
    QTemporaryDir dir;
    const QString pdf = dir.path() + "/PRN_Comparison_Results.pdf";
    QtPrinter p(pdf);
    p.setOrientation(platform::orientLandscape);
    p.setFontName("Courier New");
    p.setFontSize(10);
    const int lines = p.linesPerSheet("Courier New", 10) + 5;
    ASSERT_GT(lines, 10);
    for (int i = 1; i <= lines; ++i) ASSERT_EQ(p.printLine(QString("line %1 end").arg(i)), platform::errNone);
    ASSERT_EQ(p.endDoc(), platform::errNone);
    QProcess run;
    run.start(pdftotext, {"-layout", pdf, "-"});
    ASSERT_TRUE(run.waitForFinished(20000));
    const QString text = QString::fromUtf8(run.readAllStandardOutput());
    const QStringList sheets = text.split('\f', Qt::SkipEmptyParts);
    ASSERT_EQ(sheets.size(), 2) << text.toStdString();
    EXPECT_TRUE(sheets[0].contains(QString("line %1 end").arg(lines - 5)));
    EXPECT_TRUE(sheets[1].contains(QString("line %1 end").arg(lines)));
    for (int i = 1; i <= lines; ++i) EXPECT_EQ(text.count(QString("line %1 end").arg(i)), 1) << i;
}

// A PDF cut short (or never begun) is put down to a full disk only when the
// disk refuses more for want of room (a size limit, no space); a disk that
// fails otherwise is the printer's failure.
TEST(QtPrinter, AFullDiskIsToldFromADiskThatFailsOtherwise)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "a system printer is installed; the PDF stand-in is not used";
    QTemporaryDir dir;
    QtPrinter p(dir.path() + "/PRN_Comparison_Results.pdf");
    const auto printPastTheLimit = [&p](int diskError, rlim_t limit = 2048) {
        struct rlimit saved {};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &small);
        failingDisk = diskError;
        int rc = 0;
        for (int i = 0; i < 200 && rc == 0; ++i) rc = p.printLine(QString("line %1 ").arg(i).repeated(8));
        if (rc == 0) rc = p.endDoc();
        failingDisk = 0;
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        return rc;
    };
    EXPECT_EQ(printPastTheLimit(0), platform::errDiskFull);
    EXPECT_EQ(printPastTheLimit(ENOSPC), platform::errDiskFull);
    EXPECT_EQ(printPastTheLimit(EIO), platform::errPrinter);
    EXPECT_EQ(printPastTheLimit(0, 0), platform::errDiskFull) << "not a byte written";
    EXPECT_EQ(printPastTheLimit(EIO, 0), platform::errPrinter);
    EXPECT_EQ(p.printLine("after"), platform::errNone);
    EXPECT_EQ(p.endDoc(), platform::errNone);
}

// What fits a landscape sheet shrinks as the font grows, down to the smallest
// sizes; a size of nothing or less is the printer's 10 points.
TEST(QtPrinter, ASheetHoldsFewerLinesAndCharactersTheLargerTheFont)
{
    QTemporaryDir dir;
    QtPrinter p(dir.path() + "/PRN_Comparison_Results.pdf");
    for (const QString font : {"Courier New", "Courier New Greek", "Arial"}) {
        int lines = 1 << 30, columns = 1 << 30;
        for (double points : {1.0, 2.0, 4.0, 8.0, 16.0, 32.0}) {
            const int l = p.linesPerSheet(font, points), c = p.charactersPerLine(font, points);
            EXPECT_LT(l, lines) << font.toStdString() << ' ' << points;
            EXPECT_LT(c, columns) << font.toStdString() << ' ' << points;
            EXPECT_GT(l, 0);
            EXPECT_GT(c, 0);
            lines = l, columns = c;
        }
        for (double none : {0.0, -3.0}) {
            EXPECT_EQ(p.linesPerSheet(font, none), p.linesPerSheet(font, 10)) << none;
            EXPECT_EQ(p.charactersPerLine(font, none), p.charactersPerLine(font, 10)) << none;
        }
    }
}

// A line is as wide as the printer sets it: each character of the font's own
// width one column, an ideograph or a full-width letter (from a fallback
// font) wider, a combining mark nothing; whatever the font and the size.
TEST(QtPrinter, ALineIsAsWideAsItsCharactersAreSet)
{
    QTemporaryDir dir;
    QtPrinter p(dir.path() + "/PRN_Comparison_Results.pdf");
    const bool eastAsian = !QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty();
    for (const QString font : {"Courier New", "Courier New Greek"}) {
        for (double points : {8.0, 12.0}) {
            SCOPED_TRACE(font.toStdString() + " " + std::to_string(points));
            const QString plain = QString::fromUtf8("  C:\\Αρχεία\\notes.txt 13:05:09 ......1234|N|---------- ");
            EXPECT_EQ(p.lineWidth(font, points, plain), plain.size());
            const int columns = p.charactersPerLine(font, points);
            EXPECT_EQ(p.lineWidth(font, points, QString(columns, u'-')), columns);
            EXPECT_EQ(p.lineWidth(font, points, QString::fromUtf8("cafe\u0301 au lait")), 12);
            if (!eastAsian)
                continue;
            for (QChar wide : {QChar(0x6F22), QChar(0xFF21)}) {
                const int width = p.lineWidth(font, points, QString(40, wide) + QStringLiteral(" |N|"));
                EXPECT_GE(width, 4 + 40 * 3 / 2) << int(wide.unicode());
                EXPECT_LE(width, 4 + 40 * 2) << int(wide.unicode());
            }
        }
    }
}
