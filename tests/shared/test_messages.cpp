#include "platform/AppError.h"
#include "shared/ErrorTrap.h"
#include "shared/Messages.h"

#include "shared_fixture.h"

#include "ui/Control.h"
#include "ui/Form.h"

#include <stdexcept>

using namespace basGlobal;
using Entry = ui::HeadlessDesktop::Entry;

namespace {

const QString kReport53 = QStringLiteral(
    "Error condition 53 with the description 'File not found' has occured.\r\n\r\n"
    "Do you want to shut down the application?");

class MessagesTest : public SharedTest {
protected:
    void SetUp() override
    {
        SharedTest::SetUp();
        g().ApplicationTitle = "Tarnwick";
    }
    QList<Entry> boxes() const { return desk.entries(Entry::MessageBox); }

    ui::Form form{QStringLiteral("frmCompare")};
};

} // namespace

// --- The error report ---------------------------------------------------------------

TEST_F(MessagesTest, TheErrorReportHasItsExactTextsAndTheTrapGoesOnAfterNoUnlessToldToStopAndEndsAfterYes)
{
    desk.expectMsgBox("Tarnwick [ 306 ]", kReport53, 36, ui::vbNo); // Yes the default: Enter shuts down
    EXPECT_FALSE(ReportError(&form, "Tarnwick", 53, "File not found", "306"));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].form, "frmCompare");
    g().LanguageIsGreek = true;
    desk.expectMsgBox("Tarnwick [ MFL1000 ]",
                      QStringLiteral("Παρουσιάσθηκε το σφάλμα με αριθμό 76 και περιγραφή «Path not found».\r\n\r\n"
                                     "Θέλετε να διακοπεί η λειτουργία της εφαρμογής;"),
                      36, ui::vbYes);
    EXPECT_TRUE(ReportError(&form, "Tarnwick", 76, "Path not found", "MFL1000"));

    // The step-wise trap: No goes on with the next step unless the operation stops after No.
    g().LanguageIsGreek = false;
    desk.expectMsgBoxContaining("Tarnwick [ DFLF1000 ]",
                                "Error condition 70 with the description 'Permission denied' has occured.",
                                36, ui::vbNo);
    std::vector<int> ran;
    ErrorTrap trap(&form, "DFLF1000");
    EXPECT_TRUE(trap.step([&] { ran.push_back(1); }));
    EXPECT_FALSE(trap.step([&] { RaiseIfError(70); ran.push_back(2); }));
    EXPECT_TRUE(trap.step([&] { ran.push_back(3); }));
    EXPECT_EQ(ran, (std::vector<int>{1, 3}));
    EXPECT_TRUE(trap.anyFailed());
    EXPECT_EQ(trap.lastErrorNumber(), 70);
    // (An operation that stops after No: the print run's failure test.)
    // Yes ends the program at once.
    desk.expectMsgBox("Tarnwick [ 317 ]", kReport53, 36, ui::vbYes);
    EXPECT_THROW(ErrorTrap(&form, "317").step([] { throw platform::makeError(53); }), ui::ProgramEnd);
    EXPECT_TRUE(ui::programHasEnded());
}

