#pragma once
// The seam between the window model and whatever shows it. The model never
// talks to a toolkit directly: message boxes, modal runs, the yield, timers,
// dialogs and help all go through the one installed Desktop, which is either
// a scripted one (tests) or QtDesktop (users).
//
// What a backend must do, beyond the calls below: install a ChangeObserver
// on every form it shows (Form::setObserver) to mirror property changes, and
// send every user action through ui::Input, which refuses input to controls
// that are disabled or hidden or not on the topmost modal form.

#include "ui/Types.h"

#include <QList>
#include <QString>

#include <stdexcept>

namespace ui {

class Form;
class Control;
class Menu;
class Timer;

// Message box styles the program uses (buttons + icon + default button).
enum MsgBoxStyle : int {
    vbCriticalOK = 16,              // OK, stop icon
    vbQuestionYesNo = 36,           // Yes/No, question icon, Yes is default
    vbExclamationOK = 48,           // OK, exclamation icon
    vbInformationOK = 64,           // OK, information icon
    vbQuestionYesNoDefNo = 292,     // Yes/No, question icon, No is default
    vbInformationRetryCancelDefCancel = 325, // Retry/Cancel, information icon, Cancel default
};

// Message box answers.
enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

// The buttons of a style, left to right (style & 7: 0 OK, 1 OK/Cancel,
// 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel).
QList<int> msgBoxButtons(int style);
// The default button (style & &H300 picks the first, second or third).
int msgBoxDefaultButton(int style);
// What Esc or the close box gives: Cancel when the box has it, OK for a
// lone OK box, 0 when the box cannot be escaped (Yes/No, Abort/Retry/Ignore).
int msgBoxEscapeButton(int style);
// The icon: 16 critical, 32 question, 48 exclamation, 64 information, 0 none.
inline int msgBoxIcon(int style) { return style & 0x70; }

// Thrown to end the program at once: no QueryUnload, no Unload, nothing saved.
// Only the application's outermost frame (or a test) catches it.
struct ProgramEnd {};

// Thrown to abandon whatever is running without it being the program's
// error: no trap reports it or turns it into an error number, every one lets
// it through to whoever started the run. The tests' scripted desktop fails
// this way when the program does something the script did not expect.
struct Abandon : std::runtime_error {
    explicit Abandon(const QString& why) : std::runtime_error(why.toStdString()), message(why) {}
    QString message;
};

enum class FileDialogKind { Open, Save, Folder };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QString title;
    QString initDir;
    QString fileName;
    QString defaultExt;
    QString filter;
    int flags = 0;
};

struct FileDialogResult {
    bool accepted = false;
    QString fileName;   // full logical path (a folder ends with "\")
};

struct PrinterDialogResult {
    bool accepted = false;
    QString printerName;
};

struct FetchResult {
    bool ok = false;
    QString text;
    int errorNumber = 0;
    QString errorDescription;
};

class Desktop {
public:
    virtual ~Desktop() = default;

    // Shows a message box owned by `owner` (nullptr: a plain system box) and
    // returns the button pressed (MsgBoxResult).
    virtual int messageBox(Form* owner, const QString& title, const QString& text, int style) = 0;

    // The one yield: lets pending events (input, timers, repaints) run.
    virtual void doEvents() = 0;

    // --- Forms ---------------------------------------------------------
    // Runs the modal wait of a form that Form::show(Modal) has just shown.
    // Returns once the form is no longer shown (Form::isShown() false: it was
    // hidden or unloaded) and control has unwound back here. Nested calls,
    // for the same form too (hide, then show modally again), must work.
    virtual void runModal(Form& form) = 0;
    virtual void formLoaded(Form&) {}
    virtual void formShown(Form&, bool /*modal*/) {}
    virtual void formHidden(Form&) {}
    virtual void formUnloaded(Form&) {}
    virtual void bringToFront(Form&) {}
    // Repaint now (Refresh). `control` nullptr: the whole form.
    virtual void refresh(Form&, Control* /*control*/) {}
    // The form's mouse pointer changed (hourglass 11, default 0).
    virtual void mousePointerChanged(Form&) {}

    // --- Timers ----------------------------------------------------------
    // Start (or restart, after a change of interval) / stop ticking a timer.
    virtual void timerStarted(Timer& timer) = 0;
    virtual void timerStopped(Timer& timer) = 0;

    // --- Menus and dialogs -------------------------------------------------
    // Pops up `menu` (a top-level menu, possibly hidden) and returns the item
    // chosen, or nullptr when the menu was dismissed. The model raises the
    // item's Click itself; the backend must not. `x`, `y` in twips on the form,
    // or -1 for the mouse position.
    virtual Menu* popupMenu(Form& owner, Menu& menu, int flags, int x, int y) = 0;
    virtual FileDialogResult fileDialog(Form* owner, const FileDialogRequest& request) = 0;
    virtual PrinterDialogResult printerDialog(Form* owner, int flags) = 0;

    // --- Help, sounds, text --------------------------------------------
    // A What's This pop-up with topic `topic` of help file `helpFile`.
    virtual void showHelp(Form* owner, const QString& helpFile, int topic) = 0;
    virtual void beep() = 0;
    virtual void messageBeep(int type) = 0;   // 0 default, 16 critical, 48 exclamation
    // Width in pixels of `text` drawn in `font`.
    virtual int measureTextPx(const Font& font, const QString& text) = 0;
    // Milliseconds on a clock that never goes back (how long the user paused
    // between two typed keys); its start means nothing.
    virtual qint64 elapsedMs() = 0;

    // --- Network -----------------------------------------------------------
    // Fetches a document; events keep flowing while it waits.
    virtual FetchResult openUrl(const QString& url, int timeoutSeconds) = 0;

    // Called by endProgram() just before ProgramEnd is thrown.
    virtual void programEnding() {}

    // The clipboard's text, for the edit keys of text boxes. The base keeps
    // its own (a headless desktop has no system clipboard).
    virtual QString clipboardText() { return clipboard_; }
    virtual void setClipboardText(const QString& text) { clipboard_ = text; }

private:
    QString clipboard_;
};

// The installed desktop. Exactly one is installed while the program runs.
Desktop& desktop();
void setDesktop(Desktop* d);
Desktop* installedDesktop();   // nullptr when none

// Ends the program at once (throws ProgramEnd after letting the desktop know).
[[noreturn]] void endProgram();
// True once endProgram() ran (until the next setDesktop).
bool programHasEnded();

// Shortcut for desktop().messageBox.
int msgBox(Form* owner, const QString& title, const QString& text, int style);

// The help file of the current language (App.HelpFile) used by context help.
const QString& helpFile();
void setHelpFile(const QString& file);

// Twips per screen pixel (15 at 96 dpi); the backend sets the real value.
int twipsPerPixel();
void setTwipsPerPixel(int tpp);

} // namespace ui
