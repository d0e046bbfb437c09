// The results box's letters drawn as glyphs looked up once per font, not shaped anew at every
// paint: a search appends faster than the eye can follow, so every frame shows lines it has
// never drawn, and shaping them (QPainter::drawText) was most of a frame's cost.
//
// Each byte's character is one glyph of the box's font, and the letters stand where the
// editor's layout puts them (the same advances, added up in the same units), so the caret and
// the selection fall exactly between them.  A byte whose character the font lacks is left to
// drawText, which finds it in another font.
#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QPainter>
#include <QPointF>
#include <QRawFont>
#include <array>
#include <cstdint>
#include <string_view>

#include "LineLayout.h"

namespace bukvotok {

class ResultsGlyphs {
public:
    // The glyphs of `font`, looked up again only when it changes.
    void Use(const QFont& font);

    // Draws the bytes (no CR, LF or tab) from `left` on `baseline`, each letter after the
    // last by its advance in `layout`.  False, with nothing drawn, when the font lacks a glyph
    // for one of them.
    bool Draw(QPainter& painter, float left, float baseline, std::string_view bytes,
              const LineLayout& layout);

private:
    QFont font_;
    bool looked_up_ = false;
    QRawFont raw_;
    std::array<quint32, 256> glyph_{};  // 0: none in this font
    QGlyphRun run_;
    QList<quint32> indexes_;
    QList<QPointF> positions_;
};

}  // namespace bukvotok
