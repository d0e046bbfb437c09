// The results box's context menu: undo and redo, the clipboard's commands, delete and select
// all, in the words and with the keys of Qt's own text boxes.
#pragma once

#include <QPoint>

namespace bukvotok {

class ResultsBox;

// Shows the menu at `global_pos` until the user picks an item or leaves it.
void ExecResultsContextMenu(ResultsBox& box, QPoint global_pos);

}  // namespace bukvotok
