#pragma once

#include <QCursor>

namespace bukvotok {

// Pointer shapes shared by the whole application and looked up by number, so that a widget asks
// for "pointer 5" rather than carrying its own copy of the image.  GUI thread only, like QCursor.
class CursorRegistry {
public:
    // Replaces whatever the number held before.
    static void Set(int index, const QCursor& cursor);
    // A number nobody registered gives the ordinary arrow.
    static QCursor Get(int index);
    static bool Contains(int index);
};

}  // namespace bukvotok
