#include "LinkBehaviour.h"

namespace bukvotok {

namespace {

bool IsBlank(char16_t c) { return c <= 32; }

}  // namespace

std::u16string_view TrimBlank(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::u16string LinkTarget(std::u16string_view url, std::u16string_view caption) {
    const std::u16string_view target = TrimBlank(url).empty() ? caption : url;
    return TrimBlank(target).empty() ? std::u16string() : std::u16string(target);
}

std::u16string LinkBehaviour::Target() const { return LinkTarget(url_, face_.Caption()); }

void LinkBehaviour::BeginPress(bool can_click) {
    // A press whose release went to another window: the colour to go back to is still the one
    // from before the first press, not the lit one.
    if (!pressed_) saved_color_ = face_.FontColor();
    pressed_ = true;
    press_can_click_ = can_click;
    face_.SetFontColor(active_color_);
}

bool LinkBehaviour::LeftRelease(bool inside) {
    if (!pressed_) return true;
    pressed_ = false;
    if (press_can_click_ && inside && !Click()) return false;
    face_.SetFontColor(saved_color_);
    return true;
}

bool LinkBehaviour::Click() {
    if (!face_.RaiseClicked()) return false;
    const std::u16string target = Target();
    if (target.empty()) return true;
    try {
        return face_.Open(target);
    } catch (...) {
        // A failed open is not the link's to report, and nothing may unwind into a toolkit's
        // frames from a mouse event.
        return true;
    }
}

}  // namespace bukvotok
