#include "reports/list_print_layout.h"

#include <algorithm>

namespace talvera {

std::vector<ListSlot> PlaceListEntries(const std::vector<int>& rows, int linesPerPage,
                                       int columnsPerPage) {
  std::vector<ListSlot> slots;
  ListSlot at{0, 0, kListFirstRow};
  for (int height : rows) {
    height = std::max(1, height);
    if (at.row > kListFirstRow && at.row + height > linesPerPage) {
      at.row = kListFirstRow;
      if (++at.column >= std::max(1, columnsPerPage)) {
        at.column = 0;
        ++at.page;
      }
    }
    slots.push_back(at);
    at.row += height;
  }
  return slots;
}

}  // namespace talvera
