// The balance of a Sachkonto, Debitor or Kreditor from its record.
#pragma once

#include "core/text_helpers.h"

namespace talvera::layouts {

// debit = opening debit + the twelve period debits, credit likewise;
// result = |debit - credit| (an AmountText, sign position ','), side = 'S'
// for a debit balance (zero included), 'H' for a credit balance. `account`
// is a sako record for kSachkonto, a debi/kred record for kDebitor and
// kKreditor. An empty amount field counts as zero. False, with side 0, for
// another kind, a field that is no amount text, or a sum beyond
// 999.999.999,99.
bool AccountBalance(const void* account, AccountKind kind, char* result, char* side);

}  // namespace talvera::layouts
