// Errors end a command where its event was dispatched: the command stops, its error is
// reported, and the program goes on.  Nothing unwinds into a toolkit's frames (Debian's Qt is
// built without exception support, and a window procedure is called by Windows' C code).
#pragma once

#include <exception>
#include <new>
#include <string_view>

#include "Errors.h"

namespace bukvotok {

// Runs `command`; any error it raises goes to `report` as its message bytes.
template <typename Command, typename Report>
void ReportErrors(Command&& command, Report&& report) noexcept {
    try {
        command();
    } catch (const std::bad_alloc&) {
        report(std::string_view(OutOfMemoryError().what()));
    } catch (const std::exception& error) {
        report(std::string_view(error.what()));
    } catch (...) {
        report(std::string_view("Unknown error"));
    }
}

}  // namespace bukvotok
