// Hostile input at the shared routines: file dates no clock of today gives,
// and a settings file that cannot be used.
#include "shared/FileFacts.h"
#include "shared/IniAccess.h"

#include "shared_fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace basGlobal;

TEST_F(SharedTest, AFilesOwnDateKeepsItsYear)
{
    struct Case {
        const char* field;
        const char* format;
        const char* shown;   // "" with error 5
    };
    const Case cases[] = {
        {"20240229", "short", "29/02/2024"},
        {"00500315", "SHORT", "15/03/0050"},   // not 1950: no two-digit-year window
        {"00990101", "short", "01/01/0099"},
        {"100000101", "short", "01/01/10000"},  // not 0999
        {"00010101", "long", "Monday, 1 January 0001"},
        {"20230229", "short", ""},
        {"2024 101", "short", ""},
        {"0101", "short", ""},
    };
    for (const Case& c : cases) {
        Long error = -1;
        EXPECT_EQ(FormatFileDateText(QString::fromLatin1(c.format), QString::fromLatin1(c.field), error),
                  QString::fromUtf8(c.shown))
            << c.field;
        EXPECT_EQ(error, *c.shown ? 0 : 5) << c.field;
    }
}

TEST_F(SharedTest, AnIniThatCannotBeUsedIsNamedOnceAndThenLeftAlone)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Quillmarsh.ini"));
    ASSERT_TRUE(QDir().mkdir(ini));
    const QString problem = CheckIniFile(ini);
    EXPECT_TRUE(problem.contains(ini) && problem.contains(QStringLiteral("it is not a file"))) << problem.toStdString();

    // Readers give their defaults and writers change nothing, without an
    // error for each setting.
    Long error = -1;
    EXPECT_TRUE(GetIniBoolean(ini, QStringLiteral("General"), QStringLiteral("Language"), true, error));
    EXPECT_EQ(error, 0);
    EXPECT_EQ(WriteIniLong(ini, QStringLiteral("General"), QStringLiteral("StructureIndex"), 1), 0);
    EXPECT_TRUE(QFileInfo(ini).isDir());
    EXPECT_TRUE(QDir(ini).isEmpty());

    // Once the file is usable again, the next look finds no problem.
    ASSERT_TRUE(QDir().rmdir(ini));
    EXPECT_EQ(CheckIniFile(ini), QString());
    EXPECT_EQ(WriteIniLong(ini, QStringLiteral("General"), QStringLiteral("StructureIndex"), 1), 0);
    EXPECT_EQ(GetIniLong(ini, QStringLiteral("General"), QStringLiteral("StructureIndex"), 0, 0, 1, error), 1);

    // A read-only file is read, and not written.
    ASSERT_TRUE(QFile::setPermissions(ini, QFile::ReadOwner));
    g().LanguageIsGreek = true;
    EXPECT_TRUE(CheckIniFile(ini).contains(QStringLiteral("δεν μπορεί να γραφεί")));
    EXPECT_EQ(WriteIniLong(ini, QStringLiteral("General"), QStringLiteral("StructureIndex"), 0), 0);
    EXPECT_EQ(GetIniLong(ini, QStringLiteral("General"), QStringLiteral("StructureIndex"), 0, 0, 1, error), 1);
    EXPECT_EQ(error, 0);
    QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);
    CheckIniFile(ini);
}
