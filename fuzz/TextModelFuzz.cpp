// The results box's text model under random edits, appends, undos, redos, widths and limits,
// checked against a plain string and a fresh layout after every step.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "TextModelCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    bukvotok::check::TextModelCheck model_check;
    const std::string failure = model_check.Run(std::span<const std::uint8_t>(data, size));
    if (!failure.empty()) {
        std::fprintf(stderr, "text model: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
