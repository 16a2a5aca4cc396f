// The account lists of the account windows: the accounts of one kind in
// the order of a key, filtered by the beginning of that key's field.
#pragma once

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
};

// The accounts of the working year whose field of the order begins with
// `prefix` (leading blanks ignored on both sides; empty lists all), in the
// record manager's order of that key. False for an order the kind lacks or
// when the store failed.
bool ListAccounts(AccountFile file, AccountOrder order, const std::string& prefix,
                  std::vector<AccountListEntry>& out);

}  // namespace talvera
