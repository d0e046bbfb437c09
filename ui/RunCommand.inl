// Included by ShowError.h.
#pragma once

#include <exception>
#include <new>

#include "Errors.h"

namespace bukvotok {

template <typename Command>
void RunCommand(Command&& command) noexcept {
    try {
        command();
    } catch (const std::bad_alloc&) {
        ShowError(OutOfMemoryError().what());
    } catch (const std::exception& error) {
        ShowError(error.what());
    } catch (...) {
        ShowError("Unknown error");
    }
}

}  // namespace bukvotok
