// The Qt desktop on the offscreen platform: what only the backend can break
// (modal loops, message boxes, the resizer, the grid's and the list's item
// models, context help).

#include "QtFixture.h"
#include "ui/qt/HelpFile.h"

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTextLayout>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cmath>

using namespace qttest;

namespace {

// Presses the button of the message box whose answer is `answer`, and keeps
// what the box looked like.
struct BoxAnswerer {
    int answer = 0;
    QString title, text;
    QStringList captions;
    QString defaultCaption, escapeCaption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* parent = nullptr;
    QString shown;   // what the text label shows
    QFont shownFont;
    Qt::WindowFlags flags;
    int seen = 0;
    void operator()(QWidget* w)
    {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) return;
        ++seen;
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        parent = box->parentWidget();
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
            shown = label->text();
            shownFont = label->font();
        }
        flags = box->windowFlags();
        captions.clear();
        for (QAbstractButton* b : box->buttons()) captions << b->text();
        defaultCaption = box->defaultButton() ? box->defaultButton()->text() : QString();
        escapeCaption = box->escapeButton() ? box->escapeButton()->text() : QString();
        if (answer == -1) {   // Esc, as a user would press it
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(box, &esc);
            if (box->isVisible()) box->done(0);   // not escapable: leave by the first button below
            if (box->isVisible() || box->clickedButton() == nullptr) box->buttons().first()->click();
            return;
        }
        box->findChild<QPushButton*>(QStringLiteral("answer%1").arg(answer))->click();
    }
};

} // namespace

// --- Modal runs ---------------------------------------------------------------------

TEST_F(QtDesktopTest, AFormThatHidesItselfAndIsShownModallyAgainKeepsItsOpenerWaiting)
{
    QStringList log;
    int deepest = 0;
    BuiltForm results("frmResults", [&](BuiltForm& f) {
        auto* again = f.add<CommandButton>("cmdAgain");
        again->setCaption("Again");
        again->Click = [&f, &log, &deepest, this] {
            f.hide();
            log << "hidden";
            later(0, [&] {
                deepest = std::max(deepest, desk.modalDepth());
                desk.window(f)->close();   // the close box
            });
            f.show(Modal);
            log << "second wait over";
        };
    });
    later(0, [&] {
        deepest = desk.modalDepth();
        static_cast<QPushButton*>(desk.window(results)->widgetFor(results.control("cmdAgain")))->click();
    });
    results.show(Modal);
    log << "opener resumes";
    EXPECT_EQ(log, (QStringList{"hidden", "second wait over", "opener resumes"}));
    EXPECT_EQ(deepest, 2);
    EXPECT_FALSE(results.isLoaded());
}

// A window opened from another is tied to it and opens over its middle;
// one opened while its opener is hidden opens where the opener stood and is
// tied to the opener's own owner.
TEST_F(QtDesktopTest, AWindowIsTiedToTheWindowItIsOpenedFromAndOpensOverIt)
{
    BuiltForm main("frmMain"), results("frmResults"), find("frmFind"), explain("frmExplain");
    main.move(0, 0, 9000, 7000);
    results.move(0, 0, 7000, 5000);
    for (BuiltForm* f : {&find, &explain}) f->move(0, 0, 3000, 1500);
    main.show();
    desk.window(main)->move(300, 200);
    struct Seen {
        FormWindow* owner = nullptr;
        QWindow* transient = nullptr;
        QPoint centre;
    };
    Seen seenFind, seenExplain;
    QPoint resultsCentre;
    const auto look = [this](Form& f, Seen& seen) {
        FormWindow* w = desk.window(f);
        seen = {w->owner(), w->windowHandle()->transientParent(), w->geometry().center()};
        f.unload();
    };
    later(0, [&] {
        FormWindow* r = desk.window(results);
        r->move(20, 30);   // moved by the user
        resultsCentre = r->geometry().center();
        later(0, [&] { look(find, seenFind); });
        find.show(Modal);
        results.hide();
        later(0, [&] { look(explain, seenExplain); });
        explain.show(Modal);
        results.unload();
    });
    results.show(Modal);
    ASSERT_NE(seenFind.owner, nullptr);
    EXPECT_EQ(seenFind.owner->objectName(), "frmResults");
    EXPECT_EQ(seenFind.transient, seenFind.owner->windowHandle());
    EXPECT_LE((seenFind.centre - resultsCentre).manhattanLength(), 2);
    ASSERT_NE(seenExplain.owner, nullptr);
    EXPECT_EQ(seenExplain.owner->objectName(), "frmResults");
    EXPECT_EQ(seenExplain.transient, desk.window(main)->windowHandle());
    EXPECT_LE((seenExplain.centre - resultsCentre).manhattanLength(), 2);
}

// Each showing opens a window over its owner where the owner stands now, and
// never off the screen; a form the program places itself opens there.
TEST_F(QtDesktopTest, EveryShowingOpensAWindowOverItsOwnerWhereverTheOwnerWasMoved)
{
    BuiltForm main("frmMain");
    BuiltForm options("frmOptions", [](BuiltForm& f) {
        f.move(f.left(), f.top(), 4000, 3000);
        f.add<CommandButton>("cmdOK")->move(120, 120, 1200, 400);
        f.add<FormResizer>("freeSizer1");
    });
    BuiltForm notice("frmPleaseWait", [](BuiltForm& f) { f.move(f.left(), f.top(), 3000, 1200); });
    main.move(0, 0, 9000, 7000);
    main.show();
    FormWindow* mw = desk.window(main);
    const QRect screen = mw->screen()->availableGeometry();
    const auto openOptions = [&] {
        QRect seen;
        later(0, [&] {
            FormWindow* w = desk.window(options);
            seen = w->frameGeometry();
            w->resize(w->width() + 15, w->height() + 15);   // the user widens it a little
            options.unload();
        });
        options.show(Modal);
        return seen;
    };
    struct Row {
        QPoint mainAt;
        bool whole;   // the owner is whole on the screen: the window is centred over it
    };
    const Row rows[] = {{{40, 30}, true}, {{40, 30}, true}, {{150, 90}, true}, {{20, 60}, true}, {{screen.right() - 100, screen.bottom() - 80}, false}};
    for (const Row& r : rows) {
        mw->move(r.mainAt);
        const QRect seen = openOptions();
        SCOPED_TRACE(QStringLiteral("main at %1,%2").arg(r.mainAt.x()).arg(r.mainAt.y()).toStdString());
        EXPECT_TRUE(screen.contains(seen)) << seen.x() << "," << seen.y();
        if (r.whole) {
            EXPECT_LE((seen.center() - mw->frameGeometry().center()).manhattanLength(), 2);
        }
    }
    // The program's own place (the please-wait notice over its caller).
    mw->move(40, 30);
    notice.load();
    notice.move(3000, 2250, notice.width(), notice.height());
    notice.show();
    EXPECT_EQ(desk.window(notice)->pos(), QPoint(QtDesktop::px(3000), QtDesktop::px(2250)));
    notice.unload();
    main.unload();
}

