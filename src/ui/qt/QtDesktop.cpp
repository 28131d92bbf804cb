#include "ui/qt/QtDesktop.h"

#include "platform/AppError.h"
#include "platform/Drives.h"
#include "platform/Http.h"
#include "ui/Form.h"
#include "ui/Input.h"
#include "ui/qt/FormWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBoundaryFinder>
#include <QTimer>
#include <QWhatsThis>

#include <algorithm>
#include <cmath>
#include <utility>

namespace ui::qt {

namespace {

int logicalDpi()
{
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const int dpi = int(std::lround(s->logicalDotsPerInchY()));
        if (dpi > 0) return dpi;
    }
    return 96;
}

QString buttonCaption(int button, bool greek)
{
    switch (button) {
    case vbOK: return QStringLiteral("OK");
    case vbCancel: return greek ? QStringLiteral("Άκυρο") : QStringLiteral("Cancel");
    case vbAbort: return greek ? QStringLiteral("Τερματισμός") : QStringLiteral("Abort");
    case vbRetry: return greek ? QStringLiteral("Επανάληψη") : QStringLiteral("Retry");
    case vbIgnore: return greek ? QStringLiteral("Παράβλεψη") : QStringLiteral("Ignore");
    case vbYes: return greek ? QStringLiteral("Ναι") : QStringLiteral("Yes");
    case vbNo: return greek ? QStringLiteral("Όχι") : QStringLiteral("No");
    default: return QString();
    }
}

// "Text files (*.txt)|*.txt|All files|*.*" -> "Text files (*.txt);;All files (*.*)"
QString qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (!name.contains(QLatin1Char('('))) name += QStringLiteral(" (%1)").arg(patterns);
        else name = name.left(name.indexOf(QLatin1Char('('))).trimmed() + QStringLiteral(" (%1)").arg(patterns);
        out << name;
    }
    return out.join(QStringLiteral(";;"));
}

// Without a window manager nothing gives the keyboard back when a box or a
// window closes: X hands it to the root window, and no key reaches the
// program until the user clicks. The window that had it takes it again.
// (Qt may not have heard yet that it lost the keyboard: ask in any case.)
void giveKeyboardBack(const QPointer<QWidget>& to)
{
    if (to && to->isVisible()) to->activateWindow();
}

const QChar kWordJoiner(0x2060);
const QChar kZeroWidthSpace(0x200B);

// A path breaks nowhere between its drive and its first backslash ("C:" at
// the end of one line and "\Data" on the next): a word joiner holds them.
QString joinDrives(const QString& text)
{
    static const QRegularExpression drive(QStringLiteral("(?<![A-Za-z0-9])([A-Za-z]:)(?=\\\\)"));
    QString out = text;
    out.replace(drive, QStringLiteral("\\1") + kWordJoiner);
    return out;
}

// To the line breaker a path is one long word: in a box it would run on past
// the right edge. It may break after each of its separators (an invisible
// break), unless what follows closes the path or the sentence.
QString breakAfterSeparators(const QString& text)
{
    static const QString closing = QStringLiteral("\\'\"\u00BB\u201D\u2019),;:.!?");
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == u'\\' && i + 1 < text.size() && !text[i + 1].isSpace() && !closing.contains(text[i + 1]))
            out += kZeroWidthSpace;
    }
    return out;
}

// What no break divides and is wider than `limitPx` (a folder or file name
// longer than a box's line) would still be cut: it may break between any two
// of its characters, except beside a word joiner.
QString breakOverlongRuns(const QString& text, const QFontMetrics& fm, int limitPx)
{
    QString out;
    QTextBoundaryFinder lines(QTextBoundaryFinder::Line, text);
    qsizetype from = 0;
    for (qsizetype to = lines.toNextBoundary(); to != -1; to = lines.toNextBoundary()) {
        const QString run = text.mid(from, to - from);
        from = to;
        if (fm.horizontalAdvance(run.trimmed()) <= limitPx) {
            out += run;
            continue;
        }
        QTextBoundaryFinder letters(QTextBoundaryFinder::Grapheme, run);
        qsizetype start = 0;
        for (qsizetype end = letters.toNextBoundary(); end != -1; end = letters.toNextBoundary()) {
            if (end == 0) continue;
            out += run.mid(start, end - start);
            start = end;
            if (end < run.size() && run[end - 1] != kWordJoiner && run[end] != kWordJoiner && !run[end].isSpace()
                && !run[end - 1].isSpace())
                out += kZeroWidthSpace;
        }
    }
    return out;
}

