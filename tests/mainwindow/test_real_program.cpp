// The real program, built as build/bin/Quillmarsh, copied with its help files
// into a temporary application folder and started on a virtual X display.
// The main road with real keys and clicks: Compare in the main window, the
// folder inclusion window, Compare in the results window, and the finished
// grid printed to a text file, which the test reads; and a print to the PDF
// printer under a file-size limit.
#include "platform/Drives.h"
#include "support/TempDrive.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <climits>
#include <csignal>

#include <sys/resource.h>

#include <gtest/gtest.h>

namespace {

QString buildBin() { return QCoreApplication::applicationDirPath(); }

// Polls `ready` every 100 ms for up to `ms`.
template <class Ready>
bool waitFor(int ms, Ready ready)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        if (ready())
            return true;
        QThread::msleep(100);
    }
    return ready();
}

void writeFile(const QString& path, const QByteArray& content, const QDateTime& time)
{
    testing_support::writeFile(path, content);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append) && f.setFileTime(time, QFileDevice::FileModificationTime)) << path.toStdString();
}

class RealProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (xvfb.isEmpty() || xdotool.isEmpty())
            GTEST_SKIP() << "Xvfb and xdotool are needed (make test installs them)";
        for (const char* f : {"Quillmarsh", "QuillmarshUK.hlp", "QuillmarshGR.hlp"})
            ASSERT_TRUE(QFile::copy(buildBin() + u'/' + QLatin1String(f), appDir.path() + u'/' + QLatin1String(f))) << f;
        QFile(appDir.path() + QStringLiteral("/Quillmarsh"))
            .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        // The server takes a free display itself and names it once it
        // accepts clients. No reset when a client (a tool) leaves: a reset
        // refuses whoever connects meanwhile.
        server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                            QStringLiteral("-noreset")});
        while (!server.canReadLine() && server.waitForReadyRead(20000)) {
        }
        ASSERT_TRUE(server.canReadLine()) << "no virtual display: " << server.readAllStandardError().toStdString();
        env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), u':' + QString::fromLatin1(server.readLine().trimmed()));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir.path());
    }
    void TearDown() override
    {
        // Asked to end, the server takes its display's lock file with it.
        for (QProcess* p : {&program, &server}) {
            p->terminate();
            if (!p->waitForFinished(5000))
                p->kill();
        }
    }

    // A tool run on the display: its output, or "" when it failed or hung
    // for 15 s.
    QString run(const QString& tool, const QStringList& args) const
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(tool, args);
        if (!p.waitForFinished(15000)) {
            p.kill();
            p.waitForFinished(2000);
            return QString();
        }
        return p.exitCode() == 0 ? QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed() : QString();
    }
    QString xdo(const QStringList& args) const { return run(xdotool, args); }

    struct XWindow {
        QString id, pattern;
    };
    // The mapped windows whose title matches `pattern` (an extended regular
    // expression) and whose width lies in [minWidth, maxWidth].
    QList<XWindow> shown(const QString& pattern, int minWidth = 0, int maxWidth = INT_MAX) const
    {
        QList<XWindow> out;
        for (const QString& id : xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), pattern})
                                     .split(u'\n', Qt::SkipEmptyParts)) {
            int width = 0;
            for (const QString& kv : xdo({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id}).split(u'\n'))
                if (kv.startsWith(QStringLiteral("WIDTH=")))
                    width = kv.mid(6).toInt();
            if (width >= minWidth && width <= maxWidth)
                out << XWindow{id, pattern};
        }
        return out;
    }
    bool stillShown(const XWindow& w) const
    {
        return std::ranges::any_of(shown(w.pattern), [&](const XWindow& s) { return s.id == w.id; });
    }
    // Real key presses into the window (no window manager: the test gives it
    // the focus itself).
    void keys(const XWindow& w, const QStringList& keyNames) const
    {
        xdo({QStringLiteral("windowfocus"), w.id});
        waitFor(2000, [&] { return xdo({QStringLiteral("getwindowfocus")}) == w.id; });
        xdo(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("50")} + keyNames);
    }
    // Input that a window just mapped may miss on a busy machine is given
    // again, three times at most and only while its window is still there.
    // Every input used this way does nothing a second time: the window it
    // opens is modal, and the results window compares once.
    template <class Act, class Done>
    bool actUntil(const XWindow& w, Act act, Done done, int patienceMs = 5000) const
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (attempt > 0 && !stillShown(w))
                return waitFor(5000, done);
            act();
            if (waitFor(attempt < 2 ? patienceMs : 30000, done))
                return true;
        }
        return false;
    }

    // Two trees with first-level folders on both sides (so the inclusion
    // window opens): one common folder, one of each side's own, a file that
    // differs in size and files that are equal. The program starts on them,
    // printing to `printDestination` (0 the printer, 1 a text file); with
    // `fileSizeLimit`, it may write no file past that size.
    void startOnTwoTrees(int printDestination, rlim_t fileSizeLimit = 0)
    {
        const QString p = trees.path() + QStringLiteral("/P"), s = trees.path() + QStringLiteral("/S");
        const QDateTime time(QDate(2024, 3, 1), QTime(12, 0));
        const std::pair<const char*, const char*> files[] = {
            {"P/top.txt", "top"},  {"S/top.txt", "top"}, {"P/Alpha/same.txt", "same"}, {"S/Alpha/same.txt", "same"}, {"P/Alpha/a.txt", "one"},
            {"S/Alpha/a.txt", "two!"}, {"P/Beta/b.txt", "b"}, {"P/Beta/b2.txt", "b2"}, {"S/Gamma/g.txt", "g"}};
        for (const auto& [name, content] : files)
            writeFile(trees.path() + u'/' + QLatin1String(name), content, time);
        if (HasFatalFailure())
            return;
        const platform::DriveTable table = platform::DriveTable::system();
        logicalP = table.toLogical(p);
        logicalS = table.toLogical(s);
        testing_support::writeFile(appDir.path() + QStringLiteral("/Quillmarsh.ini"),
                                   ("[General]\r\nLanguage=False\r\nPrimaryInitialPath=" + logicalP + "\r\nSecondaryInitialPath="
                                    + logicalS
                                    + "\r\nDisplayOptions=False\r\nNumberOfLevels=0\r\nRemindMeToPrint=False\r\n"
                                      "CompareOnlyTheCommonFiles=False\r\nPrintDestination="
                                    + QString::number(printDestination) + "\r\n")
                                       .toUtf8());
        QProcessEnvironment programEnv = env;
        // No system printer: the printer is the PDF file in the application folder.
        programEnv.insert(QStringLiteral("CUPS_SERVER"), runtimeDir.path() + QStringLiteral("/no-cups"));
        program.setProcessEnvironment(programEnv);
        program.setWorkingDirectory(runtimeDir.path());
        if (fileSizeLimit) {
            // As `ulimit -f` sets it, with the signal's own effect: the
            // program must not inherit a choice to ignore it.
            program.setChildProcessModifier([fileSizeLimit] {
                ::signal(SIGXFSZ, SIG_DFL);
                const struct rlimit limit {fileSizeLimit, fileSizeLimit};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            });
        }
        program.start(appDir.path() + QStringLiteral("/Quillmarsh"), {});
        ASSERT_TRUE(program.waitForStarted(5000));
    }
    // Whether the program still runs, and what it said (waiting on the
    // process is what reads its output).
    std::string output()
    {
        const bool ended = program.waitForFinished(200);
        const std::string end = program.exitStatus() == QProcess::CrashExit ? "ended by signal " : "ended with ";
        return (ended ? end + std::to_string(program.exitCode()) + "; " : std::string("running; "))
            + program.readAllStandardError().toStdString();
    }
    // Compare in the main window, then in the results window, which is left
    // with the finished grid.
    void compareToResults(XWindow& results);
    // Then Ctrl+P, which opens the print window over the results.
    void compareToPrintWindow(XWindow& results, XWindow& print);

    QTemporaryDir appDir, runtimeDir, trees;
    QString xdotool, logicalP, logicalS;
    QProcessEnvironment env;
    QProcess server, program;
};

