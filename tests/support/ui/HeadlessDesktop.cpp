#include "ui/HeadlessDesktop.h"

#include "ui/Form.h"
#include "ui/Input.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

QString ownerName(const Form* f) { return f ? f->name() : QStringLiteral("(no owner)"); }

QString boxText(const QString& owner, const QString& title, const QString& text, int style)
{
    return QStringLiteral("[%1] title \"%2\", text \"%3\", style %4").arg(owner, title, text).arg(style);
}

QString kindName(FileDialogKind k)
{
    switch (k) {
    case FileDialogKind::Open: return QStringLiteral("open");
    case FileDialogKind::Save: return QStringLiteral("save");
    case FileDialogKind::Folder: return QStringLiteral("folder");
    }
    return {};
}

Menu* findItem(Menu& menu, const QString& name)
{
    for (Menu* m : menu.items()) {
        if (m->name().compare(name, Qt::CaseInsensitive) == 0) return m;
        if (Menu* deeper = findItem(*m, name)) return deeper;
    }
    return nullptr;
}

} // namespace

HeadlessDesktop::HeadlessDesktop() = default;

HeadlessDesktop::~HeadlessDesktop()
{
    if (installedDesktop() == this) {
        setDesktop(nullptr);
        Input::setRefusalHandler({});
    }
}

void HeadlessDesktop::install()
{
    setDesktop(this);
    Input::setRefusalHandler([this](const QString& why) { fail(QStringLiteral("Input refused: ") + why); });
}

void HeadlessDesktop::fail(const QString& text)
{
    failures_.append(text);
    throw HeadlessFailure(text);
}

// --- Message boxes -----------------------------------------------------------

void HeadlessDesktop::expectMsgBox(const QString& title, const QString& text, int style, int answer)
{
    boxes_.push_back({title, text, style, answer, false});
}

void HeadlessDesktop::expectMsgBoxContaining(const QString& title, const QString& textPart, int style, int answer)
{
    boxes_.push_back({title, textPart, style, answer, true});
}

int HeadlessDesktop::messageBox(Form* owner, const QString& title, const QString& text, int style)
{
    const QString got = boxText(ownerName(owner), title, text, style);
    const bool expectedFirst = !boxes_.empty() && boxes_.front().title == title && boxes_.front().style == style
        && (boxes_.front().containing ? text.contains(boxes_.front().text) : text == boxes_.front().text);
    if (!expectedFirst) {
        for (const BoxExpectation& a : allowedBoxes_) {
            if (a.title == title && a.text == text && a.style == style) {
                record({Entry::MessageBox, owner ? owner->name() : QString(), title, text, style, a.answer});
                return a.answer;
            }
        }
    }
    if (boxes_.empty()) fail(QStringLiteral("Unexpected message box ") + got);
    const BoxExpectation e = boxes_.front();
    const bool textOk = e.containing ? text.contains(e.text) : text == e.text;
    if (e.title != title || e.style != style || !textOk) {
        fail(QStringLiteral("Message box differs from the expected one.\n  expected: title \"%1\", text%2 \"%3\", style %4\n  got:      %5")
                 .arg(e.title, e.containing ? QStringLiteral(" containing") : QString(), e.text)
                 .arg(e.style)
                 .arg(got));
    }
    boxes_.pop_front();
    if (!msgBoxButtons(style).contains(e.answer))
        fail(QStringLiteral("Answer %1 is not a button of message box %2").arg(e.answer).arg(got));
    record({Entry::MessageBox, owner ? owner->name() : QString(), title, text, style, e.answer});
    return e.answer;
}

void HeadlessDesktop::allowMsgBox(const QString& title, const QString& text, int style, int answer)
{
    if (!msgBoxButtons(style).contains(answer))
        fail(QStringLiteral("Answer %1 is not a button of style %2").arg(answer).arg(style));
    allowedBoxes_.push_back(BoxExpectation{title, text, style, answer, false});
}

// --- Modal forms ---------------------------------------------------------------

void HeadlessDesktop::onModal(const QString& formName, Script script, ModalEnd end)
{
    scripts_[formName].push_back({std::move(script), end});
}

int HeadlessDesktop::pendingModalScripts() const
{
    int n = 0;
    for (const auto& q : scripts_) n += int(q.size());
    return n;
}

void HeadlessDesktop::runModal(Form& form)
{
    record({Entry::ModalOpen, form.name(), {}, {}, 0, 0});
    auto it = scripts_.find(form.name());
    if (it == scripts_.end() || it->empty()) fail(QStringLiteral("Unscripted modal form %1").arg(form.name()));
    ModalScript s = std::move(it->front());
    it->pop_front();
    s.script(form);
    if (form.isShown()) {
        if (s.end == ModalEnd::AutoClose) {
            Input::closeBox(form);
            if (form.isShown()) fail(QStringLiteral("Modal form %1 left open: its close was refused").arg(form.name()));
        } else {
            fail(QStringLiteral("Modal form %1 left open").arg(form.name()));
        }
    }
    record({Entry::ModalClose, form.name(), {}, {}, 0, 0});
}