// A dialog box has no minimise or maximise button (it asks for none); one
// minimised or maximised all the same, where the window manager draws those
// buttons anyway, is set back: a box minimised would leave the program
// waiting behind nothing to click.
class KeepToTitleButtons : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::WindowStateChange)
            if (auto* w = qobject_cast<QWidget*>(watched)) undoStateNotOffered(w);
        return false;
    }
};

QString nativeOf(const QString& logical) { return logical.isEmpty() ? QString() : platform::toNative(logical).value_or(QString()); }

} // namespace

QtDesktop::QtDesktop() { clock_.start(); }

QtDesktop::~QtDesktop()
{
    for (QTimer* t : std::as_const(timers_)) delete t;
    const QHash<const Form*, FormWindow*> windows = std::exchange(windows_, {});
    for (FormWindow* w : windows) {
        w->detach();
        delete w;
    }
    if (installedDesktop() == this) setDesktop(nullptr);
}

void QtDesktop::install()
{
    setDesktop(this);
    setTwipsPerPixel(int(std::lround(1440.0 / logicalDpi())));
    Input::setRefusalHandler({});
}

int QtDesktop::px(int twips) { return int(std::lround(double(twips) / twipsPerPixel())); }
int QtDesktop::twips(int px) { return px * twipsPerPixel(); }

FormWindow* QtDesktop::window(const Form& form) const { return windows_.value(&form); }

int QtDesktop::execDialog(QDialog& dialog)
{
    const QPointer<QWidget> holder = QApplication::activeWindow();
    KeepToTitleButtons keep;
    dialog.installEventFilter(&keep);
    const int result = dialog.exec();
    dialog.hide();
    giveKeyboardBack(holder);
    return result;
}

void QtDesktop::guarded(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ProgramEnd&) {
        // The desktop is already closing down (programEnding).
    } catch (const UiError& e) {
        // An error no handler trapped: say so and keep running; nothing is lost.
        QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(),
                              QStringLiteral("Run-time error '%1':\n\n%2").arg(e.number).arg(e.description));
    } catch (const platform::AppError& e) {
        QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(),
                              QStringLiteral("Run-time error '%1':\n\n%2").arg(e.number).arg(e.description));
    } catch (const std::exception& e) {
        QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), QString::fromLocal8Bit(e.what()));
    }
}

QWidget* QtDesktop::dialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) return modal;
    // A window that was closed can stay the active one until its deferred
    // deletion runs, which a dialog's own event loop then does under it.
    QWidget* active = QApplication::activeWindow();
    return active && active->isVisible() ? active : nullptr;
}

void QtDesktop::namePrinterSetupButton(QDialog& dialog)
{
    const auto* qt = dynamic_cast<QtDesktop*>(installedDesktop());
    const QString title = qt && qt->greekButtons() ? QStringLiteral("Επιλογή εκτυπωτή") : QStringLiteral("Printer setup");
    const auto name = [title](QDialog* d) {
        d->setWindowTitle(title);
        for (QDialogButtonBox* buttons : d->findChildren<QDialogButtonBox*>())
            if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) ok->setText(buttonCaption(vbOK, false));
    };
    name(&dialog);
    QPointer<QDialog> guard(&dialog);
    QTimer::singleShot(0, &dialog, [guard, name] {
        if (guard) name(guard);
    });
}

QWidget* QtDesktop::ownerWidget(Form* owner) const
{
    // A dialog whose owner has no window on screen (a hidden working form)
    // belongs to the window the user is looking at, so that it never opens
    // behind it.
    if (FormWindow* w = owner ? windows_.value(owner) : nullptr; w && w->isVisible()) return w;
    for (auto it = modal_.rbegin(); it != modal_.rend(); ++it)
        if (FormWindow* w = windows_.value(it->form); w && w->isVisible()) return w;
    if (auto* active = qobject_cast<FormWindow*>(QApplication::activeWindow()); active && active->isAttached()) return active;
    return owner ? windows_.value(owner) : nullptr;
}

FormWindow* QtDesktop::openerOf(const Form& form) const
{
    // The newest modal level of another form is where the form is opened
    // from (a hidden one too: the window opens where it stood); without
    // one, the active window, else the window shown last that is still up.
    for (auto it = modal_.rbegin(); it != modal_.rend(); ++it)
        if (it->form != &form)
            if (FormWindow* w = windows_.value(it->form)) return w;
    // (Only a window of a loaded form: one whose form is gone only waits
    // for its deletion.)
    const auto candidate = [&](FormWindow* w) { return w && w->isAttached() && w->isVisible() && &w->form() != &form; };
    if (auto* active = qobject_cast<FormWindow*>(QApplication::activeWindow()); candidate(active)) return active;
    for (auto it = shownOrder_.rbegin(); it != shownOrder_.rend(); ++it)
        if (candidate(*it)) return *it;
    return nullptr;
}

