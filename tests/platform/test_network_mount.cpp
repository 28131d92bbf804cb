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

} // namespace
