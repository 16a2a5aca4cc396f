// Which rate record and which tax account one booking line uses.
#pragma once

#include "core/text_helpers.h"

namespace talvera::posting {

struct TaxResult {
  bool taxed = false;       // a tax was resolved (also the zero rate)
  int classByte = 0;        // resolved class, with 0x20 input tax and 0x40 fixed index
  AccountNo taxAccount = "";
};

// Resolves the tax of line `line` of the booking at its document date and
// writes the resolved class and index back into the line. False after a
// reported failure (or a missing rate record, which has no message).
bool ResolveTax(void* booking, int line, TaxResult& out);

}  // namespace talvera::posting
