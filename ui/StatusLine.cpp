#include "StatusLine.h"

#include <QLabel>

#include "Cp1251.h"

namespace bukvotok {

QString FromCp1251(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) text += QChar(Cp1251ToUnicode(static_cast<unsigned char>(c)));
    return text;
}

void ShowStatus(QLabel& status, std::string_view text) {
    status.setText(FromCp1251(text));
    status.adjustSize();
}

}  // namespace bukvotok
