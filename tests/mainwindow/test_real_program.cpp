// The real program, built as build/bin/Quillmarsh, copied with its help files
// into a temporary application folder and started on a virtual X display:
// its main window comes up, a picture of the screen is saved for a look, the
// INI file appears beside the program, and a second copy is refused. Then the
// main road with real keys and clicks: Compare in the main window, the folder
// inclusion window, Compare in the results window, and the finished grid
// printed to a text file, which the test reads.
#include "platform/Drives.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <unistd.h>

#include <climits>
#include <optional>

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

class RealProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        xwininfo = QStandardPaths::findExecutable(QStringLiteral("xwininfo"));
        if (xvfb.isEmpty() || xwininfo.isEmpty())
            GTEST_SKIP() << "Xvfb and xwininfo are needed (make test installs them)";
        ASSERT_TRUE(QFile::exists(buildBin() + QStringLiteral("/Quillmarsh"))) << "the program is not built";
        for (const char* f : {"Quillmarsh", "QuillmarshUK.hlp", "QuillmarshGR.hlp"})
            ASSERT_TRUE(QFile::copy(buildBin() + u'/' + QLatin1String(f), appDir.path() + u'/' + QLatin1String(f))) << f;
        QFile(appDir.path() + QStringLiteral("/Quillmarsh"))
            .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        startDisplay();
    }
    void TearDown() override
    {
        for (QProcess* p : {&second, &program, &server}) {
            // The server is asked to end, so that it takes its display's
            // lock file with it.
            if (p == &server && p->state() != QProcess::NotRunning) {
                p->terminate();
                p->waitForFinished(5000);
            }
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    // The process named in a display's lock file: 0 when there is none,
    // -1 when the file cannot be read.
    static qint64 lockOwner(int n)
    {
        QFile lock(QStringLiteral("/tmp/.X%1-lock").arg(n));
        if (!lock.open(QIODevice::ReadOnly))
            return lock.exists() ? -1 : 0;
        return lock.readAll().trimmed().toLongLong();
    }
    // A display is taken while its lock's process lives; a lock left by a
    // killed server is the new server's to take over.
    static bool displayTaken(int n)
    {
        const qint64 pid = lockOwner(n);
        return pid != 0 && (pid < 0 || ::kill(pid_t(pid), 0) == 0 || errno != ESRCH);
    }

    // Whether the X server of `display` answers a client.
    bool answers(const QString& display) const
    {
        QProcess info;
        info.start(xwininfo, {QStringLiteral("-root"), QStringLiteral("-display"), display});
        if (!info.waitForFinished(5000)) {
            info.kill();
            info.waitForFinished(2000);
            return false;
        }
        return info.exitStatus() == QProcess::NormalExit && info.exitCode() == 0;
    }

    void startDisplay()
    {
        // A display number nobody uses, tried until our own server holds its
        // lock (a server that lost the number to another one ends).
        for (int n = 100 + int(::getpid() % 400), tries = 0; tries < 20; ++n, ++tries) {
            if (displayTaken(n))
                continue;
            server.start(xvfb, {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"), QStringLiteral("0"),
                                QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                // No reset when a client (the readiness probe, a picture) leaves:
                                // a reset refuses whoever connects meanwhile.
                                QStringLiteral("-noreset")});
            auto holds = [&] { return server.state() == QProcess::Running && lockOwner(n) == server.processId(); };
            // (Waiting on the process is what notices that it ended.) A
            // server that took over a stale lock finds the old socket still
            // there: it is ready when a client gets an answer.
            const bool ours = server.waitForStarted(5000) && waitFor(5000, [&] { return server.waitForFinished(10) || holds(); })
                && holds() && waitFor(10000, [&] { return answers(QStringLiteral(":%1").arg(n)); });
            if (ours) {
                display = QStringLiteral(":%1").arg(n);
                return;
            }
            server.kill();
            server.waitForFinished(2000);
        }
        FAIL() << "no virtual display could be started";
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir.path());
        return env;
    }

    void start(QProcess& p)
    {
        p.setProcessEnvironment(environment());
        p.setWorkingDirectory(runtimeDir.path());
        p.start(appDir.path() + QStringLiteral("/Quillmarsh"), {});
        ASSERT_TRUE(p.waitForStarted(5000));
    }

    // The widths of the top-level windows titled `title` on the display.
    QList<int> windowsTitled(const QString& title) const
    {
        QProcess info;
        info.setProcessEnvironment(environment());
        info.start(xwininfo, {QStringLiteral("-root"), QStringLiteral("-children"), QStringLiteral("-display"), display});
        info.waitForFinished(5000);
        const QRegularExpression line(u'"' + QRegularExpression::escape(title) + QStringLiteral("\":.*\\)\\s+(\\d+)x(\\d+)"));
        QList<int> widths;
        for (const QString& l : QString::fromLocal8Bit(info.readAllStandardOutput()).split(u'\n'))
            if (const QRegularExpressionMatch m = line.match(l); m.hasMatch())
                widths << m.captured(1).toInt();
        return widths;
    }
    // Main windows are wide; the notices are not.
    int mainWindows() const
    {
        int n = 0;
        for (int w : windowsTitled(QStringLiteral("Tarnwick")))
            n += w >= 600;
        return n;
    }

    // A picture of the screen, kept under build/ as `name` for a look; the
    // test reads its own copy, which no other run of it overwrites.
    QImage keepShot(const QString& name) const
    {
        const QString mine = runtimeDir.path() + u'/' + name;
        const QString kept = QDir(buildBin()).absoluteFilePath(QStringLiteral("../") + name);
        const QImage img = grabScreen(mine);
        QFile::remove(kept);
        QFile::copy(mine, kept);
        return img;
    }

    QImage grabScreen(const QString& file) const
    {
        QProcess grab;
        grab.setProcessEnvironment(environment());
        grab.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--grab-screen"), file});
        grab.waitForFinished(15000);
        return QImage(file);
    }

    // xdotool on the virtual display: its output, or "" when it failed or
    // hung for 10 s.
    QString xdo(const QStringList& args) const
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(xdotool, args);
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished(2000);
            return QString();
        }
        return p.exitCode() == 0 ? QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed() : QString();
    }

    struct XWindow {
        QString id;
        QRect rect;
        QString pattern;
    };
    // The mapped windows whose title matches `pattern` (an extended regular
    // expression) and whose width lies in [minWidth, maxWidth].
    QList<XWindow> shown(const QString& pattern, int minWidth = 0, int maxWidth = INT_MAX) const
    {
        QList<XWindow> out;
        for (const QString& id : xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), pattern})
                                     .split(u'\n', Qt::SkipEmptyParts)) {
            QMap<QString, int> g;
            for (const QString& kv : xdo({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id}).split(u'\n'))
                g.insert(kv.section(u'=', 0, 0), kv.section(u'=', 1).toInt());
            const QRect r(g.value(QStringLiteral("X")), g.value(QStringLiteral("Y")), g.value(QStringLiteral("WIDTH")),
                          g.value(QStringLiteral("HEIGHT")));
            if (r.width() >= minWidth && r.width() <= maxWidth)
                out << XWindow{id, r, pattern};
        }
        return out;
    }
    std::optional<XWindow> waitForWindow(const QString& pattern, int ms, int minWidth = 0, int maxWidth = INT_MAX) const
    {
        std::optional<XWindow> found;
        waitFor(ms, [&] {
            const QList<XWindow> w = shown(pattern, minWidth, maxWidth);
            if (!w.isEmpty())
                found = w.first();
            return found.has_value();
        });
        return found;
    }
    bool stillShown(const XWindow& w) const
    {
        for (const XWindow& s : shown(w.pattern))
            if (s.id == w.id)
                return true;
        return false;
    }
    // Real key presses into the window (no window manager: the test gives it
    // the focus itself).
    void keys(const XWindow& w, const QStringList& keyNames) const
    {
        xdo({QStringLiteral("windowfocus"), w.id});
        QThread::msleep(200);
        xdo(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("50")} + keyNames);
    }
    // A left click at (x, y) inside the window.
    void click(const XWindow& w, int x, int y) const
    {
        xdo({QStringLiteral("mousemove"), QStringLiteral("--window"), w.id, QString::number(x), QString::number(y)});
        xdo({QStringLiteral("click"), QStringLiteral("1")});
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

    QTemporaryDir appDir;
    QTemporaryDir runtimeDir;
    QString xvfb, xwininfo, xdotool, display;
    QProcess server, program, second;
};

