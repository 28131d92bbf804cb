#include "platform/AppError.h"
#include "shared/ErrorTrap.h"
#include "shared/Messages.h"

#include "shared_fixture.h"

#include <stdexcept>

using namespace basGlobal;

namespace {

class MessagesTest : public SharedTest {
protected:
    void SetUp() override
    {
        SharedTest::SetUp();
        g().ApplicationTitle = "Tarnwick";
    }
    // A stand-in for a window: only its address is passed around.
    ui::Form* owner() { return reinterpret_cast<ui::Form*>(&ownerTag); }
    int ownerTag = 0;
};

} // namespace

// --- The error report ---------------------------------------------------------------

TEST_F(MessagesTest, TheErrorReportHasItsExactEnglishTexts)
{
    desk.answers = {ui::vbNo};
    EXPECT_FALSE(ReportError(owner(), "Tarnwick", 53, "File not found", "306"));
    ASSERT_EQ(desk.shown.size(), 1u);
    EXPECT_EQ(desk.shown[0].owner, owner());
    EXPECT_EQ(desk.shown[0].title, "Tarnwick [ 306 ]");
    EXPECT_EQ(desk.shown[0].text,
              "Error condition 53 with the description 'File not found' has occured.\r\n\r\n"
              "Do you want to shut down the application?");
    EXPECT_EQ(desk.shown[0].style, 36); // Yes/No, Yes the default: Enter shuts down
}

TEST_F(MessagesTest, TheErrorReportHasItsExactGreekTextsAndYesMeansShutDown)
{
    g().LanguageIsGreek = true;
    desk.answers = {ui::vbYes};
    EXPECT_TRUE(ReportError(owner(), "Tarnwick", 76, "Path not found", "MFL1000"));
    EXPECT_EQ(desk.shown[0].title, "Tarnwick [ MFL1000 ]");
    EXPECT_EQ(desk.shown[0].text,
              QStringLiteral("Παρουσιάσθηκε το σφάλμα με αριθμό 76 και περιγραφή «Path not found».\r\n\r\n"
                             "Θέλετε να διακοπεί η λειτουργία της εφαρμογής;"));
}

// --- The step-wise trap ---------------------------------------------------------------

TEST_F(MessagesTest, NoGoesOnWithTheNextStep)
{
    desk.answers = {ui::vbNo};
    std::vector<int> ran;
    ErrorTrap trap(owner(), "DFLF1000");
    EXPECT_TRUE(trap.step([&] { ran.push_back(1); }));
    EXPECT_FALSE(trap.step([&] { RaiseIfError(70); ran.push_back(2); }));
    EXPECT_TRUE(trap.step([&] { ran.push_back(3); }));
    EXPECT_EQ(ran, (std::vector<int>{1, 3}));
    EXPECT_TRUE(trap.anyFailed());
    EXPECT_EQ(trap.lastErrorNumber(), 70);
    ASSERT_EQ(desk.shown.size(), 1u);
    EXPECT_EQ(desk.shown[0].title, "Tarnwick [ DFLF1000 ]");
    EXPECT_TRUE(desk.shown[0].text.startsWith("Error condition 70 with the description 'Permission denied'"));
}

TEST_F(MessagesTest, YesEndsTheProgramAtOnce)
{
    desk.answers = {ui::vbYes};
    bool laterStepRan = false;
    ErrorTrap trap(owner(), "317");
    EXPECT_THROW(
        {
            trap.step([] { throw platform::makeError(53); });
            trap.step([&] { laterStepRan = true; });
        },
        ui::ProgramEnd);
    EXPECT_FALSE(laterStepRan);
}

TEST_F(MessagesTest, ALongOperationStopsAfterNo)
{
    desk.answers = {ui::vbNo};
    int ran = 0;
    ErrorTrap trap(owner(), "315", ErrorTrap::OnNo::StopOperation);
    trap.step([] { throw platform::makeError(57); });
    EXPECT_FALSE(trap.step([&] { ++ran; }));
    EXPECT_TRUE(trap.stopped());
    EXPECT_EQ(ran, 0);
    EXPECT_EQ(desk.shown.size(), 1u);
}

