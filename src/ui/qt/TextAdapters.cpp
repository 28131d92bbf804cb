// Text boxes and combo boxes: what the user types or pastes goes through the
// model, which may refuse or change it; the widget then shows its value.
#include "ui/Form.h"
#include "ui/Input.h"
#include "ui/qt/ControlAdapter.h"
#include "ui/qt/QtDesktop.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>

namespace ui::qt {

namespace {

// The character Input::key would type for a code (mirrors its rule), so
// that a key giving another character (caps lock, a Greek layout,
// punctuation) is typed as that character instead.
int asciiOfKey(int code, int shift)
{
    if (shift & (vbCtrlMask | vbAltMask)) return -1;
    if (code >= 'A' && code <= 'Z') return (shift & vbShiftMask) ? code : code + 32;
    if (code >= '0' && code <= '9') return (shift & vbShiftMask) ? -1 : code;
    if (code == vbKeySpace) return code;
    return -1;
}

class TextBoxAdapter : public ControlAdapter {
public:
    using ControlAdapter::ControlAdapter;
    QPalette::ColorRole backRole() const override { return QPalette::Base; }
    QPalette::ColorRole foreRole() const override { return QPalette::Text; }
    bool ownContextMenu() const override { return true; }
    // A selection the widget itself reported is not echoed back to it: the
    // echo of its first half (the start) would clear what the user selected.
    void changed(const Change& c) override
    {
        if (c.prop == Prop::Selection && applying()) return;
        sync();
    }

    void syncValue() override
    {
        auto& box = static_cast<TextBox&>(control_);
        if (auto* e = qobject_cast<QLineEdit*>(widget_)) {
            if (e->text() != box.text()) e->setText(box.text());
            e->setMaxLength(box.maxLength() > 0 ? box.maxLength() : 32767);
            e->setReadOnly(box.locked());
            e->setAlignment(box.alignment() == 1 ? Qt::AlignRight : (box.alignment() == 2 ? Qt::AlignHCenter : Qt::AlignLeft));
            if (box.selLength() > 0) e->setSelection(box.selStart(), box.selLength());
            else e->setCursorPosition(box.selStart());
        } else if (auto* p = qobject_cast<QPlainTextEdit*>(widget_)) {
            p->setReadOnly(box.locked());
            if (p->toPlainText() != box.text()) p->setPlainText(box.text());
        }
    }

