#pragma once
// The error trap of a window procedure. The procedure runs its steps through
// one ErrorTrap; a step that raises (platform::AppError, or any standard
// exception) is reported with the procedure's location code:
//  - Yes ends the program at once (ui::endProgram: no unload handlers, no
//    INI writes);
//  - No goes on with the next step, or, for a long operation where going on
//    makes no sense (OnNo::StopOperation), skips every further step so the
//    caller ends the operation the way a cancel does.
//
//     ErrorTrap trap(this, "MFL1000");
//     trap.step([&] { RaiseIfError(LoadPageSetup()); });
//     trap.step([&] { ... });
//
// Shared routines that return an error number do not report; the caller
// raises the number inside its own step with RaiseIfError.

#include "shared/basGlobal.h"

#include <QString>

#include <functional>

namespace ui {
class Form;
}

namespace basGlobal {

// Raises the error `number` with its description from the error table.
[[noreturn]] void RaiseError(Long number);
inline void RaiseIfError(Long number)
{
    if (number != 0)
        RaiseError(number);
}

class ErrorTrap {
public:
    enum class OnNo { GoOn, StopOperation };

    // An empty title means ApplicationTitle at the time of the report.
    ErrorTrap(ui::Form* owner, QString locationCode, OnNo onNo = OnNo::GoOn, QString title = QString());

    // Runs `body` unless the trap has stopped. True when it ran to its end.
    bool step(const std::function<void()>& body);
    // step, with `form`'s pointer back to normal before any report shows.
    bool stepRestoringPointer(ui::Form& form, const std::function<void()>& body);

    bool stopped() const { return m_stopped; }
    bool anyFailed() const { return m_failures > 0; }
    Long lastErrorNumber() const { return m_lastError; }

private:
    void report(Long number, const QString& description);

    ui::Form* m_owner;
    QString m_code;
    OnNo m_onNo;
    QString m_title;
    bool m_stopped = false;
    int m_failures = 0;
    Long m_lastError = 0;
};

} // namespace basGlobal
