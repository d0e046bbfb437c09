#include "GlobalText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace bukvotok::win32 {

namespace {

constexpr LCID kRussian = MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT);
constexpr UINT kCp1251 = 1251;

// `size` bytes of movable memory, filled by `fill` while locked; nothing when there is no room.
template <typename Fill>
GlobalMemory Filled(std::size_t size, Fill&& fill) noexcept {
    GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, size));
    void* locked = memory ? ::GlobalLock(memory.Get()) : nullptr;
    if (locked == nullptr) return {};
    fill(static_cast<char*>(locked));
    ::GlobalUnlock(memory.Get());
    return memory;
}

// The memory locked for as long as it is read.
class LockedMemory {
public:
    explicit LockedMemory(HGLOBAL memory)
        : memory_(memory), data_(memory != nullptr ? ::GlobalLock(memory) : nullptr) {}
    ~LockedMemory() {
        if (data_ != nullptr) ::GlobalUnlock(memory_);
    }
    LockedMemory(const LockedMemory&) = delete;
    LockedMemory& operator=(const LockedMemory&) = delete;

    template <typename Unit>
    const Unit* Units() const {
        return static_cast<const Unit*>(data_);
    }
    // How many units lie before the NUL, or in the whole memory when there is none.
    template <typename Unit>
    std::size_t Length() const {
        const std::size_t most = ::GlobalSize(memory_) / sizeof(Unit);
        const Unit* units = Units<Unit>();
        std::size_t length = 0;
        while (length < most && units[length] != Unit{0}) ++length;
        return length;
    }

private:
    HGLOBAL memory_;
    void* data_;
};

IncomingText Kept(std::shared_ptr<const std::u16string> text) {
    IncomingText incoming;
    incoming.text = *text;
    incoming.keeper = std::move(text);
    return incoming;
}

// A block at a time: each byte is one unit of the code page, so the blocks' edges never split
// a character.
GlobalMemory UnicodeMemoryOf(const BlockBytes& bytes) noexcept {
    // Twice the bytes may not fit in a 32-bit size.
    if (bytes.size() >= SIZE_MAX / sizeof(wchar_t)) return {};
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

GlobalMemory BytesMemoryOf(const BlockBytes& bytes) noexcept {
    if (bytes.size() == SIZE_MAX) return {};
    return Filled(bytes.size() + 1, [&bytes](char* memory) {
        bytes.ForEachPiece(0, bytes.size(), [&memory](std::string_view piece, std::size_t) {
            std::memcpy(memory, piece.data(), piece.size());
            memory += piece.size();
            return true;
        });
        *memory = '\0';
    });
}

GlobalMemory RussianLocaleMemory() noexcept {
    return Filled(sizeof kRussian, [](char* out) { std::memcpy(out, &kRussian, sizeof kRussian); });
}

}  // namespace

GlobalMemory TextMemoryOf(const BlockBytes& bytes, UINT format) noexcept {
    switch (format) {
        case CF_UNICODETEXT:
            return UnicodeMemoryOf(bytes);
        case CF_TEXT:
            return BytesMemoryOf(bytes);
        case CF_LOCALE:
            return RussianLocaleMemory();
        default:
            return {};
    }
}

std::optional<IncomingText> UnicodeTextIn(HGLOBAL memory) {
    const LockedMemory locked(memory);
    const auto* units = locked.Units<wchar_t>();
    if (units == nullptr) return {};
    return Kept(std::make_shared<const std::u16string>(units, units + locked.Length<wchar_t>()));
}

std::optional<IncomingText> BytesTextIn(HGLOBAL memory, UINT code_page) {
    const LockedMemory locked(memory);
    const char* bytes = locked.Units<char>();
    if (bytes == nullptr) return {};
    const std::size_t length = locked.Length<char>();
    // In pieces below 2 GiB, as the conversion counts in int.
    auto text = std::make_shared<std::u16string>();
    constexpr std::size_t kPiece = std::size_t{1} << 30;
    for (std::size_t at = 0; at < length;) {
        // A piece ends after a byte below 0x80: no code page begins a character of two bytes
        // with one, so a character ends there.
        std::size_t end = std::min(length, at + kPiece);
        while (end < length && end > at + 1 && static_cast<unsigned char>(bytes[end - 1]) >= 0x80) {
            --end;
        }
        const int piece = static_cast<int>(end - at);
        const int units = ::MultiByteToWideChar(code_page, 0, bytes + at, piece, nullptr, 0);
        const std::size_t old = text->size();
        text->resize(old + static_cast<std::size_t>(units));
        ::MultiByteToWideChar(code_page, 0, bytes + at, piece,
                              reinterpret_cast<wchar_t*>(text->data() + old), units);
        at = end;
    }
    return Kept(std::move(text));
}

}  // namespace bukvotok::win32
