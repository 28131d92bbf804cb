#pragma once
// The trap of a shared routine that hands its failure back as an error
// number instead of reporting it: runs the body and turns whatever it raised
// into the run time's number. An abandoned run and the program's
// immediate end pass through untouched.
#include "platform/AppError.h"
#include "shared/basGlobal.h"
#include "ui/Desktop.h"
#include "ui/Types.h"

#include <new>
#include <stdexcept>

namespace basGlobal {

template <class Body>
Long TrappedCall(Body&& body)
{
    try {
        body();
        return 0;
    } catch (const ui::Abandon&) {
        throw;
    } catch (const platform::AppError& e) {
        return e.number;
    } catch (const ui::UiError& e) {
        return e.number;
    } catch (const std::bad_alloc&) {
        return platform::errOutOfMemory;
    } catch (const std::out_of_range&) {
        return platform::errSubscript;
    } catch (const std::exception&) {
        return platform::errInvalidCall;
    }
}

} // namespace basGlobal
