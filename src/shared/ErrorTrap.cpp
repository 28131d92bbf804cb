#include "shared/ErrorTrap.h"

#include "platform/AppError.h"
#include "shared/Messages.h"
#include "ui/Desktop.h"
#include "ui/Form.h"

#include <new>
#include <stdexcept>

namespace basGlobal {

void RaiseError(Long number)
{
    throw platform::makeError(number);
}

ErrorTrap::ErrorTrap(ui::Form* owner, QString locationCode, OnNo onNo, QString title)
    : m_owner(owner), m_code(std::move(locationCode)), m_onNo(onNo), m_title(std::move(title))
{
}

bool ErrorTrap::step(const std::function<void()>& body)
{
    if (m_stopped)
        return false;
    try {
        body();
        return true;
    } catch (const ui::Abandon&) {
        throw; // abandoned, not the program's error
    } catch (const platform::AppError& e) {
        report(e.number, e.description.isEmpty() ? platform::errorDescription(e.number) : e.description);
    } catch (const std::bad_alloc&) {
        report(platform::errOutOfMemory, platform::errorDescription(platform::errOutOfMemory));
    } catch (const std::out_of_range&) {
        report(platform::errSubscript, platform::errorDescription(platform::errSubscript));
    } catch (const std::exception&) {
        report(platform::errInvalidCall, platform::errorDescription(platform::errInvalidCall));
    }
    return false;
}

bool ErrorTrap::stepRestoringPointer(ui::Form& form, const std::function<void()>& body)
{
    return step([&] {
        try {
            body();
        } catch (...) {
            form.setMousePointer(ui::vbDefault);
            throw;
        }
    });
}

void ErrorTrap::report(Long number, const QString& description)
{
    ++m_failures;
    m_lastError = number;
    const QString title = m_title.isEmpty() ? globals().ApplicationTitle : m_title;
    if (ReportError(m_owner, title, number, description, m_code))
        ui::endProgram();
    if (m_onNo == OnNo::StopOperation)
        m_stopped = true;
}

} // namespace basGlobal
