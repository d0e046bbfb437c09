// COM for the window's thread, single-threaded as the shell's dialogs, drag and drop and the
// screen readers' interfaces expect, with OLE over it for drag and drop, from start-up to the
// end of the program.
#pragma once

#include <ole2.h>

namespace bukvotok::win32 {

class ComApartment {
public:
    ComApartment()
        : com_(SUCCEEDED(
              ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))),
          ole_(com_ && SUCCEEDED(::OleInitialize(nullptr))) {}
    ~ComApartment() {
        if (ole_) ::OleUninitialize();
        if (com_) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool com_;
    bool ole_;
};

}  // namespace bukvotok::win32