void HeadlessDesktop::formShown(Form& f, bool modal) { record({Entry::FormShown, f.name(), {}, {}, modal ? 1 : 0, 0}); }
void HeadlessDesktop::formHidden(Form& f) { record({Entry::FormHidden, f.name(), {}, {}, 0, 0}); }
void HeadlessDesktop::formUnloaded(Form& f) { record({Entry::FormUnloaded, f.name(), {}, {}, 0, 0}); }
void HeadlessDesktop::mousePointerChanged(Form& f) { record({Entry::PointerChange, f.name(), {}, {}, f.mousePointer(), 0}); }

// --- Dialogs, pop-ups, fetches ---------------------------------------------------

void HeadlessDesktop::answerOpen(const QString& path) { fileAnswers_.push_back({FileDialogKind::Open, true, path}); }
void HeadlessDesktop::answerSave(const QString& path) { fileAnswers_.push_back({FileDialogKind::Save, true, path}); }
void HeadlessDesktop::answerFolder(const QString& folder) { fileAnswers_.push_back({FileDialogKind::Folder, true, folder}); }
void HeadlessDesktop::cancelFileDialog(FileDialogKind kind) { fileAnswers_.push_back({kind, false, {}}); }
void HeadlessDesktop::answerPopup(const QString& menuName, const QString& itemName) { popupAnswers_.push_back({menuName, itemName}); }

FileDialogResult HeadlessDesktop::fileDialog(Form* owner, const FileDialogRequest& request)
{
    fileRequests_.append(request);
    const QString what = QStringLiteral("%1 dialog \"%2\" [%3]").arg(kindName(request.kind), request.title, ownerName(owner));
    if (fileAnswers_.empty()) fail(QStringLiteral("Unexpected ") + what);
    const FileAnswer a = fileAnswers_.front();
    if (a.kind != request.kind)
        fail(QStringLiteral("Expected a %1 dialog, got the %2").arg(kindName(a.kind), what));
    fileAnswers_.pop_front();
    record({Entry::FileDialog, owner ? owner->name() : QString(), request.title, a.path, int(request.kind), a.accepted ? 1 : 0});
    return {a.accepted, a.path};
}

PrinterDialogResult HeadlessDesktop::printerDialog(Form* owner, int)
{
    fail(QStringLiteral("Unexpected printer dialog [%1]").arg(ownerName(owner)));
}

Menu* HeadlessDesktop::popupMenu(Form& owner, Menu& menu, int, int, int)
{
    if (popupAnswers_.empty()) fail(QStringLiteral("Unexpected pop-up menu %1.%2").arg(owner.name(), menu.name()));
    const auto a = popupAnswers_.front();
    if (a.first.compare(menu.name(), Qt::CaseInsensitive) != 0)
        fail(QStringLiteral("Expected pop-up menu %1, got %2.%3").arg(a.first, owner.name(), menu.name()));
    popupAnswers_.pop_front();
    record({Entry::Popup, owner.name(), menu.name(), a.second, 0, 0});
    if (a.second.isEmpty()) return nullptr;
    Menu* item = findItem(menu, a.second);
    if (!item) fail(QStringLiteral("Pop-up menu %1 has no item %2").arg(menu.name(), a.second));
    for (const Menu* m = item; m && m != &menu; m = m->parentMenu())
        if (!m->enabled() || !m->visible() || m->isSeparator())
            fail(QStringLiteral("Pop-up item %1 of %2 cannot be chosen (disabled or hidden)").arg(a.second, menu.name()));
    return item;
}

FetchResult HeadlessDesktop::openUrl(const QString& url, int) { fail(QStringLiteral("Unexpected fetch of %1").arg(url)); }

// --- Help, sounds, text --------------------------------------------------------------

void HeadlessDesktop::showHelp(Form* owner, const QString& file, int topic)
{
    record({Entry::Help, owner ? owner->name() : QString(), file, {}, topic, 0});
}

void HeadlessDesktop::beep() { record({Entry::Beep, {}, {}, {}, 0, 0}); }
void HeadlessDesktop::messageBeep(int type) { record({Entry::MessageBeep, {}, {}, {}, type, 0}); }

int HeadlessDesktop::measureTextPx(const Font& font, const QString& text)
{
    const int perChar = int(std::ceil(font.size * 4.0 / 3.0 * (font.bold ? 0.6 : 0.55)));
    return perChar * int(text.size());
}

void HeadlessDesktop::programEnding() { record({Entry::End, {}, {}, {}, 0, 0}); }

// --- Clock and yields -------------------------------------------------------------------

void HeadlessDesktop::timerStarted(Timer& timer)
{
    timers_[&timer] = TimerState{timer.interval(), now_ + timer.interval()};
}

void HeadlessDesktop::timerStopped(Timer& timer) { timers_.remove(&timer); }

