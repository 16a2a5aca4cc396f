// Where the entries of a printed list box go: top to bottom from row 3, in
// further columns to the right while they fit across the page, then on a
// new page.
#pragma once

#include <vector>

namespace talvera {

constexpr int kListFirstRow = 3;

struct ListSlot {
  int page = 0;    // from 0
  int column = 0;  // from 0, left to right
  int row = 0;     // row of the entry's first line on the page
};

// `rows` holds how many rows each entry takes. A column is full when the
// next entry would reach beyond `linesPerPage`; an entry taller than a whole
// column still gets one to itself.
std::vector<ListSlot> PlaceListEntries(const std::vector<int>& rows, int linesPerPage,
                                       int columnsPerPage);

}  // namespace talvera
