// The account lists of the account windows: the accounts of one kind in
// the order of a key, filtered by the beginning of that key's field, whole
// or a page at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "accounts/account_store.h"

namespace talvera {

// The orders of the window's combo box; postal code only for Debitoren
// and Kreditoren.
enum class AccountOrder { kNumber, kShortCode, kName, kPostalCode };

struct AccountListEntry {
  std::string number;      // "   1400"
  std::string shortCode;   // UTF-8
  std::string name;
  std::string postalCode;  // Debitoren and Kreditoren
  std::string town;
  std::string balance;     // "1.234,50 S"; empty for cost centres
};

// The accounts of the working year whose field of the order begins with
// `prefix` (leading blanks ignored on both sides; empty lists all), in the
// record manager's order of that key. False for an order the kind lacks or
// when the store failed.
bool ListAccounts(AccountFile file, AccountOrder order, const std::string& prefix,
                  std::vector<AccountListEntry>& out);

// The same list read a page at a time, so that a window over a chart of a
// hundred thousand accounts opens at once. Between two pages other code may
// use the file: each page goes on from the position of the last account
// read (or, when that account was deleted meanwhile, from its key).
class AccountPages {
 public:
  AccountPages(AccountFile file, AccountOrder order, std::string prefix);
  // Appends up to `count` further accounts to `out`; false when the store
  // failed or the kind lacks the order.
  bool ReadMore(int count, std::vector<AccountListEntry>& out);
  bool atEnd() const { return atEnd_; }

 private:
  bool Continue(void* record, bool& found);
  AccountFile file_;
  AccountOrder order_;
  std::string prefix_;
  bool started_ = false;
  bool atEnd_ = false;
  std::uint32_t position_ = 0;
  std::string lastKey_;  // the key field of the last account read
};

// The account a typed selection leads to: in the number order the typed
// digits right-aligned, else as the start of a longer number (the shortest
// such number first); in the other orders the first account whose field is
// not less than the text, taken when its field begins with it. found =
// false when there is none.
bool FindAccountForSelection(AccountFile file, AccountOrder order, const std::string& typed,
                             std::string& number, bool& found);

// One account's list entry by number; found = false when it does not exist.
bool ReadAccountEntry(AccountFile file, const std::string& number, AccountListEntry& out, bool& found);

}  // namespace talvera
