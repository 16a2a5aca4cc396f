// What the posting of one line leaves for the steps after the commit
// (open items, carry-forward).
#pragma once

#include "core/amount.h"
#include "core/period_date.h"
#include "core/text_helpers.h"

namespace talvera::posting {

constexpr int kMaxLines = 10;

struct PostedLine {
  AccountNo debit = "", credit = "", taxAccount = "";
  int debitKind = 0, creditKind = 0;
  int debitType = 0, creditType = 0;  // Sachkonto class: 2 asset, 4 liability, 8 P&L
  AmountText gross = "", debitAmount = "", creditAmount = "", taxAmount = "";
  AmountText foreignAmount = "";      // the line's own amount when a currency is given
  unsigned taxSideFlags = 0;
  int classByte = 0;
  char journalKey[11] = "";
};

struct PostedBooking {
  int lineCount = 0;
  PostedLine lines[kMaxLines];
  // The reverse-charge records (one per EG rate): Sachkonto against
  // Sachkonto, carried forward like lines.
  int reverseChargeCount = 0;
  PostedLine reverseCharges[kMaxLines];
};

// Open items of the committed booking. False only when a failure stopped
// them (already shown as message 150); the booking stands either way.
bool CreateOpenItems(void* booking, const PostedBooking& posted);
// The deduction accounts the open items of the booking would use and the
// settings leave empty: bit i stands for "Ab" + i (Kreditoren 0-2,
// Debitoren 3-5). Reads nothing but the settings.
unsigned MissingDeductionAccounts(const PostedBooking& posted);
// One open item of a line of a booking: the personal account of `personalKind`
// on the debit side or the credit side, `amount` in home currency (its sign
// is replaced by the credit flag). Voucher number, text, document date,
// currency and the line's rate come from the booking record.
bool CreateOpenItemOfLine(const void* booking, const PostedLine& line, int lineIndex, int personalKind,
                          bool personalOnDebit, bool credit, const char* amount);
// Carries the previous-year booking (its lines and reverse-charge records)
// into the current year's opening balances, totals and carry-forward
// records. Runs inside the booking's transaction, on the current year's files.
bool CarryBookingForward(const PostedBooking& posted);

}  // namespace talvera::posting
