// The start-up's settings as a user's INI file spells them (user_ini.h):
// the defaults of a start without the file, each key reaching its setting,
// and keys in another section or spelt otherwise left alone.
#include "mainwindow_fixture.h"
#include "user_ini.h"

using namespace basGlobal;
using mainwindow::frmMain;
using user_ini::IniSetting;
using user_ini::kIni;

namespace {

class StartupIni : public MainWindowFixture<frmMain> {
protected:
    static std::string where(const IniSetting& s) { return std::string(s.section) + "/" + s.key; }
};

TEST_F(StartupIni, WithoutTheFileEverySettingHoldsTheDefaultAUserWouldFindDocumented)
{
    main.load();
    for (const IniSetting& s : kIni) EXPECT_EQ(s.held(g()), QLatin1String(s.byDefault)) << where(s);
}

TEST_F(StartupIni, EveryKeyAsAUserSpellsItReachesItsSetting)
{
    drive.folder(QStringLiteral("Primary"));
    drive.folder(QStringLiteral("Secondary"));
    // Each section once, its keys in the order above.
    QString content;
    for (const char* section : {"General", "FileAttributes", "GridColumnWidths"}) {
        content += u'[' + QLatin1String(section) + QStringLiteral("]\r\n");
        for (const IniSetting& s : kIni)
            if (QByteArray(section) == s.section)
                content += QLatin1String(s.key) + u'=' + QLatin1String(s.other) + QStringLiteral("\r\n");
    }
    writeIni(content);
    main.load();
    for (const IniSetting& s : kIni) EXPECT_EQ(s.held(g()), QLatin1String(s.other)) << where(s);
}

// A key written in another section, or one that only looks like its own,
// is not the setting's: the default stays.
TEST_F(StartupIni, AKeyInAnotherSectionOrSpeltOtherwiseIsNotTaken)
{
    writeIni(QStringLiteral("[General]\r\nExportStructures=2\r\nHidden=False\r\n0=999\r\n"
                            "[FileAttributes]\r\nExportStructure=0\r\nNumberOfLevels=7\r\n"
                            "[GridColumnWidth]\r\n3=777\r\n"
                            "[GridColumnWidths]\r\nExportStructure=0\r\n"));
    main.load();
    EXPECT_EQ(g().ExportStructureSelection, 1);
    EXPECT_EQ(g().IncludeHiddenFiles, true);
    EXPECT_EQ(g().NumberOfLevelsLimit, 1);
    EXPECT_EQ(g().GridColumnWidth[0], 200);
    EXPECT_EQ(g().GridColumnWidth[3], 1250);
}

} // namespace
