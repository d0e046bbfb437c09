#include "ResultsGlyphs.h"

#include "Cp1251.h"

namespace bukvotok {

void ResultsGlyphs::Use(const QFont& font) {
    if (looked_up_ && font == font_) return;
    font_ = font;
    looked_up_ = true;
    raw_ = QRawFont::fromFont(font);
    glyph_.fill(0);
    if (!raw_.isValid()) return;
    for (std::size_t byte = 0; byte < 256; ++byte) {
        const QChar unit(Cp1251ToUnicode(static_cast<unsigned char>(byte)));
        quint32 glyph = 0;
        int count = 1;
        // Control characters are drawText's to show or not, as before.
        if (!unit.isPrint() || !raw_.glyphIndexesForChars(&unit, 1, &glyph, &count)) continue;
        if (count == 1) glyph_[byte] = glyph;
    }
    run_.setRawFont(raw_);
}

bool ResultsGlyphs::Draw(QPainter& painter, float left, float baseline, std::string_view bytes,
                         const LineLayout& layout) {
    indexes_.resize(static_cast<qsizetype>(bytes.size()));
    positions_.resize(static_cast<qsizetype>(bytes.size()));
    std::int64_t x = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (glyph_[byte] == 0) return false;
        indexes_[static_cast<qsizetype>(i)] = glyph_[byte];
        positions_[static_cast<qsizetype>(i)] = QPointF(LineLayout::ToPixels(x), 0);
        x += layout.Advance(byte, x);
    }
    run_.setGlyphIndexes(indexes_);
    run_.setPositions(positions_);
    painter.drawGlyphRun(QPointF(left, baseline), run_);
    return true;
}

}  // namespace bukvotok
