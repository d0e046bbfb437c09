// Pointer shapes shared by the program's windows and looked up by number, so that a control
// asks for "pointer 5" when the mouse is over it rather than carrying its own copy of the
// image.  One registry lives as long as the program's windows; they are handed it as they are
// made.
#pragma once

#include <windows.h>

#include <map>

#include "Handles.h"

namespace bukvotok::win32 {

class CursorRegistry {
public:
    // Replaces whatever the number held before.
    void Set(int index, CursorHandle cursor) {
        cursors_.insert_or_assign(index, std::move(cursor));
    }
    // A number nobody registered gives the ordinary arrow.
    HCURSOR Get(int index) const {
        const auto found = cursors_.find(index);
        return found != cursors_.end() ? found->second.Get() : ::LoadCursorW(nullptr, IDC_ARROW);
    }
    bool Contains(int index) const { return cursors_.contains(index); }

private:
    std::map<int, CursorHandle> cursors_;
};

}  // namespace bukvotok::win32