// The results window hides itself while a row is explained and shows again
// after: where the user had moved it, it comes back there, not over its owner.
TEST_F(QtDesktopTest, AWindowHiddenAndShownAgainComesBackWhereItStood)
{
    BuiltForm main("frmMain");
    BuiltForm results("frmCompare", [](BuiltForm& f) { f.move(f.left(), f.top(), 5000, 4000); });
    main.move(0, 0, 9000, 7000);
    main.show();
    FormWindow* mw = desk.window(main);
    mw->move(40, 30);
    results.show();
    FormWindow* rw = desk.window(results);
    EXPECT_LE((rw->frameGeometry().center() - mw->frameGeometry().center()).manhattanLength(), 2);
    // The form's Left and Top tell where its window stands, also once the user moved it.
    EXPECT_EQ(QPoint(results.left(), results.top()), QPoint(QtDesktop::twips(rw->x()), QtDesktop::twips(rw->y())));
    rw->move(rw->x() + 120, rw->y() + 70);   // the user moves it away
    QApplication::processEvents();
    const QPoint moved = rw->pos();
    EXPECT_EQ(QPoint(results.left(), results.top()), QPoint(QtDesktop::twips(moved.x()), QtDesktop::twips(moved.y())));
    results.hide();
    results.show();
    EXPECT_EQ(desk.window(results)->pos(), moved);
    // Opened anew, it is over its owner again.
    results.unload();
    results.show();
    EXPECT_LE((desk.window(results)->frameGeometry().center() - mw->frameGeometry().center()).manhattanLength(), 2);
    results.unload();
    main.unload();
}

// WindowState minimises, maximises or restores the window; any other value
// is error 380 and leaves the window as it stands.
TEST_F(QtDesktopTest, WindowStateMinimisesMaximisesOrRestoresTheWindowAndRefusesOtherValues)
{
    BuiltForm f("frmCompare");
    f.show();
    FormWindow* w = desk.window(f);
    const struct {
        int state;
        Qt::WindowStates shown;
    } states[] = {{2, Qt::WindowMaximized}, {1, Qt::WindowMinimized}, {0, Qt::WindowNoState}, {2, Qt::WindowMaximized}};
    for (const auto& s : states) {
        f.setWindowState(s.state);
        EXPECT_EQ(f.windowState(), s.state);
        EXPECT_EQ(w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), s.shown) << s.state;
    }
    for (int bad : {-1, 3}) {
        uitest::expectUiError([&] { f.setWindowState(bad); }, 380, QStringLiteral("Invalid property value"));
        EXPECT_EQ(f.windowState(), 2) << bad;
        EXPECT_TRUE(w->windowState() & Qt::WindowMaximized) << bad;
    }
    f.unload();
}

// A window asks for the title-bar buttons of its design, and for no
// minimise button while it is modal. Where the window manager draws a
// button all the same, what it does is undone; a state the program sets
// stays.
TEST_F(QtDesktopTest, AWindowAsksForTheTitleButtonsOfItsDesignAndNoMinimiseWhileModal)
{
    BuiltForm main("frmMain"), options("frmOptions");
    BuiltForm print("frmPrint", [](BuiltForm& f) {
        f.setMinButton(false);
        f.setMaxButton(false);
    });
    const Qt::WindowFlags minMax = Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;
    const auto buttons = [this, minMax](const Form& f) { return desk.window(f)->windowFlags() & (minMax | Qt::WindowCloseButtonHint); };
    main.show();
    EXPECT_EQ(buttons(main), minMax | Qt::WindowCloseButtonHint);
    Qt::WindowFlags printModal, optionsModal;
    Qt::WindowStates printStates[2];
    later(0, [&] {
        printModal = buttons(print);
        FormWindow* w = desk.window(print);
        for (Qt::WindowState s : {Qt::WindowMinimized, Qt::WindowMaximized}) {
            w->setWindowState(s);
            QApplication::processEvents();
            printStates[s == Qt::WindowMaximized] = w->windowState();
        }
        print.unload();
    });
    print.show(Modal);
    EXPECT_EQ(printModal, Qt::WindowCloseButtonHint);
    EXPECT_EQ(printStates[0], Qt::WindowNoState) << "back from minimised";
    EXPECT_EQ(printStates[1], Qt::WindowNoState) << "back from maximised";

    later(0, [&] {
        optionsModal = buttons(options);
        options.hide();
    });
    options.show(Modal);
    EXPECT_EQ(optionsModal, Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    options.show();   // the same window, now modeless
    EXPECT_EQ(buttons(options), minMax | Qt::WindowCloseButtonHint);
    EXPECT_EQ(desk.window(options)->windowType(), Qt::Dialog) << "still tied to the main window";
    options.setMinButton(false);
    EXPECT_EQ(buttons(options), Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    options.setMaxButton(false);
    EXPECT_EQ(buttons(options), Qt::WindowCloseButtonHint);
    EXPECT_TRUE(desk.window(options)->isVisible());
    // Minimised anyway, it comes back as the active window.
    desk.window(main)->activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), desk.window(main));
    desk.window(options)->setWindowState(Qt::WindowMinimized);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_FALSE(desk.window(options)->windowState() & Qt::WindowMinimized);
    EXPECT_EQ(QApplication::activeWindow(), desk.window(options));
    options.setWindowState(2);
    QApplication::processEvents();
    EXPECT_TRUE(desk.window(options)->windowState() & Qt::WindowMaximized) << "the program's own state";
    options.unload();
    main.unload();
}

// Most windows are designed at 0, 0. Opened a second time, the design puts
// them back there while the form still remembers where its window stood:
// that must not count as the program's own place, or the window would open
// in the screen's corner.
TEST_F(QtDesktopTest, AWindowDesignedAtTheCornerOpensOverItsOwnerEveryTime)
{
    BuiltForm main("frmMain");
    BuiltForm about("frmAbout", [](BuiltForm& f) {
        f.move(0, 0, 4000, 3000);
        f.add<CommandButton>("cmdOK")->move(120, 120, 1200, 400);
    });
    main.move(0, 0, 9000, 7000);
    main.show();
    FormWindow* mw = desk.window(main);
    mw->move(160, 120);
    for (const bool modal : {true, true, false, false}) {
        QPoint centre;
        if (modal) {
            later(0, [&] {
                centre = desk.window(about)->frameGeometry().center();
                about.unload();
            });
            about.show(Modal);
        } else {
            about.show();
            centre = desk.window(about)->frameGeometry().center();
            about.unload();
        }
        EXPECT_LE((centre - mw->frameGeometry().center()).manhattanLength(), 2)
            << (modal ? "modal " : "modeless ") << centre.x() << "," << centre.y();
    }
    main.unload();
}

