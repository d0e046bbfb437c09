#include "InsertedText.h"

#include "Cp1251.h"

namespace bukvotok {

namespace {

constexpr char16_t kLineSeparator = 0x2028;
constexpr char16_t kParagraphSeparator = 0x2029;

bool IsLineBreak(char16_t unit) {
    return unit == u'\n' || unit == kLineSeparator || unit == kParagraphSeparator;
}

bool StartsSurrogatePair(std::u16string_view text, std::size_t i) {
    return text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
           text[i + 1] < 0xE000;
}

// Calls put(byte) for each byte the text becomes, in order.
template <typename Put>
void Encode(std::u16string_view text, Put&& put) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit == u'\r' || IsLineBreak(unit)) {
            put('\r');
            put('\n');
            if (unit == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else if (StartsSurrogatePair(text, i)) {
            put('?');  // nothing outside the basic plane is in the code page
            ++i;
        } else {
            put(UnicodeToCp1251(unit));
        }
    }
}

}  // namespace

std::string EncodeInserted(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    Encode(text, [&bytes](char byte) { bytes += byte; });
    return bytes;
}

BlockBytes EncodeInsertedToBlocks(std::u16string_view text) {
    // A chunk divides a block, so that the blocks fill up whole.
    constexpr std::size_t kChunk = 64 << 10;
    static_assert(BlockBytes::kBlockSize % kChunk == 0);
    BlockBytes blocks;
    char chunk[kChunk];
    std::size_t used = 0;
    Encode(text, [&](char byte) {
        chunk[used++] = byte;
        if (used == kChunk) {
            blocks.Append(std::string_view(chunk, used));
            used = 0;
        }
    });
    blocks.Append(std::string_view(chunk, used));
    blocks.ReleaseSpare();
    return blocks;
}

std::string WithCrLfBreaks(std::string_view bytes) {
    std::string result;
    result.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char byte = bytes[i];
        if (byte == '\r' || byte == '\n') {
            result += "\r\n";
            if (byte == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            result += byte;
        }
    }
    return result;
}

}  // namespace bukvotok
