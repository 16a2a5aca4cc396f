// The special accounts of the basic chart (Grundkontenrahmen): twelve
// accounts whose numbers and short codes the user may choose before a
// Mandant is created from that chart. The choice lasts for the session.
#pragma once

#include <array>

namespace talvera {

struct SpecialAccountValue {
  char number[8] = "";      // right-aligned to 7
  char shortCode[10] = "";
};
using SpecialAccountSet = std::array<SpecialAccountValue, 12>;

enum SpecialAccountRow : int {
  kSpecialReceivables = 0,
  kSpecialPayables = 1,
  kSpecialImportVat = 3,
  kSpecialVatNotDue = 8,
  kSpecialCarryForward = 11,
};

SpecialAccountSet DefaultSpecialAccounts();
SpecialAccountSet& CurrentSpecialAccounts();

// The first row that breaks a rule, with the message it gives: number
// missing 500, not digits 3, the carry-forward account 9000 512, short code
// missing 509, a number twice 501, a short code twice 508. `numberField`
// tells whether the number (else the short code) is at fault. 0: all good.
// Numbers are taken as typed and right-aligned in `set`.
int CheckSpecialAccounts(SpecialAccountSet& set, int& row, bool& numberField);

}  // namespace talvera
