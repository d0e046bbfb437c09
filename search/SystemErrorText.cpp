#include "SystemErrorText.h"

namespace bukvotok {

namespace {
constexpr std::size_t kReasonBufferSize = 256;
}

std::string FittedSystemText(std::string text) {
    if (text.size() >= kReasonBufferSize) return {};
    while (!text.empty() &&
           (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.')) {
        text.pop_back();
    }
    return text;
}

}  // namespace bukvotok
