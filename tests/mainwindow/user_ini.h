#pragma once
// The 41 settings of the start-up as a user's INI file spells them: every
// section, key and default written out here by hand, never read from the
// program's settings table, so that a key spelt otherwise there, a default
// changed or a row lost shows as a setting that the start-up did not take.
#include "shared/basGlobal.h"

#include <QString>

#include <iterator>

namespace user_ini {

using basGlobal::Globals;

inline QString flag(bool on) { return on ? QStringLiteral("True") : QStringLiteral("False"); }
inline QString number(qint64 n) { return QString::number(n); }

struct IniSetting {
    const char* section;
    const char* key;
    const char* byDefault;   // "C:" is the program's own folder here
    const char* other;       // another value the start-up takes as it reads
    QString (*held)(Globals&);
};

#define HELD(expr) [](Globals& g) { return expr; }

// The 41 settings, in the order of a user's file.
inline const IniSetting kIni[] = {
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

} // namespace user_ini
