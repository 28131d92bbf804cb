// Find on a real comparison: directions, wrapping, messages, the case rule
// and the one red cell.
#include "results/frmFind.h"
#include "results_fixture.h"

using namespace results_test;

namespace {

class Find : public ResultsTest {
protected:
    void inFind(const std::function<void(results::frmFind&)>& script)
    {
        desk.onModal(QStringLiteral("frmFind"), [script](ui::Form& f) { script(static_cast<results::frmFind&>(f)); },
                     ui::HeadlessDesktop::ModalEnd::AutoClose);
        ui::Input::click(*win.cmdFind);
    }
    // The red cell after a press (the current one); the others keep their colours.
    std::pair<int, int> press(ui::CommandButton* b)
    {
        ui::Input::click(*b);
        std::vector<ui::Color> now = colours(*win.grdResults);
        const auto red = std::find(now.begin(), now.end(), 255u);
        if (red == now.end()) {
            EXPECT_EQ(now, before);
            return {-1, -1};
        }
        const int k = int(red - now.begin()), cols = win.grdResults->cols();
        now[std::size_t(k)] = before[std::size_t(k)];
        EXPECT_EQ(now, before);
        EXPECT_EQ(std::pair(win.grdResults->row(), win.grdResults->col()), std::pair(k / cols, k % cols));
        return {k / cols, k % cols};
    }
    std::vector<ui::Color> before;
};

using Cell = std::pair<int, int>;

TEST_F(Find, SearchesEveryDirectionRegardlessOfCaseLeavingOneRedCell)
{
    withResults([&] {
        before = colours(*win.grdResults);
        inFind([&](results::frmFind& f) {
            ui::Input::type(*f.txtFindString, QStringLiteral("txt"));
            EXPECT_EQ(press(f.cmdFindNext), Cell(1, 1));   // right after typing, Next is First
            EXPECT_EQ(press(f.cmdFindNext), Cell(2, 1));
            EXPECT_EQ(press(f.cmdFindNext), Cell(3, 2));   // the leftmost matching cell
            EXPECT_EQ(press(f.cmdFindLast), Cell(7, 1));
            desk.expectMsgBox(QStringLiteral("Find next"), QStringLiteral("The results of the comparison, have been searched."), ui::vbInformationOK, ui::vbOK);
            EXPECT_EQ(press(f.cmdFindNext), Cell(7, 1));   // never wraps; the red cell stays
            EXPECT_EQ(press(f.cmdFindPrevious), Cell(5, 1));
            // Back one match at a time, down to the first row.
            EXPECT_EQ(press(f.cmdFindPrevious), Cell(4, 1));
            EXPECT_EQ(press(f.cmdFindPrevious), Cell(3, 2));
            EXPECT_EQ(press(f.cmdFindPrevious), Cell(2, 1));
            EXPECT_EQ(press(f.cmdFindPrevious), Cell(1, 1));
            EXPECT_EQ(press(f.cmdFindFirst), Cell(1, 1));
            EXPECT_EQ(press(f.cmdFindPrevious), Cell(7, 1));   // from the bottom after row 1
            // Neither the heading row nor the marker column is searched.
            ui::Input::type(*f.txtFindString, QStringLiteral("Name"));
            desk.expectMsgBox(QStringLiteral("Find first"), QStringLiteral("Text 'Name', not found."), ui::vbExclamationOK, ui::vbOK);
            EXPECT_EQ(press(f.cmdFindFirst), Cell(7, 1));
        });
        EXPECT_EQ(colours(*win.grdResults), before);
        EXPECT_EQ(win.cmdFind->tag(), QStringLiteral("Name"));
        // An empty text finds the folder rows.
        inFind([&](results::frmFind& f) {
            f.txtFindString->setText(QString());
            EXPECT_EQ(press(f.cmdFindFirst), Cell(6, 1));
            EXPECT_EQ(f.txtFindString->text(), QStringLiteral("\\"));
            ui::Input::type(*f.txtFindString, QStringLiteral("zzz"));
            desk.expectMsgBox(QStringLiteral("Find previous"), QStringLiteral("Text 'zzz', not found."), ui::vbExclamationOK, ui::vbOK);
            EXPECT_EQ(press(f.cmdFindPrevious), Cell(6, 1));   // a whole-grid search: the not-found text
        });
        EXPECT_EQ(colours(*win.grdResults), before);
        inFind([&](results::frmFind& f) {
            EXPECT_EQ(f.txtFindString->text(), QStringLiteral("zzz")) << "the last text is offered again";
            f.txtFindString->setText(QStringLiteral("same"));
            EXPECT_EQ(press(f.cmdFindFirst), Cell(4, 1));
            desk.expectMsgBox(QStringLiteral("Find previous"), QStringLiteral("The results of the comparison, have been searched."), ui::vbInformationOK, ui::vbOK);
            EXPECT_EQ(press(f.cmdFindPrevious), Cell(4, 1));
        });
        EXPECT_EQ(colours(*win.grdResults), before);
    });
}

// In Greek every direction has its own title, and the end of the results is
// told in the two Greek texts, Next's with a Latin capital H.
TEST_F(Find, TheMessagesAreGreekWithEachDirectionsTitle)
{
    withResults([&] {
        g().LanguageIsGreek = true;
        inFind([&](results::frmFind& f) {
            ui::Input::type(*f.txtFindString, QStringLiteral("txt"));
            ui::Input::click(*f.cmdFindLast);
            desk.expectMsgBox(QStringLiteral("Εύρεση επομένου"), QStringLiteral("H έρευνα των αποτελεσμάτων της συγκρίσεως, ολοκληρώθηκε."),
                              ui::vbInformationOK, ui::vbOK);
            ui::Input::click(*f.cmdFindNext);
            ui::Input::type(*f.txtFindString, QStringLiteral("same"));   // one row only
            ui::Input::click(*f.cmdFindFirst);
            desk.expectMsgBox(QStringLiteral("Εύρεση προηγουμένου"), QStringLiteral("Η έρευνα των αποτελεσμάτων της συγκρίσεως, ολοκληρώθηκε."),
                              ui::vbInformationOK, ui::vbOK);
            ui::Input::click(*f.cmdFindPrevious);
            ui::Input::type(*f.txtFindString, QStringLiteral("zzz"));
            desk.expectMsgBox(QStringLiteral("Εύρεση πρώτου"), QStringLiteral("Το κείμενο «zzz», δεν εντοπίσθηκε."), ui::vbExclamationOK, ui::vbOK);
            ui::Input::click(*f.cmdFindFirst);
            desk.expectMsgBox(QStringLiteral("Εύρεση τελευταίου"), QStringLiteral("Το κείμενο «zzz», δεν εντοπίσθηκε."), ui::vbExclamationOK, ui::vbOK);
            ui::Input::click(*f.cmdFindLast);
        });
        g().LanguageIsGreek = false;
    });
}

// Its words in either language; from the keyboard: the text first, all of
// it selected, then Next, Previous, Last, First and OK; Enter is Next, Esc
// is OK; the text is kept for the next time the window opens.
TEST_F(Find, ItsWordsInEitherLanguageAndTheKeyboardOrder)
{
    withResults([&] {
        for (bool greek : {false, true}) {
            SCOPED_TRACE(greek ? "Greek" : "English");
            g().LanguageIsGreek = greek;
            inFind([&](results::frmFind& f) {
                EXPECT_EQ(f.caption(), greek ? "Εύρεση" : "Find");
                EXPECT_EQ(QStringList({f.cmdFindFirst->caption(), f.cmdFindLast->caption(), f.cmdFindPrevious->caption(),
                                       f.cmdFindNext->caption(), f.cmdOK->caption()}),
                          greek ? QStringList({"Πρώτο", "Τελευταίο", "Προηγούμενο", "Επόμενο", "ΟΚ"})
                                : QStringList({"First", "Last", "Previous", "Next", "OK"}));
                auto focused = [&f] { return f.activeControl() ? f.activeControl()->name() : QString(); };
                EXPECT_EQ(focused(), "txtFindString");
                QStringList walked;
                for (int k = 0; k < 6; ++k) {
                    ui::Input::key(f, ui::vbKeyTab);
                    walked << focused();
                }
                EXPECT_EQ(walked, QStringList({"cmdFindNext", "cmdFindPrevious", "cmdFindLast", "cmdFindFirst", "cmdOK",
                                               "txtFindString"}));
                if (!greek) {
                    ui::Input::type(*f.txtFindString, QStringLiteral("a.txt"));
                    ui::Input::key(f, ui::vbKeyReturn);   // Next
                    EXPECT_NE(f.txtFindString->tag(), "0") << "found";
                } else {
                    EXPECT_EQ(f.txtFindString->text(), "a.txt") << "kept from the last time";
                    EXPECT_EQ(f.txtFindString->selStart(), 0);
                    EXPECT_EQ(f.txtFindString->selLength(), 5);
                    EXPECT_EQ(f.txtFindString->tag(), "0") << "a new search starts at the top";
                }
                ui::Input::key(f, ui::vbKeyEscape);
                EXPECT_FALSE(f.isLoaded());
            });
        }
        g().LanguageIsGreek = false;
    });
}

// The window's layout: the text with First beside it; OK, Previous, Next
// and Last in one row below, equally far apart, Last under First and ending
// where the window's margin begins.
TEST_F(Find, ItsControlsStandInTwoRows)
{
    results::frmFind f;
    f.load();
    const std::vector<ui::CommandButton*> row = {f.cmdOK, f.cmdFindPrevious, f.cmdFindNext, f.cmdFindLast};
    for (std::size_t k = 0; k < row.size(); ++k) {
        SCOPED_TRACE(row[k]->name().toStdString());
        EXPECT_EQ(row[k]->top(), row[0]->top());
        EXPECT_EQ(row[k]->height(), f.cmdFindFirst->height());
        if (k > 0) {
            EXPECT_EQ(row[k]->left() - (row[k - 1]->left() + row[k - 1]->width()), 120);
        }
    }
    EXPECT_EQ(f.cmdOK->left(), f.txtFindString->left());
    EXPECT_EQ(f.defaultButton(), f.cmdFindNext);
    EXPECT_EQ(f.cancelButton(), f.cmdOK);
    EXPECT_EQ(f.cmdFindFirst->left(), f.cmdFindLast->left());
    EXPECT_EQ(f.cmdFindFirst->width(), f.cmdFindLast->width());
    EXPECT_EQ(f.cmdFindFirst->left() - (f.txtFindString->left() + f.txtFindString->width()), 120);
    EXPECT_EQ(f.cmdFindLast->left() + f.cmdFindLast->width() + 120, f.width());
    EXPECT_EQ(f.cmdOK->width(), f.cmdFindPrevious->width());
    EXPECT_EQ(f.cmdFindNext->width(), f.cmdFindPrevious->width());
    // First sits level with the text box, centred on its height.
    EXPECT_EQ(2 * f.cmdFindFirst->top() + f.cmdFindFirst->height(), 2 * f.txtFindString->top() + f.txtFindString->height());
    EXPECT_GT(f.cmdOK->top(), f.cmdFindFirst->top() + f.cmdFindFirst->height());
    f.unload();
}

// A found cell's colour is given back only to a results window that is
// there: a Find window of none leaves everything as it is.
TEST_F(Find, AFindWindowOfNoResultsGivesNoColourBack)
{
    results::frmFind f;
    g().FoundCellRow = 1;
    g().FoundCellCol = 1;
    g().FoundCellBackColor = 0x123456;
    f.cpChangeBackgroundColor();
    f.load();
    f.unload();
    EXPECT_FALSE(f.isLoaded());
}

} // namespace
