// Buttons, check and option boxes, the arrow pair, and the controls that
// only show something: labels, frames, images, progress bars.
#include "ui/DisplayText.h"
#include "ui/Form.h"
#include "ui/Input.h"
#include "ui/qt/ControlAdapter.h"
#include "ui/qt/QtDesktop.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <functional>

namespace ui::qt {

namespace {

class CommandButtonAdapter : public ControlAdapter {
public:
    using ControlAdapter::ControlAdapter;
    QPalette::ColorRole backRole() const override { return QPalette::Button; }
    QPalette::ColorRole foreRole() const override { return QPalette::ButtonText; }

    void syncValue() override
    {
        auto& b = static_cast<CommandButton&>(control_);
        auto* q = static_cast<QPushButton*>(widget_);
        if (b.style() == 1 && !b.picture().isNull()) {
            q->setText(QString());
            fitIcon();
        } else {
            q->setIcon(QIcon());
            q->setText(literal(b.caption()));
        }
        q->setDefault(b.form().defaultButton() == &b);
    }
    void geometryChanged() override
    {
        auto& b = static_cast<CommandButton&>(control_);
        if (b.style() == 1 && !b.picture().isNull()) fitIcon();
    }

protected:
    QWidget* make(QWidget* parent) override
    {
        auto* b = new QPushButton(parent);
        b->setAutoDefault(false);
        Control* c = &control_;
        QObject::connect(b, &QPushButton::clicked, b, [this, c] {
            if (!alive()) return;
            QtDesktop::guarded([c] { Input::click(*c); });
        });
        return b;
    }

private:
    // The picture as large as the button allows, in its own proportions: a
    // button the resizer widened keeps an undistorted, readable picture.
    void fitIcon()
    {
        auto* q = static_cast<QPushButton*>(widget_);
        const QPixmap pm = pictureOf(static_cast<CommandButton&>(control_).picture());
        const QSize room = (q->size() - QSize(6, 6)).expandedTo(QSize(1, 1));
        const QSize fit = pm.isNull() ? room : pm.size().scaled(room, Qt::KeepAspectRatio);
        q->setIcon(QIcon(pm.isNull() ? pm : pm.scaled(fit, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        q->setIconSize(fit);
    }
};

class LabelWidget : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> refit;

protected:
    void changeEvent(QEvent* e) override
    {
        QLabel::changeEvent(e);
        if (e->type() == QEvent::FontChange && refit) refit();
    }
    void resizeEvent(QResizeEvent* e) override
    {
        QLabel::resizeEvent(e);
        if (refit) refit();
    }
};

class LabelAdapter : public ControlAdapter {
public:
    using ControlAdapter::ControlAdapter;
    bool clickOnRelease() const override { return true; }
    void syncValue() override
    {
        auto& l = static_cast<Label&>(control_);
        auto* q = static_cast<QLabel*>(widget_);
        q->setText(displayText(l.caption()));
        q->setWordWrap(l.wordWrap() || l.caption().contains(QLatin1Char('\n')));
        placeText();
    }
    void commonChanged(Prop) override { placeText(); }   // the colours

private:
    // The line's place in the label, from the font's own measures. A capital's
    // accent (Ä, Ö, Ά) rises above the font's ascent, where a line drawn from
    // the label's top loses it: that room stays free above the line. A single
    // line in a box of its own colour (a tinted path, Page setup's values)
    // stands in the middle of the box when the box holds it.
    void placeText()
    {
        if (!alive()) return;
        auto& l = static_cast<Label&>(control_);
        auto* q = static_cast<QLabel*>(widget_);
        const QFontMetrics fm(q->font());
        const int over = accentRoom(fm);
        const Color ground = l.container() ? l.container()->backColor() : l.form().backColor();
        const bool boxed = !q->wordWrap() && l.backColor() != ground && q->height() >= over + fm.height();
        q->setContentsMargins(0, over, 0, 0);
        const Qt::Alignment h = l.alignment() == 1 ? Qt::AlignRight : (l.alignment() == 2 ? Qt::AlignHCenter : Qt::AlignLeft);
        q->setAlignment(h | (boxed ? Qt::AlignVCenter : Qt::AlignTop));
    }

protected:
    QWidget* make(QWidget* parent) override
    {
        auto* l = new LabelWidget(parent);
        l->refit = [this] { placeText(); };   // a new size or font (the resizer's)
        l->setTextFormat(Qt::PlainText);
        l->setAutoFillBackground(true);
        return l;
    }
};

// A click on a check or option box goes to the model, which decides the
// value; the box then shows what the model holds.
template <class Box>
class ToggleAdapter : public ControlAdapter {
public:
    using ControlAdapter::ControlAdapter;

protected:
    QWidget* make(QWidget* parent) override
    {
        auto* b = new Box(parent);
        // Buttons fill with the Button role; a box's own back colour is
        // set on the Window role like every other control's.
        b->setBackgroundRole(QPalette::Window);
        Control* c = &control_;
        QObject::connect(b, &Box::clicked, b, [this, c] {
            if (!alive()) return;
            QtDesktop::guarded([c] { Input::click(*c); });
            if (alive()) sync();
        });
        return b;
    }
};

class CheckBoxAdapter : public ToggleAdapter<QCheckBox> {
public:
    using ToggleAdapter::ToggleAdapter;
    void syncValue() override
    {
        auto& b = static_cast<CheckBox&>(control_);
        auto* q = static_cast<QCheckBox*>(widget_);
        q->setText(literal(b.caption()));
        q->setCheckState(b.value() == 1 ? Qt::Checked : (b.value() == 2 ? Qt::PartiallyChecked : Qt::Unchecked));
    }

protected:
    QWidget* make(QWidget* parent) override
    {
        auto* b = static_cast<QCheckBox*>(ToggleAdapter::make(parent));
        b->setTristate(true);
        return b;
    }
};

class OptionButtonAdapter : public ToggleAdapter<QRadioButton> {
public:
    using ToggleAdapter::ToggleAdapter;
    void syncValue() override
    {
        auto& o = static_cast<OptionButton&>(control_);
        auto* q = static_cast<QRadioButton*>(widget_);
        q->setText(literal(o.caption()));
        q->setChecked(o.value());
    }

protected:
    QWidget* make(QWidget* parent) override
    {
        auto* b = static_cast<QRadioButton*>(ToggleAdapter::make(parent));
        b->setAutoExclusive(false);   // exclusivity is the model's, per container
        return b;
    }
};

class FrameAdapter : public ControlAdapter {
public:
    using ControlAdapter::ControlAdapter;
    bool clickOnRelease() const override { return true; }
    void syncValue() override { static_cast<QGroupBox*>(widget_)->setTitle(literal(static_cast<Frame&>(control_).caption())); }

protected:
    QWidget* make(QWidget* parent) override { return new QGroupBox(parent); }
};

class ImageAdapter : public ControlAdapter {
public:
    using ControlAdapter::ControlAdapter;
    bool clickOnRelease() const override { return true; }
    void syncValue() override
    {
        auto& img = static_cast<Image&>(control_);
        auto* q = static_cast<QLabel*>(widget_);
        q->setPixmap(pictureOf(img.picture()));
        q->setScaledContents(img.stretch());
    }

protected:
    QWidget* make(QWidget* parent) override
    {
        auto* l = new QLabel(parent);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    }
};

class ProgressBarAdapter : public ControlAdapter {
public:
    using ControlAdapter::ControlAdapter;
    void syncValue() override
    {
        auto& p = static_cast<ProgressBar&>(control_);
        const double span = p.max() - p.min();
        static_cast<QProgressBar*>(widget_)->setValue(span > 0 ? int(std::lround((p.value() - p.min()) / span * 10000)) : 0);
    }

protected:
    QWidget* make(QWidget* parent) override
    {
        auto* p = new QProgressBar(parent);
        p->setRange(0, 10000);
        p->setTextVisible(false);
        return p;
    }
};

// Two arrow buttons; each press is one Input::upDown step. The pair takes
// the focus as one control (its keys go to the form, which steps it) and
// shows it by a frame in the highlight colour around the arrows.
class UpDownWidget : public QWidget {
public:
    explicit UpDownWidget(QWidget* parent) : QWidget(parent)
    {
        setFocusPolicy(Qt::StrongFocus);
        auto* l = new QVBoxLayout(this);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(0);
        up = new QToolButton(this);
        down = new QToolButton(this);
        up->setArrowType(Qt::UpArrow);
        down->setArrowType(Qt::DownArrow);
        for (QToolButton* b : {up, down}) {
            b->setAutoRepeat(true);
            b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            b->setFocusPolicy(Qt::NoFocus);
            l->addWidget(b);
        }
    }
    QToolButton* up;
    QToolButton* down;

protected:
    void focusInEvent(QFocusEvent* e) override
    {
        layout()->setContentsMargins(kFocusFrame, kFocusFrame, kFocusFrame, kFocusFrame);
        QWidget::focusInEvent(e);
        update();
    }
    void focusOutEvent(QFocusEvent* e) override
    {
        layout()->setContentsMargins(0, 0, 0, 0);
        QWidget::focusOutEvent(e);
        update();
    }
    void paintEvent(QPaintEvent*) override
    {
        if (!hasFocus()) return;
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Highlight));
    }

private:
    static constexpr int kFocusFrame = 2;
};

class UpDownAdapter : public ControlAdapter {
public:
    using ControlAdapter::ControlAdapter;
    void syncValue() override
    {
        auto& u = static_cast<UpDown&>(control_);
        auto* q = static_cast<UpDownWidget*>(widget_);
        const int hi = std::max(u.min(), u.max()), lo = std::min(u.min(), u.max());
        q->up->setEnabled(u.value() < hi);
        q->down->setEnabled(u.value() > lo);
    }

protected:
    QWidget* make(QWidget* parent) override
    {
        auto* u = new UpDownWidget(parent);
        auto* upd = static_cast<UpDown*>(&control_);
        QObject::connect(u->up, &QToolButton::clicked, u, [this, upd] {
            if (alive()) QtDesktop::guarded([upd] { Input::upDown(*upd, +1); });
        });
        QObject::connect(u->down, &QToolButton::clicked, u, [this, upd] {
            if (alive()) QtDesktop::guarded([upd] { Input::upDown(*upd, -1); });
        });
        return u;
    }
};

class PlainAdapter : public ControlAdapter {
public:
    using ControlAdapter::ControlAdapter;

protected:
    QWidget* make(QWidget* parent) override { return new QWidget(parent); }
};

} // namespace

std::unique_ptr<ControlAdapter> makeSimpleAdapter(FormWindow& window, Control& control)
{
    switch (control.kind()) {
    case ControlKind::CommandButton: return std::make_unique<CommandButtonAdapter>(window, control);
    case ControlKind::Label: return std::make_unique<LabelAdapter>(window, control);
    case ControlKind::CheckBox: return std::make_unique<CheckBoxAdapter>(window, control);
    case ControlKind::OptionButton: return std::make_unique<OptionButtonAdapter>(window, control);
    case ControlKind::Frame: return std::make_unique<FrameAdapter>(window, control);
    case ControlKind::Image: return std::make_unique<ImageAdapter>(window, control);
    case ControlKind::ProgressBar: return std::make_unique<ProgressBarAdapter>(window, control);
    case ControlKind::UpDown: return std::make_unique<UpDownAdapter>(window, control);
    default: return std::make_unique<PlainAdapter>(window, control);
    }
}

} // namespace ui::qt
