// Which kind of account a number or a short code belongs to. Account
// numbers and short codes are unique across Sachkonten, Debitoren and
// Kreditoren; the search goes Sachkonten, Debitoren, Kreditoren, so a
// number held twice by damaged data is found as a Sachkonto.
#pragma once

#include "core/text_helpers.h"

namespace talvera {

// `number` is right-aligned to 7 characters ("   1400", see PadLeft).
// kind is kSachkonto, kDebitor, kKreditor or kNoAccount. False when the
// record store failed (it has reported the status).
bool LookUpAccount(const char* number, AccountKind& kind);
// The same by short code (each file's key 1).
bool LookUpShortCode(const char* code, AccountKind& kind);

}  // namespace talvera