// --- Message boxes -----------------------------------------------------------------

TEST_F(QtDesktopTest, MessageBoxesHaveTheStylesButtonsDefaultsAndEscape)
{
    BuiltForm owner("frmOwner");
    owner.show();
    BoxAnswerer a;
    desk.setDialogHook([&a](QWidget* w) { a(w); });
    const QString yes = QString::fromUtf8("Ναι"), no = QString::fromUtf8("Όχι");
    const QString retry = QString::fromUtf8("Επανάληψη"), cancel = QString::fromUtf8("Άκυρο");
    const struct {
        int style;
        bool greek;
        int answer;   // -1: Esc
        int result;
        QStringList captions;
        QString defaultCaption, escapeCaption;
        QMessageBox::Icon icon;
    } cases[] = {
        {292, false, vbNo, vbNo, {"Yes", "No"}, "No", "", QMessageBox::Question},
        {325, false, -1, vbCancel, {"Retry", "Cancel"}, "Cancel", "Cancel", QMessageBox::Information},
        {16, false, -1, vbOK, {"OK"}, "OK", "OK", QMessageBox::Critical},
        {48, false, -1, vbOK, {"OK"}, "OK", "OK", QMessageBox::Warning},
        {64, false, -1, vbOK, {"OK"}, "OK", "OK", QMessageBox::Information},
        {325, true, vbRetry, vbRetry, {retry, cancel}, cancel, cancel, QMessageBox::Information},
        {36, true, vbYes, vbYes, {yes, no}, yes, "", QMessageBox::Question},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        desk.setGreekButtons(c.greek);
        a.answer = c.answer;
        EXPECT_EQ(msgBox(&owner, "Cancel processing", "Line one\r\nLine two", c.style), c.result);
        EXPECT_EQ(a.captions, c.captions);
        EXPECT_EQ(a.defaultCaption, c.defaultCaption);
        EXPECT_EQ(a.escapeCaption, c.escapeCaption);
        EXPECT_EQ(a.icon, c.icon);
    }
    EXPECT_EQ(a.seen, 7);
    EXPECT_EQ(a.text, "Line one\nLine two");
    EXPECT_EQ(a.parent, desk.window(owner));
    a.answer = -1;
    msgBox(nullptr, "t", "x", 64);
    EXPECT_EQ(a.parent, nullptr);
}

// A box without an owner, raised while the uppermost modal window is hidden
// inside its wait, belongs to the modal window the user still sees.
TEST_F(QtDesktopTest, ABoxRaisedWhileTheTopModalWindowIsHiddenBelongsToTheOneBelow)
{
    BuiltForm compare("frmCompare"), explain("frmExplain");
    BoxAnswerer a;
    a.answer = vbOK;
    desk.setDialogHook([&a](QWidget* w) { a(w); });
    QWidget* below = nullptr;
    QWidget* parentWhileShown = nullptr;
    QWidget* parentWhileHidden = nullptr;
    later(0, [&] {
        below = desk.window(compare);
        later(0, [&] {
            msgBox(nullptr, "Quillmarsh", "shown", vbInformationOK);
            parentWhileShown = a.parent;
            explain.hide();
            msgBox(nullptr, "Quillmarsh", "hidden", vbInformationOK);
            parentWhileHidden = a.parent;
            explain.unload();
        });
        explain.show(Modal);
        compare.unload();
    });
    compare.show(Modal);
    EXPECT_EQ(a.seen, 2);
    EXPECT_NE(parentWhileShown, nullptr);
    EXPECT_NE(parentWhileShown, below) << "the uppermost window while it shows";
    EXPECT_EQ(parentWhileHidden, below);
}

// A path in a box never breaks between its drive and the rest ("C:" at the
// end of a line), whatever the width; a box asks for its close button but no
// minimise or maximise button, and one iconified all the same comes back.
TEST_F(QtDesktopTest, MessageBoxesKeepADriveWithItsPathAndComeBackWhenIconified)
{
    BuiltForm owner("frmOwner");
    owner.show();
    BoxAnswerer a;
    a.answer = vbOK;
    desk.setDialogHook([&a](QWidget* w) { a(w); });
    const QString texts[] = {
        QStringLiteral("The folder 'C:\\Documents and Settings\\Reports of the year' does not exist."),
        QStringLiteral("Το αρχείο C:\\Έγγραφα\\Αναφορές.txt δεν βρέθηκε (D:\\Αντίγραφα)."),
    };
    for (const QString& text : texts) {
        msgBox(&owner, "Quillmarsh", text, vbExclamationOK);
        SCOPED_TRACE(text.toStdString());
        EXPECT_FALSE(a.flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(a.flags & Qt::WindowCloseButtonHint);
        EXPECT_EQ(QString(a.text).remove(QChar(0x2060)).remove(QChar(0x200B)), text);   // only joined and breakable
        QTextLayout layout(a.shown, a.shownFont);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        for (int width = 40; width <= 420; width += 2) {
            layout.beginLayout();
            QStringList lines;
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(width);
                lines << a.shown.mid(line.textStart(), line.textLength());
            }
            layout.endLayout();
            for (qsizetype i = 0; i + 1 < lines.size(); ++i)
                EXPECT_FALSE(lines[i].trimmed().endsWith(u':') && lines[i + 1].startsWith(u'\\')) << width << ": " << lines[i].toStdString();
        }
    }
    // Iconified anyway (openbox draws the button on every dialog), a box
    // comes straight back rather than leave the program blocked behind it.
    bool stayedUp = false;
    desk.setDialogHook([&](QWidget* w) {
        w->setWindowState(Qt::WindowMinimized);
        later(30, [&, w] {
            stayedUp = !(w->windowState() & Qt::WindowMinimized);
            static_cast<QMessageBox*>(w)->buttons().first()->click();
        });
    });
    msgBox(&owner, "Quillmarsh", "Minimised?", vbInformationOK);
    EXPECT_TRUE(stayedUp);
    // Maximised anyway, it goes back to its own size.
    bool normal = false;
    desk.setDialogHook([&](QWidget* w) {
        w->setWindowState(Qt::WindowMaximized);
        later(0, [&, w] {
            normal = w->windowState() == Qt::WindowNoState;
            static_cast<QMessageBox*>(w)->buttons().first()->click();
        });
    });
    msgBox(&owner, "Quillmarsh", "Maximised?", vbInformationOK);
    EXPECT_TRUE(normal);
    owner.unload();
}

