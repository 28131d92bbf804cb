// The real program, built as build/bin/Quillmarsh, copied with its help files
// into a temporary application folder and started on a virtual X display:
// its main window comes up, a picture of the screen is saved for a look, the
// INI file appears beside the program, and a second copy is refused.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <unistd.h>

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
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    void startDisplay()
    {
        // A display number nobody uses, tried until the server holds one.
        for (int n = 100 + int(::getpid() % 400), tries = 0; tries < 20; ++n, ++tries) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
                continue;
            server.start(xvfb, {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"), QStringLiteral("0"),
                                QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            if (waitFor(5000, [&] { return QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)); })) {
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

    QImage grabScreen(const QString& file) const
    {
        QProcess grab;
        grab.setProcessEnvironment(environment());
        grab.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--grab-screen"), file});
        grab.waitForFinished(15000);
        return QImage(file);
    }

    QTemporaryDir appDir;
    QTemporaryDir runtimeDir;
    QString xvfb, xwininfo, display;
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

    const QString shot = QDir(buildBin()).absoluteFilePath(QStringLiteral("../frmMain-real.png"));
    const QImage img = grabScreen(shot);
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
