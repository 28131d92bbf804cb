#pragma once
// The program-wide state: every setting that mirrors an INI key and every
// bookkeeping variable that windows hand to each other. There is exactly one
// Globals object for the run; tests put it back to its start state with
// basGlobal::resetGlobals(). Every member starts false, 0 or empty.
//
// Types follow the program's own: Integer is 16-bit, Long 32-bit. A
// per-structure pair is indexed 0 (Primary) and 1 (Secondary).

#include <QString>

#include <array>
#include <cstdint>

namespace basGlobal {

using Integer = std::int16_t;
using Long = std::int32_t;
template <typename T> using Pair = std::array<T, 2>;

inline constexpr int kGridColumns = 9;

// The designed structure tints (BGR): the background of each structure's
// lists and path labels, in the main window and the results window alike.
inline constexpr std::uint32_t kStructureTint[2] = {0xC0E0FF, 0xFFFFC0};

struct Globals {
    // --- Settings (each mirrors one INI key) ---------------------------------
    // Section, key, default and accepted values of these are the rows of
    // shared/SettingsTable.cpp; the start-up fills them from there.
    bool LanguageIsGreek = false;
    bool ResizeFontEnabled = false;               // fonts scale with the windows
    Integer CurrentStructure = 0;                 // the structure the commands act on
    Pair<QString> InitialPath{};                  // where each tree opens at start-up
    Pair<bool> DisplayFirstLevelFolders{};
    Pair<bool> DisplayFirstLevelFiles{};
    bool HidePathToolTips = false;
    bool SavedPathsSorted = false;
    Integer ComparisonMode = 0;                   // 0 live, 1 off line, 2 export
    Integer ExportStructureSelection = 0;         // 0, 1, 2 both
    Integer ImportStructureSelection = 0;
    Integer NumberOfLevelsLimit = 0;              // 0 all
    bool CommonFilesOnly = false;
    bool DifferencesOnly = false;
    bool FolderIncludeExcludeEnabled = false;
    bool ShowOptionsBeforeComparison = false;
    QString DateFormatName;                       // "short" or "long"
    QString TimeFormatName;                       // "short" or "long"
    bool ShowElapsedTime = false;
    bool SaveColumnWidths = false;
    bool RemindToPrint = false;
    bool FailSafeChecks = false;
    bool ShowExtendedInformation = false;
    Integer PrintDestinationIndex = 0;            // 0 printer, 1 file, 2 both
    QString FileTypesPattern;                     // ";"-separated; "*.*" no filter
    bool IncludeHiddenFiles = false;
    bool IncludeSystemFiles = false;
    bool IncludeReadOnlyFiles = false;
    bool IncludeArchiveFiles = false;
    std::array<Long, kGridColumns> GridColumnWidth{}; // twips
    // Not in the table: the page setup (shared/basPageSetup.cpp) and the
    // settings transfer windows (maintenance) keep these keys themselves.
    QString PageSetupFontName;                    // PageSetup/FontName
    Integer PageSetupFontSize = 0;                // PageSetup/FontSize
    Integer PageSetupTopMargin = 0;               // PageSetup/TopMargin
    Integer PageSetupLeftMargin = 0;              // PageSetup/LeftMargin
    Integer PageSetupLinesPerPage = 0;            // PageSetup/LinesPerPage
    bool ExportIniFile = false;                   // ExportSettings/Ini
    Pair<bool> ExportSavedPaths{};                // ExportSettings/Primary, Secondary
    QString ExportFolder;                         // ExportSettings/Folder
    bool ImportIniFile = false;                   // ImportSettings/Ini
    Pair<bool> ImportSavedPaths{};                // ImportSettings/Primary, Secondary
    QString ImportFolder;                         // ImportSettings/Folder
    bool DeleteAfterImport = false;               // ImportSettings/DeleteAfter

    // --- Bookkeeping --------------------------------------------------------
    QString ApplicationPath;                      // application folder, no trailing "\"
    QString IniFileName;                          // ApplicationPath + "\Quillmarsh.ini"
    QString HelpFileGreek;
    QString HelpFileEnglish;
    Pair<QString> SavedPathsFileName{};
    QString ApplicationTitle;
    QString AuthorName;
    bool VolumeIsCaseSensitive = false;
    Pair<Long> StructureColour{};
    Pair<std::uint32_t> StructureTint{};          // as the main window shows them; 0 until it has
    std::array<Long, kGridColumns> DefaultGridColumnWidth{};
    bool CancelRequested = false;
    Pair<QString> CurrentPath{};
    Pair<QString> RecalledPath{};
    Pair<QString> PendingInitialPath{};
    Pair<QString> ComparedPath{};                 // with its trailing "\"
    Pair<QString> ImportedStructureFile{};        // "" = compared live
    Integer FirstStructureToProcess = 0;
    Integer LastStructureToProcess = 0;
    bool ImportNotAccepted = false;
    Integer FolderSelectionState = 0;             // 1 Include, 2 Exclude, 3 no selection
    bool FolderListScrollGuard = false;
    bool ComparisonInProgress = false;
    bool ResultsNotPrinted = false;
    Long TotalLinesToPrint = 0;
    Long CurrentDifferenceRow = 0;
    Long FoundCellRow = 0;
    Long FoundCellCol = 0;
    Long FoundCellBackColor = 0;
    Pair<bool> StructureDeviceNotReady{};
    bool ResetSettingsOnExit = false;
    bool SavePathMenuFromButton = false;
    bool RecallPathMenuFromButton = false;
    bool SettingsMenuFromButton = false;
    bool StructureExportInProgress = false;
    bool StructureImportInProgress = false;
    bool PrintingInProgress = false;
    Long HeaderLinesPerPage = 0;
    bool SettingsExportInProgress = false;
    bool SettingsImportInProgress = false;
    bool ImportingIniFile = false;
    bool UpdateCheckInProgress = false;
};

// The one program-wide state object.
Globals& globals();

// The tint of structure i: the main window's, or the designed one while
// no main window has set it (a results window opened on its own).
std::uint32_t StructureTintOf(int structure);

// The structures an off-line comparison reads from exported files, from
// ImportedStructureFile: the Primary alone (0..0), the Secondary alone
// (1..1) or both (0..1). False when neither has a file.
bool ImportedStructureRange(Integer& first, Integer& last);

// Puts every variable back to false, 0 or empty (tests).
void resetGlobals();

// The INI file's name inside the application folder.
inline const QString kIniFileTitle = QStringLiteral("Quillmarsh.ini");

// ApplicationPath followed by "\Quillmarsh.ini".
QString MakeIniFileName(const QString& applicationPath);

} // namespace basGlobal

// The variables of the current project live in the same object.
namespace basGlobalCurrentProject = basGlobal;
