#include "HeadlessMain.h"

int main(int argc, char** argv) {
    return bukvotok::HeadlessMain(std::vector<bukvotok::NativePath>(argv + 1, argv + argc));
}