// A long path in a box shows whole: it breaks after its separators (never
// between its drive and the rest), and a name longer than a line breaks
// where the line ends, so that no character runs past the box's edge.
TEST_F(QtDesktopTest, ALongPathInABoxShowsWholeBreakingAfterItsSeparators)
{
    BuiltForm owner("frmOwner");
    owner.show();
    QString path = QStringLiteral("C:\\");
    while (path.size() < 130) path += QStringLiteral("folder_%1\\").arg(path.size());
    path.chop(1);
    QString greek = QStringLiteral("D:\\");
    while (greek.size() < 130) greek += QStringLiteral("Φάκελλος_%1\\").arg(greek.size());
    const struct {
        QString text;
        bool onlyAtSeparators;   // every break in the path comes after a "\"
    } cases[] = {
        {QStringLiteral("Do you really want to save path '") + path + QStringLiteral("', in the saved paths file?"), true},
        {QStringLiteral("Θέλετε πράγματι να αποθηκεύσετε την διαδρομή «") + greek + QStringLiteral("», στο αρχείο;"), true},
        {QStringLiteral("The file C:\\") + QString(240, u'x') + QStringLiteral(".txt is missing."), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        QStringList lines;
        int overflow = 0;   // pixels of the widest line beyond the label, or of the lines below it
        desk.setDialogHook([&](QWidget* w) {
            later(30, [&, w] {
                auto* box = static_cast<QMessageBox*>(w);
                const QLabel* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
                const QRect room = label->contentsRect();
                QTextLayout layout(label->text(), label->font());
                QTextOption option;
                option.setWrapMode(QTextOption::WordWrap);
                layout.setTextOption(option);
                layout.beginLayout();
                qreal height = 0;
                for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                    line.setLineWidth(room.width());
                    lines << label->text().mid(line.textStart(), line.textLength()).remove(QChar(0x200B)).remove(QChar(0x2060));
                    overflow = std::max(overflow, int(std::ceil(line.naturalTextWidth())) - room.width());
                    height += line.height();
                }
                layout.endLayout();
                overflow = std::max(overflow, int(std::ceil(height)) - room.height());
                overflow = std::max(overflow, label->geometry().right() - box->contentsRect().right());
                box->buttons().first()->click();
            });
        });
        msgBox(&owner, "Quillmarsh", c.text, vbQuestionYesNo);
        EXPECT_LE(overflow, 0) << lines.join(u'|').toStdString();
        EXPECT_EQ(lines.join(QString()), c.text);
        EXPECT_GT(lines.size(), 1);
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            EXPECT_FALSE(lines[i].endsWith(u':')) << lines[i].toStdString();
            if (c.onlyAtSeparators) {
                EXPECT_TRUE(lines[i].endsWith(u'\\') || lines[i].endsWith(u' ')) << lines[i].toStdString();
            }
        }
    }
    owner.unload();
}

// --- The resizer --------------------------------------------------------------------

TEST_F(QtDesktopTest, TheResizerScalesControlsAndFontsButNeverBelowTheDesignSizeAndIconsKeepTheirProportions)
{
    int resizeDone = 0;
    CommandButton* b = nullptr;
    BuiltForm f("frmSized", [&](BuiltForm& form) {
        form.move(0, 0, 6120, 4950);   // client 6000 x 4500 twips
        auto* r = form.add<FormResizer>("freeSizer1");
        r->setResizeFonts(true);
        r->ResizeDone = [&resizeDone] { ++resizeDone; };
        b = form.add<CommandButton>("cmdCompare");
        b->move(1500, 600, 1500, 450);
        b->setStyle(1);
        b->setPicture(Picture{":/icons/compare.png"});
        auto* hidden = form.add<Label>("lblMeasure");
        hidden->move(300, 3000, 3000, 300);
        hidden->setVisible(false);
    });
    f.show();
    FormWindow* w = desk.window(f);
    auto* q = static_cast<QPushButton*>(w->widgetFor(b));
    ASSERT_EQ(w->client()->width(), QtDesktop::px(6000));
    const QSize design = w->size();
    const double before = q->font().pointSizeF();
    w->resize(w->width() * 2, w->height() * 2);
    QApplication::processEvents();
    EXPECT_NEAR(b->left(), 3000, 30);
    EXPECT_NEAR(b->width(), 3000, 30);
    EXPECT_NEAR(b->top(), 1200, 30);
    EXPECT_NEAR(f.control("lblMeasure")->width(), 6000, 60);
    EXPECT_NEAR(q->font().pointSizeF(), before * 2, 0.2);
    EXPECT_NEAR(q->x(), QtDesktop::px(3000), 2);

    // Back to the design size: no drift.
    w->resize(design);
    QApplication::processEvents();
    EXPECT_EQ(b->left(), 1500);
    EXPECT_EQ(b->width(), 1500);
    EXPECT_EQ(resizeDone, 1);   // the notification after layout came once, at load

    w->resize(300, 200);
    QApplication::processEvents();
    EXPECT_GE(w->width(), design.width());
    EXPECT_GE(w->height(), design.height());
    w->resize(design.width() * 3, design.height());   // as a wide screen maximises it
    QApplication::processEvents();
    const QSize picture = QPixmap(":/icons/compare.png").size();
    ASSERT_FALSE(picture.isEmpty());
    EXPECT_EQ(q->iconSize(), picture.scaled(q->size() - QSize(6, 6), Qt::KeepAspectRatio));
}

// Without a resizer a window resized by the user leaves its controls and
// their fonts as designed, and may be made smaller than its design.
TEST_F(QtDesktopTest, AWindowWithoutAResizerKeepsItsControlsAsDesignedAndMayShrink)
{
    CommandButton* b = nullptr;
    BuiltForm f("frmFixed", [&](BuiltForm& form) {
        form.move(0, 0, 6120, 4950);
        b = form.add<CommandButton>("cmdCompare");
        b->move(1500, 600, 1500, 450);
    });
    f.show();
    FormWindow* w = desk.window(f);
    QWidget* q = w->widgetFor(b);
    const QSize design = w->size();
    const QRect placed = q->geometry();
    const double points = q->font().pointSizeF();
    w->resize(w->width() * 2, w->height() * 2);
    QApplication::processEvents();
    EXPECT_EQ(b->left(), 1500);
    EXPECT_EQ(b->width(), 1500);
    EXPECT_EQ(b->top(), 600);
    EXPECT_EQ(q->geometry(), placed);
    EXPECT_EQ(q->font().pointSizeF(), points);
    w->resize(design.width() / 2, design.height() / 2);
    QApplication::processEvents();
    EXPECT_LT(w->width(), design.width());
    EXPECT_LT(w->height(), design.height());
    EXPECT_EQ(b->width(), 1500);
}