QWidget* QtDesktop::raiseBlockers(FormWindow* w)
{
    // The visible modal windows that block `w` (all but those it is opened
    // from), in the order they were opened, then a message box or dialog up
    // over them. Without a window manager nothing else keeps them on top.
    QWidget* top = nullptr;
    for (const ModalRun& r : modal_) {
        FormWindow* m = windows_.value(r.form);
        if (!m || !m->isVisible() || w->ownedBy(m)) continue;
        m->raise();
        top = m;
    }
    if (!top) return nullptr;
    if (QWidget* dialog = QApplication::activeModalWidget(); dialog && !qobject_cast<FormWindow*>(dialog) && dialog->isVisible()) {
        dialog->raise();
        top = dialog;
    }
    return top;
}

void QtDesktop::announce(QWidget* dialog)
{
    if (!dialogHook_) return;
    QPointer<QWidget> guard(dialog);
    QTimer::singleShot(0, dialog, [this, guard] {
        if (guard && dialogHook_) dialogHook_(guard);
    });
}

// --- Message boxes -----------------------------------------------------------

int QtDesktop::messageBox(Form* owner, const QString& title, const QString& text, int style)
{
    if (programHasEnded()) return msgBoxDefaultButton(style);
    QMessageBox box(ownerWidget(owner));
    box.setWindowTitle(title);
    QString body = text;
    body.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setTextFormat(Qt::PlainText);
    // A box is never narrower than half the screen (up to 500 px) less its
    // icon: a run narrower than that always fits a line.
    const QLabel* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    const QScreen* screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
    const int narrowest = std::max(100, std::min(screen ? screen->availableGeometry().width() / 2 : 500, 500) - 120);
    box.setText(breakOverlongRuns(breakAfterSeparators(joinDrives(body)), QFontMetrics(label ? label->font() : box.font()),
                                  narrowest));
    switch (msgBoxIcon(style)) {
    case 16: box.setIcon(QMessageBox::Critical); break;
    case 32: box.setIcon(QMessageBox::Question); break;
    case 48: box.setIcon(QMessageBox::Warning); break;
    case 64: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    // One role for every button: the left-to-right order stays the
    // original's on every platform, and no button becomes an escape button
    // unless the style has one (Yes/No boxes cannot be escaped).
    QHash<QAbstractButton*, int> answers;
    const QList<int> buttons = msgBoxButtons(style);
    const int defaultAnswer = msgBoxDefaultButton(style);
    const int escapeAnswer = msgBoxEscapeButton(style);
    for (int b : buttons) {
        QPushButton* pb = box.addButton(buttonCaption(b, greek_), QMessageBox::ActionRole);
        pb->setObjectName(QStringLiteral("answer%1").arg(b));
        answers.insert(pb, b);
        if (b == defaultAnswer) box.setDefaultButton(pb);
        if (b == escapeAnswer) box.setEscapeButton(pb);
    }
    box.setWindowModality(Qt::ApplicationModal);
    announce(&box);
    // A box asks for its title and close button only: no minimise or
    // maximise button where the window manager follows the request.
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                       | Qt::WindowCloseButtonHint);
    execDialog(box);
    if (programHasEnded()) throw ProgramEnd{};
    const int answer = answers.value(box.clickedButton(), 0);
    return answer ? answer : (escapeAnswer ? escapeAnswer : defaultAnswer);
}

// --- Yield, forms, modal runs ----------------------------------------------------

void QtDesktop::doEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtDesktop::runModal(Form& form)
{
    QEventLoop loop;
    modal_.push_back({&form, &loop});
    struct Pop {
        std::vector<ModalRun>& runs;
        QEventLoop* loop;
        ~Pop() { std::erase_if(runs, [this](const ModalRun& r) { return r.loop == loop; }); }
    } pop{modal_, &loop};
    // Only the model ends the wait: the form hidden or unloaded. A hide that
    // is followed by a new modal show of the same form nests a new level
    // first; this level returns once that one has unwound.
    while (form.isShown() && !programHasEnded()) loop.exec(QEventLoop::DialogExec);
    if (programHasEnded()) throw ProgramEnd{};
}

