// The status line's text on a Qt label.
#pragma once

#include <QString>
#include <string_view>

class QLabel;

namespace bukvotok {

// The status texts and captions are Windows-1251 bytes; widgets take Unicode.
QString FromCp1251(std::string_view bytes);

// The status line fits its text, so a longer status widens it.
void ShowStatus(QLabel& status, std::string_view text);

}  // namespace bukvotok
