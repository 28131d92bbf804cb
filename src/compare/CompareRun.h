#pragma once
// The comparison run: the one long operation of the results window.
//
// How the run is put together, and where each stage plugs in
// ------------------------------------------------------------
// frmCompare::cmdCompare_Click creates one CompareRun over itself (the
// window is the run's view, RunView.h) and calls execute().
// execute() does the set-up, then calls the stage groups in this order, and
// ends with the common exit:
//
//   RunLoadingStages(run)          LoadingStages.h      1 importing, 2 scanning, 3 preparing
//   RunEntryFilterStages(run)      EntryFilterStages.h  4 levels, 5 first-level folders,
//                                                       6 file types, 7 attributes,
//                                                       8 attribute filter, 9 common files,
//                                                       10 differences
//   RunAlignmentAndGridStages(run) AlignmentStages.h    11 folders, 12-13 folder alignment,
//                                                       14 fail-safe, 15 files, 16-18 grid
//
// Each group decides which of its stages run (run.settings()) and calls
// them in order; each stage is a free function taking the CompareRun.
// A stage uses only the frame's pieces below, by name:
//
//   run.openStage(Stage::X, total)   label in the current language, the yield
//                                    and cancel test, bar to 0, count 0, total
//   run.yieldAndCancelTest()         once per item of every loop
//   run.advanceProgress()            count + 1, then the bar (cpUpdateProgressBar)
//   run.updateProgress()             the bar from the count and total as they stand
//   run.removeEntries(i, flags)      the flagged entries of structure i to
//                                    lstExcluded(i) and out of its entries
//                                    (paths and values, EntryLists.h), in one pass
//   run.noFilesCheck(stageText)      after stages 2, 4, 5, 6 and 8
//   run.reportNoFiles(stageText, place) the per-structure variant of stages 9, 10
//   run.failSafeFailure(title, text) a failed check (the window closes)
//   run.view()                       what the run shows (RunView.h: labels, bars,
//                                    steps, messages, the grid it fills)
//   run.state()                      the shared run state (RunState below)
//   run.settings()                   what the run reads of the settings (RunSettings)
//
// Leaving the run: the yield test, the no-files check and the failure
// reports never return when the run must end; they throw RunLeave, which
// execute() catches. A stage therefore needs no exit code of its own, and it
// must not catch RunLeave. Run-time errors (platform::AppError, ui::UiError,
// standard exceptions) thrown by a stage are reported by execute() with the
// location code "315": Yes ends the program, No ends the run as a cancel
// does (going on after a failed step of a comparison gives no sound result).
//
// A structure's entries live in its EntryLists (EntryLists.h, which also
// tells how long they are kept). The later working lists (excluded entries,
// aligned folders, output rows) are list boxes of frmHiddenForm. None has an
// item limit, and every step is meant to stay linear in the number of
// entries: use removeEntries for filters that drop many entries.

#include "compare/RunView.h"
#include "shared/Messages.h"
#include "shared/basGlobal.h"
#include "ui/Types.h"

#include <QString>

#include <array>
#include <vector>

namespace compare {

// The stages, in run order. The first-level stage has two names.
enum class Stage {
    ImportingRemoteStructure,
    ScanningLocalStructure,
    PreparingLocalStructure,
    FilteringNumberOfLevels,
    IncludingFirstLevelFolders,
    ExcludingFirstLevelFolders,
    FilteringFileTypes,
    CollectingFileAttributes,
    FilteringFileAttributes,
    FilteringCommonFiles,
    FilteringDifferences,
    CollectingFolders,
    AligningPrimaryFolders,
    AligningSecondaryFolders,
    FailSafeCheck,
    AligningFiles,
    InitializingGrid,
    PopulatingGrid,
    FinalProcessing,
};

// The stage's name as its label shows it.
QString StageName(Stage stage, bool greek);
// The name a no-files message quotes: the label's name, except the scanning
// stage, whose message leaves out the note on the percentage.
QString StageMessageName(Stage stage, bool greek);

// Thrown to leave the run: through the common exit (a cancel) or past it
// (the window was unloaded after a no-files or failure message).
struct RunLeave {
    bool windowUnloaded = false;
};

// What a run reads of the program's settings, taken once when the run is
// made: the stages read nothing else of them, so a setting changed while
// the run yields never reaches it halfway.
struct RunSettings {
    bool greek = false;
    bool caseSensitive = false;
    bool failSafeChecks = true;
    int comparisonMode = 0;
    std::array<QString, 2> currentPath{};
    std::array<QString, 2> importedStructureFile{};
    int firstStructureToProcess = 0;
    int lastStructureToProcess = 0;
    int levelsLimit = 0;
    int folderSelectionState = 3;
    QString fileTypesPattern;
    // Files with each attribute kept: hidden, system, read-only, archive.
    std::array<bool, 4> includeAttributes{};
    bool commonFilesOnly = false;
    bool differencesOnly = false;
    QString dateFormatName;
    QString timeFormatName;
    std::array<basGlobal::Long, basGlobal::kGridColumns> gridColumnWidth{};

