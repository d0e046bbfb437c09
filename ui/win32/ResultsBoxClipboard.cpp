#include "ResultsBoxClipboard.h"

#include "Errors.h"
#include "GlobalText.h"
#include "Handles.h"

namespace bukvotok::win32 {

void ResultsBoxClipboard::Put(HWND owner, const BlockBytes& bytes) {
    // Made before the clipboard is emptied, so that a failure leaves it as it was.
    BlockBytes snapshot = bytes;
    const OpenClipboardScope clipboard(owner);
    if (!clipboard.Opened()) throw ClipboardError();
    ::EmptyClipboard();  // WM_DESTROYCLIPBOARD forgets the last copy
    copied_ = std::move(snapshot);
    for (const UINT format : kTextFormats) ::SetClipboardData(format, nullptr);
}

void ResultsBoxClipboard::Render(UINT format) const noexcept {
    if (!copied_) return;
    // With no memory for it, the format is not given: the other program finds no text.
    GlobalMemory memory = TextMemoryOf(*copied_, format);
    if (memory && ::SetClipboardData(format, memory.Get())) static_cast<void>(memory.Take());
}

void ResultsBoxClipboard::RenderAll(HWND owner) const noexcept {
    const OpenClipboardScope clipboard(owner);
    if (!clipboard.Opened() || ::GetClipboardOwner() != owner) return;
    for (const UINT format : kTextFormats) Render(format);
}

std::optional<IncomingText> ResultsBoxClipboard::Read(HWND owner) const {
    if (copied_ && ::GetClipboardOwner() == owner) {
        IncomingText own;
        own.own = *copied_;
        return own;
    }
    if (!HasText()) return {};
    const OpenClipboardScope clipboard(owner);
    if (!clipboard.Opened()) throw ClipboardError();
    return UnicodeTextIn(::GetClipboardData(CF_UNICODETEXT));
}

bool ResultsBoxClipboard::HasText() const {
    return ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
}

}  // namespace bukvotok::win32