TEST_F(MessagesTest, TheTrapReportsStandardFailuresAndItsOwnTitle)
{
    desk.answers = {ui::vbNo, ui::vbNo, ui::vbNo};
    ErrorTrap trap(owner(), "FSN1000", ErrorTrap::OnNo::GoOn, "Find next");
    trap.step([] { throw std::out_of_range("x"); });
    trap.step([] { throw std::runtime_error("x"); });
    g().ApplicationTitle = "changed";
    trap.step([] { throw platform::AppError{13, QString()}; });
    ASSERT_EQ(desk.shown.size(), 3u);
    EXPECT_EQ(desk.shown[0].title, "Find next [ FSN1000 ]");
    EXPECT_TRUE(desk.shown[0].text.contains("Error condition 9 with the description 'Subscript out of range'"));
    EXPECT_TRUE(desk.shown[1].text.contains("Error condition 5 "));
    EXPECT_TRUE(desk.shown[2].text.contains("'Type mismatch'"));
}

TEST_F(MessagesTest, AReportAfterALanguageSwitchUsesTheNewLanguage)
{
    desk.answers = {ui::vbNo, ui::vbNo};
    ErrorTrap trap(owner(), "L1000");
    trap.step([] { RaiseError(53); });
    g().LanguageIsGreek = true;
    trap.step([] { RaiseError(53); });
    EXPECT_TRUE(desk.shown[0].text.startsWith("Error condition"));
    EXPECT_TRUE(desk.shown[1].text.startsWith(QStringLiteral("Παρουσιάσθηκε")));
}

// --- Cancel, close refusal, second copy -------------------------------------------------

TEST_F(MessagesTest, ConfirmedCancelDisablesTheButtonAndNoLeavesItEnabled)
{
    std::vector<bool> enabled;
    const auto setEnabled = [&enabled](bool e) { enabled.push_back(e); };
    desk.answers = {ui::vbYes, ui::vbNo};
    EXPECT_TRUE(ConfirmCancelProcessing(owner(), setEnabled));
    EXPECT_FALSE(ConfirmCancelProcessing(owner(), setEnabled));
    EXPECT_EQ(enabled, (std::vector<bool>{false, true}));
    EXPECT_EQ(desk.shown[0].title, "Cancel processing");
    EXPECT_EQ(desk.shown[0].text, "Do you really want to cancel the process that is currently in progress?");
    EXPECT_EQ(desk.shown[0].style, 292); // No is the default: Enter keeps the operation running

    g().LanguageIsGreek = true;
    desk.answers = {ui::vbNo};
    ConfirmCancelProcessing(owner(), setEnabled);
    EXPECT_EQ(desk.shown[2].title, QStringLiteral("Ακύρωση διαδικασίας"));
    EXPECT_EQ(desk.shown[2].text, QStringLiteral("Θέλετε πράγματι να ακυρώσετε την διαδικασία η οποία "
                                                 "ευρίσκεται σε εξέλιξη αυτήν την στιγμή;"));
}

TEST_F(MessagesTest, OnlyTheUsersOwnCloseOfABusyWindowIsRefused)
{
    desk.answers = {ui::vbOK};
    EXPECT_TRUE(ShowCannotCloseWindowMessage(owner(), 0));
    ASSERT_EQ(desk.shown.size(), 1u);
    EXPECT_EQ(desk.shown[0].title, "Close window");
    EXPECT_EQ(desk.shown[0].text, "It is impossible to close the window using the control menu, because the "
                                  "process that is currently in progress is not allowing this to happen.");
    EXPECT_EQ(desk.shown[0].style, 64);

    EXPECT_TRUE(ShowCannotCloseWindowMessage(owner(), 0, false)); // silent refusal
    for (Integer mode : {1, 2, 3})
        EXPECT_FALSE(ShowCannotCloseWindowMessage(owner(), mode));
    EXPECT_EQ(desk.shown.size(), 1u);

    g().LanguageIsGreek = true;
    desk.answers = {ui::vbOK};
    ShowCannotCloseWindowMessage(owner(), 0);
    EXPECT_EQ(desk.shown[1].title, QStringLiteral("Κλείσιμο παραθύρου"));
    EXPECT_EQ(desk.shown[1].text, QStringLiteral("Η διαδικασία η οποία ευρίσκεται σε εξέλιξη αυτήν την στιγμή, "
                                                 "δεν επιτρέπει το κλείσιμο του παραθύρου από το μενού ελέγχου."));
}

