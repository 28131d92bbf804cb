#include "offline/StructureWindow.h"

#include "shared/ErrorTrap.h"
#include "shared/IniAccess.h"
#include "shared/Messages.h"
#include "shared/Progress.h"
#include "shared/RegionalFormats.h"
#include "shared/Texts.h"
#include "ui/Control.h"

namespace offline {

using basGlobal::globals;
using basGlobal::Txt;

namespace {

// The designed tints, for a window opened without the main window (tests).
constexpr ui::Color kDesignedTint[2] = {0xC0E0FF, 0xFFFFC0};
constexpr int kButtonWidth = 1812;
constexpr int kButtonHeight = 420;

} // namespace

QString GroupedCount(qint64 count) { return shared::regionalFormats().groupedNumber(count); }

StructureWindow::StructureWindow(const QString& name, const WindowTexts& texts) : ui::Form(name), m_texts(texts)
{
    Load = [this] { Form_Load(); };
    QueryUnload = [this](bool& cancel, int mode) { Form_QueryUnload(cancel, mode); };
}

void StructureWindow::build()
{
    m_lock.forget();
    buildOwn();
}

void StructureWindow::buildShared(int frameTop, int barTop, int width)
{
    const std::array<int, 11>& topic = m_texts.helpTopics;
    fraStructureSelection = add<ui::Frame>(QStringLiteral("fraStructureSelection"));
    fraStructureSelection->move(120, frameTop, width - 240, 1020);
    fraStructureSelection->setHelpTopic(topic[2]);
    for (int k = 0; k < 3; ++k) {
        auto* opt = addTo(optStructureSelection, QStringLiteral("optStructureSelection"), k, fraStructureSelection);
        opt->move(240, 260 + 240 * k, width - 600, 240);
        opt->setHelpTopic(topic[std::size_t(3 + k)]);
        opt->Click = [this] { setCancelCaption(false); };
    }
    prbProgressBar = add<ui::ProgressBar>(QStringLiteral("prbProgressBar"));
    prbProgressBar->move(120, barTop, width - 240, 252);
    prbProgressBar->setHelpTopic(topic[6]);

    const int buttonTop = barTop + 380;
    lblElapsedTime = add<ui::Label>(QStringLiteral("lblElapsedTime"));
    lblElapsedTime->move(120, buttonTop + 84, 1212, 252);
    lblElapsedTime->setHelpTopic(topic[7]);
    auto button = [&](ui::CommandButton*& slot, const char* name, int right, int help) {
        slot = add<ui::CommandButton>(QLatin1String(name));
        slot->move(width - 120 - right * (kButtonWidth + 120) - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight);
        slot->setHelpTopic(help);
    };
    button(cmdCancel, "cmdCancel", 2, topic[8]);
    button(cmdApply, "cmdApply", 1, topic[9]);
    button(cmdStart, m_texts.startName, 0, topic[10]);
    cmdCancel->Click = [this] { cmdCancel_Click(); };
    cmdApply->Click = [this] { cmdApply_Click(); };
    cmdStart->Click = [this] { start(); };
    setDefaultButton(cmdStart);
    setCancelButton(cmdCancel);

    Timer1 = add<ui::Timer>(QStringLiteral("Timer1"));
    Timer1->setEnabled(false);
    Timer1->setInterval(0);
    Timer1->Tick = [this] { Timer1_Timer(); };
    freeSizer1 = add<ui::FormResizer>(QStringLiteral("freeSizer1"));
    move(left(), top(), width + 120, buttonTop + kButtonHeight + 520);
}

void StructureWindow::Form_Load()
{
    basGlobal::Globals& g = globals();
    basGlobal::ErrorTrap trap(this, QString::fromLatin1(m_texts.loadCode));
    trap.step([&] {
        setCaption(Txt(m_texts.captionEnglish, m_texts.captionGreek));
        fraStructureSelection->setCaption(Txt(u" Which structure will be compared off line? ",
                                              u" Ποιά δομή θα συγκριθεί χωρίς σύνδεση; "));
        optStructureSelection[0]->setCaption(Txt(u"the Primary", u"η Πρωτεύουσα"));
        optStructureSelection[1]->setCaption(Txt(u"the Secondary", u"η Δευτερεύουσα"));
        optStructureSelection[2]->setCaption(Txt(u"both the Primary and the Secondary",
                                                 u"και η Πρωτεύουσα και η Δευτερεύουσα"));
        cmdApply->setCaption(Txt(u"Apply", u"Εφαρμογή"));
        cmdStart->setCaption(Txt(m_texts.startEnglish, m_texts.startGreek));
        setCancelCaption(false);
    });
    trap.step([&] { freeSizer1->setResizeFonts(g.ResizeFontEnabled); });
    trap.step([&] {
        g.*m_texts.inProgress = false;
        g.CancelRequested = false;
    });
    trap.step([&] { loadOwn(); });
    trap.step([&] {
        for (int i = 0; i < 2; ++i) {
            lblFile[i]->setBackColor(structureTint(i));
            lblFile[i]->setCaption(QString());
            lblFile[i]->setToolTipText(QString());
        }
    });
    trap.step([&] {
        prbProgressBar->setVisible(false);
        prbProgressBar->setValue(0);
    });
    trap.step([&] {
        const int k = g.*m_texts.selection;
        optStructureSelection[k >= 0 && k <= 2 ? k : 1]->setValue(true);
    });
    trap.step([&] { lblElapsedTime->setCaption(QString()); });
}

void StructureWindow::Form_QueryUnload(bool& cancel, int unloadMode)
{
    if (globals().*m_texts.inProgress)
        cancel = basGlobal::ShowCannotCloseWindowMessage(this, basGlobal::Integer(unloadMode));
}

void StructureWindow::setCancelCaption(bool close)
{
    cmdCancel->setCaption(close ? Txt(u"Close", u"Κλείσιμο") : Txt(u"Cancel", u"Άκυρο"));
}

int StructureWindow::selectedStructures() const
{
    for (int k = 0; k < 3; ++k)
        if (optStructureSelection[k]->value())
            return k;
    return 1;
}

void StructureWindow::cmdApply_Click()
{
    basGlobal::Globals& g = globals();
    basGlobal::ErrorTrap trap(this, QString::fromLatin1(m_texts.applyCode));
    trap.step([&] { g.*m_texts.selection = basGlobal::Integer(selectedStructures()); });
    trap.step([&] {
        basGlobal::RaiseIfError(basGlobal::WriteIniLong(g.IniFileName, QStringLiteral("General"),
                                                        QLatin1String(m_texts.iniKey), g.*m_texts.selection));
    });
    trap.step([&] { setCancelCaption(true); });
}

void StructureWindow::cmdCancel_Click()
{
    basGlobal::Globals& g = globals();
    if (g.*m_texts.inProgress)
        g.CancelRequested = basGlobal::ConfirmCancelProcessing(this, *cmdCancel);
    else
        unload(ui::vbFormCode);
}

void StructureWindow::cpDisableControls()
{
    m_lock.lock(*this, [](const ui::Control& c) {
        const ui::ControlKind k = c.kind();
        return k != ui::ControlKind::Label && k != ui::ControlKind::ProgressBar && k != ui::ControlKind::FormResizer;
    });
}

void StructureWindow::cpEnableControls() { m_lock.unlock(); }

void StructureWindow::cpUpdateProgressBar(qint64 current, qint64 total)
{
    basGlobal::UpdateProgressBar(*prbProgressBar, current, total);
}

void StructureWindow::Timer1_Timer() { basGlobal::TickElapsedClock(*Timer1, *lblElapsedTime); }

void StructureWindow::beginRun()
{
    basGlobal::Globals& g = globals();
    cpDisableControls();
    g.CancelRequested = false;
    g.*m_texts.inProgress = true;
    setCancelCaption(false);
    cmdCancel->setEnabled(true);
    if (g.ShowElapsedTime)
        basGlobal::StartElapsedClock(*Timer1, *lblElapsedTime);
}

void StructureWindow::endRun()
{
    Timer1->setEnabled(false);
    globals().*m_texts.inProgress = false;
}

bool StructureWindow::yieldCancelled()
{
    basGlobal::DoEventsNow();
    return globals().CancelRequested;
}

ui::Color StructureWindow::structureTint(int i)
{
    for (ui::Form* f : ui::loadedForms()) {
        if (f->name() != QLatin1String("frmMain"))
            continue;
        if (ui::Control* label = f->control(QStringLiteral("lblCurrentFullPath"), i))
            return label->backColor();
    }
    return kDesignedTint[i];
}

} // namespace offline