const QString resultsTitle = QStringLiteral("^Comparison results$");

void RealProgram::compareToResults(XWindow& results)
{
    const QString mainTitle = QStringLiteral("^Tarnwick$");
    ASSERT_TRUE(waitFor(20000, [&] { return !shown(mainTitle, 600).isEmpty(); })) << "no main window; program " << output();
    const XWindow main = shown(mainTitle, 600).first();

    // Enter presses the main window's default button, Compare.
    const QString inclusionTitle = QStringLiteral("^Folder inclusion/exclusion$");
    ASSERT_TRUE(actUntil(main, [&] { keys(main, {QStringLiteral("Return")}); }, [&] { return !shown(inclusionTitle).isEmpty(); }))
        << "Compare opened no folder inclusion window; program " << output();
    const XWindow inclusion = shown(inclusionTitle).first();
    // Escape presses No: every first-level folder is compared.
    ASSERT_TRUE(actUntil(inclusion, [&] { keys(inclusion, {QStringLiteral("Escape")}); }, [&] { return !shown(resultsTitle, 600).isEmpty(); }))
        << "no results window after the inclusion window; program " << output();
    results = shown(resultsTitle, 600).first();
    // Enter presses Compare, which has the focus; the comparison ends with
    // its message box (the same caption, a small window). The first Enter
    // is given time: a second one must not reach the window while it runs.
    ASSERT_TRUE(actUntil(results, [&] { keys(results, {QStringLiteral("Return")}); },
                         [&] { return !shown(resultsTitle, 0, 599).isEmpty() || !stillShown(results); }, 30000))
        << "the comparison did not end with its message; program " << output();
    ASSERT_TRUE(stillShown(results)) << "Enter closed the results window instead of comparing";
    const XWindow box = shown(resultsTitle, 0, 599).first();
    ASSERT_TRUE(actUntil(box, [&] { keys(box, {QStringLiteral("Return")}); }, [&] { return !stillShown(box); }))
        << "Enter did not answer the message box";
}

