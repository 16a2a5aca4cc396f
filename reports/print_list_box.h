// F2 in any list box prints its entries, in the columns the list shows them.
#pragma once

#include <functional>
#include <optional>
#include <string>

class QListWidget;
class QObject;
class QWidget;

namespace talvera {

// What the page header of a printed list names. The shell supplies it while
// a Mandant is open; without one, lists cannot be printed.
struct ListPrintHeader {
  std::string firm;
  std::string postingDate;  // as shown, "15.03.1996"
};
void SetListPrintHeaderSource(std::function<std::optional<ListPrintHeader>()> source);

// Column starts of a list, in screen characters, are taken from a column
// header (a QHeaderView set as the list's property "columnHeader"), else from
// its tab stops (property "tabStops": character positions, at most 20), else
// a stop every eight characters.
inline constexpr char kColumnHeaderProperty[] = "columnHeader";
inline constexpr char kTabStopsProperty[] = "tabStops";

// Prints the list box; messages 734 (empty), 54 (a print job runs), 524 (no
// Mandant open), 49 (the list is too wide for the printer), 735 (failure).
bool PrintListBox(QWidget* dialog, QListWidget* list);

// Makes F2 print the list box that has the focus: installed on the
// application it serves every list of every dialog, installed on one list
// box just that one.
void InstallListBoxPrinting(QObject* target);

}  // namespace talvera
