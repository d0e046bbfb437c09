// The headless command as a whole, from its arguments to its exit status; main() on POSIX
// systems and wmain() on Windows hand it their arguments as the system gave them.
#pragma once

#include <vector>

#include "NativePath.h"

namespace bukvotok {

// The arguments after the program's name.
int HeadlessMain(const std::vector<NativePath>& arguments);

}  // namespace bukvotok
