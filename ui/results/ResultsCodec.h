// The results are Windows-1251 bytes; the Qt box shows them, and hands them to other programs,
// as Unicode text.  These conversions decide how the two correspond, line breaks included (the
// way in is the editor's: InsertedText.h).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "BlockBytes.h"

namespace bukvotok {

// The Unicode text for these bytes: CR LF, a lone CR and a lone LF each become one '\n'.
QString DecodeResults(std::string_view bytes);

// The same for text of any size, a piece at a time, calling `progress` after each piece.  The
// UTF-8 form is made straight from the bytes, without the UTF-16 text in between.
using ConversionProgress = std::function<void(std::size_t done, std::size_t total)>;
QString DecodeResults(const BlockBytes& bytes, const ConversionProgress& progress);
QByteArray DecodeResultsToUtf8(const BlockBytes& bytes, const ConversionProgress& progress);

}  // namespace bukvotok