// Pixels of an RGB colour in the picture.
int countColour(const QImage& img, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

TEST_F(RealProgram, OpensItsMainWindowCreatesItsIniAndRefusesASecondCopy)
{
    start(program);
    ASSERT_TRUE(waitFor(20000, [&] { return mainWindows() == 1; }))
        << "no main window; program output: " << program.readAllStandardError().toStdString();
    QThread::msleep(700);   // let it paint

    const QImage img = keepShot(QStringLiteral("frmMain-real.png"));
    ASSERT_FALSE(img.isNull()) << "no screenshot";
    // Both structures' tints are on the screen: the path labels and lists.
    EXPECT_GT(countColour(img, qRgb(0xFF, 0xE0, 0xC0)), 2000);
    EXPECT_GT(countColour(img, qRgb(0xC0, 0xFF, 0xFF)), 2000);

    // The first start writes the language and the structure beside the program.
    QFile ini(appDir.path() + QStringLiteral("/Quillmarsh.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ini.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("Language=False"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("StructureIndex=0"))) << text.toStdString();

    // A second copy from the same folder shows its notice and opens no main window.
    start(second);
    EXPECT_TRUE(waitFor(20000, [&] { return windowsTitled(QStringLiteral("Tarnwick")).size() >= 2; }));
    EXPECT_EQ(second.state(), QProcess::Running);   // waiting on its notice
    EXPECT_EQ(mainWindows(), 1);
    second.kill();
    second.waitForFinished(5000);
    EXPECT_EQ(program.state(), QProcess::Running);
}

} // namespace

namespace {

// Pixels of an RGB colour inside a rectangle of the picture.
int countColourIn(const QImage& img, const QRect& r, QRgb colour)
{
    return countColour(img.copy(r), colour);
}

void writeFile(const QString& path, const QByteArray& content, const QDateTime& time)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(content);
    f.flush();   // a later flush would move the time again
    ASSERT_TRUE(f.setFileTime(time, QFileDevice::FileModificationTime));
}

TEST_F(RealProgram, ComparesTwoTreesFromTheMainWindowAndPrintsTheFinishedGrid)
{
    xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty())
        GTEST_SKIP() << "xdotool is needed to press the program's keys (make test installs it)";

    // Two trees with first-level folders on both sides (so the inclusion
    // window opens): one common folder, one of each side's own, a file that
    // differs in size and files that are equal.
    QTemporaryDir trees;
    const QString p = trees.path() + QStringLiteral("/P"), s = trees.path() + QStringLiteral("/S");
    const QDateTime time(QDate(2024, 3, 1), QTime(12, 0));
    for (const QString& root : {p, s}) {
        writeFile(root + QStringLiteral("/top.txt"), "top", time);
        writeFile(root + QStringLiteral("/Alpha/same.txt"), "same", time);
    }
    writeFile(p + QStringLiteral("/Alpha/a.txt"), "one", time);
    writeFile(s + QStringLiteral("/Alpha/a.txt"), "two!", time);
    writeFile(p + QStringLiteral("/Beta/b.txt"), "b", time);
    writeFile(p + QStringLiteral("/Beta/b2.txt"), "b2", time);
    writeFile(s + QStringLiteral("/Gamma/g.txt"), "g", time);
    if (HasFatalFailure())
        return;
    const platform::DriveTable table = platform::DriveTable::system();
    const QString logicalP = table.toLogical(p), logicalS = table.toLogical(s);
    QFile ini(appDir.path() + QStringLiteral("/Quillmarsh.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write((QStringLiteral("[General]\r\nLanguage=False\r\nPrimaryInitialPath=") + logicalP
               + QStringLiteral("\r\nSecondaryInitialPath=") + logicalS
               + QStringLiteral("\r\nDisplayOptions=False\r\nNumberOfLevels=0\r\nRemindMeToPrint=False\r\n"
                                "CompareOnlyTheCommonFiles=False\r\nPrintDestination=1\r\n"))
                  .toUtf8());
    ini.close();
    start(program);
    // (Waiting on the process is what reads its output.)
    auto output = [&] {
        const bool ended = program.waitForFinished(200);
        return (ended ? "ended with " + std::to_string(program.exitCode()) + "; " : std::string("running; "))
            + program.readAllStandardError().toStdString();
    };
    const std::optional<XWindow> main = waitForWindow(QStringLiteral("^Tarnwick$"), 20000, 600);
    ASSERT_TRUE(main) << "no main window on " << display.toStdString() << "; program " << output();
    QThread::msleep(700);   // let it paint
    EXPECT_FALSE(keepShot(QStringLiteral("road-main.png")).isNull());

    // Enter presses the main window's default button, Compare.
    const QString inclusionTitle = QStringLiteral("^Folder inclusion/exclusion$");
    ASSERT_TRUE(actUntil(*main, [&] { keys(*main, {QStringLiteral("Return")}); }, [&] { return !shown(inclusionTitle).isEmpty(); }))
        << "Compare opened no folder inclusion window; program " << output();
    const XWindow inclusion = shown(inclusionTitle).first();
    QThread::msleep(500);
    const QImage inclusionShot = keepShot(QStringLiteral("road-inclusion.png"));
    // Its two lists in the structures' tints.
    EXPECT_GT(countColourIn(inclusionShot, inclusion.rect, qRgb(0xFF, 0xE0, 0xC0)), 20000);
    EXPECT_GT(countColourIn(inclusionShot, inclusion.rect, qRgb(0xC0, 0xFF, 0xFF)), 20000);
    // A click on No, placed by the window's design (twips) scaled to the
    // window's width: every first-level folder is compared.
    const QString resultsTitle = QStringLiteral("^Comparison results$");
    const double pxPerTwip = inclusion.rect.width() / 9612.0;
    ASSERT_TRUE(actUntil(inclusion, [&] { click(inclusion, int((6840 + 1326) * pxPerTwip), int((6360 + 186) * pxPerTwip)); },
                         [&] { return !shown(resultsTitle, 600).isEmpty(); }))
        << "no results window after the inclusion window; program " << output();
    const XWindow results = shown(resultsTitle, 600).first();
    QThread::msleep(500);
    const int whiteBefore = countColourIn(grabScreen(trees.path() + QStringLiteral("/before.png")), results.rect,
                                          qRgb(0xFF, 0xFF, 0xFF));
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
    QThread::msleep(500);
    const QImage resultsShot = keepShot(QStringLiteral("road-results.png"));
    ASSERT_FALSE(resultsShot.isNull());
    // The grid took the place of the empty area.
    EXPECT_GT(countColourIn(resultsShot, results.rect, qRgb(0xFF, 0xFF, 0xFF)), whiteBefore + 5000);

    // Ctrl+P opens the print window, set to a plain text file; Enter
    // presses its Print; the file dialog takes the name.
    const QString printTitle = QStringLiteral("^Print - Number of pages: 1\\.$");
    ASSERT_TRUE(actUntil(results, [&] { keys(results, {QStringLiteral("ctrl+p")}); }, [&] { return !shown(printTitle).isEmpty(); }))
        << "Ctrl+P opened no print window of one page; program " << output();
    const XWindow print = shown(printTitle).first();
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
    QFile file(printed);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const std::string all = lines.join(u'\n').toStdString();
    ASSERT_GE(lines.size(), 4) << all;
    EXPECT_TRUE(lines[0].startsWith(logicalP)) << all;
    EXPECT_TRUE(lines[0].endsWith(logicalS)) << all;
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

} // namespace
