// The results are Windows-1251 bytes; the box shows them as the Unicode text a QTextDocument
// holds.  These conversions decide how the two correspond, line breaks included.
#pragma once

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

namespace bukvotok {

// The document text for these bytes: CR LF, a lone CR and a lone LF each become one '\n'.
QString DecodeResults(std::string_view bytes);

// Appends the bytes for document text.  Every line break a document holds ('\n', U+2028,
// U+2029) becomes CR LF; a character the code page lacks becomes '?'.
void AppendEncodedResults(QStringView text, std::string& bytes);

// Typed text as the box takes it: a character the code page lacks becomes '?' at once, so that
// the box shows what will be saved.  Line breaks are left as they are.
QString ReplaceUnmappable(QStringView text);

// Pasted or dropped text: as ReplaceUnmappable, and every kind of line break becomes '\n'.
QString NormalizeInserted(QStringView text);

// Typed, pasted or dropped text as the bytes the box holds: every kind of line break becomes
// CR LF, a character the code page lacks '?'.
std::string EncodeInserted(QStringView text);

// CR LF, a lone CR and a lone LF each become CR LF.
std::string WithCrLfBreaks(std::string_view bytes);

}  // namespace bukvotok
