// The start-up's settings as a user's INI file spells them: every section,
// key and default written out here by hand, so that a key spelt otherwise
// in the program, a default changed or a row lost shows as a setting that
// the start-up did not take.
#include "mainwindow_fixture.h"

using namespace basGlobal;
using mainwindow::frmMain;

namespace {

QString flag(bool on) { return on ? QStringLiteral("True") : QStringLiteral("False"); }
QString number(qint64 n) { return QString::number(n); }

struct IniSetting {
    const char* section;
    const char* key;
    const char* byDefault;   // "C:" is the program's own folder here
    const char* other;       // another value the start-up takes as it reads
    QString (*held)(Globals&);
};

#define HELD(expr) [](Globals& g) { return expr; }

// The 41 settings, in the order of a user's file.
const IniSetting kIni[] = {
    {"General", "Language", "False", "True", HELD(flag(g.LanguageIsGreek))},
    {"General", "ResizeFont", "False", "True", HELD(flag(g.ResizeFontEnabled))},
    {"General", "StructureIndex", "0", "1", HELD(number(g.CurrentStructure))},
    {"General", "PrimaryInitialPath", "C:", "C:\\Primary", HELD(g.InitialPath[0])},
    {"General", "SecondaryInitialPath", "C:", "C:\\Secondary", HELD(g.InitialPath[1])},
    {"General", "DisplayPrimaryPathFirstLevelFolders", "False", "True", HELD(flag(g.DisplayFirstLevelFolders[0]))},
    {"General", "DisplaySecondaryPathFirstLevelFolders", "False", "True", HELD(flag(g.DisplayFirstLevelFolders[1]))},
    {"General", "DisplayPrimaryPathFirstLevelFiles", "False", "True", HELD(flag(g.DisplayFirstLevelFiles[0]))},
    {"General", "DisplaySecondaryPathFirstLevelFiles", "False", "True", HELD(flag(g.DisplayFirstLevelFiles[1]))},
    {"General", "NoToolTipPathNames", "False", "True", HELD(flag(g.HidePathToolTips))},
    {"General", "SortSavedPaths", "False", "True", HELD(flag(g.SavedPathsSorted))},
    {"General", "Comparison", "0", "2", HELD(number(g.ComparisonMode))},
    {"General", "ExportStructure", "1", "2", HELD(number(g.ExportStructureSelection))},
    {"General", "ImportStructure", "1", "0", HELD(number(g.ImportStructureSelection))},
    {"General", "NumberOfLevels", "1", "0", HELD(number(g.NumberOfLevelsLimit))},
    {"General", "CompareOnlyTheCommonFiles", "True", "False", HELD(flag(g.CommonFilesOnly))},
    {"General", "DisplayOnlyTheDifferences", "False", "True", HELD(flag(g.DifferencesOnly))},
    {"General", "AbilityToExcludeFolders", "True", "False", HELD(flag(g.FolderIncludeExcludeEnabled))},
    {"General", "DisplayOptions", "True", "False", HELD(flag(g.ShowOptionsBeforeComparison))},
    {"FileAttributes", "Pattern", "*.*", "*.txt;*.doc", HELD(g.FileTypesPattern)},
    {"FileAttributes", "Hidden", "True", "False", HELD(flag(g.IncludeHiddenFiles))},
    {"FileAttributes", "System", "True", "False", HELD(flag(g.IncludeSystemFiles))},
    {"FileAttributes", "ReadOnly", "True", "False", HELD(flag(g.IncludeReadOnlyFiles))},
    {"FileAttributes", "Archive", "True", "False", HELD(flag(g.IncludeArchiveFiles))},
    {"General", "DateFormat", "short", "long", HELD(g.DateFormatName)},
    {"General", "TimeFormat", "long", "short", HELD(g.TimeFormatName)},
    {"General", "DisplayElapsedTime", "False", "True", HELD(flag(g.ShowElapsedTime))},
    {"General", "SaveGridColumnWidths", "False", "True", HELD(flag(g.SaveColumnWidths))},
    {"GridColumnWidths", "0", "200", "201", HELD(number(g.GridColumnWidth[0]))},
    {"GridColumnWidths", "1", "2345", "3001", HELD(number(g.GridColumnWidth[1]))},
    {"GridColumnWidths", "2", "2345", "3002", HELD(number(g.GridColumnWidth[2]))},
    {"GridColumnWidths", "3", "1250", "1003", HELD(number(g.GridColumnWidth[3]))},
    {"GridColumnWidths", "4", "1250", "1004", HELD(number(g.GridColumnWidth[4]))},
    {"GridColumnWidths", "5", "1000", "32767", HELD(number(g.GridColumnWidth[5]))},
    {"GridColumnWidths", "6", "1000", "1006", HELD(number(g.GridColumnWidth[6]))},
    {"GridColumnWidths", "7", "850", "807", HELD(number(g.GridColumnWidth[7]))},
    {"GridColumnWidths", "8", "850", "808", HELD(number(g.GridColumnWidth[8]))},
    {"General", "RemindMeToPrint", "True", "False", HELD(flag(g.RemindToPrint))},
    {"General", "FailSafe", "False", "True", HELD(flag(g.FailSafeChecks))},
    {"General", "ExtendedInformation", "True", "False", HELD(flag(g.ShowExtendedInformation))},
    {"General", "PrintDestination", "0", "2", HELD(number(g.PrintDestinationIndex))},
};

#undef HELD

static_assert(std::size(kIni) == 41);

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
