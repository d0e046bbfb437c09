#include "ResultsCodec.h"

#include "Cp1251.h"

namespace bukvotok {

namespace {

constexpr char16_t kLineSeparator = 0x2028;
constexpr char16_t kParagraphSeparator = 0x2029;

bool IsLineBreak(char16_t unit) {
    return unit == u'\n' || unit == kLineSeparator || unit == kParagraphSeparator;
}

bool StartsSurrogatePair(QStringView text, qsizetype i) {
    return QChar::isHighSurrogate(text[i].unicode()) && i + 1 < text.size() &&
           QChar::isLowSurrogate(text[i + 1].unicode());
}

}  // namespace

QString DecodeResults(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char byte = bytes[i];
        if (byte == '\r') {
            *out++ = u'\n';
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            continue;
        }
        *out++ = QChar(Cp1251ToUnicode(static_cast<unsigned char>(byte)));
    }
    text.truncate(out - text.constData());
    return text;
}

std::string EncodeInserted(QStringView text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit == u'\r') {
            bytes += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else if (IsLineBreak(unit)) {
            bytes += "\r\n";
        } else if (StartsSurrogatePair(text, i)) {
            bytes += '?';  // nothing outside the basic plane is in the code page
            ++i;
        } else {
            bytes += UnicodeToCp1251(unit);
        }
    }
    return bytes;
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