void RealProgram::compareToPrintWindow(XWindow& results, XWindow& print)
{
    compareToResults(results);
    if (HasFatalFailure())
        return;
    const QString printTitle = QStringLiteral("^Print - Number of pages: 1\\.$");
    ASSERT_TRUE(actUntil(results, [&] { keys(results, {QStringLiteral("ctrl+p")}); }, [&] { return !shown(printTitle).isEmpty(); }))
        << "Ctrl+P opened no print window of one page; program " << output();
    print = shown(printTitle).first();
}

TEST_F(RealProgram, ComparesTwoTreesFromTheMainWindowAndPrintsTheFinishedGrid)
{
    startOnTwoTrees(1);
    XWindow results, print;
    if (!HasFatalFailure())
        compareToPrintWindow(results, print);
    if (HasFatalFailure())
        return;

    // The print window is set to a plain text file; Enter presses its
    // Print; the file dialog takes the name.
    const QString dialogTitle = QStringLiteral("^Define the file for the 'Print to file' process$");
    ASSERT_TRUE(actUntil(print, [&] { keys(print, {QStringLiteral("Return")}); }, [&] { return !shown(dialogTitle).isEmpty(); }))
        << "Print opened no file dialog; program " << output();
    const XWindow dialog = shown(dialogTitle).first();
    const QString printed = trees.path() + QStringLiteral("/printed.txt");
    keys(dialog, {QStringLiteral("ctrl+a")});
    xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), printed});
    xdo({QStringLiteral("key"), QStringLiteral("Return")});
    ASSERT_TRUE(waitFor(30000, [&] { return QFile::exists(printed) && !stillShown(print); }))
        << "no printed file; program " << output();

    // The printed grid: the paths, both totals, then a line per row with the
    // primary's name first and the secondary's last.
    const QStringList lines = QString::fromUtf8(testing_support::fileBytes(printed)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const std::string all = lines.join(u'\n').toStdString();
    ASSERT_GE(lines.size(), 4) << all;
    // Each path in its 75 columns: whole, or, when longer (a long TMPDIR),
    // its start, "..." and its last folder.
    const auto printedAs = [](const QString& column, const QString& path) {
        if (path.size() <= 75)
            return column == path;
        const QString last = QStringLiteral("...") + path.mid(path.lastIndexOf(u'\\'));
        return column.size() == 75 && column.endsWith(last) && path.startsWith(column.chopped(last.size()));
    };
    EXPECT_TRUE(printedAs(lines[0].left(75).trimmed(), logicalP)) << all;
    EXPECT_TRUE(printedAs(lines[0].right(75).trimmed(), logicalS)) << all;
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("Folders: 2. Files: 5."))) << all;
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("Folders: 2. Files: 4."))) << all;
    QStringList rows;
    for (qsizetype k = 4; k < lines.size(); ++k) {
        EXPECT_LE(lines[k].size(), 151) << lines[k].toStdString();
        const QStringList cells = lines[k].split(QStringLiteral("| |"));
        ASSERT_EQ(cells.size(), 2) << lines[k].toStdString();
        rows << cells[0].trimmed().section(u' ', 0, 0) + u'/' + cells[1].trimmed().section(u' ', -1);
    }
    EXPECT_EQ(rows.join(u';'), QStringLiteral("top.txt/top.txt;Alpha\\/Alpha\\;a.txt/a.txt;same.txt/same.txt;"
                                              "Beta\\/;b.txt/;b2.txt/;/Gamma\\;/g.txt"))
        << all;
    // The one difference: a.txt's sizes, 3 and 4 bytes.
    EXPECT_TRUE(lines.size() > 6 && lines[6].contains(QStringLiteral(".........3| |.........4"))) << all;
}

