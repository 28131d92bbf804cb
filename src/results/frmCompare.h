#pragma once
// The results window: one comparison of the two structures runs here and
// its results are shown. It opens empty (paths shown, totals blank, grid and
// progress hidden, Print, Find and Next difference disabled); Compare runs
// the comparison once per opening (CompareRun.h); Cancel cancels it, or
// closes the window once it has ended (with the print reminder when due).
// Closing after a comparison keeps the nine column widths when the user
// asked for that.
//
// The structure tints are the main window's (basGlobal::StructureTintOf),
// the designed ones when no main window has set them. The window is the
// comparison's view (RunView.h).

#include "compare/RunView.h"
#include "ui/FlexGrid.h"
#include "ui/Form.h"

namespace results {


class frmCompare : public ui::Form, public compare::RunView {
public:
    // Context-help topics of the window's controls.
    enum HelpTopic : int {
        htCurrentFullPathPrimary = 50010,
        htCurrentFullPathSecondary = 50015,
        htTotalFoldersPrimary = 50020,
        htTotalFoldersSecondary = 50025,
        htTotalFilesPrimary = 50030,
        htTotalFilesSecondary = 50035,
        htProcessInProgress = 50040,
        htProgressBar = 50050,
        htElapsedTime = 50060,
        htCancel = 50070,
        htDisplayOrder = 50075,
        htReminder = 50080,
        htFind = 50090,
        htDisplayNextDifference = 50095,
        htPrint = 50100,
        htCompare = 50110,
        htResults = 50120,
    };

    frmCompare();

    ui::ControlArray<ui::Label> lblCurrentFullPath;
    ui::ControlArray<ui::Label> lblTotalFolders;
    ui::ControlArray<ui::Label> lblTotalFiles;
    ui::FlexGrid* grdResults = nullptr;
    ui::Label* lblProcessInProgress = nullptr;
    ui::ControlArray<ui::Label> lblStep;
    ui::ProgressBar* prbProgressBar = nullptr;
    ui::ProgressBar* prbSubProgressBar = nullptr;
    ui::Label* lblElapsedTime = nullptr;
    ui::CommandButton* cmdCancel = nullptr;
    ui::CommandButton* cmdDisplayOrder = nullptr;
    ui::CommandButton* cmdReminder = nullptr;
    ui::CommandButton* cmdFind = nullptr;
    ui::CommandButton* cmdDisplayNextDifference = nullptr;
    ui::CommandButton* cmdPrint = nullptr;
    ui::CommandButton* cmdCompare = nullptr;
    ui::Timer* Timer1 = nullptr;
    ui::Timer* Timer2 = nullptr;
    ui::Menu* mnuFile = nullptr;
    ui::Menu* mnuFileCompare = nullptr;
    ui::Menu* mnuFilePrint = nullptr;
    ui::Menu* mnuFileClose = nullptr;
    ui::Menu* mnuDifference = nullptr;
    ui::Menu* mnuDifferenceTopRow = nullptr;
    ui::Menu* mnuDifferenceHelp = nullptr;
    ui::Menu* mnuDifferenceCancel = nullptr;
    ui::FormResizer* freeSizer1 = nullptr;

    // The comparison (the window's Compare command).
    void cmdCompare_Click();
    // Cancels a running comparison (after the "Cancel processing" question)
    // or closes the window.
    void cmdCancel_Click();
    // The main and the second progress bar: percent of current over total
    // (100 when the total is below 1), clamped to 0..100, the fraction kept;
    // the tool tip " n % " with n rounded half to even.
    void cpUpdateProgressBar(qint64 current, qint64 total);
    void cpUpdateSubProgressBar(qint64 current, qint64 total);
    // One second of the elapsed-time clock.
    void Timer1_Timer();

    // The tint of structure i as the main window shows it.
    ui::Color structureTint(int i) const;

    // --- The run's view ------------------------------------------------------
    void runBegins() override;
    void runEnds(bool structuresDiffer) override;
    void runCancelled() override;
    void setStageText(const QString& text) override;
    QString stageText() const override;
    double progressValue() const override;
    void setProgressValue(double percent) override;
    void showProgress(qint64 current, qint64 total) override { cpUpdateProgressBar(current, total); }
    void showSubProgressBar(bool visible) override;
    void setSubProgressValue(double percent) override;
    void showSubProgress(qint64 current, qint64 total) override { cpUpdateSubProgressBar(current, total); }
    void showSteps(bool visible) override;
    void markSteps(int count) override;
    void yieldToUser() override;
    bool cancelRequested() const override;
    int showMessage(const QString& title, const QString& text, int style) override;
    QString title() const override { return caption(); }
    bool reportError(int number, const QString& description, const QString& location) override;
    ui::FlexGrid& grid() override { return *grdResults; }
    void showTotals(int structure, const QString& folders, const QString& files) override;

    // --- Working with the results (frmCompareTools.cpp) ----------------------
    // Next difference: from the row after CurrentDifferenceRow down to the
    // next row whose two sides differ; the found Primary name cell flashes.
    void cmdDisplayNextDifference_Click();
    // The right button pops up the Difference menu.
    void cmdDisplayNextDifference_MouseUp(int button, int shift, int x, int y);
    // The next search starts at the row shown at the top of the view.
    void mnuDifferenceTopRow_Click();
    // One tick of the flash clock.
    void Timer2_Timer();
    // Toggles the flashed cell red and back; the eleventh tick ends the flash.
    void cpFlashBackgroundColor();
    // Ends a running flash at once, the cell back in its own colour. Every
    // tool that reads or paints cells, and the closing, runs it first.
    void cpEndFlash();
    // The flashed cell, or (-1, -1) when no flash runs.
    int flashRow() const { return flashRow_; }
    int flashCol() const { return flashCol_; }
    // A click on the headings or the marker column restores the default
    // widths; on a result cell it explains that row.
    void grdResults_MouseUp(int button, int shift, int x, int y);
    // Where each structure lives: this computer, or an exported file.
    void cmdReminder_Click();
    // Open the Find and Print windows (through the window hooks).
    void cmdFind_Click();
    void cmdPrint_Click();
    // True while one of the commands above runs: the others are ignored and
    // a close from the control menu is refused meanwhile.
    bool commandBusy() const { return commandBusy_; }

protected:
    void build() override;

private:
    friend class ToolCommand;
    void buildMenus();
    void wireResultTools();
    // Opens Find or Print over the results while no other command runs;
    // false when it did not open or the results window closed meanwhile.
    bool openToolWindow(const ui::CommandButton& button, void (*open)(frmCompare&));
    int flashRow_ = -1;
    int flashCol_ = -1;
    bool commandBusy_ = false;
    void Form_Load();
    void Form_QueryUnload(bool& cancel, int unloadMode);
    void Form_Unload(bool& cancel);
    void saveColumnWidths();
    void Form_KeyPress(int& keyAscii);
};

// The program's results window (created on first use, loaded by the main
// window's Compare).
frmCompare& CompareWindow();

// The Reminder's text: where each structure lives in comparison mode 0
// (both live) or 1 (off line; a structure with an imported file is named
// by it); "" for any other mode.
QString ReminderText(int comparisonMode, const QString& primaryFile, const QString& secondaryFile, bool greek);

} // namespace results
