// Included by ShowError.h.
#pragma once

#include <string_view>
#include <utility>

#include "ReportErrors.h"

namespace bukvotok {

template <typename Command>
void RunCommand(Command&& command) noexcept {
    ReportErrors(std::forward<Command>(command),
                 [](std::string_view message) { ShowError(message); });
}

}  // namespace bukvotok
