#include "ResultsCodec.h"

#include <array>
#include <cstring>

#include "Cp1251.h"

namespace bukvotok {

namespace {

// Calls put(unit) for the UTF-16 units of the bytes, a piece at a time: a CR at the end of one
// piece and an LF at the start of the next are one line break.
class Decoder {
public:
    template <typename Put>
    void Feed(std::string_view piece, Put&& put) {
        for (const char byte : piece) {
            if (after_cr_) {
                after_cr_ = false;
                if (byte == '\n') continue;
            }
            if (byte == '\r') {
                put(u'\n');
                after_cr_ = true;
                continue;
            }
            put(Cp1251ToUnicode(static_cast<unsigned char>(byte)));
        }
    }

private:
    bool after_cr_ = false;
};

// The UTF-8 of each byte's character, CR's being '\n'.  Every character the code page has lies
// in the basic plane: one to three bytes.
struct Utf8Char {
    char bytes[3];
    unsigned char length;
};

const std::array<Utf8Char, 256>& Utf8Table() {
    static const std::array<Utf8Char, 256> table = [] {
        std::array<Utf8Char, 256> made{};
        for (int byte = 0; byte < 256; ++byte) {
            const char16_t unit =
                byte == '\r' ? u'\n' : Cp1251ToUnicode(static_cast<unsigned char>(byte));
            Utf8Char& c = made[static_cast<std::size_t>(byte)];
            if (unit < 0x80) {
                c = {{static_cast<char>(unit), 0, 0}, 1};
            } else if (unit < 0x800) {
                c = {{static_cast<char>(0xC0 | (unit >> 6)),
                      static_cast<char>(0x80 | (unit & 0x3F)), 0},
                     2};
            } else {
                c = {{static_cast<char>(0xE0 | (unit >> 12)),
                      static_cast<char>(0x80 | ((unit >> 6) & 0x3F)),
                      static_cast<char>(0x80 | (unit & 0x3F))},
                     3};
            }
        }
        return made;
    }();
    return table;
}

}  // namespace

QString DecodeResults(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    Decoder().Feed(bytes, [&out](char16_t unit) { *out++ = QChar(unit); });
    text.truncate(out - text.constData());
    return text;
}

QString DecodeResults(const BlockBytes& bytes, const ConversionProgress& progress) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    Decoder decoder;
    bytes.ForEachPiece(0, bytes.size(), [&](std::string_view piece, std::size_t offset) {
        decoder.Feed(piece, [&out](char16_t unit) { *out++ = QChar(unit); });
        if (progress) progress(offset + piece.size(), bytes.size());
        return true;
    });
    text.truncate(out - text.constData());
    return text;
}

// Counted first, then made in place: a gigabyte of text is not made twice over.  Each pass is
// half of the progress.
QByteArray DecodeResultsToUtf8(const BlockBytes& bytes, const ConversionProgress& progress) {
    const std::array<Utf8Char, 256>& table = Utf8Table();
    const std::size_t total = bytes.size();
    std::size_t length = 0;
    bool after_cr = false;
    bytes.ForEachPiece(0, total, [&](std::string_view piece, std::size_t offset) {
        for (const char byte : piece) {
            const auto b = static_cast<unsigned char>(byte);
            // The LF of a CR LF adds nothing: the CR stood for the pair.
            if (!(after_cr && b == '\n')) length += table[b].length;
            after_cr = b == '\r';
        }
        if (progress) progress((offset + piece.size()) / 2, total);
        return true;
    });
    // Each character is written whole, three bytes, and the next one starts where it ends.
    constexpr qsizetype kSlack = 2;
    QByteArray utf8(static_cast<qsizetype>(length) + kSlack, Qt::Uninitialized);
    char* out = utf8.data();
    after_cr = false;
    bytes.ForEachPiece(0, total, [&](std::string_view piece, std::size_t offset) {
        for (const char byte : piece) {
            const auto b = static_cast<unsigned char>(byte);
            if (!(after_cr && b == '\n')) {
                const Utf8Char& c = table[b];
                std::memcpy(out, c.bytes, 3);
                out += c.length;
            }
            after_cr = b == '\r';
        }
        if (progress) progress(total / 2 + (offset + piece.size()) / 2, total);
        return true;
    });
    utf8.resize(static_cast<qsizetype>(length));
    return utf8;
}

}  // namespace bukvotok
