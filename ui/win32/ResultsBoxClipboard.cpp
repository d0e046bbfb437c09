#include "ResultsBoxClipboard.h"

#include <cstring>
#include <memory>
#include <string>

#include "Errors.h"
#include "Handles.h"

namespace bukvotok::win32 {

namespace {

constexpr LCID kRussian = MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT);
constexpr UINT kCp1251 = 1251;

// `size` bytes of movable memory, filled by `fill` while locked; nothing when there is no room.
template <typename Fill>
GlobalMemory Filled(std::size_t size, Fill&& fill) {
    GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, size));
    void* locked = memory ? ::GlobalLock(memory.Get()) : nullptr;
    if (locked == nullptr) return {};
    fill(static_cast<char*>(locked));
    ::GlobalUnlock(memory.Get());
    return memory;
}

// The bytes as UTF-16, a block at a time: each byte is one unit of the code page, so the
// blocks' edges never split a character, and CR LF stays CR LF.
GlobalMemory UnicodeOf(const BlockBytes& bytes) {
    return Filled((bytes.size() + 1) * sizeof(wchar_t), [&bytes](char* memory) {
        auto* out = reinterpret_cast<wchar_t*>(memory);
        bytes.ForEachPiece(0, bytes.size(), [&out](std::string_view piece, std::size_t) {
            const int made =
                ::MultiByteToWideChar(kCp1251, 0, piece.data(), static_cast<int>(piece.size()), out,
                                      static_cast<int>(piece.size()));
            out += made;
            return true;
        });
        *out = L'\0';
    });
}

GlobalMemory BytesOf(const BlockBytes& bytes) {
    return Filled(bytes.size() + 1, [&bytes](char* memory) {
        bytes.ForEachPiece(0, bytes.size(), [&memory](std::string_view piece, std::size_t) {
            std::memcpy(memory, piece.data(), piece.size());
            memory += piece.size();
            return true;
        });
        *memory = '\0';
    });
}

}  // namespace

void ResultsBoxClipboard::Put(HWND owner, const BlockBytes& bytes) {
    // Made before the clipboard is emptied, so that a failure leaves it as it was.
    BlockBytes snapshot = bytes;
    const OpenClipboardScope clipboard(owner);
    if (!clipboard.Opened()) throw ClipboardError();
    ::EmptyClipboard();  // WM_DESTROYCLIPBOARD forgets the last copy
    copied_ = std::move(snapshot);
    ::SetClipboardData(CF_UNICODETEXT, nullptr);
    ::SetClipboardData(CF_TEXT, nullptr);
    ::SetClipboardData(CF_LOCALE, nullptr);
}

void ResultsBoxClipboard::Render(UINT format) const noexcept {
    if (!copied_) return;
    // With no memory for it, the format is not given: the other program finds no text.
    GlobalMemory memory;
    switch (format) {
        case CF_UNICODETEXT:
            memory = UnicodeOf(*copied_);
            break;
        case CF_TEXT:
            memory = BytesOf(*copied_);
            break;
        case CF_LOCALE:
            memory = Filled(sizeof kRussian,
                            [](char* out) { std::memcpy(out, &kRussian, sizeof kRussian); });
            break;
        default:
            return;
    }
    if (memory && ::SetClipboardData(format, memory.Get())) static_cast<void>(memory.Take());
}

void ResultsBoxClipboard::RenderAll(HWND owner) const noexcept {
    const OpenClipboardScope clipboard(owner);
    if (!clipboard.Opened() || ::GetClipboardOwner() != owner) return;
    for (const UINT format : {UINT{CF_UNICODETEXT}, UINT{CF_TEXT}, UINT{CF_LOCALE}}) {
        Render(format);
    }
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
    const HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    const auto* units = data != nullptr ? static_cast<const wchar_t*>(::GlobalLock(data)) : nullptr;
    if (units == nullptr) return {};
    // The text ends at its NUL, or at the memory's end when a program left none.
    const std::size_t most = ::GlobalSize(data) / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < most && units[length] != L'\0') ++length;
    std::shared_ptr<const std::u16string> text;
    try {
        text = std::make_shared<const std::u16string>(units, units + length);
    } catch (...) {
        ::GlobalUnlock(data);
        throw;
    }
    ::GlobalUnlock(data);
    IncomingText incoming;
    incoming.text = *text;
    incoming.keeper = std::move(text);
    return incoming;
}

bool ResultsBoxClipboard::HasText() const {
    return ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
}

}  // namespace bukvotok::win32
