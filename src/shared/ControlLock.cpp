#include "shared/ControlLock.h"

#include "ui/Control.h"
#include "ui/Form.h"

namespace basGlobal {

void ControlLock::lock(ui::Form& form, const std::function<bool(const ui::Control&)>& lockable)
{
    if (m_locked)
        return;
    m_locked = true;
    m_kept.clear();
    for (const bool frames : {false, true})
        for (ui::Control* c : form.controls()) {
            const ui::ControlKind kind = c->kind();
            if (kind == ui::ControlKind::Menu || (kind == ui::ControlKind::Frame) != frames || !lockable(*c))
                continue;
            m_kept.emplace_back(c, c->enabled());
            c->setEnabled(false);
        }
}

void ControlLock::unlock()
{
    if (!m_locked)
        return;
    for (const auto& [control, enabled] : m_kept)
        control->setEnabled(enabled);
    forget();
}

void ControlLock::keepDisabled(const ui::Control& control)
{
    for (auto& [c, enabled] : m_kept)
        if (c == &control)
            enabled = false;
}

void ControlLock::forget()
{
    m_kept.clear();
    m_locked = false;
}

} // namespace basGlobal
