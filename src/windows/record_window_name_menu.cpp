// The Name menu's Edit Phone Record: the first chosen record in the cell editor.
#include <algorithm>

#include "windows/record_list_model.h"
#include "windows/record_table.h"
#include "windows/record_window.h"

namespace pellucard {

void RecordWindow::editFirstSelectedRecord() {
    const int list = currentList_;
    RecordTable* grid = grid_[list];
    // Rows marked by their slot number are the records chosen for a command; without any, the
    // rows selected in the list.
    int row = 0;
    for (int slot = 1; slot <= used_[list] && row == 0; ++slot) {
        if (model_[list]->IsMarked(slot))
            row = slot;
    }
    if (row == 0)
        row = std::max(1, grid->selectedRows().first);
    const int column = std::max(1, grid->currentColumn());
    grid->setCurrentCell(row, column);
    grid->setFocus();
    editCell(list);
}

}  // namespace pellucard
