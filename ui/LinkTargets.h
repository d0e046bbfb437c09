#pragma once

#include <QString>

#include "LinkAddresses.h"

namespace bukvotok {

// The main window's two links, as Qt holds texts.
inline const QString kSiteAddress =
    QString::fromUtf16(kSiteUrl.data(), static_cast<qsizetype>(kSiteUrl.size()));
inline const QString kForumAddress =
    QString::fromUtf16(kForumUrl.data(), static_cast<qsizetype>(kForumUrl.size()));

}  // namespace bukvotok