    std::optional<bool> key(QKeyEvent* e, int code, int shift) override
    {
        auto* box = static_cast<TextBox*>(&control_);
        // A multi-line box is edited by the widget itself (lines, caret,
        // selection); its text reaches the model as it changes.
        if (box->multiLine()) return false;
        Form& form = box->form();
        const int k = e->key();
        if (k == Qt::Key_Left || k == Qt::Key_Right || k == Qt::Key_Home || k == Qt::Key_End) {
            QtDesktop::guarded([&form, code, shift] { Input::key(form, code, shift); });
            return !alive();   // the caret moves in the widget; its position goes back to the model
        }
        if (k == Qt::Key_Delete) {
            QtDesktop::guarded([&form, box, code, shift] {
                Input::key(form, code, shift);
                if (!Input::canTakeInput(*box) || box->locked()) return;
                if (box->selLength() == 0) {
                    if (box->selStart() >= box->text().size()) return;
                    box->setSelLength(1);
                }
                box->replaceSelection(QString());
            });
            if (alive()) sync();
            return true;
        }
        const QString text = e->text();
        if (!text.isEmpty() && text.at(0).isPrint() && !(shift & (vbCtrlMask | vbAltMask))) {
            if (code == 0 || asciiOfKey(code, shift) != text.at(0).unicode()) {
                QtDesktop::guarded([box, text] { Input::type(*box, text); });
                if (alive()) sync();
                return true;
            }
        }
        return std::nullopt;
    }

protected:
    QWidget* make(QWidget* parent) override
    {
        auto* box = static_cast<TextBox*>(&control_);
        if (box->multiLine()) {
            auto* e = new QPlainTextEdit(parent);
            e->setReadOnly(box->locked());
            QObject::connect(e, &QPlainTextEdit::textChanged, e, [this, box, e] {
                if (!alive() || applying() || box->locked()) return;
                const QString text = e->toPlainText();
                if (text == box->text()) return;
                ++applying();
                QtDesktop::guarded([box, text] {
                    if (Input::canTakeInput(*box)) box->setText(text);
                });
                if (alive()) --applying();
            });
            return e;
        }
        auto* e = new QLineEdit(parent);
        e->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(e, &QLineEdit::customContextMenuRequested, e, [this, box, e](const QPoint& at) {
            QMenu menu(e);
            menu.setObjectName(QStringLiteral("clipboardMenu"));
            QAction* copy = menu.addAction(QLineEdit::tr("Copy"));
            QAction* paste = menu.addAction(QLineEdit::tr("Paste"));
            copy->setEnabled(e->hasSelectedText());
            paste->setEnabled(!box->locked() && !QApplication::clipboard()->text().isEmpty());
            QAction* chosen = menu.exec(e->mapToGlobal(at));
            if (!alive()) return;
            if (chosen == copy) QApplication::clipboard()->setText(e->selectedText());
            if (chosen == paste) {
                const QString text = QApplication::clipboard()->text();
                QtDesktop::guarded([box, text] { Input::paste(*box, text); });
                if (alive()) sync();
            }
        });
        QObject::connect(e, &QLineEdit::selectionChanged, e, [this, box, e] {
            if (!alive() || applying()) return;
            Applying a(applying());
            const int start = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
            const int length = int(e->selectedText().size());
            box->setSelStart(start);
            box->setSelLength(length);
        });
        QObject::connect(e, &QLineEdit::cursorPositionChanged, e, [this, box, e](int, int pos) {
            if (!alive() || applying() || e->hasSelectedText()) return;
            Applying a(applying());
            box->setSelStart(pos);
            box->setSelLength(0);
        });
        return e;
    }
};

class ComboBoxAdapter : public ControlAdapter {
public:
    using ControlAdapter::ControlAdapter;
    QPalette::ColorRole backRole() const override { return QPalette::Base; }
    QPalette::ColorRole foreRole() const override { return QPalette::Text; }

    void syncValue() override
    {
        auto& cb = static_cast<ComboBox&>(control_);
        auto* q = static_cast<QComboBox*>(widget_);
        bool same = q->count() == cb.listCount();
        for (int i = 0; same && i < cb.listCount(); ++i) same = q->itemText(i) == cb.list(i);
        if (!same) {
            q->clear();
            for (int i = 0; i < cb.listCount(); ++i) q->addItem(cb.list(i));
        }
        q->setCurrentIndex(cb.listIndex());
    }

    // The list opens and moves in Qt; the choice reaches the model on activation.
    std::optional<bool> key(QKeyEvent* e, int, int) override
    {
        if (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down || e->key() == Qt::Key_F4) return false;
        return std::nullopt;
    }

protected:
    QWidget* make(QWidget* parent) override
    {
        auto* b = new QComboBox(parent);
        auto* cb = static_cast<ComboBox*>(&control_);
        QObject::connect(b, &QComboBox::activated, b, [this, cb](int i) {
            if (!alive()) return;
            QtDesktop::guarded([cb, i] { Input::comboChoose(*cb, i); });
            if (alive()) sync();
        });
        return b;
    }
};

} // namespace

std::unique_ptr<ControlAdapter> makeTextAdapter(FormWindow& window, Control& control)
{
    if (control.kind() == ControlKind::ComboBox) return std::make_unique<ComboBoxAdapter>(window, control);
    return std::make_unique<TextBoxAdapter>(window, control);
}

} // namespace ui::qt
