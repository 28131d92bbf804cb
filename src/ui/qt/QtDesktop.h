#pragma once
// The desktop that shows the window model on a real screen with Qt Widgets.
//
// - A form gets its window the first time it is shown (a working form that
//   is only loaded never costs a widget); the window mirrors the form
//   through its change observer and sends every user action through
//   ui::Input, the path the headless tests use.
// - Every window is tied to the window it is opened from (FormWindow::
//   setOwner): the newest modal level of another form, else the active
//   window. Every showing of a hidden window places it over that owner,
//   where the owner stands now, unless the program placed the form itself
//   (FormWindow::placeForShow).
// - Without a window manager nobody hands the keyboard back: when a box, a
//   dialog or a window that had it closes, the window under it takes it. Modal forms run a nested QEventLoop per modal level, with
//   application modality; raising a window never buries a modal window
//   that blocks it, with or without a window manager. A level ends only when the model says the form is no longer
//   shown; a form that hides itself and is shown modally again from the same
//   handler nests a second level, and its opener keeps waiting.
// - Message boxes: QMessageBox with the buttons, icon, default and escape
//   button of the style; the captions follow setGreekButtons().
// - Context help: the topic's text from the help file named by
//   ui::helpFile(), in a What's This pop-up (format: HelpFile.h).
//
// Install it once, after the QApplication exists: `QtDesktop d; d.install();`.

#include "ui/Desktop.h"
#include "ui/qt/HelpFile.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QDialog;
class QEventLoop;
class QTimer;
class QWidget;

namespace ui::qt {

class FormWindow;

class QtDesktop : public QObject, public Desktop {
    Q_OBJECT
public:
    QtDesktop();
    ~QtDesktop() override;

    // Becomes ui::desktop(), sets the twips per pixel of the screen's logical
    // DPI, and lets refused input pass silently (a click on a blocked window
    // is no error on a real screen).
    void install();

    // Message-box button captions in Greek ("Ναι", "Όχι", "Άκυρο",
    // "Επανάληψη", "OK") or English. The main window calls this whenever the
    // program's language is set.
    void setGreekButtons(bool greek) { greek_ = greek; }
    bool greekButtons() const { return greek_; }

    // Called (from the event loop) with every message box, file or printer
    // dialog and pop-up menu once it is up, before the user could act on it.
    // Tests answer through it by pressing a button or choosing an action.
    void setDialogHook(std::function<void(QWidget*)> hook) { dialogHook_ = std::move(hook); }

    // Whether ending the program also leaves QApplication::exec (default on).
    void setQuitOnEnd(bool on) { quitOnEnd_ = on; }

    // The window of a form (nullptr when it was never shown or is unloaded).
    FormWindow* window(const Form& form) const;
    // The text of the last help pop-up ("" when the topic had none).
    const QString& lastHelpText() const { return lastHelp_; }
    // Modal levels running now.
    int modalDepth() const { return int(modal_.size()); }

    // Twips <-> pixels at the logical DPI.
    static int px(int twips);
    static int twips(int px);

    // --- Desktop ---------------------------------------------------------
    int messageBox(Form* owner, const QString& title, const QString& text, int style) override;
    void doEvents() override;
    void runModal(Form& form) override;
    void formShown(Form& form, bool modal) override;
    void formHidden(Form& form) override;
    void formUnloaded(Form& form) override;
    void bringToFront(Form& form) override;
    void refresh(Form& form, Control* control) override;
    void mousePointerChanged(Form& form) override;
    void timerStarted(Timer& timer) override;
    void timerStopped(Timer& timer) override;
    Menu* popupMenu(Form& owner, Menu& menu, int flags, int x, int y) override;
    FileDialogResult fileDialog(Form* owner, const FileDialogRequest& request) override;
    PrinterDialogResult printerDialog(Form* owner, int flags) override;
    void showHelp(Form* owner, const QString& helpFile, int topic) override;
    void beep() override;
    void messageBeep(int type) override;
    int measureTextPx(const Font& font, const QString& text) override;
    qint64 elapsedMs() override { return clock_.elapsed(); }
    FetchResult openUrl(const QString& url, int timeoutSeconds) override;
    void programEnding() override;
    QString clipboardText() override;
    void setClipboardText(const QString& text) override;

    // The window a dialog without a known owner belongs to: the modal
    // window up, else the active one.
    static QWidget* dialogParent();
    // The printer dialog sets the printer up; it prints nothing, so its
    // confirming button reads "OK", not "Print" (set again once it is up:
    // the dialog renames the button while it fills itself).
    static void namePrinterSetupButton(QDialog& dialog);

    // Runs a dialog; when it closes, the window that had the keyboard has
    // it again (without a window manager nobody else hands it back).
    static int execDialog(QDialog& dialog);

    // Runs a model action from a Qt event: an end of the program or an
    // untrapped error stops here instead of unwinding through Qt.
    static void guarded(const std::function<void()>& action);

private:
    struct ModalRun {
        Form* form;
        QEventLoop* loop;
    };
    QWidget* ownerWidget(Form* owner) const;
    // The window a form being shown is opened from (nullptr: none).
    FormWindow* openerOf(const Form& form) const;
    // Raises the windows that block `w` over it; the topmost (nullptr: none).
    QWidget* raiseBlockers(FormWindow* w);
    // A window that had the keyboard is gone: the window under it takes it.
    void passKeyboardOn(FormWindow* gone);
    void announce(QWidget* dialog);
    QString helpText(const QString& helpFile, int topic);

    QHash<const Form*, FormWindow*> windows_;
    std::vector<QPointer<FormWindow>> shownOrder_;   // oldest first
    QHash<const Timer*, QTimer*> timers_;
    std::vector<ModalRun> modal_;
    std::function<void(QWidget*)> dialogHook_;
    struct CachedHelp {
        qint64 stamp = -1;
        HelpFile help;
    };
    QHash<QString, CachedHelp> help_;
    QString lastHelp_;
    bool greek_ = false;
    bool quitOnEnd_ = true;
    QElapsedTimer clock_;
};

} // namespace ui::qt
