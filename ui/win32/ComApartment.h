// COM for the window's thread, single-threaded as the shell's dialogs and the screen readers'
// interfaces expect, from start-up to the end of the program.
#pragma once

#include <objbase.h>

namespace bukvotok::win32 {

class ComApartment {
public:
    ComApartment()
        : initialised_(SUCCEEDED(
              ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (initialised_) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

}  // namespace bukvotok::win32
