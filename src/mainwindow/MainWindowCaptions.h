#pragma once
// The main window's texts and per-structure displays: every caption and tool
// tip in the current language, the structure captions and the placeholder
// lines of switched-off lists, the current-path label, and the first-level
// folders and files lists with their check-box captions.
//
// Each routine takes the main window and finds its controls by name
// (tvwStructure, lblCurrentFullPath, lstFirstLevelFolders, ...), so it works
// on frmMain and on any test form that carries the same controls.
//
// The two fills never nest: a fill asked for while another one runs (a click
// handled during its per-item yield) is queued and runs, in order, once the
// running fill has finished. A fill cannot be cancelled.
#include "shared/basGlobal.h"

#include <QString>

namespace ui {
class Form;
}

namespace basGlobal {

// Texts that the check boxes and lists show in both languages.
namespace MainWindowTexts {
inline const QString FoldersLabelEnglish = QStringLiteral("First level folders");
inline const QString FoldersLabelGreek = QStringLiteral("Φάκελλοι πρώτου επιπέδου");
inline const QString FilesLabelEnglish = QStringLiteral("First level files");
inline const QString FilesLabelGreek = QStringLiteral("Αρχεία πρώτου επιπέδου");
inline const QString ProcessingEnglish = QStringLiteral("Processing..");
inline const QString ProcessingGreek = QStringLiteral("Σε εξέλιξη..");
inline const QString NoFoldersEnglish = QStringLiteral("Folder names not displayed.");
inline const QString NoFoldersGreek = QStringLiteral("Δεν εμφανίζονται ονόματα φακέλλων.");
inline const QString NoFilesEnglish = QStringLiteral("File names not displayed.");
inline const QString NoFilesGreek = QStringLiteral("Δεν εμφανίζονται ονόματα αρχείων.");
} // namespace MainWindowTexts

// The application title of either language.
QString ApplicationTitleOf(bool greek);

// Every caption and tool tip of the main window in the language of
// LanguageIsGreek, the application title, author and help file, then the
// structure captions; writes the language to the INI file. Error number back.
Long SetApplicationLanguage(ui::Form& mainWindow, const QString& iniFile,
                            const QString& section = QStringLiteral("General"),
                            const QString& key = QStringLiteral("Language"));
Long SetMainFormStructureCaptions(ui::Form& mainWindow);

// CurrentPath(i) from the tree's selection, shown compacted in
// lblCurrentFullPath(i). Reports its own failures ("306").
void DisplayCurrentPath(ui::Form& mainWindow, Integer structure);
// Check-box captions: label, ": ", the list's count (or the working word), ".".
void UpdateFirstLevelFoldersCaption(ui::Form& mainWindow, Integer structure);
void UpdateFirstLevelFilesCaption(ui::Form& mainWindow, Integer structure);
// The first-level lists of CurrentPath(i). Report their own failures ("307",
// "308"); a drive that is not ready disables Compare.
void FillFirstLevelFoldersList(ui::Form& mainWindow, Integer structure);
void FillFirstLevelFilesList(ui::Form& mainWindow, Integer structure);

} // namespace basGlobal
