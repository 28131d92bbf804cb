#include "shared/Messages.h"

#include "ui/Control.h"
#include "ui/Desktop.h"
#include "ui/Form.h"


#include <ctime>

namespace basGlobal {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool greek() { return globals().LanguageIsGreek; }

int g_doEventsIntervalMs = 0;

// Milliseconds of the coarse monotonic clock: the throttle asks it on every
// call of the tight loops, and the coarse clock is a plain memory read where
// the precise one costs a time-stamp read and arithmetic. Its few
// milliseconds of granularity are well inside one interval's tolerance.
qint64 coarseMilliseconds()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// When the last hand-over ended, or -1 for none since the interval was set.
qint64 g_lastHandOverMs = -1;

struct Stage {
    const char16_t* english;
    const char16_t* greek;
};

// nullptr marks a fail-safe check line.
constexpr Stage kStages[] = {
    {u"importing remote structure", u"εισαγωγή απομακρυσμένης δομής"},
    {u"scanning local structure", u"σάρωση τοπικής δομής"},
    {u"preparing local structure", u"προετοιμασία τοπικής δομής"},
    {u"filtering number of levels", u"διαλογή αριθμού επιπέδων"},
    {u"including/excluding first level folders", u"συμμετοχή/αποκλεισμός φακέλλων πρώτου επιπέδου"},
    {nullptr, nullptr},
    {u"filtering file types", u"διαλογή τύπων αρχείων"},
    {u"collecting local structure file attributes", u"συλλογή ιδιοτήτων αρχείων τοπικής δομής"},
    {u"filtering file attributes", u"διαλογή ιδιοτήτων αρχείων"},
    {u"filtering common files", u"διαλογή κοινών αρχείων"},
    {nullptr, nullptr},
    {u"filtering differences", u"διαλογή διαφορών"},
    {u"collecting folders", u"συλλογή φακέλλων"},
    {nullptr, nullptr},
    {u"aligning primary structure folders", u"ευθυγράμμιση φακέλλων πρωτευούσης δομής"},
    {u"aligning secondary structure folders", u"ευθυγράμμιση φακέλλων δευτερευούσης δομής"},
    {nullptr, nullptr},
    {u"aligning files", u"ευθυγράμμιση αρχείων"},
    {nullptr, nullptr},
    {u"initializing grid", u"δημιουργία πίνακα"},
    {u"populating grid", u"εμπλουτισμός πίνακα"},
    {u"final processing", u"τελική επεξεργασία"},
};

} // namespace

Long ShowMessageBox(ui::Form* owner, const QString& title, const QString& text, Long style)
{
    return ui::desktop().messageBox(owner, title, text, style);
}

QString ErrorReportCaption(const QString& title, const QString& locationCode)
{
    return title + QStringLiteral(" [ ") + locationCode + QStringLiteral(" ]");
}

QString ErrorReportText(Long errorNumber, const QString& errorDescription, bool inGreek)
{
    if (inGreek)
        return QStringLiteral("Παρουσιάσθηκε το σφάλμα με αριθμό ") + QString::number(errorNumber)
            + QStringLiteral(" και περιγραφή «") + errorDescription + QStringLiteral("».") + kCrLf + kCrLf
            + QStringLiteral("Θέλετε να διακοπεί η λειτουργία της εφαρμογής;");
    return QStringLiteral("Error condition ") + QString::number(errorNumber)
        + QStringLiteral(" with the description '") + errorDescription + QStringLiteral("' has occured.")
        + kCrLf + kCrLf + QStringLiteral("Do you want to shut down the application?");
}

bool ReportError(ui::Form* owner, const QString& title, Long errorNumber,
                 const QString& errorDescription, const QString& locationCode)
{
    const Long answer = ShowMessageBox(owner, ErrorReportCaption(title, locationCode),
                                       ErrorReportText(errorNumber, errorDescription, greek()),
                                       ui::vbQuestionYesNo);
    return answer == ui::vbYes;
}

bool ConfirmCancelProcessing(ui::Form* owner, const std::function<void(bool)>& setCancelButtonEnabled)
{
    const bool gr = greek();
    const QString title = gr ? QStringLiteral("Ακύρωση διαδικασίας") : QStringLiteral("Cancel processing");
    const QString text = gr
        ? QStringLiteral("Θέλετε πράγματι να ακυρώσετε την διαδικασία η οποία ")
            + QStringLiteral("ευρίσκεται σε εξέλιξη αυτήν την στιγμή;")
        : QStringLiteral("Do you really want to cancel the process that is ")
            + QStringLiteral("currently in progress?");
    const bool confirmed = ShowMessageBox(owner, title, text, ui::vbQuestionYesNoDefNo) == ui::vbYes;
    if (setCancelButtonEnabled)
        setCancelButtonEnabled(!confirmed); // a confirmed cancel cannot be asked for twice
    return confirmed;
}

