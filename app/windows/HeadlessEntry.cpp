// Windows hands a program its arguments as UTF-16 (built with -municode): a dictionary's name
// may hold any character, which the system's code page would not.
#include "HeadlessMain.h"

int wmain(int argc, wchar_t** argv) {
    return bukvotok::HeadlessMain(std::vector<bukvotok::NativePath>(argv + 1, argv + argc));
}