void HeadlessDesktop::fireDue(qint64 until, bool coalesce)
{
    if (coalesce) {
        now_ = std::max(now_, until);
        QList<std::pair<qint64, const Timer*>> due;
        for (auto it = timers_.cbegin(); it != timers_.cend(); ++it)
            if (it->due <= now_) due.append({it->due, it.key()});
        std::stable_sort(due.begin(), due.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& d : due) {
            auto it = timers_.find(d.second);
            if (it == timers_.end() || it->due > now_) continue;   // stopped or restarted meanwhile
            it->due = now_ + it->interval;
            const_cast<Timer*>(d.second)->Tick();
        }
        return;
    }
    for (;;) {
        const Timer* next = nullptr;
        qint64 when = 0;
        for (auto it = timers_.cbegin(); it != timers_.cend(); ++it)
            if (it->due <= until && (!next || it->due < when)) {
                next = it.key();
                when = it->due;
            }
        if (!next) break;
        now_ = std::max(now_, when);
        auto it = timers_.find(next);
        it->due = when + it->interval;
        const_cast<Timer*>(next)->Tick();
    }
    now_ = std::max(now_, until);
}

void HeadlessDesktop::advance(qint64 ms) { fireDue(now_ + std::max<qint64>(0, ms), true); }
void HeadlessDesktop::advanceStepwise(qint64 ms) { fireDue(now_ + std::max<qint64>(0, ms), false); }

void HeadlessDesktop::onYield(std::function<bool()> predicate, std::function<void()> action, bool repeat)
{
    auto t = std::make_shared<Trigger>();
    t->predicate = std::move(predicate);
    t->action = std::move(action);
    t->repeat = repeat;
    t->number = 0;
    triggers_.push_back(std::move(t));
}

void HeadlessDesktop::onYieldNumber(int n, std::function<void()> action)
{
    auto t = std::make_shared<Trigger>();
    t->action = std::move(action);
    t->repeat = false;
    t->number = n;
    triggers_.push_back(std::move(t));
}

void HeadlessDesktop::doEvents()
{
    ++yields_;
    fireDue(now_, true);
    runTriggers();
}

void HeadlessDesktop::runTriggers()
{
    // Number triggers compare with the yield that started this pass, so a
    // nested yield inside an earlier trigger does not step over them.
    const int yield = yields_;
    const auto snapshot = triggers_;
    for (const auto& t : snapshot) {
        if (t->done || t->running) continue;
        const bool hit = t->number > 0 ? yield == t->number : t->predicate();
        if (!hit) continue;
        if (!t->repeat) t->done = true;
        struct Running {
            bool& flag;
            explicit Running(bool& f) : flag(f) { flag = true; }
            ~Running() { flag = false; }
        } running(t->running);
        t->action();
    }
    std::erase_if(triggers_, [](const auto& t) { return t->done && !t->running; });
}

// --- Transcript -------------------------------------------------------------------------

QList<HeadlessDesktop::Entry> HeadlessDesktop::entries(Entry::Kind kind) const
{
    QList<Entry> out;
    for (const Entry& e : transcript_)
        if (e.kind == kind) out.append(e);
    return out;
}

QStringList HeadlessDesktop::transcriptLines() const
{
    QStringList out;
    for (const Entry& e : transcript_) {
        switch (e.kind) {
        case Entry::MessageBox:
            out << QStringLiteral("box [%1] \"%2\" \"%3\" %4 -> %5").arg(e.form, e.title, e.text).arg(e.style).arg(e.answer);
            break;
        case Entry::ModalOpen: out << QStringLiteral("modal %1").arg(e.form); break;
        case Entry::ModalClose: out << QStringLiteral("end modal %1").arg(e.form); break;
        case Entry::FormShown: out << QStringLiteral("show %1%2").arg(e.form, e.style ? QStringLiteral(" modal") : QString()); break;
        case Entry::FormHidden: out << QStringLiteral("hide %1").arg(e.form); break;
        case Entry::FormUnloaded: out << QStringLiteral("unload %1").arg(e.form); break;
        case Entry::Help: out << QStringLiteral("help [%1] %2 %3").arg(e.form, e.title).arg(e.style); break;
        case Entry::Beep: out << QStringLiteral("beep"); break;
        case Entry::MessageBeep: out << QStringLiteral("message beep %1").arg(e.style); break;
        case Entry::FileDialog:
            out << QStringLiteral("file dialog [%1] \"%2\" -> %3").arg(e.form, e.title, e.answer ? e.text : QStringLiteral("cancel"));
            break;
        case Entry::Popup: out << QStringLiteral("popup [%1] %2 -> %3").arg(e.form, e.title, e.text); break;
        case Entry::PointerChange: out << QStringLiteral("pointer [%1] %2").arg(e.form).arg(e.style); break;
        case Entry::End: out << QStringLiteral("end"); break;
        }
    }
    return out;
}

} // namespace ui
