#include "CursorRegistry.h"

#include <QCoreApplication>
#include <map>

namespace bukvotok {
namespace {

std::map<int, QCursor>& Cursors() {
    static std::map<int, QCursor> cursors;
    return cursors;
}

bool forget_scheduled = false;

// Custom cursors hold pixmaps, which must not outlive the application object; emptying the table
// when the application goes away keeps static destruction from touching them afterwards.
void ForgetCursors() {
    Cursors().clear();
    forget_scheduled = false;
}

}  // namespace

void CursorRegistry::Set(int index, const QCursor& cursor) {
    if (!forget_scheduled) {
        qAddPostRoutine(ForgetCursors);
        forget_scheduled = true;
    }
    Cursors().insert_or_assign(index, cursor);
}

QCursor CursorRegistry::Get(int index) {
    const auto found = Cursors().find(index);
    return found == Cursors().end() ? QCursor(Qt::ArrowCursor) : found->second;
}

bool CursorRegistry::Contains(int index) { return Cursors().contains(index); }

}  // namespace bukvotok