void QtDesktop::formShown(Form& form, bool modal)
{
    FormWindow* w = windows_.value(&form);
    if (!w) {
        w = new FormWindow(form, openerOf(form));
        windows_.insert(&form, w);
        // A window whose form was destroyed deletes itself (FormWindow).
        const Form* key = &form;
        connect(w, &QObject::destroyed, this, [this, key, w] {
            if (windows_.value(key) == w) windows_.remove(key);
        });
    }
    const Qt::WindowModality want = modal ? Qt::ApplicationModal : Qt::NonModal;
    // A window up already that only changes its modality is hidden for it a
    // moment: it stays where it stands (the user may have moved it).
    const bool wasUp = w->isVisible();
    if (w->windowModality() != want) {
        if (wasUp) w->hide();
        w->setWindowModality(want);
    }
    if (!w->isVisible()) {
        w->setOwner(openerOf(form));
        if (!wasUp && (!w->shownBefore() || form.placedByProgram())) w->placeForShow();
    }
    w->setShownBefore();
    std::erase_if(shownOrder_, [w](const QPointer<FormWindow>& p) { return !p || p == w; });
    shownOrder_.push_back(w);
    w->show();
    w->raise();
    // A modal window opens on top of everything; a modeless one opened under
    // a modal window it does not belong to stays under it.
    QWidget* top = modal ? nullptr : raiseBlockers(w);
    (top ? top : w)->activateWindow();
    w->applyFocus();
    w->applyPointer();
}

void QtDesktop::passKeyboardOn(FormWindow* gone)
{
    // The newest modal window still up, else the window it was opened
    // from, else the one shown last.
    QWidget* next = nullptr;
    for (auto it = modal_.rbegin(); it != modal_.rend() && !next; ++it)
        if (FormWindow* m = windows_.value(it->form); m && m != gone && m->isVisible()) next = m;
    for (FormWindow* o = gone->owner(); o && !next; o = o->owner())
        if (o->isVisible()) next = o;
    for (auto it = shownOrder_.rbegin(); it != shownOrder_.rend() && !next; ++it)
        if (*it && *it != gone && (*it)->isVisible()) next = *it;
    giveKeyboardBack(next);
}

void QtDesktop::formHidden(Form& form)
{
    if (FormWindow* w = windows_.value(&form)) {
        const bool hadKeyboard = QApplication::activeWindow() == w;
        w->hide();
        if (hadKeyboard) passKeyboardOn(w);
    }
    for (const ModalRun& r : modal_)
        if (r.form == &form) r.loop->quit();
}

void QtDesktop::formUnloaded(Form& form)
{
    if (FormWindow* w = windows_.take(&form)) {
        const bool hadKeyboard = QApplication::activeWindow() == w;
        w->detach();
        w->hide();
        if (hadKeyboard) passKeyboardOn(w);
        w->deleteLater();
    }
    for (const ModalRun& r : modal_)
        if (r.form == &form) r.loop->quit();
}

void QtDesktop::bringToFront(Form& form)
{
    if (FormWindow* w = windows_.value(&form)) {
        w->raise();
        // The modal windows still open over it stay there, and keep the focus.
        QWidget* top = raiseBlockers(w);
        (top ? top : w)->activateWindow();
    }
}

void QtDesktop::refresh(Form& form, Control* control)
{
    FormWindow* w = windows_.value(&form);
    if (!w) return;
    // A window shown a moment ago must be mapped and painted before the
    // slow work that follows the Refresh.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QWidget* target = control ? w->widgetFor(control) : w;
    if (target && target->isVisible()) target->repaint();
}

void QtDesktop::mousePointerChanged(Form& form)
{
    if (FormWindow* w = windows_.value(&form)) w->applyPointer();
}

// --- Timers ------------------------------------------------------------------------

void QtDesktop::timerStarted(Timer& timer)
{
    QTimer* t = timers_.value(&timer);
    if (!t) {
        t = new QTimer(this);
        timers_.insert(&timer, t);
        Timer* model = &timer;
        connect(t, &QTimer::timeout, this, [model] { guarded([model] { model->Tick(); }); });
    }
    t->start(timer.interval());
}

void QtDesktop::timerStopped(Timer& timer)
{
    if (QTimer* t = timers_.take(&timer)) {
        t->stop();
        t->deleteLater();   // the tick that stopped it may still be running
    }
}

// --- Menus and dialogs -------------------------------------------------------------

Menu* QtDesktop::popupMenu(Form& owner, Menu& menu, int /*flags*/, int x, int y)
{
    FormWindow* w = windows_.value(&owner);
    if (!w) return nullptr;
    std::unique_ptr<QMenu> popup(w->buildPopup(menu, w));
    QPoint at = QCursor::pos();
    if (x >= 0 && y >= 0) at = w->client()->mapToGlobal(QPoint(px(x), px(y)));
    announce(popup.get());
    QAction* chosen = popup->exec(at);
    if (programHasEnded()) throw ProgramEnd{};
    if (!chosen) return nullptr;
    return reinterpret_cast<Menu*>(chosen->data().value<quintptr>());
}

