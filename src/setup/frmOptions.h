#pragma once
// The Options window: every comparison and display setting, edited on
// copies. The load shows the settings in force; OK takes the controls over
// for the rest of the run, Apply takes them over and writes them to the INI
// file (the 22 General and FileAttributes keys), Cancel takes nothing.
//
// The load relies on the change handlers firing when it sets a value: the
// number-of-levels option enables its field, the tool-tip box rewrites the
// path tool tips. Only the resize-font box is kept quiet during the load,
// through its tag "internaloperation".
//
// Entry point for the main window (Tools > Options, the Options button,
// and Compare while ShowOptionsBeforeComparison holds):
//
//     setup::ShowOptionsWindow();   // loads afresh, modal, returns when closed
//
// The caller keeps its own pointer, CancelRequested and repaint duties.

#include "shared/ErrorTrap.h"
#include "ui/Form.h"

#include <functional>
#include <vector>

namespace setup {

// Context-help topics of the window's controls.
enum OptionsHelpTopic : int {
    htInitialPaths = 96010,
    htBrowsePrimary = 96020,
    htBrowseSecondary = 96025,
    htInitialPathPrimary = 96030,
    htInitialPathSecondary = 96035,
    htNoToolTipPathNames = 96040,
    htResizeFont = 96045,
    htDisplayOptions = 96050,
    htOK = 96060,
    htApply = 96070,
    htCancel = 96080,
    htReset = 96090,
    htFileAttributes = 96210,
    htHidden = 96220,
    htSystem = 96230,
    htReadOnly = 96240,
    htArchive = 96250,
    htFilePatternAll = 96260,
    htFilePattern = 96270,
    htNumberOfLevels = 96280,
    htAllLevels = 96290,
    htFirstLevel = 96300,
    htSpecificNumber = 96310,
    htNumberOfLevelsText = 96320,
    htNumberOfLevelsUpDown = 96330,
    htDateFormat = 96340,
    htDateShort = 96350,
    htDateLong = 96360,
    htTimeFormat = 96370,
    htTimeShort = 96380,
    htTimeLong = 96390,
    htComparison = 96400,
    htLocalComputer = 96410,
    htOffLine = 96420,
    htPreparation = 96430,
    htCompareOnlyTheCommonFiles = 96440,
    htDisplayOnlyTheDifferences = 96450,
    htAbilityToExcludeFolders = 96460,
    htSaveGridColumnWidths = 96470,
    htDisplayElapsedTime = 96480,
    htRemindMeToPrint = 96490,
    htExtendedInfo = 96500,
    htFailSafe = 96510,
    htDisplayOrder = 50075,
};

// The tag that keeps the resize-font box quiet while the load sets it.
inline const QString kInternalOperationTag = QStringLiteral("internaloperation");

class frmOptions : public ui::Form {
public:
    frmOptions();

    ui::Frame* fraInitialPaths = nullptr;
    ui::ControlArray<ui::Label> lblInitialPath;
    ui::ControlArray<ui::CommandButton> cmdBrowseForInitialPath;
    ui::Frame* fraFileAttributes = nullptr;
    ui::ControlArray<ui::CheckBox> chkFileAttributes;   // 1 Hidden, 2 System, 3 Read only, 4 Archive; 0 unused
    ui::Label* lblFilePattern = nullptr;
    ui::TextBox* txtFilePattern = nullptr;
    ui::CommandButton* cmdFilePatternAll = nullptr;
    ui::Frame* fraNumberOfLevels = nullptr;
    ui::ControlArray<ui::OptionButton> optNumberOfLevels;   // 0 all, 1 first only, 2 specific
    ui::TextBox* txtNumberOfLevels = nullptr;
    ui::UpDown* updNumberOfLevels = nullptr;
    ui::Frame* fraDateFormat = nullptr;
    ui::ControlArray<ui::OptionButton> optDateFormat;       // 0 short, 1 long
    ui::Frame* fraTimeFormat = nullptr;
    ui::ControlArray<ui::OptionButton> optTimeFormat;       // 0 short, 1 long
    ui::Frame* fraComparison = nullptr;
    ui::ControlArray<ui::OptionButton> optComparison;       // the comparison mode
    ui::CheckBox* chkCompareOnlyTheCommonFiles = nullptr;
    ui::CheckBox* chkDisplayOnlyTheDifferences = nullptr;
    ui::CheckBox* chkAbilityToExcludeFolders = nullptr;
    ui::CheckBox* chkSaveGridColumnWidths = nullptr;
    ui::CheckBox* chkDisplayElapsedTime = nullptr;
    ui::CheckBox* chkRemindMeToPrint = nullptr;
    ui::CheckBox* chkNoToolTipPathNames = nullptr;
    ui::CheckBox* chkExtendedInfo = nullptr;
    ui::CheckBox* chkFailSafe = nullptr;
    ui::CheckBox* chkResizeFont = nullptr;
    ui::CheckBox* chkDisplayOptions = nullptr;
    ui::CommandButton* cmdReset = nullptr;
    ui::CommandButton* cmdCancel = nullptr;
    ui::CommandButton* cmdDisplayOrder = nullptr;
    ui::CommandButton* cmdApply = nullptr;
    ui::CommandButton* cmdOK = nullptr;
    ui::Label* lblInitialPathAuxiliary = nullptr;   // never shown: the width paths are fitted to
    ui::FormResizer* freeSizer1 = nullptr;

protected:
    void build() override;

private:
    void buildControls();
    void wireHandlers();
    void setCaptions();
    void Form_Load();

    // Number of levels and file pattern input rules.
    void optNumberOfLevels_Click(int index);
    void txtNumberOfLevels_KeyPress(int& keyAscii);
    void txtNumberOfLevels_Change();
    void txtNumberOfLevels_LostFocus();
    void updNumberOfLevels_Change();
    void txtFilePattern_LostFocus();

    // Commands.
    void cmdApply_Click();
    void cmdOK_Click();
    void cmdReset_Click();
    void cmdBrowseForInitialPath_Click(int index);
    void chkNoToolTipPathNames_Click();
    void chkResizeFont_Click();

    // Finishes an edit still open in a text box, as leaving it would.
    void finishFieldEdits(ui::CommandButton& pressed);
    // Takes every setting from the controls, in order; each step through
    // the trap when one is given.
    void takeSettings(basGlobal::ErrorTrap* trap);
    void showPendingPath(int index);
    void enableCancel() { cmdCancel->setEnabled(true); }

    bool syncingUpDown_ = false;
};

// The Options window (created on first use).
frmOptions& OptionsWindow();

// Loads the Options window afresh and shows it modally; returns once it has
// closed. The settings are then as OK, Apply or Cancel left them.
void ShowOptionsWindow();

} // namespace setup
