#pragma once
// The program's message boxes, its one error report, the cancel confirmation
// of long operations, the refusal to close a busy window, the second-copy
// notice, the list of comparison stages, and the one yield. Every text exists
// in English and Greek; the language is taken from LanguageIsGreek at the
// moment of the call.
//

#include "shared/basGlobal.h"

#include <QString>

#include <functional>

namespace ui {
class Form;
class Control;
}

namespace basGlobal {

// The system message box owned by `owner` (nullptr: no owner); returns the
// button pressed (ui::vbOK, ui::vbYes, ...).
Long ShowMessageBox(ui::Form* owner, const QString& title, const QString& text, Long style);

// The error report: a Yes/No question (Yes the default) captioned
// `title` + " [ " + code + " ]". Returns true when the user chose to shut
// down. The caller (normally ErrorTrap) ends the program on true.
bool ReportError(ui::Form* owner, const QString& title, Long errorNumber,
                 const QString& errorDescription, const QString& locationCode);

// The report's caption and text, as ReportError shows them.
QString ErrorReportCaption(const QString& title, const QString& locationCode);
QString ErrorReportText(Long errorNumber, const QString& errorDescription, bool greek);

// "Cancel processing" question (No the default). Yes disables the Cancel
// button and returns true; any other answer enables it and returns false.
// The caller stores the result in CancelRequested.
bool ConfirmCancelProcessing(ui::Form* owner, ui::Control& cancelButton);
bool ConfirmCancelProcessing(ui::Form* owner, const std::function<void(bool enabled)>& setCancelButtonEnabled);

// Called from a busy window's QueryUnload: true (refuse) for unload mode 0,
// the user's own close, after telling the user so when showMessage is true;
// false and silent for every other unload mode.
bool ShowCannotCloseWindowMessage(ui::Form* owner, Integer unloadMode, bool showMessage = true);

// When another copy runs: retitles the application "...duplicate instance"
// through `setApplicationTitle`, shows the critical notice without an owner
// captioned `title`, and ends the program at once. Otherwise does nothing.
void ShowDuplicateInstanceMessage(const QString& title, bool anotherInstanceRunning,
                                  const std::function<void(const QString&)>& setApplicationTitle);

// The list of the comparison's stages, in an information box.
void ShowOrderOfProcessing(ui::Form* owner);
QString OrderOfProcessingText(bool greek);

// Restores a minimised window and makes it the foreground window; failures
// are swallowed.
void BringFormToFront(ui::Form& window);

// The system's message beep (0 default, 16 critical, 48 exclamation);
// failures are swallowed.
void PlayMessageBeep(Long soundType);

// Lets the window system handle pending events. To stay cheap inside tight
// loops it hands over at most once per DoEvents interval; with interval 0
// every call hands over. A click on Cancel therefore waits at most one
// interval, and the long operation sees CancelRequested after the first
// DoEventsNow that follows. Failures are swallowed; the program's immediate
// end (ui::ProgramEnd) passes through.
void DoEventsNow();
// True when the next DoEventsNow would hand over. Nothing outside the
// program's own thread sees its lists between two hand-overs, so a loop may
// gather its changes and make them just before a hand-over that is due
// (and once more at its end) without anyone noticing the difference.
bool DoEventsDue();

// Milliseconds between two hand-overs. The default is 0, so scripted tests
// that count yields see every one; the program's start-up on the real
// desktop sets kDoEventsIntervalMs.
inline constexpr int kDoEventsIntervalMs = 5;
void SetDoEventsInterval(int milliseconds);
int DoEventsInterval();

} // namespace basGlobal
