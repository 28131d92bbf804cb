#pragma once
// The main window: the two structures side by side (Primary on the left,
// Secondary on the right), each with its selector, name, current path, folder
// tree and first-level lists, below a row of icon buttons and the menu bar.
//
// The window is the program's start-up object: its Load reads the settings,
// refuses a second copy and shows both structures at their initial paths; its
// form resizer's notification shows it. Closing it (Exit, the end button, the
// close box) may first move the INI file aside when a reset was asked for, and
// ends the program.
//
// Captions and tool tips come from SetApplicationLanguage in the language of
// the moment; the controls' names, places, tints and help topics are set here.
#include "shared/basGlobal.h"
#include "shared/ErrorTrap.h"
#include "ui/Form.h"
#include "ui/ListBox.h"
#include "ui/TreeView.h"

#include <functional>

namespace mainwindow {

using basGlobal::kStructureTint;
// Selector colours of the current structure's option button, and of the other one.
inline constexpr ui::Color kStructureSelectorColour[2] = {0x80C0FF, 0xFFFF80};
inline constexpr ui::Color kUnselectedSelectorColour = 0xE0E0E0;

// Context-help topics of the main window's controls, per language file.
// A per-structure control has one topic for both of its elements.
enum HelpTopic : int {
    htCompare = 1001, htCopyright, htEndApplication, htHelp, htMapNetworkDrive, htUnMapNetworkDrive,
    htOptions, htPageSetup, htPrintSetup, htRecallSavedPath, htRefresh, htSavePath, htSettings,
    htUpOneLevel, htLanguage, htStructureSelector, htDisplayFirstLevelFolders, htDisplayFirstLevelFiles,
    htStructureName, htCurrentPathCaption, htCurrentFullPath, htFirstLevelFolders, htFirstLevelFiles,
    htStructureTree,
};

class frmMain : public ui::Form {
public:
    frmMain();

    // Whether another copy of the program runs (the application object's
    // previous-instance lock unless replaced).
    std::function<bool()> anotherCopyRunning;
    // Told the language whenever it is set (the desktop's message-box buttons
    // follow it).
    std::function<void(bool greek)> languageChanged;

    // --- Event handlers (also pressed from code) ---------------------------
    void Form_Load();
    void freeSizer1_ResizeDone();
    void Form_QueryUnload(bool& cancel, int unloadMode);
    void Form_Unload(bool& cancel);
    void Form_KeyDown(int& keyCode, int shift);
    void mnuFileExit_Click();
    void optStructure_Click(int index);
    void cmdLanguage_Click(int index);
    void mnuToolsGreek_Click();
    void mnuToolsEnglish_Click();
    void chkDisplayFirstLevelFolders_Click(int index);
    void chkDisplayFirstLevelFiles_Click(int index);
    void tvwStructure_Expand(int index, ui::TreeNode* node);
    void tvwStructure_NodeClick(int index, ui::TreeNode* node);
    void tvwStructure_Collapse(int index, ui::TreeNode* node);
    void cmdUpOneLevel_Click();
    void mnuToolsUpOneLevel_Click();
    void mnuToolsRefresh_Click();
    void cmdRefresh_Click();
    void lstFirstLevelFolders_Click(int index);
    void lstFirstLevelFiles_Click(int index);
    void lstFirstLevelFolders_MouseMove(int index, int button, int shift, int x, int y);
    void lstFirstLevelFiles_MouseMove(int index, int button, int shift, int x, int y);
    void cmdSavePath_Click();
    void cmdRecallSavedPath_Click();
    void mnuSavePath_Click();
    void mnuRecallPath_Click();
    void mnuSavePathHelp_Click();
    void mnuRecallPathHelp_Click();
    void mnuSavePathRecent_Click();
    void mnuSavePathInitial_Click();
    void mnuRecallPathRecent_Click();
    void mnuRecallPathInitial_Click();
    void cmdCompare_Click();
    void mnuToolsStartProcessing_Click();
    void cmdSettings_Click();
    void mnuSettings_Click();
    void mnuSettingsHelp_Click();
    void mnuSettingsExport_Click();
    void mnuSettingsImport_Click();
    void mnuFilePageSetup_Click();
    void mnuFilePrintSetup_Click();
    void mnuHelpAbout_Click();
    void mnuHelpTips_Click();
    void mnuToolsFactorySettings_Click();
    void mnuToolsUpdatedVersion_Click();
    void mnuToolsOptions_Click();
    void mnuToolsMapNetworkDrive_Click();
    void mnuToolsUnMapNetworkDrive_Click();

    // --- Icon buttons ---------------------------------------------------
    ui::CommandButton* cmdCompare = nullptr;
    ui::CommandButton* cmdCopyright = nullptr;
    ui::CommandButton* cmdEndApplication = nullptr;
    ui::CommandButton* cmdHelp = nullptr;
    ui::CommandButton* cmdMapNetworkDrive = nullptr;
    ui::CommandButton* cmdUnMapNetworkDrive = nullptr;
    ui::CommandButton* cmdOptions = nullptr;
    ui::CommandButton* cmdPageSetup = nullptr;
    ui::CommandButton* cmdPrintSetup = nullptr;
    ui::CommandButton* cmdRecallSavedPath = nullptr;
    ui::CommandButton* cmdRefresh = nullptr;
    ui::CommandButton* cmdSavePath = nullptr;
    ui::CommandButton* cmdSettings = nullptr;
    ui::CommandButton* cmdUpOneLevel = nullptr;
    ui::ControlArray<ui::CommandButton> cmdLanguage;   // 0 Greek, 1 English

