#pragma once
// A desktop without a screen, for tests. Everything a user would answer is
// answered from queues the test fills beforehand, everything shown is kept
// in a transcript, and time is a virtual clock.
//
// - Message boxes: expectMsgBox(title, text, style, answer), taken in order.
//   A box that does not match the head of the queue (or comes when the queue
//   is empty), or an answer that is not one of the box's buttons, fails.
// - Modal forms: onModal(formName, script) scripts are taken FIFO per form
//   name and run while that form is shown modally, in the caller's stack (a
//   script may open further modal forms). A modal form without a script
//   fails, naming it. When the script returns and its form is still shown,
//   the run fails "modal left open", unless the script was registered with
//   AutoClose: then the close box is used (QueryUnload mode 0) and, if that
//   is refused, it fails.
// - File and folder dialogs and pop-up menus are answered from their own
//   queues; an unexpected one fails, as does every printer dialog and URL
//   fetch.
// - Timers run on a virtual clock that moves only inside desktop calls:
//   advance(ms) jumps (a timer whose period was covered several times ticks
//   once: ticks coalesce), advanceStepwise(ms) delivers every tick, and each
//   doEvents() runs the timers that are due, then the triggers. elapsedMs()
//   reads that clock.
// - Triggers: onYield(predicate, action) runs action at the first doEvents
//   where predicate holds (once; `repeat` keeps it); onYieldNumber(n, action)
//   at the n-th doEvents (counted from construction or resetYieldCount()).
//   A doEvents nested inside a running trigger does not run that trigger.
// - measureTextPx: every UTF-16 unit is ceil(size * 4/3 * 0.55) pixels wide
//   (0.6 for bold); 6 px for Verdana 7.8, 7 px bold.
//
// A failure throws HeadlessFailure; every failure is also kept in failures().

#include "ui/Desktop.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QStringList>
#include <deque>
#include <vector>
#include <functional>
#include <memory>
#include <utility>

namespace ui {

// Abandons the run: the program's error traps let it through to the test.
struct HeadlessFailure : Abandon {
    explicit HeadlessFailure(const QString& text) : Abandon(text) {}
};

class HeadlessDesktop : public Desktop {
public:
    enum class ModalEnd { MustClose, AutoClose };
    using Script = std::function<void(Form&)>;

    struct Entry {
        enum Kind { MessageBox, ModalOpen, ModalClose, FormShown, FormHidden, FormUnloaded, Help,
                    Beep, MessageBeep, FileDialog, Popup, PointerChange, End };
        Kind kind;
        QString form;      // owner / form name ("" for none)
        QString title;     // box title, dialog title, popup menu name, URL, help file
        QString text;      // box text, dialog answer, chosen item
        int style = 0;     // box style, help topic, beep type, pointer
        int answer = 0;    // box answer; 1/0 accepted for dialogs
    };

    HeadlessDesktop();
    ~HeadlessDesktop() override;

    // Installs itself as ui::desktop() and the Input refusal handler.
    void install();

    // --- Failures ----------------------------------------------------------
    [[noreturn]] void fail(const QString& text);
    const QStringList& failures() const { return failures_; }

    // --- Message boxes -----------------------------------------------------
    void expectMsgBox(const QString& title, const QString& text, int style, int answer);
    // Text matched as a substring (long texts joined from pieces).
    void expectMsgBoxContaining(const QString& title, const QString& textPart, int style, int answer);
    int pendingMsgBoxes() const { return int(boxes_.size()); }
    // A box that may appear any number of times, or not at all (for tests
    // about something else, such as a closing notice). Expected boxes are
    // matched first.
    void allowMsgBox(const QString& title, const QString& text, int style, int answer);

    // --- Modal forms ---------------------------------------------------------
    void onModal(const QString& formName, Script script, ModalEnd end = ModalEnd::MustClose);
    int pendingModalScripts() const;

