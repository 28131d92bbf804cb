// The explanation window on the Qt desktop, in English and in Greek: the
// pictures land in the build folder for a look; every control lies inside.
#include "results/frmInterpretation.h"
#include "results_fixture.h"
#include "support/OnScreen.h"

using namespace results_test;

namespace {

class OnScreen : public ResultsTest {
protected:
    void render(bool greek, const QString& fileName)
    {
        file(c, QStringLiteral("Reports/2024/summary.txt"), QByteArray(1234567, 'x'));
        file(d, QStringLiteral("Reports/2024/summary.txt"), QByteArray(900, 'x'));
        g().LanguageIsGreek = greek;
        g().ShowExtendedInformation = true;
        testing_support::QtDesk qt;
        qt.answerBoxesWithFirstButton();
        results::frmInterpretation& explanation = results::InterpretationWindow();
        QImage shot;
        QTimer poll;   // looks once the explanation is up, then presses OK
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!explanation.isShown()) return;
            poll.stop();
            shot = testing_support::grabForm(qt, explanation);
            ui::Input::click(*explanation.cmdOK);
        });
        QTimer::singleShot(0, [&] {
            ui::Input::click(*win.cmdCompare);
            poll.start(20);
            ui::Input::gridMouseUp(*win.grdResults, rowOf(QStringLiteral("summary.txt")), 1);
            ui::Input::click(*win.cmdCancel);
        });
        win.show(ui::Modal);
        desk.install();
        ASSERT_FALSE(shot.isNull());
        testing_support::saveShot(shot, fileName);
    }
};

TEST_F(OnScreen, English) { render(false, QStringLiteral("frmInterpretation-en.png")); }
TEST_F(OnScreen, Greek) { render(true, QStringLiteral("frmInterpretation-gr.png")); }

} // namespace
