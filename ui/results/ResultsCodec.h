// The results are Windows-1251 bytes; the box shows them, and hands them to other programs, as
// Unicode text.  These conversions decide how the two correspond, line breaks included.
#pragma once

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

namespace bukvotok {

// The Unicode text for these bytes: CR LF, a lone CR and a lone LF each become one '\n'.
QString DecodeResults(std::string_view bytes);

// Typed, pasted or dropped text as the bytes the box holds: every kind of line break (CR LF,
// CR, LF, U+2028, U+2029) becomes CR LF, a character the code page lacks '?'.
std::string EncodeInserted(QStringView text);

// CR LF, a lone CR and a lone LF each become CR LF.
std::string WithCrLfBreaks(std::string_view bytes);

}  // namespace bukvotok