// A control made after its window is up scales with the others and takes
// its place in the Tab order.
TEST_F(QtDesktopTest, AControlMadeAfterItsWindowIsUpScalesAndTabsLikeTheOthers)
{
    CommandButton* first = nullptr;
    CommandButton* last = nullptr;
    BuiltForm f("frmSized", [&](BuiltForm& form) {
        form.move(0, 0, 6120, 4950);   // client 6000 x 4500 twips
        form.add<FormResizer>("freeSizer1");
        first = form.add<CommandButton>("cmdCompare");
        first->move(300, 300, 1500, 450);
        first->setTabIndex(0);
        last = form.add<CommandButton>("cmdClose");
        last->move(300, 900, 1500, 450);
        last->setTabIndex(2);
    });
    f.show();
    auto* late = f.add<CommandButton>("cmdLate");
    late->setTabIndex(1);
    late->move(1500, 1500, 1200, 450);
    FormWindow* w = desk.window(f);
    ASSERT_NE(w->widgetFor(late), nullptr);
    const auto tabAfter = [](QWidget* from) {
        QWidget* x = from->nextInFocusChain();
        while (x != from && !(x->focusPolicy() & Qt::TabFocus)) x = x->nextInFocusChain();
        return x;
    };
    EXPECT_EQ(tabAfter(w->widgetFor(first)), w->widgetFor(late));
    EXPECT_EQ(tabAfter(w->widgetFor(late)), w->widgetFor(last));
    w->resize(w->width() * 2, w->height() * 2);
    QApplication::processEvents();
    EXPECT_NEAR(late->left(), 3000, 30);
    EXPECT_NEAR(late->width(), 2400, 30);
    EXPECT_NEAR(w->widgetFor(late)->width(), QtDesktop::px(2400), 2);
}

// Controls made while the window is up are reached by Tab in the order they
// were made, whichever of them the program sets up first, and while others
// made with them have not been set up yet (and have no widget).
TEST_F(QtDesktopTest, ControlsMadeOnScreenAreTabbedInTheirOrderWhicheverIsSetUpFirst)
{
    BuiltForm f("frmLate", [](BuiltForm& form) {
        form.move(0, 0, 6120, 4950);
        form.add<CommandButton>("cmdFirst")->move(300, 300, 1500, 450);
    });
    f.show();
    QApplication::processEvents();
    CommandButton* made[5] = {};
    for (int i = 0; i < 5; ++i) made[i] = f.add<CommandButton>("cmdMade", i);
    made[4]->move(300, 2700, 1500, 450);   // 1 and 3 stay untouched
    made[2]->move(300, 1500, 1500, 450);
    made[0]->move(300, 900, 1500, 450);
    QApplication::processEvents();
    FormWindow* w = desk.window(f);
    w->widgetFor(f.control("cmdFirst"))->setFocus(Qt::OtherFocusReason);
    QStringList reached;
    for (int i = 0; i < 4; ++i) {
        sendKey(QApplication::focusWidget(), Qt::Key_Tab);
        reached << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(reached, (QStringList{"cmdMade(0)", "cmdMade(2)", "cmdMade(4)", "cmdFirst"}));
}

// --- Grids and lists ------------------------------------------------------------------

// The grid and the list are item models of the model's cells and items;
// changes arrive at the next yield; clicks, keys and dragged column borders
// go to the model.
TEST_F(QtDesktopTest, GridAndListViewsShowTheModelAndTheirInputEntersIt)
{
    BuiltForm f("frmViews");
    f.load();
    f.move(0, 0, 8520, 3450);
    auto* g = f.add<FlexGrid>("grdResults");
    g->move(0, 0, 5000, 3000);
    g->setCols(4);
    g->setRows(4);
    g->setTextMatrix(0, 1, "Name");
    g->setMergeCells(1);
    g->setMergeRow(1, true);
    for (int c = 0; c < 4; ++c) g->setTextMatrix(1, c, c == 0 ? "1" : "Folder A");
    g->setTextMatrix(2, 1, "x");
    g->setTextMatrix(2, 2, "x");   // not a merge row
    g->setCellBackColorAt(2, 3, rgb(0, 255, 0));
    auto* l = f.add<ListBox>("lstFolders");
    l->move(5100, 0, 3000, 3000);
    l->setSorted(true);
    for (const char* s : {"beta", "Alpha", "gamma"}) l->addItem(s);
    QStringList clicks;
    l->Click = [l, &clicks] { clicks << l->text(); };
    f.show();
    QApplication::processEvents();
    auto* view = static_cast<QTableView*>(desk.window(f)->widgetFor(g));
    auto* model = view->model();
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->columnCount(), 3);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Name");
    EXPECT_EQ(model->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), "1");
    EXPECT_EQ(view->columnSpan(0, 0), 3);   // merged across the scrolling columns, never into column 0
    EXPECT_EQ(view->columnSpan(1, 0), 1);
    EXPECT_EQ(model->data(model->index(1, 2), Qt::BackgroundRole).value<QColor>(), QColor(0, 255, 0));

    g->setRows(1001);
    g->setTextMatrix(1000, 2, "last");
    g->setCellBackColorAt(1000, 2, 255);
    g->setTextMatrix(1, 3, "other");
    desk.doEvents();
    EXPECT_EQ(model->rowCount(), 1000);
    EXPECT_EQ(model->data(model->index(999, 1), Qt::DisplayRole).toString(), "last");
    EXPECT_EQ(model->data(model->index(999, 1), Qt::BackgroundRole).value<QColor>(), QColor(255, 0, 0));
    EXPECT_EQ(view->columnSpan(0, 0), 2);
    // A text alone changed on a merge row joins or splits its cells on screen.
    g->setTextMatrix(1, 3, "Folder A");
    desk.doEvents();
    EXPECT_EQ(view->columnSpan(0, 0), 3);
    g->setTextMatrix(1, 2, "Folder B");
    desk.doEvents();
    EXPECT_EQ(view->columnSpan(0, 0), 1);
    EXPECT_EQ(view->columnSpan(0, 1), 1);
    g->setTextMatrix(1, 2, "Folder A");
    desk.doEvents();
    EXPECT_EQ(view->columnSpan(0, 0), 3);
    view->horizontalHeader()->resizeSection(1, 100);
    EXPECT_EQ(g->colWidth(2), QtDesktop::twips(100));
    // Dragging a heading border keeps the new width and is no click on the
    // heading row; a press and release in place is one.
    QStringList ups;
    g->MouseUp = [g, &ups](int, int, int, int) { ups << QStringLiteral("%1,%2").arg(g->mouseRow()).arg(g->mouseCol()); };
    QWidget* heads = view->horizontalHeader()->viewport();
    const auto mouse = [heads](QEvent::Type type, int x, Qt::MouseButtons held) {
        const QPointF at(x, 5);
        QMouseEvent e(type, at, heads->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(heads, &e);
    };
    const int border = view->horizontalHeader()->sectionViewportPosition(1) + 100 - 1;
    mouse(QEvent::MouseButtonPress, border, Qt::LeftButton);
    mouse(QEvent::MouseMove, border + 20, Qt::LeftButton);
    mouse(QEvent::MouseMove, border + 40, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, border + 40, Qt::NoButton);
    EXPECT_EQ(g->colWidth(2), QtDesktop::twips(140));
    EXPECT_EQ(ups, QStringList());
    mouse(QEvent::MouseButtonPress, border - 30, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, border - 30, Qt::NoButton);
    EXPECT_EQ(ups, QStringList{"0,2"});
    EXPECT_EQ(g->colWidth(2), QtDesktop::twips(140));
    g->setTopRow(500);
    EXPECT_EQ(view->rowAt(1), 499);

    auto* list = static_cast<QListView*>(desk.window(f)->widgetFor(l));
    // Taking the focus frames no row while none is chosen.
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(list, &focusIn);
    EXPECT_FALSE(list->currentIndex().isValid());
    const QPointF at = list->visualRect(list->model()->index(1, 0)).center();
    QMouseEvent release(QEvent::MouseButtonRelease, at, list->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &release);
    EXPECT_EQ(clicks, QStringList{"beta"});
    EXPECT_EQ(list->currentIndex().row(), 1);
    EXPECT_EQ(list->model()->data(list->model()->index(1, 0), Qt::BackgroundRole).value<QColor>(),
              QApplication::palette().color(QPalette::Highlight));
    sendKey(list, Qt::Key_Down);
    EXPECT_EQ(l->listIndex(), 2);
    l->addItem("delta");
    desk.doEvents();
    EXPECT_EQ(list->model()->rowCount(), 4);
    EXPECT_EQ(list->model()->data(list->model()->index(2, 0), Qt::DisplayRole).toString(), "delta");
}