bool ConfirmCancelProcessing(ui::Form* owner, ui::Control& cancelButton)
{
    return ConfirmCancelProcessing(owner, [&cancelButton](bool enabled) { cancelButton.setEnabled(enabled); });
}

bool ShowCannotCloseWindowMessage(ui::Form* owner, Integer unloadMode, bool showMessage)
{
    if (unloadMode != 0)
        return false;
    if (showMessage) {
        const bool gr = greek();
        const QString title = gr ? QStringLiteral("Κλείσιμο παραθύρου") : QStringLiteral("Close window");
        const QString text = gr
            ? QStringLiteral("Η διαδικασία η οποία ευρίσκεται σε εξέλιξη αυτήν την στιγμή, ")
                + QStringLiteral("δεν επιτρέπει το κλείσιμο του παραθύρου από το μενού ελέγχου.")
            : QStringLiteral("It is impossible to close the window using the control menu, ")
                + QStringLiteral("because the process that is currently in progress is not ")
                + QStringLiteral("allowing this to happen.");
        ShowMessageBox(owner, title, text, ui::vbInformationOK);
    }
    return true;
}

void ShowDuplicateInstanceMessage(const QString& title, bool anotherInstanceRunning,
                                  const std::function<void(const QString&)>& setApplicationTitle)
{
    if (!anotherInstanceRunning)
        return;
    if (setApplicationTitle)
        setApplicationTitle(QStringLiteral("...duplicate instance"));
    const QString text = greek()
        ? QStringLiteral("Η εφαρμογή είναι ήδη ενεργοποιημένη και δεν μπορεί ")
            + QStringLiteral("να εκτελείται παραπάνω από μία φορά (στον ίδιο ")
            + QStringLiteral("υπολογιστή) την ίδια χρονική στιγμή.")
        : QStringLiteral("The application is already active and cannot have ")
            + QStringLiteral("more than one instances (on the same computer) at ")
            + QStringLiteral("the same time.");
    ui::desktop().messageBox(nullptr, title, text, ui::vbCriticalOK);
    ui::endProgram();
}

QString OrderOfProcessingText(bool inGreek)
{
    QString text = inGreek
        ? QStringLiteral("Η σειρά εργασιών κατά την διάρκεια της συγκρίσεως, είναι η κατωτέρω:")
        : QStringLiteral("The order of processing during the comparison, is the following:");
    text += kCrLf + kCrLf;
    const QString failSafe = QString(10, u' ')
        + (inGreek ? QStringLiteral("έλεγχος αποτυχίας") : QStringLiteral("fail-safe check"));
    bool first = true;
    for (const Stage& s : kStages) {
        if (!first)
            text += kCrLf;
        first = false;
        text += s.english ? QString::fromUtf16(inGreek ? s.greek : s.english) : failSafe;
    }
    return text;
}

void ShowOrderOfProcessing(ui::Form* owner)
{
    const bool gr = greek();
    ShowMessageBox(owner, gr ? QStringLiteral("Σειρά εργασιών") : QStringLiteral("Order of processing"),
                   OrderOfProcessingText(gr), ui::vbInformationOK);
}

void BringFormToFront(ui::Form& window)
{
    try {
        if (window.windowState() == 1)
            window.setWindowState(0);
        ui::desktop().bringToFront(window);
    } catch (const ui::ProgramEnd&) {
        throw;
    } catch (...) {
        // Not being able to raise a window is no reason to stop.
    }
}

void PlayMessageBeep(Long soundType)
{
    try {
        ui::desktop().messageBeep(soundType);
    } catch (const ui::ProgramEnd&) {
        throw;
    } catch (...) {
    }
}

void DoEventsNow()
{
    if (g_doEventsIntervalMs > 0 && g_lastHandOverMs >= 0
        && coarseMilliseconds() - g_lastHandOverMs < g_doEventsIntervalMs)
        return;
    try {
        ui::desktop().doEvents();
    } catch (const ui::ProgramEnd&) {
        throw;
    } catch (const ui::Abandon&) {
        throw; // must reach whoever started the run
    } catch (...) {
        // A failing yield must not stop the operation that asked for it.
    }
    g_lastHandOverMs = g_doEventsIntervalMs > 0 ? coarseMilliseconds() : -1;
}

bool DoEventsDue()
{
    return g_doEventsIntervalMs <= 0 || g_lastHandOverMs < 0
           || coarseMilliseconds() - g_lastHandOverMs >= g_doEventsIntervalMs;
}

void SetDoEventsInterval(int milliseconds)
{
    g_doEventsIntervalMs = milliseconds < 0 ? 0 : milliseconds;
    g_lastHandOverMs = -1;
}

int DoEventsInterval() { return g_doEventsIntervalMs; }

} // namespace basGlobal
