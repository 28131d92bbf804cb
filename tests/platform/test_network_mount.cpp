// The system's network mounter over stand-in tools: a missing tool, one that
// refuses, one that hangs, and one that mounts and names a local folder.
#include "platform/NetworkMount.h"
#include "support/TempDrive.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::MountResult;

namespace {

QString tool(const QTemporaryDir& bin, const char* name, const QByteArray& script)
{
    const QString path = bin.path() + QLatin1Char('/') + QLatin1String(name);
    testing_support::writeScript(path, script);
    return path;
}

TEST(GioMounter, ToolOutcomesBecomeMountResults)
{
    testing_support::ensureCoreApplication();
    QTemporaryDir bin, share;
    platform::GioMounter m;
    QString folder = QStringLiteral("stale");
    m.program = QStringLiteral("no-such-mount-tool-here");
    EXPECT_EQ(m.mount(QStringLiteral("smb://server/share"), folder), MountResult::noTool);
    EXPECT_EQ(folder, QString());
    m.program = tool(bin, "refuses", "exit 2\n");
    EXPECT_EQ(m.mount(QStringLiteral("smb://server/share"), folder), MountResult::failed);
    m.program = tool(bin, "hangs", "sleep 10\n");
    m.timeoutMs = 300;
    EXPECT_EQ(m.mount(QStringLiteral("sftp://host/folder"), folder), MountResult::timedOut);
    // "info" fails until "mount" has run; then it names the local folder.
    const QByteArray mark = QFile::encodeName(bin.path() + QStringLiteral("/mounted"));
    m.program = tool(bin, "mounts",
                     "if [ \"$1\" = mount ]; then touch " + mark + "; exit 0; fi\n"
                     "[ -e " + mark + " ] || exit 1\n"
                     "echo \"display name: share\"\necho \"local path: " + QFile::encodeName(share.path()) + "\"\n");
    EXPECT_EQ(m.mount(QStringLiteral("nfs://server/export"), folder), MountResult::done);
    EXPECT_EQ(folder, share.path());
    m.program = tool(bin, "nowhere", "echo \"local path: /no/such/folder\"\n");
    EXPECT_EQ(m.mount(QStringLiteral("smb://server/share"), folder), MountResult::failed) << "a folder that is not there";
}

// The tool is asked first whether the share is known, then to mount it,
// then where it is; a mounted share is not mounted again. A mount is waited
// for a minute unless told otherwise.
TEST(GioMounter, AsksTheToolInOrderAndReadsTheLocalPathLine)
{
    testing_support::ensureCoreApplication();
    EXPECT_EQ(platform::GioMounter().program, QStringLiteral("gio"));
    EXPECT_EQ(platform::GioMounter().timeoutMs, 60000);
    QTemporaryDir bin, share;
    const QByteArray log = QFile::encodeName(bin.path() + QStringLiteral("/calls.log"));
    const QByteArray mark = QFile::encodeName(bin.path() + QStringLiteral("/mounted"));
    platform::GioMounter m;
    m.program = tool(bin, "logs",
                     "echo \"$*\" >> " + log + "\n"
                     "if [ \"$1\" = mount ]; then touch " + mark + "; exit 0; fi\n"
                     "[ -e " + mark + " ] || exit 1\n"
                     "echo \"name: local path: /elsewhere\"\n"
                     "echo \"  local path:" + QFile::encodeName(share.path()) + "  \"\n"
                     "echo \"local path: /second\"\n");
    QString folder;
    EXPECT_EQ(m.mount(QStringLiteral("smb://server/my share"), folder), MountResult::done);
    EXPECT_EQ(folder, share.path());
    EXPECT_EQ(m.mount(QStringLiteral("smb://server/my share"), folder), MountResult::done);
    EXPECT_EQ(testing_support::fileBytes(QFile::decodeName(log)),
              "info -a standard::name smb://server/my share\n"
              "mount smb://server/my share\n"
              "info smb://server/my share\n"
              "info -a standard::name smb://server/my share\n"
              "info smb://server/my share\n");
    // A tool that mounts but then cannot say where gives its own failure.
    m.program = tool(bin, "forgets", "[ \"$1\" = mount ] && exit 0\nexit 3\n");
    folder = QStringLiteral("stale");
    EXPECT_EQ(m.mount(QStringLiteral("smb://server/share"), folder), MountResult::failed);
    EXPECT_EQ(folder, QString());
    m.program = tool(bin, "silent", "exit 0\n");
    EXPECT_EQ(m.mount(QStringLiteral("smb://server/share"), folder), MountResult::failed);
    EXPECT_EQ(folder, QString());
    m.program = tool(bin, "nowhere", "echo \"local path: /no/such/folder\"\n");
    EXPECT_EQ(m.mount(QStringLiteral("smb://server/share"), folder), MountResult::failed);
    EXPECT_EQ(folder, QString());
    // A tool that asks for a password is answered with nothing at once.
    m.program = tool(bin, "asks", "read password\nexit 2\n");
    m.timeoutMs = 5000;
    EXPECT_EQ(m.mount(QStringLiteral("smb://server/share"), folder), MountResult::failed);
}

} // namespace