// A list whose items are replaced in one turn by as many others shows the
// new ones on screen after the turn (nothing else repaints it).
TEST_F(QtDesktopTest, AListRefilledWithAsManyItemsInOneTurnShowsTheNewOnes)
{
    ListBox* l = nullptr;
    BuiltForm f("frmRefill", [&](BuiltForm& form) {
        form.move(0, 0, 4000, 3000);
        l = form.add<ListBox>("lstSavedPaths");
        l->move(120, 120, 3000, 2000);
        for (const char* s : {"C:\\Alpha", "C:\\Beta", "C:\\Gamma"}) l->addItem(s);
    });
    f.show();
    QApplication::processEvents();
    auto* view = static_cast<QListView*>(desk.window(f)->widgetFor(l));
    const auto onScreen = [view] {
        QApplication::processEvents();
        const QImage all = view->screen()->grabWindow(view->window()->winId()).toImage();
        return all.copy(QRect(view->viewport()->mapTo(view->window(), QPoint(0, 0)), view->viewport()->size()));
    };
    const QImage before = onScreen();
    ASSERT_EQ(before, view->viewport()->grab().toImage());
    l->clear();
    for (const char* s : {"D:\\Delta", "D:\\Epsilon", "D:\\Zeta"}) l->addItem(s);
    desk.doEvents();
    const QImage after = onScreen();
    EXPECT_NE(after, before);
    EXPECT_EQ(after, view->viewport()->grab().toImage());
}

// What the program sets in one turn (new rows and columns, their widths,
// the top row, the current cell) is what the view shows after the turn;
// the current cell scrolls nothing by itself.
TEST_F(QtDesktopTest, AGridReshapedAndScrolledInOneTurnShowsWhatTheProgramSet)
{
    BuiltForm f("frmViews");
    f.load();
    f.move(0, 0, 8520, 3450);
    auto* g = f.add<FlexGrid>("grdResults");
    g->move(0, 0, 8000, 3000);
    g->setCols(3);
    g->setRows(100);
    f.show();
    QApplication::processEvents();
    auto* view = static_cast<QTableView*>(desk.window(f)->widgetFor(g));
    g->setRows(1000);
    g->setCols(5);
    g->setColWidth(4, 1500);
    g->setTopRow(800);
    desk.doEvents();
    EXPECT_EQ(g->topRow(), 800);
    EXPECT_EQ(view->rowAt(1), 799);
    EXPECT_EQ(view->columnWidth(3), QtDesktop::px(1500));

    g->setTopRow(1);
    desk.doEvents();
    g->setRow(900);
    g->setCol(4);
    desk.doEvents();
    EXPECT_EQ(g->topRow(), 1);
    EXPECT_EQ(view->rowAt(1), 0);
    EXPECT_EQ(view->currentIndex(), view->model()->index(899, 3));
}

// Under a style that scrolls item views by pixels (as some desktops' do),
// the grid still scrolls by whole rows: its scroll bar counts rows, and the
// top row the program sets or the user scrolls to is the one shown.
TEST_F(QtDesktopTest, AGridScrollsByRowsWhateverTheDesktopStyle)
{
    class PixelScrolling : public QProxyStyle {
    public:
        using QProxyStyle::QProxyStyle;
        int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget, QStyleHintReturn* ret) const override
        {
            if (hint == SH_ItemView_ScrollMode) return QAbstractItemView::ScrollPerPixel;
            return QProxyStyle::styleHint(hint, option, widget, ret);
        }
    };
    struct StyleBack {
        QString name = QApplication::style()->name();
        ~StyleBack() { QApplication::setStyle(name); }
    } styleBack;
    QApplication::setStyle(new PixelScrolling(styleBack.name));
    BuiltForm f("frmViews");
    f.load();
    auto* g = f.add<FlexGrid>("grdResults");
    g->move(0, 0, 5000, 3000);
    g->setCols(3);
    g->setRows(200);
    f.show();
    QApplication::processEvents();
    auto* view = static_cast<QTableView*>(desk.window(f)->widgetFor(g));
    g->setTopRow(50);
    EXPECT_EQ(view->rowAt(1), 49);
    view->verticalScrollBar()->setValue(120);
    EXPECT_EQ(g->topRow(), 121);
}

