#pragma once
// The seam between the window model and whatever shows it. The model never
// talks to a toolkit directly: message boxes, modal runs, the yield, timers,
// dialogs and help all go through the one installed Desktop, which is either
// HeadlessDesktop (tests) or QtDesktop (users).

#include <QString>

namespace ui {

class Form;

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

// Thrown to end the program at once: no QueryUnload, no Unload, nothing saved.
// Only the application's outermost frame (or a test) catches it.
struct ProgramEnd {};

class Desktop {
public:
    virtual ~Desktop() = default;

    // Shows a message box owned by `owner` (nullptr: a plain system box) and
    // returns the button pressed (MsgBoxResult).
    virtual int messageBox(Form* owner, const QString& title, const QString& text, int style) = 0;

    // The one yield: lets pending events (input, timers, repaints) run.
    virtual void doEvents() = 0;
};

// The installed desktop. Exactly one is installed while the program runs.
Desktop& desktop();
void setDesktop(Desktop* d);

// Ends the program at once (throws ProgramEnd after letting the desktop know).
[[noreturn]] void endProgram();

} // namespace ui