    // --- Per structure (0 Primary, 1 Secondary) ------------------------------
    ui::ControlArray<ui::OptionButton> optStructure;
    ui::ControlArray<ui::Label> lblStructure;
    ui::ControlArray<ui::Label> lblCurrentPath;
    ui::ControlArray<ui::Label> lblCurrentFullPath;
    ui::ControlArray<ui::TreeView> tvwStructure;
    ui::ControlArray<ui::CheckBox> chkDisplayFirstLevelFolders;
    ui::ControlArray<ui::ListBox> lstFirstLevelFolders;
    ui::ControlArray<ui::CheckBox> chkDisplayFirstLevelFiles;
    ui::ControlArray<ui::ListBox> lstFirstLevelFiles;

    ui::FormResizer* freeSizer1 = nullptr;

    // --- Menus ---------------------------------------------------------------
    ui::Menu* mnuFile = nullptr;
    ui::Menu* mnuFilePageSetup = nullptr;
    ui::Menu* mnuFilePrintSetup = nullptr;
    ui::Menu* mnuFileExit = nullptr;
    ui::Menu* mnuSavePath = nullptr;
    ui::Menu* mnuSavePathRecent = nullptr;
    ui::Menu* mnuSavePathInitial = nullptr;
    ui::Menu* mnuSavePathHelp = nullptr;
    ui::Menu* mnuSavePathCancel = nullptr;
    ui::Menu* mnuRecallPath = nullptr;
    ui::Menu* mnuRecallPathRecent = nullptr;
    ui::Menu* mnuRecallPathInitial = nullptr;
    ui::Menu* mnuRecallPathHelp = nullptr;
    ui::Menu* mnuRecallPathCancel = nullptr;
    ui::Menu* mnuTools = nullptr;
    ui::Menu* mnuToolsRefresh = nullptr;
    ui::Menu* mnuToolsUpOneLevel = nullptr;
    ui::Menu* mnuToolsMapNetworkDrive = nullptr;
    ui::Menu* mnuToolsUnMapNetworkDrive = nullptr;
    ui::Menu* mnuToolsEnglish = nullptr;
    ui::Menu* mnuToolsGreek = nullptr;
    ui::Menu* mnuToolsOptions = nullptr;
    ui::Menu* mnuToolsFactorySettings = nullptr;
    ui::Menu* mnuToolsUpdatedVersion = nullptr;
    ui::Menu* mnuToolsStartProcessing = nullptr;
    ui::Menu* mnuSettings = nullptr;
    ui::Menu* mnuSettingsImport = nullptr;
    ui::Menu* mnuSettingsExport = nullptr;
    ui::Menu* mnuSettingsHelp = nullptr;
    ui::Menu* mnuSettingsCancel = nullptr;
    ui::Menu* mnuHelp = nullptr;
    ui::Menu* mnuHelpTips = nullptr;
    ui::Menu* mnuHelpAbout = nullptr;

protected:
    void build() override;

private:
    void buildMenus();
    void buildButtons();
    void buildStructure(int i);
    void wireEvents();
    void wireSavedPathEvents();
    void wireCommandEvents();
    // Every window the main window opens goes the same way: the hourglass
    // while it loads and runs, the normal pointer (also when it fails), and
    // the main window back in front and repainted.
    void withHourglass(const std::function<void()>& open);
    // Loads `window` and shows it modally that way.
    void openModal(ui::Form& window);
    // A menu popped up from its button offers Help and Cancel; the same menu
    // opened from the menu bar shows them greyed.
    void popUpFromButton(ui::Menu& menu, ui::Menu& help, ui::Menu& cancel, bool& fromButton);
    static void menuOpened(ui::Menu& help, ui::Menu& cancel, bool fromButton);
    // Adds the sub-folder count of structure i's current folder; false (after
    // a plain message) when the folder has gone.
    bool countLiveFolders(int structure, basGlobal::Long& total);
    void networkDriveCommand(bool map);
    // Lets the windows below reach the main window's commands.
    void installWindowHooks();
    // The windows of the other subsystems.
    void openOptionsWindow();
    void openImportWindow();
    void openExportWindow();
    void runFolderInclusion();
    static basGlobal::Long ExportedFirstLevelFolderCount(const QString& file);
    // Selects `path` in structure s's tree; the current path becomes what
    // the tree selected, also when it raises the failure.
    void restorePath(int s, const QString& path);
    void readSettings(basGlobal::ErrorTrap& trap);
    void displayFirstLevel(int structure, bool files, bool checked);
    void showStructure(int structure);

    bool busy_ = false;   // a command that yields is running
};


} // namespace mainwindow