// Cells and headings stand where their column's alignment puts them: 0..8
// left, centre, right by top, centre, bottom; the general one puts numbers
// right and text left, centred in height.
TEST_F(QtDesktopTest, GridCellsAndHeadingsStandWhereTheirColumnsAlignmentPutsThem)
{
    BuiltForm f("frmAligned");
    f.load();
    auto* g = f.add<FlexGrid>("grdResults");
    g->move(0, 0, 5000, 3000);
    g->setCols(12);
    g->setRows(3);
    for (int c = 1; c < 12; ++c) {
        g->setTextMatrix(0, c, c == 11 ? "42" : "Name");
        g->setTextMatrix(1, c, "12,5");
        g->setTextMatrix(2, c, " 7 ");
        if (c <= 9) {
            g->setColAlignment(c, c - 1);
            g->setFixedAlignment(c, 9 - c);
        }
    }
    f.show();
    QApplication::processEvents();
    QAbstractItemModel* model = static_cast<QTableView*>(desk.window(f)->widgetFor(g))->model();
    const auto cell = [model](int row, int col) {
        return model->data(model->index(row - 1, col - 1), Qt::TextAlignmentRole).value<Qt::Alignment>();
    };
    const auto heading = [model](int col) { return model->headerData(col - 1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(); };
    const Qt::Alignment across[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    const Qt::Alignment down[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    for (int a = 0; a <= 8; ++a) {
        EXPECT_EQ(cell(2, a + 1), across[a / 3] | down[a % 3]) << a;
        EXPECT_EQ(heading(9 - a), across[a / 3] | down[a % 3]) << a;
    }
    // Column 10 was never aligned (general), nor was 11; "12,5" is no number here.
    EXPECT_EQ(cell(1, 10), Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(cell(2, 10), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(heading(10), Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(heading(11), Qt::AlignRight | Qt::AlignVCenter);
}

// --- Refused input ---------------------------------------------------------------------

// The Qt desktop takes input that a window refuses (a disabled control)
// silently, whatever desktop was installed before it: the headless one's
// failure must not reach a user's click.
TEST_F(QtDesktopTest, InputRefusedUnderTheQtDesktopIsSilentWhateverDesktopCameBefore)
{
    HeadlessDesktop headless;
    headless.install();
    desk.install();
    CommandButton* b = nullptr;
    BuiltForm f("frmRefusing", [&](BuiltForm& form) {
        b = form.add<CommandButton>("cmdApply");
        b->setEnabled(false);
    });
    f.show();
    int clicks = 0;
    b->Click = [&clicks] { ++clicks; };
    bool refused = false;
    EXPECT_NO_THROW(refused = !Input::click(*b));
    EXPECT_TRUE(refused);
    EXPECT_EQ(clicks, 0);
}

// Only the user moves the focus: a focused box that the program disables or
// hides hands the keyboard on, yet no LostFocus (its check of what was
// typed) or GotFocus runs for that; the user's own click on another box
// then moves the focus as always.
TEST_F(QtDesktopTest, AFocusedBoxDisabledOrHiddenByTheProgramRaisesNoFocusEvents)
{
    TextBox* levels = nullptr;
    TextBox* pattern = nullptr;
    TextBox* other = nullptr;   // where the keyboard goes meanwhile
    QStringList log;
    BuiltForm f("frmOptions", [&](BuiltForm& form) {
        levels = form.add<TextBox>("txtLevels");
        pattern = form.add<TextBox>("txtPattern");
        other = form.add<TextBox>("txtOther");
        int top = 120;
        for (TextBox* t : {levels, pattern, other}) {
            t->move(120, top, 2000, 315);
            top += 500;
            t->LostFocus = [&log, t] { log << t->name() + " lost"; };
            t->GotFocus = [&log, t] { log << t->name() + " got"; };
        }
    });
    f.show();
    QApplication::processEvents();
    FormWindow* w = desk.window(f);
    ASSERT_EQ(f.activeControl(), levels);
    ASSERT_TRUE(w->widgetFor(levels)->hasFocus());
    log.clear();
    levels->setEnabled(false);
    QApplication::processEvents();
    EXPECT_EQ(log, QStringList());
    levels->setEnabled(true);
    ASSERT_TRUE(Input::focus(*pattern));
    QApplication::processEvents();
    log.clear();
    pattern->setVisible(false);
    QApplication::processEvents();
    EXPECT_EQ(log, QStringList());
    ASSERT_FALSE(w->widgetFor(levels)->hasFocus());
    w->widgetFor(levels)->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(f.activeControl(), levels);
    EXPECT_EQ(log, (QStringList{"txtPattern lost", "txtLevels got"}));
}

// --- Context help ------------------------------------------------------------------------

// A window of two labels, one above the other, each asking for its topic.
static std::pair<Label*, Label*> twoLabelsWithTopics(BuiltForm& f, int topicA, int topicB)
{
    f.load();
    auto* a = f.add<Label>("lblA");
    a->setHelpTopic(topicA);
    auto* b = f.add<Label>("lblB");
    b->setHelpTopic(topicB);
    b->setTop(600);
    f.show();
    return {a, b};
}

TEST_F(QtDesktopTest, ARightClickShowsTheTopicOfTheCurrentLanguagesFileAndAMissingTopicNothing)
{
    QTemporaryDir dir;
    for (const auto& [name, text] : {std::pair{"QuillmarshUK.hlp", "[40010]\nInclude the folder.\n"},
                                     std::pair{"QuillmarshGR.hlp", "[40010]\nΣυμπερίληψη φακέλου.\n"}}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(text));
    }
    BuiltForm f("frmHelp");
    const auto [a, b] = twoLabelsWithTopics(f, 40010, 40099);
    FormWindow* w = desk.window(f);
    setHelpFile(dir.filePath("QuillmarshUK.hlp"));
    rightClick(w->widgetFor(a));
    EXPECT_EQ(desk.lastHelpText(), "Include the folder.");
    setHelpFile(dir.filePath("QuillmarshGR.hlp"));
    rightClick(w->widgetFor(a));
    EXPECT_EQ(desk.lastHelpText(), QString::fromUtf8("Συμπερίληψη φακέλου."));
    rightClick(w->widgetFor(b));
    EXPECT_TRUE(desk.lastHelpText().isEmpty());
    setHelpFile({});
}

// A help file saved by an editor that starts it with a byte order mark, and
// ends its lines with CR LF or CR alone, still gives every topic, the first
// one included; so does its text still carrying the mark.
TEST_F(QtDesktopTest, AHelpFileWithAByteOrderMarkAndAnyLineEndsGivesEveryTopic)
{
    const ui::qt::HelpFile marked = ui::qt::HelpFile::parse(QChar(0xFEFF) + QStringLiteral("[40010]\r\nInclude.\r\n[40020]\nExclude."));
    EXPECT_EQ(marked.topics(), (QList<int>{40010, 40020}));
    EXPECT_EQ(marked.topic(40010), "Include.");

    QTemporaryDir dir;
    const QByteArray text = "\xEF\xBB\xBF[40010]\r\nInclude the folder.\r\n\r\n[40020]\rExclude\rit.\r";
    QFile file(dir.filePath("QuillmarshUK.hlp"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    BuiltForm f("frmHelp");
    const auto [a, b] = twoLabelsWithTopics(f, 40010, 40020);
    FormWindow* w = desk.window(f);
    setHelpFile(dir.filePath("QuillmarshUK.hlp"));
    rightClick(w->widgetFor(a));
    EXPECT_EQ(desk.lastHelpText(), "Include the folder.");
    rightClick(w->widgetFor(b));
    EXPECT_EQ(desk.lastHelpText(), "Exclude\nit.");
    setHelpFile({});
}

// Topic numbers start at 1: the first section of a file is a topic like any
// other, and a right click on a control with topic 1 shows it; 0 means none.
TEST_F(QtDesktopTest, TheLowestTopicNumbersAreTopicsAndARightClickShowsThem)
{
    const ui::qt::HelpFile parsed = ui::qt::HelpFile::parse(QStringLiteral("[0]\nNothing.\n[1]\nFirst.\n[2]\nSecond."));
    EXPECT_EQ(parsed.topics(), (QList<int>{1, 2}));
    EXPECT_EQ(parsed.topic(1), "First.");

    QTemporaryDir dir;
    QFile file(dir.filePath("QuillmarshUK.hlp"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[1]\nFirst.\n[2]\nSecond.\n");
    file.close();
    BuiltForm f("frmHelp");
    const auto [a, b] = twoLabelsWithTopics(f, 1, 2);
    FormWindow* w = desk.window(f);
    setHelpFile(dir.filePath("QuillmarshUK.hlp"));
    rightClick(w->widgetFor(b));
    EXPECT_EQ(desk.lastHelpText(), "Second.");
    rightClick(w->widgetFor(a));
    EXPECT_EQ(desk.lastHelpText(), "First.");
    setHelpFile({});
}

// --- A modal window on screen ---------------------------------------------------------------

// (Every kind of control drawn inside its window: the pictures of every real
// window.) A modal window takes a box from its own timer, Enter for its
// default button and Esc for its cancel one; an ampersand in a caption is
// text and a menu separator stays blank, also once the resizer has scaled it.
TEST_F(QtDesktopTest, AModalWindowTakesItsTimersBoxEnterAndEscAndShowsAmpersandsAsText)
{
    int ticks = 0, boxAnswer = 0, oks = 0;
    BuiltForm modal("frmModal", [&](BuiltForm& f) {
        f.setCaption("Data & every control");
        f.move(0, 0, 6120, 2250);
        f.add<FormResizer>("freeSizer1");
        auto* file = f.addMenu("mnuFile", "File");
        for (const auto& [name, item] : {std::pair{"mnuFileOpen", "Open\tCtrl+O"}, {"mnuSep", "-"}, {"mnuFileExit", "Exit"}})
            f.addMenu(name, item, file);
        f.add<Label>("lblPath")->setCaption("C:\\Data & Reports\\2024");
        f.add<TextBox>("txtName")->move(120, 480, 4500, 315);
        auto* ok = f.add<CommandButton>("cmdOK");
        ok->setDefault(true);
        ok->Click = [&oks] { ++oks; };
        auto* cancel = f.add<CommandButton>("cmdCancel");
        cancel->setCancel(true);
        cancel->Click = [&f] { f.unload(); };
        auto* tmr = f.add<Timer>("Timer1");
        tmr->setInterval(30);
        tmr->Tick = [&, tmr] {
            ++ticks;
            tmr->setEnabled(false);
            boxAnswer = msgBox(&f, "Gallery", "The timer ticked.", 36);
        };
    });
    BoxAnswerer answerer;
    answerer.answer = vbYes;
    desk.setDialogHook([&](QWidget* box) {
        answerer(box);
        later(20, [&] {
            FormWindow* w = desk.window(modal);
            ASSERT_NE(w, nullptr);
            w->resize(int(w->width() * 1.25), int(w->height() * 1.25));
            QApplication::processEvents();
            EXPECT_EQ(static_cast<QLabel*>(w->widgetFor(modal.control("lblPath")))->text(), "C:\\Data & Reports\\2024");
            EXPECT_EQ(w->windowTitle(), "Data & every control");
            int separators = 0;
            for (QAction* a : w->menuBar()->findChildren<QAction*>())
                if (a->isSeparator()) {
                    ++separators;
                    EXPECT_EQ(a->text(), QString()) << "a separator stays blank";
                }
            EXPECT_EQ(separators, 1);
            sendKey(focusTarget(w), Qt::Key_Return);
            EXPECT_EQ(oks, 1);
            sendKey(focusTarget(w), Qt::Key_Escape);
        });
    });
    modal.show(Modal);
    EXPECT_FALSE(modal.isLoaded());
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(boxAnswer, vbYes);
    EXPECT_EQ(answerer.title, "Gallery");
}

// Without a window manager nothing hands the keyboard back once a box or a
// modal window closes: the window that was active gets it again, so that
// Esc still closes Find after its "have been searched" message.
TEST_F(QtDesktopTest, TheKeyboardGoesBackToTheActiveWindowWhenABoxOrAModalWindowCloses)
{
    BuiltForm results("frmCompare", [](BuiltForm& f) { f.add<TextBox>("txtNotes")->move(120, 120, 3000, 315); });
    BuiltForm find("frmFind", [](BuiltForm& f) {
        f.add<TextBox>("txtFind")->move(120, 120, 3000, 315);
        auto* next = f.add<CommandButton>("cmdFindNext");
        next->move(120, 600, 1200, 400);
        next->setDefault(true);
        next->Click = [&f] { msgBox(&f, "Find", "All the rows have been searched.", vbInformationOK); };
        auto* cancel = f.add<CommandButton>("cmdCancel");
        cancel->move(1500, 600, 1200, 400);
        cancel->setCancel(true);
        cancel->Click = [&f] { f.unload(); };
    });
    BoxAnswerer answerer;
    answerer.answer = vbOK;
    desk.setDialogHook([&](QWidget* box) { answerer(box); });
    results.show();
    QApplication::processEvents();
    QWidget* afterBox = nullptr;
    QWidget* findWindow = nullptr;
    bool escClosedFind = false;
    later(0, [&] {
        QApplication::processEvents();   // Find is up and has the keyboard
        FormWindow* w = desk.window(find);
        findWindow = w;
        ASSERT_EQ(QApplication::activeWindow(), w);
        static_cast<QPushButton*>(w->widgetFor(find.control("cmdFindNext")))->click();
        QApplication::processEvents();
        afterBox = QApplication::activeWindow();
        // Esc, where the keyboard is now.
        if (QWidget* keys = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow())
            sendKey(keys, Qt::Key_Escape);
        escClosedFind = !find.isLoaded();
        if (find.isLoaded()) find.unload();   // the key went nowhere
    });
    find.show(Modal);
    QApplication::processEvents();
    EXPECT_EQ(answerer.seen, 1);
    EXPECT_EQ(afterBox, findWindow);
    EXPECT_TRUE(escClosedFind);
    EXPECT_EQ(QApplication::activeWindow(), desk.window(results));
    results.unload();
}
