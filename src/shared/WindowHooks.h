#pragma once
// The print window presses the main window's Page setup and Printer setup.
// Dependencies run one way, so it calls through these hooks, which the main
// window installs at start-up (or a test does).
//
// An empty hook does nothing.
#include <functional>

namespace basGlobal {

struct WindowHooks {
    std::function<void()> pageSetup;
    std::function<void()> printerSetup;
};

WindowHooks& windowHooks();

} // namespace basGlobal