// Under a file-size limit the PDF outgrows it: the program says so ("Disk
// full", in the print run's error box) instead of ending, keeps its windows
// and the previous PDF, and leaves no temporary file and no journal.
TEST_F(RealProgram, PrintingToAPdfPastAFileSizeLimitKeepsTheProgramAndThePreviousPdf)
{
    const QString pdf = appDir.path() + QStringLiteral("/PRN_Comparison_Results.pdf");
    testing_support::writeFile(pdf, "the previous PDF");
    const QStringList before = QDir(appDir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    // Room for the settings and the journal, not for a PDF of embedded fonts.
    startOnTwoTrees(0, 8192);
    XWindow results, print;
    if (!HasFatalFailure())
        compareToPrintWindow(results, print);
    if (HasFatalFailure())
        return;

    const QString errorTitle = QStringLiteral("^Tarnwick \\[ PCE1000 \\]$");
    ASSERT_TRUE(actUntil(print, [&] { keys(print, {QStringLiteral("Return")}); }, [&] { return !shown(errorTitle).isEmpty(); }))
        << "printing gave no error box; program " << output();
    // Its No (Tab from Yes) keeps the program.
    const XWindow box = shown(errorTitle).first();
    ASSERT_TRUE(actUntil(box, [&] { keys(box, {QStringLiteral("Tab"), QStringLiteral("Return")}); }, [&] { return !stillShown(box); }))
        << "No did not answer the error box";
    EXPECT_EQ(program.state(), QProcess::Running) << output();
    EXPECT_TRUE(stillShown(results));
    EXPECT_TRUE(stillShown(print));
    EXPECT_EQ(testing_support::fileBytes(pdf), "the previous PDF");
    QStringList left = QDir(appDir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), expected = before;
    expected << QStringLiteral("Quillmarsh.ini");
    left.sort();
    expected.sort();
    EXPECT_EQ(left, expected) << "a temporary file or a journal was left";
}

} // namespace