TEST_F(MessagesTest, TheTrapReportsStandardFailuresUnderItsOwnTitleInTheLanguageOfTheMoment)
{
    desk.expectMsgBoxContaining("Find next [ FSN1000 ]",
                                "Error condition 9 with the description 'Subscript out of range'", 36, ui::vbNo);
    desk.expectMsgBoxContaining("Find next [ FSN1000 ]", "Error condition 5 ", 36, ui::vbNo);
    desk.expectMsgBoxContaining("Find next [ FSN1000 ]", "'Type mismatch'", 36, ui::vbNo);
    desk.expectMsgBoxContaining("Find next [ FSN1000 ]", QStringLiteral("Παρουσιάσθηκε το σφάλμα με αριθμό 53 "), 36,
                                ui::vbNo);
    ErrorTrap trap(&form, "FSN1000", ErrorTrap::OnNo::GoOn, "Find next");
    trap.step([] { throw std::out_of_range("x"); });
    trap.step([] { throw std::runtime_error("x"); });
    g().ApplicationTitle = "changed";
    trap.step([] { throw platform::AppError{13, QString()}; });
    g().LanguageIsGreek = true;
    trap.step([] { RaiseError(53); });
    EXPECT_FALSE(trap.stopped()) << "going on after No";
    EXPECT_EQ(trap.lastErrorNumber(), 53);

    // Memory running out; a trap that stops after No runs no further step;
    // a failed step gives the pointer back.
    g().LanguageIsGreek = false;
    desk.expectMsgBoxContaining("Find next [ FSN2000 ]", "Error condition 7 with the description 'Out of memory'", 36, ui::vbNo);
    ErrorTrap stopping(&form, "FSN2000", ErrorTrap::OnNo::StopOperation, "Find next");
    form.setMousePointer(ui::vbHourglass);
    EXPECT_FALSE(stopping.stepRestoringPointer(form, [] { throw std::bad_alloc(); }));
    EXPECT_EQ(form.mousePointer(), ui::vbDefault);
    EXPECT_TRUE(stopping.stopped());
    EXPECT_EQ(stopping.lastErrorNumber(), 7);
    bool ran = false;
    EXPECT_FALSE(stopping.step([&] { ran = true; }));
    EXPECT_FALSE(ran);
}

// --- Cancel, close refusal, second copy -------------------------------------------------

TEST_F(MessagesTest, AConfirmedCancelDisablesWhatAskedAndOnlyTheUsersOwnCloseOfABusyWindowIsRefused)
{
    // (The English box and the button it disables: the comparison's cancel tests.)
    g().LanguageIsGreek = true;
    desk.expectMsgBox(QStringLiteral("Ακύρωση διαδικασίας"),
                      QStringLiteral("Θέλετε πράγματι να ακυρώσετε την διαδικασία η οποία "
                                     "ευρίσκεται σε εξέλιξη αυτήν την στιγμή;"),
                      292, ui::vbYes);
    bool enabled = true;
    EXPECT_TRUE(ConfirmCancelProcessing(&form, [&enabled](bool e) { enabled = e; }));
    EXPECT_FALSE(enabled);

    // Only the user's own close of a busy window is refused.
    g().LanguageIsGreek = false;
    desk.expectMsgBoxContaining("Close window", "impossible to close", 64, ui::vbOK);   // the text: the results window's
    EXPECT_TRUE(ShowCannotCloseWindowMessage(&form, 0));
    EXPECT_TRUE(ShowCannotCloseWindowMessage(&form, 0, false)); // silent refusal
    for (Integer mode : {1, 2, 3})
        EXPECT_FALSE(ShowCannotCloseWindowMessage(&form, mode));
    EXPECT_EQ(boxes().size(), 2);
}

// --- The yield ------------------------------------------------------------------------

TEST_F(MessagesTest, TheYieldIsThrottledSwallowsFailuresButNotTheEndAndACancelIsSeenAtTheNextTest)
{
    SetDoEventsInterval(60000);
    EXPECT_TRUE(DoEventsDue()) << "nothing handed over yet";
    desk.resetYieldCount();
    for (int i = 0; i < 1000; ++i)
        DoEventsNow();
    EXPECT_EQ(desk.yieldCount(), 1); // only the first call reached the desktop
    EXPECT_FALSE(DoEventsDue()) << "the interval has not passed";
    EXPECT_EQ(DoEventsInterval(), 60000);
    SetDoEventsInterval(-5);
    EXPECT_EQ(DoEventsInterval(), 0);
    EXPECT_TRUE(DoEventsDue()) << "no interval: always due";

    // A long operation tests the flag after each yield: a cancel confirmed
    // while the desktop ran is seen at that very item.
    SetDoEventsInterval(0);
    desk.resetYieldCount();
    desk.onYieldNumber(3, [this] { g().CancelRequested = true; });
    int items = 0;
    for (; items < 100; ++items) {
        DoEventsNow();
        if (g().CancelRequested)
            break;
    }
    EXPECT_EQ(items, 2);
    desk.onYieldNumber(desk.yieldCount() + 1, [] { throw std::runtime_error("paint failed"); });
    EXPECT_NO_THROW(DoEventsNow());
    desk.onYieldNumber(desk.yieldCount() + 1, [] { ui::endProgram(); });
    EXPECT_THROW(DoEventsNow(), ui::ProgramEnd);
}

