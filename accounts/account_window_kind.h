// What tells the four account windows apart: one static record per kind
// (Sachkonten, Debitoren, Kreditoren, Kostenstellen) with its letter, title,
// file, the keys of its sort orders and the names of its dialogs. The
// window, its list and its settings are written once over this record.
#pragma once

#include <string>

#include "accounts/account_lists.h"
#include "accounts/account_store.h"
#include "core/text_helpers.h"

namespace talvera {

struct AccountWindowKind {
  char letter;             // 'S', 'D', 'K', 'R': the settings keys end in it
  const char* title;       // "SACHKONTEN"
  const char* caption;     // the window's caption in normal case
  AccountFile file;
  AccountKind accountKind; // kSachkonto, kDebitor, kKreditor; kNoAccount for cost centres
  int orders;              // 3, or 4 with the postal code
  const char* newDialog;   // "SAKTONEU"
  const char* changeDialog;
  int command;             // the menu command that opens the window
};

enum class WindowKind { kSachkonten, kDebitoren, kKreditoren, kKostenstellen };

const AccountWindowKind& KindOf(WindowKind kind);
// The window kind of an account file.
WindowKind WindowKindOf(AccountFile file);

// The texts of the sort-order combo box and the longest selection each order takes.
inline constexpr const char* kOrderNames[] = {"Kontonummer", "Kürzel", "Name", "PLZ"};
inline constexpr int kSelectionLimits[] = {7, 8, 30, 6};

// The settings keys of a window: "SortKnr" + letter, "Auswahl" + letter +
// Mandant suffix, "KontoFensterPos" + letter + "X"/"Y", "KontoFensterSize" + letter.
std::string SortOrderKey(const AccountWindowKind& kind);
std::string SelectionKey(const AccountWindowKind& kind, int mandantNumber);
std::string PositionKey(const AccountWindowKind& kind, char axis);
std::string SizeKey(const AccountWindowKind& kind);

// The stored sort order: 0..orders-1; "J" means 0, anything else 0 too.
int StoredSortOrder(const AccountWindowKind& kind);

}  // namespace talvera
