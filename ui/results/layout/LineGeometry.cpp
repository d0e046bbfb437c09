#include "LineGeometry.h"

namespace bukvotok {

std::int64_t XOnLine(const BlockBytes& text, const LineLayout& layout, const ViewLines::Line& line,
                     std::size_t offset) {
    std::int64_t x = 0;
    text.ForEachPiece(line.start, offset, [&](std::string_view piece, std::size_t) {
        for (const char byte : piece) x += layout.Advance(static_cast<unsigned char>(byte), x);
        return true;
    });
    return x;
}

std::size_t OffsetAtX(const BlockBytes& text, const LineLayout& layout, const ViewLines::Line& line,
                      std::int64_t x) {
    const std::size_t end = line.TextEnd();
    std::size_t found = end;
    std::int64_t left = 0;
    text.ForEachPiece(line.start, end, [&](std::string_view piece, std::size_t offset) {
        for (std::size_t k = 0; k < piece.size(); ++k) {
            const std::int64_t advance = layout.Advance(static_cast<unsigned char>(piece[k]), left);
            if (2 * x < 2 * left + advance) {
                found = offset + k;
                return false;
            }
            left += advance;
        }
        return true;
    });
    return found;
}

}  // namespace bukvotok
