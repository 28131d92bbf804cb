#pragma once
// Locks a window's controls while a long operation runs in it: the controls
// the window names are disabled, and unlock() gives each one the Enabled it
// had before, so a control that was already disabled stays so. The states
// are kept here, never in the controls' tags.

#include <functional>
#include <utility>
#include <vector>

namespace ui {
class Control;
class Form;
}

namespace basGlobal {

class ControlLock {
public:
    // Disables every control of `form` that `lockable` accepts (menus never),
    // frames after the controls they hold. Nothing while locked already: a
    // second lock must not take the disabled states for the ones to restore.
    void lock(ui::Form& form, const std::function<bool(const ui::Control&)>& lockable);
    // Gives every locked control its Enabled back; nothing when not locked.
    void unlock();
    // The control stays disabled when unlock() gives the others back.
    void keepDisabled(const ui::Control& control);
    // Drops the kept states without touching a control: the form's controls
    // were built anew (call it from the form's build()).
    void forget();
    bool locked() const { return m_locked; }

private:
    std::vector<std::pair<ui::Control*, bool>> m_kept;
    bool m_locked = false;
};

} // namespace basGlobal