TEST_F(MessagesTest, AMinimisedWindowIsRestoredBeforeItIsBroughtToTheFront)
{
    form.setWindowState(1);
    BringFormToFront(form);
    EXPECT_EQ(form.windowState(), 0);
    form.setWindowState(2);
    BringFormToFront(form);
    EXPECT_EQ(form.windowState(), 2); // a maximised window stays maximised
}


// --- The order of processing ----------------------------------------------------------

// The box lists every stage in the order a comparison runs them, whatever
// the settings, each fail-safe check indented by ten blanks.
TEST_F(MessagesTest, TheOrderOfProcessingListsEveryStageInBothLanguages)
{
    const QString english = QStringLiteral(
        "The order of processing during the comparison, is the following:\r\n\r\n"
        "importing remote structure\r\n"
        "scanning local structure\r\n"
        "preparing local structure\r\n"
        "filtering number of levels\r\n"
        "including/excluding first level folders\r\n"
        "          fail-safe check\r\n"
        "filtering file types\r\n"
        "collecting local structure file attributes\r\n"
        "filtering file attributes\r\n"
        "filtering common files\r\n"
        "          fail-safe check\r\n"
        "filtering differences\r\n"
        "collecting folders\r\n"
        "          fail-safe check\r\n"
        "aligning primary structure folders\r\n"
        "aligning secondary structure folders\r\n"
        "          fail-safe check\r\n"
        "aligning files\r\n"
        "          fail-safe check\r\n"
        "initializing grid\r\n"
        "populating grid\r\n"
        "final processing");
    const QString greek = QStringLiteral(
        "Η σειρά εργασιών κατά την διάρκεια της συγκρίσεως, είναι η κατωτέρω:\r\n\r\n"
        "εισαγωγή απομακρυσμένης δομής\r\n"
        "σάρωση τοπικής δομής\r\n"
        "προετοιμασία τοπικής δομής\r\n"
        "διαλογή αριθμού επιπέδων\r\n"
        "συμμετοχή/αποκλεισμός φακέλλων πρώτου επιπέδου\r\n"
        "          έλεγχος αποτυχίας\r\n"
        "διαλογή τύπων αρχείων\r\n"
        "συλλογή ιδιοτήτων αρχείων τοπικής δομής\r\n"
        "διαλογή ιδιοτήτων αρχείων\r\n"
        "διαλογή κοινών αρχείων\r\n"
        "          έλεγχος αποτυχίας\r\n"
        "διαλογή διαφορών\r\n"
        "συλλογή φακέλλων\r\n"
        "          έλεγχος αποτυχίας\r\n"
        "ευθυγράμμιση φακέλλων πρωτευούσης δομής\r\n"
        "ευθυγράμμιση φακέλλων δευτερευούσης δομής\r\n"
        "          έλεγχος αποτυχίας\r\n"
        "ευθυγράμμιση αρχείων\r\n"
        "          έλεγχος αποτυχίας\r\n"
        "δημιουργία πίνακα\r\n"
        "εμπλουτισμός πίνακα\r\n"
        "τελική επεξεργασία");
    g().FailSafeChecks = false;
    desk.expectMsgBox("Order of processing", english, ui::vbInformationOK, ui::vbOK);
    ShowOrderOfProcessing(&form);
    g().LanguageIsGreek = true;
    desk.expectMsgBox("Σειρά εργασιών", greek, ui::vbInformationOK, ui::vbOK);
    ShowOrderOfProcessing(&form);
    EXPECT_EQ(boxes().at(0).form, QStringLiteral("frmCompare"));
}