FileDialogResult QtDesktop::fileDialog(Form* owner, const FileDialogRequest& request)
{
    QFileDialog dialog(ownerWidget(owner), request.title);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    QString initDir = nativeOf(request.initDir);
    QString name = request.fileName;
    if (name.contains(QLatin1Char('\\'))) {
        const QString native = nativeOf(name);
        if (!native.isEmpty()) {
            initDir = QFileInfo(native).absolutePath();
            name = QFileInfo(native).fileName();
        }
    }
    if (!initDir.isEmpty()) dialog.setDirectory(initDir);
    switch (request.kind) {
    case FileDialogKind::Open:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        break;
    case FileDialogKind::Save:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        break;
    case FileDialogKind::Folder:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
        break;
    }
    if (request.kind != FileDialogKind::Folder) {
        if (!request.filter.isEmpty()) dialog.setNameFilter(qtFilter(request.filter));
        if (!request.defaultExt.isEmpty()) dialog.setDefaultSuffix(request.defaultExt);
        if (!name.isEmpty()) dialog.selectFile(platform::nameToNative(name));
    }
    announce(&dialog);
    const bool ok = execDialog(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    if (programHasEnded()) throw ProgramEnd{};
    FileDialogResult r;
    if (!ok) return r;
    r.accepted = true;
    r.fileName = platform::toLogical(QFileInfo(dialog.selectedFiles().first()).absoluteFilePath());
    return r;
}

PrinterDialogResult QtDesktop::printerDialog(Form* owner, int /*flags*/)
{
    QPrinter printer;
    QPrintDialog dialog(&printer, ownerWidget(owner));
    namePrinterSetupButton(dialog);
    announce(&dialog);
    const bool ok = execDialog(dialog) == QDialog::Accepted;
    if (programHasEnded()) throw ProgramEnd{};
    PrinterDialogResult r;
    if (!ok) return r;
    r.accepted = true;
    r.printerName = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : printer.printerName();
    return r;
}

// --- Help, sounds, text, network ---------------------------------------------------

QString QtDesktop::helpText(const QString& file, int topic)
{
    const QString native = nativeHelpPath(file);
    if (native.isEmpty()) return {};
    const QFileInfo info(native);
    const qint64 stamp = info.exists() ? info.lastModified().toMSecsSinceEpoch() ^ info.size() : -2;
    CachedHelp& cached = help_[native];
    if (cached.stamp != stamp) {
        cached.help = HelpFile::load(native);
        cached.stamp = stamp;
    }
    return cached.help.topic(topic);
}

void QtDesktop::showHelp(Form* owner, const QString& file, int topic)
{
    lastHelp_ = helpText(file, topic);
    if (lastHelp_.isEmpty()) return;   // a topic the file lacks shows nothing
    QWidget* parent = ownerWidget(owner);
    QWhatsThis::showText(QCursor::pos(), lastHelp_.toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>")), parent);
}

void QtDesktop::beep() { QApplication::beep(); }
void QtDesktop::messageBeep(int /*type*/) { QApplication::beep(); }

int QtDesktop::measureTextPx(const Font& font, const QString& text)
{
    QFont f(font.name);
    f.setPointSizeF(font.size);
    f.setBold(font.bold);
    return QFontMetrics(f).horizontalAdvance(text);
}

FetchResult QtDesktop::openUrl(const QString& url, int timeoutSeconds)
{
    platform::HttpOptions options;
    options.timeoutMs = std::max(1, timeoutSeconds) * 1000;
    const platform::HttpResult r = platform::http().get(url, options);
    if (programHasEnded()) throw ProgramEnd{};
    FetchResult out;
    out.ok = r.error == 0;
    out.text = r.text;
    out.errorNumber = r.error;
    if (r.error) out.errorDescription = platform::errorDescription(r.error);
    return out;
}

void QtDesktop::programEnding()
{
    for (const ModalRun& r : modal_) r.loop->quit();
    for (QTimer* t : std::as_const(timers_)) t->stop();
    for (FormWindow* w : std::as_const(windows_)) w->hide();
    if (QWidget* m = QApplication::activeModalWidget()) m->close();
    if (quitOnEnd_) QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

QString QtDesktop::clipboardText()
{
    return QGuiApplication::clipboard()->text();
}

void QtDesktop::setClipboardText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

} // namespace ui::qt
