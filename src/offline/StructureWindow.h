#pragma once
// What the structure export and import windows share: the choice of the
// structures (Primary, Secondary or both) with Apply, the progress bar and
// its percentage tip, the elapsed-time clock, the Cancel/Close command, the
// refusal to close from the control menu while the window's run goes on,
// and the keeping and disabling of the controls while it runs.
//
// Each window gives its differences as one WindowTexts table; the run that
// belongs to each window (export or check) lives in its own class.

#include "shared/ControlLock.h"
#include "shared/basGlobal.h"
#include "ui/Form.h"

#include <array>

namespace offline {

// What differs between the two windows besides their own controls.
struct WindowTexts {
    const char16_t* captionEnglish;
    const char16_t* captionGreek;
    const char16_t* startEnglish;      // the command that starts the run
    const char16_t* startGreek;
    const char* startName;             // its control name
    const char* fileLabelName;         // lblOutputFile / lblInputFile
    const char* iniKey;                // General/<key> of the selection
    basGlobal::Integer basGlobal::Globals::*selection;
    bool basGlobal::Globals::*inProgress;
    const char* loadCode;              // error location codes
    const char* applyCode;
    // Help topics: file labels (2), frame, options (3), bar, clock, Cancel, Apply, start.
    std::array<int, 11> helpTopics;
};

class StructureWindow : public ui::Form {
public:
    StructureWindow(const QString& name, const WindowTexts& texts);

    ui::Frame* fraStructureSelection = nullptr;
    ui::ControlArray<ui::OptionButton> optStructureSelection;
    ui::CommandButton* cmdApply = nullptr;
    ui::CommandButton* cmdCancel = nullptr;
    ui::CommandButton* cmdStart = nullptr;          // Export structure / Integrity check
    ui::ControlArray<ui::Label> lblFile;            // lblOutputFile / lblInputFile
    ui::ProgressBar* prbProgressBar = nullptr;
    ui::Label* lblElapsedTime = nullptr;
    ui::Timer* Timer1 = nullptr;
    ui::FormResizer* freeSizer1 = nullptr;

    // Keeps each control's Enabled state and disables it: every control but
    // menus, labels, progress bars and the resizer.
    void cpDisableControls();
    // Gives back what cpDisableControls kept.
    void cpEnableControls();
    // Percent of current over total (100 when total is below 1), clamped to
    // 0..100 with its fraction; the tip " n % ", n rounded half to even.
    void cpUpdateProgressBar(qint64 current, qint64 total);
    // One second of the clock.
    void Timer1_Timer();
    void cmdApply_Click();
    void cmdCancel_Click();

    // The selected option's index (0 Primary, 1 Secondary, 2 both).
    int selectedStructures() const;
    // The caption as a message title.
    const QString& title() const { return caption(); }

protected:
    void build() override;
    // Places the shared controls: the option frame at `frameTop`, the bar at
    // `barTop` and the buttons below it, in a window `width` twips wide.
    void buildShared(int frameTop, int barTop, int width);
    // The window's own controls, its Load steps and the start command.
    virtual void buildOwn() = 0;
    virtual void loadOwn() = 0;
    virtual void start() = 0;

    // The beginning of every run: the controls kept and disabled, the cancel
    // request cleared, the run flagged, Cancel enabled and the clock started.
    void beginRun();
    // The clock stopped and the run flag cleared.
    void endRun();
    // A yield, then whether the user confirmed a cancel.
    static bool yieldCancelled();
    // The tint of structure i as the main window shows it.
    static ui::Color structureTint(int i);
    void setCancelCaption(bool close);

private:
    void Form_Load();
    void Form_QueryUnload(bool& cancel, int unloadMode);

    const WindowTexts& m_texts;
    basGlobal::ControlLock m_lock;
};

// A count with the system's digit grouping ("#,###,##0").
QString GroupedCount(qint64 count);

} // namespace offline
