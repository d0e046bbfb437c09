#pragma once

#include <QString>

namespace bukvotok {

// The main window's two links.  Kept together so a move of either site is a single edit.
inline const QString kSiteAddress = QStringLiteral("http://bukvotok.ru");
inline const QString kForumAddress = QStringLiteral("http://forum.bukvotok.ru");

}  // namespace bukvotok