    // --- Dialogs, pop-ups -----------------------------------------------------
    void answerOpen(const QString& path);
    void answerSave(const QString& path);
    void answerFolder(const QString& folder);
    void cancelFileDialog(FileDialogKind kind);
    // The pop-up of menu `menuName` is answered with item `itemName` ("" dismisses).
    void answerPopup(const QString& menuName, const QString& itemName);
    const QList<FileDialogRequest>& fileDialogRequests() const { return fileRequests_; }

    // --- Clock, yields ---------------------------------------------------------
    void advance(qint64 ms);
    void advanceStepwise(qint64 ms);
    int yieldCount() const { return yields_; }
    void resetYieldCount() { yields_ = 0; }
    void onYield(std::function<bool()> predicate, std::function<void()> action, bool repeat = false);
    void onYieldNumber(int n, std::function<void()> action);
    bool timerRunning(const Timer& t) const { return timers_.contains(&t); }

    // --- Transcript ------------------------------------------------------------
    const QList<Entry>& transcript() const { return transcript_; }
    QList<Entry> entries(Entry::Kind kind) const;
    // One line per entry, for golden comparisons and failure messages.
    QStringList transcriptLines() const;
    void clearTranscript() { transcript_.clear(); }

    // --- Desktop -----------------------------------------------------------------
    int messageBox(Form* owner, const QString& title, const QString& text, int style) override;
    void doEvents() override;
    void runModal(Form& form) override;
    void formShown(Form& f, bool modal) override;
    void formHidden(Form& f) override;
    void formUnloaded(Form& f) override;
    void mousePointerChanged(Form& f) override;
    void timerStarted(Timer& timer) override;
    void timerStopped(Timer& timer) override;
    Menu* popupMenu(Form& owner, Menu& menu, int flags, int x, int y) override;
    FileDialogResult fileDialog(Form* owner, const FileDialogRequest& request) override;
    PrinterDialogResult printerDialog(Form* owner, int flags) override;
    void showHelp(Form* owner, const QString& helpFile, int topic) override;
    void beep() override;
    void messageBeep(int type) override;
    int measureTextPx(const Font& font, const QString& text) override;
    qint64 elapsedMs() override { return now_; }
    FetchResult openUrl(const QString& url, int timeoutSeconds) override;
    void programEnding() override;

private:
    struct BoxExpectation { QString title, text; int style; int answer; bool containing; };
    struct ModalScript { Script script; ModalEnd end; };
    struct FileAnswer { FileDialogKind kind; bool accepted; QString path; };
    struct Trigger { std::function<bool()> predicate; std::function<void()> action; bool repeat; int number; bool running = false; bool done = false; };
    struct TimerState { qint64 interval; qint64 due; };

    void record(Entry e) { transcript_.append(std::move(e)); }
    void fireDue(qint64 until, bool coalesce);
    void runTriggers();

    QStringList failures_;
    std::deque<BoxExpectation> boxes_;
    std::vector<BoxExpectation> allowedBoxes_;
    QHash<QString, std::deque<ModalScript>> scripts_;
    std::deque<FileAnswer> fileAnswers_;
    std::deque<std::pair<QString, QString>> popupAnswers_;
    QList<FileDialogRequest> fileRequests_;
    QMap<const Timer*, TimerState> timers_;
    qint64 now_ = 0;
    int yields_ = 0;
    std::vector<std::shared_ptr<Trigger>> triggers_;
    QList<Entry> transcript_;
};

// A desktop on which something happens while the next message box is up
// (a file changed while a question waits for its answer).
struct MeanwhileDesktop : HeadlessDesktop {
    std::function<void()> meanwhile;
    int messageBox(Form* owner, const QString& title, const QString& text, int style) override
    {
        if (meanwhile)
            std::exchange(meanwhile, {})();
        return HeadlessDesktop::messageBox(owner, title, text, style);
    }
};

} // namespace ui
