#pragma once
// The print window: the page count in its caption, the destination (the
// printer, a plain text file, or both), Apply to keep the destination as the
// default, the main window's Page setup and Printer setup, and Print with
// its progress bar and Cancel printing. It opens modally over the results
// window and reads the results from there; the run itself is PrintEngine's.
// While a run holds the window locked only Cancel printing (or Esc), the
// progress bar and the close box (which refuses) stay live.

#include "results/PrintEngine.h"
#include "shared/ControlLock.h"
#include "ui/Form.h"


namespace results {

class frmCompare;

enum PrintHelpTopic : int {
    htFraPrintDestination = 93010,
    htPrintDestinationPrinter = 93020,
    htPrintDestinationFile = 93030,
    htPrintDestinationBoth = 93040,
    htPrint = 93050,
    htCancelPrinting = 93060,
    htPrintProgress = 93070,
    htPrintApply = 93080,
    htPrintPageSetup = 93090,
    htPrintPrinterSetup = 93100,
    htPrintCancel = 93110,
};

class frmPrint : public ui::Form, private PrintRunWindow {
public:
    frmPrint();

    // The results window the window prints from (set before it is shown).
    void setResults(frmCompare* results) { m_results = results; }

    ui::CommandButton* cmdPrint = nullptr;
    ui::Frame* fraPrintDestination = nullptr;
    ui::ControlArray<ui::OptionButton> optPrintDestination;
    ui::CommandButton* cmdApply = nullptr;
    ui::CommandButton* cmdPageSetup = nullptr;
    ui::CommandButton* cmdPrintSetup = nullptr;
    ui::CommandButton* cmdCancel = nullptr;
    ui::CommandButton* cmdCancelPrinting = nullptr;
    ui::ProgressBar* prbProgressBar = nullptr;
    ui::FormResizer* freeSizer1 = nullptr;

    // Pages of LinesPerPage - HeaderLinesPerPage rows: the ceiling of the
    // rows over that, 0 for no rows.
    basGlobal::Long cpCalculateTotalNumberOfPagesToPrint() const;
    // Locks the window for a run (only Cancel printing stays live);
    // unlocking gives each control its own state back.
    void cpDisableControls();
    void cpEnableControls();
    // current / total as a percentage (100 for a total below 1), clamped to
    // 0..100; the tool tip " n % ", n rounded half to even.
    void cpUpdateProgressBar(basGlobal::Long current, basGlobal::Long total);

    // The outcome of the last run (for whoever opened the window).
    PrintOutcome lastOutcome() const { return m_outcome; }

protected:
    void build() override;

private:
    void Form_Load();
    void Form_QueryUnload(bool& cancel, int unloadMode);
    void Form_KeyPress(int& keyAscii);
    void cmdPrint_Click();
    void cmdApply_Click();
    void cmdPageSetup_Click();
    void cmdPrintSetup_Click();
    void setCaptionWithPages();
    // The results it prints, as they stand.
    PrintSource printSource() const;
    void setPrinterCaptions();

    // PrintRunWindow
    ui::Form& runOwner() override { return *this; }
    int chosenDestination() const override;
    Long pageCount() override { return cpCalculateTotalNumberOfPagesToPrint(); }
    void lockForRun() override { cpDisableControls(); }
    void unlockAfterRun() override { cpEnableControls(); }
    void showProgress(Long current, Long total) override { cpUpdateProgressBar(current, total); }
    void showComplete() override;
    void closeAfterRun() override { unload(ui::vbFormCode); }

    frmCompare* m_results = nullptr;
    basGlobal::ControlLock m_lock;
    PrintOutcome m_outcome = PrintOutcome::DialogCancelled;
};

// The one print window.
frmPrint& PrintWindow();


} // namespace results