TEST_F(MessagesTest, ASecondCopyRetitlesItselfTellsTheUserAndEnds)
{
    QString appTitle = "Tarnwick";
    const auto retitle = [&appTitle](const QString& t) { appTitle = t; };
    ShowDuplicateInstanceMessage("Tarnwick", false, retitle);
    EXPECT_TRUE(desk.shown.empty());

    desk.answers = {ui::vbOK};
    EXPECT_THROW(ShowDuplicateInstanceMessage("Tarnwick", true, retitle), ui::ProgramEnd);
    EXPECT_EQ(appTitle, "...duplicate instance");
    ASSERT_EQ(desk.shown.size(), 1u);
    EXPECT_EQ(desk.shown[0].owner, nullptr);
    EXPECT_EQ(desk.shown[0].style, 16);
    EXPECT_EQ(desk.shown[0].title, "Tarnwick");
    EXPECT_EQ(desk.shown[0].text, "The application is already active and cannot have more than one instances "
                                  "(on the same computer) at the same time.");
}

// --- The stage list ---------------------------------------------------------------------

TEST_F(MessagesTest, TheStageListHas22LinesFiveOfThemFailSafeInBothLanguages)
{
    for (const bool greek : {false, true}) {
        const QStringList lines = OrderOfProcessingText(greek).split("\r\n");
        ASSERT_EQ(lines.size(), 24) << greek;
        EXPECT_EQ(lines[1], "");
        const QString failSafe = QString(10, u' ') + (greek ? QStringLiteral("έλεγχος αποτυχίας")
                                                            : QStringLiteral("fail-safe check"));
        EXPECT_EQ(lines.count(failSafe), 5);
        EXPECT_EQ(lines[7], failSafe);
        EXPECT_EQ(lines[23], greek ? QStringLiteral("τελική επεξεργασία") : QStringLiteral("final processing"));
    }
    EXPECT_EQ(OrderOfProcessingText(false).split("\r\n")[0],
              "The order of processing during the comparison, is the following:");

    desk.answers = {ui::vbOK};
    g().LanguageIsGreek = true;
    ShowOrderOfProcessing(owner());
    EXPECT_EQ(desk.shown[0].title, QStringLiteral("Σειρά εργασιών"));
    EXPECT_EQ(desk.shown[0].style, 64);
}

// --- The yield ------------------------------------------------------------------------

TEST_F(MessagesTest, TheYieldIsThrottledButACancelIsSeenAtTheNextTest)
{
    SetDoEventsInterval(60000);
    for (int i = 0; i < 1000; ++i)
        DoEventsNow();
    EXPECT_EQ(desk.yields, 1); // only the first call reached the desktop

    // A long operation tests the flag after each yield: a cancel confirmed
    // while the desktop ran is seen at that very item.
    SetDoEventsInterval(0);
    desk.yields = 0;
    desk.onYield = [this] { g().CancelRequested = desk.yields == 3; };
    int items = 0;
    for (; items < 100; ++items) {
        DoEventsNow();
        if (g().CancelRequested)
            break;
    }
    EXPECT_EQ(items, 2);
}

TEST_F(MessagesTest, TheYieldSwallowsFailuresButNotTheProgramsEnd)
{
    desk.onYield = [] { throw std::runtime_error("paint failed"); };
    EXPECT_NO_THROW(DoEventsNow());
    desk.onYield = [] { ui::endProgram(); };
    EXPECT_THROW(DoEventsNow(), ui::ProgramEnd);
}
