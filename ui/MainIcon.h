// The program's icon "MAINICON": the window, the task bar and the error boxes show it.
#pragma once

#include <QIcon>

namespace bukvotok {

QIcon MainIcon();

}  // namespace bukvotok