    static RunSettings fromGlobals();
};

// What the stages share.
struct RunState {
    // The structures read from disk: 0..1 by default; 1..1 when only the
    // Primary comes from a structure file, 0..0 when only the Secondary does,
    // -1..-1 when both do.
    int FirstLocalStructure = 0;
    int LastLocalStructure = 1;
    // The compared root of each structure, with its trailing "\".
    std::array<QString, 2> StructureRoot{};
    std::array<qsizetype, 2> StructureRootLength{};
    // Items done and to do in the current stage.
    qint64 progressCount = 0;
    qint64 progressTotal = 0;
    // Set by the final processing when any result row differs.
    bool StructuresDiffer = false;
    // Fixed at set-up.
    ui::Color grey = 0xE0E0E0;
    ui::Color white = 0xFFFFFF;
    ui::Color green = 0x00FF00;
    std::array<ui::Color, 2> sideTint{};

    bool anyLive() const { return FirstLocalStructure >= 0; }
};

class CompareRun {
public:
    explicit CompareRun(RunView& view);

    // Set-up, the stage groups, the common exit; the error handler "315".
    void execute();

    RunView& view() { return m_view; }
    RunState& state() { return m_state; }
    const RunSettings& settings() const { return m_settings; }

    // --- The frame's pieces ------------------------------------------------
    void openStage(Stage stage, qint64 total = 0);
    // Puts a stage's name into the label (the loading stages order the
    // opening steps themselves).
    void showStageName(Stage stage);
    void yieldAndCancelTest();
    void updateProgress();
    void advanceProgress();
    // The count advanced by n at once (the bar as n single steps leave it).
    void advanceProgress(qint64 n);
    // The per-item loop of a stage over n items, with the work batched: a
    // yield and cancel test per item as yieldAndCancelTest, and
    // work(from, to) doing items [from, to) (their progress included) just
    // before each hand-over that is due and once at the end. A hand-over
    // therefore sees exactly what an item-by-item loop shows there.
    template <class Work>
    void batchedItems(qint64 n, Work work)
    {
        qint64 done = 0;
        for (qint64 k = 0; k < n; ++k) {
            if (basGlobal::DoEventsDue()) {
                work(done, k);
                done = k;
                yieldAndCancelTest();
            }
        }
        work(done, n);
    }
    // Removes every entry k with remove[k] true, in one pass over the lists.
    void removeEntries(int structure, const std::vector<bool>& remove);
    void noFilesCheck(const QString& stageText);
    // "in the Primary Structure" ... for structure 0, 1, or 2 (both).
    static QString NoFilesPlace(int which, bool greek);
    [[noreturn]] void reportNoFiles(const QString& stageText, int which);
    [[noreturn]] void failSafeFailure(const QString& checkTitle, const QString& sentences);
    // A failure the user can act on (an unreadable folder, a damaged file):
    // the message, with "The comparison process failed.", then as a
    // fail-safe failure.
    [[noreturn]] void inputFailure(const QString& sentences);
    void commonExit();

private:
    void setUp();
    void releaseWork();
    [[noreturn]] void closeAfterMessage(const QString& title, const QString& text);

    RunView& m_view;
    const RunSettings m_settings;
    RunState m_state;
};

// Gives the memory freed so far back to the system (the working lists of a
// large run leave many megabytes free but still held by the process).
void ReturnFreeMemory();

// The failure sentence that ends every failure report.
QString ComparisonFailedText(bool greek);

} // namespace compare
