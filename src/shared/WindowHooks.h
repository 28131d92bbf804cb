#pragma once
// Windows of a higher subsystem that a lower one opens. The results window
// opens Find, the explanation and the print window; the print window presses
// the main window's Page setup and Printer setup. Dependencies run one way,
// so the lower window calls through these hooks, which the higher subsystem
// installs (the main window at start-up, or a test).
//
// An empty hook does nothing.
#include <functional>

namespace ui {
class Form;
}

namespace basGlobal {

struct WindowHooks {
    // The main window's commands (subsystem 2).
    std::function<void()> pageSetup;
    std::function<void()> printerSetup;

    // The result tools (subsystem 5), opened from the results window.
    std::function<void(ui::Form& results)> showFind;
    std::function<void(ui::Form& results, int row)> showInterpretation;
    std::function<void(ui::Form& results)> showPrint;
};

WindowHooks& windowHooks();

} // namespace basGlobal
