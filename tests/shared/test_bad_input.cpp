// File dates that no clock of today gives, and a settings file that may
// not be written.
#include "shared/FileFacts.h"
#include "shared/IniAccess.h"

#include "shared_fixture.h"

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

// (A folder in place of the INI is the start-up's test.)
TEST_F(SharedTest, AReadOnlyIniIsNamedOnceThenReadAndNotWritten)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Quillmarsh.ini"));
    const QString general = QStringLiteral("General"), key = QStringLiteral("StructureIndex");
    EXPECT_EQ(WriteIniLong(ini, general, key, 1), 0);
    ASSERT_TRUE(QFile::setPermissions(ini, QFile::ReadOwner));
    g().LanguageIsGreek = true;
    EXPECT_TRUE(CheckIniFile(ini).contains(ini + QStringLiteral("' δεν μπορεί να γραφεί: ")));
    EXPECT_EQ(WriteIniLong(ini, general, key, 0), 0);   // said once, not again
    Long error = -1;
    EXPECT_EQ(GetIniLong(ini, general, key, 0, 0, 1, error), 1);
    EXPECT_EQ(error, 0);
    QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(CheckIniFile(ini), QString());   // each check looks again
}
